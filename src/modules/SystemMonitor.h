#pragma once

#include "platform/Clock.h"
#include "platform/Scheduler.h"
#include "platform/SystemCounters.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace vantrel {

class QAObserver;

// Processor, memory and network load, sampled every 2 seconds while at least one view observes
// it, with short histories for sparklines. Main thread only.
class SystemMonitor final : public QObject {
    Q_OBJECT
    Q_PROPERTY(double cpuUsage READ cpuUsage NOTIFY cpuUsageChanged)
    Q_PROPERTY(quint64 memoryUsedBytes READ memoryUsedBytes NOTIFY memoryUsedBytesChanged)
    Q_PROPERTY(quint64 memoryTotalBytes READ memoryTotalBytes NOTIFY memoryTotalBytesChanged)
    Q_PROPERTY(double downloadBytesPerSecond READ downloadBytesPerSecond NOTIFY downloadBytesPerSecondChanged)
    Q_PROPERTY(double uploadBytesPerSecond READ uploadBytesPerSecond NOTIFY uploadBytesPerSecondChanged)
    Q_PROPERTY(QList<double> cpuHistory READ cpuHistory NOTIFY cpuHistoryChanged)
    Q_PROPERTY(QList<double> memoryHistory READ memoryHistory NOTIFY memoryHistoryChanged)
    Q_PROPERTY(QList<double> downloadHistory READ downloadHistory NOTIFY downloadHistoryChanged)
    Q_PROPERTY(QList<double> uploadHistory READ uploadHistory NOTIFY uploadHistoryChanged)

public:
    static constexpr int kHistoryLength = 24;
    static constexpr Seconds kInterval{2.0};
    static constexpr Seconds kTolerance{0.5};

    // The start, stop and per-sample lines go to `qaObserver` under "system-monitor".
    SystemMonitor(SystemCounters& counters, Scheduler& scheduler, const Clock& clock, QAObserver& qaObserver,
                  QObject* parent = nullptr);

    void addObserver();
    void removeObserver();

    double cpuUsage() const { return cpuUsage_; }
    quint64 memoryUsedBytes() const { return memoryUsedBytes_; }
    quint64 memoryTotalBytes() const { return memoryTotalBytes_; }
    double downloadBytesPerSecond() const { return downloadBytesPerSecond_; }
    double uploadBytesPerSecond() const { return uploadBytesPerSecond_; }
    const QList<double>& cpuHistory() const { return cpuHistory_; }
    const QList<double>& memoryHistory() const { return memoryHistory_; }
    const QList<double>& downloadHistory() const { return downloadHistory_; }
    const QList<double>& uploadHistory() const { return uploadHistory_; }
    double memoryUsedFraction() const;
    bool isSampling() const { return timer_.isActive(); }

    static QString formatBytes(double value);

Q_SIGNALS:
    void cpuUsageChanged();
    void memoryUsedBytesChanged();
    void memoryTotalBytesChanged();
    void downloadBytesPerSecondChanged();
    void uploadBytesPerSecondChanged();
    void cpuHistoryChanged();
    void memoryHistoryChanged();
    void downloadHistoryChanged();
    void uploadHistoryChanged();

private:
    struct NetworkReading {
        std::uint64_t received;
        std::uint64_t sent;
        MonoTime at;
    };

    void sample();
    void sampleCPU();
    void sampleMemory();
    void sampleNetwork();
    void appendHistory();
    static void append(double value, QList<double>& history);
    void record(const QString& message);

    SystemCounters& counters_;
    Scheduler& scheduler_;
    const Clock& clock_;
    QAObserver& qaObserver_;

    double cpuUsage_ = 0;
    quint64 memoryUsedBytes_ = 0;
    quint64 memoryTotalBytes_ = 0;
    double downloadBytesPerSecond_ = 0;
    double uploadBytesPerSecond_ = 0;
    QList<double> cpuHistory_;
    QList<double> memoryHistory_;
    QList<double> downloadHistory_;
    QList<double> uploadHistory_;

    ScheduledTask timer_;
    int observers_ = 0;
    std::optional<CpuTicks> previousCPUTicks_;
    std::optional<NetworkReading> previousNetwork_;
};

} // namespace vantrel
