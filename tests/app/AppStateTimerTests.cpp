#include "app/AppState.h"
#include "app/VantrelApp.h"
#include "app/VantrelAppDelegate.h"
#include "modules/FocusTimer.h"
#include "services/CommandPaletteController.h"
#include "services/CommandPaletteView.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingStatusBar.h"

#include <QAbstractButton>
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

TEST(AppStateTimers, TheMenusShowTheRunningFocusTimer) {
    AppStateHarness h;
    AppState state(h.factory);
    RecordingStatusBar statusBar;
    VantrelAppDelegate delegate(state, h.shell, statusBar, h.defaults, h.systemLog);
    delegate.buildStatusItem();
    ControlCenterViewServices views;
    VantrelApp app(state, controlCenterContext(h, state, views, h.haptics), h.shell, h.screens);

    QMenu& status = *delegate.statusMenu();
    Q_EMIT status.aboutToShow();
    QAction* statusTimer = actionTitled(status.actions(), "Start Timer");
    QAction* commandTimer = actionTitled(app.commandMenu().actions(), "Start Timer");
    ASSERT_TRUE(statusTimer && commandTimer);

    // "Start Timer" starts a real 25-minute focus timer; the titles follow when a menu opens.
    commandTimer->trigger();
    h.scheduler.advance(Seconds(5));
    Q_EMIT status.aboutToShow();
    EXPECT_EQ(statusTimer->text(), "Pause Timer (24:55)");
    Q_EMIT app.commandMenu().aboutToShow();
    EXPECT_EQ(commandTimer->text(), "Pause Timer");

    statusTimer->trigger();
    EXPECT_FALSE(state.focus().isRunning());
    Q_EMIT status.aboutToShow();
    EXPECT_EQ(statusTimer->text(), "Start Timer");
    Q_EMIT app.commandMenu().aboutToShow();
    EXPECT_EQ(commandTimer->text(), "Start Timer");

    // "Open Notch" in the same menu opens it on Home and gives it the keyboard.
    QAction* openNotch = actionTitled(app.commandMenu().actions(), "Open Notch");
    ASSERT_TRUE(openNotch);
    openNotch->trigger();
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("notch.expand home focus")))
        << h.log.entries.join(QStringLiteral(", ")).toStdString();
}

TEST(AppStateTimers, ThePalettesTimerRowFollowsTheTimerWhileOpen) {
    AppStateHarness h;
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
    AppState state(h.factory);
    state.start();
    state.perform(HotkeyAction::commandPalette);
    CommandPaletteView* view = state.commandPalette().view();
    ASSERT_NE(view, nullptr);
    const auto timerRow = [view]() -> QString {
        for (QAbstractButton* row : view->rows())
            if (row->objectName() == u"timer") return row->accessibleName();
        return {};
    };
    EXPECT_EQ(timerRow(), "Start timer, 25:00");
    state.focus().start();
    h.scheduler.advance(Seconds(5));
    EXPECT_EQ(timerRow(), "Pause timer, 24:55");
    h.scheduler.advance(Seconds(60));
    EXPECT_EQ(timerRow(), "Pause timer, 23:55");
    state.focus().pause();
    EXPECT_EQ(timerRow(), "Start timer, 23:55");
    // A query that only the running timer's title matches.
    view->setQuery(QStringLiteral("pause"));
    EXPECT_EQ(view->rows().size(), 0u);
    state.focus().start();
    ASSERT_EQ(view->rows().size(), 1u);
    EXPECT_EQ(timerRow(), "Pause timer, 23:55");
    state.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
