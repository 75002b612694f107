#include "control-center/WindowReader.h"

#include "platform/Scheduler.h"

#include <QEvent>

namespace vantrel {

WindowReader::WindowReader(Scheduler& scheduler, Callback onWindow, QWidget* parent)
    : QWidget(parent), scheduler_(scheduler), onWindow_(std::move(onWindow)) {
    // Takes no room and never stands in the way of a click.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(0, 0);
    configureWhenAttached();
}

QWidget* WindowReader::hostWindow() const {
    QWidget* top = window();
    return top == this ? nullptr : top;
}

bool WindowReader::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange) updateWindow();
    return handled;
}

void WindowReader::updateWindow() {
    QWidget* current = hostWindow();
    QWidget* known = configuredWindow_;
    if (!current && !known) return;
    if (current && current == known) return;
    configureWhenAttached();
}

void WindowReader::configureWhenAttached() {
    const QPointer<WindowReader> self(this);
    scheduler_.schedule(Seconds(0), [self] {
        if (!self) return;
        QWidget* window = self->hostWindow();
        // Several looks in one turn: only the first finds a new window.
        if (!window || window == self->configuredWindow_) return;
        self->configuredWindow_ = window;
        if (self->onWindow_) self->onWindow_(*window);
    });
}

} // namespace vantrel
