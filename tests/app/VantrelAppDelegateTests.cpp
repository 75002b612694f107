#include "app/AppState.h"
#include "app/VantrelApp.h"
#include "app/VantrelAppDelegate.h"
#include "core/FileNotices.h"
#include "services/CommandPaletteController.h"
#include "support/FakeScreens.h"
#include "support/QtPrinters.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingStatusBar.h"

#include <QMainWindow>
#include <QMenu>
#include <QTest>
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

    RecordingStatusItem& item() { return *statusBar.item; }
};
} // namespace

TEST_F(DelegateTest, LaunchSeedsThePositionOnlyWhenAbsentStartsTheStateAndActivationRereads) {
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(h.defaults.suite(kSuite).object(kPositionKey), QJsonValue(0));
    EXPECT_EQ(item().autosaveName(), QStringLiteral("VantrelPrimary"));
    EXPECT_TRUE(state.isStarted());

    // The organizer learns where the item sits.
    item().frame = QRect(1200, 0, 24, 24);
    EXPECT_EQ(state.menuBarAppearance().primaryControlFrameProvider(),
              std::optional<QRect>(QRect(1200, 0, 24, 24)));

    // Becoming active rereads the keyboard and the capabilities.
    h.keyboard.inputMonitoringAllowed = true;
    h.log.entries.clear();
    delegate.applicationDidBecomeActive();
    EXPECT_EQ(h.log.entries, QStringList{"keyboard.start"});
    EXPECT_FALSE(h.capabilities.statuses().empty());
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
    const auto expectIcon = [&](const char* symbol, const char* toolTip) {
        EXPECT_EQ(item().symbol, QString::fromUtf8(symbol));
        EXPECT_EQ(item().toolTip, QString::fromUtf8(toolTip));
    };
    expectIcon("sparkles", "Open Vantrel · right-click for menu");
    h.preferences.setMenuMaskEnabled(true);
    expectIcon("chevron.left.2", "Show hidden menu-bar items · right-click for Vantrel menu");
    h.preferences.setMenuSetupComplete(true);
    state.menuBarAppearance().toggleHiddenItems(&h.preferences, nullptr);
    expectIcon("chevron.right.2", "Hide menu-bar items · right-click for Vantrel menu");
    EXPECT_EQ(item().accessibilityDescription, QStringLiteral("Hide menu-bar items"));
    // With the organizer off, revealed or not, the item opens Vantrel.
    h.preferences.setMenuMaskEnabled(false);
    expectIcon("sparkles", "Open Vantrel · right-click for menu");
}

TEST_F(DelegateTest, AFileThatCouldNotBeSavedIsToldInTheTooltipUntilItIsSavedOrClosed) {
    FileNotices notices;
    delegate.setFileNotices(&notices);
    delegate.buildStatusItem();
    notices.set(QStringLiteral("/data/bookmarks.json"), QStringLiteral("bookmarks.json could not be saved."));
    EXPECT_EQ(item().toolTip,
              QStringLiteral("Open Vantrel · right-click for menu\nbookmarks.json could not be saved."));
    notices.set(QStringLiteral("/data/dock-items.json"),
                QStringLiteral("dock-items.json could not be saved."));
    notices.set(QStringLiteral("/data/rules.json"), QStringLiteral("rules.json could not be saved."));
    EXPECT_EQ(item().toolTip,
              QStringLiteral("Open Vantrel · right-click for menu\nbookmarks.json could not be "
                             "saved.\nand 2 more in Vantrel's window"));
    notices.resolve(QStringLiteral("/data/bookmarks.json"));
    notices.resolve(QStringLiteral("/data/rules.json"));
    EXPECT_EQ(item().toolTip,
              QStringLiteral("Open Vantrel · right-click for menu\ndock-items.json could not be saved."));
    // Closed in the window, it has been seen.
    notices.dismiss();
    EXPECT_EQ(item().toolTip, QStringLiteral("Open Vantrel · right-click for menu"));
    EXPECT_EQ(item().accessibilityDescription, QStringLiteral("Open Vantrel"))
        << "the notice is in the tooltip only";
}

