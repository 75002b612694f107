#include "notch/NotificationIndicatorView.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {
constexpr double kSide = 12;
constexpr double kRingWidth = 0.7;
} // namespace

NotificationIndicatorView::Layout NotificationIndicatorView::layout(const QSizeF& size) {
    const double side = std::min(size.width(), size.height());
    const QRectF circle((size.width() - side) / 2, (size.height() - side) / 2, side, side);
    const double inset = kRingWidth / 2;
    QColor ring(Qt::white);
    ring.setAlphaF(0.65f);
    // The system red. The dot's red glow falls outside its 12-point window; a window of its own
    // draws it (NotificationIndicatorShadow).
    return {circle, QColor(0xFF, 0x3B, 0x30), circle.adjusted(inset, inset, -inset, -inset), ring,
            kRingWidth};
}

NotificationIndicatorView::NotificationIndicatorView(std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent) {
    const QString help = QStringLiteral("Open Vantrel notifications");
    setToolTip(help);
    setAccessibleName(help);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [action = std::move(action)] {
        if (action) action();
    });
}

QSize NotificationIndicatorView::sizeHint() const {
    return QSize(static_cast<int>(kSide), static_cast<int>(kSide));
}

void NotificationIndicatorView::paintEvent(QPaintEvent*) {
    const Layout shape = layout(size());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shape.fill);
    painter.drawEllipse(shape.circle);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(shape.ringColor, shape.ringWidth));
    painter.drawEllipse(shape.ring);
}

bool NotificationIndicatorView::hitButton(const QPoint& position) const {
    const QRectF circle = layout(size()).circle;
    const QPointF d = QPointF(position) + QPointF(0.5, 0.5) - circle.center();
    const double r = circle.width() / 2;
    return d.x() * d.x() + d.y() * d.y() <= r * r;
}

} // namespace vantrel
