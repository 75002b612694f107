#pragma once

#include "dock/CustomDockController.h"
#include "notch/NotchPanelController.h"
#include "notch/NotchSurfaceContext.h"
#include "platform/CalendarService.h"
#include "services/AutomationEngine.h"
#include "services/FeedbackEngine.h"
#include "services/MenuBarAppearanceController.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

class AlarmController;
class AppState;
class AlertPresenter;
class ApplicationShell;
class AutomationEngine;
class BookmarksStore;
class CalendarStore;
class CameraCapture;
class BackdropBlur;
class CompositorState;
class WindowStacking;
class CapabilityCenter;
class ClipboardStore;
class Clock;
class CommandPaletteController;
class CustomDockController;
class DisplayCoordinator;
class DockContentStore;
class DockSettingsStore;
class EventMonitors;
class FeedbackEngine;
class FileShelfStore;
class FocusTimer;
class HapticPerformer;
class HttpClient;
class InputFocus;
class HotkeyManager;
class KeyboardBacklightSignal;
class KeyboardCleaningController;
class KeyboardGuard;
class LocalPersistence;
class LoginItems;
class MediaAutomation;
class MediaController;
class MenuBarAppearanceController;
class MenuBarItemSource;
class MenuBarScanner;
class MenuPresenter;
class NotchPanelController;
class NotificationSignalStore;
class NotesStore;
class OpenPanel;
class Pasteboard;
class PermissionCenter;
class PermissionSystem;
class PowerSources;
class QAObserver;
class RunningApplications;
class RunningAppsStore;
class Scheduler;
class SystemCounters;
class SystemMonitor;
class Screens;
class SharingService;
class StatusBar;
class StopwatchStore;
class SleepWakeMonitor;
class SystemLog;
class Trash;
class UserDefaultsProvider;
class VantrelDiagnostics;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;
class WindowList;
class Workspace;
class WorkQueue;

// What AppState is built from. The composition root hands in the platform services and the
// process-wide shared instances; each make function builds one component that AppState owns and
// is called exactly once, by AppState's constructor, in the construction order below. Tests
// override make functions to hand in recording fakes.
class AppStateFactory {
public:
    // Built with designated initializers (`{.clock = clock, ...}`), so every service is named
    // where it is handed in; one left out or out of order does not compile.
    struct Services {
        const Clock& clock;
        Scheduler& scheduler;
        SleepWakeMonitor& sleepWake;
        Screens& screens;
        ApplicationShell& shell;
        UserDefaultsProvider& defaults;
        SystemLog& log;
        PermissionSystem& permissionSystem;
        LoginItems& loginItems;
        Workspace& workspace;
        std::function<CalendarAuthorizationStatus()> calendarStatus;
        // Shared instances.
        VantrelPreferences& preferences;
        HotkeyManager& hotkeys;
        KeyboardBacklightSignal& keyboardBacklight;
        CapabilityCenter& capabilities;
        QAObserver& qaObserver;
        // What the stores of the productivity modules keep their data in and read from.
        LocalPersistence& persistence;
        Pasteboard& pasteboard;
        CalendarService& calendarService;
        SharingService& sharing;
        OpenPanel& openPanel;
        // What sounds and buzzes when the timers end.
        AlarmController& alarm;
        NotificationSignalStore& alerts;
        VantrelHaptics& haptics;
        SystemCounters& systemCounters;
        MediaAutomation& mediaAutomation;
        HttpClient& http;
        // What the notch panel and its alert dot hang from, record and move with.
        DisplayCoordinator& displays;
        VantrelDiagnostics& diagnostics;
        const VantrelMotion& motion;
        // Who holds the keyboard focus while a panel borrows it.
        InputFocus& inputFocus;
        HapticPerformer& hapticPerformer;
        // What the trackpad feedback watches scrolls, clicks and gestures through.
        EventMonitors& eventMonitors;
        // What keyboard cleaning holds the keyboard with.
        KeyboardGuard& keyboardGuard;
        // What the views' pop-up menus open through, and the camera of the mirror tab.
        MenuPresenter& menus;
        CameraCapture& camera;
        // Whether the desktop blends translucent windows, and what keeps the floating panels
        // above the others; none: a compositor that blends, and raising alone.
        CompositorState* compositor = nullptr;
        WindowStacking* stacking = nullptr;
        // What blurs the windows behind the notch's crystal glass where the desktop offers it.
        BackdropBlur* backdropBlur = nullptr;
        // The queue of every command on the system Dock, and the windows on screen that the
        // replacement Dock watches.
        WorkQueue& systemDockQueue;
        WindowList& windowList;
        // The programs on the desktop that the replacement Dock shows, and how it asks before
        // force-quitting one.
        RunningApplications& runningApplications;
        AlertPresenter& alertPresenter;
        // The user's Trash that the Dock's Trash tile shows and fills; none: the home trash under
        // $XDG_DATA_HOME.
        Trash* trash = nullptr;
        // The battery the automation rules read; none: no battery rule ever holds.
        PowerSources* power = nullptr;
        // Where the menu-bar organizer puts its divider, and the other programs' items its scanner
        // lists; none: no divider item, no items.
        StatusBar* statusBar = nullptr;
        MenuBarItemSource* menuBarItems = nullptr;
    };

