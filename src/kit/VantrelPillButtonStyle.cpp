#include "kit/VantrelPillButtonStyle.h"

#include "core/VantrelHaptics.h"
#include "kit/VantrelType.h"

namespace vantrel {

using VantrelTheme::withOpacity;

VantrelPillButtonStyle::VantrelPillButtonStyle(QColor tint, VantrelHaptics* haptics)
    : tint_(tint), haptics_(haptics) {}

ButtonLook VantrelPillButtonStyle::look(double pressed, ColorScheme scheme) const {
    ButtonLook look;
    look.shape = VantrelConcentricGeometry::nestedRectangle(10);
    look.font = VantrelType::button();
    look.horizontalPadding = 18;
    look.verticalPadding = 10.5;
    look.fillStart = withOpacity(tint_, mix(0.98, 0.76, pressed));
    look.fillEnd = withOpacity(tint_, 0.66);
    look.outline = withOpacity(VantrelTheme::keyline().resolve(scheme), 0.9);
    look.outlineWidth = 0.7;
    look.foreground = Qt::white;
    look.shadow = {withOpacity(tint_, mix(0.2, 0.08, pressed)), 12, QPointF(0, 5)};
    look.scale = mix(1, 0.965, pressed);
    return look;
}

std::optional<VantrelAnimation> VantrelPillButtonStyle::pressAnimation() const {
    // A spring of response 0.24 s and damping fraction 0.76: it settles in about the response
    // time with a small overshoot.
    QEasingCurve spring(QEasingCurve::OutBack);
    spring.setOvershoot(0.9);
    return VantrelAnimation{spring, 0.24};
}

void VantrelPillButtonStyle::pressBegan() const {
    if (haptics_) haptics_->play(HapticSurface::controls);
}

} // namespace vantrel
