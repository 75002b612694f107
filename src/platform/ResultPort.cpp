#include "platform/ResultPort.h"

#include <QThread>

namespace vantrel {

ResultPort::ResultPort() {
    // The context dies where it lives: deleted at once there, or later from the worker that held
    // the last copy.
    handle_.context_ = std::shared_ptr<QObject>(new QObject, [](QObject* context) {
        if (context->thread() == QThread::currentThread())
            delete context;
        else
            context->deleteLater();
    });
    handle_.open_ = std::make_shared<bool>(true);
}

ResultPort::~ResultPort() {
    *handle_.open_ = false;
}

void ResultPort::Handle::post(std::function<void()> result) const {
    QMetaObject::invokeMethod(
        context_.get(),
        [open = open_, result = std::move(result)] {
            if (*open) result();
        },
        Qt::QueuedConnection);
}

} // namespace vantrel
