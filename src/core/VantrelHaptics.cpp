#include "core/VantrelHaptics.h"

#include "core/HapticPattern.h"
#include "core/VantrelPreferences.h"
#include "platform/Scheduler.h"

namespace vantrel {

VantrelHaptics::VantrelHaptics(VantrelPreferences& preferences, HapticPerformer& performer,
                               Scheduler& scheduler)
    : preferences_(preferences), performer_(performer), scheduler_(scheduler),
      self_(std::make_shared<VantrelHaptics*>(this)) {}

void VantrelHaptics::play(HapticSurface surface) {
    if (!preferences_.interfaceHapticsEnabled()) return;
    const HapticPulseList pulses = HapticPattern::applyingStrength(
        HapticPattern::pulses(preferences_.interfaceHapticStyle(surface), false),
        preferences_.feedbackStrength());
    for (const HapticPulse& p : pulses) {
        if (!(p.delay > 0)) {
            performer_.perform(p.pattern);
            continue;
        }
        std::weak_ptr<VantrelHaptics*> weak = self_;
        scheduler_.schedule(Seconds(p.delay), [weak, pattern = p.pattern] {
            if (auto self = weak.lock()) (*self)->pulse(pattern);
        });
    }
}

void VantrelHaptics::pulse(HapticFeedbackPattern pattern) {
    if (preferences_.interfaceHapticsEnabled()) performer_.perform(pattern);
}

} // namespace vantrel
