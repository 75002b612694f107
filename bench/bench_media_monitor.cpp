#include "core/QAObserver.h"
#include "modules/MediaPlaybackPolicy.h"
#include "modules/SystemMonitor.h"
#include "platform/AppPaths.h"
#include "platform/linux/PosixFileManager.h"
#include "platform/linux/ProcSystemCounters.h"

#include <QDir>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

// Keeps the monitor's repeating sample so the benchmark can fire it directly.
class CapturingScheduler final : public Scheduler {
public:
    std::function<void()> repeating;
    TaskId schedule(Seconds, std::function<void()>) override { return 1; }
    TaskId scheduleRepeating(Seconds, Seconds, std::function<void()> work) override {
        repeating = std::move(work);
        return 2;
    }
    void cancel(TaskId) override {}
    bool isScheduled(TaskId) const override { return true; }
};

void BM_MonitorSampleRealProc(benchmark::State& state) {
    SystemClock clock;
    CapturingScheduler scheduler;
    ProcSystemCounters counters;
    const QString temp = QDir::tempPath();
    PosixFileManager files;
    QAObserver qa(clock, files, AppPaths{temp, temp, temp});
    SystemMonitor monitor(counters, scheduler, clock, qa);
    monitor.addObserver();
    for (auto _ : state) {
        scheduler.repeating();
        benchmark::DoNotOptimize(monitor.cpuUsage());
    }
}
BENCHMARK(BM_MonitorSampleRealProc);

// One polling pass's pure work with 50 browser tabs open, the media tab listed last.
void BM_MediaPolicyPass50Tabs(benchmark::State& state) {
    QString listing;
    for (int i = 0; i < 49; ++i)
        listing += QStringLiteral("Document %1 - Example").arg(i) + QChar(0x1F) +
                   QStringLiteral("https://docs.example.com/d/%1?tab=t.0").arg(i) + QChar(0x1E);
    listing += QStringLiteral("Live set - YouTube") + QChar(0x1F) +
               QStringLiteral("https://www.youtube.com/watch?v=x") + QChar(0x1E);
    // Neither player has an item, so the pass goes on to the browser listing.
    const QStringList musicFields{
        {}, {}, {}, QStringLiteral("paused"), QStringLiteral("12,5"), QStringLiteral("200")};
    const QStringList spotifyFields{QStringLiteral("Nothing playing"),
                                    {},
                                    {},
                                    QStringLiteral("stopped"),
                                    QStringLiteral("0"),
                                    QStringLiteral("0")};
    for (auto _ : state) {
        std::vector<MediaSnapshot> snapshots;
        snapshots.push_back(*MediaPlaybackPolicy::snapshot(musicFields, QStringLiteral("Music")));
        snapshots.push_back(*MediaPlaybackPolicy::snapshot(spotifyFields, QStringLiteral("Spotify")));
        auto selected = MediaPlaybackPolicy::select(snapshots, std::nullopt, {});
        auto tab = MediaPlaybackPolicy::firstMediaTab(listing, QStringLiteral("Google Chrome"),
                                                      QStringLiteral("com.google.Chrome"));
        if (selected) state.SkipWithError("a player was selected");
        benchmark::DoNotOptimize(selected);
        benchmark::DoNotOptimize(tab);
    }
}
BENCHMARK(BM_MediaPolicyPass50Tabs);

} // namespace

BENCHMARK_MAIN();
