#include "core/VantrelPreferences.h"
#include "kit/KitRender.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelTheme.h"
#include "settings/NotchPreviewGeometry.h"
#include "settings/NotchPreviewState.h"
#include "settings/NotchSettingsPreview.h"
#include "support/ControlCenterHarness.h"

#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(NotchPreviewGeometry, TheScaleFollowsTheOfferedWidthUpToItsCap) {
    EXPECT_EQ(NotchPreviewGeometry::compute(36, NotchSize::medium, true).scale, 0);
    EXPECT_EQ(NotchPreviewGeometry::compute(20, NotchSize::medium, true).shownSize, QSizeF(0, 0));
    EXPECT_DOUBLE_EQ(NotchPreviewGeometry::compute(37, NotchSize::medium, true).scale, 1.0 / 920);
    EXPECT_DOUBLE_EQ(NotchPreviewGeometry::compute(500, NotchSize::medium, true).scale, 464.0 / 920);
    EXPECT_DOUBLE_EQ(NotchPreviewGeometry::compute(795, NotchSize::medium, true).scale, 759.0 / 920);
    EXPECT_DOUBLE_EQ(NotchPreviewGeometry::compute(794, NotchSize::medium, true).scale, 758.0 / 920);
    EXPECT_DOUBLE_EQ(NotchPreviewGeometry::compute(2000, NotchSize::medium, true).scale, 759.0 / 920);

    // The large panel at full scale: 759 by 90.75, its corners 24.
    const NotchPreviewGeometry large = NotchPreviewGeometry::compute(795, NotchSize::large, true);
    EXPECT_DOUBLE_EQ(large.shownSize.width(), 759);
    EXPECT_DOUBLE_EQ(large.shownSize.height(), 90.75);
    EXPECT_DOUBLE_EQ(large.cornerRadius, 24);
    EXPECT_EQ(large.notchRect(795), QRectF(18, 14, 759, 90.75));
    // The header: 18 in from the notch's sides, the scaled bridge height (31.35) and 4 below its top.
    const QRectF header = large.headerRect(795);
    EXPECT_DOUBLE_EQ(header.left(), 36);
    EXPECT_NEAR(header.top(), 14 + 31.35 + 4, 1e-9);
    EXPECT_DOUBLE_EQ(header.width(), 759 - 36);
    EXPECT_DOUBLE_EQ(header.height(), 34);
    // A notch narrower than the two insets has an empty header, not a negative one.
    const NotchPreviewGeometry narrow = NotchPreviewGeometry::compute(60, NotchSize::large, true);
    EXPECT_DOUBLE_EQ(narrow.notchRect(60).left(), (60 - narrow.shownSize.width()) / 2);
    EXPECT_LT(narrow.shownSize.width(), 36);
    EXPECT_EQ(narrow.headerRect(60).width(), 0);
    const NotchPreviewGeometry small = NotchPreviewGeometry::compute(1200, NotchSize::small, true);
    EXPECT_DOUBLE_EQ(small.shownSize.width(), 720 * 759.0 / 920);
    EXPECT_DOUBLE_EQ(small.shownSize.height(), 100 * 759.0 / 920);
}

TEST(NotchPreviewGeometry, CollapsedTheRadiusIsClampedOnTheScaledHeight) {
    const NotchPreviewGeometry full = NotchPreviewGeometry::compute(795, NotchSize::large, false);
    EXPECT_DOUBLE_EQ(full.shownSize.width(), 170 * 0.825);
    EXPECT_DOUBLE_EQ(full.shownSize.height(), 38 * 0.825);
    EXPECT_NEAR(full.cornerRadius, 16.34 * 0.825, 1e-9);
    EXPECT_EQ(full.cornerRadius, full.bridgeRadius);
    // Small enough, the clamp holds it at 12.
    EXPECT_DOUBLE_EQ(NotchPreviewGeometry::compute(300, NotchSize::large, false).cornerRadius, 12);
    // The header's tile and glyphs from the scaled bridge height (31.35 at full scale).
    EXPECT_DOUBLE_EQ(full.tile, 34);
    EXPECT_NEAR(full.glyph, 31.35 * 0.76, 1e-9);
    const NotchPreviewGeometry tiny = NotchPreviewGeometry::compute(100, NotchSize::large, true);
    EXPECT_DOUBLE_EQ(tiny.tile, 19);
    EXPECT_DOUBLE_EQ(tiny.glyph, 14);
    // Half way open, half way between the two.
    const NotchPreviewGeometry half =
        NotchPreviewGeometry::blend(full, NotchPreviewGeometry::compute(795, NotchSize::large, true), 0.5);
    EXPECT_DOUBLE_EQ(half.shownSize.width(), (140.25 + 759) / 2);
}

