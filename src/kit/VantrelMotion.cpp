#include "kit/VantrelMotion.h"

#include "platform/ReducedMotionSource.h"

#include <QPointF>

namespace vantrel {

VantrelAnimation VantrelAnimation::easeOut(double seconds) {
    // The ease-out of the system's own animations: a cubic Bézier from (0, 0) through (0.58, 1).
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return {curve, seconds};
}

VantrelMotion::VantrelMotion(ReducedMotionSource& source, QObject* parent)
    : QObject(parent), source_(&source), prefersReducedMotion_(source.prefersReducedMotion()) {
    // Queued, so the new value lands one turn of the event loop after the desktop announces it;
    // the connection dies with either side.
    connect(&source, &ReducedMotionSource::displayOptionsChanged, this, &VantrelMotion::refresh,
            Qt::QueuedConnection);
}

void VantrelMotion::refresh() {
    if (!source_) return;
    const bool value = source_->prefersReducedMotion();
    if (value == prefersReducedMotion_) return;
    prefersReducedMotion_ = value;
    Q_EMIT prefersReducedMotionChanged(value);
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
