#include "core/AppState.h"
#include "modules/SystemMonitor.h"
#include "support/QtPrinters.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingUserDefaults.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
class AppStateTest : public ::testing::Test {
protected:
    AppStateHarness h;
    std::unique_ptr<AppState> state = std::make_unique<AppState>(h.factory);

    QStringList callsSince(qsizetype from) const { return h.log.entries.mid(from); }
};
} // namespace

TEST_F(AppStateTest, StartsAndStopsOnlyOnce) {
    state->stop(); // before start: nothing at all
    EXPECT_TRUE(h.log.entries.isEmpty());

    state->start();
    ASSERT_TRUE(state->isStarted());
    const qsizetype afterStart = h.log.entries.size();
    EXPECT_EQ(h.sleepWake.observerCount(), 2u);
    state->start();
    EXPECT_EQ(h.log.entries.size(), afterStart);
    EXPECT_EQ(h.sleepWake.observerCount(), 2u);

    state->stop();
    EXPECT_FALSE(state->isStarted());
    const qsizetype afterStop = h.log.entries.size();
    state->stop();
    EXPECT_EQ(h.log.entries.size(), afterStop);
    EXPECT_EQ(h.sleepWake.observerCount(), 0u);
}

TEST_F(AppStateTest, ApplyingBeforeStartDoesNothing) {
    h.preferences.setHasCompletedOnboarding(true);
    state->applyPreferences();
    EXPECT_TRUE(h.log.entries.isEmpty());
    EXPECT_FALSE(h.factory.notch->hasPanel());
    EXPECT_FALSE(h.factory.palette->hasKeyMonitor());
}

TEST_F(AppStateTest, StartRegistersBoundHotkeysInDeclarationOrderThenApplies) {
    RecordingUserDefaults stored;
    stored.setData(
        QStringLiteral("hotkeys.bindings.v1"),
        R"({"toggleFocus":{"keyCode":3,"carbonModifiers":768},"commandPalette":{"keyCode":49,"carbonModifiers":4096}})");
    RecordingHotkeyManager hotkeys(h.log, stored);
    AppStateFactory::Services services = h.factory.services;
    RecordingAppStateFactory factory(h.log, AppStateFactory::Services{services.clock,
                                                                      services.scheduler,
                                                                      services.sleepWake,
                                                                      services.screens,
                                                                      services.shell,
                                                                      services.defaults,
                                                                      services.log,
                                                                      services.permissionSystem,
                                                                      services.loginItems,
                                                                      services.workspace,
                                                                      services.calendarStatus,
                                                                      services.preferences,
                                                                      hotkeys,
                                                                      services.keyboardBacklight,
                                                                      services.capabilities,
                                                                      services.qaObserver,
                                                                      services.persistence,
                                                                      services.pasteboard,
                                                                      services.calendarService,
                                                                      services.sharing,
                                                                      services.openPanel,
                                                                      services.alarm,
                                                                      services.alerts,
                                                                      services.haptics,
                                                                      services.systemCounters,
                                                                      services.mediaAutomation,
                                                                      services.http});
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)};
    AppState withBindings(factory);
    withBindings.start();
    const QStringList calls = h.log.entries;
    const qsizetype handler = calls.indexOf(QStringLiteral("hotkeys.installEventHandler"));
    ASSERT_GE(handler, 0);
    EXPECT_EQ(calls.mid(handler, 3),
              (QStringList{"hotkeys.installEventHandler", "hotkeys.register commandPalette",
                           "hotkeys.register toggleFocus"}));
    // Settings are applied after the hot keys.
    EXPECT_GT(calls.indexOf(QStringLiteral("menuBar.apply")), handler);
    EXPECT_EQ(calls.count(QStringLiteral("hotkeys.installEventHandler")), 1);

    // A press runs the action on this state.
    h.preferences.setNotchEnabled(false);
    hotkeys.performs.at(HotkeyAction::commandPalette)();
    EXPECT_NE(factory.palette->panel(), nullptr);
    withBindings.stop();
}

