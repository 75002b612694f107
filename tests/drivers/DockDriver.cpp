// A small program around the real replacement Dock controller, its system Dock queue, the
// simulated system Dock settings on disk and (under X11) its panel and window list, for tests that
// look at it from outside or kill it without warning.
//
// "dock-driver on": shows the Dock as the application does with "dock.customEnabled" true, says
// "status <text>" once the system Dock is suppressed, then "window <id>", and "settled <revealed>
// <x> <y> <width> <height>" each time a slide has ended. On stdin it takes "quit": the Dock is
// hidden and the system Dock restored as at quit, it says "status <text>" and ends. With
// VANTREL_DRIVER_PAUSE_AFTER_WRITE=<n> it stops for good right after the n-th write to the system
// Dock's settings and says "paused".
// "dock-driver row": as "on", with the real row of tiles over empty stores and a Dock that never
// hides ("dock-driver row hiding": one that slides out as in "on"). Once the Dock has come to
// rest it also says "tile <x> <y> <tooltip>" for each tile (its centre on the screen), and
// "tooltip <text>" each time a tooltip comes up. In every mode the window's shape follows the
// desktop's compositor, and "window <id>" is said again whenever the panel has a new window.
// Under X11, each time the root window's _VANTREL_DRIVER_SYNC property is set it says "synced"
// (after "window <id>" if the panel's window is new): every X event that came before, a change of
// window manager or compositor among them, has been taken in by then.
// "dock-driver off": starts with the Dock off, as the application does, says "status <text>" once
// the system Dock is settled and ends.
// "dock-driver apply": reads the system Dock's native settings as the settings page does, edits
// every one of them (tile size 60, magnified size 100, magnification off, auto-hide on after 0.5
// seconds, no recents, only running applications, translucent hidden ones, on the right, the scale
// effect), applies them, says "status <text>" and ends. With VANTREL_DRIVER_PAUSE_BEFORE_COMMIT=<n>
// it stops for good just before the n-th write of the system Dock's settings file takes the
// file's name, and says "paused".

#include "core/LocalPersistence.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockPlaceholderView.h"
#include "dock/DockSettingsStore.h"
#include "dock/DockTile.h"
#include "dock/FloatingDockPanel.h"
#include "dock/FloatingDockView.h"
#include "dock/MissionControlDetector.h"
#include "dock/ProcessDockDefaultsClient.h"
#include "dock/RunningAppsStore.h"
#include "dock/SystemDockQueue.h"
#include "modules/FileShelfStore.h"
#include "platform/AppPaths.h"
#include "platform/Environment.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FreedesktopTrash.h"
#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/LinuxSharingService.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/LoggingHapticPerformer.h"
#include "platform/linux/PosixFileManager.h"
#include "platform/linux/QtAlertPresenter.h"
#include "platform/linux/QtMenuPresenter.h"
#include "platform/linux/QtOpenPanel.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/X11Desktop.h"
#include "platform/linux/X11RunningApplications.h"
#include "platform/linux/X11WindowList.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <QToolTip>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>
#include <xcb/xcb.h>

using namespace vantrel;

namespace {
void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// The real client, stopping for good after the n-th write it made.
class PausingClient final : public DockDefaultsClient {
public:
    PausingClient(std::unique_ptr<DockDefaultsClient> inner, int& writesLeft)
        : inner_(std::move(inner)), writesLeft_(writesLeft) {}
    DockPreferenceRead read(const QString& key) override { return inner_->read(key); }
    bool write(const QString& key, const QString& flag, const QString& value) override {
        const bool ok = inner_->write(key, flag, value);
        if (writesLeft_ > 0 && --writesLeft_ == 0) {
            say(QStringLiteral("paused"));
            for (;;) ::pause();
        }
        return ok;
    }
    bool deleteKey(const QString& key) override { return inner_->deleteKey(key); }
    bool writeAll(const std::vector<NativeDockSetting>& settings, const QStringList& deletions) override {
        return inner_->writeAll(settings, deletions);
    }
    bool restartDock() override { return inner_->restartDock(); }

private:
    std::unique_ptr<DockDefaultsClient> inner_;
    int& writesLeft_;
};

// Calls `marked` when the root window's _VANTREL_DRIVER_SYNC property changes. X events come in
// the order the server made them, each one passed through every filter and taken in before the next.
class SyncMarker final : public QAbstractNativeEventFilter {
public:
    SyncMarker(QApplication& app, std::function<void()> marked) : marked_(std::move(marked)) {
        auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 ? x11->connection() : nullptr;
        if (!c) return;
        const char name[] = "_VANTREL_DRIVER_SYNC";
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        atom_ = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        app.installNativeEventFilter(this);
    }
    ~SyncMarker() override {
        if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    SyncMarker(const SyncMarker&) = delete;
    SyncMarker& operator=(const SyncMarker&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || atom_ == XCB_ATOM_NONE) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) == XCB_PROPERTY_NOTIFY &&
            reinterpret_cast<const xcb_property_notify_event_t*>(event)->atom == atom_)
            marked_();
        return false;
    }

