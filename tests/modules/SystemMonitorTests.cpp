#include "core/QAObserver.h"
#include "modules/SystemMonitor.h"
#include "support/FakeSystemCounters.h"
#include "support/ManualScheduler.h"
#include "support/TempHome.h"

#include "platform/linux/PosixFileManager.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class SystemMonitorTest : public ::testing::Test {
protected:
    SystemMonitorTest() {
        // A session without a folder: events are kept in memory only.
        qa_.setSession(QAObserver::Session{});
        counters_.cpu = CpuTicks{0, 0};
        counters_.mem = MemoryCounters{1000, 250};
        setNetwork(0, 0);
    }

    void setNetwork(std::uint64_t received, std::uint64_t sent, std::uint64_t loopback = 0) {
        counters_.nets = std::vector<InterfaceCounters>{
            {QStringLiteral("lo"), loopback, loopback},
            {QStringLiteral("eth0"), received / 2, sent / 2},
            {QStringLiteral("wlan0"), received - received / 2, sent - sent / 2}};
    }
    void nextSample() { scheduler_.advance(SystemMonitor::kInterval); }
    QString lastRecord() const { return qa_.session()->events.back().message; }

    ManualClock clock_;
    ManualScheduler scheduler_{clock_};
    FakeSystemCounters counters_;
    TempHome home_;
    PosixFileManager files_;
    QAObserver qa_{clock_, files_, home_.paths()};
    SystemMonitor monitor_{counters_, scheduler_, clock_, qa_};
};

} // namespace

TEST_F(SystemMonitorTest, ObserversStartAndStopSampling) {
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(counters_.reads, 0) << "nothing is read without an observer";

    monitor_.addObserver();
    monitor_.addObserver();
    EXPECT_EQ(counters_.reads, 1) << "one sample at once";
    EXPECT_EQ(lastRecord(), QStringLiteral("sample durationMs=0.00 cpu=0 memory=25"));
    monitor_.removeObserver();
    nextSample();
    EXPECT_EQ(counters_.reads, 2) << "one observer is left";

    monitor_.removeObserver();
    monitor_.removeObserver(); // a surplus removal keeps the count at zero
    EXPECT_EQ(lastRecord(), QStringLiteral("sampling stopped"));
    scheduler_.advance(Seconds(10));
    EXPECT_EQ(counters_.reads, 2);
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

    counters_.cpu = CpuTicks{130, 300}; // 30 idle of 100
    setNetwork(1000 + 4000, 500 + 1000, 50'000'000);
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.7);
    EXPECT_DOUBLE_EQ(monitor_.downloadBytesPerSecond(), 2000) << "loopback traffic never shows";
    EXPECT_DOUBLE_EQ(monitor_.uploadBytesPerSecond(), 500);
    EXPECT_EQ(monitor_.cpuHistory(), (QList<double>{0.0, 0.7}));

    for (int i = 0; i < 30; ++i) nextSample();
    for (const auto* history : {&monitor_.cpuHistory(), &monitor_.memoryHistory(),
                                &monitor_.downloadHistory(), &monitor_.uploadHistory()})
        EXPECT_EQ(history->size(), 24);
    EXPECT_EQ(monitor_.cpuHistory(), QList<double>(24, 0.7)) << "the oldest samples go first";

    // Stopping clears the baselines: the first sample of the next period publishes no rate.
    monitor_.removeObserver();
    counters_.cpu = CpuTicks{1130, 1300};
    setNetwork(1'000'000, 1'000'000);
    clock_.advance(Seconds(60));
    monitor_.addObserver();
    EXPECT_EQ(monitor_.cpuUsage(), 0.7);
    EXPECT_EQ(monitor_.downloadBytesPerSecond(), 0);
    EXPECT_EQ(monitor_.uploadBytesPerSecond(), 0);
}

TEST_F(SystemMonitorTest, TheSampleRecordCutsPercentagesToWholeNumbers) {
    monitor_.addObserver();
    counters_.cpu = CpuTicks{1, 200}; // 99.5 % busy
    counters_.mem = MemoryCounters{1000, 999};
    nextSample();
    EXPECT_EQ(lastRecord(), QStringLiteral("sample durationMs=0.00 cpu=99 memory=99"));
    counters_.cpu = CpuTicks{1, 300}; // all busy
    counters_.mem = MemoryCounters{1000, 1000};
    nextSample();
    EXPECT_EQ(lastRecord(), QStringLiteral("sample durationMs=0.00 cpu=100 memory=100"));

    // The duration is the time the reads took, in milliseconds with two decimals.
    counters_.duringInterfaceRead = [this] { clock_.advance(Seconds(0.00084)); };
    counters_.cpu = CpuTicks{76, 400}; // 75 idle of 100
    counters_.mem = MemoryCounters{1000, 500};
    nextSample();
    EXPECT_EQ(lastRecord(), QStringLiteral("sample durationMs=0.84 cpu=25 memory=50"));
    EXPECT_EQ(qa_.session()->events.back().category, QStringLiteral("system-monitor"));
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
    // A byte counter wrapped (or an interface went away): a rate of 0, not a huge number.
    counters_.cpu = CpuTicks{10, 1200};
    setNetwork(100, 11'000);
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.5);
    EXPECT_EQ(monitor_.downloadBytesPerSecond(), 0);

    // The new readings became the baselines.
    counters_.cpu = CpuTicks{85, 1300};
    setNetwork(2100, 13'000);
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.25);
    EXPECT_DOUBLE_EQ(monitor_.downloadBytesPerSecond(), 1000);

    // Failed reads change nothing, and sampling goes on; a total without its use still counts.
    counters_.cpu.reset();
    counters_.nets.reset();
    counters_.mem = MemoryCounters{200, std::nullopt};
    nextSample();
    EXPECT_DOUBLE_EQ(monitor_.cpuUsage(), 0.25);
    EXPECT_EQ(monitor_.memoryUsedFraction(), 1.0) << "the old use over the new total, clamped";
}

TEST(SystemMonitor, FormatBytes) {
    const std::pair<double, const char*> rows[] = {
        {-5.0, "0 B"},         {std::nan(""), "0 B"},    {1023.0, "1023 B"},           {1536.0, "1.5 KB"},
        {150'000.0, "146 KB"}, {1'048'575.0, "1024 KB"}, {5497558138880.0, "5120 GB"}, {512.0, "512 B"},
        {1024.0, "1.0 KB"},    {102'400.0, "100 KB"}};
    for (const auto& [value, text] : rows)
        EXPECT_EQ(SystemMonitor::formatBytes(value), QString::fromLatin1(text)) << value;
}