TEST_F(AppStateTest, OnboardingGatesTheNotchButACommandShowsItAnyway) {
    state->start();
    // Onboarding incomplete: the notch stays hidden although it is enabled.
    EXPECT_TRUE(h.preferences.notchEnabled());
    EXPECT_FALSE(h.factory.notch->hasPanel());
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("notch.hide")));

    // A command shows it all the same and switches the notch setting on.
    h.preferences.setNotchEnabled(false);
    state->showNotch(NotchTab::clipboard, true);
    EXPECT_TRUE(h.preferences.notchEnabled());
    EXPECT_TRUE(h.defaults.standard().boolValue(QStringLiteral("notch.enabled")));
    EXPECT_TRUE(h.factory.notch->hasPanel());
    EXPECT_TRUE(h.factory.notch->isExpanded());
    EXPECT_EQ(h.factory.notch->selectedTab(), NotchTab::clipboard);
    EXPECT_EQ(h.factory.notch->state(), state.get());
    EXPECT_EQ(h.log.entries.mid(h.log.entries.size() - 2),
              (QStringList{"notch.show", "notch.expand clipboard focus"}));

    // Applying hides it again until onboarding is done; then applying shows it.
    state->applyPreferences();
    EXPECT_FALSE(h.factory.notch->hasPanel());
    h.preferences.setHasCompletedOnboarding(true);
    state->applyPreferences();
    EXPECT_TRUE(h.factory.notch->hasPanel());
    h.preferences.setNotchEnabled(false);
    state->applyPreferences();
    EXPECT_FALSE(h.factory.notch->hasPanel());
}

TEST_F(AppStateTest, ShowNotchWorksBeforeStart) {
    state->showNotch(NotchTab::files, false);
    EXPECT_TRUE(h.factory.notch->isExpanded());
    EXPECT_EQ(h.factory.notch->selectedTab(), NotchTab::files);
    EXPECT_FALSE(h.factory.notch->wantsKeyFocus());
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
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("dock.show")));
    EXPECT_TRUE(h.factory.dock->wantsSystemDockSuppressed());
    h.factory.dock->setIsEditingItems(true);
    h.factory.dock->setShouldVerifyInitialPendingSuppression(true);

    h.preferences.setCustomDockEnabled(false);
    const qsizetype before = h.log.entries.size();
    state->applyPreferences();
    const QStringList dockCalls = callsSince(before).filter(QStringLiteral("dock."));
    EXPECT_EQ(dockCalls, (QStringList{"dock.setRevealed true", "dock.synchronize"}));
    EXPECT_FALSE(h.factory.dock->wantsSystemDockSuppressed());
    EXPECT_FALSE(h.factory.dock->shouldVerifyInitialPendingSuppression());
    EXPECT_FALSE(h.factory.dock->isEditingItems());
    EXPECT_TRUE(h.factory.dock->isDockRevealed());
    EXPECT_FALSE(h.factory.dock->hasPanel());
    EXPECT_EQ(h.defaults.suite(QStringLiteral("com.apple.dock")).doubleValue(QStringLiteral("tilesize")), 64);
    EXPECT_FALSE(own.boolValue(QStringLiteral("vantrelDock.visualSnapshotCaptured.v1")));
}

