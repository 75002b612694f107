#include "platform/linux/LocalSocketSingleInstance.h"

#include "platform/Environment.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vantrel {

namespace {

const QByteArray kReopenRequest = QByteArrayLiteral("reopen\n");
constexpr int kWriteTimeoutMs = 3000;

std::optional<sockaddr_un> addressOf(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || name.size() >= qsizetype(sizeof address.sun_path)) return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return address;
}

// A connected socket to `path`, or -1 when nobody listens there. A listener whose queue is full
// still counts as one.
int connectTo(const QString& path, bool* busy = nullptr) {
    const std::optional<sockaddr_un> address = addressOf(path);
    if (!address) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) return fd;
    if (busy) *busy = errno == EAGAIN;
    ::close(fd);
    return -1;
}

// Writes all of `bytes`, waiting for room at most `timeoutMs` at a time.
bool writeAll(int fd, const QByteArray& bytes, int timeoutMs) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + done, std::size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd waiting{fd, POLLOUT, 0};
            if (::poll(&waiting, 1, timeoutMs) > 0) continue;
        }
        return false;
    }
    return true;
}

} // namespace

LocalSocketSingleInstance::LocalSocketSingleInstance(QString socketPath)
    : socketPath_(std::move(socketPath)) {}

LocalSocketSingleInstance::~LocalSocketSingleInstance() {
    for (auto& [fd, connection] : connections_) {
        delete connection.notifier;
        ::close(fd);
    }
    if (listener_ >= 0) {
        delete listenerNotifier_;
        ::close(listener_);
        // The socket goes with the instance that made it, so the next launch finds nobody.
        ::unlink(QFile::encodeName(socketPath_).constData());
    }
}

QString LocalSocketSingleInstance::defaultSocketPath(const Environment& environment) {
    const auto runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (runtime && !runtime->isEmpty() && QDir::isAbsolutePath(*runtime))
        return QDir::cleanPath(*runtime) + QStringLiteral("/vantrel.instance");
    return QDir::tempPath() + QStringLiteral("/vantrel-%1.instance").arg(::getuid());
}

bool LocalSocketSingleInstance::claim() {
    if (listener_ >= 0) return true;
    bool busy = false;
    if (const int probe = connectTo(socketPath_, &busy); probe >= 0) {
        ::close(probe);
        return false;
    }
    if (busy) return false;
    // Nobody answers: a socket left behind by an instance that died is in the way. When the
    // socket cannot be made the application still runs, only without the hand-over.
    ::unlink(QFile::encodeName(socketPath_).constData());
    listen();
    return true;
}

bool LocalSocketSingleInstance::listen() {
    const std::optional<sockaddr_un> address = addressOf(socketPath_);
    if (!address) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    // Only this user may connect: the socket is made without access for others.
    const mode_t previous = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    ::umask(previous);
    if (!bound || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    listener_ = fd;
    listenerNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(listenerNotifier_, &QSocketNotifier::activated, this, [this] { acceptConnections(); });
    return true;
}

void LocalSocketSingleInstance::acceptConnections() {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;
        }
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connections_[fd] = Connection{notifier, {}};
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readFrom(fd); });
        readFrom(fd);
    }
}

void LocalSocketSingleInstance::readFrom(int fd) {
    const QPointer<LocalSocketSingleInstance> self(this);
    for (;;) {
        auto it = connections_.find(fd);
        if (it == connections_.end()) return;
        char buffer[256];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return;
        if (n <= 0) {
            drop(fd);
            return;
        }
        QByteArray& pending = it->second.pending;
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            // A line longer than any request is not one: the connection goes.
            if (end + 1 > kMaximumLine) {
                drop(fd);
                return;
            }
            const QByteArray line = pending.left(end + 1);
            pending.remove(0, end + 1);
            if (line == kReopenRequest && handler_) {
                handler_();
                // The handler may have ended this instance or this connection.
                if (!self || !connections_.contains(fd)) return;
            }
        }
        if (pending.size() > kMaximumLine) {
            drop(fd);
            return;
        }
    }
}

void LocalSocketSingleInstance::drop(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) return;
    it->second.notifier->setEnabled(false);
    it->second.notifier->deleteLater();
    connections_.erase(it);
    ::close(fd);
}

bool LocalSocketSingleInstance::requestReopen() {
    const int fd = connectTo(socketPath_);
    if (fd < 0) return false;
    const bool written = writeAll(fd, kReopenRequest, kWriteTimeoutMs);
    ::close(fd);
    return written;
}

} // namespace vantrel
