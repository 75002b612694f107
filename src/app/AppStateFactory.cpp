#include "app/AppStateFactory.h"

#include "core/LocalPersistence.h"

#include <QCoreApplication>

#include "app/AppState.h"
#include "core/PermissionCenter.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockPlaceholderView.h"
#include "dock/DockSettingsStore.h"
#include "dock/MissionControlDetector.h"
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
#include "platform/ThreadWorkQueue.h"
#include "platform/UserDefaults.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/FeedbackEngine.h"
#include "services/KeyboardCleaningController.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"

namespace vantrel {

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
    return std::make_unique<KeyboardCleaningController>();
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
    return std::make_unique<FeedbackEngine>(services.preferences);
}
std::unique_ptr<PermissionCenter> AppStateFactory::makePermissions() {
    return std::make_unique<PermissionCenter>(services.permissionSystem, services.calendarStatus,
                                              services.loginItems, services.workspace, services.scheduler);
}
std::unique_ptr<DockSettingsStore> AppStateFactory::makeDockSettings() {
    return std::make_unique<DockSettingsStore>();
}
std::unique_ptr<DockContentStore> AppStateFactory::makeDockContent() {
    return std::make_unique<DockContentStore>(services.persistence, services.workspace, services.openPanel,
                                              services.runningApplications);
}
std::unique_ptr<MenuBarScanner> AppStateFactory::makeMenuBarScanner() {
    return std::make_unique<MenuBarScanner>(services.permissionSystem, services.screens, services.clock,
                                            services.menuBarItems);
}
std::unique_ptr<AutomationEngine> AppStateFactory::makeAutomations() {
    return std::make_unique<AutomationEngine>();
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
            .stacking = services.stacking};
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
            .camera = services.camera};
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
            .pinnedItemCount = [](const DockContentStore&) { return 0; },
            .runningApplicationCount = [] { return 0; },
            .makeDockView = [] { return new DockPlaceholderView; },
            .makeDefaultsClient = {},
            .stacking = services.stacking};
}
std::unique_ptr<CustomDockController> AppStateFactory::makeCustomDockController() {
    return std::make_unique<CustomDockController>(customDockDependencies());
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
    return std::make_unique<CommandPaletteController>(services.screens, services.shell);
}

} // namespace vantrel