TEST_F(AppStateTest, PerformDispatchesEveryAction) {
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1440, 900), QRect(0, 25, 1440, 875)};
    state->start();

    // The palette is installed by applying the settings (on by default): it opens and closes.
    state->perform(HotkeyAction::commandPalette);
    ASSERT_NE(h.factory.palette->panel(), nullptr);
    EXPECT_EQ(h.factory.palette->panel()->geometry(), QRect(415, 135, 610, 410));
    EXPECT_EQ(h.shell.frontWindow, h.factory.palette->panel());
    state->perform(HotkeyAction::commandPalette);
    EXPECT_EQ(h.factory.palette->panel(), nullptr);

    // Hidden items toggle only while the organizer is on and set up.
    state->perform(HotkeyAction::toggleHiddenItems);
    EXPECT_FALSE(state->menuBarAppearance().areHiddenItemsRevealed());
    h.preferences.setMenuMaskEnabled(true);
    h.preferences.setMenuSetupComplete(true);
    state->perform(HotkeyAction::toggleHiddenItems);
    EXPECT_TRUE(state->menuBarAppearance().areHiddenItemsRevealed());
    state->perform(HotkeyAction::toggleHiddenItems);
    EXPECT_FALSE(state->menuBarAppearance().areHiddenItemsRevealed());
    EXPECT_EQ(h.log.entries.count(QStringLiteral("menuBar.toggleHiddenItems")), 3);

    // The always-hidden reveal flag toggles both ways.
    state->perform(HotkeyAction::toggleAlwaysHiddenItems);
    EXPECT_TRUE(state->menuBarAppearance().areAlwaysHiddenItemsRevealed());
    state->perform(HotkeyAction::toggleAlwaysHiddenItems);
    EXPECT_FALSE(state->menuBarAppearance().areAlwaysHiddenItemsRevealed());

    state->perform(HotkeyAction::openNotch);
    EXPECT_EQ(h.log.entries.last(), QStringLiteral("notch.expand home focus"));
    EXPECT_TRUE(h.factory.notch->wantsKeyFocus());
    state->stop();
}

TEST_F(AppStateTest, ThePaletteNeverInstalledOpensNothing) {
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)};
    h.preferences.setCommandPaletteEnabled(false);
    state->start();
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("palette.uninstall")));
    state->perform(HotkeyAction::commandPalette);
    EXPECT_EQ(h.factory.palette->panel(), nullptr);
    EXPECT_EQ(h.shell.frontWindow, nullptr);

    // Once installed, the link stays even after uninstalling, so an explicit show opens it.
    h.preferences.setCommandPaletteEnabled(true);
    state->applyPreferences();
    h.preferences.setCommandPaletteEnabled(false);
    state->applyPreferences();
    EXPECT_FALSE(h.factory.palette->hasKeyMonitor());
    state->perform(HotkeyAction::commandPalette);
    EXPECT_NE(h.factory.palette->panel(), nullptr);
    state->stop();
}

TEST_F(AppStateTest, StopTearsDownInItsFixedOrder) {
    h.preferences.setHasCompletedOnboarding(true);
    h.preferences.setFeedbackEnabled(true);
    state->start();
    const qsizetype from = h.log.entries.size();
    state->stop();
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
                                    "cleaning.stop appStopping",
                                    "automations.invalidateTimer",
                                    "automations.revertAllActiveRules",
                                    "palette.uninstall",
                                    "hotkeys.unregisterAll",
                                }));
    EXPECT_EQ(h.factory.notch->state(), nullptr);
    EXPECT_EQ(h.factory.dock->statusMessage(), QStringLiteral("Native macOS Dock restored"));
    EXPECT_FALSE(h.factory.feedback->isListening());
    EXPECT_FALSE(h.hotkeys.hasEventHandler());
}

TEST_F(AppStateTest, FeedbackIsRestartedOnEveryApplicationWhileEnabled) {
    h.preferences.setFeedbackEnabled(true);
    state->start();
    state->applyPreferences();
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("feedback.")),
              (QStringList{"feedback.stop", "feedback.start", "feedback.stop", "feedback.start"}));
    EXPECT_EQ(h.factory.feedback->preferences(), &h.preferences);
    h.preferences.setFeedbackEnabled(false);
    state->applyPreferences();
    EXPECT_FALSE(h.factory.feedback->isListening());
}

TEST_F(AppStateTest, KeyboardStateIsReadTwoPointOneSecondsAfterStart) {
    state->start();
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    EXPECT_EQ(state->keyboardBacklightMessage(), QStringLiteral("Checking the built-in keyboard…"));
    h.scheduler.advance(Seconds(2.0));
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    h.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::needsInputMonitoring);
    EXPECT_EQ(
        state->keyboardBacklightMessage(),
        QStringLiteral("Allow Input Monitoring so Vantrel can communicate with the built-in keyboard."));
    state->stop();
}

