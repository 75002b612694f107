#include "BenchSupport.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/DockContentStore.h"
#include "dock/DockTile.h"
#include "dock/FloatingDockView.h"
#include "dock/RunningAppsStore.h"
#include "modules/FileShelfStore.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/BoundedIcon.h"
#include "platform/linux/HeapMemory.h"
#include "platform/linux/IconThemes.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/FakeOpenPanel.h"
#include "support/FakeTrash.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"
#include "support/ScriptedAlertPresenter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QPainter>
#include <QTextStream>
#include <malloc.h>

using namespace vantrel;
using namespace vantrel::bench;
using namespace vantrel::test;

namespace {

QIcon appIcon(int hue) {
    QPixmap pixmap(128, 128);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromHsv(hue % 360, 180, 230));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 120, 120), 28, 28);
    return QIcon(pixmap);
}

// What every row below is built on besides its applications and pinned items: the settings, the
// desktop's fakes and the file shelf.
struct RowServices {
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
    FakeTrash trash;
    RecordingMenuPresenter menus;

    // Writes `pinned` as "dock-shortcuts.json"; false when it cannot.
    bool writePinned(const std::vector<DockShortcut>& pinned) {
        QDir().mkpath(files.dir.path() + QStringLiteral("/Vantrel"));
        QFile file(files.dir.path() + QStringLiteral("/Vantrel/") + DockContentStore::kFileName);
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(QJsonDocument(DockShortcut::encodeList(pinned).toArray()).toJson(QJsonDocument::Compact));
        return true;
    }
    DockViewContext context(RunningAppsStore& store, DockContentStore& content, Workspace* icons = nullptr) {
        return {.store = store,
                .content = content,
                .preferences = preferences,
                .shelf = shelf,
                .trash = trash,
                .workspace = icons ? *icons : workspace,
                .menus = menus,
                .alerts = alerts,
                .scheduler = files.scheduler,
                .log = files.log,
                .controller = nullptr,
                .motion = nullptr,
                .playHaptic = {},
                .openShelf = {},
                .onContentSizeChange = {}};
    }
};

// The Dock at 1512 points wide with 30 tiles (12 pinned, 16 running, the shelf and the Trash),
// 32-point icons so the row fits, one running tile magnified to 1.6 with its name bubble shown.
void BM_DockRowFrame(benchmark::State& state) {
    RowServices row;
    row.preferences.setCustomDockIconSize(32);
    row.preferences.setCustomDockIconAnimation(DockIconAnimation::magnify);
    row.preferences.setCustomDockMagnificationScale(1.6);
    for (int i = 0; i < 16; ++i) {
        RunningApplication app;
        app.processIdentifier = 100 + i;
        app.localizedName = QStringLiteral("Application number %1").arg(i);
        app.bundleIdentifier = QStringLiteral("app%1.desktop").arg(i);
        app.icon = appIcon(i * 23);
        row.running.applications.push_back(app);
    }
    row.running.frontmost = 100;
    std::vector<DockShortcut> pinned;
    for (int i = 0; i < 12; ++i) {
        const QString path = QStringLiteral("/apps/pinned%1.desktop").arg(i);
        row.workspace.icons[path] = appIcon(200 + i * 13);
        pinned.push_back({QUuid::createUuid(), QStringLiteral("Pinned %1").arg(i), path,
                          i % 4 == 3 ? DockShortcut::Kind::folder : DockShortcut::Kind::application,
                          i % 4 == 3 ? std::optional(DockFolderColor::blue) : std::nullopt});
    }
    if (!row.writePinned(pinned)) state.SkipWithError("cannot write the pinned items");
    DockContentStore content(row.files.persistence, row.workspace, row.openPanel, row.running);
    RunningAppsStore store(row.running, row.alerts);
    row.trash.items = {QStringLiteral("old.txt")};
    FloatingDockView view(row.context(store, content));
    view.resize(1512, int(view.layout().size.height()));
    if (view.tiles().size() != 30) state.SkipWithError("the row does not hold 30 tiles");
    DockTile* magnified = view.tiles()[16];
    magnified->setHovering(true);
    if (auto* animation = magnified->effect().animation()) animation->setCurrentTime(animation->duration());
    if (auto* fade = magnified->label().animation()) fade->setCurrentTime(fade->duration());
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Start-up with `state.range(0)` pinned items in "dock-shortcuts.json" (every tenth a separator):
// the file is read and the row built, which stays linear in the items however many there are.
void BM_DockViewBuildFromFile(benchmark::State& state) {
    const auto count = int(state.range(0));
    RowServices row;
    std::vector<DockShortcut> pinned;
    pinned.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        pinned.push_back({QUuid::createUuid(), QStringLiteral("Website %1").arg(i),
                          QStringLiteral("https://example.org/%1").arg(i),
                          i % 10 == 9 ? DockShortcut::Kind::separator : DockShortcut::Kind::website,
                          std::nullopt});
    if (!row.writePinned(pinned)) state.SkipWithError("cannot write the pinned items");
    RunningAppsStore store(row.running, row.alerts);
    for (auto _ : state) {
        DockContentStore content(row.files.persistence, row.workspace, row.openPanel, row.running);
        FloatingDockView view(row.context(store, content));
        benchmark::DoNotOptimize(view.tiles().size());
    }
    state.SetComplexityN(count);
}

// The row rebuilt with `state.range(0)` running applications, as after a change of the active
// window: one pass, whatever their number.
void BM_DockViewRebuildRunning(benchmark::State& state) {
    const auto count = int(state.range(0));
    RowServices row;
    QPixmap small(8, 8);
    small.fill(Qt::darkCyan);
    const QIcon icon(small);
    for (int i = 0; i < count; ++i) {
        RunningApplication app;
        app.processIdentifier = 1000 + i;
        app.localizedName = QStringLiteral("Application %1").arg(i, 6, 10, QLatin1Char('0'));
        app.bundleIdentifier = QStringLiteral("app%1.desktop").arg(i);
        app.icon = icon;
        row.running.applications.push_back(app);
    }
    row.running.frontmost = 1000;
    DockContentStore content(row.files.persistence, row.workspace, row.openPanel, row.running);
    RunningAppsStore store(row.running, row.alerts);
    FloatingDockView view(row.context(store, content));
    // However many run, the Dock shows its first ones only.
    const std::size_t shown = std::min(std::size_t(count), RunningAppsStore::kMaximumApps);
    if (view.tiles().size() != shown + 2) state.SkipWithError("not one tile per application shown");
    for (auto _ : state) {
        view.rebuild();
        benchmark::DoNotOptimize(view.tiles().size());
    }
    state.SetComplexityN(count);
}

// The process's anonymous resident memory and its proportional set size, in MiB.
struct Memory {
    double anonymous = 0;
    double proportional = 0;
};
Memory memoryNow() {
    const auto field = [](const QString& file, QStringView name) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return 0.0;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (QString::fromLatin1(line).startsWith(name))
                return QString::fromLatin1(line)
                           .section(QLatin1Char(':'), 1)
                           .trimmed()
                           .section(QLatin1Char(' '), 0, 0)
                           .toDouble() /
                       1024;
        return 0.0;
    };
    return {field(QStringLiteral("/proc/self/status"), u"RssAnon:"),
            field(QStringLiteral("/proc/self/smaps_rollup"), u"Pss:")};
}

