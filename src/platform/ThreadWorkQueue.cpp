#include "platform/ThreadWorkQueue.h"

#include <QObject>
#include <QThread>

namespace vantrel {

ThreadWorkQueue::ThreadWorkQueue(const QString& label) : label_(label) {}

ThreadWorkQueue::~ThreadWorkQueue() {
    if (!thread_) return;
    // Quitting leaves the events still queued for the worker undelivered; they are discarded
    // when the worker is deleted on the finished thread.
    thread_->quit();
    thread_->wait();
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
