#include "app/AppState.h"
#include "control-center/OnboardingFlow.h"
#include "modules/ClipboardStore.h"
#include "modules/FocusTimer.h"
#include "modules/StopwatchStore.h"
#include "support/QtPrinters.h"
#include "support/RecordingAppComponents.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
const ScreenInfo kMain{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};

class AppStateTest : public ::testing::Test {
protected:
    AppStateHarness h;
    std::unique_ptr<AppState> state = std::make_unique<AppState>(h.factory);

    QStringList callsSince(qsizetype from) const { return h.log.entries.mid(from); }
};
} // namespace

TEST_F(AppStateTest, StartsAndStopsOnlyOnceAndAppliesNothingBeforeStart) {
    state->stop();
    h.preferences.setHasCompletedOnboarding(true);
    state->applyPreferences();
    EXPECT_TRUE(h.log.entries.isEmpty());

    state->start();
    const qsizetype afterStart = h.log.entries.size();
    state->start();
    EXPECT_EQ(h.log.entries.size(), afterStart);
    EXPECT_EQ(h.sleepWake.observerCount(), 2u);

    state->stop();
    const qsizetype afterStop = h.log.entries.size();
    state->stop();
    EXPECT_EQ(h.log.entries.size(), afterStop);
    EXPECT_EQ(h.sleepWake.observerCount(), 0u);
}

TEST(AppStateHotkeys, StartRegistersBoundHotkeysInDeclarationOrderThenApplies) {
    AppStateHarness h([](UserDefaults& stored) {
        stored.setData(
            QStringLiteral("hotkeys.bindings.v1"),
            R"({"toggleFocus":{"keyCode":3,"carbonModifiers":768},"commandPalette":{"keyCode":49,"carbonModifiers":4096}})");
    });
    AppState state(h.factory);
    state.start();
    const qsizetype handler = h.log.entries.indexOf(QStringLiteral("hotkeys.installEventHandler"));
    ASSERT_GE(handler, 0);
    EXPECT_EQ(h.log.entries.mid(handler, 3),
              (QStringList{"hotkeys.installEventHandler", "hotkeys.register commandPalette",
                           "hotkeys.register toggleFocus"}));
    EXPECT_GT(h.log.entries.indexOf(QStringLiteral("menuBar.apply")), handler);
    // A press runs the action on this state.
    h.hotkeys.performs.at(HotkeyAction::toggleFocus)();
    EXPECT_TRUE(state.focus().isRunning());
    state.stop();
}

TEST_F(AppStateTest, OnboardingGatesTheNotchButACommandShowsItAnyway) {
    // A command works before start and before onboarding, and switches the notch setting on.
    h.preferences.setNotchEnabled(false);
    state->showNotch(NotchTab::files, false);
    EXPECT_TRUE(h.defaults.standard().boolValue(QStringLiteral("notch.enabled")));
    EXPECT_EQ(h.log.entries, (QStringList{"notch.show", "notch.expand files nofocus"}));
    // Opening plays the notch pattern (its first pulse at once); switching the tab of the open
    // panel plays the controls pattern, not the opening again.
    EXPECT_EQ(h.hapticPerformer.count(), 1u);
    h.hapticPerformer.clear();
    state->showNotch(NotchTab::clipboard, true);
    ASSERT_EQ(h.hapticPerformer.count(), 1u);
    EXPECT_EQ(h.hapticPerformer.pulses()[0].pattern, HapticFeedbackPattern::generic);

    // Applying hides it while onboarding is incomplete, though the notch is enabled.
    state->start();
    EXPECT_FALSE(state->notchController().hasPanel());
    h.preferences.setHasCompletedOnboarding(true);
    state->applyPreferences();
    EXPECT_TRUE(state->notchController().hasPanel());
}

