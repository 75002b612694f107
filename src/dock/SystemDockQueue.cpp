#include "dock/SystemDockQueue.h"

namespace vantrel {

void SystemDockQueue::async(std::function<void()> work) {
    pending_.push_back(std::move(work));
    scheduleNext();
}

void SystemDockQueue::sync(std::function<void()> work) {
    while (!pending_.empty()) runOne();
    work();
}

void SystemDockQueue::scheduleNext() {
    if (turnScheduled_ || pending_.empty()) return;
    turnScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            turnScheduled_ = false;
            runOne();
            scheduleNext();
        },
        Qt::QueuedConnection);
}

void SystemDockQueue::runOne() {
    if (pending_.empty()) return;
    std::function<void()> work = std::move(pending_.front());
    pending_.pop_front();
    work();
}

} // namespace vantrel
