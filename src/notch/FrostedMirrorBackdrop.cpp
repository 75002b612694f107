#include "notch/FrostedMirrorBackdrop.h"

#include <QPainter>
#include <QPainterPath>

namespace vantrel {

// The light popover material: a bright, slightly cool grey, nearly opaque.
const QColor FrostedMirrorBackdrop::kMaterial = QColor::fromRgbF(0.95f, 0.955f, 0.965f, 0.86f);
// Under the thinnest glass fill and the sheen, a black line behind then differs from its white
// surround by a level or two in 255.
const QColor FrostedMirrorBackdrop::kDenseMaterial = QColor::fromRgbF(0.95f, 0.955f, 0.965f, 0.985f);

void FrostedMirrorBackdrop::configure(bool blurEnabled, bool blurredBehind) {
    isActive_ = blurEnabled;
    blurredBehind_ = blurredBehind;
    alpha_ = blurEnabled ? 1 : 0;
}

void FrostedMirrorBackdrop::paint(QPainter& painter, const QPainterPath& outline) const {
    if (alpha_ <= 0) return;
    QColor color = material();
    color.setAlphaF(float(color.alphaF() * alpha_));
    painter.fillPath(outline, color);
}

} // namespace vantrel
