#include "modules/AlarmController.h"

#include "core/VantrelPreferences.h"
#include "platform/HapticPerformer.h"
#include "platform/SoundPlayer.h"

#include <algorithm>

namespace vantrel {

namespace {
float clampedVolume(double volume) {
    if (!(volume > 0)) return 0.0f; // also a volume that is not a number
    return static_cast<float>(std::min(volume, 1.0));
}
} // namespace

AlarmController::AlarmController(VantrelPreferences& preferences, HapticPerformer& performer,
                                 SoundPlayer& sounds, Scheduler& scheduler)
    : preferences_(preferences), performer_(performer), sounds_(sounds), scheduler_(scheduler) {}

AlarmController::~AlarmController() {
    dismiss();
}

void AlarmController::play(bool repeating) {
    dismiss();
    const AlarmDelivery delivery = preferences_.alarmDelivery();
    const std::optional<QString> soundName =
        delivery == AlarmDelivery::haptics ? std::nullopt : systemSoundName(preferences_.alarmSound());
    const bool wantsHaptics = delivery != AlarmDelivery::sound;
    const float volume = clampedVolume(preferences_.alarmVolume());

    if (wantsHaptics) {
        performer_.perform(HapticFeedbackPattern::levelChange);
        // The task dies with the controller, so a firing never reaches a controller that is gone.
        if (repeating)
            repeatingHapticTimer_ = ScheduledTask(
                scheduler_,
                scheduler_.scheduleRepeating(Seconds(kRepeatingHapticInterval), Seconds(0), [this] {
                    performer_.perform(HapticFeedbackPattern::levelChange);
                }));
    }
    if (soundName) {
        if (std::unique_ptr<Sound> sound = sounds_.soundNamed(*soundName)) {
            sound->setVolume(volume);
            sound->setLoops(repeating);
            activeSound_ = std::move(sound);
            activeSound_->play();
        }
    }
}

void AlarmController::dismiss() {
    if (activeSound_) {
        activeSound_->stop();
        activeSound_.reset();
    }
    repeatingHapticTimer_.cancel();
}

} // namespace vantrel
