#include "platform/linux/QtApplicationShell.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantrel {

namespace {
// The write end is used from the signal handler, where only async-signal-safe calls may run:
// the handler writes one byte and the event loop does the rest.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    const int saved = errno;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}
} // namespace

QtApplicationShell::QtApplicationShell(QApplication& application) : application_(application) {
    // The control center is one window among the status item and the panels: closing it must not
    // end the application.
    QApplication::setQuitOnLastWindowClosed(false);
    installSignalHandlers();
    connect(&application_, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && delegate_ && !terminated_)
                    delegate_->applicationDidBecomeActive();
            });
    connect(&application_, &QCoreApplication::aboutToQuit, this, [this] {
        if (delegate_ && !terminated_) {
            terminated_ = true;
            delegate_->applicationWillTerminate();
        }
    });
}

QtApplicationShell::~QtApplicationShell() {
    if (signalNotifier_) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
    }
}

void QtApplicationShell::installSignalHandlers() {
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    ::fcntl(signalPipe[1], F_SETFL, ::fcntl(signalPipe[1], F_GETFL) | O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    signalNotifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(signalNotifier_, &QSocketNotifier::activated, this, [this] { handleSignal(); });
}

void QtApplicationShell::handleSignal() {
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
    terminate();
}

int QtApplicationShell::run(ApplicationDelegate& delegate) {
    delegate_ = &delegate;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (delegate_ && !terminated_) delegate_->applicationDidFinishLaunching();
        },
        Qt::QueuedConnection);
    const int code = QApplication::exec();
    // aboutToQuit is not emitted when the loop never ran; the delegate still hears of the end.
    if (!terminated_) {
        terminated_ = true;
        delegate.applicationWillTerminate();
    }
    delegate_ = nullptr;
    return code;
}

void QtApplicationShell::reopen() {
    if (!delegate_ || terminated_) return;
    bool hasVisibleWindows = false;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->isWindow()) hasVisibleWindows = true;
    delegate_->applicationShouldHandleReopen(hasVisibleWindows);
}

void QtApplicationShell::activateIgnoringOtherApps() {
    // Linux desktops activate windows, not applications: the window brought forward by
    // makeKeyAndOrderFront() takes the focus. With no window there is nothing to activate.
}

void QtApplicationShell::makeKeyAndOrderFront(QWidget& window) {
    if (window.isMinimized()) window.showNormal();
    window.show();
    window.raise();
    window.activateWindow();
}

void QtApplicationShell::terminate() {
    // Queued, so that a request made before the loop runs, or from inside a nested loop such as
    // an open menu, still ends the main loop.
    QMetaObject::invokeMethod(&application_, &QCoreApplication::quit, Qt::QueuedConnection);
}

void QtApplicationShell::observeDeactivation(std::function<void()> observer) {
    // Inactive: no window of the application holds the focus any more.
    connect(&application_, &QGuiApplication::applicationStateChanged, this,
            [observer = std::move(observer)](Qt::ApplicationState state) {
                if (state == Qt::ApplicationInactive && observer) observer();
            });
}

} // namespace vantrel
