#include "platform/ThreadWorkQueue.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QThread>
#include <atomic>
#include <mutex>
#include <vector>

namespace vantrel {

namespace {

std::atomic<int> abandoned{0};

// Threads left running are kept reachable here, never destroyed: a QThread object must outlive
// its thread.
void keepForever(QThread* thread) {
    static std::mutex mutex;
    static auto* kept = new std::vector<QThread*>;
    const std::lock_guard lock(mutex);
    kept->push_back(thread);
}

} // namespace

ThreadWorkQueue::ThreadWorkQueue(const QString& label, std::optional<std::chrono::milliseconds> abandonAfter)
    : label_(label), abandonAfter_(abandonAfter) {}

ThreadWorkQueue::~ThreadWorkQueue() {
    if (!thread_) return;
    // Quitting leaves the events still queued for the worker undelivered; they are discarded
    // when the worker is deleted on the finished thread.
    thread_->quit();
    if (!abandonAfter_) {
        thread_->wait();
        return;
    }
    if (thread_->wait(QDeadlineTimer(*abandonAfter_))) return;
    ++abandoned;
    keepForever(thread_.release());
}

int ThreadWorkQueue::abandonedWorkers() {
    return abandoned.load();
}

void ThreadWorkQueue::async(std::function<void()> work) {
    if (!thread_) {
        thread_ = std::make_unique<QThread>();
        thread_->setObjectName(label_);
        worker_ = new QObject;
        worker_->moveToThread(thread_.get());
        QObject::connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
        thread_->start();
    }
    QMetaObject::invokeMethod(worker_, std::move(work), Qt::QueuedConnection);
}

void ThreadWorkQueue::sync(std::function<void()> work) {
    if (!thread_) {
        work();
        return;
    }
    QMetaObject::invokeMethod(worker_, std::move(work), Qt::BlockingQueuedConnection);
}

} // namespace vantrel
