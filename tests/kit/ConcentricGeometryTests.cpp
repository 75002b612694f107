#include "kit/VantrelConcentricGeometry.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(ConcentricGeometry, NestedRectangleIsAContinuousRoundedRectangleOfTheMinimumRadius) {
    const ContinuousRoundedRectangle shape = VantrelConcentricGeometry::nestedRectangle(9);
    const QRectF rect(10, 20, 120, 40);
    const QPainterPath path = shape.path(rect);
    EXPECT_EQ(path.boundingRect(), rect);
    EXPECT_TRUE(path.contains(QPointF(rect.center().x(), rect.top() + 0.5)))
        << "straight edges reach the sides";
    for (QPointF corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
        const QPointF inward = (rect.center() - corner) / QLineF(corner, rect.center()).length();
        EXPECT_FALSE(path.contains(corner + inward * 2.0)) << corner.x() << "," << corner.y();
    }
    // Continuous corners leave the edge earlier and more gently than a circular arc of the radius.
    QPainterPath circular;
    circular.addRoundedRect(rect, 9, 9);
    const QPointF besideEdge(rect.left() + 7.6, rect.top() + 0.22);
    EXPECT_TRUE(circular.contains(besideEdge));
    EXPECT_FALSE(path.contains(besideEdge));
    EXPECT_TRUE(path.contains(QPointF(rect.left() + 3.0, rect.top() + 3.0)));

    // A radius too large shrinks to fit; an invalid one gives a plain rectangle.
    const QRectF small(0, 0, 30, 20);
    EXPECT_EQ(ContinuousRoundedRectangle{100}.path(small).boundingRect(), small);
    EXPECT_FALSE(ContinuousRoundedRectangle{100}.path(small).contains(QPointF(1, 1)));
    for (double bad : {-4.0, 0.0, std::nan("")})
        EXPECT_TRUE(VantrelConcentricGeometry::nestedRectangle(bad).path(small).contains(QPointF(0.5, 0.5)));
}