// Start-up with `state.range(0)` pinned items on the real desktop's icons, two in three folders
// and the others websites, over the Dock without them: memory grows by what each tile keeps,
// and every folder tile keeps the same folder icon. Once per process, as the first build is what
// start-up pays (the icon themes are read before, as they are off the main thread in the program).
void BM_DockStartWithPinnedFolders(benchmark::State& state) {
    const auto count = int(state.range(0));
    RowServices row;
    IconThemes themes;
    LinuxWorkspace workspace(row.files.log, {}, &themes);
    std::vector<DockShortcut> pinned;
    for (int i = 0; i < count; ++i) {
        const QString folder = row.files.dir.path() + QStringLiteral("/folders/%1").arg(i);
        const bool website = i % 3 == 2;
        if (!website) QDir().mkpath(folder);
        pinned.push_back({QUuid::createUuid(), QStringLiteral("Item %1").arg(i),
                          website ? QStringLiteral("https://example.org/%1").arg(i) : folder,
                          website ? DockShortcut::Kind::website : DockShortcut::Kind::folder, std::nullopt});
    }
    RunningAppsStore store(row.running, row.alerts);
    // The themes read, and the empty Dock built once.
    workspace.iconForFile(row.files.dir.path());
    if (!row.writePinned({})) state.SkipWithError("cannot write the pinned items");
    {
        DockContentStore content(row.files.persistence, workspace, row.openPanel, row.running);
        FloatingDockView view(row.context(store, content, &workspace));
    }
    if (!row.writePinned(pinned)) state.SkipWithError("cannot write the pinned items");
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const Memory before = memoryNow();
        state.ResumeTiming();
        auto content =
            std::make_unique<DockContentStore>(row.files.persistence, workspace, row.openPanel, row.running);
        auto view = std::make_unique<FloatingDockView>(row.context(store, *content, &workspace));
        benchmark::DoNotOptimize(view->tiles().size());
        state.PauseTiming();
        malloc_trim(0);
        const Memory after = memoryNow();
        state.counters["anon_MiB"] = after.anonymous - before.anonymous;
        state.counters["pss_MiB"] = after.proportional - before.proportional;
        if (view->tiles().size() < std::size_t(count)) state.SkipWithError("not one tile per item");
        view.reset();
        content.reset();
        state.ResumeTiming();
    }
    state.SetLabel(QStringLiteral("icon theme %1").arg(QIcon::themeName()).toStdString());
}

