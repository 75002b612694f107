#pragma once

#include <QtGlobal>

namespace vantrel::X11DockWindow {

// Marks a native window that is not mapped yet as the desktop's dock: window type
// _NET_WM_WINDOW_TYPE_DOCK, on every workspace (sticky, _NET_WM_DESKTOP all), without reserving
// screen space. Set before mapping, because window managers read the type only then. Through the
// X connection Qt holds; does nothing away from X11 and returns whether it was set.
bool prepare(quint32 window);

} // namespace vantrel::X11DockWindow
