// The application's status item on the tray bar, on the session bus of DBUS_SESSION_BUS_ADDRESS
// and the display of DISPLAY, for a test that plays the desktop's tray on that bus. It makes the
// item "VantrelPrimary" with the sparkles and says "ready"; each line the bar logs is said as
// "log <message>". Commands on standard input: "state", answered by "state <the bar's state>
// <icon|none>" (whether Qt has been handed the item), and "hide" / "show", answered by "hidden" /
// "shown" once the item was told.

#include "platform/SystemLog.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/TrayStatusBar.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <cstdio>
#include <unistd.h>

using namespace vantrel;

namespace {
void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

class SayingLog final : public SystemLog {
public:
    void log(LogLevel, const QString&, const QString&, const QString& message) override {
        say(QStringLiteral("log ") + message);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtScheduler scheduler;
    SayingLog log;
    TrayStatusBar bar(QDBusConnection::sessionBus(), scheduler, log);
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelPrimary"));
    item->setImage(QStringLiteral("sparkles"), QStringLiteral("Open Vantrel"));
    item->setToolTip(QStringLiteral("Open Vantrel · right-click for menu"));
    say(QStringLiteral("ready"));

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
            const QByteArray command = pending.left(end);
            pending.remove(0, end + 1);
            if (command == "state") {
                static const char* const names[] = {"asking", "open", "silent", "absent"};
                const bool icon = dynamic_cast<QObject&>(*item).findChild<QSystemTrayIcon*>() != nullptr;
                say(QStringLiteral("state %1 %2")
                        .arg(QLatin1String(names[static_cast<int>(bar.tray())]), icon ? u"icon" : u"none"));
            } else if (command == "hide" || command == "show") {
                item->setVisible(command == "show");
                say(command == "show" ? QStringLiteral("shown") : QStringLiteral("hidden"));
            }
        }
    });
    return app.exec();
}