TEST(NotchPreviewState, HoverOpensOnlyWithAutoExpandAndTapsAlwaysToggle) {
    const NotchPreviewState start;
    EXPECT_TRUE(start.expanded);
    EXPECT_FALSE(start.hovering);
    EXPECT_EQ(start.hovered(false, true), (NotchPreviewState{false, false}));
    EXPECT_EQ(start.hovered(true, true), (NotchPreviewState{true, true}));
    EXPECT_EQ((NotchPreviewState{false, false}).hovered(true, false), (NotchPreviewState{false, true}))
        << "without auto-expand only the hover flag moves";
    EXPECT_EQ(start.tapped(), (NotchPreviewState{false, false}));
    EXPECT_EQ(start.tapped().tapped(), start);
    EXPECT_EQ((NotchPreviewState{false, true}).revealed(), (NotchPreviewState{true, true}));

    const VantrelAnimation normal = NotchPreviewState::animation(false);
    EXPECT_DOUBLE_EQ(normal.duration, 0.25);
    EXPECT_DOUBLE_EQ(NotchPreviewState::animation(true).duration, 0.12);
    // The curve (0.22, 0.82, 0.24, 1.0) is far along early and ends at 1: at a quarter of the
    // time 0.743, half way 0.942, never past 1.
    EXPECT_GT(normal.easing.valueForProgress(0.25), 0.6);
    EXPECT_NEAR(normal.easing.valueForProgress(0.25), 0.743, 5e-3);
    EXPECT_NEAR(normal.easing.valueForProgress(0.5), 0.942, 5e-3);
    for (double t = 0; t <= 1.0; t += 0.05) EXPECT_LE(normal.easing.valueForProgress(t), 1.0 + 1e-9) << t;
    EXPECT_NEAR(normal.easing.valueForProgress(1.0), 1.0, 1e-9);
    EXPECT_EQ(normal.easing.type(), QEasingCurve::BezierSpline);
}

namespace {

struct PreviewFixture : ::testing::Test {
    ControlCenterHarness c;
    VantrelPreferences& preferences;
    std::unique_ptr<NotchSettingsPreview> made;
    NotchSettingsPreview& preview;
    PreviewFixture()
        : preferences(c.h.preferences),
          made(std::make_unique<NotchSettingsPreview>(c.h.preferences, c.views.themeImages, c.views.motion)),
          preview(*made) {
        preview.resize(795, 294);
    }
};

} // namespace

TEST_F(PreviewFixture, TheRailFollowsTheSharedTabRules) {
    EXPECT_EQ(preview.accessibleName(), QStringLiteral("Interactive notch preview"));
    EXPECT_EQ(preview.height(), 294);
    preferences.setNotchWidgetOrder({QStringLiteral("home"), QStringLiteral("calendar"),
                                     QStringLiteral("calendar"), QStringLiteral("bogus"),
                                     QStringLiteral("clipboard")});
    EXPECT_EQ(preview.look().widgetSignature.section(u'|', 0, 2), QStringLiteral("home|calendar|clipboard"))
        << "a stored home and a repeat show once";
    preferences.setNotchClipboardEnabled(false);
    preferences.setNotchCalendarEnabled(false);
    preferences.setNotchFocusEnabled(false);
    preferences.setNotchTimersEnabled(false);
    preferences.setNotchSystemEnabled(false);
    preferences.setNotchNotesEnabled(false);
    preferences.setNotchFilesEnabled(false);
    preferences.setNotchMirrorEnabled(false);
    preferences.setNotchBookmarksEnabled(false);
    EXPECT_EQ(preview.tabs(), std::vector<NotchTab>{NotchTab::home});
    EXPECT_EQ(preview.look().widgetSignature, QStringLiteral("home"));
    preferences.setNotchCalendarEnabled(true);
    EXPECT_EQ(preview.look().widgetSignature, QStringLiteral("home|calendar"));
    EXPECT_EQ(preview.lookAnimation()->state(), QAbstractAnimation::Running) << "the rail's change animates";
    EXPECT_EQ(preview.lookAnimation()->duration(), 180);
}

