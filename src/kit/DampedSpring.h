#pragma once

#include "kit/VantrelMotion.h"

namespace vantrel {

// A spring released from rest toward its target, given by its response (the period of the
// undamped oscillation, in seconds) and its damping fraction (1: critically damped, below: it
// overshoots). As an animation it runs until the overshoot has decayed below a thousandth.
struct DampedSpring {
    double response = 0.5;
    double damping = 0.825;

    // How far along the way (0 at the start, 1 at rest) the spring is after `seconds`.
    double position(double seconds) const;
    // When the remaining motion has decayed below a thousandth of the way.
    double settleSeconds() const;
    // The easing over `settleSeconds()`, as a curve an animation runs. Springs with the same
    // damping share one curve (the response only stretches it in time).
    QEasingCurve easing() const;
    VantrelAnimation animation() const { return {easing(), settleSeconds()}; }

    bool operator==(const DampedSpring&) const = default;
};

} // namespace vantrel