TEST_F(AppStateTest, SwitchingTheReplacementDockOffRestoresTheSystemDock) {
    // The system Dock as suppression left it, with the snapshot of the user's own settings.
    UserDefaults& own = h.defaults.standard();
    own.setBool(QStringLiteral("vantrelDock.visualSnapshotCaptured.v1"), true);
    own.setBool(QStringLiteral("vantrelDock.originalTileSizeWasSet"), true);
    own.setDouble(QStringLiteral("vantrelDock.originalTileSize"), 64);
    h.defaults.suite(QStringLiteral("com.apple.dock")).setDouble(QStringLiteral("tilesize"), 1);

    h.preferences.setCustomDockEnabled(true);
    state->start();
    EXPECT_TRUE(state->customDockController().wantsSystemDockSuppressed());
    // Switched off in the middle of editing the row, with the first suppression still unchecked,
    // while the row is slid out of view.
    state->customDockController().setRevealed(false, false);
    ASSERT_FALSE(state->customDockController().isDockRevealed());
    state->customDockController().setIsEditingItems(true);
    state->customDockController().setShouldVerifyInitialPendingSuppression(true);

    h.preferences.setCustomDockEnabled(false);
    const qsizetype before = h.log.entries.size();
    state->applyPreferences();
    EXPECT_EQ(callsSince(before).filter(QStringLiteral("dock.")),
              (QStringList{"dock.setRevealed true", "dock.synchronize"}));
    EXPECT_FALSE(state->customDockController().wantsSystemDockSuppressed());
    EXPECT_FALSE(state->customDockController().isEditingItems());
    EXPECT_FALSE(state->customDockController().shouldVerifyInitialPendingSuppression());
    // It slides back into view while the system Dock is restored.
    EXPECT_TRUE(state->customDockController().isDockRevealed());
    EXPECT_TRUE(state->customDockController().isSlideInFlight());
    // The suppression asked for at start runs first, then the restore it hands over to.
    h.systemDockQueue.drain();
    EXPECT_EQ(h.defaults.suite(QStringLiteral("com.apple.dock")).doubleValue(QStringLiteral("tilesize")), 64);
    EXPECT_FALSE(state->customDockController().hasPanel());
}

TEST_F(AppStateTest, PerformDispatchesEveryAction) {
    h.screens.main = kMain;
    state->start();

    // The palette is installed by applying the settings (on by default): it opens and closes.
    state->perform(HotkeyAction::commandPalette);
    ASSERT_NE(state->commandPalette().panel(), nullptr);
    state->perform(HotkeyAction::commandPalette);
    EXPECT_EQ(state->commandPalette().panel(), nullptr);

    // Hidden items toggle only while the organizer is on and set up.
    MenuBarAppearanceController& menuBar = state->menuBarAppearance();
    state->perform(HotkeyAction::toggleHiddenItems);
    EXPECT_FALSE(menuBar.areHiddenItemsRevealed());
    h.preferences.setMenuMaskEnabled(true);
    h.preferences.setMenuSetupComplete(true);
    state->perform(HotkeyAction::toggleHiddenItems);
    EXPECT_TRUE(menuBar.areHiddenItemsRevealed());

    // The always-hidden action leaves that flag false, whatever it was, and touches nothing else.
    menuBar.setAreAlwaysHiddenItemsRevealed(true);
    state->perform(HotkeyAction::toggleAlwaysHiddenItems);
    EXPECT_FALSE(menuBar.areAlwaysHiddenItemsRevealed());
    state->perform(HotkeyAction::toggleAlwaysHiddenItems);
    EXPECT_FALSE(menuBar.areAlwaysHiddenItemsRevealed());
    EXPECT_TRUE(menuBar.areHiddenItemsRevealed());

    state->perform(HotkeyAction::openNotch);
    EXPECT_EQ(h.log.entries.last(), QStringLiteral("notch.expand home focus"));
    state->perform(HotkeyAction::toggleFocus);
    EXPECT_TRUE(state->focus().isRunning());
    state->perform(HotkeyAction::toggleFocus);
    EXPECT_FALSE(state->focus().isRunning());
    state->stop();
}

