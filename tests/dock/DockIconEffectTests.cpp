#include "core/VantrelPreferences.h"
#include "dock/DockHoverLabel.h"
#include "dock/DockIconEffect.h"
#include "dock/DockIconVisualState.h"
#include "kit/VantrelType.h"
#include "support/FakeSystemAppearance.h"
#include "support/RecordingUserDefaults.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using A = DockIconAnimation;
using Curve = DockIconAnimationChoice::Curve;

DockIconVisualState hovered(A animation, double scale = 1.23, bool magnification = true) {
    return DockIconVisualState::forHover(true, magnification, animation, scale);
}

TEST(DockIconVisualState, EachEffectAtTheDefaultScale) {
    EXPECT_EQ(hovered(A::lift), (DockIconVisualState{1, -7, 0}));
    EXPECT_EQ(hovered(A::magnify), (DockIconVisualState{1.23, 0, 0}));
    EXPECT_EQ(hovered(A::pulse), (DockIconVisualState{1.23, 0, 0}));
    EXPECT_EQ(hovered(A::rise), (DockIconVisualState{1.23, -7, 0}));
    EXPECT_EQ(hovered(A::sway), (DockIconVisualState{1, 0, -7})) << "tilted anticlockwise, not scaled";
    const DockIconVisualState bounce = hovered(A::bounce);
    EXPECT_NEAR(bounce.scale, 1.0805, 1e-9);
    EXPECT_EQ(bounce.offsetY, -11);
    EXPECT_EQ(hovered(A::none), DockIconVisualState{});
    // Not hovered, or with the switch off, every effect rests.
    for (const A animation : allCasesOf<A>()) {
        EXPECT_EQ(DockIconVisualState::forHover(false, true, animation, 1.5), DockIconVisualState{});
        EXPECT_EQ(hovered(animation, 1.5, false), DockIconVisualState{});
    }
}

TEST(DockIconVisualState, TheScaleIsClampedAndANonFiniteOneIsOne) {
    EXPECT_EQ(hovered(A::magnify, 2.0).scale, 1.6);
    EXPECT_EQ(hovered(A::magnify, 0.8).scale, 1.0);
    EXPECT_EQ(hovered(A::magnify, std::numeric_limits<double>::quiet_NaN()).scale, 1.0);
    EXPECT_EQ(hovered(A::magnify, std::numeric_limits<double>::infinity()).scale, 1.0);
    EXPECT_EQ(hovered(A::bounce, std::numeric_limits<double>::quiet_NaN()), (DockIconVisualState{1, -11, 0}))
        << "bounce then only lifts";
    EXPECT_EQ(hovered(A::rise, 1.6).scale, 1.6);
}

