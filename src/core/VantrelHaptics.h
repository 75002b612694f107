#pragma once

#include "core/PreferenceEnums.h"
#include "core/SharedInstance.h"
#include "platform/HapticPerformer.h"

#include <memory>

namespace vantrel {

class Scheduler;
class VantrelPreferences;

// The interface haptics: a short pulse pattern when the user acts on one of the system's own
// surfaces, in the style chosen for that surface and at the chosen strength.
class VantrelHaptics : public SharedInstance<VantrelHaptics> {
public:
    VantrelHaptics(VantrelPreferences& preferences, HapticPerformer& performer, Scheduler& scheduler);
    VantrelHaptics(const VantrelHaptics&) = delete;
    VantrelHaptics& operator=(const VantrelHaptics&) = delete;

    // Plays the surface's pattern: the first pulse at once, later ones when their delay has
    // passed. Nothing happens while interface haptics are off.
    void play(HapticSurface surface);

private:
    // A later pulse of a list already started: it plays only if haptics are still on.
    void pulse(HapticFeedbackPattern pattern);

    VantrelPreferences& preferences_;
    HapticPerformer& performer_;
    Scheduler& scheduler_;
    // Delayed pulses are never cancelled; they hold this token weakly and do nothing once the
    // haptics are gone.
    std::shared_ptr<VantrelHaptics*> self_;
};

} // namespace vantrel
