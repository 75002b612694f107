#pragma once

#include "notch/NotchExpandedShape.h"

#include <QPainterPath>
#include <QSizeF>

namespace vantrel {

// The geometry of the notch panel's outline: the radii of its compact and expanded shapes and the
// rounded outline its presentation mask draws. Every outline of the panel is made here; the
// pixels it covers are the window shape's to work out.
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
};

} // namespace vantrel
