#include "notch/NotchSurfaceButton.h"

#include <QPainter>

namespace vantrel {

NotchSurfaceButton::NotchSurfaceButton(const QString& accessibleName, Painter painter, QWidget* parent)
    : QAbstractButton(parent), painter_(std::move(painter)) {
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
}

void NotchSurfaceButton::setPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

void NotchSurfaceButton::paintEvent(QPaintEvent*) {
    if (!painter_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter_(painter, QRectF(rect()), hovered_, isDown());
}

void NotchSurfaceButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void NotchSurfaceButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace vantrel
