#include "BenchSupport.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/DockContentStore.h"
#include "dock/RunningAppsStore.h"
#include "dock/TrashDockButton.h"
#include "modules/FileShelfStore.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/FreedesktopTrash.h"
#include "support/FakeOpenPanel.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"
#include "support/ScriptedAlertPresenter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::bench;
using namespace vantrel::test;

namespace {

// What the Trash tile is built on: the real home trash in a temporary folder, the desktop's fakes,
// and an alert answered "Empty Trash".
struct TileServices {
    TemporaryPersistence files;
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingWorkspace workspace;
    FakeOpenPanel openPanel;
    RecordingRunningApplications running;
    ScriptedAlertPresenter alerts;
    RecordingSharingService sharing;
    RecordingHapticPerformer performer;
    VantrelHaptics haptics{preferences, performer, files.scheduler};
    FileShelfStore shelf{defaults, files.files, files.clock, files.scheduler, workspace, sharing, haptics};
    FreedesktopTrash trash{files.dir.path()};
    RecordingMenuPresenter menus;
    DockContentStore content{files.persistence, workspace, openPanel, running};
    RunningAppsStore store{running, alerts};
    ThreadWorkQueue queue{QStringLiteral("com.vantrel.trash")};

    TileServices() { alerts.answer = 0; }

    DockViewContext context() {
        return {.store = store,
                .content = content,
                .preferences = preferences,
                .shelf = shelf,
                .trash = trash,
                .workspace = workspace,
                .menus = menus,
                .alerts = alerts,
                .scheduler = files.scheduler,
                .log = files.log,
                .trashQueue = &queue,
                .controller = nullptr,
                .motion = nullptr,
                .playHaptic = {},
                .openShelf = {},
                .onContentSizeChange = {}};
    }
};

bool writeFiles(const QString& folder, int count, const char* suffix) {
    if (!QDir().mkpath(folder)) return false;
    const QByteArray base = QFile::encodeName(folder) + "/item";
    for (int i = 0; i < count; ++i) {
        const QByteArray name = base + QByteArray::number(i) + suffix;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        ::close(fd);
    }
    return true;
}

// "Empty Trash…" chosen in the tile's menu over a Trash of 100,000 files and 10,000 info files
// (the brief pass: 1,000 and 100); in the nested case the files are not trashed items but lie in a
// folder at depth 5 of one trashed folder (outer/level2/level3/level4/level5).
// The time is until the tile has its answer; "stall_ms" is the longest the main thread was held at
// once on the way (the call itself, then each turn of its event loop), and "stall_cpu_ms" the
// longest it worked at once, which a busy machine's scheduling does not lengthen.

void BM_EmptyTrashFromTheTile(benchmark::State& state) {
    const int fileCount = int(state.range(0));
    const int depth = int(state.range(1));
    QString folder = QStringLiteral("/files");
    for (int level = 1; level <= depth; ++level)
        folder += level == 1 ? QStringLiteral("/outer") : QStringLiteral("/level%1").arg(level);
    TileServices services;
    const DockViewContext context = services.context();
    double longestStall = 0;
    double longestWork = 0;
    const auto mainThreadTime = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    };
    for (auto _ : state) {
        state.PauseTiming();
        const QString root = services.files.dir.path() + QStringLiteral("/Trash");
        if (!writeFiles(root + folder, fileCount, "") ||
            !writeFiles(root + QStringLiteral("/info"), fileCount / 10, ".trashinfo")) {
            state.SkipWithError("cannot fill the Trash");
            break;
        }
        TrashDockButton tile(context);
        tile.refresh();
        if (tile.isEmpty()) {
            state.SkipWithError("the Trash reads empty");
            break;
        }
        state.ResumeTiming();
        QElapsedTimer whole;
        whole.start();
        QElapsedTimer turn;
        turn.start();
        double worked = mainThreadTime();
        tile.emptyTrash();
        longestStall = std::max(longestStall, double(turn.nsecsElapsed()) / 1e6);
        longestWork = std::max(longestWork, mainThreadTime() - worked);
        while (tile.isEmptying()) {
            turn.restart();
            worked = mainThreadTime();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            longestStall = std::max(longestStall, double(turn.nsecsElapsed()) / 1e6);
            longestWork = std::max(longestWork, mainThreadTime() - worked);
        }
        state.SetIterationTime(double(whole.nsecsElapsed()) / 1e9);
        if (!tile.isEmpty()) {
            state.SkipWithError("the Trash was not emptied");
            break;
        }
    }
    state.counters["stall_ms"] = longestStall;
    state.counters["stall_cpu_ms"] = longestWork;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool brief = isBriefRun(argc, argv);
    benchmark::RegisterBenchmark("BM_EmptyTrashFromTheTile", BM_EmptyTrashFromTheTile)
        ->Args({brief ? 1000 : 100000, 0})
        ->ArgNames({"files", "depth"})
        ->Args({brief ? 1000 : 100000, 5})
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(brief ? 1 : 3);
    return runBenchmarks(argc, argv);
}