TEST_F(DelegateTest, RightClickShowsTheMenuUpdatedAndLeftClickNeverDoes) {
    QWidget window;
    state.setControlCenterWindow(&window);
    delegate.buildStatusItem();
    // The tray opens the same menu on its own right click.
    EXPECT_EQ(item().contextMenu, delegate.statusMenu());
    EXPECT_NE(item().contextMenu, nullptr);

    item().click(StatusItemClick::right);
    ASSERT_EQ(item().poppedUpMenus.size(), 1u);
    EXPECT_EQ(item().poppedUpMenus.front(),
              (QStringList{"Open Vantrel", "Open Notch", "Command Palette", "-",
                           "Show Hidden Menu Items (disabled)", "-", "Start Timer", "Clipboard", "File Shelf",
                           "-", "Quit Vantrel"}));
    EXPECT_TRUE(h.log.entries.isEmpty()); // nothing else happened

    // Organizer off: the control center comes forward on whatever section was selected.
    state.sections().select(VantrelSection::dock);
    item().click(StatusItemClick::left);
    EXPECT_EQ(item().poppedUpMenus.size(), 1u);
    EXPECT_EQ(state.sections().selected(), VantrelSection::dock);
    EXPECT_EQ(h.shell.frontWindow, &window);

    // Organizer on but not set up: its page.
    h.preferences.setMenuMaskEnabled(true);
    item().click(StatusItemClick::left);
    EXPECT_EQ(state.sections().selected(), VantrelSection::menuBar);

    // Set up: the click toggles the hidden items instead, and the menu says so when opened.
    h.preferences.setMenuSetupComplete(true);
    item().click(StatusItemClick::left);
    EXPECT_TRUE(state.menuBarAppearance().areHiddenItemsRevealed());
    item().click(StatusItemClick::right);
    EXPECT_EQ(item().poppedUpMenus.back().at(4), QStringLiteral("Hide Menu Items"));
}

TEST_F(DelegateTest, ReopenAndTheMenuActionsBringTheControlCenterBack) {
    // Without a registered window only the application is activated.
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(false));
    EXPECT_EQ(h.log.entries, QStringList{"app.activate"});

    QWidget window;
    state.setControlCenterWindow(&window);
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(true));
    EXPECT_EQ(h.shell.frontWindow, &window);

    h.log.entries.clear();
    delegate.openFiles();
    delegate.quit();
    EXPECT_EQ(h.log.entries, (QStringList{"notch.show", "notch.expand files focus", "app.terminate"}));
}

