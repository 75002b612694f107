#include "app/ControlCenterWindowKeeper.h"
#include "support/FakeScreens.h"
#include "support/ManualScheduler.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
// A title bar 29 tall and borders of 1 around the window, once the window manager has framed it.
struct KeeperFixture {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeScreens screens;
    bool framed = false;
    ControlCenterWindowKeeper keeper{screens, scheduler, 8, [this](const QWidget& window) {
                                         return framed ? window.geometry().adjusted(-1, -29, 1, 1)
                                                       : window.geometry();
                                     }};

    // Shows `window` at `geometry` and hands it to the keeper, not framed yet.
    void show(QWidget& window, QRect geometry) {
        framed = false;
        window.setGeometry(geometry);
        window.show();
        keeper.watch(window);
    }
    // The window manager frames the window where it stands and says so.
    void frame(QWidget& window) {
        framed = true;
        QMoveEvent moved(window.pos(), window.pos());
        QCoreApplication::sendEvent(&window, &moved);
    }
};
} // namespace

TEST(ControlCenterWindowKeeper, AShownWindowIsPlacedOnceFramedCountingTheFrameOnTheScreenInUseBelowTheNotch) {
    KeeperFixture f;
    const ScreenInfo left{QStringLiteral("left"), QRect(0, 0, 1280, 720), QRect(0, 0, 1280, 720), 1};
    const ScreenInfo right = notchedScreen(2, QRect(1280, 0, 1920, 1080), 185, 32);
    f.screens.all = {left, right};
    f.screens.main = left;
    f.screens.atPointer = right;

    // Until the window manager has framed it, the window stays where it was shown.
    QWidget placedElsewhere;
    f.show(placedElsewhere, QRect(40, 60, 1080, 720));
    f.screens.set({left, right}, left);
    f.scheduler.advance(Seconds(0.9));
    EXPECT_TRUE(f.keeper.isAwaitingPlacement());
    EXPECT_EQ(placedElsewhere.geometry(), QRect(40, 60, 1080, 720));
    // Framed on the left screen while the pointer is on the right one: centred on the right one,
    // below its 32-point band.
    f.frame(placedElsewhere);
    EXPECT_FALSE(f.keeper.isAwaitingPlacement());
    EXPECT_EQ(placedElsewhere.geometry(), QRect(1700, 210, 1080, 720));

    // Placed inside the screen in use, the window stays where the window manager put it.
    QWidget inside;
    f.show(inside, QRect(1400, 200, 1080, 720));
    f.frame(inside);
    EXPECT_EQ(inside.geometry(), QRect(1400, 200, 1080, 720));

    // A title bar under the notch comes down to 8 below its band.
    QWidget underTheNotch;
    f.show(underTheNotch, QRect(1700, 20, 1080, 720));
    f.frame(underTheNotch);
    EXPECT_EQ(underTheNotch.geometry(), QRect(1700, 69, 1080, 720));

    // On a 720-pixel screen the frame counts: its bottom edge ends 8 above the screen's.
    f.screens.atPointer = left;
    QWidget tall;
    f.show(tall, QRect(100, 29, 1080, 720));
    f.frame(tall);
    EXPECT_EQ(tall.geometry(), QRect(100, 37, 1080, 674));

    // Where nothing frames it (no window manager), the window is placed a second after showing,
    // here in the middle of the screen in use, which it was mostly beside.
    QWidget unframed;
    f.show(unframed, QRect(900, 300, 1080, 720));
    f.scheduler.advance(Seconds(0.9));
    EXPECT_EQ(unframed.geometry(), QRect(900, 300, 1080, 720));
    f.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(unframed.geometry(), QRect(100, 8, 1080, 704));
}

