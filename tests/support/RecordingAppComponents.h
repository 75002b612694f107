#pragma once

// Recording fakes of every component AppState owns or holds, all writing to one CallLog, and a
// factory that builds them. Each fake records the call and then does what the real one does.

#include "app/AppStateFactory.h"
#include "core/CapabilityCenter.h"
#include "core/LocalPersistence.h"
#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockSettingsStore.h"
#include "dock/RunningAppsStore.h"
#include "kit/VantrelHaptics.h"
#include "kit/VantrelMotion.h"
#include "modules/AlarmController.h"
#include "modules/MediaController.h"
#include "modules/NotificationSignalStore.h"
#include "notch/DisplayCoordinator.h"
#include "notch/NotchPanelController.h"
#include "platform/InMemoryDefaults.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/FeedbackEngine.h"
#include "services/HotkeyManager.h"
#include "services/KeyboardBacklightSignal.h"
#include "services/KeyboardCleaningController.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"
#include "support/CallLog.h"
#include "support/FakeCalendarService.h"
#include "support/FakeCameraCapture.h"
#include "support/FakeEnvironment.h"
#include "support/FakeFileManager.h"
#include "support/FakeOpenPanel.h"
#include "support/FakePasteboard.h"
#include "support/FakeScreens.h"
#include "support/FakeSleepWakeMonitor.h"
#include "support/FakeSystemAppearance.h"
#include "support/FakeSystemCounters.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingApplicationShell.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingHttpClient.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"
#include "support/ScriptedAlertPresenter.h"
#include "support/ScriptedMediaAutomation.h"
#include "support/TempHome.h"

