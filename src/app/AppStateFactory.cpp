#include "app/AppStateFactory.h"

#include "core/LocalPersistence.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "app/AppState.h"
#include "core/PermissionCenter.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockSettingsStore.h"
#include "dock/DockViewContext.h"
#include "dock/FloatingDockView.h"
#include "dock/MissionControlDetector.h"
#include "dock/ProcessDockDefaultsClient.h"
#include "dock/RunningAppsStore.h"
#include "kit/VantrelMotion.h"
#include "modules/BookmarksStore.h"
#include "modules/CalendarStore.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/MediaController.h"
#include "modules/NotesStore.h"
#include "modules/NotificationSignalStore.h"
#include "modules/StopwatchStore.h"
#include "modules/SystemMonitor.h"
#include "modules/TimerAlarm.h"
#include "notch/NotchPanelController.h"
#include "platform/RunningApplications.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/UserDefaults.h"
#include "platform/linux/FreedesktopTrash.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/FeedbackEngine.h"
#include "services/KeyboardCleaningController.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"

namespace vantrel {

AppStateFactory::AppStateFactory(Services services) : services(services) {
    if (!this->services.trash) {
        ownTrash_ = std::make_unique<FreedesktopTrash>(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        this->services.trash = ownTrash_.get();
    }
}

AppStateFactory::~AppStateFactory() {
    quitting_ = true;
}

std::unique_ptr<WorkQueue>
AppStateFactory::makeWorkQueue(const QString& label, std::optional<std::chrono::milliseconds> abandonAfter) {
    return std::make_unique<ThreadWorkQueue>(label, abandonAfter);
}
std::unique_ptr<ClipboardStore> AppStateFactory::makeClipboard() {
    const auto playControlsHaptic = [] {
        if (auto* haptics = VantrelHaptics::sharedIfInstalled()) haptics->play(HapticSurface::controls);
    };
    return std::make_unique<ClipboardStore>(
        services.pasteboard, services.persistence, services.clock, services.scheduler,
        makeWorkQueue(QStringLiteral("clipboard.write")), playControlsHaptic);
}
std::unique_ptr<NotesStore> AppStateFactory::makeNotes(const QString& storageName) {
    return std::make_unique<NotesStore>(storageName, services.persistence, services.qaObserver,
                                        services.clock, services.scheduler);
}
std::unique_ptr<BookmarksStore> AppStateFactory::makeBookmarks() {
    return std::make_unique<BookmarksStore>(services.persistence, services.workspace, services.openPanel);
}
std::unique_ptr<FocusTimer> AppStateFactory::makeFocus() {
    return std::make_unique<FocusTimer>(services.defaults.standard(),
                                        TimerAlarm(services.alarm, services.alerts, services.preferences),
                                        services.clock, services.scheduler);
}
std::unique_ptr<StopwatchStore> AppStateFactory::makeStopwatch() {
    return std::make_unique<StopwatchStore>(TimerAlarm(services.alarm, services.alerts, services.preferences),
                                            services.haptics, services.clock, services.scheduler);
}
std::unique_ptr<KeyboardCleaningController> AppStateFactory::makeKeyboardCleaning() {
    return std::make_unique<KeyboardCleaningController>(
        KeyboardCleaningController::Dependencies{.permissions = services.permissionSystem,
                                                 .guard = services.keyboardGuard,
                                                 .clock = services.clock,
                                                 .scheduler = services.scheduler,
                                                 .playControlsHaptic = [] {
                                                     if (auto* haptics = VantrelHaptics::sharedIfInstalled())
                                                         haptics->play(HapticSurface::controls);
                                                 }});
}
std::unique_ptr<SystemMonitor> AppStateFactory::makeSystemMonitor() {
    return std::make_unique<SystemMonitor>(services.systemCounters, services.scheduler, services.clock,
                                           services.qaObserver);
}
std::unique_ptr<MediaController> AppStateFactory::makeMedia() {
    return std::make_unique<MediaController>(
        services.mediaAutomation,
        // A player may never answer: quitting waits a
        // quarter second for it at most.
        makeWorkQueue(QStringLiteral("com.vantrel.media"), std::chrono::milliseconds(250)), services.http,
        services.scheduler);
}
std::unique_ptr<FileShelfStore> AppStateFactory::makeFileShelf() {
    return std::make_unique<FileShelfStore>(
        services.defaults.standard(), *services.persistence.store().fileManager, services.clock,
        services.scheduler, services.workspace, services.sharing, services.haptics);
}
std::unique_ptr<CalendarStore> AppStateFactory::makeCalendar() {
    return std::make_unique<CalendarStore>(services.calendarService, services.clock, services.scheduler);
}
std::unique_ptr<FeedbackEngine> AppStateFactory::makeFeedback() {
    return std::make_unique<FeedbackEngine>(feedbackDependencies());
}
FeedbackEngine::Dependencies AppStateFactory::feedbackDependencies() const {
    return {.monitors = services.eventMonitors,
            .performer = services.hapticPerformer,
            .clock = services.clock,
            .scheduler = services.scheduler,
            .qaObserver = services.qaObserver};
}
std::unique_ptr<PermissionCenter> AppStateFactory::makePermissions() {
    return std::make_unique<PermissionCenter>(services.permissionSystem, services.calendarStatus,
                                              services.loginItems, services.workspace, services.scheduler);
}
std::unique_ptr<DockSettingsStore> AppStateFactory::makeDockSettings() {
    UserDefaultsProvider* defaults = &services.defaults;
    SystemLog* log = &services.log;
    return std::make_unique<DockSettingsStore>(DockSettingsStore::Dependencies{
        .systemDockQueue = services.systemDockQueue,
        .ownDefaults = services.defaults.standard(),
        .makeClient = [defaults, log] { return makeSystemDockClient(*defaults, *log); }});
}
std::unique_ptr<DockDefaultsClient> AppStateFactory::makeSystemDockClient(UserDefaultsProvider& defaults,
                                                                          SystemLog& log) {
    return std::make_unique<ProcessDockDefaultsClient>(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
}
std::unique_ptr<DockContentStore> AppStateFactory::makeDockContent() {
    return std::make_unique<DockContentStore>(services.persistence, services.workspace, services.openPanel,
                                              services.runningApplications);
}
std::unique_ptr<MenuBarScanner> AppStateFactory::makeMenuBarScanner() {
    return std::make_unique<MenuBarScanner>(services.permissionSystem, services.screens, services.clock,
                                            services.menuBarItems);
}
std::unique_ptr<AutomationEngine> AppStateFactory::makeAutomations(FocusTimer& focus) {
    return std::make_unique<AutomationEngine>(automationDependencies(focus));
}
AutomationEngine::Dependencies AppStateFactory::automationDependencies(FocusTimer& focus) const {
    return {.persistence = services.persistence,
            .preferences = services.preferences,
            .focus = focus,
            .clock = services.clock,
            .scheduler = services.scheduler,
            .runningApplications = &services.runningApplications,
            .power = services.power};
}
std::unique_ptr<NotchPanelController> AppStateFactory::makeNotchController(AppState& state) {
    return std::make_unique<NotchPanelController>(notchDependencies(state), notchSurface(state));
}
NotchPanelController::Dependencies AppStateFactory::notchDependencies(AppState& state) const {
    return {.scheduler = services.scheduler,
            .screens = services.screens,
            .displays = services.displays,
            .diagnostics = services.diagnostics,
            .inputFocus = services.inputFocus,
            .preferences = services.preferences,
            .haptics = services.haptics,
            .hapticPerformer = services.hapticPerformer,
            .motion = services.motion,
            .indicator = {.alerts = services.alerts,
                          .preferences = services.preferences,
                          .displays = services.displays,
                          .screens = services.screens,
                          .inputFocus = services.inputFocus,
                          .shell = services.shell,
                          .openNotificationsSection =
                              [&state] { state.showSection(VantrelSection::notifications); },
                          .compositor = services.compositor,
                          .stacking = services.stacking},
            .compositor = services.compositor,
            .stacking = services.stacking,
            .backdropBlur = services.backdropBlur,
            .clicks = &services.eventMonitors};
}
NotchSurfaceContext AppStateFactory::notchSurface(AppState& state) const {
    return {.preferences = services.preferences,
            .media = state.media(),
            .calendar = state.calendar(),
            .fileShelf = state.fileShelf(),
            .clipboard = state.clipboard(),
            .notes = state.notes(),
            .bookmarks = state.bookmarks(),
            .focus = state.focus(),
            .stopwatch = state.stopwatch(),
            .systemMonitor = state.systemMonitor(),
            .permissions = state.permissions(),
            .qaObserver = services.qaObserver,
            .clock = services.clock,
            .workspace = services.workspace,
            .menus = services.menus,
            .camera = services.camera,
            .fileNotices = services.persistence.notices()};
}
std::unique_ptr<RunningAppsStore> AppStateFactory::makeRunningApps() {
    return std::make_unique<RunningAppsStore>(services.runningApplications, services.alertPresenter);
}
CustomDockController::Dependencies AppStateFactory::customDockDependencies() {
    const VantrelMotion* motion = &services.motion;
    return {.defaults = services.defaults,
            .log = services.log,
            .systemDockQueue = services.systemDockQueue,
            .windowListQueue = makeWorkQueue(QStringLiteral("com.vantrel.mission-control-monitor")),
            .windows = services.windowList,
            .scheduler = services.scheduler,
            .clock = services.clock,
            .screens = services.screens,
            .ownProcessId = QCoreApplication::applicationPid(),
            .prefersReducedMotion = [motion] { return motion->prefersReducedMotion(); },
            .missionControlActive = &MissionControlDetector::isActive,
            .pinnedItemCount = [](const DockContentStore& content) { return int(content.items().size()); },
            .runningApplicationCount =
                [running = &services.runningApplications] {
                    const std::vector<RunningApplication> apps = running->runningApplications();
                    return int(std::count_if(apps.begin(), apps.end(), [](const RunningApplication& app) {
                        return app.isRegular && !app.isTerminated;
                    }));
                },
            // The row over the state's stores is handed in once the state is built.
            .makeDockView = {},
            .makeDefaultsClient = {},
            .stacking = services.stacking,
            .compositor = services.compositor};
}
std::unique_ptr<CustomDockController> AppStateFactory::makeCustomDockController() {
    return std::make_unique<CustomDockController>(customDockDependencies());
}
std::function<QWidget*()> AppStateFactory::makeDockView(AppState& state) {
    return [this, &state] {
        CustomDockController* controller = &state.customDockController();
        if (!trashQueue_) trashQueue_ = makeWorkQueue(QStringLiteral("com.vantrel.trash"));
        DockViewContext context{
            .store = state.runningApps(),
            .content = state.dockContent(),
            .preferences = services.preferences,
            .shelf = state.fileShelf(),
            .trash = *services.trash,
            .workspace = services.workspace,
            .menus = services.menus,
            .alerts = services.alertPresenter,
            .scheduler = services.scheduler,
            .log = services.log,
            .trashQueue = trashQueue_.get(),
            .quitting = &quitting_,
            .controller = controller,
            .motion = &services.motion,
            .playHaptic = [haptics = &services.haptics](HapticSurface surface) { haptics->play(surface); },
            .openShelf = [&state] { state.showNotch(NotchTab::files, true); },
            .onContentSizeChange = [controller](QSizeF size) { controller->contentSizeChanged(size); }};
        return new FloatingDockView(std::move(context));
    };
}

MenuBarAppearanceController::Dependencies AppStateFactory::menuBarAppearanceDependencies() {
    return {.statusBar = services.statusBar,
            .defaults = services.defaults,
            .screens = services.screens,
            .scheduler = services.scheduler,
            .haptics = &services.haptics};
}
std::unique_ptr<MenuBarAppearanceController> AppStateFactory::makeMenuBarAppearance() {
    return std::make_unique<MenuBarAppearanceController>(menuBarAppearanceDependencies());
}
std::unique_ptr<CommandPaletteController> AppStateFactory::makeCommandPalette() {
    auto palette = std::make_unique<CommandPaletteController>(services.screens, services.shell,
                                                              &services.inputFocus, &services.hotkeys);
    palette->setDesktop(services.compositor);
    palette->watchClicks(&services.eventMonitors, &services.scheduler);
    return palette;
}

} // namespace vantrel
