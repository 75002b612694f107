#include "dock/DockIconVisualState.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

DockIconVisualState DockIconVisualState::forHover(bool hovering, bool magnification,
                                                  DockIconAnimation animation, double magnificationScale) {
    const DockIconAnimation effective = magnification ? animation : DockIconAnimation::none;
    if (!hovering || effective == DockIconAnimation::none) return {};
    const double s = std::isfinite(magnificationScale) ? std::clamp(magnificationScale, 1.0, 1.6) : 1.0;
    switch (effective) {
    case DockIconAnimation::lift:
        return {1, -7, 0};
    case DockIconAnimation::magnify:
    case DockIconAnimation::pulse:
        return {s, 0, 0};
    case DockIconAnimation::bounce:
        return {(s - 1) * 0.35 + 1, -11, 0};
    case DockIconAnimation::sway:
        return {1, 0, -7};
    case DockIconAnimation::rise:
        return {s, -7, 0};
    case DockIconAnimation::none:
        break;
    }
    return {};
}

DockIconVisualState DockIconVisualState::interpolated(const DockIconVisualState& from,
                                                      const DockIconVisualState& to, double progress) {
    const auto mix = [progress](double a, double b) { return a + (b - a) * progress; };
    return {mix(from.scale, to.scale), mix(from.offsetY, to.offsetY), mix(from.rotation, to.rotation)};
}

} // namespace vantrel