TEST_F(AppStateTest, ThePaletteNeverInstalledOpensNothing) {
    h.screens.main = kMain;
    h.preferences.setCommandPaletteEnabled(false);
    state->start();
    state->perform(HotkeyAction::commandPalette);
    EXPECT_EQ(state->commandPalette().panel(), nullptr);

    // Once installed, the link stays after uninstalling, so the command opens it.
    h.preferences.setCommandPaletteEnabled(true);
    state->applyPreferences();
    h.preferences.setCommandPaletteEnabled(false);
    state->applyPreferences();
    state->perform(HotkeyAction::commandPalette);
    EXPECT_NE(state->commandPalette().panel(), nullptr);
    state->stop();
}

TEST_F(AppStateTest, StopTearsDownInItsFixedOrder) {
    h.preferences.setHasCompletedOnboarding(true);
    h.preferences.setFeedbackEnabled(true);
    h.preferences.setInterfaceHapticsEnabled(false); // only the alarm's pulses are left to count
    state->start();
    state->stopwatch().startStopwatch();
    h.alarm.play(true);
    // The stores without a recording fake of their own are seen through their state at each call.
    std::map<QString, std::pair<bool, bool>> pollingAndTicking;
    h.log.onAdd = [&](const QString& entry) {
        pollingAndTicking[entry] = {state->clipboard().isWatching(), state->stopwatch().isTicking()};
    };
    const qsizetype from = h.log.entries.size();
    state->stop();
    h.log.onAdd = nullptr;
    EXPECT_EQ(callsSince(from), (QStringList{
                                    "menuBar.hideTint",
                                    "menuBar.disableItemHiding",
                                    "dock.hide sync",
                                    "notch.hide",
                                    "indicator.orderOut",
                                    "indicator.release",
                                    "files.write notes.json",
                                    "feedback.stop",
                                    "keyboard.stop",
                                    "stop sound Glass",
                                    "cleaning.stop appStopping",
                                    "automations.invalidateTimer",
                                    "automations.revertAllActiveRules",
                                    "palette.uninstall",
                                    "hotkeys.unregisterAll",
                                }));
    // The clipboard stops after the notes are saved and before the feedback engine; the stopwatch
    // ticker after the alarm and before the keyboard cleaning.
    EXPECT_TRUE(pollingAndTicking["files.write notes.json"].first);
    EXPECT_FALSE(pollingAndTicking["feedback.stop"].first);
    EXPECT_TRUE(pollingAndTicking["stop sound Glass"].second);
    EXPECT_FALSE(pollingAndTicking["cleaning.stop appStopping"].second);
    EXPECT_TRUE(state->stopwatch().isStopwatchRunning()) << "only the ticker goes; the flags stay";
    // Neither the alarm's haptic timer nor the ticker is left to fire.
    const std::size_t haptics = h.hapticPerformer.count();
    h.scheduler.advance(Seconds(10));
    EXPECT_EQ(h.hapticPerformer.count(), haptics);
}

TEST_F(AppStateTest, FeedbackIsRestartedOnEveryApplicationWhileEnabled) {
    h.preferences.setFeedbackEnabled(true);
    state->start();
    state->applyPreferences();
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("feedback.")),
              (QStringList{"feedback.stop", "feedback.start", "feedback.stop", "feedback.start"}));
    h.preferences.setFeedbackEnabled(false);
    state->applyPreferences();
    EXPECT_FALSE(state->feedback().isListening());
}

TEST_F(AppStateTest, TheKeyboardStateIsReadTwoPointOneSecondsAfterStartUnlessStoppedBefore) {
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    state->start();
    // The probe's finding is published as it changes, and read again 2.1 seconds later; only the
    // missing grant makes that read ask the probe again.
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::needsInputMonitoring);
    h.scheduler.advance(Seconds(2.0));
    EXPECT_EQ(h.log.entries.count(QStringLiteral("keyboard.start")), 1);
    h.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::needsInputMonitoring);
    EXPECT_EQ(h.log.entries.count(QStringLiteral("keyboard.start")), 2);
    state->stop();

    // A second run stopped within 2.1 seconds: the start-up task never refreshes.
    AppStateHarness other;
    AppState stopped(other.factory);
    stopped.start();
    other.scheduler.advance(Seconds(2.0));
    stopped.stop();
    const qsizetype starts = other.log.entries.count(QStringLiteral("keyboard.start"));
    other.scheduler.advance(Seconds(5));
    stopped.refreshKeyboardBacklightStatus(); // and a refresh asked for after stop does nothing
    EXPECT_EQ(other.log.entries.count(QStringLiteral("keyboard.start")), starts);
    // What the probe reported while the state ran is kept; nothing came after the stop.
    EXPECT_EQ(stopped.keyboardBacklightSupport(), KeyboardBacklightSignal::Support::needsInputMonitoring);
}

