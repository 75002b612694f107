#include "control-center/EscapeKeyMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace vantrel {

EscapeKeyMonitor::EscapeKeyMonitor(std::function<void()> onEscape, QObject* parent)
    : QObject(parent), onEscape_(std::move(onEscape)) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        application_ = app;
    }
}

EscapeKeyMonitor::~EscapeKeyMonitor() {
    // The application may already be gone when the monitor outlives it.
    if (application_) application_->removeEventFilter(this);
}

bool EscapeKeyMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (!enabled_ || event->type() != QEvent::KeyPress ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
        return QObject::eventFilter(watched, event);
    // Taken by value: the action may close what owns this monitor.
    const std::function<void()> action = onEscape_;
    if (action) action();
    return true;
}

} // namespace vantrel
