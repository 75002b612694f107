#include "platform/linux/X11PointerMotion.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace vantrel {

namespace {

// XInput2 event numbers, also their bits in a selection mask.
enum XiEvent : std::uint32_t {
    rawMotion = 17,
    rawTouchBegin = 22,
    rawTouchUpdate = 23,
    rawTouchEnd = 24,
};

// How long a count may wait to be taken before the events gathered since are read anyway.
constexpr int kUntakenMilliseconds = 1000;

} // namespace

X11PointerMotion::X11PointerMotion(QByteArray display) : display_(std::move(display)) {
    thread_ = std::thread([this] { run(); });
}

X11PointerMotion::~X11PointerMotion() {
    stopping_ = true;
    wake_.raise();
    thread_.join();
}

void X11PointerMotion::run() {
    const std::optional<OwnXcbConnection> own = connectToDisplay(display_);
    if (own && wake_.fd() >= 0) serve(own->connection, own->root);
    state_ = State::unavailable;
    if (own) xcb_disconnect(own->connection);
}

void X11PointerMotion::serve(xcb_connection_t* c, xcb_window_t root) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
    if (!extension || !extension->present) return;
    Reply<xcb_input_xi_query_version_reply_t> version(
        xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr));
    // Raw events reach a client that grabs nothing from XI 2.1 on; raw touches came with 2.2.
    if (!version || (version->major_version == 2 && version->minor_version < 1)) return;
    const bool touches = version->major_version > 2 || version->minor_version >= 2;

    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, 1u << rawMotion};
    // A touch screen moves the pointer too.
    if (touches) selection.bits |= (1u << rawTouchBegin) | (1u << rawTouchUpdate) | (1u << rawTouchEnd);
    Reply<xcb_generic_error_t> refused(
        xcb_request_check(c, xcb_input_xi_select_events_checked(c, root, 1, &selection.head)));
    if (refused) return;
    state_ = State::watching;

    while (!stopping_ && !xcb_connection_has_error(c)) {
        bool moved = false;
        while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
            Reply<xcb_generic_event_t> event(raw);
            if ((event->response_type & 0x7f) == XCB_GE_GENERIC &&
                reinterpret_cast<const xcb_ge_generic_event_t*>(event.get())->extension ==
                    extension->major_opcode)
                moved = true;
        }
        if (moved) count_.fetch_add(1, std::memory_order_acq_rel);
        wake_.wait(moved ? -1 : xcb_get_file_descriptor(c), moved ? kUntakenMilliseconds : -1);
    }
}

} // namespace vantrel
