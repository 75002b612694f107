#pragma once

#include "notch/VantrelDisplayEligibility.h"

#include <optional>
#include <span>

namespace vantrel {

// Which notched display the panel lives on. The display it already lives on wins while it still
// qualifies, then the main screen, then the first notched screen in the system's order.
namespace VantrelDisplaySelection {

std::optional<VantrelDisplayEligibility>
preferredNotchDisplay(std::span<const VantrelDisplayEligibility> displays,
                      std::optional<quint32> retainedDisplayID, std::optional<quint32> mainDisplayID);

} // namespace VantrelDisplaySelection

} // namespace vantrel
