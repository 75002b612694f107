#pragma once

#include "core/VantrelPreferences.h"
#include "kit/VantrelHaptics.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"
#include "modules/TimerAlarm.h"
#include "support/CallLog.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingUserDefaults.h"

namespace vantrel::test {

// The alarm, the alerts and the haptics wired to fakes that all write to one call log, on a
// manual clock.
struct TimerHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    CallLog log;
    RecordingHapticPerformer performer{&clock, &log};
    RecordingSoundPlayer sounds{&log};
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    VantrelHaptics haptics{preferences, performer, scheduler};

    TimerHarness() {
        QObject::connect(&alerts, &NotificationSignalStore::pendingEventsChanged, [this] {
            if (!alerts.pendingEvents().empty()) log.add("alert " + alerts.pendingEvents().back().title);
        });
    }
    TimerAlarm timerAlarm() { return TimerAlarm(alarm, alerts, preferences); }
    // Records a published flag on the call log as "<name> true" or "<name> false".
    template <typename Object, typename Signal>
    void watch(Object* object, Signal signal, const QString& name) {
        QObject::connect(object, signal, [this, name](bool v) { log.add(name + (v ? " true" : " false")); });
    }
};

} // namespace vantrel::test
