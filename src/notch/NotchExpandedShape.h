#pragma once

#include <QPainterPath>
#include <QRectF>

namespace vantrel {

// The outline of the open notch surface. Under a camera notch it hangs from the top edge as a
// bridge as wide as the notch, flares out through two concave shoulders and opens into a wide body
// with rounded outer corners; without a notch it is a plain continuous rounded rectangle. The panel
// mask, the surface's fills and strokes and the settings preview all use this one outline.
struct NotchExpandedShape {
    // Radius of the plain rounded rectangle used when there is no notch.
    static constexpr double kPlainCornerRadius = 18;

    bool hasPhysicalNotch = false;
    double notchWidth = 0;
    double bridgeHeight = 0;

    // The lengths the outline is drawn from, for a given rectangle.
    struct Metrics {
        double bridgeHalfWidth = 0; // hb
        double shoulderWidth = 0;   // s
        double outerRadius = 0;     // R
        double bridgeBottom = 0;    // b, counted from the top of the shape's frame
        double innerRadius = 0;     // r
    };
    Metrics metrics(const QRectF& rect) const;

    // One closed outline inside `rect`; y grows downward.
    QPainterPath path(const QRectF& rect) const;

    bool operator==(const NotchExpandedShape&) const = default;
};

} // namespace vantrel
