#include "modules/TimerAlarm.h"

#include "core/VantrelPreferences.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"

namespace vantrel {

void TimerAlarm::ring() const {
    alarm_.play(preferences_.alarmRepeats());
    alerts_.recordVantrelEvent(QStringLiteral("Timer finished"), true);
}

void TimerAlarm::silence() const {
    alarm_.dismiss();
}

} // namespace vantrel
