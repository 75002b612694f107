#include "dock/DockIconEffect.h"

#include "core/VantrelPreferences.h"

#include <QPainter>
#include <QRectF>
#include <algorithm>

namespace vantrel {

double DockIconAnimationChoice::speedFactor(DockAnimationSpeed speed) {
    switch (speed) {
    case DockAnimationSpeed::relaxed:
        return 1.6;
    case DockAnimationSpeed::snappy:
        return 0.6;
    case DockAnimationSpeed::natural:
        break;
    }
    return 1.0;
}

DockIconAnimationChoice DockIconAnimationChoice::forEffect(bool magnification, DockIconAnimation animation,
                                                           DockAnimationSpeed speed) {
    using Kind = VantrelMotion::Kind;
    const double k = speedFactor(speed);
    const DockIconAnimation effective = magnification ? animation : DockIconAnimation::none;
    switch (effective) {
    case DockIconAnimation::none:
        return {Curve::none, 0, {}, Kind::transition};
    case DockIconAnimation::bounce:
        return {Curve::spring, 0, {0.26 * k, 0.52}, Kind::flourish};
    case DockIconAnimation::pulse:
        return {Curve::spring, 0, {0.2 * k, 0.6}, Kind::flourish};
    case DockIconAnimation::sway:
        return {Curve::easeOut, 0.16 * k, {}, Kind::transition};
    case DockIconAnimation::lift:
    case DockIconAnimation::magnify:
    case DockIconAnimation::rise:
        break;
    }
    return {Curve::easeOut, 0.13 * k, {}, Kind::transition};
}

VantrelAnimation DockIconAnimationChoice::standard() const {
    switch (curve) {
    case Curve::spring:
        return spring.animation();
    case Curve::easeOut:
        return VantrelAnimation::easeOut(duration);
    case Curve::none:
        break;
    }
    return {QEasingCurve(QEasingCurve::Linear), 0};
}

VantrelAnimation DockIconAnimationChoice::resolved(const VantrelMotion* motion) const {
    if (!motion) return standard();
    return motion->resolve(kind, standard()).value_or(standard());
}

DockIconEffect::DockIconEffect(VantrelPreferences& preferences, const VantrelMotion* motion, QObject* parent)
    : QObject(parent), preferences_(preferences), motion_(motion) {
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        using S = VantrelPreferences::Setting;
        if (setting == S::customDockMagnification || setting == S::customDockMagnificationScale ||
            setting == S::customDockIconAnimation) {
            // A changed setting shows at once, without an animation.
            delete animation_;
            current_ = target();
            Q_EMIT changed();
        }
    });
}

DockIconVisualState DockIconEffect::target() const {
    return DockIconVisualState::forHover(hovering_, preferences_.customDockMagnification(),
                                         preferences_.customDockIconAnimation(),
                                         preferences_.customDockMagnificationScale());
}

double DockIconEffect::hoveredScale() const {
    return std::max(1.0, DockIconVisualState::forHover(true, preferences_.customDockMagnification(),
                                                       preferences_.customDockIconAnimation(),
                                                       preferences_.customDockMagnificationScale())
                             .scale);
}

void DockIconEffect::setHovering(bool hovering) {
    if (hovering_ == hovering) return;
    hovering_ = hovering;
    retarget();
}

void DockIconEffect::retarget() {
    const DockIconVisualState to = target();
    delete animation_;
    const DockIconAnimationChoice choice = DockIconAnimationChoice::forEffect(
        preferences_.customDockMagnification(), preferences_.customDockIconAnimation(),
        preferences_.customDockAnimationSpeed());
    const VantrelAnimation run = choice.resolved(motion_.data());
    lastAnimation_ = run;
    if (to == current_) return;
    if (run.duration <= 0) {
        current_ = to;
        Q_EMIT changed();
        return;
    }
    from_ = current_;
    to_ = to;
    auto* animation = new QVariantAnimation(this);
    animation_ = animation;
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        current_ = DockIconVisualState::interpolated(from_, to_, value.toDouble());
        Q_EMIT changed();
    });
    connect(animation, &QVariantAnimation::finished, this, [this] {
        current_ = to_;
        Q_EMIT changed();
    });
    run.applyTo(*animation);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

QTransform DockIconEffect::transform(const QRectF& iconRect) const {
    const QPointF centre = iconRect.center();
    QTransform transform;
    transform.translate(centre.x(), centre.y() + current_.offsetY);
    transform.rotate(current_.rotation);
    transform.scale(current_.scale, current_.scale);
    transform.translate(-centre.x(), -centre.y());
    return transform;
}

void DockIconEffect::paint(QPainter& painter, const QRectF& iconRect,
                           const std::function<void(QPainter&)>& draw) const {
    painter.save();
    painter.setTransform(transform(iconRect), true);
    draw(painter);
    painter.restore();
}

} // namespace vantrel
