#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace vantrel {

class Scheduler;

// An invisible child that finds the top-level window it lives in and reports it, one turn of
// the event loop after it was found there, once per distinct window: again only when the
// content moves into another window. It keeps the last window weakly, so a closed window is
// never kept alive.
class WindowReader final : public QWidget {
    Q_OBJECT
public:
    using Callback = std::function<void(QWidget& window)>;

    WindowReader(Scheduler& scheduler, Callback onWindow, QWidget* parent = nullptr);

    // Compares the window the reader is in now with the last one reported and, when they
    // differ, looks again on the next turn. Runs on every show and reparenting of the reader.
    void updateWindow();

    QWidget* configuredWindow() const { return configuredWindow_; }

protected:
    bool event(QEvent* event) override;

private:
    // The top-level window holding the reader; none while the reader stands alone.
    QWidget* hostWindow() const;
    void configureWhenAttached();

    Scheduler& scheduler_;
    Callback onWindow_;
    QPointer<QWidget> configuredWindow_;
};

} // namespace vantrel
