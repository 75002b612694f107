#pragma once

#include "control-center/SectionNavigation.h"
#include "core/SharedInstance.h"
#include "kit/Navigation.h"
#include "platform/Scheduler.h"
#include "platform/Screens.h"
#include "platform/SleepWakeMonitor.h"
#include "services/AutomationTarget.h"
#include "services/CommandPaletteCommands.h"
#include "services/HotkeyAction.h"
#include "services/KeyboardBacklightSignal.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

class AlarmController;
class AppStateFactory;
class ApplicationShell;
class AutomationEngine;
class BookmarksStore;
class CalendarStore;
class CameraCapture;
class CapabilityCenter;
class ClipboardStore;
class Clock;
class CommandPaletteController;
class CustomDockController;
class DockContentStore;
class DockSettingsStore;
class FeedbackEngine;
class FileShelfStore;
class FocusTimer;
class HotkeyManager;
class KeyboardCleaningController;
class MediaController;
class MenuBarAppearanceController;
class MenuBarScanner;
class MenuPresenter;
class NotchPanelController;
class NotesStore;
class NotificationSignalStore;
class PermissionCenter;
class QAObserver;
class RunningAppsStore;
class StopwatchStore;
class SystemMonitor;
class VantrelPreferences;
class Workspace;

// The root of the running system. It builds every store and controller once, starts them when
// launching has finished, switches the optional ones on and off from the settings, dispatches
// hot-key actions, opens the notch on request and tears everything down in a fixed order.
// The member list below is the construction order.
class AppState : public QObject,
                 public SharedInstance<AppState>,
                 public CommandPaletteCommands,
                 public AutomationTarget {
    Q_OBJECT
public:
    static constexpr double kKeyboardStartupDelaySeconds = 2.1;

    explicit AppState(AppStateFactory& factory, QObject* parent = nullptr);
    ~AppState() override;

    // Published state.
    // Which section the control center shows.
    SectionNavigation& sections() const { return sections_; }
    bool isStarted() const { return isStarted_; }
    KeyboardBacklightSignal::Support keyboardBacklightSupport() const { return keyboardBacklightSupport_; }
    const QString& keyboardBacklightMessage() const { return keyboardBacklightMessage_; }

    // Owned components, in construction order.
    VantrelPreferences& preferences() const { return preferences_; }
    ClipboardStore& clipboard() const { return *clipboard_; }
    NotesStore& notes() const { return *notes_; }
    BookmarksStore& bookmarks() const { return *bookmarks_; }
    FocusTimer& focus() const { return *focus_; }
    StopwatchStore& stopwatch() const { return *stopwatch_; }
    KeyboardCleaningController& keyboardCleaning() const { return *keyboardCleaning_; }
    SystemMonitor& systemMonitor() const { return *systemMonitor_; }
    FileShelfStore& fileShelf() const { return *fileShelf_; }
    CalendarStore& calendar() const { return *calendar_; }
    MediaController& media() const { return *media_; }
    FeedbackEngine& feedback() const { return *feedback_; }
    PermissionCenter& permissions() const { return *permissions_; }
    CapabilityCenter& capabilities() const { return capabilities_; }
    QAObserver& qaObserver() const { return qaObserver_; }
    DockSettingsStore& dockSettings() const { return *dockSettings_; }
    DockContentStore& dockContent() const { return *dockContent_; }
    MenuBarScanner& menuBarScanner() const { return *menuBarScanner_; }
    AutomationEngine& automations() const { return *automations_; }
    HotkeyManager& hotkeys() const { return hotkeys_; }
    NotchPanelController& notchController() const { return *notchController_; }
    // The running applications of the replacement Dock, beside its controller.
    RunningAppsStore& runningApps() const { return *runningApps_; }
    CustomDockController& customDockController() const { return *customDockController_; }
    MenuBarAppearanceController& menuBarAppearance() const { return *menuBarAppearance_; }
    CommandPaletteController& commandPalette() const { return *commandPalette_; }
    // Services that the views it hands out read and act through.
    const Clock& clock() const { return clock_; }
    Workspace& workspace() const { return workspace_; }
    MenuPresenter& menus() const { return menus_; }
    CameraCapture& camera() const { return camera_; }
    // The timer alarm and the waiting alerts, for the notifications page.
    AlarmController& alarm() const { return alarm_; }
    NotificationSignalStore& alerts() const { return alerts_; }

    QWidget* controlCenterWindow() const { return controlCenterWindow_; }
    // The application hands in its control-center window once it is set up, kept weakly.
    void setControlCenterWindow(QWidget* window) { controlCenterWindow_ = window; }
    // The screen of the registered control-center window; none before one is registered or while
    // it is on no screen.
    std::optional<ScreenInfo> controlCenterScreen() const;

    // Starts everything, once.
    void start();
    // Brings the optional components in line with the settings; nothing before start().
    void applyPreferences();
    void perform(HotkeyAction action);
    // Opens the notch on `tab`, switching the notch setting on first if it is off. Works before
    // onboarding is complete and before start().
    void showNotch(NotchTab tab, bool takeFocus);
    // Activates the application and makes the control-center window, when there is one, key and
    // front.
    void bringControlCenterForward();
    // Selects `section` and brings the control center forward.
    void showSection(VantrelSection section);

    // The palette's commands.
    void openSection(VantrelSection section) override { showSection(section); }
    void openNotchTab(NotchTab tab) override { showNotch(tab, true); }
    void toggleFocus() override { perform(HotkeyAction::toggleFocus); }
    void shareFileShelf() override;
    void toggleCustomDock() override;
    void toggleFeedback() override;
    void refreshMenuBarItems() override;
    bool isFocusRunning() const override;
    QString focusTimeText() const override;
    bool isCustomDockEnabled() const override;
    bool isFeedbackEnabled() const override;
    Accent accent() const override;
    void observeState(const QObject* context, std::function<void()> changed) override;
    // What the automation rules act through.
    void showHomeNotch() override { showNotch(NotchTab::home, false); }
    void applySettings() override { applyPreferences(); }
    // Copies the keyboard probe's state into the published properties (while started).
    void refreshKeyboardBacklightStatus();
    // Tears everything down in a fixed order; nothing unless started.
    void stop();

Q_SIGNALS:
    void isStartedChanged(bool started);
    void keyboardBacklightSupportChanged(vantrel::KeyboardBacklightSignal::Support support);
    void keyboardBacklightMessageChanged(const QString& message);

private:
    struct KeyboardStartupTask {
        // Initialized here rather than at the member: a default member initializer in a nested
        // class leaves it not default-constructible for std::optional while AppState is being
        // declared, which clang rejects.
        KeyboardStartupTask() : cancelled(std::make_shared<bool>(false)) {}
        std::shared_ptr<bool> cancelled;
        ScheduledTask delay;
    };

    void setStarted(bool started);
    void handleWillSleep();
    void handleDidWake();
    void refreshCapabilities();
    // Copies the probe's finding into the published properties and the capability table.
    void publishKeyboardBacklight();

    Scheduler& scheduler_;
    SleepWakeMonitor& sleepWake_;
    Screens& screens_;
    ApplicationShell& shell_;
    KeyboardBacklightSignal& keyboardBacklight_;
    AlarmController& alarm_;
    NotificationSignalStore& alerts_;
    const Clock& clock_;
    Workspace& workspace_;
    MenuPresenter& menus_;
    CameraCapture& camera_;

    mutable SectionNavigation sections_;
    bool isStarted_ = false;
    KeyboardBacklightSignal::Support keyboardBacklightSupport_ = KeyboardBacklightSignal::Support::checking;
    QString keyboardBacklightMessage_ = QString::fromUtf8(KeyboardBacklightSignal::kCheckingMessage);

    // Owned components, constructed in exactly this order.
    VantrelPreferences& preferences_;
    std::unique_ptr<ClipboardStore> clipboard_;
    std::unique_ptr<NotesStore> notes_;
    std::unique_ptr<BookmarksStore> bookmarks_;
    std::unique_ptr<FocusTimer> focus_;
    std::unique_ptr<StopwatchStore> stopwatch_;
    std::unique_ptr<KeyboardCleaningController> keyboardCleaning_;
    std::unique_ptr<SystemMonitor> systemMonitor_;
    std::unique_ptr<FileShelfStore> fileShelf_;
    std::unique_ptr<CalendarStore> calendar_;
    std::unique_ptr<MediaController> media_;
    std::unique_ptr<FeedbackEngine> feedback_;
    std::unique_ptr<PermissionCenter> permissions_;
    CapabilityCenter& capabilities_;
    QAObserver& qaObserver_;
    std::unique_ptr<DockSettingsStore> dockSettings_;
    std::unique_ptr<DockContentStore> dockContent_;
    std::unique_ptr<MenuBarScanner> menuBarScanner_;
    std::unique_ptr<AutomationEngine> automations_;
    HotkeyManager& hotkeys_;
    std::unique_ptr<NotchPanelController> notchController_;
    std::unique_ptr<RunningAppsStore> runningApps_;
    std::unique_ptr<CustomDockController> customDockController_;
    std::unique_ptr<MenuBarAppearanceController> menuBarAppearance_;
    std::unique_ptr<CommandPaletteController> commandPalette_;

    QPointer<QWidget> controlCenterWindow_;
    std::optional<KeyboardStartupTask> keyboardStartupTask_;
    std::vector<SleepWakeMonitor::ObserverId> workspaceObservers_;
};

} // namespace vantrel
