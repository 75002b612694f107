#include "control-center/ControlCenterLayoutPolicy.h"

#include <gtest/gtest.h>
#include <limits>

using vantrel::ControlCenterLayoutPolicy;

TEST(ControlCenterLayoutPolicy, ShrinksMovesOrLeavesTheWindowAndClampsTheMargin) {
    const QRectF screen(0, 25, 1440, 875);
    const QRectF narrow(100, 100, 200, 100);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        QRectF window;
        QRectF visible;
        double margin;
        QRectF expected;
    };
    const Case cases[] = {
        {"too large and off the top-left: shrunk and moved",
         {-100, -50, 1600, 1000},
         screen,
         8,
         {8, 33, 1424, 859}},
        {"off the bottom-right: moved in, size kept",
         {1000, 600, 1080, 720},
         screen,
         8,
         {352, 172, 1080, 720}},
        {"fits: untouched", {180, 100, 1080, 720}, screen, 8, {180, 100, 1080, 720}},
        {"a small window never grows", {795, 595, 0.5, 0.5}, {0, 0, 800, 600}, 8, {791.5, 591.5, 0.5, 0.5}},
        {"a negative margin counts as none", {0, 0, 500, 500}, narrow, -20, {100, 100, 200, 100}},
        {"a margin that is no number counts as none", {0, 0, 500, 500}, narrow, nan, {100, 100, 200, 100}},
        // Beyond half the size an axis collapses to its centre line; the size stays at least 1.
        {"a margin beyond half the height", {0, 0, 500, 500}, narrow, 80, {180, 149, 40, 1}},
        // An infinite margin is the largest margin there is, not none.
        {"an infinite margin", {0, 0, 500, 500}, narrow, infinity, {199, 149, 1, 1}},
        {"a negative infinite margin counts as none",
         {0, 0, 500, 500},
         narrow,
         -infinity,
         {100, 100, 200, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ControlCenterLayoutPolicy::constrainedWindowFrame(c.window, c.visible, c.margin),
                  c.expected)
            << c.what;
}

TEST(ControlCenterLayoutPolicy, NavigationMetricsChangeExactlyAt900And1100) {
    using Metrics = ControlCenterLayoutPolicy::NavigationMetrics;
    const Metrics compact{12, 14, 54, false, false};
    const Metrics regular{20, 16, 124, true, true};
    const Metrics wide{28, 20, 176, true, true};
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(720), compact);
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(899), compact);
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(899.5), compact);
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(900), regular);
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(1099), regular);
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(1100), wide);
    EXPECT_EQ(ControlCenterLayoutPolicy::metrics(2560), wide);
}
