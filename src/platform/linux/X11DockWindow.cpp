#include "platform/linux/X11DockWindow.h"

#include "platform/linux/QtXcbConnection.h"

#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

namespace vantrel::X11DockWindow {

bool prepare(quint32 window) {
    xcb_connection_t* c = qtXcbConnection();
    if (!c || window == 0) return false;
    const xcb_atom_t type = internAtom(c, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = internAtom(c, "_NET_WM_WINDOW_TYPE_DOCK");
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t sticky = internAtom(c, "_NET_WM_STATE_STICKY");
    const xcb_atom_t desktop = internAtom(c, "_NET_WM_DESKTOP");
    if (type == XCB_ATOM_NONE || dock == XCB_ATOM_NONE) return false;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32, 1, &dock);
    // Appended: Qt adds its own states (above) to the list when it maps the window.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window, state, XCB_ATOM_ATOM, 32, 1, &sticky);
    const uint32_t everyDesktop = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1, &everyDesktop);
    xcb_flush(c);
    return true;
}

} // namespace vantrel::X11DockWindow
