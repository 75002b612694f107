#include "modules/StopwatchStore.h"

#include "core/VantrelHaptics.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

StopwatchStore::StopwatchStore(TimerAlarm alarm, VantrelHaptics& haptics, const Clock& clock,
                               Scheduler& scheduler, QObject* parent)
    : QObject(parent), alarm_(alarm), haptics_(haptics), clock_(clock), scheduler_(scheduler) {}

double StopwatchStore::currentStopwatchElapsed() const {
    if (!stopwatchStartedAt_) return stopwatchElapsed_;
    return stopwatchBaseline_ + secondsBetween(*stopwatchStartedAt_, clock_.now());
}

double StopwatchStore::currentCountdownRemaining() const {
    if (!countdownEndsAt_) return countdownRemaining_;
    return std::max(secondsBetween(clock_.now(), *countdownEndsAt_), 0.0);
}

void StopwatchStore::startStopwatch() {
    if (isStopwatchRunning_) return;
    stopwatchBaseline_ = stopwatchElapsed_;
    stopwatchStartedAt_ = clock_.now();
    publish(isStopwatchRunning_, true, &StopwatchStore::isStopwatchRunningChanged);
    controlsHaptic();
    startTickingIfNeeded();
}

void StopwatchStore::pauseStopwatch() {
    if (!isStopwatchRunning_) return;
    publish(stopwatchElapsed_, currentStopwatchElapsed(), &StopwatchStore::stopwatchElapsedChanged);
    publish(isStopwatchRunning_, false, &StopwatchStore::isStopwatchRunningChanged);
    stopwatchStartedAt_.reset();
    controlsHaptic();
    stopTickingIfIdle();
}

void StopwatchStore::resetStopwatch() {
    publish(isStopwatchRunning_, false, &StopwatchStore::isStopwatchRunningChanged);
    stopwatchStartedAt_.reset();
    stopwatchBaseline_ = 0;
    publish(stopwatchElapsed_, 0.0, &StopwatchStore::stopwatchElapsedChanged);
    lapsRecorded_ = 0;
    lapNumbers_.clear();
    publish(laps_, QList<double>(), &StopwatchStore::lapsChanged);
    controlsHaptic();
    stopTickingIfIdle();
}

void StopwatchStore::recordLap() {
    if (!isStopwatchRunning_) return;
    QList<double> laps = laps_;
    laps.prepend(currentStopwatchElapsed());
    // Numbered as it is recorded, so dropping the oldest lap renumbers none of the others.
    lapNumbers_.prepend(++lapsRecorded_);
    if (laps.size() > kMaximumLaps) laps.resize(kMaximumLaps);
    if (lapNumbers_.size() > kMaximumLaps) lapNumbers_.resize(kMaximumLaps);
    laps_ = laps;
    Q_EMIT lapsChanged(laps_);
    controlsHaptic();
}

void StopwatchStore::setCountdown(qint64 minutes) {
    publish(countdownMinutes_, minutes, &StopwatchStore::countdownMinutesChanged);
    publish(countdownRemaining_, 0.0, &StopwatchStore::countdownRemainingChanged);
    publish(countdownDidFinish_, false, &StopwatchStore::countdownDidFinishChanged);
    if (isCountdownRunning_) {
        publish(isCountdownRunning_, false, &StopwatchStore::isCountdownRunningChanged);
        countdownEndsAt_.reset();
        stopTickingIfIdle();
    }
    controlsHaptic();
}

void StopwatchStore::startCountdown() {
    if (isCountdownRunning_) return;
    alarm_.silence();
    publish(countdownDidFinish_, false, &StopwatchStore::countdownDidFinishChanged);
    // Minutes beyond any sensible countdown would overflow the end time.
    const double seconds = countdownRemaining_ > 0
                               ? countdownRemaining_
                               : double(std::min(countdownMinutes_, TimerAlarm::kLongestMinutes)) * 60;
    if (!(seconds > 0)) return;
    publish(countdownRemaining_, seconds, &StopwatchStore::countdownRemainingChanged);
    countdownEndsAt_ = addSeconds(clock_.now(), Seconds(seconds));
    publish(isCountdownRunning_, true, &StopwatchStore::isCountdownRunningChanged);
    controlsHaptic();
    startTickingIfNeeded();
}

