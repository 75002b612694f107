#include "notch/NotchExpandedShape.h"

#include "kit/VantrelConcentricGeometry.h"

#include <algorithm>

namespace vantrel {

NotchExpandedShape::Metrics NotchExpandedShape::metrics(const QRectF& rect) const {
    const double width = rect.width();
    const double height = rect.height();
    Metrics m;
    m.bridgeHalfWidth = std::max(std::min(width / 2 - 60, notchWidth / 2), 0.0);
    m.shoulderWidth = std::clamp(width * 0.028, 14.0, 24.0);
    const double body = height - bridgeHeight;
    m.outerRadius = body < 0 ? 24.0 : std::clamp(body * 0.22, 24.0, 30.0);
    m.bridgeBottom = std::min(height / 3, std::max(bridgeHeight, 24.0));
    m.innerRadius = std::clamp(m.bridgeBottom * 0.34, 9.0, 14.0);
    return m;
}

QPainterPath NotchExpandedShape::path(const QRectF& rect) const {
    if (!hasPhysicalNotch) return ContinuousRoundedRectangle{kPlainCornerRadius}.path(rect);

    const Metrics m = metrics(rect);
    const double hb = m.bridgeHalfWidth, s = m.shoulderWidth, R = m.outerRadius, r = m.innerRadius;
    double b = m.bridgeBottom;
    const double minX = rect.left(), maxX = rect.right(), minY = rect.top(), maxY = rect.bottom();
    const double midX = rect.center().x();
    // The levels hang from the rectangle's top edge, so an outline drawn away from the origin
    // keeps its shape instead of folding its shoulders above the rectangle.
    b += minY;

    QPainterPath path;
    path.moveTo(midX - hb, minY);
    path.lineTo(midX + hb, minY);
    path.lineTo(midX + hb, b - r);
    path.cubicTo(QPointF(midX + hb, b - 0.3 * r), QPointF(midX + hb + 0.58 * s, b),
                 QPointF(midX + hb + s, b));
    path.lineTo(maxX - R, b);
    path.cubicTo(QPointF(maxX - 0.45 * R, b), QPointF(maxX, b + 0.45 * R), QPointF(maxX, b + R));
    path.lineTo(maxX, maxY - R);
    path.cubicTo(QPointF(maxX, maxY - 0.45 * R), QPointF(maxX - 0.45 * R, maxY), QPointF(maxX - R, maxY));
    path.lineTo(minX + R, maxY);
    path.cubicTo(QPointF(minX + 0.45 * R, maxY), QPointF(minX, maxY - 0.45 * R), QPointF(minX, maxY - R));
    path.lineTo(minX, b + R);
    path.cubicTo(QPointF(minX, b + 0.45 * R), QPointF(minX + 0.45 * R, b), QPointF(minX + R, b));
    path.lineTo(midX - hb - s, b);
    path.cubicTo(QPointF(midX - hb - 0.58 * s, b), QPointF(midX - hb, b - 0.3 * r),
                 QPointF(midX - hb, b - r));
    path.lineTo(midX - hb, minY);
    path.closeSubpath();
    return path;
}

} // namespace vantrel
