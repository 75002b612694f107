#include "platform/linux/ProcSystemCounters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

const char* const kStat = "cpu  132842 7 17042 469258 989 3 171 408 50 0\n"
                          "cpu0 15699 0 2031 59727 34 0 51 49 0 0\n"
                          "intr 735621 0 0 0\n";

const char* const kMemInfo = "MemTotal:       24682416 kB\n"
                             "MemFree:        22164340 kB\n"
                             "MemAvailable:   23233620 kB\n"
                             "Buffers:            8228 kB\n"
                             "Cached:          1244396 kB\n"
                             "HugePages_Total:       0\n";

const char* const kNetDev = "Inter-|   Receive |  Transmit\n"
                            " face |bytes    packets errs drop fifo frame compressed multicast|bytes ...\n"
                            "    lo:    3267 29 0 0 0 0 0 0     3267 29 0 0 0 0 0 0\n"
                            "  eth0: 68600727 1448 0 0 0 0 0 0 65285 764 0 0 0 0 0 0\n"
                            "wlp2s0:18446744073709551615 1 0 0 0 0 0 0 42 1 0 0 0 0 0 0\n"
                            "  bad0: 12 x\n";

} // namespace

TEST(ProcParsers, ProcessorTicksCountIowaitAsIdleAndLeaveGuestOut) {
    const auto ticks = parseProcStat(kStat);
    ASSERT_TRUE(ticks);
    EXPECT_EQ(ticks->idle, 469258u + 989u);
    EXPECT_EQ(ticks->total, 132842u + 7 + 17042 + 469258 + 989 + 3 + 171 + 408);

    // An old kernel with only the four classic fields.
    const auto old = parseProcStat("cpu 10 2 3 85\n");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->idle, 85u);
    EXPECT_EQ(old->total, 100u);

    for (const char* bad : {"", "cpu0 1 2 3 4\n", "cpu 1 2 3\n", "cpu 1 2 x 4\n", "cpu 1 2 -3 4\n"})
        EXPECT_FALSE(parseProcStat(bad)) << bad;
}

TEST(ProcParsers, MemoryUsedIsTotalLessAvailable) {
    const auto memory = parseMemInfo(kMemInfo);
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->totalBytes, 24682416ull * 1024);
    EXPECT_EQ(memory->usedBytes, (24682416ull - 23233620ull) * 1024);

    // Without MemAvailable (kernels before 3.14) free, buffers and cache are the reclaimable part.
    const auto old = parseMemInfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->usedBytes, 600ull * 1024);

    const auto onlyTotal = parseMemInfo("MemTotal: 1000 kB\n");
    ASSERT_TRUE(onlyTotal);
    EXPECT_EQ(onlyTotal->totalBytes, 1000ull * 1024);
    EXPECT_FALSE(onlyTotal->usedBytes);

    // More available than total cannot mean negative use.
    EXPECT_EQ(parseMemInfo("MemTotal: 10 kB\nMemAvailable: 20 kB\n")->usedBytes, 0u);
    EXPECT_FALSE(parseMemInfo("MemFree: 100 kB\n"));
}

TEST(ProcParsers, NetworkCountersPerInterface) {
    const auto interfaces = parseNetDev(kNetDev);
    ASSERT_TRUE(interfaces);
    ASSERT_EQ(interfaces->size(), 3u) << "the malformed line is skipped";
    QStringList seen;
    for (const auto& i : *interfaces)
        seen.append(QStringLiteral("%1 %2 %3").arg(i.name).arg(i.receivedBytes).arg(i.sentBytes));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("lo 3267 3267"), QStringLiteral("eth0 68600727 65285"),
                                 QStringLiteral("wlp2s0 18446744073709551615 42")}));

    EXPECT_FALSE(parseNetDev("garbage\n"));
    const auto headerOnly = parseNetDev("Inter-| Receive | Transmit\n face |bytes|bytes\n");
    ASSERT_TRUE(headerOnly);
    EXPECT_TRUE(headerOnly->empty());
}

TEST(ProcParsers, CountersReadFromAProcFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("net")));
    auto write = [&](const QString& name, const char* text) {
        QFile file(root.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(QStringLiteral("stat"), kStat);
    write(QStringLiteral("meminfo"), kMemInfo);
    ProcSystemCounters counters(root.path());
    EXPECT_EQ(counters.cpuTicks()->idle, 469258u + 989u);
    EXPECT_EQ(counters.memory()->totalBytes, 24682416ull * 1024);
    EXPECT_FALSE(counters.interfaces()) << "a missing file is a failed read";

    ProcSystemCounters real;
    EXPECT_TRUE(real.cpuTicks());
    EXPECT_GT(real.memory()->totalBytes, 0u);
    EXPECT_TRUE(real.interfaces());
}
