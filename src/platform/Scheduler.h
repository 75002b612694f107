#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <functional>

namespace vantrel {

// Runs work later on the main thread. Every delay and repetition of the system goes through
// here, so tests can drive time with a manual scheduler instead of waiting.
class Scheduler {
public:
    using TaskId = std::uint64_t;
    static constexpr TaskId kNoTask = 0;

    virtual ~Scheduler() = default;

    // Runs `work` once after `delay` (zero or negative: on the next turn of the event loop).
    virtual TaskId schedule(Seconds delay, std::function<void()> work) = 0;
    // Runs `work` once after `delay`, allowing it to run up to `tolerance` late so the backend can
    // coalesce wake-ups. Backends without coalescing run it as `schedule` would.
    virtual TaskId scheduleOnce(Seconds delay, Seconds tolerance, std::function<void()> work) {
        (void)tolerance;
        return schedule(delay, std::move(work));
    }
    // Runs `work` every `interval` until cancelled. `tolerance` lets the backend coalesce wake-ups.
    virtual TaskId scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> work) = 0;
    // Cancelling an unknown, finished or already cancelled task is harmless.
    virtual void cancel(TaskId id) = 0;
    virtual bool isScheduled(TaskId id) const = 0;
};

// Owns one scheduled task and cancels it when replaced or destroyed, so a component that dies
// never leaves work behind that would call into it.
class ScheduledTask {
public:
    ScheduledTask() = default;
    ScheduledTask(Scheduler& scheduler, Scheduler::TaskId id) : scheduler_(&scheduler), id_(id) {}
    ScheduledTask(const ScheduledTask&) = delete;
    ScheduledTask& operator=(const ScheduledTask&) = delete;
    ScheduledTask(ScheduledTask&& other) noexcept : scheduler_(other.scheduler_), id_(other.id_) {
        other.id_ = Scheduler::kNoTask;
    }
    ScheduledTask& operator=(ScheduledTask&& other) noexcept {
        if (this != &other) {
            cancel();
            scheduler_ = other.scheduler_;
            id_ = other.id_;
            other.id_ = Scheduler::kNoTask;
        }
        return *this;
    }
    ~ScheduledTask() { cancel(); }

    void cancel() {
        if (scheduler_ && id_ != Scheduler::kNoTask) scheduler_->cancel(id_);
        id_ = Scheduler::kNoTask;
    }
    bool isActive() const { return scheduler_ && id_ != Scheduler::kNoTask && scheduler_->isScheduled(id_); }
    Scheduler::TaskId id() const { return id_; }

private:
    Scheduler* scheduler_ = nullptr;
    Scheduler::TaskId id_ = Scheduler::kNoTask;
};

} // namespace vantrel
