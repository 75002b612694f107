#include "dock/DockTile.h"
#include "dock/FloatingDockPanel.h"
#include "support/FakeCompositorState.h"
#include "support/QtPrinters.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QSpontaneKeyEvent>
#include <QWindow>

#include "DockViewFixture.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct FloatingDockPanelShapeTest : DockViewFixture {};

TEST_F(FloatingDockPanelShapeTest, TheWindowShowsOnlyTheSurfaceWithOrWithoutACompositor) {
    makeStores({});
    FakeCompositorState compositor(false);
    FloatingDockPanel panel;
    panel.setContentView(new FloatingDockView(context()));
    // The panel as large as the row with only the shelf and the Trash: the surface stands at
    // (57, 35), 138 by 78, with corners of 25, in a clear band 50 wide at each side and 35 above.
    panel.setFrame(QRect(0, 0, 252, 120));
    EXPECT_EQ(panel.mask().boundingRect(), QRect(57, 35, 138, 78)) << "no compositor state: one that blends";

    panel.setCompositorState(&compositor);
    const QRegion shape = panel.mask();
    EXPECT_EQ(shape.boundingRect(), QRect(57, 35, 138, 78));
    EXPECT_TRUE(shape.contains(QPoint(126, 74))) << "the middle of the surface";
    EXPECT_TRUE(shape.contains(QPoint(57, 74))) << "its left edge";
    EXPECT_TRUE(shape.contains(QPoint(126, 35))) << "its top edge";
    EXPECT_FALSE(shape.contains(QPoint(57, 35))) << "outside the rounded corner";
    EXPECT_FALSE(shape.contains(QPoint(194, 112))) << "outside the rounded corner";
    EXPECT_FALSE(shape.contains(QPoint(126, 20))) << "the band above, where the strip stays when slid out";
    EXPECT_FALSE(shape.contains(QPoint(20, 74))) << "the band beside";

    // The shape follows the row: larger icons make a larger surface, centred in the same panel.
    preferences.setCustomDockIconSize(60);
    EXPECT_EQ(panel.mask().boundingRect(), QRect(41, 27, 170, 94));

    // A compositor starts: still only the surface, so that the window manager's shadow keeps to
    // it, and the panel, shown before, is shown on a new window.
    panel.orderFront();
    compositor.setCompositing(true);
    EXPECT_EQ(panel.mask().boundingRect(), QRect(41, 27, 170, 94));
    EXPECT_FALSE(panel.mask().contains(QPoint(126, 20))) << "the band above";
    EXPECT_TRUE(panel.isVisible());
    compositor.setCompositing(false);
    EXPECT_EQ(panel.mask().boundingRect(), QRect(41, 27, 170, 94));
    EXPECT_TRUE(panel.isVisible());

    // Other content than the Dock's row has no outline: the whole window.
    panel.setContentView(new QWidget);
    EXPECT_TRUE(panel.mask().isEmpty());
}

TEST_F(FloatingDockPanelShapeTest, OutsideItsVisibleAreaThePanelIsCutAwayAndUnmappedWithNothingLeft) {
    makeStores({});
    FloatingDockPanel panel;
    panel.setContentView(new FloatingDockView(context()));
    // The surface stands at (57, 35), 138 by 78.
    panel.setFrame(QRect(0, 0, 252, 120));
    panel.orderFront();
    panel.setVisibleArea(QRect(0, 0, 1920, 80));
    EXPECT_EQ(panel.mask().boundingRect(), QRect(57, 35, 138, 45));
    EXPECT_TRUE(panel.isVisible());

    // Only the clear band above the surface within the area: nothing to show, so not mapped.
    panel.setFrame(QRect(0, 50, 252, 120));
    EXPECT_FALSE(panel.isVisible());
    panel.setVisibleArea(std::nullopt);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.mask().boundingRect(), QRect(57, 35, 138, 78));

    // Ordered out meanwhile, it stays out when the area takes it back.
    panel.setVisibleArea(QRect(0, 0, 1920, 80));
    panel.orderOut();
    panel.setVisibleArea(std::nullopt);
    EXPECT_FALSE(panel.isVisible());
}

