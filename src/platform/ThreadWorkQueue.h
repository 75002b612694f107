#pragma once

#include "platform/WorkQueue.h"

#include <QString>
#include <chrono>
#include <memory>
#include <optional>

class QThread;
class QObject;

namespace vantrel {

// The production serial queue: one worker thread owned by the queue, started with the first work
// handed to it, so a queue nobody uses costs no thread. Destroying the queue drops work that has
// not started and waits for the item that is running: for ever by default, or, for a queue built
// with a grace, at most that long. A worker still busy then is left to finish on its own (its
// work must hold nothing the queue's owner frees, see ResultPort), so quitting never hangs on a
// read or a call that does not return.
class ThreadWorkQueue final : public WorkQueue {
public:
    explicit ThreadWorkQueue(const QString& label,
                             std::optional<std::chrono::milliseconds> abandonAfter = std::nullopt);
    ~ThreadWorkQueue() override;
    ThreadWorkQueue(const ThreadWorkQueue&) = delete;
    ThreadWorkQueue& operator=(const ThreadWorkQueue&) = delete;

    void async(std::function<void()> work) override;
    // Runs on the worker after its earlier items; with no worker started yet there is nothing
    // earlier, and the work runs on the calling thread.
    void sync(std::function<void()> work) override;
    bool hasStarted() const { return thread_ != nullptr; }

    // How many workers were left running by queues destroyed during this process. While any is,
    // the process ends without running static destructors under it (see main).
    static int abandonedWorkers();

private:
    QString label_;
    std::optional<std::chrono::milliseconds> abandonAfter_;
    std::unique_ptr<QThread> thread_;
    QObject* worker_ = nullptr; // lives on thread_, deleted there
};

} // namespace vantrel
