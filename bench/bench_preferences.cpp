// Start-up cost of the settings store on a defaults file holding every setting, and the cost of
// one assignment with its write-back.

#include "core/VantrelPreferences.h"
#include "platform/Clock.h"
#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/SyslogSystemLog.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace vantrel;

namespace {

const QString kDomain = QString::fromLatin1(kStandardDefaultsDomain);

struct Environment {
    QTemporaryDir folder;
    SystemClock clock;
    QtScheduler scheduler;
    SyslogSystemLog log;

    std::unique_ptr<JsonFileDefaults> open() {
        return std::make_unique<JsonFileDefaults>(kDomain, folder.path(), &scheduler, clock, log);
    }

    // A defaults file in which every setting, the migration flag and the legacy keys are stored.
    Environment() {
        auto defaults = open();
        VantrelPreferences preferences(*defaults);
#define VANTREL_BENCH_STORE_(name, Name, key, Type, fallback, rule) preferences.set##Name(preferences.name());
        VANTREL_PREFERENCE_SETTINGS(VANTREL_BENCH_STORE_)
#undef VANTREL_BENCH_STORE_
        defaults->flush();
    }
};

Environment& environment() {
    static Environment instance;
    return instance;
}

// The store built on an already loaded file: reading, repairing and the start-up writes.
void BM_ConstructPreferences(benchmark::State& state) {
    auto defaults = environment().open();
    if (defaults->keys().size() < VantrelPreferences::settingCount)
        state.SkipWithError("defaults file incomplete");
    for (auto _ : state) {
        VantrelPreferences preferences(*defaults);
        benchmark::DoNotOptimize(preferences.notchWidgetOrder());
    }
}
BENCHMARK(BM_ConstructPreferences);

// A cold start: parse the file, build the store, and write the file once for the start-up writes.
void BM_LoadFileAndConstructPreferences(benchmark::State& state) {
    for (auto _ : state) {
        auto defaults = environment().open();
        VantrelPreferences preferences(*defaults);
        benchmark::DoNotOptimize(preferences.customDockHideMode());
        defaults->flush();
    }
}
BENCHMARK(BM_LoadFileAndConstructPreferences)->Unit(benchmark::kMicrosecond);

// One assignment: observers notified, the value written back into the defaults domain (the file
// write itself is coalesced and happens later).
void BM_AssignmentWithWriteBack(benchmark::State& state) {
    auto defaults = environment().open();
    VantrelPreferences preferences(*defaults);
    int observed = 0;
    QObject::connect(&preferences, &VantrelPreferences::changed,
                     [&observed](VantrelPreferences::Setting) { ++observed; });
    double size = 40.0;
    for (auto _ : state) {
        preferences.setCustomDockIconSize(size);
        size = size > 90.0 ? 40.0 : size + 0.5;
    }
    benchmark::DoNotOptimize(observed);
}
BENCHMARK(BM_AssignmentWithWriteBack);

// The same with the domain written to disk at once, the worst case of an unbatched assignment.
void BM_AssignmentWithWriteBackAndFlush(benchmark::State& state) {
    auto defaults = environment().open();
    VantrelPreferences preferences(*defaults);
    bool enabled = false;
    for (auto _ : state) {
        preferences.setNotchEnabled(enabled = !enabled);
        defaults->flush();
    }
}
BENCHMARK(BM_AssignmentWithWriteBackAndFlush)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
