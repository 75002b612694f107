#pragma once

#include "core/PreferenceEnums.h"

#include <QColor>
#include <QSizeF>

namespace vantrel {

class VantrelPreferences;

// The opaque device black of the compact cap and of the midnight look.
namespace NotchOLED {
inline const QColor black = QColor::fromRgbF(0, 0, 0, 1);
}

// The settings the looks of the notch surface read, taken out of the settings store so that the
// formulas below depend on their arguments only.
struct NotchLookSettings {
    NotchAppearance appearance = NotchAppearance::crystal;
    double glassDensity = 0.86;
    ThemeScope themeScope = ThemeScope::all;
    ArtTheme artTheme = ArtTheme::neutral;
    bool customTintEnabled = false;
    BackgroundTint backgroundTint;
    double themeColorAmount = 0.42;

    static NotchLookSettings from(const VantrelPreferences& preferences);
};

// The colours and opacities of the two looks of the open surface and of the compact cap.
namespace NotchSurfaceLook {

// Panels at least this wide show the date and the first event in the home glance row.
constexpr double kWideGlanceWidth = 740;
// What a glass density that is not a number stands for.
constexpr double kFallbackGlassDensity = 0.86;

// The custom tint shows only where the theme reaches the notch.
bool customTintIsActive(const NotchLookSettings& settings);
// The custom tint while it is active, otherwise the accent.
QColor backgroundTint(const NotchLookSettings& settings, const QColor& accent);
// The art theme of the notch: neutral where the theme is kept to the settings window.
ArtTheme notchTheme(const NotchLookSettings& settings);

// The glass density clamped into 0...1.
double glassDensity(double stored);
// The opacity of the crystal glass fill: opaque when transparency is reduced, else 0.48...0.72.
double glassFillOpacity(double storedDensity, bool reduceTransparency);
// The opacity of the theme artwork in each look; 0 for the neutral theme.
double artworkOpacity(const NotchLookSettings& settings, bool isDark);
// The strength of the custom tint's glow in each look; 0 while the tint is not active.
double tintGlowOpacity(const NotchLookSettings& settings, bool isDark);
// The end radius of the tint glow in each look.
double tintGlowRadius(bool isDark);

// The radius of the bottom corners of the compact cap and of the crystal bridge.
double capCornerRadius(double topBridgeHeight);
// The height of the first row of the open surface, the band under the hardware notch.
double bridgeSpacerHeight(bool hasPhysicalNotch, double topBridgeHeight);
bool isWideGlance(double width);

// The little capsule at the bottom of the compact cap that answers the pointer and drags.
struct Indicator {
    QColor color;
    QSizeF size;
};
Indicator indicator(bool isPointerInside, bool isFileDragTargeted, double hardwareNotchWidth,
                    const QColor& accent);

} // namespace NotchSurfaceLook

} // namespace vantrel
