#include "kit/VantrelMotion.h"
#include "support/FakeReducedMotionSource.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

TEST(VantrelMotion, FollowsTheDesktopOneEventLoopTurnAfterItsAnnouncement) {
    auto source = std::make_unique<FakeReducedMotionSource>(false);
    VantrelMotion motion(*source);
    QSignalSpy spy(&motion, &VantrelMotion::prefersReducedMotionChanged);
    source->set(true);
    EXPECT_FALSE(motion.prefersReducedMotion()) << "the update is queued, not taken in the announcement";
    QCoreApplication::processEvents();
    EXPECT_TRUE(motion.prefersReducedMotion());
    source->set(true); // announced without a change: nothing to publish
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(VantrelMotion(*source).prefersReducedMotion()) << "starts from the desktop's value";

    // An announcement whose source is gone by the time it is handled is ignored.
    source->set(false);
    source.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(motion.prefersReducedMotion());
}

TEST(VantrelMotion, ResolveShortensOnlyNonEssentialAnimationsUnderReducedMotion) {
    FakeReducedMotionSource source(false);
    VantrelMotion motion(source);
    const VantrelAnimation standard{QEasingCurve(QEasingCurve::InOutQuad), 0.35};
    using K = VantrelMotion::Kind;
    for (K kind : {K::essential, K::transition, K::flourish}) {
        EXPECT_EQ(motion.resolve(kind, standard), standard);
        EXPECT_EQ(motion.resolve(kind, std::nullopt), std::nullopt);
    }
    source.set(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(motion.resolve(K::essential, standard), standard);
    EXPECT_EQ(motion.resolve(K::essential, std::nullopt), std::nullopt);
    EXPECT_EQ(motion.resolve(K::transition, std::nullopt), VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(motion.resolve(K::flourish, standard), VantrelAnimation::easeOut(0.10));
    EXPECT_GT(VantrelAnimation::easeOut(0.1).easing.valueForProgress(0.5), 0.5) << "an ease-out";
}
