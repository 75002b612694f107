#pragma once

#include "platform/WorkQueue.h"

#include <QCoreApplication>
#include <deque>

namespace vantrel::test {

// A serial queue that runs its work only when the test drains it, on the test's thread.
class ManualWorkQueue final : public WorkQueue {
public:
    void async(std::function<void()> work) override { pending_.push_back(std::move(work)); }
    // As a serial queue does: the earlier items first, then `work`, all before returning. What
    // they post back to the main thread stays queued there.
    void sync(std::function<void()> work) override {
        while (!pending_.empty()) {
            auto earlier = std::move(pending_.front());
            pending_.pop_front();
            earlier();
        }
        ++syncCount_;
        work();
    }
    std::size_t syncCount() const { return syncCount_; }

    std::size_t pendingCount() const { return pending_.size(); }
    // Runs the oldest item only, then delivers what it posted back.
    void runNext() {
        if (pending_.empty()) return;
        auto work = std::move(pending_.front());
        pending_.pop_front();
        work();
        QCoreApplication::processEvents();
    }
    // Runs every queued item and delivers the answers they post back to the main thread, until
    // neither side has anything left (an answer may queue more work).
    void drain() {
        while (!pending_.empty()) runNext();
    }

private:
    std::deque<std::function<void()>> pending_;
    std::size_t syncCount_ = 0;
};

} // namespace vantrel::test
