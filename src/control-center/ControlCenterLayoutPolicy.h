#pragma once

#include <QRectF>

namespace vantrel {

// The static layout rules of the control-center window.
struct ControlCenterLayoutPolicy {
    // How the navigation bar fits the window's width.
    struct NavigationMetrics {
        double shellPadding = 0;        // the bar's side padding inside the window
        double barContentPadding = 0;   // the side padding of the bar's content
        double navigationSideInset = 0; // keeps the section strip clear of the brand and the pill
        bool showsWordmark = false;
        bool showsActionsTitle = false;
        bool operator==(const NavigationMetrics&) const = default;
    };

    // Compact below 900, regular below 1100, wide from there on.
    static NavigationMetrics metrics(double width);

    // The window frame shrunk to fit the visible frame less `margin` on every side and moved
    // inside it. The margin is clamped to 0 ... half the visible size on each axis (an infinite
    // one is half the size, one that is no number counts as 0); the result is never larger than
    // the window and at least 1 point wide and high (unless the window is smaller still). A frame
    // that already fits comes back unchanged.
    static QRectF constrainedWindowFrame(const QRectF& window, const QRectF& visible, double margin);
};

} // namespace vantrel
