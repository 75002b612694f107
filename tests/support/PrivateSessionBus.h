#pragma once

#include <QProcess>
#include <QString>

namespace vantrel::test {

// A session bus of the test's own: a dbus-daemon child process, stopped with the object.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon could not be started (not installed, not permitted).
    const QString& address() const { return address_; }
    bool isRunning() const { return !address_.isEmpty(); }

private:
    QProcess daemon_;
    QString address_;
};

} // namespace vantrel::test
