#include "dock/DockSeparatorTile.h"

#include "dock/DockContentStore.h"
#include "kit/VantrelMotion.h"

#include <QPainter>
#include <QPainterPath>

namespace vantrel {

DockSeparatorTile::DockSeparatorTile(const DockShortcut& item, const DockViewContext& context,
                                     QWidget* parent)
    : DockTile(context, parent), item_(item) {
    setToolTip(QString::fromUtf8("Separator \u2014 drag to reposition"));
    setAccessibleName(QStringLiteral("Dock separator"));
}

QRectF DockSeparatorTile::capsuleRect() const {
    const double h = 0.62 * iconSize();
    return {(width() - 2) / 2.0, (height() - h) / 2, 2, h};
}

void DockSeparatorTile::paintIcon(QPainter& painter) const {
    // The separator carries no hover effect: only its fill follows the pointer.
    const QRectF capsule = capsuleRect();
    QPainterPath path;
    path.addRoundedRect(capsule, 1, 1);
    painter.fillPath(path, QColor::fromRgbF(1, 1, 1, float(fill_)));
}

void DockSeparatorTile::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    fadeTo(0.34);
}

void DockSeparatorTile::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    fadeTo(0.18);
}

void DockSeparatorTile::fadeTo(double opacity) {
    delete fade_;
    auto* fade = new QVariantAnimation(this);
    fade_ = fade;
    connect(fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        fill_ = value.toDouble();
        Q_EMIT needsDisplay();
    });
    VantrelAnimation::easeOut(0.12).applyTo(*fade);
    fade->setStartValue(fill_);
    fade->setEndValue(opacity);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

DockMenu DockSeparatorTile::menu() {
    return menuFor(item_, context_.content);
}

DockMenu DockSeparatorTile::menuFor(const DockShortcut& item, DockContentStore& content) {
    DockMenu menu;
    menu.add(QStringLiteral("Remove Separator"), [&content, item] { content.remove(item); });
    return menu;
}

} // namespace vantrel
