#include "modules/SystemMonitor.h"

#include "core/QAObserver.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {
const QString kCategory = QStringLiteral("system-monitor");
}

SystemMonitor::SystemMonitor(SystemCounters& counters, Scheduler& scheduler, const Clock& clock,
                             QAObserver& qaObserver, QObject* parent)
    : QObject(parent), counters_(counters), scheduler_(scheduler), clock_(clock), qaObserver_(qaObserver) {}

void SystemMonitor::addObserver() {
    ++observers_;
    if (timer_.isActive()) return;
    record(QStringLiteral("sampling started interval=2s"));
    sample();
    // The task is owned by the monitor and cancelled with it, so a firing never outlives it.
    timer_ =
        ScheduledTask(scheduler_, scheduler_.scheduleRepeating(kInterval, kTolerance, [this] { sample(); }));
}

void SystemMonitor::removeObserver() {
    observers_ = std::max(observers_ - 1, 0);
    if (observers_ > 0) return;
    timer_.cancel();
    previousCPUTicks_.reset();
    previousNetwork_.reset();
    record(QStringLiteral("sampling stopped"));
}

double SystemMonitor::memoryUsedFraction() const {
    if (memoryTotalBytes_ == 0) return 0;
    return std::clamp(static_cast<double>(memoryUsedBytes_) / static_cast<double>(memoryTotalBytes_), 0.0,
                      1.0);
}

void SystemMonitor::sample() {
    const MonoTime started = clock_.monotonicNow();
    sampleCPU();
    sampleMemory();
    sampleNetwork();
    appendHistory();
    const double elapsedMs = secondsBetween(started, clock_.monotonicNow()) * 1000.0;
    record(QStringLiteral("sample durationMs=%1 cpu=%2 memory=%3")
               .arg(QString::asprintf("%.2f", elapsedMs))
               .arg(static_cast<int>(cpuUsage_ * 100))
               .arg(static_cast<int>(memoryUsedFraction() * 100)));
}

void SystemMonitor::sampleCPU() {
    const auto ticks = counters_.cpuTicks();
    if (!ticks) return;
    // An idle count below the last one cannot come from a running kernel's counters; the
    // subtraction would wrap into a huge number, so that sample publishes nothing.
    if (previousCPUTicks_ && ticks->total > previousCPUTicks_->total &&
        ticks->idle >= previousCPUTicks_->idle) {
        const double idle = static_cast<double>(ticks->idle - previousCPUTicks_->idle);
        const double total = static_cast<double>(ticks->total - previousCPUTicks_->total);
        const double busy = std::clamp(1.0 - idle / total, 0.0, 1.0);
        if (busy != cpuUsage_) {
            cpuUsage_ = busy;
            Q_EMIT cpuUsageChanged();
        }
    }
    previousCPUTicks_ = *ticks;
}

void SystemMonitor::sampleMemory() {
    const auto memory = counters_.memory();
    if (!memory) return;
    if (memory->totalBytes != memoryTotalBytes_) {
        memoryTotalBytes_ = memory->totalBytes;
        Q_EMIT memoryTotalBytesChanged();
    }
    if (memory->usedBytes && *memory->usedBytes != memoryUsedBytes_) {
        memoryUsedBytes_ = *memory->usedBytes;
        Q_EMIT memoryUsedBytesChanged();
    }
}

void SystemMonitor::sampleNetwork() {
    const auto interfaces = counters_.interfaces();
    if (!interfaces || interfaces->empty()) return;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    for (const InterfaceCounters& counters : *interfaces) {
        // Loopback traffic never leaves the machine.
        if (counters.name.startsWith(QStringLiteral("lo"))) continue;
        received += counters.receivedBytes;
        sent += counters.sentBytes;
    }
    // Rates are measured on the monotonic clock so that a change of the system time cannot
    // stretch or reverse an interval.
    const MonoTime now = clock_.monotonicNow();
    if (previousNetwork_ && now > previousNetwork_->at) {
        const double interval = secondsBetween(previousNetwork_->at, now);
        // A counter below the last one means it wrapped or an interface went away.
        auto rate = [interval](std::uint64_t current, std::uint64_t previous) {
            return current < previous ? 0.0 : static_cast<double>(current - previous) / interval;
        };
        const double download = rate(received, previousNetwork_->received);
        const double upload = rate(sent, previousNetwork_->sent);
        if (download != downloadBytesPerSecond_) {
            downloadBytesPerSecond_ = download;
            Q_EMIT downloadBytesPerSecondChanged();
        }
        if (upload != uploadBytesPerSecond_) {
            uploadBytesPerSecond_ = upload;
            Q_EMIT uploadBytesPerSecondChanged();
        }
    }
    previousNetwork_ = NetworkReading{received, sent, now};
}

void SystemMonitor::appendHistory() {
    append(cpuUsage_, cpuHistory_);
    Q_EMIT cpuHistoryChanged();
    append(memoryUsedFraction(), memoryHistory_);
    Q_EMIT memoryHistoryChanged();
    append(downloadBytesPerSecond_, downloadHistory_);
    Q_EMIT downloadHistoryChanged();
    append(uploadBytesPerSecond_, uploadHistory_);
    Q_EMIT uploadHistoryChanged();
}

void SystemMonitor::append(double value, QList<double>& history) {
    history.append(std::isnan(value) || value < 0 ? 0.0 : value);
    if (history.size() > kHistoryLength) history.remove(0, history.size() - kHistoryLength);
}

QString SystemMonitor::formatBytes(double value) {
    double v = std::isnan(value) || value < 0 ? 0.0 : value;
    static const char* const units[] = {"B", "KB", "MB", "GB"};
    int index = 0;
    while (v >= 1024 && index < 3) {
        v /= 1024;
        ++index;
    }
    const char* format = (index == 0 || v >= 100) ? "%.0f %s" : "%.1f %s";
    return QString::asprintf(format, v, units[index]);
}

void SystemMonitor::record(const QString& message) {
    qaObserver_.record(kCategory, message);
}

} // namespace vantrel
