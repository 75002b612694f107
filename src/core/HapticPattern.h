#pragma once

#include "core/PreferenceEnums.h"
#include "platform/HapticPerformer.h"

#include <vector>

namespace vantrel {

// One pulse of a pattern; the delay counts from the moment the list starts playing, not from the
// previous pulse.
struct HapticPulse {
    HapticFeedbackPattern pattern;
    double delay;
    bool operator==(const HapticPulse&) const = default;
};

using HapticPulseList = std::vector<HapticPulse>;

// The pulse lists shared by the interface haptics and the trackpad feedback engine.
namespace HapticPattern {

// The style's pulses. The fast variant tightens the gaps for quick pointer movement; interface
// haptics always use the normal one.
HapticPulseList pulses(HapticStyle style, bool isFast);

// Adapts a list to the user's strength (0...1): weak strengths soften or collapse the list,
// strong ones harden it and add trailing pulses.
HapticPulseList applyingStrength(const HapticPulseList& pulses, double strength);

} // namespace HapticPattern

} // namespace vantrel
