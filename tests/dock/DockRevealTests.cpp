#include "DockControllerFixture.h"
#include "dock/DockOcclusionDetector.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMoveEvent>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
// The main screen's bottom edge is at y = 982; the revealed panel is 81 tall, its top at 853.
constexpr int kBottom = 982;
constexpr int kRevealedTop = 853;
constexpr int kHiddenTop = kBottom - 3;

struct RevealFixture : DockControllerFixture {
    CustomDockController& showDock(DockHideMode mode = DockHideMode::always) {
        preferences.setCustomDockHideMode(mode);
        CustomDockController& dock = make();
        dock.show(preferences, content);
        dockQueue.drain();
        windowQueue->drain();
        return dock;
    }
    void pointerAt(int x, int y) { screens.pointer = QPoint(x, y); }
    // Lets the pointer rest elsewhere until the hide delay has slid the Dock out.
    void slideOut() {
        pointerAt(756, 400);
        advance(0.6); // first seen away at the next tick, out 0.45 s later
        finishSlide();
    }
    // Reads the window list once more.
    void readWindows() {
        advance(0.35);
        windowQueue->drain();
    }
    // The interval and tolerance, in seconds, of every task scheduled now, in order.
    std::vector<std::pair<double, double>> timers() {
        std::vector<std::pair<double, double>> found;
        for (const Scheduler::TaskId id : scheduler.pendingTasks())
            found.emplace_back(scheduler.intervalOf(id).value_or(Seconds(-1)).count(),
                               scheduler.toleranceOf(id).value_or(Seconds(-1)).count());
        std::sort(found.begin(), found.end());
        return found;
    }
};
} // namespace

TEST(DockReveal, ThePointerRestingOnTheBottomEdgeRevealsAfterTheDelayAndLeavingResetsIt) {
    RevealFixture f;
    CustomDockController& dock = f.showDock();
    EXPECT_TRUE(dock.isDockRevealed());
    EXPECT_EQ(f.panelFrame().top(), kRevealedTop);
    f.slideOut();
    EXPECT_FALSE(dock.isDockRevealed());
    EXPECT_EQ(f.panelFrame().top(), kHiddenTop) << "3 points stay on screen";

    // At the edge for one tick, away, back: the wait starts again.
    f.pointerAt(300, kBottom - 1);
    f.advance(0.1);
    f.pointerAt(300, 700);
    f.advance(0.1);
    f.pointerAt(300, kBottom - 1);
    f.advance(0.1); // arrives
    EXPECT_FALSE(dock.isDockRevealed());
    f.advance(0.1); // 0.1 s later: the first tick that waited long enough
    EXPECT_TRUE(dock.isDockRevealed());
    EXPECT_TRUE(dock.isSlideInFlight()) << "it slides in";
    f.finishSlide();
    EXPECT_EQ(f.panelFrame().top(), kRevealedTop);
}

TEST(DockReveal, APointerRestingOnTheEdgeRevealsEvenWhenTheCheckTookLongerThanTheDelay) {
    RevealFixture f;
    CustomDockController& dock = f.showDock();
    f.slideOut();
    // The tick that finds the pointer on the edge is held up past the 0.1 s delay.
    f.pointerAt(300, kBottom - 1);
    f.screens.onScreenListRead = [&] { f.clock.advance(Seconds(0.15)); };
    f.advance(0.1);
    f.screens.onScreenListRead = nullptr;
    EXPECT_FALSE(dock.isDockRevealed());
    f.advance(0.3);
    EXPECT_TRUE(dock.isDockRevealed()) << "the resting pointer is checked again";
}

TEST(DockReveal, TheEdgeBandReachesFiveAboveAndOneBelowTheBottomEdge) {
    for (const auto& [y, reveals] : std::vector<std::pair<int, bool>>{
             {kBottom + 1, true}, {kBottom - 5, true}, {kBottom - 6, false}, {kBottom + 2, false}}) {
        SCOPED_TRACE(y);
        RevealFixture f;
        CustomDockController& dock = f.showDock();
        f.slideOut();
        f.pointerAt(300, y);
        f.advance(0.3);
        EXPECT_EQ(dock.isDockRevealed(), reveals);
    }
}

