#pragma once

#include "core/PreferenceEnums.h"

namespace vantrel {

// Where a Dock icon stands while the pointer is over it: scaled and rotated about its centre,
// then moved up (negative) or down.
struct DockIconVisualState {
    double scale = 1;
    double offsetY = 0;  // points, negative is up
    double rotation = 0; // degrees, negative is anticlockwise

    bool operator==(const DockIconVisualState&) const = default;

    // The state of the chosen effect: at rest when not hovered, when `magnification` (the
    // effect's master switch) is off or the effect is `none`. `magnificationScale` is taken
    // within 1 to 1.6, and as 1 when it is no number.
    static DockIconVisualState forHover(bool hovering, bool magnification, DockIconAnimation animation,
                                        double magnificationScale);
    // The state `progress` of the way from `from` to `to` (beyond 1 for a spring's overshoot).
    static DockIconVisualState interpolated(const DockIconVisualState& from, const DockIconVisualState& to,
                                            double progress);
};

} // namespace vantrel
