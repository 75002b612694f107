#include "core/HapticPattern.h"

#include <cmath>

namespace vantrel::HapticPattern {

namespace {

using P = HapticFeedbackPattern;

HapticPulseList mapped(const HapticPulseList& pulses, P (*map)(P)) {
    HapticPulseList out;
    out.reserve(pulses.size());
    for (const HapticPulse& pulse : pulses) out.push_back({map(pulse.pattern), pulse.delay});
    return out;
}

// A later pulse of a style: its pattern and its delay in the normal and the fast variant.
struct Step {
    P pattern;
    double normal;
    double fast;
};

std::vector<Step> steps(HapticStyle style) {
    switch (style) {
    case HapticStyle::feather:
        return {{P::alignment, 0, 0}};
    case HapticStyle::soft:
        return {{P::alignment, 0, 0}, {P::alignment, 0.068, 0.042}};
    case HapticStyle::tick:
        return {{P::generic, 0, 0}};
    case HapticStyle::click:
        return {{P::generic, 0, 0}, {P::levelChange, 0.044, 0.026}};
    case HapticStyle::detent:
        return {{P::alignment, 0, 0}, {P::levelChange, 0.032, 0.020}};
    case HapticStyle::doubleTap:
        return {{P::generic, 0, 0}, {P::generic, 0.095, 0.060}};
    case HapticStyle::ratchet:
        return {{P::generic, 0, 0}, {P::generic, 0.040, 0.024}, {P::levelChange, 0.082, 0.050}};
    case HapticStyle::firm:
        return {{P::levelChange, 0, 0}, {P::levelChange, 0.065, 0.040}, {P::generic, 0.125, 0.078}};
    }
    return {{P::generic, 0, 0}};
}

} // namespace

HapticPulseList pulses(HapticStyle style, bool isFast) {
    HapticPulseList out;
    for (const Step& step : steps(style)) out.push_back({step.pattern, isFast ? step.fast : step.normal});
    return out;
}

HapticPulseList applyingStrength(const HapticPulseList& pulses, double strength) {
    // A strength that is not a number belongs to no band; it plays the list as designed.
    if (std::isnan(strength)) return pulses;
    if (strength < 0.2) return {{P::alignment, 0.0}};
    if (strength < 0.4)
        return mapped(pulses, [](P p) { return p == P::levelChange ? P::generic : P::alignment; });
    if (strength < 0.65) return pulses;
    if (strength < 0.85) {
        HapticPulseList out =
            mapped(pulses, [](P p) { return p == P::alignment ? P::generic : P::levelChange; });
        if (!out.empty() && out.size() <= 2) out.push_back({P::levelChange, out.back().delay + 0.052});
        return out;
    }
    HapticPulseList out = mapped(pulses, [](P) { return P::levelChange; });
    while (out.size() < 4) out.push_back({P::levelChange, (out.empty() ? 0.0 : out.back().delay) + 0.055});
    return out;
}

} // namespace vantrel::HapticPattern
