#pragma once

#include <QProcess>
#include <QString>

namespace vantrel::test {

// A session bus of the test's own: a dbus-daemon child process, stopped with the object.
class PrivateSessionBus {
public:
    PrivateSessionBus() {
        daemon_.setStandardErrorFile(QProcess::nullDevice());
        daemon_.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        // The daemon prints its address once it listens; reading blocks on the pipe, not on a clock.
        while (daemon_.waitForStarted(5000) && !daemon_.canReadLine())
            if (!daemon_.waitForReadyRead(5000)) return;
        address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    }
    ~PrivateSessionBus() {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }

    // Empty when the daemon could not be started (not installed, not permitted).
    const QString& address() const { return address_; }
    bool isRunning() const { return !address_.isEmpty(); }

private:
    QProcess daemon_;
    QString address_;
};

} // namespace vantrel::test
