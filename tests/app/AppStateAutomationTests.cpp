#include "app/AppState.h"
#include "core/LocalPersistence.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/CommandPaletteView.h"
#include "services/MenuBarScanner.h"
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

TEST(AppStateAutomations, ThePalettesMenuBarCommandRescansThenOpensTheMenuBarSection) {
    AppStateHarness h;
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
    h.permissionSystem.accessibilityTrusted = true;
    h.menuBar.setOtherItems({{QStringLiteral("Network"), {}, {}, QStringLiteral("nm-applet")},
                             {{}, QStringLiteral("Volume"), {}, std::nullopt}});
    AppState state(h.factory);
    state.start();
    QObject::connect(&state.menuBarScanner(), &MenuBarScanner::itemsChanged, [&h, &state] {
        h.log.add(QStringLiteral("scanned, section %1").arg(rawValue(state.sections().selected())));
    });
    state.perform(HotkeyAction::commandPalette);
    CommandPaletteView* view = state.commandPalette().view();
    ASSERT_NE(view, nullptr);
    view->setQuery(QStringLiteral("menu-bar"));
    ASSERT_EQ(view->rows().size(), 1u);
    const qsizetype from = h.log.entries.size();
    QTest::mouseClick(view->rows()[0], Qt::LeftButton);

    // The scan ran before the section was chosen and the application brought forward.
    const QStringList calls = h.log.entries.mid(from);
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_TRUE(calls.first().startsWith(QStringLiteral("scanned, section ")));
    EXPECT_NE(calls.first(), QStringLiteral("scanned, section menuBar"));
    EXPECT_TRUE(calls.contains(QStringLiteral("app.activate")));
    EXPECT_EQ(state.sections().selected(), VantrelSection::menuBar);
    EXPECT_EQ(state.commandPalette().panel(), nullptr) << "the palette closes after the command";
    QStringList found;
    for (const MenuBarItemModel& item : state.menuBarScanner().items())
        found << item.title + " · " + item.owner;
    EXPECT_EQ(found, (QStringList{"Volume · macOS", "Network · nm-applet"}));
    EXPECT_EQ(state.menuBarScanner().scanMessage(), QStringLiteral("Found 2 menu-bar items."));
    EXPECT_EQ(state.menuBarScanner().lastScan(), h.clock.now());

    // Without the permission the list empties, the prompt is asked for and the section still opens.
    h.permissionSystem.accessibilityTrusted = false;
    h.permissionSystem.accessibilityQueries.clear();
    state.sections().select(VantrelSection::home);
    state.refreshMenuBarItems();
    EXPECT_TRUE(state.menuBarScanner().items().empty());
    EXPECT_EQ(state.menuBarScanner().scanMessage(),
              QStringLiteral("Allow Accessibility, then press Scan Menu Bar again."));
    EXPECT_EQ(h.permissionSystem.accessibilityQueries, std::vector<bool>{true});
    EXPECT_EQ(state.sections().selected(), VantrelSection::menuBar);
    state.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
