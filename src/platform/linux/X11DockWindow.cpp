#include "platform/linux/X11DockWindow.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace vantrel::X11DockWindow {

namespace {
xcb_connection_t* connection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != u"xcb") return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}
} // namespace

bool prepare(quint32 window) {
    xcb_connection_t* c = connection();
    if (!c || window == 0) return false;
    const xcb_atom_t type = intern(c, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = intern(c, "_NET_WM_WINDOW_TYPE_DOCK");
    const xcb_atom_t state = intern(c, "_NET_WM_STATE");
    const xcb_atom_t sticky = intern(c, "_NET_WM_STATE_STICKY");
    const xcb_atom_t desktop = intern(c, "_NET_WM_DESKTOP");
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