TEST(DockReveal, ThePointerWithinSixPointsOfThePanelKeepsItRevealed) {
    RevealFixture f;
    CustomDockController& dock = f.showDock();
    const QRect panel = f.panelFrame();
    f.pointerAt(panel.x() + panel.width() + 5, panel.y() + 10); // 5 points right of it
    f.advance(2);
    EXPECT_TRUE(dock.isDockRevealed());
    f.pointerAt(panel.x() + 20, panel.y() - 7); // 7 points above it
    f.advance(0.5); // seen away at the first of these ticks, 0.4 s before the last
    EXPECT_TRUE(dock.isDockRevealed()) << "the hide delay of 0.45 s has not passed";
    f.advance(0.1);
    EXPECT_FALSE(dock.isDockRevealed());

    // The same six points on the left: 6 keeps it, 7 lets it go.
    RevealFixture g;
    CustomDockController& other = g.showDock();
    g.pointerAt(panel.x() - 6, panel.y() + 10);
    g.advance(2);
    EXPECT_TRUE(other.isDockRevealed());
    g.pointerAt(panel.x() - 7, panel.y() + 10);
    g.advance(0.6);
    EXPECT_FALSE(other.isDockRevealed());
}

TEST(DockReveal, ARevealedDockStaysWhileThePointerRestsOnTheBottomEdgeFarFromIt) {
    RevealFixture f;
    CustomDockController& dock = f.showDock();
    f.pointerAt(5, kBottom - 1);
    f.advance(3);
    EXPECT_TRUE(dock.isDockRevealed());
}

TEST(DockReveal, TouchingTheBottomOfASecondScreenMovesTheDockThereBeforeItSlidesIn) {
    RevealFixture f;
    f.screens.all = {DockControllerFixture::kMain, DockControllerFixture::kSecond};
    CustomDockController& dock = f.showDock();
    f.slideOut();
    f.pointerAt(2000, 1080); // the second screen's bottom edge (inclusive)
    f.advance(0.2);
    EXPECT_TRUE(dock.isDockRevealed());
    f.finishSlide();
    // Centred on the second screen, 8 above its bottom.
    // Two tiles (the shelf and the Trash): 49 × 2 + 8 + 18 + 46 = 170 wide.
    EXPECT_EQ(f.panelFrame(), QRect(1512 + (1920 - 170) / 2, 1080 - 8 - 81, 170, 81));
}

TEST(DockReveal, WhenFullScreenOnlyTheDockHidesUnderANearlyScreenFillingWindowOrAFullScreenOne) {
    RevealFixture f;
    CustomDockController& dock = f.showDock(DockHideMode::whenFullscreen);
    f.pointerAt(756, 400);
    f.advance(1);
    EXPECT_TRUE(dock.isDockRevealed());

    // 93 % of the width is not enough, nor 89 % of the height, nor a window that misses the Dock.
    const auto window = [](QRect frame, qint64 pid = 77) {
        return WindowListEntry{.id = 9, .processId = pid, .ownerName = "Editor", .frame = frame};
    };
    for (const QRect frame : {QRect(0, 0, 1406, 982), QRect(0, 100, 1512, 873), QRect(0, 0, 1512, 850)}) {
        f.windows.windows = {window(frame)};
        f.readWindows();
        f.advance(1);
        EXPECT_TRUE(dock.isDockRevealed()) << frame.width() << "x" << frame.height();
    }
    // Our own windows never cover it.
    f.windows.windows = {window(QRect(0, 0, 1512, 982), 4242)};
    f.readWindows();
    f.advance(1);
    EXPECT_TRUE(dock.isDockRevealed());

    // 94 % wide and 90 % tall over the Dock: auto-hide applies.
    f.windows.windows = {window(QRect(0, 100, 1422, 884))};
    f.readWindows();
    f.advance(1);
    EXPECT_FALSE(dock.isDockRevealed());

    // Uncovered again, it comes back by itself.
    f.windows.windows.clear();
    f.readWindows();
    f.advance(0.1); // the pointer check reads what the window list left at its next tick
    EXPECT_TRUE(dock.isDockRevealed());

    // Another program in full screen on the Dock's screen: auto-hide, however small its window.
    WindowListEntry fullScreen = window(QRect(100, 100, 300, 300));
    fullScreen.isFullScreen = true;
    f.windows.windows = {fullScreen};
    f.readWindows();
    f.advance(1);
    EXPECT_FALSE(dock.isDockRevealed());
    EXPECT_GE(f.windows.reads.load(), 6);
}

