#include "app/AppState.h"
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

    h.preferences.setCustomDockEnabled(false);
    const qsizetype before = h.log.entries.size();
    state->applyPreferences();
    EXPECT_EQ(callsSince(before).filter(QStringLiteral("dock.")),
              (QStringList{"dock.setRevealed true", "dock.synchronize"}));
    EXPECT_FALSE(state->customDockController().wantsSystemDockSuppressed());
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

    // The always-hidden reveal flag toggles both ways.
    state->perform(HotkeyAction::toggleAlwaysHiddenItems);
    EXPECT_TRUE(menuBar.areAlwaysHiddenItemsRevealed());
    state->perform(HotkeyAction::toggleAlwaysHiddenItems);
    EXPECT_FALSE(menuBar.areAlwaysHiddenItemsRevealed());

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
    state->start();
    h.scheduler.advance(Seconds(2.0));
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    h.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::needsInputMonitoring);
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
    EXPECT_EQ(stopped.keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
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

TEST_F(AppStateTest, TheControlCenterWindowIsKeptOnItsScreen) {
    h.screens.window = ScreenInfo{QStringLiteral("side"), QRect(0, 0, 1280, 800), QRect(0, 30, 1280, 770)};
    h.screens.main = kMain;
    QWidget tooLarge;
    tooLarge.setGeometry(-40, 0, 1600, 1000);
    state->registerControlCenterWindow(tooLarge);
    EXPECT_EQ(state->controlCenterWindow(), &tooLarge);
    EXPECT_EQ(tooLarge.windowTitle(), QStringLiteral("Vantrel"));
    EXPECT_EQ(tooLarge.minimumSize(), QSize(720, 600));
    EXPECT_EQ(tooLarge.geometry(), QRect(8, 38, 1264, 754));

    // A window inside the visible frame is not touched at all.
    QWidget inside;
    inside.setGeometry(100, 100, 800, 600);
    inside.setAttribute(Qt::WA_Moved, false);
    inside.setAttribute(Qt::WA_Resized, false);
    state->registerControlCenterWindow(inside);
    EXPECT_FALSE(inside.testAttribute(Qt::WA_Moved));
    EXPECT_FALSE(inside.testAttribute(Qt::WA_Resized));
    EXPECT_EQ(inside.geometry(), QRect(100, 100, 800, 600));

    // No screen of its own: the main screen is used; with neither the frame is left alone.
    h.screens.window.reset();
    QWidget offMain;
    offMain.setGeometry(500, 300, 1080, 720);
    state->registerControlCenterWindow(offMain);
    EXPECT_EQ(offMain.geometry(), QRect(8, 8, 984, 684));
    h.screens.main.reset();
    QWidget nowhere;
    nowhere.setGeometry(5000, 5000, 1080, 720);
    state->registerControlCenterWindow(nowhere);
    EXPECT_EQ(nowhere.geometry(), QRect(5000, 5000, 1080, 720));
}
