#pragma once

#include <QPainterPath>
#include <QRectF>

namespace vantrel {

// A rounded rectangle with continuous corners: the curvature grows smoothly out of the straight
// edges instead of jumping to a circular arc, so corners read softer than a plain rounded rect.
struct ContinuousRoundedRectangle {
    double cornerRadius = 0;
    // Square top corners, for shapes that hang from the top edge of the screen.
    bool squareTop = false;

    // The outline inside `rect`. A radius too large for the rect shrinks until the corners meet.
    QPainterPath path(const QRectF& rect) const;
    bool operator==(const ContinuousRoundedRectangle&) const = default;
};

// Corner shapes for cards and buttons nested in rounded containers. This desktop has no concentric
// shapes that follow their container, so nested shapes are continuous rounded rectangles of the
// minimum radius, and a container is one of its own radius.
namespace VantrelConcentricGeometry {

ContinuousRoundedRectangle nestedRectangle(double minimumRadius);
ContinuousRoundedRectangle containerShape(double radius);

} // namespace VantrelConcentricGeometry

} // namespace vantrel
