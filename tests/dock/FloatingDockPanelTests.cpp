#include "dock/FloatingDockPanel.h"
#include "support/FakeCompositorState.h"
#include "support/QtPrinters.h"

#include "DockViewFixture.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct FloatingDockPanelShapeTest : DockViewFixture {};

TEST_F(FloatingDockPanelShapeTest, WithoutACompositorTheWindowShowsOnlyTheSurfaceAndAllOfItselfWithOne) {
    makeStores({});
    FakeCompositorState compositor(false);
    FloatingDockPanel panel;
    panel.setContentView(new FloatingDockView(context()));
    // The panel as large as the row with only the shelf and the Trash: the surface stands at
    // (57, 35), 138 by 78, with corners of 25, in a clear band 50 wide at each side and 35 above.
    panel.setFrame(QRect(0, 0, 252, 120));
    EXPECT_TRUE(panel.mask().isEmpty()) << "no compositor state counts as one that blends";

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

    // A compositor starts: the whole window shows again (the bubbles above the surface with it),
    // and the panel, shown before, is shown on a new window.
    panel.orderFront();
    compositor.setCompositing(true);
    EXPECT_TRUE(panel.mask().isEmpty());
    EXPECT_TRUE(panel.isVisible());
    compositor.setCompositing(false);
    EXPECT_EQ(panel.mask().boundingRect(), QRect(41, 27, 170, 94));
    EXPECT_TRUE(panel.isVisible());

    // Other content than the Dock's row has no outline: the whole window.
    panel.setContentView(new QWidget);
    EXPECT_TRUE(panel.mask().isEmpty());
}

} // namespace
