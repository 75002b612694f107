#pragma once

#include <QtGlobal>
#include <optional>

namespace vantrel::X11InputFocus {

// The X window that holds the keyboard focus now; none away from X11 or when nobody holds it.
std::optional<quint32> current();
// Hands the keyboard focus to `window` (a window of any client). Does nothing away from X11.
void give(quint32 window);

} // namespace vantrel::X11InputFocus
