#pragma once

#include <QRectF>

namespace vantrel {

// Keeps the control-center window on its screen.
struct ControlCenterLayoutPolicy {
    // The window frame shrunk to fit the visible frame less `margin` on every side and moved
    // inside it. The margin is clamped to 0 ... half the visible size on each axis; the result is
    // never larger than the window and at least 1 point wide and high (unless the window is
    // smaller still). A frame that already fits comes back unchanged.
    static QRectF constrainedWindowFrame(const QRectF& window, const QRectF& visible, double margin);
};

} // namespace vantrel
