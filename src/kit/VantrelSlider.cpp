#include "kit/VantrelSlider.h"

#include "kit/KitPaint.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>

namespace vantrel {

VantrelSlider::VantrelSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    KitPaint::watchFocusReason(this);
}

int VantrelSlider::unitsOf(int key, bool rightToLeft) {
    switch (key) {
    case Qt::Key_Right:
        return rightToLeft ? -1 : 1;
    case Qt::Key_Left:
        return rightToLeft ? 1 : -1;
    case Qt::Key_Up:
        return 1;
    case Qt::Key_Down:
        return -1;
    case Qt::Key_PageUp:
        return 10;
    case Qt::Key_PageDown:
        return -10;
    default:
        return 0;
    }
}

double VantrelSlider::unitsAfter(double at, int units) {
    // A hair's tolerance, so a value a rounding error off a whole unit counts as on it.
    constexpr double kTolerance = 1e-6;
    if (units > 0) return std::floor(at + kTolerance) + units;
    return std::ceil(at - kTolerance) + units;
}

void VantrelSlider::keyPressEvent(QKeyEvent* event) {
    const int units = unitsOf(event->key(), isRightToLeft());
    const double unit = (maximum() - minimum()) / 100.0;
    if (units == 0 || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || unit <= 0) {
        QSlider::keyPressEvent(event);
        return;
    }
    const double step = unitsAfter((value() - minimum()) / unit, units);
    setValue(std::clamp(int(std::lround(minimum() + step * unit)), minimum(), maximum()));
    event->accept();
}

void VantrelSlider::initStyleOption(QStyleOptionSlider* option) const {
    QSlider::initStyleOption(option);
    const int room = int(KitPaint::kFocusRingRoom) + 1;
    option->rect = orientation() == Qt::Horizontal ? option->rect.adjusted(room, 0, -room, 0)
                                                   : option->rect.adjusted(0, room, 0, -room);
}

template <typename Handler> void VantrelSlider::withinGroove(QMouseEvent* event, Handler handler) {
    const double room = KitPaint::kFocusRingRoom + 1;
    QPointF at = event->position();
    if (orientation() == Qt::Horizontal)
        at.setX(std::clamp(at.x(), room, std::max(room, width() - room - 1)));
    else
        at.setY(std::clamp(at.y(), room, std::max(room, height() - room - 1)));
    QMouseEvent inside(event->type(), at, event->globalPosition(), event->button(), event->buttons(),
                       event->modifiers(), event->pointingDevice());
    handler(&inside);
    event->setAccepted(inside.isAccepted());
}

void VantrelSlider::mousePressEvent(QMouseEvent* event) {
    withinGroove(event, [this](QMouseEvent* inside) { QSlider::mousePressEvent(inside); });
}

void VantrelSlider::mouseMoveEvent(QMouseEvent* event) {
    withinGroove(event, [this](QMouseEvent* inside) { QSlider::mouseMoveEvent(inside); });
}

void VantrelSlider::mouseReleaseEvent(QMouseEvent* event) {
    withinGroove(event, [this](QMouseEvent* inside) { QSlider::mouseReleaseEvent(inside); });
}

void VantrelSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    QPainter painter(this);
    KitPaint::paintFocusRingOf(painter, this, std::min(width(), height()) / 2.0);
}

} // namespace vantrel
