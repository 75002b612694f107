#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <functional>

namespace vantrel::test {

// Runs the event loop until `done`, for at most 20 s: an X server answers in its own time.
inline bool processEventsUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(20000);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents();
    return done();
}

// A private X server (Xvfb) of the given size, for tests of the X11 backends. The server picks a
// free display number itself and reports it once it accepts clients, so tests running side by side
// never race for one. `isRunning()` is false when Xvfb is not installed or would not start; such
// tests skip. The server stops with the object.
class XvfbServer {
public:
    explicit XvfbServer(int width = 1512, int height = 982) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty()) return;
        process_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                 QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height),
                                 QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        // Waits for an external program to come up, up to 20 seconds; checks nothing about time.
        if (!process_.waitForStarted(20'000)) return;
        while (!process_.canReadLine() && process_.waitForReadyRead(20'000)) {
        }
        const QByteArray number = process_.readLine().trimmed();
        if (number.isEmpty()) {
            stop();
            return;
        }
        display_ = QStringLiteral(":") + QString::fromLatin1(number);
    }
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool isRunning() const { return !display_.isEmpty() && process_.state() == QProcess::Running; }
    const QString& display() const { return display_; }

private:
    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5'000)) {
            process_.kill();
            process_.waitForFinished(5'000);
        }
    }

    QProcess process_;
    QString display_;
};

} // namespace vantrel::test
