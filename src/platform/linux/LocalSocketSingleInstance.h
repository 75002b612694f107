#pragma once

#include "platform/SingleInstance.h"

#include <QObject>
#include <QString>

class QLocalServer;

namespace vantrel {

class Environment;

// One instance per user through a local socket in the user's runtime folder: the running
// instance listens, a later launch connects and sends a reopen request.
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

private:
    void acceptConnections();

    QString socketPath_;
    QLocalServer* server_ = nullptr;
    std::function<void()> handler_;
};

} // namespace vantrel
