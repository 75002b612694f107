#pragma once

#include "platform/WorkQueue.h"

#include <QString>
#include <memory>

class QThread;
class QObject;

namespace vantrel {

// The production serial queue: one worker thread owned by the queue, started with the first work
// handed to it, so a queue nobody uses costs no thread. Destroying the queue drops work that has
// not started and waits for the item that is running.
class ThreadWorkQueue final : public WorkQueue {
public:
    explicit ThreadWorkQueue(const QString& label);
    ~ThreadWorkQueue() override;
    ThreadWorkQueue(const ThreadWorkQueue&) = delete;
    ThreadWorkQueue& operator=(const ThreadWorkQueue&) = delete;

    void async(std::function<void()> work) override;
    // Runs on the worker after its earlier items; with no worker started yet there is nothing
    // earlier, and the work runs on the calling thread.
    void sync(std::function<void()> work) override;
    bool hasStarted() const { return thread_ != nullptr; }

private:
    QString label_;
    std::unique_ptr<QThread> thread_;
    QObject* worker_ = nullptr; // lives on thread_, deleted there
};

} // namespace vantrel
