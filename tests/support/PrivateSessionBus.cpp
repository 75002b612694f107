#include "support/PrivateSessionBus.h"

namespace vantrel::test {

PrivateSessionBus::PrivateSessionBus() {
    daemon_.setProcessChannelMode(QProcess::SeparateChannels);
    daemon_.setStandardErrorFile(QProcess::nullDevice());
    daemon_.start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    if (!daemon_.waitForStarted(5000)) return;
    // The daemon prints its address once it listens; reading blocks on the pipe, not on a clock.
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(5000)) return;
    }
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() == QProcess::NotRunning) return;
    daemon_.kill();
    daemon_.waitForFinished(5000);
}

} // namespace vantrel::test
