#include "notch/UsageSparkline.h"

#include "kit/VantrelTheme.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantrel {

QPainterPath UsageSparkline::path(const QSizeF& size) const {
    const double w = size.width();
    const double h = size.height();
    const QList<double> points = values.isEmpty() ? QList<double>{0.0} : values;
    double scale = 1;
    if (normalizesValues) scale = std::max(*std::max_element(points.cbegin(), points.cend()), 1.0);
    const auto y = [&](double p) {
        // A value that is not a number draws on the bottom edge rather than breaking the line.
        const double fraction = std::isfinite(p) ? std::min(p / scale, 1.0) : 0.0;
        return h - h * fraction;
    };
    QPainterPath line(QPointF(0, y(points.front())));
    const qsizetype n = points.size();
    for (qsizetype i = 1; i < n; ++i) line.lineTo(QPointF(w * double(i) / double(n - 1), y(points[i])));
    return line;
}

void UsageSparkline::paint(QPainter& painter, const QRectF& rect) const {
    if (values.size() < 2 || rect.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(VantrelTheme::withOpacity(color, kOpacity), kLineWidth, Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.translate(rect.topLeft());
    painter.drawPath(path(rect.size()));
    painter.restore();
}

} // namespace vantrel
