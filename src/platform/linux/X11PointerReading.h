#pragma once

#include "platform/linux/X11PointerMotion.h"

#include <QPoint>
#include <optional>

struct xcb_connection_t;

namespace vantrel {

// The pointer's place on an X11 desktop read at a steady pace without the caller's thread ever
// waiting on the X server: a reading is a request whose answer is collected at the next call.
// While the pointer's motion is watched and nothing moved, no request is made at all, but for one
// every `kQuietRecheck` calls, which also finds a pointer that a program warped.
class X11PointerReading {
public:
    static constexpr int kQuietRecheck = 10;

    // `connection` stays open for the life of this object; `display` names the same server.
    X11PointerReading(xcb_connection_t* connection, QByteArray display);

    // Where the pointer was at the latest reading that has come in; none until one has.
    std::optional<QPoint> read();

    const X11PointerMotion& motion() const { return motion_; }

private:
    xcb_connection_t* connection_;
    X11PointerMotion motion_;
    std::optional<unsigned int> pending_;
    std::optional<QPoint> last_;
    std::uint64_t seenMotion_ = 0;
    int quietCalls_ = 0;
};

} // namespace vantrel