TEST(DockReveal, TheSlideTakesPointTwoSecondsOrPointOneTwoReducedAndANewerSlideSupersedesTheOlder) {
    RevealFixture f;
    CustomDockController& dock = f.showDock();
    f.pointerAt(756, 400);
    f.advance(0.6);
    QVariantAnimation* slide = dock.slideAnimation();
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->duration(), 200);
    QEasingCurve expected(QEasingCurve::BezierSpline);
    expected.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    for (const double t : {0.1, 0.3, 0.5, 0.8})
        EXPECT_NEAR(slide->easingCurve().valueForProgress(t), expected.valueForProgress(t), 1e-9);
    EXPECT_TRUE(dock.isSlideInFlight());

    // Half-way, the panel is between the two frames; reposition waits for the slide.
    slide->setCurrentTime(100);
    const int halfway = f.panelFrame().top();
    EXPECT_GT(halfway, kRevealedTop);
    EXPECT_LT(halfway, kHiddenTop);
    dock.reposition();
    EXPECT_EQ(f.panelFrame().top(), halfway);

    // A reveal during the slide takes over; the first slide's end does nothing.
    f.reducedMotion = true;
    dock.setRevealed(true, true);
    QVariantAnimation* second = dock.slideAnimation();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->duration(), 120);
    EXPECT_TRUE(dock.isSlideInFlight());
    second->setCurrentTime(120);
    EXPECT_FALSE(dock.isSlideInFlight());
    EXPECT_EQ(f.panelFrame().top(), kRevealedTop);

    // Without animation the frame is set at once.
    dock.setRevealed(false, false);
    EXPECT_FALSE(dock.isSlideInFlight());
    EXPECT_EQ(f.panelFrame().top(), kHiddenTop);
}

TEST(DockReveal, WhileTheOverviewShowsTheDockIsRevealedAboveEverything) {
    RevealFixture f;
    CustomDockController& dock = f.showDock(DockHideMode::always);
    f.slideOut();
    ASSERT_FALSE(dock.isDockRevealed());
    f.missionControl = true;
    f.readWindows();
    f.advance(0.1);
    EXPECT_TRUE(dock.isDockRevealed());
    EXPECT_EQ(dock.panel()->level(), 1000);
    f.pointerAt(756, 300);
    f.advance(2);
    EXPECT_TRUE(dock.isDockRevealed()) << "whatever the hide mode";

    f.missionControl = false;
    f.readWindows();
    f.advance(0.1);
    EXPECT_EQ(dock.panel()->level(), 3);
}

TEST(DockReveal, HideModeNeverKeepsItRevealedAndDismissalStopsTheChecks) {
    RevealFixture f;
    CustomDockController& dock = f.showDock(DockHideMode::always);
    f.slideOut();
    f.preferences.setCustomDockHideMode(DockHideMode::never);
    dock.applyBehavior();
    EXPECT_TRUE(dock.isDockRevealed());
    f.advance(2);
    EXPECT_TRUE(dock.isDockRevealed());
    // The pointer check every 0.1 s (0.025 s tolerance) and the window-list read every 0.35 s
    // (0.1 s leeway).
    EXPECT_EQ(f.timers(), (std::vector<std::pair<double, double>>{{0.1, 0.025}, {0.35, 0.1}}));

    dock.hide(false);
    f.dockQueue.drain();
    EXPECT_FALSE(dock.hasPanel());
    EXPECT_EQ(f.scheduler.pendingCount(), 0u);
}

