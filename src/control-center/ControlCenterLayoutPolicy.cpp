#include "control-center/ControlCenterLayoutPolicy.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

ControlCenterLayoutPolicy::NavigationMetrics ControlCenterLayoutPolicy::metrics(double width) {
    if (width < 900) return {12, 14, 54, false, false};
    if (width < 1100) return {20, 16, 124, true, true};
    return {28, 20, 176, true, true};
}

QRectF ControlCenterLayoutPolicy::constrainedWindowFrame(const QRectF& window, const QRectF& visible,
                                                         double margin) {
    // A margin that is no number would poison every comparison below. An infinite one is simply
    // larger than any half size and is clamped like any other large margin.
    const double m = std::isnan(margin) ? 0.0 : margin;
    const double dx = std::clamp(m, 0.0, std::max(0.0, visible.width() / 2));
    const double dy = std::clamp(m, 0.0, std::max(0.0, visible.height() / 2));
    const QRectF inset = visible.adjusted(dx, dy, -dx, -dy);
    const double width = std::min(std::max(inset.width(), 1.0), window.width());
    const double height = std::min(std::max(inset.height(), 1.0), window.height());
    const double x = std::min(std::max(window.x(), inset.left()), inset.right() - width);
    const double y = std::min(std::max(window.y(), inset.top()), inset.bottom() - height);
    return QRectF(x, y, width, height);
}

} // namespace vantrel
