#include "notch/NotchSurfaceButton.h"

#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

NotchSurfaceButton::NotchSurfaceButton(const QString& accessibleName, Painter painter, QWidget* parent)
    : QAbstractButton(parent), painter_(std::move(painter)) {
    setAccessibleName(accessibleName);
    // A click makes the button the current control, so that Tab goes on from it and no other
    // control keeps a focus (and Return) the user left behind.
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setCursor(Qt::ArrowCursor);
}

void NotchSurfaceButton::setPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

void NotchSurfaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (painter_) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter_(painter, QRectF(rect()), hovered_, isDown());
    }
    KitPaint::paintFocusRingOf(painter, this, std::min(8.0, height() / 2.0));
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
