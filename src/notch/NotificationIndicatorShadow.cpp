#include "notch/NotificationIndicatorShadow.h"

#include "notch/NotificationIndicatorView.h"

#include <QPainter>

namespace vantrel {

VantrelShadow::Look NotificationIndicatorShadow::look() {
    QColor red = NotificationIndicatorView::layout(QSizeF(12, 12)).fill;
    red.setAlphaF(0.85f);
    return {red, 5, QPointF(0, 0)};
}

NotificationIndicatorShadow::NotificationIndicatorShadow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::NoDropShadowWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("vantrel.notification-indicator.shadow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

QRect NotificationIndicatorShadow::frame(const QRect& dotFrame) {
    const int reach = VantrelShadow::reach(look());
    return dotFrame.adjusted(-reach, -reach, reach, reach);
}

void NotificationIndicatorShadow::place(const QRect& dotFrame) {
    const QRect wanted = frame(dotFrame);
    if (wanted.size() != size()) glow_ = QImage();
    setGeometry(wanted);
    // Without a compositor the clear corners of the square would show; the glow fades out well
    // inside the circle that reaches as far as the blur.
    setMask(QRegion(rect(), QRegion::Ellipse));
    if (!isVisible()) show();
    raise();
}

void NotificationIndicatorShadow::paintEvent(QPaintEvent*) {
    const VantrelShadow::Look shadow = look();
    if (glow_.isNull() || glow_.size() != size()) {
        // Rendered once per size: the blurred coverage of the dot's circle, tinted.
        const int reach = VantrelShadow::reach(shadow);
        const QSizeF dot = QSizeF(size()) - QSizeF(2 * reach, 2 * reach);
        QPainterPath circle;
        circle.addEllipse(NotificationIndicatorView::layout(dot).circle.translated(reach, reach));
        const QImage coverage =
            VantrelShadow::blurredMask(circle.translated(shadow.offset), size(), shadow.radius);
        glow_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        QColor opaque = shadow.color;
        opaque.setAlpha(255);
        glow_.fill(opaque);
        QPainter tint(&glow_);
        tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tint.drawImage(0, 0, coverage);
    }
    QPainter painter(this);
    painter.setOpacity(shadow.color.alphaF());
    painter.drawImage(0, 0, glow_);
}

} // namespace vantrel
