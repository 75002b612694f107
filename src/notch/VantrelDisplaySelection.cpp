#include "notch/VantrelDisplaySelection.h"

namespace vantrel::VantrelDisplaySelection {

std::optional<VantrelDisplayEligibility>
preferredNotchDisplay(std::span<const VantrelDisplayEligibility> displays,
                      std::optional<quint32> retainedDisplayID, std::optional<quint32> mainDisplayID) {
    const auto notched = [&](std::optional<quint32> id) -> std::optional<VantrelDisplayEligibility> {
        for (const VantrelDisplayEligibility& display : displays)
            if (display.hasPhysicalNotch && (!id || display.id == *id)) return display;
        return std::nullopt;
    };
    if (retainedDisplayID)
        if (auto retained = notched(retainedDisplayID)) return retained;
    if (mainDisplayID)
        if (auto main = notched(mainDisplayID)) return main;
    return notched(std::nullopt);
}

} // namespace vantrel::VantrelDisplaySelection
