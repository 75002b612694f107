#pragma once

#include <QPainterPath>
#include <QRegion>
#include <QSizeF>

namespace vantrel {

// The geometry of the notch panel's outline: the radii of its compact and expanded shapes, the
// rounded outline its presentation mask draws, and the pixels an outline covers (what the window
// shows and takes clicks in). Every outline of the panel is made here.
struct NotchPanelShape {
    // The notch-sized shape: 0.43 of its height, kept within 12...18.
    static double compactRadius(double compactHeight);
    // The expanded shape: 0.22 of what it adds to the compact height, kept within 24...30.
    static double expandedRadius(double expandedHeight, double compactHeight);

    // A rounded rectangle; the radius never exceeds half of either side.
    static QPainterPath roundedOutline(const QRectF& rect, double radius);
    // The outline of a panel of `size` at rest, hanging from its top edge.
    static QPainterPath restingOutline(const QSizeF& size, double radius);

    // Every pixel the outline touches, so that antialiased edges are not cut off.
    static QRegion coverage(const QPainterPath& outline);
};

} // namespace vantrel
