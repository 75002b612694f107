// /proc/net/dev as the system counters read it: any text gives the interfaces with their byte
// counters or none, and the interfaces it gives read back the same from the kernel's own format.

#include "platform/linux/ProcSystemCounters.h"
#include "support/FuzzSupport.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto interfaces = parseNetDev(fuzz::bytesOf(data, size));
    if (!interfaces) return 0;
    QByteArray again = "Inter-|   Receive                            |  Transmit\n"
                       " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets\n";
    for (const InterfaceCounters& interface : *interfaces) {
        FUZZ_CHECK(!interface.name.isEmpty());
        // A name the kernel's format cannot carry has nothing to read back.
        if (interface.name.contains(QLatin1Char(':')) || interface.name.contains(QLatin1Char('|')) ||
            interface.name.contains(QLatin1Char('\n')) || interface.name.contains(QLatin1Char('\r')) ||
            interface.name.trimmed() != interface.name)
            return 0;
        again += interface.name.toUtf8() + ": " + QByteArray::number(interface.receivedBytes) +
                 " 1 0 0 0 0 0 0 " + QByteArray::number(interface.sentBytes) + " 2 0 0 0 0 0 0\n";
    }
    const auto reread = parseNetDev(again);
    FUZZ_CHECK(reread.has_value() && reread->size() == interfaces->size());
    for (std::size_t i = 0; i < interfaces->size(); ++i) {
        FUZZ_CHECK((*reread)[i].name == (*interfaces)[i].name);
        FUZZ_CHECK((*reread)[i].receivedBytes == (*interfaces)[i].receivedBytes);
        FUZZ_CHECK((*reread)[i].sentBytes == (*interfaces)[i].sentBytes);
    }
    return 0;
}