TEST(DockOcclusionDetector, OnlyOtherProgramsOrdinaryWindowsLargerThan200By200CanCoverTheDock) {
    const auto entry = [](QRect frame, qint64 pid = 7, int layer = WindowListEntry::kNormalLayer,
                          bool full = false) {
        return WindowListEntry{.id = 1,
                               .processId = pid,
                               .ownerName = "App",
                               .frame = frame,
                               .layer = layer,
                               .isFullScreen = full};
    };
    const std::vector<WindowListEntry> windows = {
        entry(QRect(0, 0, 201, 201)),
        entry(QRect(0, 0, 200, 900)),                                 // not wider than 200
        entry(QRect(0, 0, 900, 200)),                                 // not taller than 200
        entry(QRect(0, 0, 900, 900), 99),                             // ours
        entry(QRect(0, 0, 900, 900), 7, WindowListEntry::kDockLayer), // a panel of the desktop
        entry(QRect(5, 5, 300, 300), 7, WindowListEntry::kUtilityLayer, true),
        entry(QRect(1600, 0, 300, 300), 0, WindowListEntry::kNormalLayer, true),
    };
    EXPECT_EQ(DockOcclusionDetector::onScreenWindowRects(windows, 99),
              (std::vector<QRect>{QRect(0, 0, 201, 201), QRect(1600, 0, 300, 300)}));
    // Without a process of our own to tell apart, windows that give no process still count.
    EXPECT_EQ(DockOcclusionDetector::onScreenWindowRects({entry(QRect(0, 0, 300, 300), 0)}, 0),
              std::vector<QRect>{QRect(0, 0, 300, 300)});
    EXPECT_EQ(DockOcclusionDetector::fullScreenWindowRects(windows, 99),
              (std::vector<QRect>{QRect(5, 5, 300, 300), QRect(1600, 0, 300, 300)}));

    // Full screen counts on the screen that holds the window's centre.
    const ScreenInfo main = DockControllerFixture::kMain;
    EXPECT_TRUE(DockOcclusionDetector::isInFullScreen(main, {QRect(1300, 0, 300, 300)}));
    EXPECT_FALSE(DockOcclusionDetector::isInFullScreen(main, {QRect(1400, 0, 300, 300)}));

    // 94 % of 1512 is 1421.28 and 90 % of 982 is 883.8: the window must reach both.
    const QRect dock(671, 853, 170, 81);
    EXPECT_TRUE(DockOcclusionDetector::isCovered(dock, main, {QRect(0, 98, 1422, 884)}));
    EXPECT_FALSE(DockOcclusionDetector::isCovered(dock, main, {QRect(0, 98, 1421, 884)}));
    EXPECT_FALSE(DockOcclusionDetector::isCovered(dock, main, {QRect(0, 99, 1422, 883)}));
    // Touching the Dock's edge is no intersection.
    EXPECT_FALSE(DockOcclusionDetector::isCovered(dock, main, {QRect(0, -31, 1512, 884)}));
}

TEST(DockReveal, AWindowListReadThatHasNotAnsweredIsNotPiledUpon) {
    DockControllerFixture f;
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    EXPECT_EQ(f.windowQueue->pendingCount(), 1u) << "the first read goes out at once";
    f.advance(1.2); // three more intervals while the first read has not answered
    EXPECT_EQ(f.windowQueue->pendingCount(), 1u);
    f.windowQueue->drain();
    EXPECT_EQ(f.windows.reads.load(), 1);
    f.advance(0.35);
    EXPECT_EQ(f.windowQueue->pendingCount(), 1u) << "answered: the next interval reads again";
}

namespace {
// Counts the paints of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) ++paints;
        return false;
    }
};
} // namespace

