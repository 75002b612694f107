// /proc/stat as the system counters read it: any text gives the processor's idle and total time
// or none, and the counters it gives read back the same from the kernel's own format.

#include "platform/linux/ProcSystemCounters.h"
#include "support/FuzzSupport.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text = fuzz::bytesOf(data, size);
    const std::optional<CpuTicks> ticks = parseProcStat(text);
    if (!ticks || ticks->idle > ticks->total) return 0;
    const QByteArray again = "cpu  " + QByteArray::number(ticks->total - ticks->idle) + " 0 0 " +
                             QByteArray::number(ticks->idle) + " 0 0 0 0 0 0\ncpu0 1 2 3 4\nintr 0\n";
    const std::optional<CpuTicks> reread = parseProcStat(again);
    FUZZ_CHECK(reread && reread->idle == ticks->idle && reread->total == ticks->total);
    return 0;
}
