#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace vantrel {

// Where work on another thread hands its results to an owner on the main thread, safely even
// when the owner is gone by then (work left running by a queue that gave up waiting for it).
// The owner holds the port and the work a copy; a result arriving after the owner's port was
// destroyed is dropped unrun, so a result may capture the owner's `this`.
class ResultPort {
public:
    // Made and destroyed on the thread of the results (the main thread).
    ResultPort();
    ~ResultPort();
    ResultPort(const ResultPort&) = delete;
    ResultPort& operator=(const ResultPort&) = delete;

    // What the work keeps: can be copied to any thread and posted from it.
    class Handle {
    public:
        // Runs `result` on the port's thread, on a later turn of its event loop, unless the
        // port's owner is gone by then.
        void post(std::function<void()> result) const;

    private:
        friend class ResultPort;
        std::shared_ptr<QObject> context_;
        std::shared_ptr<bool> open_; // read and written on the port's thread only
    };

    Handle handle() const { return handle_; }

private:
    Handle handle_;
};

} // namespace vantrel