TEST_F(AppStateTest, AStopWithinTwoPointOneSecondsCancelsTheKeyboardRefresh) {
    state->start();
    h.scheduler.advance(Seconds(2.0));
    state->stop();
    const qsizetype starts = h.log.entries.count(QStringLiteral("keyboard.start"));
    h.scheduler.advance(Seconds(5));
    EXPECT_EQ(h.log.entries.count(QStringLiteral("keyboard.start")), starts);
    EXPECT_EQ(state->keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    // And a refresh asked for after stop does nothing either.
    state->refreshKeyboardBacklightStatus();
    EXPECT_EQ(h.log.entries.count(QStringLiteral("keyboard.start")), starts);
}

TEST_F(AppStateTest, TheStartupTaskDoesNotOutliveItsState) {
    state->start();
    state.reset();
    h.scheduler.advance(Seconds(5)); // nothing may run into the destroyed state
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    EXPECT_EQ(h.sleepWake.observerCount(), 0u);
}

TEST_F(AppStateTest, SleepHidesTheNotchAndWakeAppliesTheSettingsAgain) {
    h.preferences.setHasCompletedOnboarding(true);
    state->start();
    EXPECT_TRUE(h.factory.notch->hasPanel());
    h.sleepWake.post(PowerEvent::willSleep);
    h.scheduler.runDue();
    EXPECT_FALSE(h.factory.notch->hasPanel());

    const qsizetype beforeWake = h.log.entries.size();
    h.sleepWake.post(PowerEvent::didWake);
    h.scheduler.runDue();
    EXPECT_TRUE(h.factory.notch->hasPanel());
    EXPECT_TRUE(callsSince(beforeWake).contains(QStringLiteral("menuBar.apply")));

    // A wake delivered just before stop, but acted on after it, does nothing.
    h.sleepWake.post(PowerEvent::didWake);
    state->stop();
    const qsizetype afterStop = h.log.entries.size();
    h.scheduler.runDue();
    EXPECT_EQ(h.log.entries.size(), afterStop);
    // And after stop no observer is left to deliver to.
    h.sleepWake.post(PowerEvent::didWake);
    h.scheduler.runDue();
    EXPECT_EQ(h.log.entries.size(), afterStop);
}

TEST_F(AppStateTest, TheControlCenterWindowIsConfiguredAndKeptOnScreen) {
    h.screens.window = ScreenInfo{QStringLiteral("side"), QRect(0, 0, 1280, 800), QRect(0, 30, 1280, 770)};
    QWidget tooLarge;
    tooLarge.setGeometry(-40, 0, 1600, 1000);
    state->registerControlCenterWindow(tooLarge);
    EXPECT_EQ(state->controlCenterWindow(), &tooLarge);
    EXPECT_EQ(tooLarge.objectName(), QStringLiteral("vantrel.control-center"));
    EXPECT_EQ(tooLarge.windowTitle(), QStringLiteral("Vantrel"));
    EXPECT_EQ(tooLarge.minimumSize(), QSize(720, 600));
    EXPECT_EQ(tooLarge.geometry(), QRect(8, 38, 1264, 754));

    QWidget fits;
    fits.setGeometry(100, 50, 1080, 720);
    state->registerControlCenterWindow(fits);
    EXPECT_EQ(state->controlCenterWindow(), &fits);
    EXPECT_EQ(fits.geometry(), QRect(100, 50, 1080, 720));

    // No screen of its own: the main screen is used; with neither the frame is left alone.
    h.screens.window.reset();
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
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

TEST_F(AppStateTest, MediaPollingEndsAtSleepHideAndStopWhileTheMonitorWaitsForObservers) {
    state->start();
    EXPECT_FALSE(state->systemMonitor().isSampling());
    EXPECT_FALSE(state->media().isPolling());

    state->media().start();
    ASSERT_TRUE(state->media().isPolling());
    h.sleepWake.post(PowerEvent::willSleep);
    h.scheduler.runDue();
    EXPECT_FALSE(state->media().isPolling());

    h.preferences.setHasCompletedOnboarding(true);
    state->applyPreferences();
    state->media().start();
    h.factory.notch->hide();
    EXPECT_FALSE(state->media().isPolling());

    state->media().start();
    state->systemMonitor().addObserver();
    EXPECT_TRUE(state->systemMonitor().isSampling());
    state->stop();
    EXPECT_FALSE(state->media().isPolling());
}