void StopwatchStore::pauseCountdown() {
    if (!isCountdownRunning_) return;
    publish(countdownRemaining_, currentCountdownRemaining(), &StopwatchStore::countdownRemainingChanged);
    publish(isCountdownRunning_, false, &StopwatchStore::isCountdownRunningChanged);
    countdownEndsAt_.reset();
    controlsHaptic();
    stopTickingIfIdle();
}

void StopwatchStore::resetCountdown() {
    alarm_.silence();
    publish(isCountdownRunning_, false, &StopwatchStore::isCountdownRunningChanged);
    countdownEndsAt_.reset();
    publish(countdownRemaining_, 0.0, &StopwatchStore::countdownRemainingChanged);
    publish(countdownDidFinish_, false, &StopwatchStore::countdownDidFinishChanged);
    controlsHaptic();
    stopTickingIfIdle();
}

double StopwatchStore::countdownProgress() const {
    const double total = double(countdownMinutes_) * 60;
    if (total < 1) return 0;
    if (!isCountdownRunning_ && !(countdownRemaining_ > 0)) return 0;
    return std::clamp(1.0 - countdownRemaining_ / total, 0.0, 1.0);
}

void StopwatchStore::stopTicking() {
    ticker_.cancel();
}

void StopwatchStore::startTickingIfNeeded() {
    if (ticker_.isActive()) return;
    // The task dies with the store, so a firing never reaches a store that is gone.
    ticker_ =
        ScheduledTask(scheduler_, scheduler_.scheduleRepeating(Seconds(kTickInterval),
                                                               Seconds(kTickTolerance), [this] { tick(); }));
}

void StopwatchStore::stopTickingIfIdle() {
    if (!isStopwatchRunning_ && !isCountdownRunning_) ticker_.cancel();
}

void StopwatchStore::tick() {
    if (isStopwatchRunning_)
        publish(stopwatchElapsed_, currentStopwatchElapsed(), &StopwatchStore::stopwatchElapsedChanged);
    if (!isCountdownRunning_) return;
    publish(countdownRemaining_, currentCountdownRemaining(), &StopwatchStore::countdownRemainingChanged);
    if (countdownRemaining_ > 0) return;
    publish(isCountdownRunning_, false, &StopwatchStore::isCountdownRunningChanged);
    countdownEndsAt_.reset();
    publish(countdownDidFinish_, true, &StopwatchStore::countdownDidFinishChanged);
    alarm_.ring();
    stopTickingIfIdle();
}

void StopwatchStore::controlsHaptic() {
    haptics_.play(HapticSurface::controls);
}

QString StopwatchStore::format(double seconds, bool showsHundredths) {
    // Beyond this the whole seconds would not fit an integer; no clock of ours gets near it.
    constexpr double kLongest = 1e15;
    const double s = std::isfinite(seconds) ? std::clamp(seconds, 0.0, kLongest) : 0.0;
    const auto whole = static_cast<long long>(s);
    const long long minutes = (whole % 3600) / 60;
    const long long secs = whole % 60;
    if (whole >= 3600) return QString::asprintf("%lld:%02lld:%02lld", whole / 3600, minutes, secs);
    if (showsHundredths) {
        const long long hundredths = std::min(std::llround((s - double(whole)) * 100), 99LL);
        return QString::asprintf("%lld:%02lld.%02lld", minutes, secs, hundredths);
    }
    return QString::asprintf("%lld:%02lld", minutes, secs);
}

} // namespace vantrel
