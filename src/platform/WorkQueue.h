#pragma once

#include <functional>

namespace vantrel {

// A serial queue: work runs one item at a time, in the order submitted, off the main thread in
// production. Work must not touch main-thread state; it hands its results back with a queued
// call to an object on the main thread.
class WorkQueue {
public:
    virtual ~WorkQueue() = default;
    virtual void async(std::function<void()> work) = 0;
    // Runs `work` after everything submitted before it and returns when it has run. For the few
    // moments that must wait for the queue, such as quitting; never called from the queue's own
    // work.
    virtual void sync(std::function<void()> work) = 0;
};

} // namespace vantrel
