#pragma once

#include "platform/WorkQueue.h"

#include <QCoreApplication>
#include <deque>

namespace vantrel::test {

// A serial queue that runs its work only when the test drains it, on the test's thread.
class ManualWorkQueue final : public WorkQueue {
public:
    void async(std::function<void()> work) override { pending_.push_back(std::move(work)); }

    std::size_t pendingCount() const { return pending_.size(); }
    // Runs every queued item (and what they queue), then delivers the answers they posted back
    // to the main thread.
    void drain() {
        while (!pending_.empty()) {
            auto work = std::move(pending_.front());
            pending_.pop_front();
            work();
        }
        QCoreApplication::processEvents();
    }

private:
    std::deque<std::function<void()>> pending_;
};

} // namespace vantrel::test
