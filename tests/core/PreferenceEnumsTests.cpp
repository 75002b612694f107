#include "core/PreferenceEnums.h"
#include "dock/DockIconAnimation.h"
#include "services/HotkeyAction.h"

#include "support/QtPrinters.h"

#include <QColor>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

template <typename E> QStringList rawValues() {
    QStringList out;
    for (E value : allCasesOf<E>())
        out.append(rawValue(value));
    return out;
}

QStringList words(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

} // namespace

TEST(PreferenceEnums, RawValuesAreTheCaseNamesInDeclarationOrder) {
    EXPECT_EQ(rawValues<NotchResponsiveness>(), words("instant balanced careful"));
    EXPECT_EQ(rawValues<NotchCollapseBehavior>(), words("immediate shortDelay manual"));
    EXPECT_EQ(rawValues<NotchSize>(), words("small medium large"));
    EXPECT_EQ(rawValues<NotchAppearance>(), words("midnight crystal"));
    EXPECT_EQ(rawValues<CameraAspectRatio>(), words("widescreen standard"));
    EXPECT_EQ(rawValues<HapticStyle>(), words("feather soft tick click detent doubleTap ratchet firm"));
    EXPECT_EQ(rawValues<HapticRhythm>(), words("continuous fine balanced stepped deliberate"));
    EXPECT_EQ(rawValues<FeedbackTrigger>(), words("scroll click forceClick swipe"));
    EXPECT_EQ(rawValues<DockAlignment>(), words("left center right"));
    EXPECT_EQ(rawValues<DockHideMode>(), words("never always whenFullscreen"));
    EXPECT_EQ(rawValues<DockTint>(), words("graphite ink slate accent warm"));
    EXPECT_EQ(rawValues<MenuBarTintStyle>(), words("solid gradient"));
    EXPECT_EQ(rawValues<MenuBarShape>(), words("full rounded split"));
    EXPECT_EQ(rawValues<Accent>(),
              words("sky violet mint coral graphite amber rose teal emerald indigo crimson sand"));
    EXPECT_EQ(rawValues<AppearanceMode>(), words("system dark light"));
    EXPECT_EQ(rawValues<ArtTheme>(), words("neutral obsidianFold glacialVeil midnightCurrent canyonAlloy"));
    EXPECT_EQ(rawValues<ThemeScope>(), words("all notchOnly settingsOnly"));
    EXPECT_EQ(rawValues<GlassStyle>(), words("quiet balanced deep"));
    EXPECT_EQ(rawValues<InterfaceDensity>(), words("compact balanced spacious"));
    EXPECT_EQ(rawValues<CornerStyle>(), words("compact rounded soft"));
    EXPECT_EQ(rawValues<SidebarSize>(), words("compact standard wide"));
    EXPECT_EQ(rawValues<MotionStyle>(), words("instant smooth spring"));
    EXPECT_EQ(rawValues<AlarmSound>(), words("glass ping pop hero purr submarine none"));
    EXPECT_EQ(rawValues<AlarmDelivery>(), words("sound haptics both"));
    EXPECT_EQ(rawValues<KeyboardFlashPreset>(), words("gentle pulse urgent"));
    EXPECT_EQ(rawValues<NotificationScope>(), words("selectedApps allApps"));
    EXPECT_EQ(rawValues<HapticSurface>(), words("notch dock controls"));
    EXPECT_EQ(rawValues<DockIconAnimation>(), words("none lift magnify bounce pulse sway rise"));
    EXPECT_EQ(rawValues<DockAnimationSpeed>(), words("relaxed natural snappy"));
    EXPECT_EQ(rawValues<HotkeyAction>(),
              words("commandPalette toggleHiddenItems toggleAlwaysHiddenItems openNotch toggleFocus"));
}

TEST(PreferenceEnums, RawValuesMatchExactly) {
    EXPECT_EQ(fromRawValue<HapticStyle>(u"doubleTap"), HapticStyle::doubleTap);
    EXPECT_EQ(fromRawValue<HapticStyle>(u"doubletap"), std::nullopt);
    EXPECT_EQ(fromRawValue<HapticStyle>(u"doubleTap "), std::nullopt);
    EXPECT_EQ(fromRawValue<DockHideMode>(u""), std::nullopt);
    EXPECT_EQ(fromRawValue<NotificationScope>(u"AllApps"), std::nullopt);
    EXPECT_EQ(fromRawValue<HotkeyAction>(u"openNotch"), HotkeyAction::openNotch);
    EXPECT_EQ(idOf(ArtTheme::canyonAlloy), QStringLiteral("canyonAlloy"));
}