TEST_F(PreviewFixture, SettingsOnlyThemesShowNeitherArtworkNorTint) {
    preferences.setArtTheme(ArtTheme::canyonAlloy);
    preferences.setCustomBackgroundTintEnabled(true);
    EXPECT_EQ(preview.previewTheme(), ArtTheme::canyonAlloy);
    EXPECT_TRUE(preview.previewTintIsActive());
    EXPECT_TRUE(preview.artwork().has_value());
    preferences.setThemeScope(ThemeScope::settingsOnly);
    EXPECT_EQ(preview.previewTheme(), ArtTheme::neutral);
    EXPECT_FALSE(preview.previewTintIsActive());
    EXPECT_FALSE(preview.artwork().has_value());
    preferences.setThemeScope(ThemeScope::notchOnly);
    EXPECT_TRUE(preview.previewTintIsActive());
    preferences.setCustomBackgroundTintEnabled(false);
    EXPECT_FALSE(preview.previewTintIsActive());
}

TEST_F(PreviewFixture, TheHoverCapsuleShowsOnlyCollapsedAndHovered) {
    preview.setHovering(true);
    EXPECT_EQ(preview.capsuleWidth(), 0) << "expanded";
    EXPECT_EQ(preview.capsuleOpacity(), 0);
    preview.setExpanded(false);
    preview.setExpansion(0);
    EXPECT_DOUBLE_EQ(preview.capsuleWidth(), 0.36 * 170 * 0.825);
    EXPECT_DOUBLE_EQ(preview.capsuleOpacity(), 0.82);
    // Drawn just inside the bridge's bottom edge (31.35 under the notch's top at 14), centred.
    const QPoint onCapsule(397, 41);
    EXPECT_GT(renderWidget(preview, Qt::black).pixelColor(onCapsule).lightnessF(), 0.3);
    preview.setHovering(false);
    EXPECT_EQ(preview.capsuleWidth(), 0);
    EXPECT_LT(renderWidget(preview, Qt::black).pixelColor(onCapsule).lightnessF(), 0.05) << "the bridge";
}

TEST_F(PreviewFixture, EachMaterialFillsTheSurfaceWithItsOwnFinish) {
    preferences.setNotchSize(NotchSize::large);
    preview.sizeAnimation()->setCurrentTime(180);
    const QRectF notch = preview.geometry().notchRect(795);
    // Low in the body, right of the rail: the surface alone.
    const QPoint body(int(notch.right() - 60), int(notch.bottom() - 8));
    const QImage crystal = renderWidget(preview, Qt::black);
    EXPECT_GT(crystal.pixelColor(body).lightnessF(), 0.6) << "mirror glass is pale";
    // Toward the bottom-trailing corner the glass thins to white at 0.64.
    const QPoint trailing(int(notch.right() - 30), int(notch.bottom() - 3));
    EXPECT_NEAR(crystal.pixelColor(trailing).lightnessF(), 0.66, 0.06);
    preferences.setNotchAppearance(NotchAppearance::midnight);
    preview.lookAnimation()->setCurrentTime(preview.lookAnimation()->duration());
    const QImage midnight = renderWidget(preview, QColor(128, 128, 128));
    EXPECT_LT(midnight.pixelColor(body).lightnessF(), 0.1) << "midnight is black";
    // The bridge is black in both; outside the notch the stage shows.
    const QPoint bridge(int(notch.center().x()), int(notch.top() + 4));
    EXPECT_LT(crystal.pixelColor(bridge).lightnessF(), 0.05);
    EXPECT_EQ(midnight.pixelColor(QPoint(4, 150)).alpha(), 255);

    // The stage itself is its gradient at 0.54: from the elevated colour at the top to the
    // surface colour at the bottom.
    const QImage bare = renderWidget(preview);
    const ColorScheme scheme = VantrelTheme::colorScheme(&preview);
    EXPECT_NEAR(bare.pixelColor(QPoint(30, 2)).alphaF(),
                0.54 * VantrelTheme::elevated().resolve(scheme).alphaF(), 0.02);
    EXPECT_NEAR(bare.pixelColor(QPoint(397, 292)).alphaF(),
                0.54 * VantrelTheme::surface().resolve(scheme).alphaF(), 0.02);

    // A width too small to show anything draws the stage alone.
    preview.resize(36, 294);
    const QImage empty = renderWidget(preview);
    EXPECT_EQ(paintedPixels(empty, QRect(10, 10, 16, 100)), 16 * 100) << "the stage";
}

