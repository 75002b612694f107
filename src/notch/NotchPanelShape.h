#pragma once

#include "notch/NotchExpandedShape.h"

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
    // The collapsed panel at rest: the cap hanging from the top edge of the screen, its top
    // corners square and its bottom corners of `radius`.
    static QPainterPath compactOutline(const QSizeF& size, double radius);
    // The open panel at rest: the surface's own outline, so that the see-through band beside the
    // notch neither shows nor takes the pointer.
    static QPainterPath expandedOutline(const QSizeF& size, const NotchExpandedShape& shape);

    // Every pixel the outline covers a part of, so that antialiased edges are not cut off. An
    // edge that only touches a row's boundary does not claim the row.
    static QRegion coverage(const QPainterPath& outline);
    // The pixels whose centres lie inside the outline: what a fill without antialiasing paints,
    // for a desktop that cannot blend a partly covered pixel over what lies below.
    static QRegion solidCoverage(const QPainterPath& outline);
};

} // namespace vantrel
