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

} // namespace vantrel
