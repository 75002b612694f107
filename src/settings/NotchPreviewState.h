#pragma once

#include "kit/VantrelMotion.h"

namespace vantrel {

// The notch page's two view flags, and how the pointer, a tap and a settings change move them.
// Each step says whether the expansion changed, which the page animates. Pure.
struct NotchPreviewState {
    bool expanded = true;
    bool hovering = false;

    // The pointer entered or left: the hover flag follows, and the expansion with it only while
    // "Open when the pointer enters" is on.
    NotchPreviewState hovered(bool isHovering, bool autoExpand) const;
    // A tap always toggles the expansion.
    NotchPreviewState tapped() const;
    // Any settings change opens a collapsed preview, so its effect is seen.
    NotchPreviewState revealed() const;

    bool operator==(const NotchPreviewState&) const = default;

    // Every change of the expansion: the curve (0.22, 0.82, 0.24, 1.0) over 0.25 s, 0.12 s while
    // motion is reduced.
    static VantrelAnimation animation(bool reduceMotion);
};

} // namespace vantrel
