#pragma once

#include "core/SharedInstance.h"
#include "platform/Scheduler.h"

#include <memory>

namespace vantrel {

class HapticPerformer;
class Sound;
class SoundPlayer;
class VantrelPreferences;

// The timer alarm: the chosen sound and a haptic, once or repeating until dismissed. At most one
// alarm sounds at a time.
class AlarmController : public SharedInstance<AlarmController> {
public:
    // Seconds between the haptics of a repeating alarm.
    static constexpr double kRepeatingHapticInterval = 1.25;

    AlarmController(VantrelPreferences& preferences, HapticPerformer& performer, SoundPlayer& sounds,
                    Scheduler& scheduler);
    ~AlarmController();
    AlarmController(const AlarmController&) = delete;
    AlarmController& operator=(const AlarmController&) = delete;

    // Silences any alarm, then plays as the settings say: the haptic first, then the sound.
    // A sound the library does not have, or a machine without audio, gives silence and no error.
    void play(bool repeating);
    // Silences the alarm at once; harmless when nothing sounds.
    void dismiss();

private:
    VantrelPreferences& preferences_;
    HapticPerformer& performer_;
    SoundPlayer& sounds_;
    Scheduler& scheduler_;
    // Kept after a single play has ended by itself, until the next play or dismiss stops it.
    std::unique_ptr<Sound> activeSound_;
    ScheduledTask repeatingHapticTimer_;
};

} // namespace vantrel
