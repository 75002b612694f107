#include "kit/HapticPattern.h"

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

void appendLevelChanges(HapticPulseList& pulses, std::size_t untilCount, double step) {
    while (pulses.size() < untilCount) {
        const double last = pulses.empty() ? 0.0 : pulses.back().delay;
        pulses.push_back({P::levelChange, last + step});
    }
}

} // namespace

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
    appendLevelChanges(out, 4, 0.055);
    return out;
}

} // namespace vantrel::HapticPattern
