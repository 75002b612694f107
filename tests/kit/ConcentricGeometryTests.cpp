#include "kit/VantrelConcentricGeometry.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(ConcentricGeometry, NestedRectangleIsAContinuousRoundedRectangleOfTheMinimumRadius) {
    const QRectF rect(10, 20, 120, 40);
    const QPainterPath path = VantrelConcentricGeometry::nestedRectangle(9).path(rect);
    EXPECT_EQ(path.boundingRect(), rect);
    for (QPointF corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()})
        EXPECT_FALSE(
            path.contains(corner + (rect.center() - corner) / QLineF(corner, rect.center()).length() * 2));
    // Continuous corners leave the edge earlier and more gently than a circular arc of the radius.
    QPainterPath circular;
    circular.addRoundedRect(rect, 9, 9);
    const QPointF besideEdge(rect.left() + 7.6, rect.top() + 0.22);
    EXPECT_TRUE(circular.contains(besideEdge));
    EXPECT_FALSE(path.contains(besideEdge));

    // A radius too large shrinks to fit; an invalid one gives a plain rectangle.
    const QRectF small(0, 0, 30, 20);
    EXPECT_FALSE(ContinuousRoundedRectangle{100}.path(small).contains(QPointF(1, 1)));
    EXPECT_TRUE(ContinuousRoundedRectangle{100}.path(small).contains(QPointF(15, 0.5)));
    for (double bad : {-4.0, 0.0, std::nan("")})
        EXPECT_TRUE(VantrelConcentricGeometry::nestedRectangle(bad).path(small).contains(QPointF(0.5, 0.5)));
}
