#include "notch/NotchSurfaceLook.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
namespace Look = NotchSurfaceLook;

TEST(NotchSurfaceLook, CrystalGlassDensityAndItsFill) {
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(0, false), 0.48);
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(1, false), 0.72);
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(std::nan(""), false), 0.6864);
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(INFINITY, false), 0.6864);
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(-0.5, false), 0.48);
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(3, false), 0.72);
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(0.5, false), 0.6);
    // Reduced transparency makes the glass opaque whatever the density.
    EXPECT_DOUBLE_EQ(Look::glassFillOpacity(0, true), 1);
    EXPECT_DOUBLE_EQ(Look::glassDensity(std::nan("")), 0.86);
}

TEST(NotchSurfaceLook, WideGlanceStartsAt740) {
    EXPECT_FALSE(Look::isWideGlance(739));
    EXPECT_TRUE(Look::isWideGlance(740));
}

TEST(NotchSurfaceLook, ThemeScopeDecidesArtworkAndTint) {
    const QColor accent = QColor::fromRgbF(0.2f, 0.4f, 0.6f);
    NotchLookSettings settings;
    settings.artTheme = ArtTheme::glacialVeil;
    settings.customTintEnabled = true;
    settings.backgroundTint = BackgroundTint(1, 0, 0.5);
    settings.themeColorAmount = 0.5;

    // Settings only: neutral artwork (invisible), no tint, the accent as the tint colour.
    settings.themeScope = ThemeScope::settingsOnly;
    EXPECT_EQ(Look::notchTheme(settings), ArtTheme::neutral);
    EXPECT_FALSE(Look::customTintIsActive(settings));
    EXPECT_EQ(Look::backgroundTint(settings, accent), accent);
    for (bool dark : {true, false}) {
        EXPECT_DOUBLE_EQ(Look::artworkOpacity(settings, dark), 0);
        EXPECT_DOUBLE_EQ(Look::tintGlowOpacity(settings, dark), 0);
    }

    // Everywhere or the notch only: the theme and the tint reach the notch.
    for (ThemeScope scope : {ThemeScope::all, ThemeScope::notchOnly}) {
        settings.themeScope = scope;
        EXPECT_EQ(Look::notchTheme(settings), ArtTheme::glacialVeil);
        EXPECT_TRUE(Look::customTintIsActive(settings));
        EXPECT_EQ(Look::backgroundTint(settings, accent), QColor::fromRgbF(1, 0, 0.5f, 1));
        EXPECT_DOUBLE_EQ(Look::artworkOpacity(settings, true), 0.5 * 0.18 + 0.12);
        EXPECT_DOUBLE_EQ(Look::artworkOpacity(settings, false), 0.5 * 0.065 + 0.035);
        EXPECT_DOUBLE_EQ(Look::tintGlowOpacity(settings, true), 0.09);
        EXPECT_DOUBLE_EQ(Look::tintGlowOpacity(settings, false), 0.04);
    }
    EXPECT_DOUBLE_EQ(Look::tintGlowRadius(true), 560);
    EXPECT_DOUBLE_EQ(Look::tintGlowRadius(false), 620);

    // Tint switched off: the accent, no glow; the neutral theme shows no artwork in any scope.
    settings.customTintEnabled = false;
    settings.artTheme = ArtTheme::neutral;
    EXPECT_EQ(Look::backgroundTint(settings, accent), accent);
    EXPECT_DOUBLE_EQ(Look::tintGlowOpacity(settings, true), 0);
    EXPECT_DOUBLE_EQ(Look::artworkOpacity(settings, true), 0);
}

TEST(NotchSurfaceLook, CapCornersSpacerAndIndicator) {
    EXPECT_NEAR(Look::capCornerRadius(32), 13.76, 1e-9);
    EXPECT_DOUBLE_EQ(Look::capCornerRadius(20), 12);
    EXPECT_DOUBLE_EQ(Look::capCornerRadius(50), 18);
    EXPECT_DOUBLE_EQ(Look::bridgeSpacerHeight(true, 32), 32);
    EXPECT_DOUBLE_EQ(Look::bridgeSpacerHeight(false, 32), 7);

    const QColor accent(Qt::green);
    const Look::Indicator hover = Look::indicator(true, false, 185, accent);
    EXPECT_EQ(hover.color, QColor::fromRgbF(1, 1, 1, 0.82f));
    EXPECT_EQ(hover.size, QSizeF(72, 1));
    const Look::Indicator drag = Look::indicator(false, true, 185, accent);
    EXPECT_EQ(drag.color, accent);
    EXPECT_EQ(drag.size, QSizeF(72, 2));
    EXPECT_EQ(Look::indicator(true, true, 185, accent).size, QSizeF(72, 2));
    EXPECT_DOUBLE_EQ(Look::indicator(true, false, 100, accent).size.width(), 42);
    const Look::Indicator idle = Look::indicator(false, false, 185, accent);
    EXPECT_DOUBLE_EQ(idle.size.width(), 0);
    EXPECT_EQ(idle.color.alpha(), 0);
}
