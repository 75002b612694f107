#include "kit/VantrelMotion.h"
#include "support/FakeSystemAppearance.h"

#include <QCoreApplication>
#include <QSignalSpy>
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