    explicit AppStateFactory(Services services);
    virtual ~AppStateFactory();

    Services services;

    // A serial queue of its own for a component that works off the main thread; with
    // `abandonAfter`, destroying it waits no longer than that for work that does not return.
    virtual std::unique_ptr<WorkQueue>
    makeWorkQueue(const QString& label, std::optional<std::chrono::milliseconds> abandonAfter = std::nullopt);
    virtual std::unique_ptr<ClipboardStore> makeClipboard();
    virtual std::unique_ptr<NotesStore> makeNotes(const QString& storageName);
    virtual std::unique_ptr<BookmarksStore> makeBookmarks();
    virtual std::unique_ptr<FocusTimer> makeFocus();
    virtual std::unique_ptr<StopwatchStore> makeStopwatch();
    virtual std::unique_ptr<KeyboardCleaningController> makeKeyboardCleaning();
    virtual std::unique_ptr<SystemMonitor> makeSystemMonitor();
    virtual std::unique_ptr<FileShelfStore> makeFileShelf();
    virtual std::unique_ptr<CalendarStore> makeCalendar();
    virtual std::unique_ptr<MediaController> makeMedia();
    virtual std::unique_ptr<FeedbackEngine> makeFeedback();
    // What the feedback engine is built from.
    FeedbackEngine::Dependencies feedbackDependencies() const;
    virtual std::unique_ptr<PermissionCenter> makePermissions();
    virtual std::unique_ptr<DockSettingsStore> makeDockSettings();
    // A client of the system Dock's settings, as the Dock settings store makes one for each piece
    // of work.
    static std::unique_ptr<DockDefaultsClient> makeSystemDockClient(UserDefaultsProvider& defaults,
                                                                    SystemLog& log);
    virtual std::unique_ptr<DockContentStore> makeDockContent();
    virtual std::unique_ptr<MenuBarScanner> makeMenuBarScanner();
    virtual std::unique_ptr<AutomationEngine> makeAutomations(FocusTimer& focus);
    // What the automation engine is built from; its actions start and pause `focus`.
    AutomationEngine::Dependencies automationDependencies(FocusTimer& focus) const;
    // Called while `state` is being built, once the stores the notch reads exist.
    virtual std::unique_ptr<NotchPanelController> makeNotchController(AppState& state);
    // What the notch panel controller and its alert dot are built from; the dot's click opens
    // `state`'s notifications section.
    NotchPanelController::Dependencies notchDependencies(AppState& state) const;
    // What the notch's surface and its tabs read, from the stores `state` owns.
    NotchSurfaceContext notchSurface(AppState& state) const;
    virtual std::unique_ptr<RunningAppsStore> makeRunningApps();
    virtual std::unique_ptr<CustomDockController> makeCustomDockController();
    // What the replacement Dock's controller is built from.
    CustomDockController::Dependencies customDockDependencies();
    // Builds the replacement Dock's row over the stores `state` owns; the controller calls it
    // when it first shows its panel.
    virtual std::function<QWidget*()> makeDockView(AppState& state);
    virtual std::unique_ptr<MenuBarAppearanceController> makeMenuBarAppearance();
    // What the menu-bar organizer is built from.
    MenuBarAppearanceController::Dependencies menuBarAppearanceDependencies();
    virtual std::unique_ptr<CommandPaletteController> makeCommandPalette();

private:
    // The home trash, when none was handed in.
    std::unique_ptr<Trash> ownTrash_;
    // Set as the factory goes, at quit, so that an emptying of the Trash stops at its next entry
    // instead of holding up the exit; it outlives the queue, which waits for its work.
    std::atomic<bool> quitting_{false};
    // Where the Dock's Trash tile empties the Trash; made with the first row, and gone before the
    // Trash it empties.
    std::unique_ptr<WorkQueue> trashQueue_;
};

} // namespace vantrel
