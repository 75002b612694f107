#include "kit/VantrelMotion.h"
#include "support/FakeSystemAppearance.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QVariantAnimation>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

TEST(VantrelMotion, FollowsTheDesktopOneEventLoopTurnAfterItsAnnouncement) {
    auto source = std::make_unique<FakeSystemAppearance>();
    VantrelMotion motion(*source);
    QSignalSpy spy(&motion, &VantrelMotion::prefersReducedMotionChanged);
    source->setReduceMotion(true);
    EXPECT_FALSE(motion.prefersReducedMotion()) << "the update is queued, not taken in the announcement";
    QCoreApplication::processEvents();
    source->setIncreasedContrast(true); // announced, but motion is as it was: nothing to publish
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(VantrelMotion(*source).prefersReducedMotion()) << "starts from the desktop's value";

    // Reduced motion shortens only the animations that carry no meaning.
    using K = VantrelMotion::Kind;
    const VantrelAnimation standard{QEasingCurve(QEasingCurve::InOutQuad), 0.35};
    EXPECT_EQ(motion.resolve(K::essential, standard), standard);
    EXPECT_EQ(motion.resolve(K::transition, std::nullopt), VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(motion.resolve(K::flourish, standard), VantrelAnimation::easeOut(0.10));

    // An announcement whose source is gone by the time it is handled is ignored.
    source->setReduceMotion(false);
    source.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(motion.prefersReducedMotion());
    FakeSystemAppearance calm;
    EXPECT_EQ(VantrelMotion(calm).resolve(K::flourish, standard), standard)
        << "no reduced motion: as designed";
}

TEST(VantrelAnimation, EaseCurvesAndTheirDurationInWholeMilliseconds) {
    // The system's curves: ease-out is cubic-bezier(0, 0, 0.58, 1), ease-in-out (0.42, 0, 0.58, 1).
    const VantrelAnimation out = VantrelAnimation::easeOut(0.16);
    EXPECT_NEAR(out.easing.valueForProgress(0.5), 0.6846, 0.002);
    EXPECT_NEAR(out.easing.valueForProgress(1.0), 1.0, 1e-9);
    const VantrelAnimation inOut = VantrelAnimation::easeInOut(0.22);
    EXPECT_NEAR(inOut.easing.valueForProgress(0.25), 0.1292, 0.002);
    EXPECT_NEAR(inOut.easing.valueForProgress(0.5), 0.5, 0.002);

    QVariantAnimation animation;
    VantrelAnimation::easeOut(0.1449).applyTo(animation);
    EXPECT_EQ(animation.duration(), 145);
    EXPECT_EQ(animation.easingCurve(), VantrelAnimation::easeOut(1).easing);
    EXPECT_NE(animation.state(), QAbstractAnimation::Running);

    inOut.run(animation, 2.0, 6.0);
    EXPECT_EQ(animation.state(), QAbstractAnimation::Running);
    EXPECT_EQ(animation.duration(), 220);
    animation.setCurrentTime(55); // a quarter of the way
    EXPECT_NEAR(animation.currentValue().toDouble(), 2.0 + 4 * 0.1292, 0.01);
    animation.setCurrentTime(220);
    EXPECT_DOUBLE_EQ(animation.currentValue().toDouble(), 6.0);
}