TEST_F(PreviewFixture, ANewSizeEasesTheOutlineWhileOtherChangesCrossFade) {
    // Medium (820 by 104) to large (920 by 110) at the scale 759/920: the outline grows from
    // 676.5 by 85.8 to 759 by 90.75 over 0.18 s, eased out, with no cross-fade of two outlines.
    const double s = 759.0 / 920;
    ASSERT_EQ(preview.look().size, NotchSize::medium);
    preferences.setNotchSize(NotchSize::large);
    QVariantAnimation& resize = *preview.sizeAnimation();
    ASSERT_EQ(resize.state(), QAbstractAnimation::Running);
    EXPECT_EQ(resize.duration(), 180);
    EXPECT_NE(preview.lookAnimation()->state(), QAbstractAnimation::Running) << "one outline, moving";
    resize.setCurrentTime(0);
    EXPECT_NEAR(preview.geometry().shownSize.width(), 820 * s, 1e-9);
    EXPECT_NEAR(preview.geometry().shownSize.height(), 104 * s, 1e-9);
    EXPECT_NEAR(preview.geometry().expandedSize.width(), 820 * s, 1e-9);
    resize.setCurrentTime(90);
    const double half = preview.geometry().shownSize.width();
    EXPECT_GT(half, (820 * s + 759) / 2) << "eased out: past the middle half way";
    EXPECT_LT(half, 759);
    resize.setCurrentTime(180);
    EXPECT_DOUBLE_EQ(preview.geometry().shownSize.width(), 759);
    EXPECT_DOUBLE_EQ(preview.geometry().shownSize.height(), 90.75);
    EXPECT_DOUBLE_EQ(preview.geometry().cornerRadius, 24);
    // Drawn: at the start the large outline's edge is still stage, at the end it is the notch.
    preferences.setNotchSize(NotchSize::medium);
    resize.setCurrentTime(180);
    preferences.setNotchSize(NotchSize::large);
    resize.setCurrentTime(0);
    const QPoint edge(18 + 7, 14 + 46); // inside large's outline, outside medium's, beside the header
    const QColor before = renderWidget(preview, Qt::black).pixelColor(edge);
    resize.setCurrentTime(180);
    const QColor after = renderWidget(preview, Qt::black).pixelColor(edge);
    EXPECT_NE(before, after);
    EXPECT_GT(after.lightnessF(), 0.6) << "mirror glass is pale";

    // Collapsed, the outline is the compact notch at any size: only the expanded size moves.
    preview.setExpanded(false);
    preview.setExpansion(0);
    preferences.setNotchSize(NotchSize::small);
    resize.setCurrentTime(90);
    EXPECT_NEAR(preview.geometry().shownSize.width(), 170 * s, 1e-9);

    // The material cross-fades; under reduce motion a new size takes the calm 0.12 s ease-out.
    preferences.setNotchAppearance(NotchAppearance::midnight);
    EXPECT_EQ(preview.lookAnimation()->state(), QAbstractAnimation::Running);
    c.setReduceMotion(true);
    preferences.setNotchSize(NotchSize::medium);
    EXPECT_EQ(resize.duration(), 120);
}

