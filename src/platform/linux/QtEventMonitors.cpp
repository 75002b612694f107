#include "platform/linux/QtEventMonitors.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWheelEvent>
#include <vector>

namespace vantrel {

namespace {

// One wheel notch (120 eighths of a degree) scrolls one increment, ten points.
constexpr double kPointsPerNotch = 10;

} // namespace

QtEventMonitors::QtEventMonitors(QObject* parent) : QObject(parent) {}

QtEventMonitors::~QtEventMonitors() {
    if (filtering_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

EventMonitors::Token QtEventMonitors::addLocalMonitor(InputEventMask mask, Handler handler) {
    if (!QCoreApplication::instance()) return kRefused;
    if (!filtering_) {
        QCoreApplication::instance()->installEventFilter(this);
        filtering_ = true;
    }
    const Token token = next_++;
    monitors_.emplace(token, Monitor{mask, std::move(handler)});
    return token;
}

void QtEventMonitors::removeMonitor(Token token) {
    monitors_.erase(token);
    if (monitors_.empty() && filtering_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeEventFilter(this);
        filtering_ = false;
    }
}

std::optional<InputEvent> QtEventMonitors::translate(const QEvent& event) {
    switch (event.type()) {
    case QEvent::Wheel: {
        const auto& wheel = static_cast<const QWheelEvent&>(event);
        const QPointF delta = wheel.pixelDelta().isNull()
                                  ? QPointF(wheel.angleDelta()) / 120.0 * kPointsPerNotch
                                  : QPointF(wheel.pixelDelta());
        return InputEvent{InputEventType::scrollWheel, delta.x(), delta.y(), 0};
    }
    case QEvent::MouseButtonPress: {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        if (mouse.button() == Qt::LeftButton) return InputEvent{InputEventType::leftMouseDown};
        if (mouse.button() == Qt::RightButton) return InputEvent{InputEventType::rightMouseDown};
        return std::nullopt;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton)
            return InputEvent{InputEventType::leftMouseUp};
        return std::nullopt;
    case QEvent::NativeGesture:
        switch (static_cast<const QNativeGestureEvent&>(event).gestureType()) {
        case Qt::ZoomNativeGesture:
            return InputEvent{InputEventType::magnify};
        case Qt::SwipeNativeGesture:
            return InputEvent{InputEventType::swipe};
        default:
            return std::nullopt;
        }
    default:
        return std::nullopt;
    }
}

bool QtEventMonitors::eventFilter(QObject* watched, QEvent* event) {
    // Input reaches a window first and then travels to its widgets and their parents: taking it
    // at the window sees each event once.
    if (!watched->isWindowType()) return false;
    const std::optional<InputEvent> translated = translate(*event);
    if (!translated) return false;
    std::vector<Handler> handlers;
    for (const auto& [token, monitor] : monitors_)
        if (monitor.mask & maskOf(translated->type)) handlers.push_back(monitor.handler);
    for (const Handler& handler : handlers) handler(*translated);
    return false;
}

} // namespace vantrel
