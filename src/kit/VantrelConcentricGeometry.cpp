#include "kit/VantrelConcentricGeometry.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// How far along each edge a corner of radius 1 starts to bend. A circular arc would start at 1;
// starting later leaves room for the curvature to build up gradually.
constexpr double kCornerExtent = 1.528;
// Where a circular arc of radius 1 crosses the corner's diagonal, measured from the corner.
const double kDiagonalPoint = 1.0 - 1.0 / std::sqrt(2.0);

double validRadius(double radius) {
    return std::isfinite(radius) && radius > 0 ? radius : 0.0;
}

// Adds one corner from the edge point at distance `extent` before the corner to the one after it.
// `corner` is the corner point, `in` the unit direction of travel into the corner and `out` the
// direction away from it. Each half is a cubic whose first control points lie on the straight
// edge (no curvature where it leaves the edge) and which meets the other half on the diagonal
// with the diagonal's tangent, so the two halves join smoothly.
void addCorner(QPainterPath& path, QPointF corner, QPointF in, QPointF out, double radius, double extent) {
    const double m = kDiagonalPoint * radius;
    const QPointF start = corner - in * extent;
    const QPointF middle = corner - in * m + out * m;
    const QPointF end = corner + out * extent;
    path.cubicTo(start + in * ((extent - 2 * m) / 2), corner - in * (2 * m), middle);
    path.cubicTo(corner + out * (2 * m), end - out * ((extent - 2 * m) / 2), end);
}

} // namespace

QPainterPath ContinuousRoundedRectangle::path(const QRectF& rect) const {
    QPainterPath path;
    const QRectF r = rect.normalized();
    // Only the bottom corners share the height when the top ones are square.
    const double limit =
        squareTop ? std::min(r.width() / 2, r.height()) : std::min(r.width(), r.height()) / 2;
    double radius = validRadius(cornerRadius);
    if (radius * kCornerExtent > limit) radius = limit / kCornerExtent;
    if (radius <= 0) {
        path.addRect(r);
        return path;
    }
    const double extent = radius * kCornerExtent;
    const QPointF right(1, 0), left(-1, 0), down(0, 1), up(0, -1);

    if (squareTop) {
        path.moveTo(r.topLeft());
        path.lineTo(r.topRight());
    } else {
        path.moveTo(r.left() + extent, r.top());
        path.lineTo(r.right() - extent, r.top());
        addCorner(path, r.topRight(), right, down, radius, extent);
    }
    path.lineTo(r.right(), r.bottom() - extent);
    addCorner(path, r.bottomRight(), down, left, radius, extent);
    path.lineTo(r.left() + extent, r.bottom());
    addCorner(path, r.bottomLeft(), left, up, radius, extent);
    if (squareTop) {
        path.closeSubpath();
        return path;
    }
    path.lineTo(r.left(), r.top() + extent);
    addCorner(path, r.topLeft(), up, right, radius, extent);
    path.closeSubpath();
    return path;
}

namespace VantrelConcentricGeometry {

ContinuousRoundedRectangle nestedRectangle(double minimumRadius) {
    return {validRadius(minimumRadius)};
}
ContinuousRoundedRectangle containerShape(double radius) {
    return {validRadius(radius)};
}

} // namespace VantrelConcentricGeometry

} // namespace vantrel
