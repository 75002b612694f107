#include "platform/linux/QtScheduler.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {
int toMilliseconds(Seconds s) {
    const double ms = std::ceil(s.count() * 1000.0);
    if (!(ms > 0)) return 0;
    return static_cast<int>(std::min(ms, 2147483647.0));
}
} // namespace

QtScheduler::~QtScheduler() {
    for (auto& [id, timer] : timers_) delete timer;
}

Scheduler::TaskId QtScheduler::schedule(Seconds delay, std::function<void()> work) {
    return start(delay, Seconds(0), false, std::move(work));
}

Scheduler::TaskId QtScheduler::scheduleOnce(Seconds delay, Seconds tolerance, std::function<void()> work) {
    return start(delay, tolerance, false, std::move(work));
}

Scheduler::TaskId QtScheduler::scheduleRepeating(Seconds interval, Seconds tolerance,
                                                 std::function<void()> work) {
    return start(interval, tolerance, true, std::move(work));
}

Scheduler::TaskId QtScheduler::start(Seconds interval, Seconds tolerance, bool repeating,
                                     std::function<void()> work) {
    const TaskId id = nextId_++;
    auto* timer = new QTimer();
    timer->setSingleShot(!repeating);
    timer->setInterval(toMilliseconds(interval));
    // Work that may run late lets the event loop batch its wake-up with others; Qt's coarse
    // timers stay within 5% of the interval, inside every tolerance the system asks for.
    timer->setTimerType(tolerance.count() > 0 ? Qt::CoarseTimer : Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, repeating, work = std::move(work)]() {
        if (!repeating) {
            // Forget the task before running it, so the work may schedule or cancel freely.
            auto it = timers_.find(id);
            if (it != timers_.end()) {
                it->second->deleteLater();
                timers_.erase(it);
            }
        }
        work();
    });
    timers_.emplace(id, timer);
    timer->start();
    return id;
}

void QtScheduler::cancel(TaskId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

bool QtScheduler::isScheduled(TaskId id) const {
    return timers_.count(id) != 0;
}

std::optional<Qt::TimerType> QtScheduler::timerTypeOf(TaskId id) const {
    const auto it = timers_.find(id);
    if (it == timers_.end()) return std::nullopt;
    return it->second->timerType();
}

} // namespace vantrel