TEST(PreferenceEnums, DerivedTitlesSoundsAndSurfaceDefaults) {
    EXPECT_EQ(title(HapticStyle::feather), QStringLiteral("Feather"));
    EXPECT_EQ(title(HapticStyle::detent), QStringLiteral("Detent"));
    EXPECT_EQ(title(HapticStyle::doubleTap), QStringLiteral("Double Tap"));
    EXPECT_EQ(systemSoundName(AlarmSound::glass), QStringLiteral("Glass"));
    EXPECT_EQ(systemSoundName(AlarmSound::submarine), QStringLiteral("Submarine"));
    EXPECT_EQ(systemSoundName(AlarmSound::none), std::nullopt);
    EXPECT_EQ(key(HapticSurface::controls), QStringLiteral("controls"));
    EXPECT_EQ(defaultStyle(HapticSurface::notch), HapticStyle::detent);
    EXPECT_EQ(defaultStyle(HapticSurface::dock), HapticStyle::tick);
    EXPECT_EQ(defaultStyle(HapticSurface::controls), HapticStyle::click);
}

TEST(PreferenceEnums, ArtworkNamesAndCalmMotion) {
    EXPECT_EQ(resourceName(ArtTheme::glacialVeil, true, true), QStringLiteral("glacial-veil-dark-thumb"));
    EXPECT_EQ(resourceName(ArtTheme::obsidianFold, false, false), QStringLiteral("obsidian-fold-light"));
    EXPECT_EQ(resourceName(ArtTheme::midnightCurrent, true, false), QStringLiteral("midnight-current-dark"));
    EXPECT_EQ(resourceName(ArtTheme::canyonAlloy, false, true), QStringLiteral("canyon-alloy-light-thumb"));
    for (bool dark : {false, true})
        for (bool thumb : {false, true})
            EXPECT_EQ(resourceName(ArtTheme::neutral, dark, thumb), std::nullopt);
    QStringList calm;
    for (ArtTheme theme : allCasesOf<ArtTheme>())
        if (supportsCalmMotion(theme)) calm.append(rawValue(theme));
    EXPECT_EQ(calm, words("midnightCurrent canyonAlloy"));
}

TEST(PreferenceEnums, ExpandedNotchSizes) {
    EXPECT_EQ(expanded(NotchSize::small, NotchPresentationTier::third), QSize(720, 430));
    EXPECT_EQ(expanded(NotchSize::large, NotchPresentationTier::first), QSize(920, 110));
    EXPECT_EQ(expanded(NotchSize::medium, NotchPresentationTier::second), QSize(820, 270));
    EXPECT_EQ(expanded(NotchSize::medium, NotchPresentationTier::first), QSize(820, 104));
    EXPECT_EQ(expanded(NotchSize::small, NotchPresentationTier::second), QSize(720, 230));
    EXPECT_EQ(expanded(NotchSize::large, NotchPresentationTier::third), QSize(920, 520));
}

TEST(BackgroundTint, ComponentsAreClampedAndNeedExactlyThree) {
    const std::vector<double> three{1.4, -0.2, 0.5};
    EXPECT_EQ(BackgroundTint(three), BackgroundTint(1.0, 0.0, 0.5));
    const BackgroundTint clamped(three);
    EXPECT_EQ(clamped.red, 1.0);
    EXPECT_EQ(clamped.green, 0.0);
    EXPECT_EQ(clamped.blue, 0.5);
    const std::vector<double> two{0.1, 0.2}, four{0.1, 0.2, 0.3, 0.4};
    EXPECT_EQ(BackgroundTint(two), BackgroundTint());
    EXPECT_EQ(BackgroundTint(four), BackgroundTint());
    const BackgroundTint fallback;
    EXPECT_EQ(fallback.red, 0.37);
    EXPECT_EQ(fallback.green, 0.58);
    EXPECT_EQ(fallback.blue, 0.88);
    // NaN is no component: it must not survive into drawing code.
    const std::vector<double> nan{std::numeric_limits<double>::quiet_NaN(), 0.5, 0.5};
    EXPECT_EQ(BackgroundTint(nan), BackgroundTint(0.0, 0.5, 0.5));
}

TEST(BackgroundTint, FromColorTakesSrgbComponents) {
    const BackgroundTint fromRgb = BackgroundTint::fromColor(QColor::fromRgbF(0.25f, 0.5f, 0.75f));
    EXPECT_NEAR(fromRgb.red, 0.25, 1e-4);
    EXPECT_NEAR(fromRgb.green, 0.5, 1e-4);
    EXPECT_NEAR(fromRgb.blue, 0.75, 1e-4);
    const BackgroundTint fromHsv = BackgroundTint::fromColor(QColor::fromHsvF(0.0f, 1.0f, 1.0f));
    EXPECT_NEAR(fromHsv.red, 1.0, 1e-4);
    EXPECT_NEAR(fromHsv.green, 0.0, 1e-4);
    EXPECT_NEAR(fromHsv.blue, 0.0, 1e-4);
    const QColor wide = QColor::fromRgbF(1.5f, -0.5f, 0.5f);
    ASSERT_EQ(wide.spec(), QColor::ExtendedRgb);
    EXPECT_EQ(BackgroundTint::fromColor(wide), BackgroundTint(1.0, 0.0, 0.5));
    EXPECT_EQ(BackgroundTint::fromColor(QColor()), BackgroundTint());
}
