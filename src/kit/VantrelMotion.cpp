#include "kit/VantrelMotion.h"

#include "platform/SetIfChanged.h"
#include "platform/SystemAppearance.h"

#include <QPointF>
#include <QVariantAnimation>
#include <cmath>

namespace vantrel {

VantrelAnimation VantrelAnimation::easeOut(double seconds) {
    // The ease-out of the system's own animations: a cubic Bézier from (0, 0) through (0.58, 1).
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return {curve, seconds};
}

VantrelAnimation VantrelAnimation::easeInOut(double seconds) {
    // The system's ease-in-out: a cubic Bézier through (0.42, 0) and (0.58, 1).
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return {curve, seconds};
}

void VantrelAnimation::applyTo(QVariantAnimation& animation) const {
    animation.setEasingCurve(easing);
    animation.setDuration(int(std::lround(duration * 1000)));
}

void VantrelAnimation::run(QVariantAnimation& animation, const QVariant& from, const QVariant& to) const {
    animation.setStartValue(from);
    animation.setEndValue(to);
    applyTo(animation);
    animation.start();
}

VantrelMotion::VantrelMotion(SystemAppearance& appearance, QObject* parent)
    : QObject(parent), appearance_(&appearance), prefersReducedMotion_(appearance.reduceMotion()) {
    // Queued, so the new value lands one turn of the event loop after the desktop announces it;
    // the connection dies with either side.
    connect(&appearance, &SystemAppearance::changed, this, &VantrelMotion::refresh, Qt::QueuedConnection);
}

void VantrelMotion::refresh() {
    if (!appearance_) return;
    const bool value = appearance_->reduceMotion();
    setIfChanged(this, prefersReducedMotion_, value, &VantrelMotion::prefersReducedMotionChanged);
}

std::optional<VantrelAnimation>
VantrelMotion::resolve(Kind kind, const std::optional<VantrelAnimation>& standard) const {
    if (!prefersReducedMotion_) return standard;
    switch (kind) {
    case Kind::essential:
        return standard;
    case Kind::transition:
        return VantrelAnimation::easeOut(0.12);
    case Kind::flourish:
        return VantrelAnimation::easeOut(0.10);
    }
    return standard;
}

} // namespace vantrel
