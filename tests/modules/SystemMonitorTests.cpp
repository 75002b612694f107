#include "core/QAObserver.h"
#include "modules/SystemMonitor.h"
#include "support/FakeSystemCounters.h"
#include "support/ManualScheduler.h"
#include "support/TempHome.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class SystemMonitorTest : public ::testing::Test {
protected:
    SystemMonitorTest() {
        // A session without a folder: events are kept in memory only.
        qa_.setSession(QAObserver::Session{QUuid::createUuid(), clock_.now(), {}, {}, {}, {}, {}, {}});
        counters_.cpu = CpuTicks{0, 0};
        counters_.mem = MemoryCounters{1000, 250};
        counters_.nets = std::vector<InterfaceCounters>{{QStringLiteral("eth0"), 0, 0}};
    }

    void setNetwork(std::uint64_t received, std::uint64_t sent, std::uint64_t loopback = 0) {
        counters_.nets = std::vector<InterfaceCounters>{
            {QStringLiteral("lo"), loopback, loopback},
            {QStringLiteral("eth0"), received / 2, sent / 2},
            {QStringLiteral("wlan0"), received - received / 2, sent - sent / 2}};
    }
    void nextSample() { scheduler_.advance(SystemMonitor::kInterval); }

    ManualClock clock_;
    ManualScheduler scheduler_{clock_};
    FakeSystemCounters counters_;
    TempHome home_;
    QAObserver qa_{clock_, home_.paths()};
    SystemMonitor monitor_{counters_, scheduler_, clock_, qa_};

    QStringList records() const {
        QStringList out;
        for (const auto& event : qa_.session()->events) {
            EXPECT_EQ(event.category, QStringLiteral("system-monitor"));
            out.append(event.message);
        }
        return out;
    }
};

} // namespace

TEST_F(SystemMonitorTest, ObserversStartAndStopSampling) {
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(counters_.reads, 0) << "nothing is read without an observer";
    EXPECT_EQ(scheduler_.pendingCount(), 0u);

    monitor_.addObserver();
    EXPECT_EQ(counters_.reads, 1) << "one sample at once";
    monitor_.addObserver();
    EXPECT_EQ(counters_.reads, 1);
    ASSERT_EQ(scheduler_.pendingCount(), 1u);
    EXPECT_EQ(records().first(), QStringLiteral("sampling started interval=2s"));
    EXPECT_EQ(records().at(1), QStringLiteral("sample durationMs=0.00 cpu=0 memory=25"));

    monitor_.removeObserver();
    EXPECT_TRUE(monitor_.isSampling());
    nextSample();
    EXPECT_EQ(counters_.reads, 2);

    monitor_.removeObserver();
    EXPECT_FALSE(monitor_.isSampling());
    EXPECT_EQ(records().last(), QStringLiteral("sampling stopped"));
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(counters_.reads, 2);

    // A surplus removal keeps the count at zero and records the stop again.
    monitor_.removeObserver();
    EXPECT_EQ(records().count(QStringLiteral("sampling stopped")), 2);
    monitor_.addObserver();
    EXPECT_TRUE(monitor_.isSampling()) << "one add after surplus removals starts again";
}

TEST_F(SystemMonitorTest, FirstSampleOnlySetsBaselinesAndHistoriesKeepTheNewest24) {
    counters_.cpu = CpuTicks{100, 200};
    setNetwork(1000, 500);
    monitor_.addObserver();
    EXPECT_EQ(monitor_.cpuUsage(), 0);
    EXPECT_EQ(monitor_.downloadBytesPerSecond(), 0);
    EXPECT_DOUBLE_EQ(monitor_.memoryUsedFraction(), 0.25) << "memory is fresh from the first sample";
    EXPECT_EQ(monitor_.cpuHistory(), QList<double>{0.0});

    counters_.cpu = CpuTicks{130, 300}; // 30 idle of 100
    setNetwork(1000 + 4000, 500 + 1000);
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.7);
    EXPECT_DOUBLE_EQ(monitor_.downloadBytesPerSecond(), 2000);
    EXPECT_DOUBLE_EQ(monitor_.uploadBytesPerSecond(), 500);
    EXPECT_EQ(monitor_.cpuHistory(), (QList<double>{0.0, 0.7}));
    EXPECT_TRUE(records().last().endsWith(QStringLiteral(" cpu=70 memory=25")));

    for (int i = 0; i < 30; ++i) {
        counters_.cpu = CpuTicks{130 + 100ull * (i + 1), 300 + 100ull * (i + 1)}; // all idle
        nextSample();
    }
    ASSERT_EQ(monitor_.cpuHistory().size(), 24);
    EXPECT_EQ(monitor_.memoryHistory().size(), 24);
    EXPECT_EQ(monitor_.downloadHistory().size(), 24);
    EXPECT_EQ(monitor_.uploadHistory().size(), 24);
    EXPECT_EQ(monitor_.cpuHistory().last(), 0.0);

    // Stopping clears the baselines but keeps the values: the first sample of the next period
    // publishes nothing new for the processor and the network.
    monitor_.removeObserver();
    const double download = monitor_.downloadBytesPerSecond();
    counters_.cpu = CpuTicks{0, 1'000'000};
    setNetwork(999'999'999, 999'999'999);
    monitor_.addObserver();
    EXPECT_EQ(monitor_.cpuUsage(), 0.0);
    EXPECT_EQ(monitor_.downloadBytesPerSecond(), download);
}

