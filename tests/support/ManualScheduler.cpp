#include "support/ManualScheduler.h"

#include <algorithm>

namespace vantrel::test {

Scheduler::TaskId ManualScheduler::schedule(Seconds delay, std::function<void()> work) {
    const TaskId id = nextId_++;
    const Seconds clamped = std::max(delay, Seconds(0));
    tasks_.emplace(id, Task{addSeconds(clock_.monotonicNow(), clamped), nextSequence_++, std::nullopt,
                            Seconds(0), std::make_shared<std::function<void()>>(std::move(work))});
    return id;
}

Scheduler::TaskId ManualScheduler::scheduleOnce(Seconds delay, Seconds tolerance,
                                                std::function<void()> work) {
    const TaskId id = schedule(delay, std::move(work));
    tasks_.at(id).tolerance = tolerance;
    return id;
}

Scheduler::TaskId ManualScheduler::scheduleRepeating(Seconds interval, Seconds tolerance,
                                                     std::function<void()> work) {
    const TaskId id = nextId_++;
    // A zero interval would spin forever inside advance(); treat it as one millisecond.
    const Seconds step = std::max(interval, Seconds(0.001));
    tasks_.emplace(id, Task{addSeconds(clock_.monotonicNow(), step), nextSequence_++, step, tolerance,
                            std::make_shared<std::function<void()>>(std::move(work))});
    return id;
}

void ManualScheduler::advance(Seconds delta) {
    const MonoTime target = addSeconds(clock_.monotonicNow(), std::max(delta, Seconds(0)));
    for (;;) {
        auto next = tasks_.end();
        for (auto it = tasks_.begin(); it != tasks_.end(); ++it) {
            if (it->second.due > target) continue;
            if (next == tasks_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.sequence < next->second.sequence))
                next = it;
        }
        if (next == tasks_.end()) break;
        const MonoTime due = next->second.due;
        if (due > clock_.monotonicNow()) clock_.advance(due - clock_.monotonicNow());
        auto work = next->second.work; // keeps the closure alive if the task cancels itself
        if (next->second.interval) {
            next->second.due = addSeconds(due, *next->second.interval);
            next->second.sequence = nextSequence_++;
        } else {
            tasks_.erase(next);
        }
        (*work)();
    }
    if (target > clock_.monotonicNow()) clock_.advance(target - clock_.monotonicNow());
}

std::optional<Seconds> ManualScheduler::intervalOf(TaskId id) const {
    auto it = tasks_.find(id);
    if (it == tasks_.end()) return std::nullopt;
    return it->second.interval;
}

std::optional<Seconds> ManualScheduler::toleranceOf(TaskId id) const {
    auto it = tasks_.find(id);
    if (it == tasks_.end()) return std::nullopt;
    return it->second.tolerance;
}

std::optional<double> ManualScheduler::delayOf(TaskId id) const {
    auto it = tasks_.find(id);
    if (it == tasks_.end()) return std::nullopt;
    return secondsBetween(clock_.monotonicNow(), it->second.due);
}

} // namespace vantrel::test
