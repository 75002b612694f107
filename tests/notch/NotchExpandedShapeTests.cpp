#include "kit/OutlineWindowShape.h"
#include "kit/VantrelConcentricGeometry.h"
#include "notch/NotchExpandedShape.h"
#include "notch/NotchPanelShape.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

QPointF point(const QPainterPath& path, int index) {
    const QPainterPath::Element e = path.elementAt(index);
    return {e.x, e.y};
}

void expectPoint(const QPainterPath& path, int index, QPointF expected) {
    const QPointF actual = point(path, index);
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9) << "element " << index;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9) << "element " << index;
}

} // namespace

TEST(NotchExpandedShape, ShouldersFollowTheWidthBetween14And24) {
    const NotchExpandedShape shape{true, 185, 32};
    EXPECT_DOUBLE_EQ(shape.metrics(QRectF(0, 0, 500, 104)).shoulderWidth, 14);
    EXPECT_DOUBLE_EQ(shape.metrics(QRectF(0, 0, 1000, 104)).shoulderWidth, 24);
    EXPECT_DOUBLE_EQ(shape.metrics(QRectF(0, 0, 300, 104)).shoulderWidth, 14);
    EXPECT_NEAR(shape.metrics(QRectF(0, 0, 820, 104)).shoulderWidth, 22.96, 1e-9);

    // The right shoulder ends s beyond the bridge; the left one starts s before it.
    const QPainterPath narrow = shape.path(QRectF(0, 0, 500, 104));
    expectPoint(narrow, 0, {250 - 92.5, 0});
    expectPoint(narrow, 5, {250 + 92.5 + 14, 32});
    const QPainterPath wide = shape.path(QRectF(0, 0, 1000, 104));
    expectPoint(wide, 5, {500 + 92.5 + 24, 32});
}

TEST(NotchExpandedShape, BridgeOf38OnASurface200HighGivesThePartsPath) {
    const NotchExpandedShape shape{true, 185, 38};
    const QRectF rect(0, 0, 820, 200);
    const NotchExpandedShape::Metrics m = shape.metrics(rect);
    EXPECT_DOUBLE_EQ(m.bridgeBottom, 38);
    EXPECT_NEAR(m.innerRadius, 12.92, 1e-9);
    EXPECT_DOUBLE_EQ(m.outerRadius, 30);
    EXPECT_DOUBLE_EQ(m.bridgeHalfWidth, 92.5);

    const double s = 22.96, r = 12.92, R = 30, b = 38, hb = 92.5, mid = 410;
    const QPainterPath path = shape.path(rect);
    ASSERT_EQ(path.elementCount(), 27); // move, two lines, a shoulder, (line, bend) five times, line
    expectPoint(path, 0, {mid - hb, 0});
    expectPoint(path, 1, {mid + hb, 0});
    expectPoint(path, 2, {mid + hb, b - r});
    // Right shoulder: controls, then its end.
    expectPoint(path, 3, {mid + hb, b - 0.3 * r});
    expectPoint(path, 4, {mid + hb + 0.58 * s, b});
    expectPoint(path, 5, {mid + hb + s, b});
    expectPoint(path, 6, {820 - R, b});
    // Upper right corner.
    expectPoint(path, 7, {820 - 0.45 * R, b});
    expectPoint(path, 8, {820, b + 0.45 * R});
    expectPoint(path, 9, {820, b + R});
    expectPoint(path, 10, {820, 200 - R});
    // Lower right, lower left and upper left corners: controls 0.45 R from the corner.
    expectPoint(path, 11, {820, 200 - 0.45 * R});
    expectPoint(path, 12, {820 - 0.45 * R, 200});
    expectPoint(path, 13, {820 - R, 200});
    expectPoint(path, 14, {R, 200});
    expectPoint(path, 15, {0.45 * R, 200});
    expectPoint(path, 16, {0, 200 - 0.45 * R});
    expectPoint(path, 17, {0, 200 - R});
    expectPoint(path, 18, {0, b + R});
    expectPoint(path, 19, {0, b + 0.45 * R});
    expectPoint(path, 20, {0.45 * R, b});
    expectPoint(path, 21, {R, b});
    expectPoint(path, 22, {mid - hb - s, b});
    // Left shoulder mirrors the right one.
    expectPoint(path, 23, {mid - hb - 0.58 * s, b});
    expectPoint(path, 24, {mid - hb, b - 0.3 * r});
    expectPoint(path, 25, {mid - hb, b - r});
    expectPoint(path, 26, {mid - hb, 0});

    // Inside: the bridge and the body; outside: beside the bridge above the shoulders.
    EXPECT_TRUE(path.contains(QPointF(mid, 1)));
    EXPECT_TRUE(path.contains(QPointF(10, 150)));
    EXPECT_FALSE(path.contains(QPointF(100, 10)));
    EXPECT_FALSE(path.contains(QPointF(mid - hb - 2, 5)));
    EXPECT_FALSE(path.contains(QPointF(1, 199)));
}

