#include "BenchSupport.h"
#include "modules/MediaPlaybackPolicy.h"
#include "modules/SystemMonitor.h"
#include "platform/linux/ProcSystemCounters.h"

#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

void BM_MonitorSampleRealProc(benchmark::State& state) {
    ProcSystemCounters counters;
    bench::SampledMonitor sampled(counters);
    for (auto _ : state) {
        sampled.sample();
        benchmark::DoNotOptimize(sampled.monitor.cpuUsage());
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
