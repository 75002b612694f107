#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel {

// Processor time since boot, summed over all processors.
struct CpuTicks {
    std::uint64_t idle = 0;
    std::uint64_t total = 0;
};

struct MemoryCounters {
    std::uint64_t totalBytes = 0;
    std::optional<std::uint64_t> usedBytes; // none when the usage could not be read
};

struct InterfaceCounters {
    QString name;
    std::uint64_t receivedBytes = 0;
    std::uint64_t sentBytes = 0;
};

// The operating system's load counters. Each read is a short synchronous call on the main
// thread; none means the read failed.
class SystemCounters {
public:
    virtual ~SystemCounters() = default;
    virtual std::optional<CpuTicks> cpuTicks() = 0;
    virtual std::optional<MemoryCounters> memory() = 0;
    virtual std::optional<std::vector<InterfaceCounters>> interfaces() = 0;
};

} // namespace vantrel