TEST(DockReveal, AtRestOnlyTheTwoChecksRunAndATickOnlyReadsThePointerAndCompares) {
    RevealFixture f;
    CustomDockController& dock = f.showDock(DockHideMode::always);
    f.slideOut();
    ASSERT_FALSE(dock.isDockRevealed());
    f.advance(0.3);
    f.windowQueue->drain();
    QCoreApplication::processEvents();

    // Nothing but the pointer check every 0.1 s and the window-list read every 0.35 s.
    EXPECT_EQ(f.timers(), (std::vector<std::pair<double, double>>{{0.1, 0.025}, {0.35, 0.1}}));

    PaintCounter counter;
    dock.panel()->installEventFilter(&counter);
    const QRect frame = f.panelFrame();
    const int pointerReads = f.screens.pointerReads;
    const int recentReads = f.screens.recentReads;
    const int screenListReads = f.screens.screenListReads;
    const int windowReads = f.windows.reads.load();
    for (int tick = 0; tick < 20; ++tick) {
        f.advance(0.1);
        f.windowQueue->drain();
        QCoreApplication::processEvents();
    }
    // Two seconds at rest: one pointer reading per tick, no screen list, no frame, no paint; the
    // window list is still read.
    EXPECT_EQ(f.screens.recentReads - recentReads, 20);
    EXPECT_EQ(f.screens.pointerReads - pointerReads, 0);
    EXPECT_EQ(f.screens.screenListReads - screenListReads, 0);
    EXPECT_EQ(f.panelFrame(), frame);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_GE(f.windows.reads.load() - windowReads, 5);
    EXPECT_EQ(f.scheduler.pendingCount(), 2u);

    // Still watching: the pointer on the bottom edge reveals after the 0.1 s delay.
    f.pointerAt(300, kBottom - 1);
    f.advance(0.1);
    EXPECT_FALSE(dock.isDockRevealed());
    f.advance(0.1);
    EXPECT_TRUE(dock.isDockRevealed());
    f.finishSlide();

    // A change the check depends on is seen at the next tick, with the pointer resting.
    f.slideOut();
    f.advance(1);
    ASSERT_FALSE(dock.isDockRevealed());
    f.preferences.setCustomDockHideMode(DockHideMode::never);
    f.advance(0.1);
    EXPECT_TRUE(dock.isDockRevealed());
}

