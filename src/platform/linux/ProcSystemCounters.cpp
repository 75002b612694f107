#include "platform/linux/ProcSystemCounters.h"

#include <QByteArray>
#include <QFile>
#include <array>
#include <charconv>

#include <fcntl.h>
#include <unistd.h>

namespace vantrel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits a line into its blank-separated words.
std::vector<QByteArrayView> words(QByteArrayView line) {
    std::vector<QByteArrayView> out;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        const qsizetype start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > start) out.push_back(line.sliced(start, i - start));
    }
    return out;
}

std::optional<std::uint64_t> toUnsigned(QByteArrayView word) {
    std::uint64_t value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

template <typename F> void forEachLine(QByteArrayView text, F&& f) {
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0) end = text.size();
        if (!f(text.sliced(start, end - start))) return;
        start = end + 1;
    }
}

// /proc files report a size of 0, so they are read until the end (or the cap) in one buffer.
std::optional<QByteArray> readProcFile(const QString& path, qsizetype cap) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    QByteArray buffer(cap, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < cap) {
        const ssize_t n = ::read(fd, buffer.data() + filled, static_cast<size_t>(cap - filled));
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        filled += n;
    }
    ::close(fd);
    // A file longer than the cap ends mid-line; the partial line would read as wrong numbers.
    if (filled == cap) filled = buffer.lastIndexOf('\n') + 1;
    buffer.truncate(filled);
    return buffer;
}

} // namespace

std::optional<CpuTicks> parseProcStat(QByteArrayView text) {
    std::optional<CpuTicks> result;
    forEachLine(text, [&](QByteArrayView line) {
        const auto w = words(line);
        if (w.empty() || w[0] != "cpu") return true;
        // user nice system idle [iowait irq softirq steal ...]; guest time is already part of
        // user time, so the fields after steal are left out of the total.
        std::array<std::uint64_t, 8> f{};
        std::size_t count = 0;
        for (std::size_t i = 1; i < w.size() && count < f.size(); ++i) {
            const auto v = toUnsigned(w[i]);
            if (!v) return false;
            f[count++] = *v;
        }
        if (count < 4) return false;
        CpuTicks ticks;
        ticks.idle = f[3] + f[4]; // waiting for input or output is idle time
        for (std::size_t i = 0; i < count; ++i) ticks.total += f[i];
        result = ticks;
        return false;
    });
    return result;
}

std::optional<MemoryCounters> parseMemInfo(QByteArrayView text) {
    std::optional<std::uint64_t> total, available, free, buffers, cached;
    forEachLine(text, [&](QByteArrayView line) {
        const auto w = words(line);
        if (w.size() < 2) return true;
        const auto value = toUnsigned(w[1]);
        if (!value) return true;
        const std::uint64_t unit = (w.size() >= 3 && w[2] == "kB") ? 1024 : 1;
        const std::uint64_t bytes = *value * unit;
        if (w[0] == "MemTotal:")
            total = bytes;
        else if (w[0] == "MemAvailable:")
            available = bytes;
        else if (w[0] == "MemFree:")
            free = bytes;
        else if (w[0] == "Buffers:")
            buffers = bytes;
        else if (w[0] == "Cached:")
            cached = bytes;
        return true;
    });
    if (!total) return std::nullopt;
    MemoryCounters memory;
    memory.totalBytes = *total;
    // Memory the kernel could hand out without swapping does not count as used.
    std::optional<std::uint64_t> reclaimable = available;
    if (!reclaimable && free && buffers && cached) reclaimable = *free + *buffers + *cached;
    if (reclaimable) memory.usedBytes = *reclaimable >= *total ? 0 : *total - *reclaimable;
    return memory;
}

std::optional<std::vector<InterfaceCounters>> parseNetDev(QByteArrayView text) {
    std::vector<InterfaceCounters> result;
    bool sawHeader = false;
    forEachLine(text, [&](QByteArrayView line) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.contains('|')) {
            sawHeader = sawHeader || line.contains('|');
            return true;
        }
        const QByteArrayView name = line.first(colon).trimmed();
        const auto w = words(line.sliced(colon + 1));
        // Received bytes come first; sent bytes are the ninth number.
        if (name.isEmpty() || w.size() < 9) return true;
        const auto received = toUnsigned(w[0]);
        const auto sent = toUnsigned(w[8]);
        if (!received || !sent) return true;
        result.push_back({QString::fromUtf8(name), *received, *sent});
        return true;
    });
    if (!sawHeader && result.empty()) return std::nullopt;
    return result;
}

ProcSystemCounters::ProcSystemCounters(QString procRoot) : root_(std::move(procRoot)) {}

std::optional<CpuTicks> ProcSystemCounters::cpuTicks() {
    // The total line comes first; the rest of the file (per-processor lines, interrupts) is not
    // needed and can be long on large machines.
    const auto text = readProcFile(root_ + QStringLiteral("/stat"), 4096);
    return text ? parseProcStat(*text) : std::nullopt;
}

std::optional<MemoryCounters> ProcSystemCounters::memory() {
    const auto text = readProcFile(root_ + QStringLiteral("/meminfo"), 16384);
    return text ? parseMemInfo(*text) : std::nullopt;
}

std::optional<std::vector<InterfaceCounters>> ProcSystemCounters::interfaces() {
    const auto text = readProcFile(root_ + QStringLiteral("/net/dev"), 256 * 1024);
    return text ? parseNetDev(*text) : std::nullopt;
}

} // namespace vantrel
