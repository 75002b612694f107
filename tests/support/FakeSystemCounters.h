#pragma once

#include "platform/SystemCounters.h"

#include <functional>

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
    // Runs inside each interface read, so a test can let time pass during a sample.
    std::function<void()> duringInterfaceRead;

    std::optional<std::vector<InterfaceCounters>> interfaces() override {
        if (duringInterfaceRead) duringInterfaceRead();
        return nets;
    }
};

} // namespace vantrel::test
