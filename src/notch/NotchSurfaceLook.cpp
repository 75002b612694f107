#include "notch/NotchSurfaceLook.h"

#include "core/VantrelPreferences.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

NotchLookSettings NotchLookSettings::from(const VantrelPreferences& preferences) {
    return {
        .appearance = preferences.notchAppearance(),
        .glassDensity = preferences.notchGlassDensity(),
        .themeScope = preferences.themeScope(),
        .artTheme = preferences.artTheme(),
        .customTintEnabled = preferences.customBackgroundTintEnabled(),
        .backgroundTint = preferences.backgroundTint(),
        .themeColorAmount = preferences.themeColorAmount(),
    };
}

namespace NotchSurfaceLook {

bool customTintIsActive(const NotchLookSettings& settings) {
    return settings.customTintEnabled && settings.themeScope != ThemeScope::settingsOnly;
}

QColor backgroundTint(const NotchLookSettings& settings, const QColor& accent) {
    if (!customTintIsActive(settings)) return accent;
    const BackgroundTint& tint = settings.backgroundTint;
    return QColor::fromRgbF(float(tint.red), float(tint.green), float(tint.blue), 1);
}

ArtTheme notchTheme(const NotchLookSettings& settings) {
    return settings.themeScope == ThemeScope::settingsOnly ? ArtTheme::neutral : settings.artTheme;
}

double glassDensity(double stored) {
    if (!std::isfinite(stored)) return kFallbackGlassDensity;
    return std::clamp(stored, 0.0, 1.0);
}

double glassFillOpacity(double storedDensity, bool reduceTransparency) {
    if (reduceTransparency) return 1;
    return glassDensity(storedDensity) * 0.24 + 0.48;
}

double artworkOpacity(const NotchLookSettings& settings, bool isDark) {
    if (notchTheme(settings) == ArtTheme::neutral) return 0;
    return isDark ? settings.themeColorAmount * 0.18 + 0.12 : settings.themeColorAmount * 0.065 + 0.035;
}

double tintGlowOpacity(const NotchLookSettings& settings, bool isDark) {
    if (!customTintIsActive(settings)) return 0;
    return settings.themeColorAmount * (isDark ? 0.18 : 0.08);
}

double tintGlowRadius(bool isDark) {
    return isDark ? 560 : 620;
}

double capCornerRadius(double topBridgeHeight) {
    return std::min(std::max(topBridgeHeight * 0.43, 12.0), 18.0);
}

double bridgeSpacerHeight(bool hasPhysicalNotch, double topBridgeHeight) {
    return hasPhysicalNotch ? topBridgeHeight : 7;
}

bool isWideGlance(double width) {
    return width >= kWideGlanceWidth;
}

Indicator indicator(bool isPointerInside, bool isFileDragTargeted, double hardwareNotchWidth,
                    const QColor& accent) {
    Indicator result;
    if (isFileDragTargeted) {
        result.color = accent;
    } else {
        result.color = Qt::white;
        result.color.setAlphaF(isPointerInside ? 0.82f : 0.0f);
    }
    const double width =
        isPointerInside || isFileDragTargeted ? std::min(hardwareNotchWidth * 0.42, 72.0) : 0;
    result.size = QSizeF(width, isFileDragTargeted ? 2 : 1);
    return result;
}

} // namespace NotchSurfaceLook

} // namespace vantrel
