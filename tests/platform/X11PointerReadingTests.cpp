#include "platform/linux/X11PointerReading.h"

#include "support/XvfbServer.h"

#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Asks until `done` holds, for at most ten seconds; whether it held. Other threads and the X
// server are waited for, never a span of time.
bool eventually(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10'000);
    while (!done() && !deadline.hasExpired()) QThread::yieldCurrentThread();
    return done();
}

// A round trip on `connection`: the sequence number it took. Once it is answered, every earlier
// request's answer is in too.
unsigned int roundTrip(xcb_connection_t* connection) {
    const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(connection);
    std::free(xcb_get_input_focus_reply(connection, cookie, nullptr));
    return cookie.sequence;
}

TEST(X11PointerReading, AtRestOnlyEveryTenthReadingAsksAndMotionOrAWarpIsFound) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    xcb_connection_t* input = xcb_connect(display.constData(), nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(input)).data->root;
    xcb_warp_pointer(input, XCB_NONE, root, 0, 0, 0, 0, 100, 200);
    roundTrip(input);

    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    {
        X11PointerReading reading(connection, display);
        ASSERT_TRUE(
            eventually([&reading] { return reading.motion().state() == X11PointerMotion::State::watching; }));
        const auto next = [&] {
            const std::optional<QPoint> point = reading.read();
            roundTrip(connection);
            return point;
        };
        EXPECT_EQ(next(), std::nullopt) << "the first reading has only been asked for";
        EXPECT_EQ(next(), QPoint(100, 200));

        // At rest: 30 readings ask the server three times.
        const unsigned int before = roundTrip(connection);
        for (int i = 0; i < 30; ++i) next();
        EXPECT_EQ(roundTrip(connection) - before - 30 - 1, 3u);

        // A warp moves no input device, yet it is found within ten readings.
        xcb_warp_pointer(input, XCB_NONE, root, 0, 0, 0, 0, 300, 50);
        roundTrip(input);
        int readings = 0;
        while (readings < 11 && next() != QPoint(300, 50)) ++readings;
        EXPECT_LE(readings, 10);

        // A device's motion is read at the next reading that can ask.
        const std::uint64_t counted = reading.motion().motionCount();
        xcb_test_fake_input(input, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, 20, 30, 0);
        roundTrip(input);
        ASSERT_TRUE(eventually([&] { return reading.motion().motionCount() > counted; }));
        next();
        EXPECT_EQ(next(), QPoint(20, 30));
    }
    xcb_disconnect(connection);
    xcb_disconnect(input);

    X11PointerMotion nowhere(QByteArrayLiteral(":65000"));
    EXPECT_TRUE(eventually([&nowhere] { return nowhere.state() == X11PointerMotion::State::unavailable; }));
}

} // namespace