TEST(ControlCenterWindowKeeper, TheWindowIsKeptOnItsScreenAsTheScreensChangeAndWhenShownAgain) {
    KeeperFixture f;
    const ScreenInfo main{QStringLiteral("main"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 1};
    const ScreenInfo side{QStringLiteral("side"), QRect(1920, 0, 1920, 1080), QRect(1920, 0, 1920, 1080), 2};
    f.screens.all = {main, side};
    f.screens.main = main;
    f.screens.window = side;
    f.screens.atPointer = side;
    QWidget window;
    f.show(window, QRect(2100, 100, 1080, 720));
    f.frame(window);
    EXPECT_EQ(window.geometry(), QRect(2100, 100, 1080, 720));

    // Its screen unplugged: a turn later, when the desktop has moved it to the main screen.
    f.screens.window = main;
    f.screens.set({main}, main);
    EXPECT_EQ(window.geometry(), QRect(2100, 100, 1080, 720));
    f.scheduler.runDue();
    EXPECT_EQ(window.geometry(), QRect(831, 100, 1080, 720));

    // The screen shrinks from 1920 by 1080 to 1280 by 720, then a panel takes its bottom 40.
    ScreenInfo small{QStringLiteral("main"), QRect(0, 0, 1280, 720), QRect(0, 0, 1280, 720), 1};
    f.screens.window = small;
    f.screens.set({small}, small);
    f.scheduler.runDue();
    EXPECT_EQ(window.geometry(), QRect(191, 37, 1080, 674));
    small.visibleFrame = QRect(0, 0, 1280, 680);
    f.screens.window = small;
    f.screens.set({small}, small);
    f.scheduler.runDue();
    EXPECT_EQ(window.geometry(), QRect(191, 37, 1080, 634));

    // Hidden, it is left alone; shown again where a screen that went had it, it comes back onto its
    // screen once the window manager has placed it.
    window.hide();
    window.setGeometry(3000, 500, 1080, 634);
    f.screens.set({small}, small);
    f.scheduler.runDue();
    EXPECT_EQ(window.geometry(), QRect(3000, 500, 1080, 634));
    f.framed = false;
    window.show();
    f.frame(window);
    EXPECT_EQ(window.geometry(), QRect(191, 37, 1080, 634));
}

TEST(ControlCenterWindowKeeper, AMaximizedOrFullScreenWindowIsLeftWhereTheWindowManagerPutsIt) {
    KeeperFixture f;
    const ScreenInfo screen = notchedScreen(1, QRect(0, 0, 1920, 1080), 185, 32);
    f.screens.all = {screen};
    f.screens.window = screen;
    f.screens.atPointer = screen;
    QWidget window;
    // Sized over the screen as it is framed, before the window manager has said why, and set up
    // again as its decorations change: it is left as it is.
    f.show(window, QRect(300, 200, 1080, 720));
    window.setGeometry(1, 29, 1918, 1050);
    f.frame(window);
    f.keeper.watch(window);
    f.scheduler.advance(Seconds(1));
    EXPECT_EQ(window.geometry(), QRect(1, 29, 1918, 1050));

    // Maximized or full screen, its title bar under the notch or gone: neither a change of the
    // screens nor showing it again moves it.
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowFullScreen}) {
        window.setGeometry(0, 0, 1600, 900);
        window.setWindowState(state);
        QRect whole = window.geometry();
        f.screens.set({screen}, screen);
        f.scheduler.runDue();
        EXPECT_EQ(window.geometry(), whole) << state;
        window.hide();
        window.show();
        whole = window.geometry();
        f.frame(window);
        f.scheduler.advance(Seconds(1));
        EXPECT_EQ(window.geometry(), whole) << state;
        window.setWindowState(Qt::WindowNoState);
    }
}

TEST(ControlCenterWindowKeeper, AWindowPlacedBeforeItsFirstMapGoesWhollyOnThePointersScreenAndStaysThere) {
    KeeperFixture f;
    const ScreenInfo left = plainScreen(1, QRect(0, 0, 1920, 1080));
    const ScreenInfo right = notchedScreen(2, QRect(1920, 0, 1512, 982), 185, 32);
    f.screens.all = {left, right};
    f.screens.main = left;
    f.screens.atPointer = right;
    QWidget window;
    window.resize(1080, 720);
    f.keeper.placeFirst(window);
    // In the middle of the right screen below its band: 1920 + (1512 - 1080) / 2, 32 + (950 - 720) / 2.
    EXPECT_EQ(window.geometry(), QRect(2136, 147, 1080, 720));

    // Mapped there and framed while the pointer went back to the left screen: it stays.
    f.screens.atPointer = left;
    f.screens.window = right;
    window.show();
    f.frame(window);
    EXPECT_FALSE(f.keeper.isAwaitingPlacement());
    EXPECT_EQ(window.geometry(), QRect(2136, 147, 1080, 720));
}

TEST(ControlCenterWindowKeeper, OnAScreenTooSmallTheTitleBarStaysBelowTheNotchAndTheWindowOnlyEverComesBack) {
    KeeperFixture f;
    std::vector<QSize> rooms;
    f.keeper.setRoomListener([&](QSize room) { rooms.push_back(room); });
    // 1920 by 1080 at a scale of 2, with the notch.
    const ScreenInfo half = notchedScreen(1, QRect(0, 0, 960, 540), 185, 32);
    f.screens.all = {half};
    f.screens.window = half;
    f.screens.atPointer = half;

    // A least frame of 720 by 600, mapped at the top, its title bar under the notch; later lower
    // down or off the top as the screens change: its title bar goes to the band's foot, no lower.
    QWidget window;
    window.setMinimumSize(718, 570);
    f.show(window, QRect(121, 29, 718, 570));
    f.frame(window);
    EXPECT_EQ(rooms, std::vector<QSize>{QSize(944, 492)});
    for (const int top : {29, 200, -300}) {
        window.setGeometry(121, top, 718, 570);
        f.screens.set({half}, half);
        f.scheduler.runDue();
        EXPECT_EQ(window.geometry(), QRect(121, 61, 718, 570)) << top;
    }
    // Narrower than the screen, wider than its margins leave: whole on the screen all the same.
    window.setMinimumSize(954, 300);
    window.setGeometry(300, 100, 954, 300);
    f.screens.set({half}, half);
    f.scheduler.runDue();
    const QRect frame = window.geometry().adjusted(-1, -29, 1, 1);
    EXPECT_GE(frame.left(), 0);
    EXPECT_LE(frame.right(), 959);
}
