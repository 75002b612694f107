#pragma once

// The platform services and shared instances the running system is built from, as fakes, with
// one call log that every recording fake writes to.

#include "core/CapabilityCenter.h"
#include "core/LocalPersistence.h"
#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelMotion.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"
#include "notch/DisplayCoordinator.h"
#include "platform/CalendarService.h"
#include "platform/InMemoryDefaults.h"
#include "platform/linux/SimulatedMenuBar.h"
#include "services/HotkeyManager.h"
#include "services/KeyboardBacklightSignal.h"
#include "support/CallLog.h"
#include "support/FakeCalendarService.h"
#include "support/FakeCameraCapture.h"
#include "support/FakeCompositorState.h"
#include "support/FakeEnvironment.h"
#include "support/FakeEventMonitors.h"
#include "support/FakeFileManager.h"
#include "support/FakeKeyboardBacklightSources.h"
#include "support/FakeKeyboardGuard.h"
#include "support/FakeOpenPanel.h"
#include "support/FakePasteboard.h"
#include "support/FakeScreens.h"
#include "support/FakeSleepWakeMonitor.h"
#include "support/FakeSystemAppearance.h"
#include "support/FakeSystemCounters.h"
#include "support/FakeTrash.h"
#include "support/FakeWindowList.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingApplicationShell.h"
#include "support/RecordingBackdropBlur.h"
#include "support/RecordingComponents.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingHttpClient.h"
#include "support/RecordingInputFocus.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingStatusBar.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWindowStacking.h"
#include "support/RecordingWorkspace.h"
#include "support/ScriptedAlertPresenter.h"
#include "support/ScriptedMediaAutomation.h"
#include "support/TempHome.h"

namespace vantrel::test {

// Everything the system's components are built from, as fakes. `stored` writes into the standard
// defaults before any component reads them.
struct ServiceFakes {
    explicit ServiceFakes(std::function<void(UserDefaults&)> stored = {}) : stored_(std::move(stored)) {}

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
    // The probe looks for the backlight in these sources, on a worker the test drains.
    FakeKeyboardBacklightSources backlightSources;
    ManualWorkQueue* backlightWorker = new ManualWorkQueue;
    RecordingKeyboardBacklightSignal keyboard{
        log, {backlightSources, std::unique_ptr<WorkQueue>(backlightWorker), scheduler}};
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
    FakeEventMonitors eventMonitors;
    FakeKeyboardGuard keyboardGuard;
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
    RecordingInputFocus inputFocus;
    // A desktop with a compositor, as most have; tests stop it to see the panels without one.
    FakeCompositorState compositor{true};
    RecordingWindowStacking stacking;
    // A compositor that blurs nothing behind windows, as most X11 ones; tests offer it.
    RecordingBackdropBlur backdropBlur;
    // System Dock commands run only when the test drains this queue.
    ManualWorkQueue systemDockQueue;
    FakeWindowList windowList;
    RecordingRunningApplications runningApplications;
    ScriptedAlertPresenter alertPresenter;
    FakeTrash trash;
    // The tray the organizer's divider goes into, seen through the menu-bar model.
    RecordingStatusBar trayItems;
    SimulatedMenuBar menuBar{trayItems, screens};
};

} // namespace vantrel::test
