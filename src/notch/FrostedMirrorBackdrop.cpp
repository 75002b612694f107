#include "notch/FrostedMirrorBackdrop.h"

#include <QPainter>
#include <QPainterPath>

namespace vantrel {

// The light popover material: a bright, slightly cool grey, nearly opaque.
const QColor FrostedMirrorBackdrop::kMaterial = QColor::fromRgbF(0.95f, 0.955f, 0.965f, 0.86f);

void FrostedMirrorBackdrop::configure(bool blurEnabled) {
    isActive_ = blurEnabled;
    alpha_ = blurEnabled ? 1 : 0;
}

void FrostedMirrorBackdrop::paint(QPainter& painter, const QPainterPath& outline) const {
    if (alpha_ <= 0) return;
    QColor color = kMaterial;
    color.setAlphaF(float(kMaterial.alphaF() * alpha_));
    painter.fillPath(outline, color);
}

} // namespace vantrel
