#include "notch/NotchPresentationTier.h"

namespace vantrel {

NotchPresentationTier presentationTier(NotchTab tab) {
    switch (tab) {
    case NotchTab::home:
        return NotchPresentationTier::glance;
    case NotchTab::timers:
    case NotchTab::system:
    case NotchTab::note:
    case NotchTab::bookmarks:
        return NotchPresentationTier::standard;
    case NotchTab::clipboard:
    case NotchTab::calendar:
    case NotchTab::focus:
    case NotchTab::files:
    case NotchTab::mirror:
        return NotchPresentationTier::tall;
    }
    return NotchPresentationTier::glance;
}

QSize expanded(NotchSize size, NotchPresentationTier tier) {
    struct Row {
        int width;
        std::array<int, 3> heights;
    };
    static constexpr Row rows[] = {{720, {100, 230, 430}}, {820, {104, 270, 470}}, {920, {110, 320, 520}}};
    const Row& row = rows[static_cast<int>(size)];
    return QSize(row.width, row.heights[static_cast<std::size_t>(tier)]);
}

} // namespace vantrel