TEST_F(AppStateTest, AnUnavailableBacklightReachesTheCapabilityTableAndStaysThere) {
    h.keyboard.inputMonitoringAllowed = true;
    h.backlightSources.finding = {false, 1, std::nullopt};
    state->start();
    h.backlightWorker->drain();
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    EXPECT_EQ(h.capabilities.statuses().at(VantrelCapability::keyboardBacklight).message,
              QStringLiteral("Checking built-in keyboard support."));
    h.scheduler.advance(Seconds(2.0));
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::unavailable);
    // The read 2.1 seconds after start, and the one on activation, leave it unavailable.
    h.scheduler.advance(Seconds(0.1));
    state->refreshKeyboardBacklightStatus();
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::unavailable);
    EXPECT_EQ(state->keyboardBacklightMessage(),
              QStringLiteral(
                  "Vantrel found 1 built-in HID device, but none exposes a keyboard-backlight control."));
    EXPECT_EQ(h.capabilities.statuses().at(VantrelCapability::keyboardBacklight),
              (VantrelCapabilityStatus{VantrelCapabilityStatus::Kind::unsupported,
                                       "This Mac does not expose a supported keyboard-backlight control."}));
    EXPECT_EQ(h.log.entries.count(QStringLiteral("keyboard.start")), 1);
}

TEST_F(AppStateTest, TheStartupTaskDoesNotOutliveItsState) {
    state->start();
    state.reset();
    h.scheduler.advance(Seconds(5)); // nothing may run into the destroyed state
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    EXPECT_EQ(h.sleepWake.observerCount(), 0u);
}

TEST_F(AppStateTest, SleepStopsTheNotchAndMediaAndWakeAppliesTheSettingsAgain) {
    h.preferences.setHasCompletedOnboarding(true);
    state->start();
    state->media().start();
    h.sleepWake.post(PowerEvent::willSleep);
    h.scheduler.runDue();
    EXPECT_FALSE(state->notchController().hasPanel());
    EXPECT_FALSE(state->media().isPolling());

    h.sleepWake.post(PowerEvent::didWake);
    h.scheduler.runDue();
    EXPECT_TRUE(state->notchController().hasPanel());

    // A wake delivered just before stop, but acted on after it, does nothing; after stop no
    // observer is left to deliver to.
    h.sleepWake.post(PowerEvent::didWake);
    state->stop();
    const qsizetype afterStop = h.log.entries.size();
    h.scheduler.runDue();
    h.sleepWake.post(PowerEvent::didWake);
    h.scheduler.runDue();
    EXPECT_EQ(h.log.entries.size(), afterStop);
}

TEST_F(AppStateTest, TheAlertDotOpensTheNotificationsSectionAndStopReleasesIt) {
    NotificationIndicatorPanelController& dot = state->notchController().notificationIndicator();
    QWidget controlCenter;
    state->setControlCenterWindow(&controlCenter);
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_NE(dot.panel(), nullptr);
    const qsizetype from = h.log.entries.size();
    dot.openNotifications();
    EXPECT_TRUE(h.alerts.pendingEvents().empty());
    EXPECT_EQ(state->sections().selected(), VantrelSection::notifications);
    EXPECT_EQ(callsSince(from).filter(QStringLiteral("app.")), QStringList{"app.activate"});
    EXPECT_EQ(h.shell.frontWindow, &controlCenter);

    // Stop lets the dot's window and its glow go.
    state->start();
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_NE(dot.shadowWindow(), nullptr);
    state->stop();
    EXPECT_EQ(dot.panel(), nullptr);
    EXPECT_EQ(dot.shadowWindow(), nullptr);
}

