#include "core/AppState.h"
#include "core/VantrelApp.h"
#include "core/VantrelAppDelegate.h"
#include "modules/FocusTimer.h"
#include "modules/StopwatchStore.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingStatusBar.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
QAction* actionTitled(const QList<QAction*>& actions, const QString& prefix) {
    for (QAction* action : actions)
        if (action->text().startsWith(prefix)) return action;
    return nullptr;
}
} // namespace

TEST(AppStateTimers, TheFocusTimerReadsItsDurationAndTheCommandsToggleIt) {
    AppStateHarness h;
    h.defaults.standard().setInteger(QStringLiteral("focus.minutes"), 40);
    AppState state(h.factory);
    EXPECT_EQ(state.focus().durationMinutes(), 40);
    EXPECT_EQ(h.defaults.standard().integer(QStringLiteral("timer.durationMinutes")), 40);

    state.perform(HotkeyAction::toggleFocus);
    EXPECT_TRUE(state.focus().isRunning());
    h.scheduler.advance(Seconds(61));
    EXPECT_EQ(state.focus().timeText(), "38:59");
    state.perform(HotkeyAction::toggleFocus);
    EXPECT_FALSE(state.focus().isRunning());
    EXPECT_EQ(state.focus().remainingSeconds(), 2339);
}

TEST(AppStateTimers, StopDismissesTheAlarmAndDropsTheStopwatchTickerInItsPlace) {
    AppStateHarness h;
    h.preferences.setInterfaceHapticsEnabled(false);
    AppState state(h.factory);
    state.start();
    state.stopwatch().startStopwatch();
    h.alarm.play(true);
    ASSERT_TRUE(state.stopwatch().isTicking());
    const qsizetype from = h.log.entries.size();
    state.stop();

    const QStringList calls = h.log.entries.mid(from);
    const qsizetype dismissed = calls.indexOf(QStringLiteral("stop sound Glass"));
    ASSERT_GE(dismissed, 1);
    EXPECT_EQ(calls.at(dismissed - 1), QStringLiteral("keyboard.stop"));
    EXPECT_EQ(calls.at(dismissed + 1), QStringLiteral("cleaning.stop appStopping"));
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_FALSE(state.stopwatch().isTicking());
    EXPECT_TRUE(state.stopwatch().isStopwatchRunning()) << "the flags stay as they are";
    // Neither the alarm's haptic timer nor the ticker is left to fire.
    const std::size_t haptics = h.hapticPerformer.count();
    h.scheduler.advance(Seconds(10));
    EXPECT_EQ(h.hapticPerformer.count(), haptics);
}

TEST(AppStateTimers, TheMenusShowTheRunningFocusTimer) {
    AppStateHarness h;
    AppState state(h.factory);
    RecordingStatusBar statusBar;
    VantrelAppDelegate delegate(state, h.shell, statusBar, h.defaults, h.systemLog);
    delegate.buildStatusItem();
    VantrelApp app(state, h.preferences, h.shell);

    QMenu& status = *delegate.statusMenu();
    Q_EMIT status.aboutToShow();
    QAction* statusTimer = actionTitled(status.actions(), "Start Timer");
    ASSERT_NE(statusTimer, nullptr);
    QAction* commandTimer = actionTitled(app.commandMenu().actions(), "Start Timer");
    ASSERT_NE(commandTimer, nullptr);

    // "Start Timer" starts a real 25-minute focus timer.
    commandTimer->trigger();
    EXPECT_TRUE(state.focus().isRunning());
    h.scheduler.advance(Seconds(5));
    Q_EMIT status.aboutToShow();
    EXPECT_EQ(statusTimer->text(), "Pause Timer (24:55)");
    Q_EMIT app.commandMenu().aboutToShow();
    EXPECT_EQ(commandTimer->text(), "Pause Timer");

    statusTimer->trigger();
    EXPECT_FALSE(state.focus().isRunning());
    Q_EMIT status.aboutToShow();
    Q_EMIT app.commandMenu().aboutToShow();
    EXPECT_EQ(statusTimer->text(), "Start Timer");
    EXPECT_EQ(commandTimer->text(), "Start Timer");
}