namespace vantrel::test {

// A recording fake built on `Base`: the first constructor argument is the call log, the rest go
// to `Base`. Each override records its call and then does what the real one does.
template <typename Base> class Recorded : public Base {
public:
    template <typename... Args>
    explicit Recorded(CallLog& log, Args&&... args) : Base(std::forward<Args>(args)...), log_(log) {}

protected:
    CallLog& log_;
};

class RecordingIndicator final : public Recorded<NotificationIndicatorPanelController> {
public:
    using Recorded::Recorded;
    void orderOutPanel() override {
        log_.add(QStringLiteral("indicator.orderOut"));
        NotificationIndicatorPanelController::orderOutPanel();
    }
    void releasePanel() override {
        log_.add(QStringLiteral("indicator.release"));
        NotificationIndicatorPanelController::releasePanel();
    }
};

class RecordingNotchPanelController final : public Recorded<NotchPanelController> {
public:
    RecordingNotchPanelController(CallLog& log, const Dependencies& dependencies)
        : Recorded(log, dependencies) {
        setNotificationIndicator(new RecordingIndicator(log, dependencies.indicator));
    }
    void show(AppState& state) override {
        log_.add(QStringLiteral("notch.show"));
        NotchPanelController::show(state);
    }
    void hide() override {
        log_.add(QStringLiteral("notch.hide"));
        NotchPanelController::hide();
    }
    void expand(std::optional<NotchTab> tab, bool takeFocus) override {
        log_.add(QStringLiteral("notch.expand %1 %2")
                     .arg(tab ? rawValue(*tab) : QStringLiteral("none"), takeFocus ? u"focus" : u"nofocus"));
        NotchPanelController::expand(tab, takeFocus);
    }
};

class RecordingCustomDockController final : public Recorded<CustomDockController> {
public:
    using Recorded::Recorded;
    void hide(bool restoreSynchronously) override {
        log_.add(QStringLiteral("dock.hide %1").arg(restoreSynchronously ? u"sync" : u"async"));
        CustomDockController::hide(restoreSynchronously);
    }
    void setRevealed(bool revealed, bool animated) override {
        log_.add(QStringLiteral("dock.setRevealed %1").arg(revealed ? u"true" : u"false"));
        CustomDockController::setRevealed(revealed, animated);
    }
    void synchronizeSystemDock() override {
        log_.add(QStringLiteral("dock.synchronize"));
        CustomDockController::synchronizeSystemDock();
    }
};

class RecordingFeedbackEngine final : public Recorded<FeedbackEngine> {
public:
    using Recorded::Recorded;
    void start() override {
        log_.add(QStringLiteral("feedback.start"));
        FeedbackEngine::start();
    }
    void stop() override {
        log_.add(QStringLiteral("feedback.stop"));
        FeedbackEngine::stop();
    }
};

class RecordingKeyboardBacklightSignal final : public Recorded<KeyboardBacklightSignal> {
public:
    explicit RecordingKeyboardBacklightSignal(CallLog& log)
        : Recorded(log, [this] { return inputMonitoringAllowed; }) {}
    void start(std::function<void()> completion) override {
        log_.add(QStringLiteral("keyboard.start"));
        KeyboardBacklightSignal::start(std::move(completion));
    }
    void stop() override {
        log_.add(QStringLiteral("keyboard.stop"));
        KeyboardBacklightSignal::stop();
    }
    bool inputMonitoringAllowed = false;
};

class RecordingKeyboardCleaningController final : public Recorded<KeyboardCleaningController> {
public:
    using Recorded::Recorded;
    void start() override {
        log_.add(QStringLiteral("cleaning.start"));
        KeyboardCleaningController::start();
    }
    // A session as the keyboard guard would begin it.
    void activate() { beginSession(0, kSessionSeconds); }
    void stop(StopReason reason) override {
        log_.add(reason == StopReason::appStopping ? QStringLiteral("cleaning.stop appStopping")
                                                   : QStringLiteral("cleaning.stop"));
        KeyboardCleaningController::stop(reason);
    }
};

class RecordingMenuBarAppearanceController final : public Recorded<MenuBarAppearanceController> {
public:
    using Recorded::Recorded;
    void apply(VantrelPreferences& preferences, MenuBarScanner& scanner) override {
        log_.add(QStringLiteral("menuBar.apply"));
        MenuBarAppearanceController::apply(preferences, scanner);
    }
    void hideTint() override {
        log_.add(QStringLiteral("menuBar.hideTint"));
        MenuBarAppearanceController::hideTint();
    }
    void disableItemHiding() override {
        log_.add(QStringLiteral("menuBar.disableItemHiding"));
        MenuBarAppearanceController::disableItemHiding();
    }
};

class RecordingAutomationEngine final : public Recorded<AutomationEngine> {
public:
    using Recorded::Recorded;
    void invalidateTimer() override {
        log_.add(QStringLiteral("automations.invalidateTimer"));
        AutomationEngine::invalidateTimer();
    }
    void revertAllActiveRules() override {
        log_.add(QStringLiteral("automations.revertAllActiveRules"));
        AutomationEngine::revertAllActiveRules();
    }
};

class RecordingCommandPaletteController final : public Recorded<CommandPaletteController> {
public:
    using Recorded::Recorded;
    void uninstall() override {
        log_.add(QStringLiteral("palette.uninstall"));
        CommandPaletteController::uninstall();
    }
    void show(AppState* state, std::optional<ScreenInfo> screen) override {
        log_.add(QStringLiteral("palette.show %1").arg(screen ? screen->name : QStringLiteral("none")));
        CommandPaletteController::show(state, std::move(screen));
    }
};

class RecordingHotkeyManager final : public Recorded<HotkeyManager> {
public:
    using Recorded::Recorded;
    void installEventHandler() override {
        log_.add(QStringLiteral("hotkeys.installEventHandler"));
        HotkeyManager::installEventHandler();
    }
    void registerHotkey(HotkeyAction action, std::function<void()> perform) override {
        log_.add(QStringLiteral("hotkeys.register ") + rawValue(action));
        performs[action] = perform;
        HotkeyManager::registerHotkey(action, std::move(perform));
    }
    void unregisterAll() override {
        log_.add(QStringLiteral("hotkeys.unregisterAll"));
        HotkeyManager::unregisterAll();
    }
    // What a press of each registered key would run.
    std::map<HotkeyAction, std::function<void()>> performs;
};

// The factory that hands AppState the fakes above.
class RecordingAppStateFactory final : public AppStateFactory {
public:
    RecordingAppStateFactory(CallLog& log, Services services) : AppStateFactory(services), log_(log) {}

    // Work queues that run only when the test drains them, on the test's thread.
    std::unique_ptr<WorkQueue> makeWorkQueue(const QString&) override {
        return std::make_unique<ManualWorkQueue>();
    }
    std::unique_ptr<KeyboardCleaningController> makeKeyboardCleaning() override {
        return std::make_unique<RecordingKeyboardCleaningController>(log_);
    }
    std::unique_ptr<FeedbackEngine> makeFeedback() override {
        return std::make_unique<RecordingFeedbackEngine>(log_, services.preferences);
    }
    std::unique_ptr<AutomationEngine> makeAutomations() override {
        return std::make_unique<RecordingAutomationEngine>(log_);
    }
    std::unique_ptr<NotchPanelController> makeNotchController() override {
        NotchPanelController::Dependencies dependencies = notchDependencies();
        dependencies.indicator.root = [this] { return root; };
        return std::make_unique<RecordingNotchPanelController>(log_, dependencies);
    }