TEST_F(AppStateTest, ThePaletteRunsItsCommandsThroughTheState) {
    EXPECT_EQ(state->commandPalette().commands(), nullptr) << "no link before it is installed";
    h.preferences.setHasCompletedOnboarding(true);
    state->start();
    CommandPaletteCommands* commands = state->commandPalette().commands();
    ASSERT_EQ(commands, static_cast<CommandPaletteCommands*>(state.get()));

    QWidget controlCenter;
    state->setControlCenterWindow(&controlCenter);
    const qsizetype from = h.log.entries.size();
    commands->openSection(VantrelSection::dock);
    EXPECT_EQ(state->sections().selected(), VantrelSection::dock);
    EXPECT_EQ(callsSince(from), QStringList{"app.activate"});
    EXPECT_EQ(h.shell.frontWindow, &controlCenter);

    commands->openNotchTab(NotchTab::files);
    EXPECT_EQ(callsSince(from).mid(1), (QStringList{"notch.show", "notch.expand files focus"}));
    EXPECT_EQ(state->notchController().selectedTab(), NotchTab::files);

    commands->toggleFocus();
    EXPECT_TRUE(state->focus().isRunning());
    commands->toggleFocus();
    EXPECT_FALSE(state->focus().isRunning());

    // The palette is 610 by 410, centred on the screen's visible frame, 110 below its top.
    state->commandPalette().show(
        nullptr, ScreenInfo{QStringLiteral("side"), QRect(1000, 0, 800, 600), QRect(1000, 30, 800, 570)});
    ASSERT_NE(state->commandPalette().panel(), nullptr);
    EXPECT_EQ(state->commandPalette().panel()->geometry(), QRect(1095, 140, 610, 410));
    state->stop();
}

TEST_F(AppStateTest, CompletingTheOnboardingAppliesTheSettingsOnce) {
    ControlCenterViewServices views;
    state->start();
    for (const bool notch : {false, true}) {
        h.preferences.setHasCompletedOnboarding(false);
        h.preferences.setNotchEnabled(notch);
        state->applyPreferences();
        OnboardingFlow flow(controlCenterContext(h, *state, views, h.haptics));
        const qsizetype from = h.log.entries.size();
        for (int i = 0; i < 4; ++i) flow.advance();
        const QStringList calls = callsSince(from);
        EXPECT_EQ(calls.count(QStringLiteral("menuBar.apply")), 1) << notch;
        EXPECT_EQ(calls.contains(QStringLiteral("notch.show")), notch)
            << "the notch shows only when switched on";
    }
    state->stop();
}

TEST_F(AppStateTest, TheNotchPagesRepositionMovesOnlyAPanelOnScreen) {
    ControlCenterViewServices views;
    const ControlCenterContext context = controlCenterContext(h, *state, views, h.haptics);
    ASSERT_TRUE(state->notchController().hasPhysicalNotch());
    // The notch is off: nothing is on screen to move, and the display keeps its notch.
    context.repositionNotch(true);
    EXPECT_TRUE(state->notchController().hasPhysicalNotch());
    EXPECT_FALSE(state->notchController().hasPanel());
    // The opening goes through the application state, which also switches the notch on.
    h.preferences.setNotchEnabled(false);
    const qsizetype from = h.log.entries.size();
    context.showNotch(NotchTab::home, true);
    EXPECT_TRUE(h.preferences.notchEnabled());
    EXPECT_EQ(callsSince(from).filter(QStringLiteral("notch.")),
              (QStringList{QStringLiteral("notch.show"), QStringLiteral("notch.expand home focus")}));
    ASSERT_TRUE(state->notchController().hasPanel());
    context.repositionNotch(true);
    EXPECT_TRUE(state->notchController().hasPhysicalNotch());
}
