#pragma once

#include "platform/SystemCounters.h"

namespace vantrel::test {

// Counters the test sets before each sample; none makes that read fail.
class FakeSystemCounters final : public SystemCounters {
public:
    std::optional<CpuTicks> cpu;
    std::optional<MemoryCounters> mem;
    std::optional<std::vector<InterfaceCounters>> nets;
    int reads = 0;

    std::optional<CpuTicks> cpuTicks() override {
        ++reads;
        return cpu;
    }
    std::optional<MemoryCounters> memory() override { return mem; }
    std::optional<std::vector<InterfaceCounters>> interfaces() override { return nets; }
};

} // namespace vantrel::test
