#include "kit/VantrelTheme.h"
#include "platform/InMemoryDefaults.h"
#include "services/CommandPaletteCommands.h"
#include "services/CommandPaletteController.h"
#include "services/CommandPaletteView.h"
#include "services/HotkeyManager.h"
#include "support/CallLog.h"
#include "support/ContactSheet.h"
#include "support/FakeEventMonitors.h"
#include "support/FakeScreens.h"
#include "support/ManualScheduler.h"
#include "support/RecordingApplicationShell.h"
#include "support/RecordingInputFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The commands' target: records what ran, and holds the state their titles follow.
class RecordingCommands final : public CommandPaletteCommands {
public:
    explicit RecordingCommands(CallLog& log) : log_(log) {}
    void openSection(VantrelSection section) override { log_.add("openSection " + rawValue(section)); }
    void openNotchTab(NotchTab tab) override { log_.add("openNotchTab " + rawValue(tab)); }
    void toggleFocus() override {
        focusRunning = !focusRunning;
        log_.add("toggleFocus");
    }
    void shareFileShelf() override { log_.add("shareFileShelf"); }
    void toggleCustomDock() override {
        dock = !dock;
        log_.add("toggleCustomDock");
    }
    void toggleFeedback() override {
        feedback = !feedback;
        log_.add("toggleFeedback");
    }
    void refreshMenuBarItems() override { log_.add("refreshMenuBarItems"); }
    bool isFocusRunning() const override { return focusRunning; }
    QString focusTimeText() const override { return timeText; }
    bool isCustomDockEnabled() const override { return dock; }
    bool isFeedbackEnabled() const override { return feedback; }
    Accent accent() const override { return Accent::graphite; }
    void observeState(const QObject*, std::function<void()>) override {}

    bool focusRunning = false;
    bool dock = false;
    bool feedback = false;
    QString timeText = QStringLiteral("25:00");

private:
    CallLog& log_;
};

QStringList ids(const std::vector<VantrelCommand>& commands) {
    QStringList list;
    for (const VantrelCommand& command : commands) list << command.id;
    return list;
}

QStringList titles(const std::vector<VantrelCommand>& commands) {
    QStringList list;
    for (const VantrelCommand& command : commands) list << command.title;
    return list;
}

QStringList fields(const std::vector<VantrelCommand>& commands, QString VantrelCommand::*field) {
    QStringList list;
    for (const VantrelCommand& command : commands) list << command.*field;
    return list;
}

const ScreenInfo kMain{QStringLiteral("main"), QRect(0, 0, 1512, 982), QRect(0, 25, 1512, 957), 1};
const ScreenInfo kSide{QStringLiteral("side"), QRect(1512, -200, 1920, 1080), QRect(1512, -200, 1920, 1040),
                       2};

QKeyEvent press(int key, Qt::KeyboardModifiers modifiers, quint32 scanCode = 0) {
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
}

struct PaletteFixture : ::testing::Test {
    CallLog log;
    RecordingCommands commands{log};
    FakeScreens screens{{kMain, kSide}, kMain};
    RecordingApplicationShell shell{log};
    RecordingInputFocus focus;
    InMemoryDefaults defaults;
    HotkeyManager hotkeys{defaults};
    FakeEventMonitors clicks;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    CommandPaletteController palette{screens, shell, &focus, &hotkeys};

