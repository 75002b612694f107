#include "kit/CalmThemeRefraction.h"

#include "kit/VantrelMotion.h"
#include "kit/VantrelTheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace vantrel {

CalmThemeRefraction::CalmThemeRefraction(QColor tint, QObject* parent)
    : QObject(parent), tint_(tint), animation_(new QVariantAnimation(this)) {
    animation_->setStartValue(0.0);
    animation_->setEndValue(1.0);
    VantrelAnimation{QEasingCurve::Linear, kPeriod}.applyTo(*animation_);
    animation_->setLoopCount(-1);
    connect(animation_, &QVariantAnimation::valueChanged, this, &CalmThemeRefraction::changed);
}

void CalmThemeRefraction::setTint(const QColor& tint) {
    if (tint == tint_) return;
    tint_ = tint;
    band_ = QImage();
    Q_EMIT changed();
}

void CalmThemeRefraction::start() {
    hasTravelled_ = true;
    if (animation_->state() != QAbstractAnimation::Running) animation_->start();
}

void CalmThemeRefraction::stop() {
    animation_->stop();
    hasTravelled_ = false;
    Q_EMIT changed();
}

double CalmThemeRefraction::progress() const {
    if (!hasTravelled_) return 0;
    return animation_->currentValue().toDouble();
}

RefractionLayout CalmThemeRefraction::layout(const QSizeF& size, double progress) {
    const double w = size.width(), h = size.height();
    const QSizeF band(std::max(0.46 * w, 360.0), 1.7 * h);
    const double startX = -0.75 * w, endX = 1.25 * w;
    return {QRectF(QPointF(w / 2 - band.width() / 2, h / 2 - band.height() / 2), band), kAngle,
            QPointF(startX + (endX - startX) * progress, -0.3 * h)};
}

const QImage& CalmThemeRefraction::band(const QSizeF& size) {
    const QSizeF bandSize = layout(size, 0).band.size();
    if (!band_.isNull() && bandSize == bandSize_) return band_;
    bandSize_ = bandSize;
    // The gradient runs across the band and fades to clear at both sides, so a blur of it only
    // softens its two ends; they fade out over the blur radius instead.
    const QRectF local(QPointF(-bandSize.width() / 2, -bandSize.height() / 2), bandSize);
    QLinearGradient across(local.left(), 0, local.right(), 0);
    QColor clear = tint_;
    clear.setAlpha(0);
    across.setColorAt(0, clear);
    across.setColorAt(0.25, VantrelTheme::withOpacity(tint_, 0.08));
    across.setColorAt(0.5, VantrelTheme::withOpacity(Qt::white, 0.22));
    across.setColorAt(0.75, VantrelTheme::withOpacity(tint_, 0.06));
    across.setColorAt(1, clear);

    QTransform rotation;
    rotation.rotate(kAngle);
    const QRect bounds = rotation.mapRect(local).toAlignedRect();
    band_ = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    band_.fill(Qt::transparent);
    QPainter p(&band_);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-bounds.topLeft());
    p.rotate(kAngle);
    p.fillRect(local, across);
    QLinearGradient ends(0, local.top(), 0, local.bottom());
    const double fade = std::min(0.5, kBlurRadius / bandSize.height());
    ends.setColorAt(0, Qt::transparent);
    ends.setColorAt(fade, Qt::black);
    ends.setColorAt(1 - fade, Qt::black);
    ends.setColorAt(1, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillRect(local, ends);
    p.end();
    return band_;
}

void CalmThemeRefraction::paint(QPainter& painter, const QSizeF& size, double opacity) {
    if (opacity <= 0 || size.isEmpty()) return;
    const RefractionLayout l = layout(size, progress());
    const QImage& image = band(size);
    const QPointF centre = l.band.center() + l.offset;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(centre - QPointF(image.width() / 2.0, image.height() / 2.0), image);
    painter.restore();
}

} // namespace vantrel
