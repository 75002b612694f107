#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <poll.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

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

    // The 32-bit values of a property; empty when it is absent or of another kind.
    std::vector<quint32> cardinals(xcb_window_t window, const char* property, xcb_atom_t type,
                                   quint32 longs = 1024) {
        std::unique_ptr<xcb_get_property_reply_t, Free> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom(property), type, 0, longs), nullptr));
        if (!reply || reply->format != 32) return {};
        const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
        return std::vector<quint32>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    xcb_window_t selectionOwner(const char* selection) {
        std::unique_ptr<xcb_get_selection_owner_reply_t, Free> owner(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom(selection)), nullptr));
        return owner ? owner->owner : xcb_window_t(XCB_NONE);
    }
    // Waits until `done`, at most `milliseconds`, dropping the events that arrive meanwhile. The
    // answer is the last one `done` gave: asked once more, a state seen for a moment could read
    // false, and a wait would fail that saw what it waited for.
    bool waitFor(const std::function<bool()>& done, int milliseconds = 10'000) {
        const QDeadlineTimer deadline(milliseconds);
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        bool met = done();
        while (!met && !deadline.hasExpired()) {
            ::poll(&fd, 1, 100);
            while (xcb_generic_event_t* event = xcb_poll_for_event(c)) std::free(event);
            met = done();
        }
        return met;
    }

    // XTest: the first key that gives `keysym`, pressed or released as a user's would be.
    std::uint8_t keycode(std::uint32_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        std::unique_ptr<xcb_get_keyboard_mapping_reply_t, Free> mapping(xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1),
            nullptr));
        if (!mapping) return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        const int per = mapping->keysyms_per_keycode;
        for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(mapping.get()); ++i)
            if (syms[i] == keysym) return std::uint8_t(setup->min_keycode + i / per);
        return 0;
    }
    void key(std::uint32_t keysym, bool press) {
        xcb_test_fake_input(c, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(keysym), XCB_CURRENT_TIME,
                            root, 0, 0, 0);
        xcb_flush(c);
    }
    void tap(std::uint32_t keysym) {
        key(keysym, true);
        key(keysym, false);
    }
    // Lower-case letters, digits and spaces, whose keysyms are their own codes.
    void type(const QByteArray& text) {
        for (const char ch : text) tap(std::uint32_t(static_cast<unsigned char>(ch)));
        roundTrip();
    }
    void move(int x, int y) {
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, std::int16_t(x), std::int16_t(y),
                            0);
        roundTrip();
    }
    void click(int x, int y) {
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, std::int16_t(x), std::int16_t(y),
                            0);
        xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
        xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
        roundTrip();
    }

    xcb_connection_t* c;
    xcb_window_t root = XCB_WINDOW_NONE;

private:
    struct Free {
        void operator()(void* p) const { std::free(p); }
    };
};

} // namespace vantrel::test