    void TearDown() override {
        palette.uninstall();
        // The panels let go are deleted on the loop's next turn.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST(CommandPaletteViewTest, TheTwelveCommandsFilterByTitleSubtitleAndKeywordsOnly) {
    CallLog log;
    RecordingCommands commands(log);
    const auto all = CommandPaletteView::commands(commands);
    EXPECT_EQ(ids(all), (QStringList{"open", "clipboard", "timer", "files", "note", "calendar", "mirror",
                                     "bookmarks", "airdrop", "dock", "feedback", "refresh-menu"}));
    EXPECT_EQ(titles(all), (QStringList{"Open Vantrel", "Clipboard history", "Start timer", "Open file shelf",
                                        "Write a quick note", "Today\u2019s schedule", "Open camera mirror",
                                        "Open bookmarks", "AirDrop shelf files", "Replace macOS Dock",
                                        "Enable scroll haptics", "Search menu-bar items"}));
    EXPECT_EQ(
        fields(all, &VantrelCommand::subtitle),
        (QStringList{"Show the control center", "Search recent copies", "25:00", "Retrieve temporary files",
                     "Capture a thought", "See upcoming events", "Check your framing",
                     "Launch saved websites and applications", "Share everything waiting in the file shelf",
                     "Toggle the Vantrel replacement Dock", "Haptic-only trackpad detents",
                     "Refresh the accessible item index"}));
    EXPECT_EQ(
        fields(all, &VantrelCommand::symbol),
        (QStringList{"sparkles", "doc.on.clipboard", "timer", "tray.full", "note.text", "calendar", "camera",
                     "bookmark", "airplayaudio", "dock.rectangle", "hand.draw", "menubar.rectangle"}));
    EXPECT_EQ(fields(all, &VantrelCommand::keywords),
              (QStringList{"home settings", "copy paste history", "countdown alarm", "drop airdrop storage",
                           "notes text", "events meetings", "webcam video", "sites links apps favorites",
                           "files share send", "apps launcher", "tick trackpad haptic feel",
                           "hide hidden status"}));

    EXPECT_EQ(ids(CommandPaletteView::filtered(all, QStringLiteral("DOCK"))), QStringList{"dock"});
    EXPECT_EQ(titles(CommandPaletteView::filtered(all, QStringLiteral("open"))),
              (QStringList{"Open Vantrel", "Open file shelf", "Open camera mirror", "Open bookmarks"}));
    EXPECT_EQ(CommandPaletteView::filtered(all, QStringLiteral(" ")).size(), 12u);
    EXPECT_TRUE(CommandPaletteView::filtered(all, QStringLiteral("refresh-menu")).empty());
    EXPECT_TRUE(CommandPaletteView::filtered(all, QStringLiteral("dock.rectangle")).empty());
    EXPECT_TRUE(CommandPaletteView::filtered(all, QStringLiteral("zzz")).empty());
    // Keywords count, the query is not trimmed.
    EXPECT_EQ(ids(CommandPaletteView::filtered(all, QStringLiteral("webcam"))), QStringList{"mirror"});
    EXPECT_TRUE(CommandPaletteView::filtered(all, QStringLiteral("video ")).empty());

    // Titles follow the state at the time the list is built.
    commands.focusRunning = true;
    commands.dock = true;
    commands.feedback = true;
    commands.timeText = QStringLiteral("07:30");
    const auto now = CommandPaletteView::commands(commands);
    EXPECT_EQ(now[2].title, QStringLiteral("Pause timer"));
    EXPECT_EQ(now[2].subtitle, QStringLiteral("07:30"));
    EXPECT_EQ(now[9].title, QStringLiteral("Restore macOS Dock"));
    EXPECT_EQ(now[10].title, QStringLiteral("Disable scroll haptics"));

    // Each action reaches its target.
    for (const VantrelCommand& command : all) command.action();
    EXPECT_EQ(log.entries, (QStringList{"openSection home", "openNotchTab clipboard", "toggleFocus",
                                        "openNotchTab files", "openNotchTab note", "openNotchTab calendar",
                                        "openNotchTab mirror", "openNotchTab bookmarks", "shareFileShelf",
                                        "toggleCustomDock", "toggleFeedback", "refreshMenuBarItems"}));
}

TEST_F(PaletteFixture, OpensFocusedWithEveryCommandAndPlacesOnThePointersScreen) {
    // Nothing reachable to act on: nothing opens.
    palette.show(nullptr, std::nullopt);
    EXPECT_EQ(palette.panel(), nullptr);

    screens.atPointer = kSide;
    palette.show(&commands, std::nullopt);
    ASSERT_NE(palette.panel(), nullptr);
    // Centred on the side screen's visible frame, its top 110 below that frame's top.
    EXPECT_EQ(palette.panel()->geometry(), QRect(1512 + 960 - 305, -200 + 110, 610, 410));
    ASSERT_NE(palette.view(), nullptr);
    EXPECT_EQ(palette.view()->rows().size(), 12u) << "the palette never opens empty";
    EXPECT_FALSE(palette.view()->searchField()->hasFrame()) << "a plain field";
    // The window shows the card alone: its corners and padding let clicks and pixels through.
    const QRegion shape = palette.panel()->mask();
    EXPECT_TRUE(shape.contains(QPoint(305, 205)));
    EXPECT_FALSE(shape.contains(QPoint(2, 2)));
    EXPECT_FALSE(shape.contains(QPoint(8, 8))) << "the rounded corner";
    EXPECT_TRUE(shape.contains(QPoint(30, 6)));
    EXPECT_TRUE(palette.panel()->isVisible());
    EXPECT_EQ(palette.panel()->focusWidget(), palette.view()->searchField());
    EXPECT_TRUE(log.entries.contains("app.activate"));

    // Opening again only brings the same panel forward.
    QWidget* first = palette.panel();
    palette.show(&commands, kMain);
    EXPECT_EQ(palette.panel(), first);
    EXPECT_EQ(first->geometry().topLeft(), QPoint(1512 + 960 - 305, -90));

    // A given screen wins; the main screen when the pointer is on none.
    palette.dismiss();
    palette.show(nullptr, kMain);
    EXPECT_EQ(palette.panel()->geometry(), QRect(756 - 305, 25 + 110, 610, 410));
    palette.dismiss();
    screens.atPointer.reset();
    palette.show(nullptr, std::nullopt);
    EXPECT_EQ(palette.panel()->geometry().topLeft(), QPoint(451, 135));
}

TEST_F(PaletteFixture, TypingFiltersAClickRunsThenDismissesEscapeDismisses) {
    palette.install(commands);
    // Another program's window holds the keyboard when the palette opens.
    focus.focused = 0x2a00007;
    palette.show(nullptr, kMain);
    QCoreApplication::processEvents();
    CommandPaletteView* view = palette.view();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(palette.panel()->isActiveWindow());
    QTest::keyClicks(view->searchField(), QStringLiteral("dock"));
    ASSERT_EQ(view->rows().size(), 1u);
    EXPECT_EQ(view->rows()[0]->accessibleName(),
              QStringLiteral("Replace macOS Dock, Toggle the Vantrel replacement Dock"));
    // Return and the arrows choose nothing.
    QTest::keyClick(view->searchField(), Qt::Key_Return);
    QTest::keyClick(view->searchField(), Qt::Key_Down);
    EXPECT_FALSE(log.entries.contains("toggleCustomDock"));
    ASSERT_NE(palette.panel(), nullptr);

    log.onAdd = [this](const QString& entry) {
        if (entry == "toggleCustomDock") log.entries << (palette.panel() ? "panel open" : "panel gone");
    };
    QTest::mouseClick(view->rows()[0], Qt::LeftButton);
    log.onAdd = nullptr;
    EXPECT_EQ(log.entries.mid(log.entries.indexOf("toggleCustomDock")),
              (QStringList{"toggleCustomDock", "panel open"}))
        << "the command runs before the palette closes";
    EXPECT_EQ(palette.panel(), nullptr);
    // The palette asked the desktop for the keyboard for itself, and handed nothing back.
    EXPECT_EQ(focus.given.size(), 1u) << "the command chose where the keyboard goes";

    // Opened again: a fresh view with an empty query, the title following the new state.
    focus.focused = 0x2a00007;
    focus.given.clear();
    palette.show(nullptr, kMain);
    ASSERT_NE(palette.view(), view);
    const auto own = static_cast<quint32>(palette.panel()->winId());
    view = palette.view();
    EXPECT_EQ(view->query(), QString());
    view->setQuery(QStringLiteral("dock"));
    ASSERT_EQ(view->rows().size(), 1u);
    EXPECT_TRUE(view->rows()[0]->accessibleName().startsWith("Restore macOS Dock"));

    QCoreApplication::processEvents();
    QTest::keyClick(view->searchField(), Qt::Key_Escape);
    EXPECT_EQ(palette.panel(), nullptr);
    EXPECT_EQ(focus.given, (std::vector<quint32>{own, 0x2a00007})) << "Escape hands the keyboard back";

    // Switched off in the settings while open: closed, the keyboard handed back.
    focus.focused = 0x2a00009;
    focus.given.clear();
    palette.show(nullptr, kMain);
    QCoreApplication::processEvents();
    ASSERT_NE(palette.panel(), nullptr);
    const auto third = static_cast<quint32>(palette.panel()->winId());
    palette.uninstall();
    EXPECT_EQ(palette.panel(), nullptr);
    EXPECT_EQ(focus.given, (std::vector<quint32>{third, 0x2a00009}));
}

TEST_F(PaletteFixture, TheKeyMonitorSwallowsOnlyTheExactHotKey) {
    // Not installed: the monitor lets everything pass.
    QKeyEvent controlSpace = press(Qt::Key_Space, Qt::ControlModifier);
    palette.install(commands);
    ASSERT_TRUE(palette.hasKeyMonitor());

    QKeyEvent controlOptionSpace = press(Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
    QKeyEvent bareSpace = press(Qt::Key_Space, Qt::NoModifier);
    QKeyEvent controlA = press(Qt::Key_A, Qt::ControlModifier);
    for (QKeyEvent* passing : {&controlOptionSpace, &bareSpace, &controlA})
        EXPECT_FALSE(palette.handleKeyPress(*passing));
    EXPECT_EQ(palette.panel(), nullptr);

    EXPECT_TRUE(palette.handleKeyPress(controlSpace));
    ASSERT_NE(palette.panel(), nullptr);
    // Held down: the repeats are swallowed and leave the palette open.
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, QString(), true);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(palette.handleKeyPress(repeated));
    EXPECT_NE(palette.panel(), nullptr);
    // By position: X keycode 65 is Space, whatever key the event names.
    QKeyEvent byScanCode = press(Qt::Key_unknown, Qt::ControlModifier, 65);
    EXPECT_TRUE(palette.handleKeyPress(byScanCode));
    EXPECT_EQ(palette.panel(), nullptr);
    EXPECT_TRUE(palette.handleKeyPress(repeated));
    EXPECT_EQ(palette.panel(), nullptr) << "a repeat opens nothing either";

    // Through the application: the search field never sees the hot key.
    palette.show(nullptr, kMain);
    QLineEdit* field = palette.view()->searchField();
    QTest::keyClick(field, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_NE(palette.panel(), nullptr);
    QTest::keyClick(field, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(palette.panel(), nullptr);

    // Removed with uninstall.
    palette.uninstall();
    EXPECT_FALSE(palette.hasKeyMonitor());
    palette.show(&commands, kMain);
    ASSERT_NE(palette.panel(), nullptr);
    palette.dismiss();
}

TEST_F(PaletteFixture, HiddenWhenTheApplicationDeactivatesWhileAClickElsewhereReachesItsTarget) {
    palette.install(commands);
    palette.show(nullptr, kMain);
    QWidget* panel = palette.panel();
    ASSERT_NE(panel, nullptr);
    // The desktop tells late that the application went inactive: a palette opened meanwhile that
    // has not held the focus yet stays.
    shell.resignActive();
    EXPECT_TRUE(panel->isVisible()) << "hidden by a deactivation older than the palette's focus";
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    shell.resignActive();
    EXPECT_EQ(palette.panel(), panel) << "kept while hidden";
    EXPECT_FALSE(panel->isVisible());
    // Opening it again from a menu brings the same palette back; the hot key's toggle discards it and
    // the next one opens a new one.
    palette.show(nullptr, std::nullopt);
    EXPECT_EQ(palette.panel(), panel);
    EXPECT_TRUE(panel->isVisible());
    palette.toggle();
    EXPECT_EQ(palette.panel(), nullptr);
    palette.toggle();
    ASSERT_NE(palette.panel(), nullptr);
    EXPECT_TRUE(palette.panel()->isVisible());

    // A press on another window of the application is that window's: the button clicks and the
    // palette stays.
    QPushButton pill(QStringLiteral("Actions"));
    pill.resize(80, 30);
    pill.show();
    int clicks = 0;
    QObject::connect(&pill, &QPushButton::clicked, [&clicks] { ++clicks; });
    QTest::mouseClick(&pill, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    ASSERT_NE(palette.panel(), nullptr);
    EXPECT_TRUE(palette.panel()->isVisible());
    palette.dismiss();
}

TEST_F(PaletteFixture, RendersTheFilteredPalette) {
    palette.show(&commands, kMain);
    CommandPaletteView* view = palette.view();
    ASSERT_NE(view, nullptr);
    QImage all(view->size(), QImage::Format_ARGB32_Premultiplied);
    all.fill(Qt::transparent);
    view->render(&all, QPoint(), QRegion(), QWidget::DrawChildren);
    view->setQuery(QStringLiteral("open"));
    ASSERT_EQ(view->rows().size(), 4u);
    QImage open(view->size(), QImage::Format_ARGB32_Premultiplied);
    open.fill(Qt::transparent);
    view->render(&open, QPoint(), QRegion(), QWidget::DrawChildren);
    saveContactSheet({{QStringLiteral("empty query"), all}, {QStringLiteral("\"open\" typed"), open}},
                     QStringLiteral(VANTREL_BINARY_DIR "/command-palette.png"));

    // The card is drawn, the padding corners are clear, the footer sits at the bottom.
    EXPECT_EQ(view->cardRect(), QRectF(5, 5, 600, 400));
    EXPECT_EQ(view->footerRect(), QRectF(5, 374, 600, 31));
    EXPECT_EQ(qAlpha(open.pixel(1, 1)), 0);
    EXPECT_GT(qAlpha(open.pixel(305, 200)), 200);
    // Four rows of 50 with 5 between, from 10 below the divider.
    EXPECT_EQ(view->rows()[3]->geometry().top(), 10 + 3 * 55);
    EXPECT_EQ(view->rows()[0]->height(), 50);
}

TEST_F(PaletteFixture, TheKeyMonitorOpensThePaletteFromAnyWindowOfTheProgramWhileInstalled) {
    QLineEdit other;
    other.show();
    other.setFocus();
    palette.install(commands);
    QTest::keyClick(&other, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_NE(palette.panel(), nullptr) << "the hot key typed into another window opens the palette";
    palette.dismiss();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // With the palette closed the monitor still listens, and lets other keys through.
    QTest::keyClick(&other, Qt::Key_A);
    EXPECT_EQ(other.text(), QStringLiteral("a"));
    EXPECT_EQ(palette.panel(), nullptr);
    QTest::keyClick(&other, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_NE(palette.panel(), nullptr);
    palette.dismiss();

    palette.uninstall();
    QTest::keyClick(&other, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(palette.panel(), nullptr) << "uninstalled, the hot key is the window's own";
}

TEST(CommandPaletteViewTest, ARowsTileTextAndReturnMarkSitWhereTheRowPutsThem) {
    // A row 580 wide and 50 high, with a 16-high title and a 14-high subtitle.
    const CommandPaletteView::RowLayout row = CommandPaletteView::rowLayout(QSizeF(580, 50), 16, 14);
    // The 34 by 34 tile 10 in from the leading edge, centred in the row's height; its symbol in
    // its middle.
    EXPECT_EQ(row.tile, QRectF(10, 8, 34, 34));
    EXPECT_EQ(row.glyph.center(), row.tile.center());
    EXPECT_LE(row.glyph.width(), 34);
    // The return mark 10 in from the trailing edge, centred in the height.
    EXPECT_EQ(row.returnMark.right(), 570);
    EXPECT_EQ(row.returnMark.center().y(), 25);
    // The text 12 after the tile and 12 before the mark; the title over the subtitle, 2 apart,
    // the pair centred: (50 - (16 + 2 + 14)) / 2 = 9.
    EXPECT_EQ(row.title, QRectF(56, 9, row.returnMark.left() - 12 - 56, 16));
    EXPECT_EQ(row.subtitle, QRectF(56, 27, row.title.width(), 14));
}

TEST_F(PaletteFixture, TheCardAndTheRowTilesFillWithTheirSchemesColours) {
    palette.show(&commands, kMain);
    CommandPaletteView* view = palette.view();
    ASSERT_NE(view, nullptr);
    view->setQuery(QStringLiteral("open"));
    ASSERT_EQ(view->rows().size(), 4u);
    const auto render = [](QWidget* widget) {
        QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    // Below the four rows, the card shows the surface at opacity 0.82 over the material: a dark
    // grey (0.16) in the dark appearance, a light one (0.94) in the light.
    for (const auto& [scheme, material] :
         {std::pair{ColorScheme::dark, 0.16}, std::pair{ColorScheme::light, 0.94}}) {
        VantrelTheme::setColorScheme(view, scheme);
        const QImage image = render(view);
        const double surface = VantrelTheme::surface().resolve(scheme).redF();
        const double expected = 255 * (0.82 * surface + 0.18 * 0.86 * material);
        EXPECT_NEAR(qRed(image.pixel(300, 340)), expected, 2)
            << (scheme == ColorScheme::dark ? "dark" : "light");
        // The "esc" badge ends 20 before the card's trailing edge (605), on white at opacity 0.08:
        // 3 inside it, beside the text, against 3 outside.
        const QRgb badge = image.pixel(582, 36), beside = image.pixel(588, 36);
        EXPECT_NEAR(qRed(badge) - qRed(beside), 0.08 * (255 - qRed(beside)), 2);
        EXPECT_NEAR(qGreen(badge) - qGreen(beside), 0.08 * (255 - qGreen(beside)), 2);
        EXPECT_NEAR(qBlue(badge) - qBlue(beside), 0.08 * (255 - qBlue(beside)), 2);
        // The 0.75-point stroke on the card's edge (x 5) reaches no pixel inside it.
        EXPECT_NEAR(qRed(image.pixel(6, 200)), qRed(image.pixel(9, 200)), 2);
    }
    // With every command listed the list scrolls: its bar's handle is white at alpha 56 of 255,
    // inset 6 from the bar's top and 3 from its trailing edge.
    view->setQuery(QString());
    VantrelTheme::setColorScheme(view, ColorScheme::dark);
    QCoreApplication::sendPostedEvents(); // the list's new size reaches the scroll area
    QScrollBar* bar = nullptr;
    for (QScrollBar* each : view->findChildren<QScrollBar*>())
        if (each->orientation() == Qt::Vertical) bar = each;
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisibleTo(view));
    const QImage all = render(view);
    const QPoint barTop = bar->mapTo(view, QPoint(0, 0));
    const QRgb handle = all.pixel(barTop.x() + (bar->width() - 3) / 2, barTop.y() + 6 + 10);
    const QRgb track = all.pixel(barTop.x() + (bar->width() - 3) / 2, barTop.y() + 2);
    EXPECT_NEAR(qRed(handle) - qRed(track), 56.0 / 255 * (255 - qRed(track)), 3);

    // A row's tile is white at opacity 0.07, beside the symbol.
    const QImage row = render(view->rows()[0]);
    EXPECT_NEAR(qAlpha(row.pixel(12, 25)), 0.07 * 255, 1);
    EXPECT_EQ(qRed(row.pixel(12, 25)), qAlpha(row.pixel(12, 25))) << "white";
}

// A click on the bare desktop gives the keys to nobody: the palette that still holds them a quarter
// second later hides, as when the application goes inactive, and hands them back. A click on the
// palette is its own; one into another program's window, which takes the keys, hands nothing back.
TEST_F(PaletteFixture, AClickOnTheBareDesktopHidesThePaletteAndHandsTheKeysBack) {
    palette.watchClicks(&clicks, &scheduler);
    focus.focused = 0x2a00007;
    palette.show(&commands, kMain);
    QWidget* panel = palette.panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    screens.pointer = panel->geometry().center();
    clicks.post(InputEventType::leftMouseDown);
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(palette.isShown()) << "a click on the palette";

    screens.pointer = QPoint(1400, 900);
    clicks.post(InputEventType::leftMouseDown);
    scheduler.advance(Seconds(0.2));
    EXPECT_TRUE(palette.isShown());
    scheduler.advance(Seconds(0.05));
    EXPECT_FALSE(palette.isShown()) << "a click on the desktop";
    EXPECT_EQ(palette.panel(), panel) << "kept, as when the application goes inactive";
    EXPECT_EQ(focus.given.back(), 0x2a00007u);

    palette.show(nullptr, std::nullopt);
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    const std::size_t handed = focus.given.size();
    clicks.post(InputEventType::rightMouseDown);
    QWidget other;
    other.setGeometry(1300, 800, 200, 150);
    other.show();
    other.activateWindow();
    focus.focused = 0x3a00001; // the desktop gave it the keys
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(focus.given.size(), handed) << "a click into another program's window";

    // The program goes inactive at such a click and the palette hides; brought back within the
    // quarter second, it stays.
    palette.dismiss();
    palette.show(nullptr, kMain);
    panel = palette.panel();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    clicks.post(InputEventType::leftMouseDown);
    shell.resignActive();
    ASSERT_FALSE(palette.isShown());
    palette.show(nullptr, std::nullopt);
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(palette.isShown()) << "hidden by a click from before it came back";
}
