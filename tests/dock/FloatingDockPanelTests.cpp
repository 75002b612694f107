#include "dock/DockTile.h"
#include "dock/FloatingDockPanel.h"
#include "support/FakeCompositorState.h"
#include "support/QtPrinters.h"

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
