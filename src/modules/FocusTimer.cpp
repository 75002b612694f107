#include "modules/FocusTimer.h"

#include "platform/SetIfChanged.h"
#include "platform/UserDefaults.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

FocusTimer::FocusTimer(UserDefaults& defaults, TimerAlarm alarm, const Clock& clock, Scheduler& scheduler,
                       QObject* parent)
    : QObject(parent), defaults_(defaults), alarm_(alarm), clock_(clock), scheduler_(scheduler) {
    const QString key = QString::fromLatin1(kDurationKey);
    const qint64 stored = defaults_.integer(key);
    const qint64 legacy = defaults_.integer(QString::fromLatin1(kLegacyDurationKey));
    const qint64 chosen = stored >= 1 ? stored : legacy >= 1 ? legacy : kDefaultMinutes;
    // Long durations are honoured, but not ones so long that the seconds would overflow.
    durationMinutes_ = std::min(chosen, TimerAlarm::kLongestMinutes);
    remainingSeconds_ = durationMinutes_ * 60;
    // Once written, the current key wins and the older one no longer matters.
    if (stored < 1) defaults_.setInteger(key, durationMinutes_);
}

void FocusTimer::start() {
    if (isRunning_ || remainingSeconds_ < 1) return;
    alarm_.silence();
    setHasFinished(false);
    setIsRunning(true);
    endsAt_ = addSeconds(clock_.now(), Seconds(double(remainingSeconds_)));
    timer_ =
        ScheduledTask(scheduler_, scheduler_.scheduleRepeating(Seconds(kTickInterval),
                                                               Seconds(kTickTolerance), [this] { tick(); }));
}

void FocusTimer::pause() {
    if (endsAt_) setRemainingSeconds(secondsUntilEnd());
    setIsRunning(false);
    endsAt_.reset();
    timer_.cancel();
    catchUp_.cancel();
}

void FocusTimer::toggle() {
    if (isRunning_)
        pause();
    else
        start();
}

void FocusTimer::reset() {
    alarm_.silence();
    pause();
    setHasFinished(false);
    setRemainingSeconds(durationMinutes_ * 60);
}

void FocusTimer::updateDuration(qint64 minutes) {
    const qint64 clamped = std::clamp<qint64>(minutes, 1, 120);
    if (clamped != durationMinutes_) {
        durationMinutes_ = clamped;
        Q_EMIT durationMinutesChanged(clamped);
    }
    defaults_.setInteger(QString::fromLatin1(kDurationKey), durationMinutes_);
    if (!isRunning_) {
        setRemainingSeconds(durationMinutes_ * 60);
        setHasFinished(false);
    }
}

QString FocusTimer::timeText() const {
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(remainingSeconds_ / 60),
                             static_cast<long long>(remainingSeconds_ % 60));
}

double FocusTimer::progress() const {
    const double total = double(std::max<qint64>(durationMinutes_ * 60, 1));
    // A shorter duration chosen during a run would otherwise give a negative fraction.
    return std::clamp(1.0 - double(remainingSeconds_) / total, 0.0, 1.0);
}

void FocusTimer::tick() {
    if (!endsAt_) return;
    setRemainingSeconds(secondsUntilEnd());
    if (remainingSeconds_ != 0) {
        catchUpWithEarlyTick();
        return;
    }
    pause();
    setHasFinished(true);
    alarm_.ring();
}

void FocusTimer::catchUpWithEarlyTick() {
    // Counted in the clock's own units, so the wake-up lands on the second and not a rounding
    // error before it.
    const WallTime secondRunsOut = *endsAt_ - std::chrono::duration_cast<WallTime::duration>(
                                                  std::chrono::seconds(remainingSeconds_ - 1));
    const Seconds untilThen = secondRunsOut - clock_.now();
    if (untilThen.count() <= 0 || untilThen.count() >= kTickTolerance || catchUp_.isActive()) return;
    catchUp_ = ScheduledTask(scheduler_, scheduler_.schedule(untilThen, [this] { tick(); }));
}

// Taken up to the next whole second, so the display shows 1 until the end is really reached.
qint64 FocusTimer::secondsUntilEnd() const {
    const double left = std::ceil(secondsBetween(clock_.now(), *endsAt_));
    return left > 0 ? static_cast<qint64>(left) : 0;
}

void FocusTimer::setRemainingSeconds(qint64 value) {
    setIfChanged(this, remainingSeconds_, value, &FocusTimer::remainingSecondsChanged);
}

void FocusTimer::setIsRunning(bool value) {
    setIfChanged(this, isRunning_, value, &FocusTimer::isRunningChanged);
}

void FocusTimer::setHasFinished(bool value) {
    setIfChanged(this, hasFinished_, value, &FocusTimer::hasFinishedChanged);
}

} // namespace vantrel
