#include "core/AppState.h"
#include "core/VantrelApp.h"
#include "core/VantrelAppDelegate.h"
#include "support/QtPrinters.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingStatusBar.h"

#include <QMainWindow>
#include <QMenu>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
const QString kPositionKey = QStringLiteral("NSStatusItem Preferred Position VantrelPrimary");
const QString kSuite = QStringLiteral("com.apple.systemuiserver");

class DelegateTest : public ::testing::Test {
protected:
    AppStateHarness h;
    AppState state{h.factory};
    RecordingStatusBar statusBar;
    VantrelAppDelegate delegate{state, h.shell, statusBar, h.defaults, h.systemLog};

    RecordingStatusItem& item() { return *statusBar.lastItem(); }
};
} // namespace

TEST_F(DelegateTest, LaunchSeedsThePositionOnlyWhenAbsentAndStartsTheState) {
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(h.defaults.suite(kSuite).object(kPositionKey), QJsonValue(0));
    ASSERT_EQ(statusBar.items.size(), 1u);
    EXPECT_EQ(item().autosaveName(), QStringLiteral("VantrelPrimary"));
    EXPECT_TRUE(state.isStarted());

    // The organizer learns where the item sits.
    item().frame = QRect(1200, 0, 24, 24);
    ASSERT_TRUE(state.menuBarAppearance().primaryControlFrameProvider);
    EXPECT_EQ(state.menuBarAppearance().primaryControlFrameProvider(),
              std::optional<QRect>(QRect(1200, 0, 24, 24)));

    delegate.applicationWillTerminate();
    EXPECT_FALSE(state.isStarted());

    // A position the user left since is kept by a later launch.
    h.defaults.suite(kSuite).setInteger(kPositionKey, 412);
    delegate.buildStatusItem();
    EXPECT_EQ(h.defaults.suite(kSuite).integer(kPositionKey), 412);
}

TEST_F(DelegateTest, TheIconFollowsTheOrganizerAtOnce) {
    delegate.buildStatusItem();
    delegate.bindStatusItemState();
    EXPECT_EQ(item().symbol, QStringLiteral("sparkles"));
    EXPECT_EQ(item().accessibilityDescription, QStringLiteral("Open Vantrel"));
    EXPECT_EQ(item().toolTip, QStringLiteral("Open Vantrel · right-click for menu"));

    h.preferences.setMenuMaskEnabled(true);
    EXPECT_EQ(item().symbol, QStringLiteral("chevron.left.2"));
    EXPECT_EQ(item().toolTip, QStringLiteral("Show hidden menu-bar items · right-click for Vantrel menu"));

    h.preferences.setMenuSetupComplete(true);
    state.menuBarAppearance().toggleHiddenItems(&h.preferences, nullptr);
    EXPECT_EQ(item().symbol, QStringLiteral("chevron.right.2"));
    EXPECT_EQ(item().accessibilityDescription, QStringLiteral("Hide menu-bar items"));
    EXPECT_EQ(item().toolTip, QStringLiteral("Hide menu-bar items · right-click for Vantrel menu"));

    // With the organizer off, revealed or not, the item opens Vantrel.
    h.preferences.setMenuMaskEnabled(false);
    EXPECT_EQ(item().symbol, QStringLiteral("sparkles"));
}

