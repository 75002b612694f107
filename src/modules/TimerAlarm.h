#pragma once

#include <QtGlobal>

namespace vantrel {

class AlarmController;
class NotificationSignalStore;
class VantrelPreferences;

// What a timer does when it ends, and what silences it again: shared by the focus timer and the
// countdown so both ring the same way.
class TimerAlarm {
public:
    // Longest run a timer accepts, one year. Longer values can only come from damaged settings or
    // callers' mistakes, and would overflow the time arithmetic.
    static constexpr qint64 kLongestMinutes = 365 * 24 * 60;

    TimerAlarm(AlarmController& alarm, NotificationSignalStore& alerts, const VantrelPreferences& preferences)
        : alarm_(alarm), alerts_(alerts), preferences_(preferences) {}

    // The timer has already stopped and marked itself finished: sound the alarm as the settings
    // say, then raise the "Timer finished" alert.
    void ring() const;
    void silence() const;

private:
    AlarmController& alarm_;
    NotificationSignalStore& alerts_;
    const VantrelPreferences& preferences_;
};

} // namespace vantrel
