#pragma once

#include "platform/Scheduler.h"

#include <QObject>
#include <optional>
#include <unordered_map>

class QTimer;

namespace vantrel {

// Production scheduler on QTimer. Lives on the main thread with everything it runs.
class QtScheduler final : public Scheduler {
public:
    QtScheduler() = default;
    ~QtScheduler() override;
    QtScheduler(const QtScheduler&) = delete;
    QtScheduler& operator=(const QtScheduler&) = delete;

    TaskId schedule(Seconds delay, std::function<void()> work) override;
    TaskId scheduleOnce(Seconds delay, Seconds tolerance, std::function<void()> work) override;
    TaskId scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> work) override;
    void cancel(TaskId id) override;
    bool isScheduled(TaskId id) const override;
    // How precisely a pending task's timer fires: coarse wherever the task allows a tolerance.
    std::optional<Qt::TimerType> timerTypeOf(TaskId id) const;

private:
    TaskId start(Seconds interval, Seconds tolerance, bool repeating, std::function<void()> work);

    std::unordered_map<TaskId, QTimer*> timers_;
    TaskId nextId_ = 1;
};

} // namespace vantrel
