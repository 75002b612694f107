#pragma once

#include "core/LocalPersistence.h"
#include "core/QAObserver.h"
#include "modules/SystemMonitor.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"
#include "platform/SystemCounters.h"
#include "platform/SystemLog.h"
#include "platform/linux/PaintingThreadFills.h"
#include "platform/linux/PosixFileManager.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <functional>

namespace vantrel::bench {

// Work is never due inside a measured call: the benchmarks call what they measure directly.
class IdleScheduler final : public Scheduler {
public:
    TaskId schedule(Seconds, std::function<void()>) override { return ++next_; }
    TaskId scheduleRepeating(Seconds, Seconds, std::function<void()>) override { return ++next_; }
    void cancel(TaskId) override {}
    bool isScheduled(TaskId) const override { return false; }

private:
    TaskId next_ = 0;
};

// Keeps the one repeating task so the benchmark can fire it directly.
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

class SilentLog final : public SystemLog {
public:
    void log(LogLevel, const QString&, const QString&, const QString&) override {}
};

// A system monitor over `counters` that samples only when the benchmark calls sample(), its
// observer already added so every sample is kept.
struct SampledMonitor {
    explicit SampledMonitor(SystemCounters& counters) : monitor(counters, scheduler, clock, qa) {
        monitor.addObserver();
    }
    void sample() { scheduler.repeating(); }

    SystemClock clock;
    CapturingScheduler scheduler;
    QString temp = QDir::tempPath();
    PosixFileManager files;
    QAObserver qa{clock, files, AppPaths{temp, temp, temp}};
    SystemMonitor monitor;
};

// The stores' files on the real file system, in a folder of their own removed afterwards; nothing
// scheduled ever runs and nothing is logged.
struct TemporaryPersistence {
    QTemporaryDir dir;
    SystemClock clock;
    IdleScheduler scheduler;
    SilentLog log;
    PosixFileManager files;
    LocalPersistence persistence{LocalPersistence::Store{dir.path() + QStringLiteral("/Vantrel"), &files},
                                 clock, log, QStringLiteral("com.vantrel.mac")};
};

// Whether the arguments ask for the brief pass (scripts/bench.sh --short: each benchmark runs for
// a moment, only to show that it runs). A benchmark that fixes its own iterations over large data
// takes a small case instead.
inline bool isBriefRun(int argc, char** argv) {
    const QByteArray flag("--benchmark_min_time=");
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!argument.startsWith(flag)) continue;
        QByteArray value = argument.mid(flag.size());
        if (value.endsWith('s')) value.chop(1);
        bool ok = false;
        const double seconds = value.toDouble(&ok);
        return ok && seconds < 0.1;
    }
    return false;
}

// The caller has made its application first: the measured widgets and stores need it.
inline int runBenchmarks(int& argc, char** argv) {
    // As in the application: the raster engine's bands of a large fill stay on the painting
    // thread, and the pool has one thread.
    keepFillsOnThePaintingThread();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace vantrel::bench
