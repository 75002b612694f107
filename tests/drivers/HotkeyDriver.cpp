// The hot-key manager on the X11 hot-key service over Qt's own xcb connection, for a test that
// presses keys on the display of DISPLAY. It registers the default binding (Control-Space) and
// says "ready ok", or "ready <lastError>" when the registration was refused, then "name <the
// layout's names of the A and Q positions>". Each press of the hot key says "pressed <action>
// main" when the action runs on the main thread ("other" elsewhere); each key press the X server
// delivers, repeats included, says "raw press <count so far>". Commands on standard input:
// "count" (answered by "count <presses so far>"), "unregister" (answered by "unregistered") and
// "window" (answered by "window"): from then on each action also shows a window of the driver and
// gives it the keyboard, as the command palette does, which says "focused" once it has it.

#include "platform/InMemoryDefaults.h"
#include "platform/linux/X11HotKeyService.h"
#include "services/HotkeyManager.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QWindow>
#include <cstdio>
#include <unistd.h>
#include <xcb/xcb.h>

using namespace vantrel;

namespace {
void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// Counts every key press that reaches the program, before the hot-key service decides on it.
class PressCounter final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) == XCB_KEY_PRESS)
            say(QStringLiteral("raw press %1").arg(++count_));
        return false;
    }

private:
    int count_ = 0;
};
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    X11HotKeyService service;
    InMemoryDefaults defaults;
    HotkeyManager hotkeys(defaults, &service);
    int presses = 0;
    bool showWindow = false;
    QWindow window;
    window.resize(200, 100);
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, [&](QWindow* focused) {
        if (focused == &window) say(QStringLiteral("focused"));
    });
    hotkeys.registerAll([&](HotkeyAction action) {
        return [&, action] {
            ++presses;
            if (showWindow) {
                window.show();
                window.requestActivate();
            }
            const bool main = QThread::currentThread() == app.thread();
            say(QStringLiteral("pressed %1 %2").arg(rawValue(action), main ? u"main" : u"other"));
        };
    });
    // Installed after the service's filter, so it sees the events first.
    PressCounter counter;
    app.installNativeEventFilter(&counter);
    say(QStringLiteral("ready ") + hotkeys.lastError().value_or(QStringLiteral("ok")));
    say(QStringLiteral("name %1 %2")
            .arg(VantrelHotkey::keyName(0, &service), VantrelHotkey::keyName(12, &service)));

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString command = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            if (command == u"count") say(QStringLiteral("count %1").arg(presses));
            if (command == u"window") {
                showWindow = true;
                say(QStringLiteral("window"));
            }
            if (command == u"unregister") {
                hotkeys.unregisterAll();
                say(QStringLiteral("unregistered"));
            }
        }
    });
    return app.exec();
}
