#include "control-center/ControlCenterLayoutPolicy.h"

#include <gtest/gtest.h>
#include <limits>

using vantrel::ControlCenterLayoutPolicy;

TEST(ControlCenterLayoutPolicy, ShrinksAndMovesAWindowThatDoesNotFit) {
    const QRectF visible(0, 25, 1440, 875);
    // Larger than the visible frame less 8 on each side, and hanging off its top-left.
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(QRectF(-100, -50, 1600, 1000), visible, 8),
              QRectF(8, 33, 1424, 859));
    // Fits in size but hangs off the bottom-right: moved in, size kept.
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(QRectF(1000, 600, 1080, 720), visible, 8),
              QRectF(352, 172, 1080, 720));
}

TEST(ControlCenterLayoutPolicy, LeavesAFittingWindowUntouched) {
    const QRectF visible(0, 25, 1440, 875);
    const QRectF window(180, 100, 1080, 720);
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(window, visible, 8), window);
    // Exactly at the margin on every side.
    const QRectF snug(8, 33, 1424, 859);
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(snug, visible, 8), snug);
}

TEST(ControlCenterLayoutPolicy, ClampsTheMargin) {
    const QRectF visible(100, 100, 200, 100);
    const QRectF window(0, 0, 500, 500);
    // A negative margin counts as none.
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(window, visible, -20),
              QRectF(100, 100, 200, 100));
    // A margin beyond half the size collapses that axis to its centre line; the size stays at least 1.
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(window, visible, 80),
              QRectF(180, 149, 40, 1));
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(window, visible, 1000),
              QRectF(199, 149, 1, 1));
    // A margin that is no number is treated as none rather than spreading into the frame.
    const QRectF result = ControlCenterLayoutPolicy::constrainedWindowFrame(
        window, visible, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(result, QRectF(100, 100, 200, 100));
}

TEST(ControlCenterLayoutPolicy, NeverGrowsASmallWindow) {
    const QRectF visible(0, 0, 800, 600);
    EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(QRectF(795, 595, 0.5, 0.5), visible, 8),
              QRectF(791.5, 591.5, 0.5, 0.5));
}
