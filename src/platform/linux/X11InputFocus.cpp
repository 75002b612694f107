#include "platform/linux/X11InputFocus.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace vantrel {

namespace {
xcb_connection_t* connection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != u"xcb") return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}
} // namespace

std::optional<quint32> X11InputFocus::current() const {
    xcb_connection_t* c = connection();
    if (!c) return std::nullopt;
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (!reply) return std::nullopt;
    const xcb_window_t focus = reply->focus;
    free(reply);
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) return std::nullopt;
    return focus;
}

void X11InputFocus::give(quint32 window) {
    xcb_connection_t* c = connection();
    if (!c) return;
    // The window may have gone meanwhile; the X server then answers with an error that Qt logs
    // and otherwise ignores.
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    xcb_flush(c);
}

} // namespace vantrel
