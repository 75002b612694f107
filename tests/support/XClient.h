#pragma once

#include <QByteArray>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace vantrel::test {

// A client of a test's private X server (another program, a window manager, a compositor), with
// what the X11 tests ask of one most.
class XClient {
public:
    explicit XClient(const QByteArray& display) : c(xcb_connect(display.constData(), nullptr)) {
        if (!xcb_connection_has_error(c)) root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    }
    ~XClient() { xcb_disconnect(c); }
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    bool ok() const { return root != XCB_WINDOW_NONE; }

    // The sequence number of a round trip made now. Once it is answered, every earlier request
    // of this client has been carried out and every event the server sent before it is queued.
    unsigned int roundTrip() {
        const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(c);
        std::free(xcb_get_input_focus_reply(c, cookie, nullptr));
        return cookie.sequence;
    }
    xcb_atom_t atom(const char* name) {
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }
    // A new unmapped 10 × 10 input-only window on the root.
    xcb_window_t window() {
        const xcb_window_t id = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, id, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        return id;
    }

    xcb_connection_t* c;
    xcb_window_t root = XCB_WINDOW_NONE;
};

} // namespace vantrel::test
