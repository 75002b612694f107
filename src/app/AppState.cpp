#include "app/AppState.h"

#include "app/AppStateFactory.h"
#include "core/CapabilityCenter.h"
#include "core/PermissionCenter.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockSettingsStore.h"
#include "dock/RunningAppsStore.h"
#include "modules/AlarmController.h"
#include "modules/BookmarksStore.h"
#include "modules/CalendarStore.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/MediaController.h"
#include "modules/NotesStore.h"
#include "modules/StopwatchStore.h"
#include "modules/SystemMonitor.h"
#include "notch/NotchPanelController.h"
#include "platform/ApplicationShell.h"
#include "platform/Screens.h"
#include "platform/SetIfChanged.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/FeedbackEngine.h"
#include "services/HotkeyManager.h"
#include "services/KeyboardCleaningController.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"

namespace vantrel {

AppState::AppState(AppStateFactory& factory, QObject* parent)
    : QObject(parent), scheduler_(factory.services.scheduler), sleepWake_(factory.services.sleepWake),
      screens_(factory.services.screens), shell_(factory.services.shell),
      keyboardBacklight_(factory.services.keyboardBacklight), alarm_(factory.services.alarm),
      alerts_(factory.services.alerts), clock_(factory.services.clock),
      workspace_(factory.services.workspace), menus_(factory.services.menus),
      camera_(factory.services.camera), preferences_(factory.services.preferences),
      clipboard_(factory.makeClipboard()), notes_(factory.makeNotes(QStringLiteral("notes.json"))),
      bookmarks_(factory.makeBookmarks()), focus_(factory.makeFocus()), stopwatch_(factory.makeStopwatch()),
      keyboardCleaning_(factory.makeKeyboardCleaning()), systemMonitor_(factory.makeSystemMonitor()),
      fileShelf_(factory.makeFileShelf()), calendar_(factory.makeCalendar()), media_(factory.makeMedia()),
      feedback_(factory.makeFeedback()), permissions_(factory.makePermissions()),
      capabilities_(factory.services.capabilities), qaObserver_(factory.services.qaObserver),
      dockSettings_(factory.makeDockSettings()), dockContent_(factory.makeDockContent()),
      menuBarScanner_(factory.makeMenuBarScanner()), automations_(factory.makeAutomations(*focus_)),
      hotkeys_(factory.services.hotkeys), notchController_(factory.makeNotchController(*this)),
      runningApps_(factory.makeRunningApps()), customDockController_(factory.makeCustomDockController()),
      menuBarAppearance_(factory.makeMenuBarAppearance()), commandPalette_(factory.makeCommandPalette()) {
    customDockController_->setMakeDockView(factory.makeDockView(*this));
    // Every finding of the probe is published while started, so a discovery that ends after
    // the start-up read still reaches the capability table.
    connect(&keyboardBacklight_, &KeyboardBacklightSignal::diagnosticChanged, this,
            [this] { publishKeyboardBacklight(); });
    // The rules act on this state; they are checked every four seconds once started.
    automations_->setTarget(this);
}

AppState::~AppState() {
    for (auto id : workspaceObservers_) sleepWake_.removeObserver(id);
}

void AppState::setStarted(bool started) {
    setIfChanged(this, isStarted_, started, &AppState::isStartedChanged);
}

void AppState::start() {
    if (isStarted_) return;
    setStarted(true);
    clipboard_->start();
    calendar_->refresh();

    // The keyboard probe settles a while after it starts; its state is read 2.1 seconds later.
    keyboardStartupTask_.emplace();
    const std::shared_ptr<bool> cancelled = keyboardStartupTask_->cancelled;
    const QPointer<AppState> self(this);
    keyboardBacklight_.start([self, cancelled] {
        if (*cancelled || !self) return;
        Scheduler& scheduler = self->scheduler_;
        self->keyboardStartupTask_->delay = ScheduledTask(
            scheduler, scheduler.schedule(Seconds(kKeyboardStartupDelaySeconds), [self, cancelled] {
                if (*cancelled || !self) return;
                self->refreshKeyboardBacklightStatus();
            }));
    });

    workspaceObservers_.push_back(sleepWake_.addObserver(PowerEvent::willSleep, [self] {
        if (self)
            self->scheduler_.schedule(Seconds(0), [self] {
                if (self) self->handleWillSleep();
            });
    }));
    workspaceObservers_.push_back(sleepWake_.addObserver(PowerEvent::didWake, [self] {
        if (self)
            self->scheduler_.schedule(Seconds(0), [self] {
                if (self) self->handleDidWake();
            });
    }));

    hotkeys_.registerAll([self](HotkeyAction action) {
        return [self, action] {
            if (self) self->perform(action);
        };
    });

    applyPreferences();
    refreshCapabilities();
    automations_->startTimer();
}

void AppState::handleWillSleep() {
    // Hiding the panel also stops the now-playing poll.
    notchController_->hide();
    clipboard_->stop();
}

void AppState::handleDidWake() {
    if (!isStarted_) return;
    clipboard_->start();
    applyPreferences();
}

void AppState::applyPreferences() {
    if (!isStarted_) return;

    if (preferences_.notchEnabled() && preferences_.hasCompletedOnboarding())
        notchController_->show();
    else
        notchController_->hide();

    // An enabled engine is restarted, so it picks up changed triggers.
    feedback_->setPreferences(&preferences_);
    feedback_->stop();
    if (preferences_.feedbackEnabled()) feedback_->start();

    if (preferences_.customDockEnabled()) {
        customDockController_->show(preferences_, *dockContent_);
    } else {
        customDockController_->setWantsSystemDockSuppressed(false);
        customDockController_->setShouldVerifyInitialPendingSuppression(false);
        customDockController_->setIsEditingItems(false);
        customDockController_->setRevealed(true, true);
        // Restores the system Dock if it had been suppressed and dismisses the replacement.
        customDockController_->synchronizeSystemDock();
    }

    menuBarAppearance_->apply(preferences_, *menuBarScanner_);

    if (preferences_.commandPaletteEnabled())
        commandPalette_->install(*this);
    else
        commandPalette_->uninstall();
}

void AppState::perform(HotkeyAction action) {
    switch (action) {
    case HotkeyAction::commandPalette:
        if (commandPalette_->isShown())
            commandPalette_->dismiss();
        else
            commandPalette_->show(nullptr, std::nullopt);
        break;
    case HotkeyAction::toggleHiddenItems:
        menuBarAppearance_->toggleHiddenItems(&preferences_, menuBarScanner_.get());
        break;
    case HotkeyAction::toggleAlwaysHiddenItems:
        // There is no always-hidden section to reveal: the action only settles the flag.
        menuBarAppearance_->setAreAlwaysHiddenItemsRevealed(false);
        break;
    case HotkeyAction::openNotch:
        showNotch(NotchTab::home, true);
        break;
    case HotkeyAction::toggleFocus:
        focus_->toggle();
        break;
    }
}

void AppState::showNotch(NotchTab tab, bool takeFocus) {
    if (!preferences_.notchEnabled()) preferences_.setNotchEnabled(true);
    notchController_->show();
    notchController_->expand(tab, takeFocus);
}

void AppState::shareFileShelf() {
    fileShelf_->airDrop(fileShelf_->items());
}

void AppState::toggleCustomDock() {
    preferences_.setCustomDockEnabled(!preferences_.customDockEnabled());
    applyPreferences();
}

void AppState::toggleFeedback() {
    preferences_.setFeedbackEnabled(!preferences_.feedbackEnabled());
    applyPreferences();
}

void AppState::refreshMenuBarItems() {
    // Started first, so the section opens on the fresh list where the answer is at hand; the
    // desktop's answer otherwise reaches the open section through the scanner's change signals.
    menuBarScanner_->scan();
    showSection(VantrelSection::menuBar);
}

bool AppState::isFocusRunning() const {
    return focus_->isRunning();
}

QString AppState::focusTimeText() const {
    return focus_->timeText();
}

bool AppState::isCustomDockEnabled() const {
    return preferences_.customDockEnabled();
}

bool AppState::isFeedbackEnabled() const {
    return preferences_.feedbackEnabled();
}

Accent AppState::accent() const {
    return preferences_.accent();
}

void AppState::observeState(const QObject* context, std::function<void()> changed) {
    connect(focus_.get(), &FocusTimer::remainingSecondsChanged, context, [changed] { changed(); });
    connect(focus_.get(), &FocusTimer::isRunningChanged, context, [changed] { changed(); });
    using Setting = VantrelPreferences::Setting;
    for (const Setting setting : {Setting::customDockEnabled, Setting::feedbackEnabled, Setting::accent})
        preferences_.onChange(setting, context, changed);
}

void AppState::bringControlCenterForward() {
    shell_.activateIgnoringOtherApps();
    if (controlCenterWindow_) shell_.makeKeyAndOrderFront(*controlCenterWindow_);
}

void AppState::showSection(VantrelSection section) {
    sections_.select(section);
    bringControlCenterForward();
}

std::optional<ScreenInfo> AppState::controlCenterScreen() const {
    if (!controlCenterWindow_) return std::nullopt;
    return screens_.screenOf(*controlCenterWindow_);
}

void AppState::refreshKeyboardBacklightStatus() {
    if (!isStarted_) return;
    // Reads what the probe found. Starting it again here would send a finished discovery back
    // to checking, and its outcome would never reach the capability table; only a missing grant,
    // which may have been given since, is checked again.
    if (keyboardBacklight_.diagnostic().support == KeyboardBacklightSignal::Support::needsInputMonitoring)
        keyboardBacklight_.start({});
    publishKeyboardBacklight();
}

void AppState::publishKeyboardBacklight() {
    if (!isStarted_) return;
    const KeyboardBacklightSignal::Diagnostic diagnostic = keyboardBacklight_.diagnostic();
    if (keyboardBacklightSupport_ != diagnostic.support) {
        keyboardBacklightSupport_ = diagnostic.support;
        Q_EMIT keyboardBacklightSupportChanged(diagnostic.support);
    }
    if (keyboardBacklightMessage_ != diagnostic.message) {
        keyboardBacklightMessage_ = diagnostic.message;
        Q_EMIT keyboardBacklightMessageChanged(diagnostic.message);
    }
    refreshCapabilities();
}

void AppState::refreshCapabilities() {
    capabilities_.refresh(*permissions_, keyboardBacklightSupport_);
}

void AppState::stop() {
    if (!isStarted_) return;
    setStarted(false);

    if (keyboardStartupTask_) {
        *keyboardStartupTask_->cancelled = true;
        keyboardStartupTask_.reset();
    }
    for (auto id : workspaceObservers_) sleepWake_.removeObserver(id);
    workspaceObservers_.clear();

    menuBarAppearance_->hideTint();
    menuBarAppearance_->disableItemHiding();
    customDockController_->hide(true);
    notchController_->hide();
    notchController_->notificationIndicator().releasePanel();
    notes_->saveNow();
    clipboard_->stop();
    feedback_->stop();
    // The probe runs on this thread, so its stop needs no task of its own.
    keyboardBacklight_.stop();
    alarm_.dismiss();
    stopwatch_->stopTicking();
    keyboardCleaning_->stop(KeyboardCleaningController::StopReason::appStopping);
    automations_->invalidateTimer();
    automations_->revertAllActiveRules();
    commandPalette_->uninstall();
    hotkeys_.unregisterAll();
}

} // namespace vantrel
