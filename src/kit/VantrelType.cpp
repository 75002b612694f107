#include "kit/VantrelType.h"

namespace vantrel::VantrelType {

namespace {

// Qt 6 draws with a logical resolution of 96 dots per inch on every platform (high-resolution
// screens scale the device pixel ratio instead), so a point is 4/3 of a device-independent pixel.
// Pixel sizes in QFont are whole numbers; point sizes keep the halves of the scale.
constexpr double kPointsPerPixel = 72.0 / 96.0;

QFont sized(const QString& family, double pixelSize, QFont::Weight weight, QFont::StyleHint hint) {
    QFont f(family);
    f.setPointSizeF(pixelSize * kPointsPerPixel);
    f.setWeight(weight);
    f.setStyleHint(hint);
    return f;
}

} // namespace

QString family() {
    return QStringLiteral("Inter");
}

QFont font(double pixelSize, QFont::Weight weight) {
    return sized(family(), pixelSize, weight, QFont::SansSerif);
}

QString monospacedFamily() {
    return QStringLiteral("JetBrains Mono");
}

QFont monospaced(double pixelSize, QFont::Weight weight) {
    QFont f = sized(monospacedFamily(), pixelSize, weight, QFont::Monospace);
    f.setFixedPitch(true);
    return f;
}

double pixelSize(const QFont& font) {
    return font.pixelSize() > 0 ? double(font.pixelSize()) : font.pointSizeF() / kPointsPerPixel;
}

#define VANTREL_TYPE_FONT_(name, size, weight)                                                               \
    const QFont& name() {                                                                                    \
        static const QFont f = font(size, weight);                                                           \
        return f;                                                                                            \
    }
VANTREL_TYPE_FONT_(overline, 9, QFont::Bold)
VANTREL_TYPE_FONT_(pageTitle, 38, QFont::ExtraBold)
VANTREL_TYPE_FONT_(sectionTitle, 15, QFont::Bold)
VANTREL_TYPE_FONT_(subtitle, 14, QFont::Normal)
VANTREL_TYPE_FONT_(body, 12.5, QFont::Normal)
VANTREL_TYPE_FONT_(label, 12, QFont::DemiBold)
VANTREL_TYPE_FONT_(caption, 10.5, QFont::Normal)
VANTREL_TYPE_FONT_(button, 12.5, QFont::Bold)
#undef VANTREL_TYPE_FONT_

} // namespace vantrel::VantrelType
