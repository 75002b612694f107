#pragma once

#include <QString>

namespace vantrel {

// The percentage the settings pages show for a stored fraction: the fraction times 100, truncated
// toward zero ("28%" for 0.29, whose product lands just under 29). A value that is not finite or
// too large for a whole number shows "—" rather than a meaningless figure.
QString percentText(double fraction);

} // namespace vantrel