// A drawing as an icon theme holds an application's icon: a rounded square in a gradient, a disc
// and a dozen curves, some 2 KB.
QByteArray themedDrawing(int seed) {
    quint32 state = quint32(seed) * 2654435761u + 1;
    const auto next = [&state](int range) {
        return int((state = state * 1664525u + 1013904223u) >> 8) % range;
    };
    const auto colour = [&] { return QStringLiteral("#%1").arg(next(0xffffff), 6, 16, QLatin1Char('0')); };
    QString svg =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\">"
                       "<defs><linearGradient id=\"g\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
                       "stop-color=\"%1\"/><stop offset=\"1\" stop-color=\"%2\"/></linearGradient></defs>"
                       "<rect x=\"2\" y=\"2\" width=\"44\" height=\"44\" rx=\"10\" fill=\"url(#g)\"/>"
                       "<circle cx=\"24\" cy=\"24\" r=\"%3\" fill=\"%4\"/>")
            .arg(colour(), colour())
            .arg(6 + next(10))
            .arg(colour());
    for (int i = 0; i < 12; ++i)
        svg += QStringLiteral("<path d=\"M%1 %2 C %3 %4 %5 %6 %7 %8 Z\" fill=\"%9\" opacity=\"0.8\"/>")
                   .arg(next(48))
                   .arg(next(48))
                   .arg(next(48))
                   .arg(next(48))
                   .arg(next(48))
                   .arg(next(48))
                   .arg(next(48))
                   .arg(next(48))
                   .arg(colour());
    return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

// Start-up with `state.range(0)` pinned applications whose entries name drawings of an icon theme
// (most of the row out of view), over the Dock without them, once every drawing is decoded on the
// themes' queue as in the program and a quiet spell has passed: memory grows by what each tile
// keeps (goal: 10 MiB or less for 300).
void BM_DockStartWithPinnedThemedApplications(benchmark::State& state) {
    const auto count = int(state.range(0));
    RowServices row;
    const QString icons = row.files.dir.path() + QStringLiteral("/icons");
    const QString entries = row.files.dir.path() + QStringLiteral("/applications");
    QDir().mkpath(icons + QStringLiteral("/themed/scalable/apps"));
    QDir().mkpath(entries);
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    write(
        icons + QStringLiteral("/themed/index.theme"),
        "[Icon Theme]\nName=Themed\nDirectories=scalable/apps\n\n[scalable/apps]\nSize=48\nType=Scalable\n");
    std::vector<DockShortcut> pinned;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("app-%1").arg(i);
        write(icons + QStringLiteral("/themed/scalable/apps/") + name + QStringLiteral(".svg"),
              themedDrawing(i));
        const QString entry = entries + QLatin1Char('/') + name + QStringLiteral(".desktop");
        write(entry, "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                         "\nExec=true\nIcon=" + name.toUtf8() + "\n");
        pinned.push_back({QUuid::createUuid(), name, entry, DockShortcut::Kind::application, std::nullopt});
    }
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({icons});
    QIcon::setThemeName(QStringLiteral("themed"));
    {
        ThreadWorkQueue reader(QStringLiteral("icon-themes"));
        ManualClock clock;
        ManualScheduler scheduler(clock);
        IconThemes themes(&reader, &scheduler);
        LinuxWorkspace workspace(row.files.log, {}, &themes);
        RunningAppsStore store(row.running, row.alerts);
        // The queue's work done and told, every tile's picture taken, and the quiet spell over.
        const auto settle = [&] {
            for (int i = 0; i < 4; ++i) {
                reader.sync([] {});
                QCoreApplication::processEvents();
                scheduler.advance(Seconds(0.016));
                QCoreApplication::processEvents();
            }
            scheduler.advance(Seconds(10));
            reader.sync([] {});
        };
        themes.files(QStringLiteral("app-0"));
        settle();
        if (!row.writePinned({})) state.SkipWithError("cannot write the pinned items");
        {
            DockContentStore content(row.files.persistence, workspace, row.openPanel, row.running);
            FloatingDockView view(row.context(store, content, &workspace));
            settle();
        }
        if (!row.writePinned(pinned)) state.SkipWithError("cannot write the pinned items");
        for (auto _ : state) {
            state.PauseTiming();
            settle();
            const Memory before = memoryNow();
            state.ResumeTiming();
            auto content = std::make_unique<DockContentStore>(row.files.persistence, workspace, row.openPanel,
                                                              row.running);
            auto view = std::make_unique<FloatingDockView>(row.context(store, *content, &workspace));
            benchmark::DoNotOptimize(view->tiles().size());
            state.PauseTiming();
            settle();
            const Memory after = memoryNow();
            state.counters["anon_MiB"] = after.anonymous - before.anonymous;
            state.counters["pss_MiB"] = after.proportional - before.proportional;
            if (view->tiles().size() < std::size_t(count)) state.SkipWithError("not one tile per item");
            view.reset();
            content.reset();
            state.ResumeTiming();
        }
    }
    QIcon::setThemeName(theme);
    QIcon::setThemeSearchPaths(paths);
}

} // namespace

BENCHMARK(BM_DockStartWithPinnedThemedApplications)->Arg(300)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DockStartWithPinnedFolders)
    ->Arg(300)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DockRowFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DockViewBuildFromFile)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(2)
    ->Range(2500, 20000)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_DockViewRebuildRunning)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(2)
    ->Range(2500, 20000)
    ->Complexity(benchmark::oN);

int main(int argc, char** argv) {
    // As the program does.
    mapLargeBlocksApart();
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