    // The application root the alert dot's click reaches.
    AppState* root = nullptr;
    std::unique_ptr<CustomDockController> makeCustomDockController() override {
        return std::make_unique<RecordingCustomDockController>(log_, services.defaults, services.log);
    }
    std::unique_ptr<MenuBarAppearanceController> makeMenuBarAppearance() override {
        return std::make_unique<RecordingMenuBarAppearanceController>(log_);
    }
    std::unique_ptr<CommandPaletteController> makeCommandPalette() override {
        return std::make_unique<RecordingCommandPaletteController>(log_, services.screens, services.shell);
    }

private:
    CallLog& log_;
};

// Everything an AppState needs, built from fakes: the services, the shared instances and the
// recording factory. `log` receives the calls of every component. `stored` writes into the
// standard defaults before any component reads them.
struct AppStateHarness {
    explicit AppStateHarness(std::function<void(UserDefaults&)> stored = {}) : stored_(std::move(stored)) {}

private:
    std::function<void(UserDefaults&)> stored_;
    UserDefaults& seeded(UserDefaults& standard) {
        if (stored_) stored_(standard);
        return standard;
    }

public:
    CallLog log;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeSleepWakeMonitor sleepWake;
    // A 1512 by 982 display with a 185 by 32 notch, the main screen.
    FakeScreens screens{{notchedScreen(1, QRect(0, 0, 1512, 982), 185)},
                        notchedScreen(1, QRect(0, 0, 1512, 982), 185)};
    RecordingApplicationShell shell{log};
    InMemoryDefaultsProvider defaults;
    RecordingSystemLog systemLog;
    TempHome home;
    VantrelPreferences preferences{seeded(defaults.standard())};
    RecordingHotkeyManager hotkeys{log, defaults.standard()};
    RecordingKeyboardBacklightSignal keyboard{log};
    // Real files in the temporary home; every write goes into the call log.
    FakeFileManager files{[this](const FakeFileManager::Call& call) {
        if (call.operation == FakeFileManager::Operation::writeData)
            log.add(QStringLiteral("files.write ") + call.path.section(u'/', -1));
    }};
    QAObserver qaObserver{clock, files, home.paths()};
    FakeEnvironment environment;
    VantrelDiagnostics diagnostics{clock, systemLog, environment, defaults.standard(), qaObserver};
    CapabilityCenter capabilities{diagnostics};
    RecordingPermissionSystem permissionSystem;
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    CalendarAuthorizationStatus calendarStatus = CalendarAuthorizationStatus::notDetermined;
    LocalPersistence persistence{
        {home.paths().dataFolder(), &files}, clock, systemLog, QStringLiteral("com.vantrel.mac")};
    FakePasteboard pasteboard;
    FakeCalendarService calendarService;
    RecordingSharingService sharing;
    FakeOpenPanel openPanel;
    RecordingHapticPerformer hapticPerformer;
    RecordingSoundPlayer sounds{&log};
    AlarmController alarm{preferences, hapticPerformer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    VantrelHaptics haptics{preferences, hapticPerformer, scheduler};
    FakeSystemCounters systemCounters;
    ScriptedMediaAutomation mediaAutomation;
    RecordingHttpClient http;
    DisplayCoordinator displays{screens, diagnostics};
    FakeSystemAppearance appearance;
    VantrelMotion motion{appearance};
    RecordingMenuPresenter menus;
    FakeCameraCapture camera;
    RecordingRunningApplications runningApplications;
    ScriptedAlertPresenter alertPresenter;
    RecordingAppStateFactory factory{log,
                                     {.clock = clock,
                                      .scheduler = scheduler,
                                      .sleepWake = sleepWake,
                                      .screens = screens,
                                      .shell = shell,
                                      .defaults = defaults,
                                      .log = systemLog,
                                      .permissionSystem = permissionSystem,
                                      .loginItems = loginItems,
                                      .workspace = workspace,
                                      .calendarStatus = [this] { return calendarStatus; },
                                      .preferences = preferences,
                                      .hotkeys = hotkeys,
                                      .keyboardBacklight = keyboard,
                                      .capabilities = capabilities,
                                      .qaObserver = qaObserver,
                                      .persistence = persistence,
                                      .pasteboard = pasteboard,
                                      .calendarService = calendarService,
                                      .sharing = sharing,
                                      .openPanel = openPanel,
                                      .alarm = alarm,
                                      .alerts = alerts,
                                      .haptics = haptics,
                                      .systemCounters = systemCounters,
                                      .mediaAutomation = mediaAutomation,
                                      .http = http,
                                      .displays = displays,
                                      .diagnostics = diagnostics,
                                      .motion = motion,
                                      .hapticPerformer = hapticPerformer,
                                      .menus = menus,
                                      .camera = camera,
                                      .runningApplications = runningApplications,
                                      .alertPresenter = alertPresenter}};
};

} // namespace vantrel::test