TEST(DockIconAnimationChoice, CurvesBySpeedAndReducedMotion) {
    using S = DockAnimationSpeed;
    const auto bounceSnappy = DockIconAnimationChoice::forEffect(true, A::bounce, S::snappy);
    EXPECT_EQ(bounceSnappy.curve, Curve::spring);
    EXPECT_NEAR(bounceSnappy.spring.response, 0.156, 1e-12);
    EXPECT_EQ(bounceSnappy.spring.damping, 0.52);
    const auto pulse = DockIconAnimationChoice::forEffect(true, A::pulse, S::natural);
    EXPECT_NEAR(pulse.spring.response, 0.2, 1e-12);
    EXPECT_EQ(pulse.spring.damping, 0.6);
    const auto swayRelaxed = DockIconAnimationChoice::forEffect(true, A::sway, S::relaxed);
    EXPECT_EQ(swayRelaxed.standard(), VantrelAnimation::easeOut(0.256));
    EXPECT_EQ(DockIconAnimationChoice::forEffect(true, A::rise, S::natural).standard(),
              VantrelAnimation::easeOut(0.13));
    EXPECT_EQ(DockIconAnimationChoice::forEffect(true, A::lift, S::snappy).standard().duration, 0.13 * 0.6);
    // Off, or no effect: no visible animation.
    EXPECT_EQ(DockIconAnimationChoice::forEffect(false, A::bounce, S::natural).standard().duration, 0);
    EXPECT_EQ(DockIconAnimationChoice::forEffect(true, A::none, S::relaxed).standard().duration, 0);
    // A spring runs its own curve, until it has settled.
    const VantrelAnimation spring = bounceSnappy.standard();
    EXPECT_EQ(spring.easing.type(), QEasingCurve::Custom);
    EXPECT_EQ(spring.duration, (DampedSpring{0.156, 0.52}.settleSeconds()));

    // Reduced motion: 0.10 s for bounce and pulse, 0.12 s for everything else.
    FakeSystemAppearance appearance;
    appearance.setReduceMotion(true);
    const VantrelMotion reduced(appearance);
    EXPECT_EQ(bounceSnappy.resolved(&reduced), VantrelAnimation::easeOut(0.10));
    EXPECT_EQ(pulse.resolved(&reduced), VantrelAnimation::easeOut(0.10));
    EXPECT_EQ(swayRelaxed.resolved(&reduced), VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(DockIconAnimationChoice::forEffect(true, A::magnify, S::snappy).resolved(&reduced),
              VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(DockIconAnimationChoice::forEffect(false, A::bounce, S::natural).resolved(&reduced),
              VantrelAnimation::easeOut(0.12))
        << "with the switch off, the second kind";
    EXPECT_EQ(swayRelaxed.resolved(nullptr), VantrelAnimation::easeOut(0.256));
}

struct DockIconEffectTest : ::testing::Test {
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    FakeSystemAppearance appearance;
};

TEST_F(DockIconEffectTest, HoverAnimatesToTheEffectAndBackWithTheGeometryUnchangedUnderReducedMotion) {
    preferences.setCustomDockIconAnimation(A::bounce);
    DockIconEffect effect(preferences, nullptr);
    int changes = 0;
    QObject::connect(&effect, &DockIconEffect::changed, [&] { ++changes; });
    effect.setHovering(true);
    ASSERT_NE(effect.animation(), nullptr);
    EXPECT_EQ(effect.lastAnimation()->duration, (DampedSpring{0.26, 0.52}.settleSeconds()));
    const int total = effect.animation()->duration();
    effect.animation()->setCurrentTime(total / 4);
    EXPECT_LT(effect.current().offsetY, -11) << "the spring overshoots on the way";
    effect.animation()->setCurrentTime(total);
    EXPECT_EQ(effect.current(), hovered(A::bounce));
    EXPECT_GT(changes, 0);

    appearance.setReduceMotion(true);
    const VantrelMotion reduced(appearance);
    DockIconEffect calm(preferences, &reduced);
    calm.setHovering(true);
    EXPECT_EQ(calm.lastAnimation(), VantrelAnimation::easeOut(0.10));
    calm.animation()->setCurrentTime(calm.animation()->duration());
    EXPECT_EQ(calm.current(), hovered(A::bounce)) << "the same place, reached on a short ease-out";
    calm.setHovering(false);
    calm.animation()->setCurrentTime(calm.animation()->duration());
    EXPECT_EQ(calm.current(), DockIconVisualState{});
}

TEST_F(DockIconEffectTest, TheSwitchOffNeverMovesTheIconAndASettingShowsAtOnce) {
    preferences.setCustomDockMagnification(false);
    DockIconEffect effect(preferences, nullptr);
    effect.setHovering(true);
    EXPECT_EQ(effect.animation(), nullptr);
    EXPECT_EQ(effect.current(), DockIconVisualState{});
    preferences.setCustomDockMagnification(true);
    EXPECT_EQ(effect.current(), hovered(A::rise)) << "the default effect, without waiting";
    preferences.setCustomDockMagnificationScale(2.0);
    EXPECT_EQ(effect.current().scale, 1.6);

    // Drawn grown about the icon's centre and lifted.
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    effect.paint(painter, QRectF(40, 40, 20, 20),
                 [](QPainter& p) { p.fillRect(QRectF(40, 40, 20, 20), Qt::red); });
    painter.end();
    // 20 points at 1.6 is 32, centred on (50, 50 - 7).
    EXPECT_EQ(image.pixelColor(35, 29).alpha(), 255);
    EXPECT_EQ(image.pixelColor(65, 57).alpha(), 255);
    EXPECT_EQ(image.pixelColor(50, 61).alpha(), 0);
}

TEST(DockHoverLabel, OneLineElidedInTheMiddleAtMost104WideAndAFadeOf012Seconds) {
    const auto shortLabel = DockHoverLabel::layout("Files", QPointF(100, 50));
    EXPECT_EQ(shortLabel.text, "Files");
    EXPECT_EQ(shortLabel.capsule.top(), 50);
    EXPECT_EQ(shortLabel.capsule.center().x(), 100);
    EXPECT_EQ(shortLabel.textRect, shortLabel.capsule.adjusted(8, 4, -8, -4));
    const QString name = "A very long application name that never fits";
    const auto longLabel = DockHoverLabel::layout(name, QPointF(100, 50));
    EXPECT_LE(longLabel.textRect.width(), 104);
    EXPECT_TRUE(longLabel.text.startsWith("A ver"));
    EXPECT_TRUE(longLabel.text.endsWith("fits"));
    EXPECT_TRUE(longLabel.text.contains(QChar(0x2026)));
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(DockHoverLabel::font()), 10.5);
    EXPECT_EQ(DockHoverLabel::font().weight(), QFont::DemiBold);
    EXPECT_EQ(DockHoverLabel::layout("<b>x</b>\nline", {}).text, "<b>x</b> line") << "plain text on one line";

    DockHoverLabel label;
    label.setText("Files");
    label.setVisible(true);
    ASSERT_NE(label.animation(), nullptr);
    EXPECT_EQ(label.animation()->duration(), 120);
    label.animation()->setCurrentTime(120);
    EXPECT_EQ(label.opacity(), 1);
    label.setVisible(false);
    label.animation()->setCurrentTime(60);
    EXPECT_GT(label.opacity(), 0);
    EXPECT_LT(label.opacity(), 0.5) << "an ease-out is more than half way at half time";
    label.animation()->setCurrentTime(120);
    EXPECT_EQ(label.opacity(), 0);
}

} // namespace
