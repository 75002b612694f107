#pragma once

#include "core/SharedInstance.h"
#include "platform/WorkQueue.h"

#include <QObject>
#include <deque>

namespace vantrel {

// The one queue of every command on the system Dock's settings: suppression, restore and the
// native settings editor, one at a time in the order given, so no two ever overlap. Those
// settings are defaults domains that belong to the main thread here, so the queue runs each job
// on a later turn of the main loop (one job per turn) rather than on a thread of its own.
class SystemDockQueue final : public QObject, public WorkQueue, public SharedInstance<SystemDockQueue> {
    Q_OBJECT
public:
    using QObject::QObject;

    void async(std::function<void()> work) override;
    // Runs every job still waiting, in order, then `work`, before returning.
    void sync(std::function<void()> work) override;

    std::size_t pendingCount() const { return pending_.size(); }

private:
    void scheduleNext();
    void runOne();

    std::deque<std::function<void()>> pending_;
    bool turnScheduled_ = false;
};

} // namespace vantrel
