#include "kit/VantrelSlider.h"

#include "kit/KitPaint.h"

#include <QPainter>

namespace vantrel {

VantrelSlider::VantrelSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    KitPaint::watchFocusReason(this);
}

void VantrelSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    QPainter painter(this);
    KitPaint::paintFocusRingOf(painter, this, std::min(width(), height()) / 2.0);
}

} // namespace vantrel