private:
    std::function<void()> marked_;
    xcb_atom_t atom_ = XCB_ATOM_NONE;
};

bool isSettledText(const QString& status) {
    return !status.endsWith(QChar(0x2026));
}

int applyNativeSettings(QApplication& app, JsonDefaultsProvider& defaults, SystemLog& log) {
    const QString domain = QStringLiteral("com.apple.dock");
    if (const int pauseAt = qEnvironmentVariableIntValue("VANTREL_DRIVER_PAUSE_BEFORE_COMMIT"); pauseAt > 0) {
        auto& file = dynamic_cast<JsonFileDefaults&>(defaults.suite(domain));
        file.setBeforeCommit([pauseAt, commits = 0](const QString&) mutable {
            if (++commits < pauseAt) return;
            say(QStringLiteral("paused"));
            for (;;) ::pause();
        });
    }
    SystemDockQueue queue;
    DockSettingsStore store({
        .systemDockQueue = queue,
        .ownDefaults = defaults.standard(),
        .makeClient = [&]() -> std::unique_ptr<DockDefaultsClient> {
            return std::make_unique<ProcessDockDefaultsClient>(domain, 4.0, defaults, log);
        },
    });
    enum class Step { loading, editing, applying, done } step = Step::loading;
    QObject::connect(&store, &DockSettingsStore::changed, [&] {
        if (store.isLoading() || store.isApplying() || step == Step::editing || step == Step::done) return;
        if (step == Step::applying) {
            step = Step::done;
            say(QStringLiteral("status ") + store.statusMessage());
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
            return;
        }
        step = Step::editing;
        store.setTileSize(60);
        store.setMagnificationSize(100);
        store.setMagnification(false);
        store.setAutoHide(true);
        store.setAutoHideDelay(0.5);
        store.setShowRecents(false);
        store.setShowOnlyRunning(true);
        store.setTranslucentHiddenApps(true);
        store.setPosition(DockPosition::right);
        store.setMinimizeEffect(DockMinimizeEffect::scale);
        step = Step::applying;
        store.apply();
    });
    const int code = app.exec();
    defaults.flushAll();
    return code;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = app.arguments().value(1);
    SystemClock clock;
    QtScheduler scheduler;
    SyslogSystemLog log;
    ProcessEnvironment environment;
    const AppPaths paths = AppPaths::fromEnvironment(environment);
    JsonDefaultsProvider defaults(paths.defaultsFolder(), scheduler, clock, log);
    if (mode == u"apply") return applyNativeSettings(app, defaults, log);
    VantrelPreferences preferences(defaults.standard());
    PosixFileManager files;
    LocalPersistence persistence({paths.dataFolder(), &files}, clock, log, QStringLiteral("com.vantrel.mac"));
    LinuxWorkspace workspace(log);
    QtOpenPanel openPanel(applicationFolders(paths, environment));
    const QByteArray display = qtXcbDisplayName();
    X11RunningApplications running(display, applicationFolders(paths, environment));
    DockContentStore content(persistence, workspace, openPanel, running);
    SystemDockQueue queue;
    QtScreens screens(environment, log);
    X11WindowList windows(display);
    X11Desktop desktop;
    int writesLeft = qEnvironmentVariableIntValue("VANTREL_DRIVER_PAUSE_AFTER_WRITE");
    const bool row = mode == u"row";

    // What the real row reads and acts on.
    QtAlertPresenter alerts;
    QtMenuPresenter menus;
    RunningAppsStore apps(running, alerts);
    LinuxSharingService sharing;
    LoggingHapticPerformer hapticPerformer(log);
    VantrelHaptics haptics(preferences, hapticPerformer, scheduler);
    FileShelfStore shelf(defaults.standard(), files, clock, scheduler, workspace, sharing, haptics);
    FreedesktopTrash trash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    ThreadWorkQueue trashQueue(QStringLiteral("com.vantrel.trash"));
    const bool hiding = app.arguments().value(2) == u"hiding";
    if (row && !hiding) preferences.setCustomDockHideMode(DockHideMode::never);
    CustomDockController* dockController = nullptr;
    const auto makeRow = [&]() -> QWidget* {
        return new FloatingDockView(DockViewContext{.store = apps,
                                                    .content = content,
                                                    .preferences = preferences,
                                                    .shelf = shelf,
                                                    .trash = trash,
                                                    .workspace = workspace,
                                                    .menus = menus,
                                                    .alerts = alerts,
                                                    .scheduler = scheduler,
                                                    .log = log,
                                                    .trashQueue = &trashQueue,
                                                    .controller = nullptr,
                                                    .motion = nullptr,
                                                    .playHaptic = {},
                                                    .openShelf = {},
                                                    .onContentSizeChange = [&dockController](QSizeF size) {
                                                        if (dockController)
                                                            dockController->contentSizeChanged(size);
                                                    }});
    };

    CustomDockController controller({
        .defaults = defaults,
        .log = log,
        .systemDockQueue = queue,
        .windowListQueue =
            std::make_unique<ThreadWorkQueue>(QStringLiteral("com.vantrel.mission-control-monitor")),
        .windows = windows,
        .scheduler = scheduler,
        .clock = clock,
        .screens = screens,
        .ownProcessId = QCoreApplication::applicationPid(),
        .prefersReducedMotion = [] { return false; },
        .missionControlActive = &MissionControlDetector::isActive,
        .pinnedItemCount = [](const DockContentStore&) { return 0; },
        .runningApplicationCount = [] { return 0; },
        .makeDockView = [&]() -> QWidget* { return row ? makeRow() : new DockPlaceholderView; },
        .makeDefaultsClient = [&]() -> std::unique_ptr<DockDefaultsClient> {
            return std::make_unique<PausingClient>(std::make_unique<ProcessDockDefaultsClient>(
                                                       QStringLiteral("com.apple.dock"), 4.0, defaults, log),
                                                   writesLeft);
        },
        .stacking = &desktop,
        .compositor = &desktop,
    });
    dockController = &controller;

    // Reports each slide once it has come to rest.
    bool lastRevealed = controller.isDockRevealed();
    QRect lastFrame;
    QTimer settle;
    WId lastWindow = 0;
    QObject::connect(&settle, &QTimer::timeout, [&] {
        if (!controller.panel() || controller.isSlideInFlight()) return;
        if (const WId window = controller.panel()->internalWinId(); window && window != lastWindow) {
            lastWindow = window;
            say(QStringLiteral("window %1").arg(window));
        }
        const QRect frame = controller.panel()->frame();
        if (controller.isDockRevealed() == lastRevealed && frame == lastFrame) return;
        lastRevealed = controller.isDockRevealed();
        lastFrame = frame;
        say(QStringLiteral("settled %1 %2 %3 %4 %5")
                .arg(int(lastRevealed))
                .arg(frame.x())
                .arg(frame.y())
                .arg(frame.width())
                .arg(frame.height()));
        auto* view = qobject_cast<FloatingDockView*>(controller.panel()->contentView());
        // Once the panel has taken the row's own size.
        if (!view || !lastRevealed || frame.size() != view->sizeHint()) return;
        for (const DockTile* tile : view->tiles()) {
            const QPoint centre = tile->mapToGlobal(tile->rect().center());
            say(QStringLiteral("tile %1 %2 %3").arg(centre.x()).arg(centre.y()).arg(tile->toolTip()));
        }
    });

    // Answers the test's marker once what came before it has been taken in.
    const SyncMarker sync(app, [&] {
        if (const WId window = controller.panel() ? controller.panel()->internalWinId() : 0;
            window && window != lastWindow) {
            lastWindow = window;
            say(QStringLiteral("window %1").arg(window));
        }
        say(QStringLiteral("synced"));
    });

    // Reports each tooltip as it comes up.
    QString lastTip;
    QTimer tips;
    QObject::connect(&tips, &QTimer::timeout, [&] {
        const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
        if (tip == lastTip) return;
        lastTip = tip;
        if (!tip.isEmpty()) say(QStringLiteral("tooltip ") + tip);
    });
    if (row) tips.start(20);

    bool quitting = false;
    QObject::connect(&controller, &CustomDockController::statusMessageChanged, [&](const QString& status) {
        if (!isSettledText(status)) return;
        say(QStringLiteral("status ") + status);
        if (mode == u"off" || quitting) QTimer::singleShot(0, &app, &QCoreApplication::quit);
        if ((mode == u"on" || row) && controller.panel()) {
            lastWindow = controller.panel()->winId();
            say(QStringLiteral("window %1").arg(lastWindow));
            // Slides are reported from here on, so the lines always come in this order.
            if (!settle.isActive()) settle.start(20);
        }
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        if (!std::fgets(line, sizeof line, stdin) || QByteArray(line).trimmed() == "quit") {
            input.setEnabled(false);
            quitting = true;
            settle.stop();
            controller.hide(true);
        }
    });

    if (mode == u"on" || row) {
        controller.show(preferences, content);
    } else if (mode == u"off") {
        // The switch-off sequence of applying the settings.
        controller.setWantsSystemDockSuppressed(false);
        controller.setShouldVerifyInitialPendingSuppression(false);
        controller.setIsEditingItems(false);
        controller.setRevealed(true, true);
        controller.synchronizeSystemDock();
        input.setEnabled(false);
    } else {
        return 2;
    }
    const int code = app.exec();
    defaults.flushAll();
    return code;
}
