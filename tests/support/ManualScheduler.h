#pragma once

#include "platform/Scheduler.h"
#include "support/ManualClock.h"

#include <map>
#include <memory>
#include <vector>

namespace vantrel::test {

// Runs scheduled work only when the test advances time, in order of due time (ties in the order
// they were scheduled), moving the manual clock to each task's due time before running it.
class ManualScheduler final : public Scheduler {
public:
    explicit ManualScheduler(ManualClock& clock) : clock_(clock) {}

    TaskId schedule(Seconds delay, std::function<void()> work) override;
    TaskId scheduleOnce(Seconds delay, Seconds tolerance, std::function<void()> work) override;
    TaskId scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> work) override;
    void cancel(TaskId id) override { tasks_.erase(id); }
    bool isScheduled(TaskId id) const override { return tasks_.count(id) != 0; }

    // Advances the clock by `delta`, running everything that falls due on the way.
    void advance(Seconds delta);
    // Runs what is due now without moving the clock (work scheduled with no delay).
    void runDue() { advance(Seconds(0)); }

    std::size_t pendingCount() const { return tasks_.size(); }
    // Every pending task, in the order they were first scheduled.
    std::vector<TaskId> pendingTasks() const {
        std::vector<TaskId> ids;
        for (const auto& [id, task] : tasks_) ids.push_back(id);
        return ids;
    }
    // Interval of a repeating task and the tolerance of any task, for tests that check how a timer was set
    // up.
    std::optional<Seconds> intervalOf(TaskId id) const;
    std::optional<Seconds> toleranceOf(TaskId id) const;
    // Seconds until the task runs next.
    std::optional<double> delayOf(TaskId id) const;

private:
    struct Task {
        MonoTime due;
        std::uint64_t sequence;
        std::optional<Seconds> interval;
        Seconds tolerance{0};
        std::shared_ptr<std::function<void()>> work;
    };

    ManualClock& clock_;
    std::map<TaskId, Task> tasks_;
    TaskId nextId_ = 1;
    std::uint64_t nextSequence_ = 0;
};

} // namespace vantrel::test