TEST(VantrelApp, TheControlCenterWindowAndItsCommands) {
    AppStateHarness h;
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
    AppState state(h.factory);
    ControlCenterViewServices views;
    VantrelApp app(state, controlCenterContext(h, state, views, h.haptics), h.shell, h.screens);
    app.showControlCenter();
    EXPECT_EQ(app.window().size(), QSize(1080, 720));
    // The root view reports its window one turn after it was shown; the application sets it up
    // and hands it to the state.
    EXPECT_EQ(state.controlCenterWindow(), nullptr);
    h.scheduler.runDue();
    EXPECT_EQ(state.controlCenterWindow(), &app.window());
    EXPECT_EQ(app.window().objectName(), QStringLiteral("vantrel.control-center"));
    // The least size is the frame's, the decorations the window manager draws included.
    const QSize decorations = app.window().frameGeometry().size() - app.window().geometry().size();
    EXPECT_EQ(app.window().minimumSize() + decorations, QSize(720, 600));
    // The window carries the mark: a dark rounded tile with a light "V", clear beyond its corners.
    const QImage icon = app.window().windowIcon().pixmap(64, 64).toImage();
    ASSERT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(icon.pixelColor(1, 1).alpha(), 0) << "rounded corner";
    EXPECT_LT(icon.pixelColor(32, 8).lightness(), 80) << "the tile above the V";
    EXPECT_GT(icon.pixelColor(32, 44).lightness(), 200) << "the V's point";

    QStringList titles;
    for (QAction* action : app.commandMenu().actions())
        titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(titles, (QStringList{"About Vantrel", "-", "Open Notch", "Command Palette", "-", "Start Timer",
                                   "-", "Quit Vantrel"}));
    EXPECT_EQ(app.commandMenu().actions().at(2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+N")));

    state.sections().select(VantrelSection::appearance);
    app.about();
    EXPECT_EQ(state.sections().selected(), VantrelSection::home);
    EXPECT_EQ(h.shell.frontWindow, &app.window());
    app.openNotch();
    EXPECT_TRUE(state.notchController().isExpanded());
}

TEST(VantrelApp, TheControlCenterWindowIsKeptOnItsScreen) {
    AppStateHarness h;
    AppState state(h.factory);
    ControlCenterViewServices views;
    VantrelApp app(state, controlCenterContext(h, state, views, h.haptics), h.shell, h.screens);
    const ScreenInfo kMain{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
    h.screens.window = ScreenInfo{QStringLiteral("side"), QRect(0, 0, 1280, 800), QRect(0, 30, 1280, 770)};
    h.screens.main = kMain;
    QWidget tooLarge;
    tooLarge.setGeometry(-40, 0, 1600, 1000);
    app.configureControlCenterWindow(tooLarge);
    EXPECT_EQ(state.controlCenterWindow(), &tooLarge);
    EXPECT_EQ(tooLarge.windowTitle(), QStringLiteral("Vantrel"));
    EXPECT_EQ(tooLarge.minimumSize(), QSize(720, 600));
    EXPECT_EQ(tooLarge.geometry(), QRect(8, 38, 1264, 754));

    // A window inside the visible frame is not touched at all.
    QWidget inside;
    inside.setGeometry(100, 100, 800, 600);
    inside.setAttribute(Qt::WA_Moved, false);
    inside.setAttribute(Qt::WA_Resized, false);
    app.configureControlCenterWindow(inside);
    EXPECT_FALSE(inside.testAttribute(Qt::WA_Moved));
    EXPECT_FALSE(inside.testAttribute(Qt::WA_Resized));
    EXPECT_EQ(inside.geometry(), QRect(100, 100, 800, 600));

    // No screen of its own: the main screen is used; with neither the frame is left alone.
    h.screens.window.reset();
    QWidget offMain;
    offMain.setGeometry(500, 300, 1080, 720);
    app.configureControlCenterWindow(offMain);
    EXPECT_EQ(offMain.geometry(), QRect(8, 8, 984, 684));
    h.screens.main.reset();
    QWidget nowhere;
    nowhere.setGeometry(5000, 5000, 1080, 720);
    app.configureControlCenterWindow(nowhere);
    EXPECT_EQ(nowhere.geometry(), QRect(5000, 5000, 1080, 720));
}

TEST(VantrelApp, TheControlCenterOpensOnThePointersScreenAndItsLeastSizeGivesWayToASmallerOne) {
    AppStateHarness h;
    AppState state(h.factory);
    ControlCenterViewServices views;
    VantrelApp app(state, controlCenterContext(h, state, views, h.haptics), h.shell, h.screens);
    // The pointer on 1920 by 1080 at a scale of 2, right of the main screen, under the notch.
    const ScreenInfo main = plainScreen(1, QRect(0, 0, 1920, 1080));
    const ScreenInfo half = notchedScreen(2, QRect(1920, 0, 960, 540), 185, 32);
    h.screens.all = {main, half};
    h.screens.main = main;
    h.screens.atPointer = half;
    h.screens.window = half;
    app.showControlCenter();
    const auto least = [&] {
        return app.window().minimumSize() + app.window().frameGeometry().size() -
               app.window().geometry().size();
    };
    // Whole between the band's foot and the bottom, 8 from each edge: 492 of its 600 least height.
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(least(), QSize(720, 492));
    EXPECT_EQ(app.window().frameGeometry(), QRect(1928, 40, 944, 492));

    // On 800 by 600 the notch's band costs none of the frame's foot; on a larger screen the least
    // size is 720 by 600 again.
    const ScreenInfo small = notchedScreen(3, QRect(0, 0, 800, 600), 185, 32);
    h.screens.window = small;
    h.screens.set({small}, small);
    h.scheduler.runDue();
    EXPECT_EQ(least(), QSize(720, 552));
    EXPECT_EQ(app.window().frameGeometry(), QRect(8, 40, 784, 552));
    h.screens.window = main;
    h.screens.set({main}, main);
    h.scheduler.runDue();
    EXPECT_EQ(least(), QSize(720, 600));
}

TEST(VantrelAppDelegateMenuBar,
     APlacedOrganizerStartsHiddenAndVantrelsItemBringsTheDividerBackAndTakesItAway) {
    AppStateHarness h([](UserDefaults& stored) {
        stored.setBool(QStringLiteral("menu.maskEnabled"), true);
        stored.setBool(QStringLiteral("menu.setupComplete"), true);
    });
    AppState state(h.factory);
    // Vantrel's own item and the divider go into the same tray, as in the application.
    VantrelAppDelegate delegate(state, h.shell, h.menuBar, h.defaults, h.systemLog);
    delegate.applicationDidFinishLaunching();
    RecordingStatusItem* primary = h.trayItems.named(QStringLiteral("VantrelPrimary"));
    RecordingStatusItem* divider = h.trayItems.named(QStringLiteral("VantrelHiddenSection"));
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(divider, nullptr);
    EXPECT_FALSE(divider->isVisible());
    EXPECT_EQ(state.menuBarAppearance().statusMessage(),
              QStringLiteral("Set to hidden — this tray still shows every icon"));
    EXPECT_EQ(h.defaults.suite(QStringLiteral("com.apple.systemuiserver"))
                  .object(QStringLiteral("NSStatusItem Preferred Position VantrelHiddenSection")),
              QJsonValue(1));

    primary->click(StatusItemClick::left);
    EXPECT_TRUE(divider->isVisible());
    EXPECT_EQ(divider->symbol, QStringLiteral("chevron.left.2"));
    EXPECT_EQ(primary->symbol, QStringLiteral("chevron.right.2"));
    // The model puts the divider left of Vantrel's item at the screen's right edge.
    EXPECT_EQ(h.menuBar.itemFrame(QStringLiteral("VantrelHiddenSection")), QRectF(1464, 0, 24, 24));
    primary->click(StatusItemClick::left);
    EXPECT_FALSE(divider->isVisible());
    EXPECT_EQ(h.menuBar.itemFrame(QStringLiteral("VantrelHiddenSection"))->width(), 2048);

    // Hovering reveals where the tray reports the item's frame.
    primary->frame = QRect(1488, 0, 24, 24);
    h.screens.pointer = QPoint(1300, 10);
    h.scheduler.advance(Seconds(0.08));
    h.screens.pointer = QPoint(1500, 10);
    h.scheduler.advance(Seconds(0.08));
    EXPECT_TRUE(divider->isVisible());

    delegate.applicationWillTerminate();
    EXPECT_EQ(h.trayItems.named(QStringLiteral("VantrelHiddenSection")), nullptr);
    EXPECT_NE(h.trayItems.named(QStringLiteral("VantrelPrimary")), nullptr);
}

TEST_F(DelegateTest, TheMenusCommandPaletteOpensItEvenWhenItWasHiddenOnDeactivation) {
    ControlCenterViewServices views;
    VantrelApp app(state, controlCenterContext(h, state, views, h.haptics), h.shell, h.screens);
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
    CommandPaletteController& palette = state.commandPalette();
    delegate.applicationDidFinishLaunching(); // the palette setting is on: the start links it to the state

    delegate.openPalette();
    QWidget* panel = palette.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    // Again from the menu: still open (a toggle would have closed it).
    app.openPalette();
    EXPECT_EQ(palette.panel(), panel);
    EXPECT_TRUE(panel->isVisible());

    // Hidden when the application lost focus, the status menu and the application menu bring it
    // back rather than dropping it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    h.shell.resignActive();
    ASSERT_FALSE(panel->isVisible());
    delegate.openPalette();
    EXPECT_EQ(palette.panel(), panel);
    EXPECT_TRUE(panel->isVisible());
    h.shell.resignActive();
    app.openPalette();
    EXPECT_TRUE(palette.panel() && palette.panel()->isVisible());
    delegate.applicationWillTerminate();
}

TEST(VantrelAppDelegateMenus, CommandPaletteDoesNothingWhileThePaletteSettingHasBeenOffSinceLaunch) {
    AppStateHarness h([](UserDefaults& stored) { stored.setBool(QStringLiteral("command.enabled"), false); });
    h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
    AppState state(h.factory);
    RecordingStatusBar statusBar;
    VantrelAppDelegate delegate(state, h.shell, statusBar, h.defaults, h.systemLog);
    delegate.applicationDidFinishLaunching();
    ControlCenterViewServices views;
    VantrelApp app(state, controlCenterContext(h, state, views, h.haptics), h.shell, h.screens);
    delegate.openPalette();
    app.openPalette();
    EXPECT_EQ(state.commandPalette().panel(), nullptr);

    // Switched on, the settings link the palette and both menus open it.
    h.preferences.setCommandPaletteEnabled(true);
    state.applyPreferences();
    app.openPalette();
    EXPECT_NE(state.commandPalette().panel(), nullptr);
    delegate.applicationWillTerminate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