TEST_F(DelegateTest, RightClickShowsTheMenuUpdatedAndLeftClickNeverDoes) {
    QWidget window;
    state.registerControlCenterWindow(window);
    delegate.buildStatusItem();

    item().click(StatusItemClick::right);
    ASSERT_EQ(item().poppedUpMenus.size(), 1u);
    EXPECT_EQ(item().poppedUpMenus.front(),
              (QStringList{"Open Vantrel", "Open Notch", "Command Palette", "-",
                           "Show Hidden Menu Items (disabled)", "-", "Start Timer", "Clipboard", "File Shelf",
                           "-", "Quit Vantrel"}));
    EXPECT_EQ(delegate.statusMenu()->actions().first()->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
    EXPECT_TRUE(h.log.entries.isEmpty()); // nothing else happened

    // Organizer off: the control center comes forward on whatever section was selected.
    state.setSelectedSection(VantrelSection::dock);
    item().click(StatusItemClick::left);
    EXPECT_EQ(item().poppedUpMenus.size(), 1u);
    EXPECT_EQ(state.selectedSection(), VantrelSection::dock);
    EXPECT_EQ(h.log.entries, (QStringList{"app.activate", "app.front"}));
    EXPECT_EQ(h.shell.frontWindow, &window);

    // Organizer on but not set up: its page.
    h.preferences.setMenuMaskEnabled(true);
    item().click(StatusItemClick::left);
    EXPECT_EQ(state.selectedSection(), VantrelSection::menuBar);

    // Set up: the click toggles the hidden items instead.
    h.preferences.setMenuSetupComplete(true);
    h.log.entries.clear();
    item().click(StatusItemClick::left);
    EXPECT_TRUE(state.menuBarAppearance().areHiddenItemsRevealed());
    EXPECT_EQ(h.log.entries, QStringList{"menuBar.toggleHiddenItems"});
    item().click(StatusItemClick::right);
    EXPECT_EQ(item().poppedUpMenus.back().at(4), QStringLiteral("Hide Menu Items"));
}

TEST_F(DelegateTest, ReopenAndTheMenuActionsBringTheControlCenterBack) {
    // Without a registered window only the application is activated.
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(false));
    EXPECT_EQ(h.log.entries, QStringList{"app.activate"});

    QWidget window;
    state.registerControlCenterWindow(window);
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(true));
    EXPECT_EQ(h.shell.frontWindow, &window);

    h.log.entries.clear();
    delegate.openClipboard();
    delegate.openFiles();
    delegate.quit();
    EXPECT_EQ(h.log.entries, (QStringList{"notch.show", "notch.expand clipboard focus", "notch.show",
                                          "notch.expand files focus", "app.terminate"}));
}

TEST_F(DelegateTest, BecomingActiveRereadsTheKeyboardAndCapabilities) {
    delegate.applicationDidFinishLaunching();
    h.keyboard.inputMonitoringAllowed = true;
    h.log.entries.clear();
    delegate.applicationDidBecomeActive();
    EXPECT_EQ(h.log.entries, QStringList{"keyboard.start"});
    EXPECT_EQ(state.keyboardBacklightSupport(), KeyboardBacklightSignal::Support::checking);
    EXPECT_EQ(state.keyboardBacklightMessage(),
              QStringLiteral("Looking for the built-in keyboard backlight control…"));
    EXPECT_FALSE(h.capabilities.statuses().empty());
    delegate.applicationWillTerminate();
}

TEST(VantrelApp, TheControlCenterWindowAndItsCommands) {
    AppStateHarness h;
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
    AppState state(h.factory);
    VantrelApp app(state, h.preferences, h.shell);
    app.showControlCenter();
    EXPECT_EQ(app.window().windowTitle(), QStringLiteral("Vantrel"));
    EXPECT_EQ(app.window().size(), QSize(1080, 720));
    // The root view handed its window to the state once it was shown.
    EXPECT_EQ(state.controlCenterWindow(), &app.window());
    EXPECT_GE(app.window().minimumSize().width(), 720);

    QStringList titles;
    for (QAction* action : app.commandMenu().actions())
        titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(titles, (QStringList{"About Vantrel", "-", "Open Notch", "Command Palette", "-", "Start Timer",
                                   "-", "Quit Vantrel"}));
    EXPECT_EQ(app.commandMenu().actions().at(2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    EXPECT_EQ(app.commandMenu().actions().at(3)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Space")));

    state.setSelectedSection(VantrelSection::appearance);
    app.about();
    EXPECT_EQ(state.selectedSection(), VantrelSection::home);
    EXPECT_EQ(h.shell.frontWindow, &app.window());

    // The palette was never installed (the state never started): the command opens nothing.
    app.openPalette();
    EXPECT_EQ(state.commandPalette().panel(), nullptr);
    app.openNotch();
    EXPECT_TRUE(state.notchController().isExpanded());
}
