#include "control-center/VantrelRowButtonStyle.h"

#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelTheme.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <QVariantAnimation>
#include <cmath>

namespace vantrel {

VantrelRowButtonStyle::VantrelRowButtonStyle(QAbstractButton* button)
    : QObject(button), button_(button), animation_(new QVariantAnimation(this)) {
    button->setAttribute(Qt::WA_Hover);
    button->installEventFilter(this);
    VantrelAnimation::easeOut(0.16).applyTo(*animation_);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        progress_ = value.toDouble();
        button_->update();
    });
    connect(button, &QAbstractButton::pressed, button, qOverload<>(&QWidget::update));
    connect(button, &QAbstractButton::released, button, qOverload<>(&QWidget::update));
}

void VantrelRowButtonStyle::setHovering(bool hovering) {
    if (hovering == isHovering_) return;
    isHovering_ = hovering;
    animation_->stop();
    animation_->setStartValue(progress_);
    animation_->setEndValue(hovering ? 1.0 : 0.0);
    animation_->start();
}

double VantrelRowButtonStyle::fillOpacity(bool pressed, double hover) {
    if (pressed) return kPressedOpacity;
    return kHoveredOpacity * std::clamp(hover, 0.0, 1.0);
}

QRectF VantrelRowButtonStyle::capsule(const QRectF& rect, double hover) {
    const double height = kCapsuleHeight * std::clamp(hover, 0.0, 1.0);
    return {rect.left(), rect.center().y() - height / 2, kCapsuleWidth, height};
}

void VantrelRowButtonStyle::paint(QPainter& painter, const QRectF& rect) const {
    const ColorScheme scheme = VantrelTheme::colorScheme(button_);
    const double fill = fillOpacity(button_->isDown(), progress_);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (fill > 0)
        painter.fillPath(ContinuousRoundedRectangle{kCornerRadius}.path(rect),
                         VantrelTheme::withOpacity(VantrelTheme::elevated().resolve(scheme), fill));
    const QRectF mark = capsule(rect, progress_);
    if (progress_ > 0 && mark.height() > 0) {
        QPainterPath path;
        path.addRoundedRect(mark, kCapsuleWidth / 2, kCapsuleWidth / 2);
        painter.fillPath(path, VantrelTheme::withOpacity(VantrelTheme::keyline().resolve(scheme),
                                                         kCapsuleOpacity * progress_));
    }
    painter.restore();
}

bool VantrelRowButtonStyle::eventFilter(QObject* watched, QEvent* event) {
    if (watched == button_) {
        if (event->type() == QEvent::HoverEnter || event->type() == QEvent::Enter)
            setHovering(true);
        else if (event->type() == QEvent::HoverLeave || event->type() == QEvent::Leave)
            setHovering(false);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantrel
