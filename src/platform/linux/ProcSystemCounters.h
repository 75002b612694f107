#pragma once

#include "platform/SystemCounters.h"

#include <QByteArrayView>
#include <QString>

namespace vantrel {

// Counters from /proc/stat, /proc/meminfo and /proc/net/dev. The parsers are free functions so
// they can be checked on recorded file contents.
std::optional<CpuTicks> parseProcStat(QByteArrayView text);
std::optional<MemoryCounters> parseMemInfo(QByteArrayView text);
std::optional<std::vector<InterfaceCounters>> parseNetDev(QByteArrayView text);

class ProcSystemCounters final : public SystemCounters {
public:
    explicit ProcSystemCounters(QString procRoot = QStringLiteral("/proc"));

    std::optional<CpuTicks> cpuTicks() override;
    std::optional<MemoryCounters> memory() override;
    std::optional<std::vector<InterfaceCounters>> interfaces() override;

private:
    QString root_;
};

} // namespace vantrel
