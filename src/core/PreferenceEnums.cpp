#include "core/PreferenceEnums.h"

#include <QColor>
#include <algorithm>

namespace vantrel {

namespace {
QString capitalised(const char* raw) {
    QString text = QString::fromLatin1(raw);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

double unitClamped(double value) {
    // NaN is no colour component; it falls to 0 rather than poisoning later drawing.
    if (!(value == value)) return 0.0;
    return std::clamp(value, 0.0, 1.0);
}
} // namespace

HapticStyle defaultStyle(HapticSurface surface) {
    switch (surface) {
    case HapticSurface::notch:
        return HapticStyle::detent;
    case HapticSurface::dock:
        return HapticStyle::tick;
    case HapticSurface::controls:
        return HapticStyle::click;
    }
    return HapticStyle::detent;
}

QString title(HapticStyle style) {
    if (style == HapticStyle::doubleTap) return QStringLiteral("Double Tap");
    return capitalised(rawName(style));
}

std::optional<QString> systemSoundName(AlarmSound sound) {
    if (sound == AlarmSound::none) return std::nullopt;
    return capitalised(rawName(sound));
}

bool supportsCalmMotion(ArtTheme theme) {
    return theme == ArtTheme::midnightCurrent || theme == ArtTheme::canyonAlloy;
}

std::optional<QString> resourceName(ArtTheme theme, bool isDark, bool thumbnail) {
    QString base;
    switch (theme) {
    case ArtTheme::neutral:
        return std::nullopt;
    case ArtTheme::obsidianFold:
        base = QStringLiteral("obsidian-fold");
        break;
    case ArtTheme::glacialVeil:
        base = QStringLiteral("glacial-veil");
        break;
    case ArtTheme::midnightCurrent:
        base = QStringLiteral("midnight-current");
        break;
    case ArtTheme::canyonAlloy:
        base = QStringLiteral("canyon-alloy");
        break;
    }
    base += isDark ? QStringLiteral("-dark") : QStringLiteral("-light");
    if (thumbnail) base += QStringLiteral("-thumb");
    return base;
}

BackgroundTint::BackgroundTint(double red, double green, double blue)
    : red(unitClamped(red)), green(unitClamped(green)), blue(unitClamped(blue)) {}

BackgroundTint::BackgroundTint(std::span<const double> components) {
    if (components.size() == 3) *this = BackgroundTint(components[0], components[1], components[2]);
}

BackgroundTint BackgroundTint::fromColor(const QColor& color) {
    if (!color.isValid()) return BackgroundTint();
    // Extended sRGB keeps components outside 0...1; they are clamped like any other.
    const QColor rgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    return BackgroundTint(rgb.redF(), rgb.greenF(), rgb.blueF());
}

} // namespace vantrel
