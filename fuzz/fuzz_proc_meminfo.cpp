// /proc/meminfo as the system counters read it: any text gives the memory in use, never more than
// the total, or none; and what it gives reads back the same from the kernel's own format.

#include "platform/linux/ProcSystemCounters.h"
#include "support/FuzzSupport.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<MemoryCounters> memory = parseMemInfo(fuzz::bytesOf(data, size));
    if (!memory) return 0;
    if (memory->usedBytes) FUZZ_CHECK(*memory->usedBytes <= memory->totalBytes);
    QByteArray again = "MemTotal:       " + QByteArray::number(memory->totalBytes) + "\nMemFree: 0 kB\n";
    if (memory->usedBytes)
        again += "MemAvailable:   " + QByteArray::number(memory->totalBytes - *memory->usedBytes) + "\n";
    const std::optional<MemoryCounters> reread = parseMemInfo(again);
    FUZZ_CHECK(reread && reread->totalBytes == memory->totalBytes && reread->usedBytes == memory->usedBytes);
    return 0;
}
