#include "platform/linux/X11PointerReading.h"

#include "support/XClient.h"
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

TEST(X11PointerReading, AtRestOnlyEveryTenthReadingAsksAndMotionOrAWarpIsFound) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    XClient input(display);
    xcb_warp_pointer(input.c, XCB_NONE, input.root, 0, 0, 0, 0, 100, 200);
    input.roundTrip();

    XClient own(display);
    {
        X11PointerReading reading(own.c, display);
        ASSERT_TRUE(
            eventually([&reading] { return reading.motion().state() == X11PointerMotion::State::watching; }));
        const auto next = [&] {
            const std::optional<QPoint> point = reading.read();
            own.roundTrip();
            return point;
        };
        EXPECT_EQ(next(), std::nullopt) << "the first reading has only been asked for";
        EXPECT_EQ(next(), QPoint(100, 200));

        // At rest: 30 readings ask the server three times.
        const unsigned int before = own.roundTrip();
        for (int i = 0; i < 30; ++i) next();
        EXPECT_EQ(own.roundTrip() - before - 30 - 1, 3u);

        // A warp moves no input device, yet it is found within ten readings.
        xcb_warp_pointer(input.c, XCB_NONE, input.root, 0, 0, 0, 0, 300, 50);
        input.roundTrip();
        int readings = 0;
        while (readings < 11 && next() != QPoint(300, 50)) ++readings;
        EXPECT_LE(readings, 10);

        // A device's motion is read at the next reading that can ask.
        const std::uint64_t counted = reading.motion().motionCount();
        xcb_test_fake_input(input.c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, input.root, 20, 30, 0);
        input.roundTrip();
        ASSERT_TRUE(eventually([&] { return reading.motion().motionCount() > counted; }));
        next();
        EXPECT_EQ(next(), QPoint(20, 30));
    }

    X11PointerMotion nowhere(QByteArrayLiteral(":65000"));
    EXPECT_TRUE(eventually([&nowhere] { return nowhere.state() == X11PointerMotion::State::unavailable; }));
}

} // namespace
