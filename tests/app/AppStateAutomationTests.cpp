#include "app/AppState.h"
#include "core/LocalPersistence.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/CommandPaletteView.h"
#include "support/RecordingAppComponents.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(AppStateAutomations, ARuleForTheHourNowOpensTheNotchWithinFourSecondsOfStart) {
    AppStateHarness h;
    const int hour = toQDateTime(h.clock.now()).toLocalTime().time().hour();
    QDir().mkpath(h.persistence.directory());
    QFile rules(h.persistence.directory() + QStringLiteral("/automations.json"));
    ASSERT_TRUE(rules.open(QIODevice::WriteOnly));
    rules.write(
        QStringLiteral(R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Now","trigger":"timeOfDay",)"
                       R"("triggerValue":"%1","action":"showNotch","isEnabled":true},)"
                       R"({"id":"7F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Feel","trigger":"timeOfDay",)"
                       R"("triggerValue":"%1","action":"enableFeedback","isEnabled":true}])")
            .arg(hour)
            .toUtf8());
    rules.close();

    AppState state(h.factory);
    state.start();
    EXPECT_FALSE(h.log.entries.contains(QStringLiteral("notch.expand home nofocus")));
    h.scheduler.advance(Seconds(4));
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("notch.expand home nofocus")));
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    EXPECT_TRUE(h.preferences.notchEnabled());

    // Stopping cancels the timer first, then puts the feedback setting back.
    const qsizetype from = h.log.entries.size();
    state.stop();
    const QStringList calls = h.log.entries.mid(from);
    EXPECT_LT(calls.indexOf(QStringLiteral("automations.invalidateTimer")),
              calls.indexOf(QStringLiteral("automations.revertAllActiveRules")));
    EXPECT_FALSE(h.preferences.feedbackEnabled());
    EXPECT_FALSE(state.automations().hasTimer());
}

TEST(AppStateAutomations, ThePalettesDockCommandSwitchesTheReplacementDockAndCloses) {
    AppStateHarness h;
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
    AppState state(h.factory);
    state.start();
    state.perform(HotkeyAction::commandPalette);
    CommandPaletteView* view = state.commandPalette().view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->rows().size(), 12u);
    view->setQuery(QStringLiteral("dock"));
    ASSERT_EQ(view->rows().size(), 1u);
    QTest::mouseClick(view->rows()[0], Qt::LeftButton);
    EXPECT_TRUE(h.preferences.customDockEnabled());
    EXPECT_EQ(state.commandPalette().panel(), nullptr);
    EXPECT_TRUE(state.customDockController().wantsSystemDockSuppressed()) << "the settings were applied";

    // The shelf is shared, the feedback switched, the menu-bar section opened.
    state.shareFileShelf();
    state.toggleFeedback();
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    EXPECT_TRUE(state.isFeedbackEnabled());
    state.refreshMenuBarItems();
    EXPECT_EQ(state.sections().selected(), VantrelSection::menuBar);
    state.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