TEST(NotchExpandedShape, NarrowSurfacesAndLowOnesKeepTheirLimits) {
    // 120 wide and below: no bridge, the shoulders meet at the middle.
    for (double width : {120.0, 100.0}) {
        const NotchExpandedShape shape{true, 185, 32};
        EXPECT_DOUBLE_EQ(shape.metrics(QRectF(0, 0, width, 104)).bridgeHalfWidth, 0) << width;
        const QPainterPath path = shape.path(QRectF(0, 0, width, 104));
        // The top edge has no length: the path runs from the middle straight down into the shoulders.
        EXPECT_EQ(point(path, 0), QPointF(width / 2, 0));
        EXPECT_DOUBLE_EQ(point(path, 1).x(), width / 2);
        EXPECT_GT(point(path, 1).y(), 0);
    }
    // A notch wider than width − 120 narrows to half-width width / 2 − 60.
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 250, 32}.metrics(QRectF(0, 0, 300, 104)).bridgeHalfWidth), 90);

    // Lower than its bridge: R = 24. A bridge under 24 still hangs 24 unless a third is less.
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 185, 40}.metrics(QRectF(0, 0, 820, 30)).outerRadius), 24);
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 185, 10}.metrics(QRectF(0, 0, 820, 200)).bridgeBottom), 24);
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 185, 10}.metrics(QRectF(0, 0, 820, 60)).bridgeBottom), 20);
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 185, 10}.metrics(QRectF(0, 0, 820, 60)).innerRadius), 9);
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 185, 50}.metrics(QRectF(0, 0, 820, 470)).innerRadius), 14);
    EXPECT_DOUBLE_EQ((NotchExpandedShape{true, 185, 32}.metrics(QRectF(0, 0, 820, 104)).outerRadius), 24);
}

TEST(NotchExpandedShape, WithoutANotchIsTheContinuousRoundedRectangleOf18) {
    const QRectF rect(0, 0, 820, 470);
    for (const NotchExpandedShape shape :
         {NotchExpandedShape{false, 0, 0}, NotchExpandedShape{false, 185, 38}})
        EXPECT_EQ(shape.path(rect), ContinuousRoundedRectangle{18}.path(rect));
}

TEST(NotchExpandedShape, AnOutlineAwayFromTheOriginHangsFromItsOwnTop) {
    const NotchExpandedShape shape{true, 185, 32};
    const QPainterPath atOrigin = shape.path(QRectF(0, 0, 820, 104));
    const QPainterPath moved = shape.path(QRectF(0, 50, 820, 104));
    EXPECT_EQ(moved, atOrigin.translated(0, 50));
}

TEST(ContinuousRoundedRectangle, SquareTopKeepsTheTopCornersAndRoundsTheBottom) {
    const QRectF cap(0, 0, 185, 32);
    const QPainterPath path = ContinuousRoundedRectangle{13.76, true}.path(cap);
    EXPECT_EQ(path.boundingRect(), cap);
    EXPECT_TRUE(path.contains(QPointF(0.5, 0.5)));
    EXPECT_TRUE(path.contains(QPointF(184.5, 0.5)));
    EXPECT_FALSE(path.contains(QPointF(0.5, 31.5)));
    EXPECT_FALSE(path.contains(QPointF(184.5, 31.5)));
    EXPECT_FALSE(ContinuousRoundedRectangle{13.76}.path(cap).contains(QPointF(0.5, 0.5)));
    // The bottom corners may use the whole height: the radius is not shrunk to half of it.
    EXPECT_NEAR(point(path, 2).y(), 32 - 13.76 * 1.528, 1e-9);
}

TEST(NotchPanelShape, CoverageTakesEveryPixelTheOutlineTouchesRowByRow) {
    // A rectangle on half pixels: every pixel it touches, rows 1 to 4 and columns 2 to 7.
    QPainterPath rectangle;
    rectangle.addRect(2.5, 1.5, 5, 3);
    EXPECT_EQ(OutlineWindowShape::coverage(rectangle), QRegion(2, 1, 6, 4));

    // A triangle widening downward: each row as wide as the outline reaches within it; its base,
    // on the last row's lower edge, adds no row.
    QPainterPath triangle;
    triangle.moveTo(4, 0);
    triangle.lineTo(8, 4);
    triangle.lineTo(0, 4);
    triangle.closeSubpath();
    QRegion rows;
    rows += QRect(3, 0, 2, 1);
    rows += QRect(2, 1, 4, 1);
    rows += QRect(1, 2, 6, 1);
    rows += QRect(0, 3, 8, 1);
    EXPECT_EQ(OutlineWindowShape::coverage(triangle), rows);
    // Upright on the right, slanted on the left: a row that only starts further left is a new row.
    QPainterPath wedge;
    wedge.moveTo(4, 0);
    wedge.lineTo(8, 0);
    wedge.lineTo(8, 4);
    wedge.lineTo(0, 4);
    wedge.closeSubpath();
    QRegion steps;
    for (int y = 0; y < 4; ++y) steps += QRect(3 - y, y, 5 + y, 1);
    EXPECT_EQ(OutlineWindowShape::coverage(wedge), steps);
    EXPECT_TRUE(OutlineWindowShape::coverage(QPainterPath()).isEmpty());
}
