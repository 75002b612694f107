#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <xcb/xcb.h>

namespace vantrel::test {

// A private X server (Xvfb) of the given size on a display number nobody uses, for tests of the
// X11 backends. `isRunning()` is false when Xvfb is not installed or would not start; such tests
// skip. The server stops with the object.
class XvfbServer {
public:
    explicit XvfbServer(int width = 1512, int height = 982) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty()) return;
        for (int number = 140 + static_cast<int>(QCoreApplication::applicationPid() % 40); number < 400;
             number += 7) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
                QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            display_ = QStringLiteral(":%1").arg(number);
            process_.start(program, {display_, QStringLiteral("-screen"), QStringLiteral("0"),
                                     QStringLiteral("%1x%2x24").arg(width).arg(height),
                                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (waitUntilAccepting()) return;
            stop();
        }
        display_.clear();
    }
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool isRunning() const { return !display_.isEmpty() && process_.state() == QProcess::Running; }
    const QString& display() const { return display_; }

private:
    // The server takes a moment to open its socket: this waits for an external program to come
    // up, up to 20 seconds, and checks nothing about time.
    bool waitUntilAccepting() {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20'000 && process_.state() != QProcess::NotRunning) {
            xcb_connection_t* connection = xcb_connect(display_.toLatin1().constData(), nullptr);
            const bool ok = !xcb_connection_has_error(connection);
            xcb_disconnect(connection);
            if (ok) return true;
            process_.waitForFinished(50);
        }
        return false;
    }
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
