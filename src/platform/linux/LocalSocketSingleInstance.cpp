#include "platform/linux/LocalSocketSingleInstance.h"

#include "platform/Environment.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <unistd.h>

namespace vantrel {

namespace {
const QByteArray kReopenRequest = QByteArrayLiteral("reopen\n");
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 3000;
} // namespace

LocalSocketSingleInstance::LocalSocketSingleInstance(QString socketPath)
    : socketPath_(std::move(socketPath)) {}

LocalSocketSingleInstance::~LocalSocketSingleInstance() {
    if (server_) server_->close();
}

QString LocalSocketSingleInstance::defaultSocketPath(const Environment& environment) {
    const auto runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (runtime && !runtime->isEmpty() && QDir::isAbsolutePath(*runtime))
        return QDir::cleanPath(*runtime) + QStringLiteral("/vantrel.instance");
    return QDir::tempPath() + QStringLiteral("/vantrel-%1.instance").arg(::getuid());
}

bool LocalSocketSingleInstance::claim() {
    if (server_ && server_->isListening()) return true;
    {
        QLocalSocket probe;
        probe.connectToServer(socketPath_);
        if (probe.waitForConnected(kConnectTimeoutMs)) {
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answers: a socket left behind by an instance that died is in the way.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(socketPath_)) {
        connect(server_, &QLocalServer::newConnection, this, [this] { acceptConnections(); });
    }
    // When the socket cannot be made the application still runs, only without the hand-over.
    return true;
}

void LocalSocketSingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<LocalSocketSingleInstance> self(this);
        const auto readRequests = [self, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine(64);
                if (line == kReopenRequest && self && self->handler_) self->handler_();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequests);
        readRequests();
    }
}

bool LocalSocketSingleInstance::requestReopen() {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
    socket.write(kReopenRequest);
    const bool written = socket.waitForBytesWritten(kWriteTimeoutMs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kWriteTimeoutMs);
    return written;
}

} // namespace vantrel