// Stacked monitors: the hidden Dock stands at the bottom of the upper one, its visible area. A
// window manager carries out a move some time after it was asked for, while a new shape takes at
// once: until the desktop tells that the window stands where it was sent, the shape must lie within
// the area there and where it still stands. With nothing left to show, the window is unmapped
// before its shape is dropped (an empty shape is the whole window to the desktop).
TEST_F(FloatingDockPanelShapeTest, SlidingAcrossTheEdgeOfItsAreaNoPartOfThePanelShowsBeyondIt) {
    makeStores({});
    FloatingDockPanel panel;
    panel.setContentView(new FloatingDockView(context()));
    const QRect upper(0, 0, 1920, 1080);
    panel.setVisibleArea(upper);
    // The surface stands at (57, 35), 138 by 78, within the panel.
    panel.setFrame(QRect(800, 952, 252, 120));
    panel.orderFront();
    struct HiddenWithShape : QObject {
        bool ok = true;
        bool eventFilter(QObject* panel, QEvent* event) override {
            if (event->type() == QEvent::Hide) ok = ok && !static_cast<QWidget*>(panel)->mask().isEmpty();
            return false;
        }
    } hiddenWithShape;
    panel.installEventFilter(&hiddenWithShape);
    QPoint seen = panel.pos();
    const auto within = [&](QPoint at) {
        const QRegion shown = panel.mask().isEmpty() ? QRegion(panel.rect()) : panel.mask();
        return !panel.isVisible() || upper.contains(shown.translated(at).boundingRect());
    };
    const auto desktopMoves = [&](QPoint to) {
        QMoveEvent done(to, seen);
        QCoreApplication::sendEvent(panel.windowHandle(), &done);
        seen = to;
    };
    // The desktop answers each move, but every third, which it answers with the next.
    const auto slide = [&](int from, int to, int step) {
        for (int y = from, i = 0; step > 0 ? y <= to : y >= to; y += step, ++i) {
            // An unmapped window is mapped again only after the moves asked before.
            if (!panel.isVisible()) seen = QPoint(800, y);
            panel.setFrame(QRect(800, y, 252, 120));
            EXPECT_TRUE(within(seen) && within(QPoint(800, y))) << "at " << y;
            if (i % 3 != 1) desktopMoves(QPoint(800, y));
        }
    };
    slide(962, 1077, 5);
    EXPECT_FALSE(panel.isVisible()) << "only the clear band above the surface is left";
    EXPECT_TRUE(hiddenWithShape.ok) << "its shape dropped while it was still mapped";
    slide(1077, 952, -5);
    desktopMoves(QPoint(800, 952));
    EXPECT_EQ(panel.mask().boundingRect(), QRect(57, 35, 138, 78)) << "whole once in place";
}

// The window manager's close action, or Alt+F4 while the Dock is its focused window, must not take
// the Dock away: nothing would bring it back until the program starts again.
TEST_F(FloatingDockPanelShapeTest, ACloseRequestFromTheDesktopLeavesTheDockShown) {
    makeStores({});
    FloatingDockPanel panel;
    panel.setContentView(new FloatingDockView(context()));
    panel.setFrame(QRect(0, 0, 252, 120));
    panel.orderFront();
    ASSERT_TRUE(panel.windowHandle());
    // As the desktop's WM_DELETE_WINDOW arrives.
    QCloseEvent request;
    QSpontaneKeyEvent::setSpontaneous(&request);
    QCoreApplication::sendEvent(panel.windowHandle(), &request);
    EXPECT_FALSE(request.isAccepted());
    EXPECT_TRUE(panel.isVisible());
    panel.orderOut();
    EXPECT_FALSE(panel.isVisible());
}

void finish(QVariantAnimation* animation) {
    if (animation) animation->setCurrentTime(animation->totalDuration());
}

TEST_F(FloatingDockPanelShapeTest, TheShapeHoldsAHoveredTilesBubbleAndRisenIconWhileTheyShow) {
    running.applications = {app(42, "Editor")};
    makeStores({});
    preferences.setCustomDockIconAnimation(DockIconAnimation::rise);
    preferences.setCustomDockMagnificationScale(1.6);
    for (const bool compositing : {false, true}) {
        SCOPED_TRACE(compositing ? "with a compositor" : "without");
        FakeCompositorState compositor(compositing);
        FloatingDockPanel panel;
        auto* view = new FloatingDockView(context());
        panel.setContentView(view);
        panel.setFrame(QRect(QPoint(0, 0), view->sizeHint()));
        panel.setCompositorState(&compositor);
        panel.show();
        // The application's tile stands at (73, 46), 49 by 56, in a surface whose top is at 35.
        DockTile* editor = view->tiles().front();
        editor->setHovering(true);
        finish(editor->label().animation());
        finish(editor->effect().animation());
        // The bubble's top is 22 above the tile's; the risen icon's 7 higher than its grown top.
        EXPECT_TRUE(panel.mask().contains(QPoint(97, 26))) << "the bubble, above the surface";
        EXPECT_TRUE(panel.mask().contains(QPoint(80, 30))) << "the bubble's left part";
        EXPECT_TRUE(panel.mask().contains(QPoint(97, 33))) << "the risen icon's top, above the surface";
        EXPECT_FALSE(panel.mask().contains(QPoint(200, 26))) << "the band beside the bubble";

        editor->setHovering(false);
        finish(editor->label().animation());
        finish(editor->effect().animation());
        EXPECT_EQ(panel.mask().boundingRect(), QRect(57, 35, panel.width() - 114, 78)) << "the surface alone";
    }
}

} // namespace
