#pragma once

// The factory that builds AppState on the recording fakes, and everything an AppState needs.

#include "app/AppStateFactory.h"
#include "app/ControlCenterWiring.h"
#include "support/ControlCenterHarness.h"
#include "support/RecordingComponents.h"
#include "support/ServiceFakes.h"

#include <utility>
#include <vector>

namespace vantrel::test {

// The factory that hands AppState the recording fakes.
class RecordingAppStateFactory final : public AppStateFactory {
public:
    RecordingAppStateFactory(CallLog& log, Services services) : AppStateFactory(services), log_(log) {}

    // Work queues that run only when the test drains them, on the test's thread. Each one asked
    // for is listed in `workQueues` with its label and how long its destruction may wait.
    std::unique_ptr<WorkQueue> makeWorkQueue(const QString& label,
                                             std::optional<std::chrono::milliseconds> abandonAfter) override {
        workQueues.emplace_back(label, abandonAfter);
        if (threadedQueue == label) return AppStateFactory::makeWorkQueue(label, abandonAfter);
        return std::make_unique<ManualWorkQueue>();
    }
    std::vector<std::pair<QString, std::optional<std::chrono::milliseconds>>> workQueues;
    // The one queue, by label, that gets a thread of its own as in production.
    QString threadedQueue;

    std::unique_ptr<KeyboardCleaningController> makeKeyboardCleaning() override {
        return std::make_unique<RecordingKeyboardCleaningController>(log_);
    }
    std::unique_ptr<FeedbackEngine> makeFeedback() override {
        return std::make_unique<RecordingFeedbackEngine>(log_, feedbackDependencies());
    }
    std::unique_ptr<AutomationEngine> makeAutomations(FocusTimer& focus) override {
        return std::make_unique<RecordingAutomationEngine>(log_, automationDependencies(focus));
    }
    std::unique_ptr<NotchPanelController> makeNotchController(AppState& state) override {
        return std::make_unique<RecordingNotchPanelController>(log_, notchDependencies(state),
                                                               notchSurface(state));
    }
    std::unique_ptr<CustomDockController> makeCustomDockController() override {
        return std::make_unique<RecordingCustomDockController>(log_, customDockDependencies());
    }
    std::unique_ptr<MenuBarAppearanceController> makeMenuBarAppearance() override {
        return std::make_unique<RecordingMenuBarAppearanceController>(log_, menuBarAppearanceDependencies());
    }
    std::unique_ptr<CommandPaletteController> makeCommandPalette() override {
        auto palette = std::make_unique<RecordingCommandPaletteController>(
            log_, services.screens, services.shell, &services.inputFocus, &services.hotkeys);
        palette->setDesktop(services.compositor);
        return palette;
    }

private:
    CallLog& log_;
};

// Everything an AppState needs, built from fakes: the services, the shared instances and the
// recording factory. `log` receives the calls of every component. `stored` writes into the
// standard defaults before any component reads them.
struct AppStateHarness : ServiceFakes {
    explicit AppStateHarness(std::function<void(UserDefaults&)> stored = {})
        : ServiceFakes(std::move(stored)) {}

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
                                      .inputFocus = inputFocus,
                                      .hapticPerformer = hapticPerformer,
                                      .eventMonitors = eventMonitors,
                                      .keyboardGuard = keyboardGuard,
                                      .menus = menus,
                                      .camera = camera,
                                      .compositor = &compositor,
                                      .stacking = &stacking,
                                      .systemDockQueue = systemDockQueue,
                                      .windowList = windowList,
                                      .runningApplications = runningApplications,
                                      .alertPresenter = alertPresenter,
                                      .trash = &trash,
                                      .statusBar = &menuBar,
                                      .menuBarItems = &menuBar}};
};

// The control center's context as the composition root fills it from `state`, drawn with `views`.
inline ControlCenterContext controlCenterContext(AppStateHarness& h, AppState& state,
                                                 ControlCenterViewServices& views, VantrelHaptics& haptics) {
    return ControlCenterWiring::make(state, {.motion = views.motion,
                                             .haptics = haptics,
                                             .appearance = views.appearance,
                                             .themeImages = views.themeImages,
                                             .scheduler = h.scheduler,
                                             .clock = h.clock,
                                             .openPanel = h.openPanel,
                                             .menus = views.menus,
                                             .files = h.files,
                                             .colorPicker = views.colorPicker});
}

} // namespace vantrel::test