TEST_F(SystemMonitorTest, CountersThatGoBackwardsOrFailNeverGiveWildValues) {
    counters_.cpu = CpuTicks{500, 1000};
    setNetwork(10'000, 10'000);
    monitor_.addObserver();
    counters_.cpu = CpuTicks{550, 1100};
    setNetwork(12'000, 11'000);
    nextSample();
    ASSERT_DOUBLE_EQ(monitor_.cpuUsage(), 0.5);

    // The idle count went backwards while the total grew: the sample is skipped, not wrapped.
    counters_.cpu = CpuTicks{10, 1200};
    // A counter wrapped (or an interface went away): a rate of 0, not a huge number.
    setNetwork(100, 11'000);
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.5);
    EXPECT_EQ(monitor_.downloadBytesPerSecond(), 0);
    EXPECT_EQ(monitor_.uploadBytesPerSecond(), 0);

    // The new readings became the baselines.
    counters_.cpu = CpuTicks{60, 1300};
    setNetwork(2100, 13'000);
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.5);
    EXPECT_DOUBLE_EQ(monitor_.downloadBytesPerSecond(), 1000);

    // A total that did not grow publishes nothing.
    counters_.cpu = CpuTicks{60, 1300};
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.5);

    // Failed reads change nothing, and sampling goes on.
    counters_.cpu.reset();
    counters_.mem.reset();
    counters_.nets.reset();
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.5);
    EXPECT_EQ(monitor_.memoryUsedBytes(), 250u);
    EXPECT_TRUE(monitor_.isSampling());

    // Memory whose use could not be read keeps the last use but takes the new total.
    counters_.mem = MemoryCounters{2000, std::nullopt};
    nextSample();
    EXPECT_EQ(monitor_.memoryTotalBytes(), 2000u);
    EXPECT_EQ(monitor_.memoryUsedBytes(), 250u);
}

TEST_F(SystemMonitorTest, LoopbackTrafficNeverShows) {
    setNetwork(0, 0, 0);
    monitor_.addObserver();
    setNetwork(0, 0, 50'000'000);
    nextSample();
    EXPECT_EQ(monitor_.downloadBytesPerSecond(), 0);
    EXPECT_EQ(monitor_.uploadBytesPerSecond(), 0);
}

TEST(SystemMonitorValues, MemoryFractionAndFormatBytes) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    FakeSystemCounters counters;
    TempHome home;
    QAObserver qa(clock, home.paths());
    SystemMonitor monitor(counters, scheduler, clock, qa);
    EXPECT_EQ(monitor.memoryUsedFraction(), 0) << "no total yet";
    counters.mem = MemoryCounters{100, 150};
    monitor.addObserver();
    EXPECT_EQ(monitor.memoryUsedFraction(), 1.0) << "clamped";

    struct Row {
        double value;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Row& row : {Row{-5, "0 B"}, Row{nan, "0 B"}, Row{0, "0 B"}, Row{512, "512 B"},
                           Row{1023, "1023 B"}, Row{1024, "1.0 KB"}, Row{1536, "1.5 KB"},
                           Row{102'400, "100 KB"}, Row{150'000, "146 KB"}, Row{1'048'575, "1024 KB"},
                           Row{1'048'576, "1.0 MB"}, Row{5.0 * 1024 * 1024 * 1024 * 1024, "5120 GB"}}) {
        EXPECT_EQ(SystemMonitor::formatBytes(row.value), QString::fromLatin1(row.text)) << row.value;
    }
}
