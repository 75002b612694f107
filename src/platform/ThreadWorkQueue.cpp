#include "platform/ThreadWorkQueue.h"

#include <QObject>
#include <QThread>

namespace vantrel {

ThreadWorkQueue::ThreadWorkQueue(const QString& label) : thread_(std::make_unique<QThread>()) {
    thread_->setObjectName(label);
    worker_ = new QObject;
    worker_->moveToThread(thread_.get());
    QObject::connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
    thread_->start();
}

ThreadWorkQueue::~ThreadWorkQueue() {
    // Quitting leaves the events still queued for the worker undelivered; they are discarded
    // when the worker is deleted on the finished thread.
    thread_->quit();
    thread_->wait();
}

void ThreadWorkQueue::async(std::function<void()> work) {
    QMetaObject::invokeMethod(worker_, std::move(work), Qt::QueuedConnection);
}

} // namespace vantrel