TEST_F(PreviewFixture, TheSurfaceShowsArtworkAndHueByTheStrengthInEachMaterial) {
    // Neutral has no artwork, and the hue is off: neither shows.
    EXPECT_EQ(preview.artworkOpacity(), 0);
    EXPECT_EQ(preview.tintOpacity(), 0);
    preferences.setArtTheme(ArtTheme::canyonAlloy);
    preferences.setThemeColorAmount(0.5);
    preferences.setBackgroundTint(BackgroundTint(1, 0, 0));
    preferences.setCustomBackgroundTintEnabled(true);
    // Mirror glass: artwork 0.5 × 0.18 + 0.12, hue 0.5 × 0.16; marks in black.
    EXPECT_NEAR(preview.artworkOpacity(), 0.21, 1e-9);
    EXPECT_NEAR(preview.tintOpacity(), 0.08, 1e-9);
    EXPECT_EQ(preview.primaryColor(), QColor::fromRgbF(0, 0, 0, 0.84f));
    EXPECT_NEAR(preview.tileColor().alphaF(), 0.42, 1e-2);
    EXPECT_EQ(preview.tileColor().rgb(), VantrelTheme::accent(preferences.accent()).rgb());
    EXPECT_EQ(preview.secondaryColor(), QColor::fromRgbF(0, 0, 0, 0.52f));
    const QRectF notch(18, 14, 759, 90.75);
    const QRadialGradient glow = preview.tintGlow(notch);
    EXPECT_EQ(glow.center(), QPointF(18, 104.75)) << "the bottom-leading corner";
    EXPECT_EQ(glow.radius(), 340);
    ASSERT_EQ(glow.stops().size(), 2);
    EXPECT_EQ(glow.stops()[0].second.red(), 255);
    EXPECT_NEAR(glow.stops()[0].second.alphaF(), 0.08, 1e-2);
    EXPECT_EQ(glow.stops()[1].first, 1);
    EXPECT_EQ(glow.stops()[1].second.alpha(), 0);
    // Midnight: artwork 0.5 × 0.16 + 0.10, hue 0.5 × 0.18; marks in white.
    preferences.setNotchAppearance(NotchAppearance::midnight);
    EXPECT_NEAR(preview.artworkOpacity(), 0.18, 1e-9);
    EXPECT_NEAR(preview.tintOpacity(), 0.09, 1e-9);
    EXPECT_EQ(preview.primaryColor(), QColor::fromRgbF(1, 1, 1, 0.92f));
    EXPECT_NEAR(preview.tileColor().alphaF(), 0.72, 1e-2);
    EXPECT_EQ(preview.secondaryColor(), QColor::fromRgbF(1, 1, 1, 0.56f));
    // A stored strength outside 0 to 1 draws as the nearest end, never as an impossible opacity.
    preferences.setThemeColorAmount(7);
    EXPECT_NEAR(preview.artworkOpacity(), 0.26, 1e-9);
    EXPECT_NEAR(preview.tintOpacity(), 0.18, 1e-9);
    EXPECT_TRUE(preview.tintGlow(notch).stops()[0].second.isValid());
    preferences.setThemeColorAmount(-1);
    EXPECT_NEAR(preview.artworkOpacity(), 0.10, 1e-9);
    EXPECT_EQ(preview.tintOpacity(), 0);
    // Settings only: the miniature shows neither.
    preferences.setThemeColorAmount(1);
    preferences.setThemeScope(ThemeScope::settingsOnly);
    EXPECT_EQ(preview.artworkOpacity(), 0);
    EXPECT_EQ(preview.tintOpacity(), 0);
}

TEST_F(PreviewFixture, HalfWayOpenTheOutlineIsHalfWayBetweenTheCompactAndTheExpandedNotch) {
    // Medium at scale 759/920: compact 140.25 × 31.35, expanded 676.5 × 85.8.
    const double s = 759.0 / 920;
    preview.setExpanded(true);
    preview.setExpansion(0.5);
    EXPECT_NEAR(preview.geometry().shownSize.width(), (170 + 820) * s / 2, 1e-9);
    EXPECT_NEAR(preview.geometry().shownSize.height(), (38 + 104) * s / 2, 1e-9);
    preview.setExpansion(0);
    EXPECT_NEAR(preview.geometry().shownSize.width(), 170 * s, 1e-9);
    preview.setExpansion(1);
    EXPECT_NEAR(preview.geometry().shownSize.width(), 820 * s, 1e-9);
}
