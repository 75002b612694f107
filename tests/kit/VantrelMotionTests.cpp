#include "kit/VantrelMotion.h"
#include "support/FakeReducedMotionSource.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

TEST(VantrelMotion, FollowsTheDesktopOneEventLoopTurnAfterItsAnnouncement) {
    FakeReducedMotionSource source(false);
    VantrelMotion motion(source);
    EXPECT_FALSE(motion.prefersReducedMotion());
    QSignalSpy spy(&motion, &VantrelMotion::prefersReducedMotionChanged);

    source.set(true);
    EXPECT_FALSE(motion.prefersReducedMotion()) << "the update is queued, not taken in the announcement";
    QCoreApplication::processEvents();
    EXPECT_TRUE(motion.prefersReducedMotion());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.at(0).at(0).toBool());

    source.set(true); // announced without a change: nothing to publish
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 1);

    VantrelMotion startsReduced(source);
    EXPECT_TRUE(startsReduced.prefersReducedMotion());
}

TEST(VantrelMotion, AnAnnouncementAfterTheSourceIsGoneIsIgnored) {
    auto source = std::make_unique<FakeReducedMotionSource>(false);
    VantrelMotion motion(*source);
    source->set(true);
    source.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(motion.prefersReducedMotion());
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
    EXPECT_EQ(motion.resolve(K::transition, standard), VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(motion.resolve(K::transition, std::nullopt), VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(motion.resolve(K::flourish, standard), VantrelAnimation::easeOut(0.10));
    // The ease-out starts slowly changing and ends at rest.
    const QEasingCurve curve = VantrelAnimation::easeOut(0.1).easing;
    EXPECT_NEAR(curve.valueForProgress(1.0), 1.0, 1e-6);
    EXPECT_GT(curve.valueForProgress(0.5), 0.5);
}
