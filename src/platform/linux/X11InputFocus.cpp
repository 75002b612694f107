#include "platform/linux/X11InputFocus.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace vantrel {

namespace {

// The window the manager says is active; none without a manager that says so.
std::optional<xcb_window_t> managerActiveWindow(xcb_connection_t* c, xcb_window_t root, xcb_atom_t active) {
    if (active == XCB_ATOM_NONE) return std::nullopt;
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, active, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4) return std::nullopt;
    const xcb_window_t value = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    if (value == XCB_NONE) return std::nullopt;
    return value;
}

xcb_window_t rootOf(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

} // namespace

std::optional<quint32> X11InputFocus::current() const {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return std::nullopt;
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (!reply) return std::nullopt;
    const xcb_window_t focus = reply->focus;
    free(reply);
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT) return std::nullopt;
    // A client may keep the focus on a window inside its own, which the manager does not know as
    // a client: the active window is the one to hand back, where the manager names one.
    if (const auto active = managerActiveWindow(c, rootOf(c), internAtom(c, "_NET_ACTIVE_WINDOW")))
        return *active;
    return focus;
}

bool X11InputFocus::holds(quint32 window) const {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return false;
    const Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return reply && reply->focus == window;
}

void X11InputFocus::give(quint32 window) {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return;
    // The window may have gone meanwhile; the X server then answers with an error that Qt logs
    // and otherwise ignores.
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    // The manager is asked too, as a pager asks: a manager that took the window for active all
    // along would otherwise keep its clicks for itself, and one that did not would move the focus
    // back to the window it thinks active.
    const xcb_atom_t active = internAtom(c, "_NET_ACTIVE_WINDOW");
    if (active != XCB_ATOM_NONE) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = active;
        message.data.data32[0] = 2; // from a pager: no focus stealing prevention applies
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, rootOf(c),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }
    xcb_flush(c);
}

} // namespace vantrel
