#pragma once

#include "modules/TimerAlarm.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"

#include <QList>
#include <QObject>
#include <array>
#include <optional>

namespace vantrel {

class VantrelHaptics;

// A stopwatch with laps and a minute countdown, both driven by one 0.1-second ticker that exists
// only while one of them runs. Both count against wall-clock instants, so late or coalesced ticks
// never drift them. Nothing is kept across launches.
class StopwatchStore final : public QObject {
    Q_OBJECT
    Q_PROPERTY(double stopwatchElapsed READ stopwatchElapsed NOTIFY stopwatchElapsedChanged)
    Q_PROPERTY(bool isStopwatchRunning READ isStopwatchRunning NOTIFY isStopwatchRunningChanged)
    Q_PROPERTY(QList<double> laps READ laps NOTIFY lapsChanged)
    Q_PROPERTY(double countdownRemaining READ countdownRemaining NOTIFY countdownRemainingChanged)
    Q_PROPERTY(bool isCountdownRunning READ isCountdownRunning NOTIFY isCountdownRunningChanged)
    Q_PROPERTY(bool countdownDidFinish READ countdownDidFinish NOTIFY countdownDidFinishChanged)
    Q_PROPERTY(qint64 countdownMinutes READ countdownMinutes NOTIFY countdownMinutesChanged)
public:
    static constexpr int kMaximumLaps = 20;
    static constexpr double kTickInterval = 0.1;
    static constexpr double kTickTolerance = 0.02;
    // The countdown lengths offered, in minutes.
    static constexpr std::array<qint64, 5> presetMinutes{1, 3, 5, 10, 25};

    StopwatchStore(TimerAlarm alarm, VantrelHaptics& haptics, const Clock& clock, Scheduler& scheduler,
                   QObject* parent = nullptr);

    double stopwatchElapsed() const { return stopwatchElapsed_; }
    bool isStopwatchRunning() const { return isStopwatchRunning_; }
    // Total elapsed time at each lap, newest first.
    const QList<double>& laps() const { return laps_; }
    // The number of each lap in laps(), in the same order: laps count from 1 since the last
    // reset and keep their number when older ones are dropped.
    const QList<qint64>& lapNumbers() const { return lapNumbers_; }
    // Zero means no countdown is under way: the next start runs the full minutes.
    double countdownRemaining() const { return countdownRemaining_; }
    bool isCountdownRunning() const { return isCountdownRunning_; }
    bool countdownDidFinish() const { return countdownDidFinish_; }
    qint64 countdownMinutes() const { return countdownMinutes_; }
    bool isTicking() const { return ticker_.isActive(); }

    void startStopwatch();
    void pauseStopwatch();
    void resetStopwatch();
    // Only while the stopwatch runs; the 21st lap drops the oldest.
    void recordLap();

    // Stops a running countdown and clears it; a sounding alarm keeps sounding.
    void setCountdown(qint64 minutes);
    // Resumes a paused countdown, or starts the full minutes; silences a sounding alarm.
    void startCountdown();
    void pauseCountdown();
    void resetCountdown();
    double countdownProgress() const;

    // Drops the ticker whatever runs; the values and running flags stay as they are.
    void stopTicking();

    // "1:05", "0:59.99", "1:02:05" (no hundredths with hours). Negative and non-finite times
    // format as zero.
    static QString format(double seconds, bool showsHundredths);

Q_SIGNALS:
    void stopwatchElapsedChanged(double stopwatchElapsed);
    void isStopwatchRunningChanged(bool isStopwatchRunning);
    void lapsChanged(const QList<double>& laps);
    void countdownRemainingChanged(double countdownRemaining);
    void isCountdownRunningChanged(bool isCountdownRunning);
    void countdownDidFinishChanged(bool countdownDidFinish);
    void countdownMinutesChanged(qint64 countdownMinutes);

private:
    double currentStopwatchElapsed() const;
    // Seconds to the countdown's end, never negative; the current value when no end is set.
    double currentCountdownRemaining() const;
    void startTickingIfNeeded();
    void stopTickingIfIdle();
    void tick();
    void controlsHaptic();

    template <typename T, typename Signal> void publish(T& field, const T& value, Signal signal) {
        if (field == value) return;
        field = value;
        Q_EMIT(this->*signal)(value);
    }

    TimerAlarm alarm_;
    VantrelHaptics& haptics_;
    const Clock& clock_;
    Scheduler& scheduler_;

    double stopwatchElapsed_ = 0;
    bool isStopwatchRunning_ = false;
    QList<double> laps_;
    QList<qint64> lapNumbers_;
    qint64 lapsRecorded_ = 0;
    double countdownRemaining_ = 0;
    bool isCountdownRunning_ = false;
    bool countdownDidFinish_ = false;
    qint64 countdownMinutes_ = 5;
    ScheduledTask ticker_;
    std::optional<WallTime> stopwatchStartedAt_;
    double stopwatchBaseline_ = 0;
    std::optional<WallTime> countdownEndsAt_;
};

} // namespace vantrel
