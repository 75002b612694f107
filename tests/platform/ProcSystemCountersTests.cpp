#include "platform/linux/ProcSystemCounters.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

const char* const kStat = "cpu  132842 7 17042 469258 989 3 171 408 50 0\n"
                          "cpu0 15699 0 2031 59727 34 0 51 49 0 0\n"
                          "intr 735621 0 0 0\n";

const char* const kMemInfo = "MemTotal:       24682416 kB\n"
                             "MemFree:        22164340 kB\n"
                             "MemAvailable:   23233620 kB\n"
                             "HugePages_Total:       0\n";

} // namespace

TEST(ProcParsers, ProcessorTicksCountIowaitAsIdleAndLeaveGuestOut) {
    const auto ticks = parseProcStat(kStat);
    ASSERT_TRUE(ticks);
    EXPECT_EQ(ticks->idle, 469258u + 989u);
    EXPECT_EQ(ticks->total, 132842u + 7 + 17042 + 469258 + 989 + 3 + 171 + 408);
    EXPECT_EQ(parseProcStat("cpu 10 2 3 85\n")->total, 100u) << "an old kernel's four fields";
    for (const char* bad : {"", "cpu0 1 2 3 4\n", "cpu 1 2 3\n", "cpu 1 2 x 4\n", "cpu 1 2 -3 4\n"})
        EXPECT_FALSE(parseProcStat(bad)) << bad;
}

TEST(ProcParsers, MemoryUsedIsTotalLessAvailable) {
    const auto memory = parseMemInfo(kMemInfo);
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->totalBytes, 24682416ull * 1024);
    EXPECT_EQ(memory->usedBytes, (24682416ull - 23233620ull) * 1024);

    // Without MemAvailable (kernels before 3.14) free, buffers and cache are the reclaimable part.
    EXPECT_EQ(parseMemInfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n")->usedBytes,
              600ull * 1024);
    EXPECT_EQ(parseMemInfo("MemTotal: 1000 kB\n")->usedBytes, std::nullopt);
    EXPECT_EQ(parseMemInfo("MemTotal: 10 kB\nMemAvailable: 20 kB\n")->usedBytes, 0u) << "never negative";
    EXPECT_FALSE(parseMemInfo("MemFree: 100 kB\n"));
}

TEST(ProcParsers, NetworkCountersPerInterface) {
    const auto interfaces = parseNetDev("Inter-|   Receive |  Transmit\n"
                                        " face |bytes    packets errs drop|bytes ...\n"
                                        "    lo:    3267 29 0 0 0 0 0 0     3267 29 0 0 0 0 0 0\n"
                                        "wlp2s0:18446744073709551615 1 0 0 0 0 0 0 42 1 0 0 0 0 0 0\n"
                                        "  bad0: 12 x\n");
    ASSERT_TRUE(interfaces);
    QStringList seen;
    for (const auto& i : *interfaces)
        seen.append(QStringLiteral("%1 %2 %3").arg(i.name).arg(i.receivedBytes).arg(i.sentBytes));
    EXPECT_EQ(seen,
              (QStringList{QStringLiteral("lo 3267 3267"), QStringLiteral("wlp2s0 18446744073709551615 42")}))
        << "the malformed line is skipped";
    EXPECT_FALSE(parseNetDev("garbage\n"));
}

TEST(ProcParsers, TheRealProcFilesAreRead) {
    ProcSystemCounters real;
    EXPECT_TRUE(real.cpuTicks() && real.memory() && real.interfaces());
    EXPECT_FALSE(ProcSystemCounters(QStringLiteral("/nonexistent")).cpuTicks())
        << "a missing file is a failed read";
}
