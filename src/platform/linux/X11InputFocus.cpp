#include "platform/linux/X11InputFocus.h"

#include "platform/linux/QtXcbConnection.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace vantrel {

std::optional<quint32> X11InputFocus::current() const {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return std::nullopt;
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (!reply) return std::nullopt;
    const xcb_window_t focus = reply->focus;
    free(reply);
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) return std::nullopt;
    return focus;
}

void X11InputFocus::give(quint32 window) {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return;
    // The window may have gone meanwhile; the X server then answers with an error that Qt logs
    // and otherwise ignores.
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    xcb_flush(c);
}

} // namespace vantrel
