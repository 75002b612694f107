#include "dock/DockHoverLabel.h"

#include "kit/VantrelMotion.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace vantrel {

DockHoverLabel::DockHoverLabel(QObject* parent) : QObject(parent) {}

QFont DockHoverLabel::font() {
    return VantrelType::font(10.5, QFont::DemiBold);
}

DockHoverLabel::Layout DockHoverLabel::layout(const QString& text, QPointF topCentre) {
    const QFontMetricsF metrics(font());
    // Text from other programs: shown plain, on one line.
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString shown = metrics.elidedText(line, Qt::ElideMiddle, kMaximumTextWidth);
    const double width = std::min(kMaximumTextWidth, metrics.horizontalAdvance(shown));
    const double height = metrics.height();
    const QRectF capsule(topCentre.x() - (width + 16) / 2, topCentre.y(), width + 16, height + 8);
    return {shown, capsule, capsule.adjusted(8, 4, -8, -4)};
}

void DockHoverLabel::paint(QPainter& painter, const Layout& layout, double opacity) {
    if (opacity <= 0) return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = layout.capsule.height() / 2;
    QPainterPath capsule;
    capsule.addRoundedRect(layout.capsule, radius, radius);
    painter.fillPath(capsule, QColor::fromRgbF(0, 0, 0, 0.78f));
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.14f), 0.7));
    painter.drawPath(capsule);
    painter.setFont(font());
    painter.setPen(Qt::white);
    painter.drawText(layout.textRect, Qt::AlignCenter | Qt::TextSingleLine, layout.text);
    painter.restore();
}

void DockHoverLabel::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    delete fade_;
    auto* fade = new QVariantAnimation(this);
    fade_ = fade;
    connect(fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        opacity_ = value.toDouble();
        Q_EMIT changed();
    });
    VantrelAnimation::easeOut(kFadeSeconds).applyTo(*fade);
    fade->setStartValue(opacity_);
    fade->setEndValue(visible ? 1.0 : 0.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace vantrel
