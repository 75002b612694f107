#include "kit/DampedSpring.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(DampedSpring, ResponseAndDampingShapeTheCurveAndItsLength) {
    // 0.4 s at 0.85: settled within about half a second, with a small overshoot.
    const DampedSpring step{0.4, 0.85};
    EXPECT_NEAR(step.settleSeconds(), 0.517, 0.001);
    const DampedSpring bouncy{0.26, 0.52};
    EXPECT_NEAR(bouncy.settleSeconds(), 0.549, 0.001);
    EXPECT_NEAR(DampedSpring({0.156, 0.52}).settleSeconds(), 0.6 * bouncy.settleSeconds(), 1e-9)
        << "the length scales with the response";

    double peakStep = 0, peakBouncy = 0;
    for (int i = 0; i <= 200; ++i) {
        peakStep = std::max(peakStep, step.easing().valueForProgress(i / 200.0));
        peakBouncy = std::max(peakBouncy, bouncy.easing().valueForProgress(i / 200.0));
    }
    EXPECT_GT(peakStep, 1.0);
    EXPECT_LT(peakStep, 1.01);
    // Less damping overshoots more: e^(-pi 0.52 / sqrt(1 - 0.52^2)) = 0.148.
    EXPECT_NEAR(peakBouncy, 1.148, 0.005);
    EXPECT_EQ(bouncy.easing().valueForProgress(0), 0);
    EXPECT_EQ(bouncy.easing().valueForProgress(1), 1);

    // The easing follows the spring's own position over its settle time.
    for (const double progress : {0.1, 0.3, 0.7})
        EXPECT_NEAR(bouncy.easing().valueForProgress(progress),
                    bouncy.position(progress * bouncy.settleSeconds()), 1e-9);
    // Springs of one damping share a curve; of another, they do not.
    EXPECT_EQ(DampedSpring({0.1, 0.52}).easing(), bouncy.easing());
    EXPECT_NE(DampedSpring({0.26, 0.6}).easing(), bouncy.easing());
    EXPECT_EQ(bouncy.animation(), (VantrelAnimation{bouncy.easing(), bouncy.settleSeconds()}));
}

TEST(DampedSpring, CriticalDampingNeverOvershootsAndNonsenseSettlesAtOnce) {
    const DampedSpring critical{0.5, 1.0};
    double previous = 0;
    for (int i = 1; i <= 100; ++i) {
        const double value = critical.easing().valueForProgress(i / 100.0);
        EXPECT_GE(value, previous);
        EXPECT_LE(value, 1.0);
        previous = value;
    }
    EXPECT_NEAR(critical.position(critical.settleSeconds()), 0.999, 1e-4);
    EXPECT_EQ(DampedSpring({0, 0.5}).settleSeconds(), 0);
    EXPECT_EQ(DampedSpring({std::numeric_limits<double>::quiet_NaN(), 0.5}).position(0.1), 1);
    EXPECT_EQ(DampedSpring({0.3, 0.5}).position(0), 0);
}
