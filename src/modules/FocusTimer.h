#pragma once

#include "modules/TimerAlarm.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"

#include <QObject>
#include <optional>

namespace vantrel {

class UserDefaults;

// The focus countdown: a chosen number of minutes counted down to zero in whole seconds against
// a wall-clock end, so late or coalesced ticks never make it drift. Only the duration is kept
// across launches.
class FocusTimer final : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint64 remainingSeconds READ remainingSeconds NOTIFY remainingSecondsChanged)
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(bool hasFinished READ hasFinished NOTIFY hasFinishedChanged)
    Q_PROPERTY(qint64 durationMinutes READ durationMinutes NOTIFY durationMinutesChanged)
public:
    static constexpr const char* kDurationKey = "timer.durationMinutes";
    // Read while the current key holds no usable duration; never written or removed.
    static constexpr const char* kLegacyDurationKey = "focus.minutes";
    static constexpr qint64 kDefaultMinutes = 25;
    static constexpr double kTickInterval = 1.0;
    static constexpr double kTickTolerance = 0.1;

    FocusTimer(UserDefaults& defaults, TimerAlarm alarm, const Clock& clock, Scheduler& scheduler,
               QObject* parent = nullptr);

    qint64 remainingSeconds() const { return remainingSeconds_; }
    bool isRunning() const { return isRunning_; }
    bool hasFinished() const { return hasFinished_; }
    qint64 durationMinutes() const { return durationMinutes_; }

    // Begins or resumes the countdown and silences a sounding alarm. A finished countdown must be
    // reset or given a new duration first.
    void start();
    // Freezes the countdown at the whole seconds left. The alarm is left alone.
    void pause();
    // Pauses a running countdown, otherwise starts it: the one Start/Pause control.
    void toggle();
    // Stops, silences the alarm and refills the countdown to the full duration.
    void reset();
    // Sets and keeps a duration of 1 to 120 minutes; a run in progress keeps its old end.
    void updateDuration(qint64 minutes);

    // "25:00", "00:59", "120:00": minutes are never folded into hours.
    QString timeText() const;
    // The completed fraction of the duration, 0...1.
    double progress() const;

Q_SIGNALS:
    void remainingSecondsChanged(qint64 remainingSeconds);
    void isRunningChanged(bool isRunning);
    void hasFinishedChanged(bool hasFinished);
    void durationMinutesChanged(qint64 durationMinutes);

private:
    void tick();
    void catchUpWithEarlyTick();
    qint64 secondsUntilEnd() const;
    void setRemainingSeconds(qint64 value);
    void setIsRunning(bool value);
    void setHasFinished(bool value);

    UserDefaults& defaults_;
    TimerAlarm alarm_;
    const Clock& clock_;
    Scheduler& scheduler_;

    qint64 remainingSeconds_ = 0;
    bool isRunning_ = false;
    bool hasFinished_ = false;
    qint64 durationMinutes_ = kDefaultMinutes;
    // Set exactly while running, together with the end.
    ScheduledTask timer_;
    // A coarse tick may come up to its tolerance before the second it was meant for has passed;
    // this one lands exactly when the shown second runs out.
    ScheduledTask catchUp_;
    std::optional<WallTime> endsAt_;
};

} // namespace vantrel
