#pragma once

#include "platform/SingleInstance.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <map>

class QSocketNotifier;

namespace vantrel {

class Environment;

// One instance per user through a local socket in the user's runtime folder: the running
// instance listens, a later launch connects and sends a reopen request. Plain Unix-domain
// sockets watched by the event loop, so that the network library is not loaded at launch.
class LocalSocketSingleInstance final : public QObject, public SingleInstance {
    Q_OBJECT
public:
    explicit LocalSocketSingleInstance(QString socketPath);
    ~LocalSocketSingleInstance() override;

    // "$XDG_RUNTIME_DIR/vantrel.instance", or a per-user name in the temporary folder when the
    // runtime folder is not set.
    static QString defaultSocketPath(const Environment& environment);

    bool claim() override;
    bool requestReopen() override;
    void setReopenHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    const QString& socketPath() const { return socketPath_; }
    // Whether this instance listens on its socket.
    bool isListening() const { return listener_ >= 0; }

    // The longest line a connection may send before it is dropped.
    static constexpr int kMaximumLine = 64;

private:
    struct Connection {
        QSocketNotifier* notifier = nullptr;
        QByteArray pending;
    };

    bool listen();
    void acceptConnections();
    void readFrom(int descriptor);
    void drop(int descriptor);

    QString socketPath_;
    int listener_ = -1;
    QSocketNotifier* listenerNotifier_ = nullptr;
    std::map<int, Connection> connections_;
    std::function<void()> handler_;
};

} // namespace vantrel
