#include "settings/NotchPreviewState.h"

namespace vantrel {

NotchPreviewState NotchPreviewState::hovered(bool isHovering, bool autoExpand) const {
    NotchPreviewState next = *this;
    next.hovering = isHovering;
    if (autoExpand) next.expanded = isHovering;
    return next;
}

NotchPreviewState NotchPreviewState::tapped() const {
    NotchPreviewState next = *this;
    next.expanded = !expanded;
    return next;
}

NotchPreviewState NotchPreviewState::revealed() const {
    NotchPreviewState next = *this;
    next.expanded = true;
    return next;
}

VantrelAnimation NotchPreviewState::animation(bool reduceMotion) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.22, 0.82), QPointF(0.24, 1.0), QPointF(1.0, 1.0));
    return VantrelAnimation{curve, reduceMotion ? 0.12 : 0.25};
}

} // namespace vantrel
