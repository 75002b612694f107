#pragma once

#include "platform/ApplicationShell.h"

#include <QObject>

class QApplication;
class QSocketNotifier;

namespace vantrel {

// The application on QApplication. Closing the last window does not quit; SIGTERM and SIGINT
// end the event loop like the "Quit" command does, so the delegate's termination work runs in
// full and the process can exit normally.
class QtApplicationShell final : public QObject, public ApplicationShell {
    Q_OBJECT
public:
    explicit QtApplicationShell(QApplication& application);
    ~QtApplicationShell() override;

    // Runs the event loop: the delegate hears that launching finished on the loop's first turn
    // and that the application terminates when the loop ends. Returns the loop's exit code.
    int run(ApplicationDelegate& delegate);
    // A reopen request (for example from a second launch).
    void reopen();

    void activateIgnoringOtherApps() override;
    void makeKeyAndOrderFront(QWidget& window) override;
    void terminate() override;
    void observeDeactivation(std::function<void()> observer) override;

private:
    void installSignalHandlers();
    void handleSignal();

    QApplication& application_;
    ApplicationDelegate* delegate_ = nullptr;
    QSocketNotifier* signalNotifier_ = nullptr;
    bool terminated_ = false;
};

} // namespace vantrel