TEST(DockReveal, APointerOnTheMoveFarFromTheEdgeIsCheckedOnItsReadingAlone) {
    RevealFixture f;
    CustomDockController& dock = f.showDock(DockHideMode::always);
    f.slideOut();
    ASSERT_FALSE(dock.isDockRevealed());
    f.advance(0.3);
    f.windowQueue->drain();
    QCoreApplication::processEvents();

    PaintCounter counter;
    dock.panel()->installEventFilter(&counter);
    const QRect frame = f.panelFrame();
    const int pointerReads = f.screens.pointerReads;
    const int screenListReads = f.screens.screenListReads;
    // Sweeping the middle of the screen, a new place at every tick for two seconds.
    for (int tick = 0; tick < 20; ++tick) {
        f.pointerAt(300 + 40 * tick, 400 + (tick % 3) * 30);
        f.advance(0.1);
        f.windowQueue->drain();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(f.screens.pointerReads - pointerReads, 0) << "no reading afresh";
    EXPECT_EQ(f.screens.screenListReads - screenListReads, 0);
    EXPECT_EQ(f.panelFrame(), frame);
    EXPECT_EQ(counter.paints, 0);

    // From there straight to the bottom edge: revealed after the 0.1 s delay, as from anywhere.
    f.pointerAt(700, kBottom - 1);
    f.advance(0.1);
    EXPECT_FALSE(dock.isDockRevealed());
    f.advance(0.1);
    EXPECT_TRUE(dock.isDockRevealed());
}

TEST(DockReveal, TheDockIsPlacedAgainWhenItsScreenChangesGoesOrOnlyItsWorkAreaChanges) {
    RevealFixture f;
    const ScreenInfo main{QStringLiteral("main"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 1};
    const ScreenInfo side{QStringLiteral("side"), QRect(1920, 0, 1920, 1080), QRect(1920, 0, 1920, 1080), 2};
    f.screens.set({main, side}, main);
    f.pointerAt(2500, 400); // the Dock starts on the screen under the pointer
    f.showDock(DockHideMode::never);
    // 170 by 81 (the shelf and the Trash), centred, 8 above the bottom of the work area.
    EXPECT_EQ(f.panelFrame(), QRect(1920 + 875, 991, 170, 81));

    ScreenInfo shrunk{QStringLiteral("side"), QRect(1920, 0, 1280, 720), QRect(1920, 0, 1280, 720), 2};
    f.screens.set({main, shrunk}, main);
    EXPECT_EQ(f.panelFrame(), QRect(1920 + 555, 631, 170, 81));
    // A panel 33 tall appears at the bottom, and goes.
    shrunk.visibleFrame = QRect(1920, 0, 1280, 687);
    f.screens.set({main, shrunk}, main);
    EXPECT_EQ(f.panelFrame(), QRect(1920 + 555, 598, 170, 81));
    shrunk.visibleFrame = shrunk.frame;
    f.screens.set({main, shrunk}, main);
    EXPECT_EQ(f.panelFrame(), QRect(1920 + 555, 631, 170, 81));

    // Its screen unplugged, the Dock goes to the main screen, and stays there when it comes back.
    f.screens.set({main}, main);
    EXPECT_EQ(f.panelFrame(), QRect(875, 991, 170, 81));
    f.screens.set({main, side}, main);
    EXPECT_EQ(f.panelFrame(), QRect(875, 991, 170, 81));
}

TEST(DockReveal, AboveAnotherMonitorTheDockIsSeenOnlyOnItsOwnAsItSlidesAndWhileHidden) {
    RevealFixture f;
    const ScreenInfo top{QStringLiteral("top"), QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 1};
    const ScreenInfo below{QStringLiteral("below"), QRect(0, 1080, 1920, 1080), QRect(0, 1080, 1920, 1080),
                           2};
    f.screens.set({top, below}, top);
    f.pointerAt(960, 400);
    CustomDockController& dock = f.showDock();
    // What of the panel shows on `screen`.
    const auto seenOn = [&dock](const ScreenInfo& screen) {
        const FloatingDockPanel& panel = *dock.panel();
        if (!panel.isVisible()) return QRegion();
        const QRegion shape = panel.mask().isEmpty() ? QRegion(panel.rect()) : panel.mask();
        return shape.translated(panel.frame().topLeft()).intersected(screen.frame);
    };
    EXPECT_EQ(seenOn(top), QRegion(875, 991, 170, 81));

    f.advance(0.6);
    ASSERT_TRUE(dock.isSlideInFlight());
    dock.slideAnimation()->setCurrentTime(150);
    EXPECT_TRUE(seenOn(below).isEmpty()) << "on its way out";
    EXPECT_FALSE(seenOn(top).isEmpty());
    f.finishSlide();
    EXPECT_EQ(f.panelFrame(), QRect(875, 1077, 170, 81));
    EXPECT_TRUE(seenOn(below).isEmpty()) << "hidden";
    EXPECT_EQ(seenOn(top), QRegion(875, 1077, 170, 3));

    // The bottom edge of its own screen brings it back whole.
    f.pointerAt(960, 1080);
    f.advance(0.2);
    f.finishSlide();
    // Whole once the desktop says it has moved the window there (until then it may stand lower).
    QMoveEvent placed(dock.panel()->frame().topLeft(), dock.panel()->frame().topLeft());
    QCoreApplication::sendEvent(dock.panel()->windowHandle(), &placed);
    EXPECT_EQ(seenOn(top), QRegion(875, 991, 170, 81));

    // Scaled twice, the desktop places the screens by their pixels: 960 by 540 points each, the
    // lower one from 1080 down. Hidden, the Dock still shows nowhere below its own screen.
    const ScreenInfo scaledTop{QStringLiteral("top"), QRect(0, 0, 960, 540), QRect(0, 0, 960, 540), 1};
    const ScreenInfo scaledBelow{QStringLiteral("below"), QRect(0, 1080, 960, 540), QRect(0, 1080, 960, 540),
                                 2};
    f.screens.set({scaledTop, scaledBelow}, scaledTop);
    f.slideOut();
    EXPECT_EQ(f.panelFrame(), QRect(395, 537, 170, 81));
    const FloatingDockPanel& panel = *dock.panel();
    const QRegion shape = panel.mask().isEmpty() ? QRegion(panel.rect()) : panel.mask();
    EXPECT_EQ(panel.isVisible() ? shape.translated(panel.frame().topLeft()) : QRegion(),
              QRegion(395, 537, 170, 3));
}
