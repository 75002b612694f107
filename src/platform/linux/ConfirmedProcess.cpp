#include "platform/linux/ConfirmedProcess.h"

#include <QByteArray>
#include <QList>
#include <csignal>
#include <ctime>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vantrel {

namespace {

// When the process started, in clock ticks since boot; none when it cannot be read.
std::optional<quint64> startTicks(qint32 pid) {
    const QByteArray path = "/proc/" + QByteArray::number(pid) + "/stat";
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n <= 0) return std::nullopt;
    // The name in parentheses may hold anything, spaces and parentheses too: fields are counted
    // after the last closing one, from the state (field 3) on; the start time is field 22.
    const QByteArray stat(buffer, int(n));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return std::nullopt;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() <= 22 - 3) return std::nullopt;
    bool ok = false;
    const quint64 ticks = fields[22 - 3].toULongLong(&ok);
    return ok ? std::optional(ticks) : std::nullopt;
}

} // namespace

std::chrono::nanoseconds ConfirmedProcess::sinceBoot() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::shared_ptr<const ConfirmedProcess> ConfirmedProcess::confirm(qint32 pid,
                                                                  std::chrono::nanoseconds firstSeen) {
    if (pid <= 0) return nullptr;
    const int descriptor = int(::syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0) return nullptr;
    std::shared_ptr<const ConfirmedProcess> process(new ConfirmedProcess(pid, descriptor));
    // Read after the descriptor is held and judged while it still runs: the start time is then
    // the held process's own.
    const std::optional<quint64> started = startTicks(pid);
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!started || ticksPerSecond <= 0 || !process->isRunning()) return nullptr;
    const auto seenTicks = quint64(firstSeen.count() / (1'000'000'000 / ticksPerSecond));
    return *started <= seenTicks ? process : nullptr;
}

ConfirmedProcess::~ConfirmedProcess() {
    ::close(descriptor_);
}

bool ConfirmedProcess::isRunning() const {
    // The descriptor turns readable once the process has ended.
    pollfd watched{descriptor_, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 0;
}

bool ConfirmedProcess::kill() const {
    return ::syscall(SYS_pidfd_send_signal, descriptor_, SIGKILL, nullptr, 0) == 0;
}

} // namespace vantrel
