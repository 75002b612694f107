#include "notch/NotchPanelShape.h"

#include "kit/VantrelConcentricGeometry.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

double NotchPanelShape::compactRadius(double compactHeight) {
    return std::clamp(compactHeight * 0.43, 12.0, 18.0);
}

double NotchPanelShape::expandedRadius(double expandedHeight, double compactHeight) {
    return std::clamp((expandedHeight - compactHeight) * 0.22, 24.0, 30.0);
}

QPainterPath NotchPanelShape::roundedOutline(const QRectF& rect, double radius) {
    QPainterPath path;
    if (rect.isEmpty()) return path;
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    path.addRoundedRect(rect, r, r);
    return path;
}

QPainterPath NotchPanelShape::compactOutline(const QSizeF& size, double radius) {
    const QRectF rect(QPointF(0, 0), size);
    if (rect.isEmpty()) return QPainterPath();
    return ContinuousRoundedRectangle{radius, true}.path(rect);
}

QPainterPath NotchPanelShape::expandedOutline(const QSizeF& size, const NotchExpandedShape& shape) {
    const QRectF rect(QPointF(0, 0), size);
    if (rect.isEmpty()) return QPainterPath();
    return shape.path(rect);
}

} // namespace vantrel
