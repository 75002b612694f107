#include "kit/KitPaint.h"

#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace vantrel::KitPaint {

QColor tint(const QWidget* widget) {
    return widget->palette().color(QPalette::Highlight);
}

ColorScheme scheme(const QWidget* widget) {
    return VantrelTheme::colorScheme(widget);
}

QColor primary(ColorScheme scheme, double opacity) {
    return VantrelTheme::withOpacity(VantrelTheme::primary(scheme), opacity);
}

void fadeIfDisabled(QPainter& painter, const QWidget* widget) {
    if (widget && !widget->isEnabled()) painter.setOpacity(painter.opacity() * kDisabledOpacity);
}

void paintSwitch(QPainter& painter, const SwitchLayout& layout, double on, const QColor& tint,
                 ColorScheme scheme, bool enabled, bool focused) {
    painter.save();
    if (!enabled) painter.setOpacity(painter.opacity() * kDisabledOpacity);
    const double radius = layout.track.height() / 2;
    painter.setPen(Qt::NoPen);
    const QColor off = primary(scheme, scheme == ColorScheme::dark ? 0.2 : 0.1);
    const double t = std::clamp(on, 0.0, 1.0);
    const auto mix = [t](double a, double b) { return float(a + (b - a) * t); };
    painter.setBrush(QColor::fromRgbF(mix(off.redF(), tint.redF()), mix(off.greenF(), tint.greenF()),
                                      mix(off.blueF(), tint.blueF()), mix(off.alphaF(), tint.alphaF())));
    painter.drawRoundedRect(layout.track, radius, radius);
    // The knob: a soft shadow under a white disc, a capsule while it is held.
    const double knob = layout.knob.height() / 2;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawRoundedRect(layout.knob.translated(0, 0.6), knob, knob);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(layout.knob, knob, knob);
    painter.restore();
    if (focused) paintFocusRing(painter, layout.track, radius, tint);
}

void paintFocusRing(QPainter& painter, const QRectF& rect, double radius, const QColor& tint, double width) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen(tint, width);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    const double outset = width / 2 + 1;
    painter.drawRoundedRect(rect.adjusted(-outset, -outset, outset, outset), radius + outset,
                            radius + outset);
    painter.restore();
}

namespace {

struct SharedImage {
    QByteArray key;
    QImage image;
};

} // namespace

QImage sharedImage(const QByteArray& key, const std::function<QImage()>& make) {
    static std::vector<SharedImage> images;
    std::erase_if(images, [](const SharedImage& entry) { return entry.image.isDetached(); });
    for (const SharedImage& entry : images)
        if (entry.key == key) return entry.image;
    images.push_back({key, make()});
    return images.back().image;
}

} // namespace vantrel::KitPaint
