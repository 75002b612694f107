#include "platform/linux/X11PointerReading.h"

#include "platform/linux/XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

namespace vantrel {

X11PointerReading::X11PointerReading(xcb_connection_t* connection, QByteArray display)
    : connection_(connection), motion_(std::move(display)) {}

std::optional<QPoint> X11PointerReading::read() {
    if (pending_) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        // Never waits: without the answer yet, the last reading stands and no second request goes.
        if (xcb_poll_for_reply(connection_, *pending_, &reply, &error) != 0) {
            pending_.reset();
            const Reply<xcb_query_pointer_reply_t> pointer(static_cast<xcb_query_pointer_reply_t*>(reply));
            const Reply<xcb_generic_error_t> refused(error);
            if (pointer && pointer->same_screen) last_ = QPoint(pointer->root_x, pointer->root_y);
        }
        if (pending_) return last_;
    }
    // The count is taken before the request goes, so motion the answer may miss raises it again
    // and the next call asks anew.
    const std::uint64_t moved = motion_.motionCount();
    if (last_ && motion_.state() == X11PointerMotion::State::watching && moved == seenMotion_ &&
        ++quietCalls_ < kQuietRecheck)
        return last_;
    if (moved != seenMotion_) motion_.countTaken();
    seenMotion_ = moved;
    quietCalls_ = 0;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    if (!screen) return last_;
    pending_ = xcb_query_pointer(connection_, screen->root).sequence;
    xcb_flush(connection_);
    return last_;
}

} // namespace vantrel
