#include "kit/VantrelConcentricGeometry.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(ConcentricGeometry, NestedRectangleIsAContinuousRoundedRectangleOfTheMinimumRadius) {
    const ContinuousRoundedRectangle shape = VantrelConcentricGeometry::nestedRectangle(9);
    EXPECT_EQ(shape.cornerRadius, 9);
    EXPECT_EQ(VantrelConcentricGeometry::containerShape(18).cornerRadius, 18);

    const QRectF rect(10, 20, 120, 40);
    const QPainterPath path = shape.path(rect);
    EXPECT_NEAR(path.boundingRect().left(), rect.left(), 1e-6);
    EXPECT_NEAR(path.boundingRect().right(), rect.right(), 1e-6);
    EXPECT_NEAR(path.boundingRect().top(), rect.top(), 1e-6);
    EXPECT_NEAR(path.boundingRect().bottom(), rect.bottom(), 1e-6);
    EXPECT_TRUE(path.contains(rect.center()));
    // The straight edges reach the sides; the corners are cut away.
    EXPECT_TRUE(path.contains(QPointF(rect.center().x(), rect.top() + 0.5)));
    EXPECT_TRUE(path.contains(QPointF(rect.left() + 0.5, rect.center().y())));
    for (QPointF corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
        const QPointF inward = (rect.center() - corner) / QLineF(corner, rect.center()).length();
        EXPECT_FALSE(path.contains(corner + inward * 2.0)) << corner.x() << "," << corner.y();
    }
    // Continuous corners leave the edge earlier and more gently than a circular arc of the same
    // radius: a point just inside the edge where the arc is still nearly straight is cut away.
    QPainterPath circular;
    circular.addRoundedRect(rect, 9, 9);
    const QPointF besideEdge(rect.left() + 7.6, rect.top() + 0.22);
    EXPECT_TRUE(circular.contains(besideEdge));
    EXPECT_FALSE(path.contains(besideEdge));
    EXPECT_TRUE(path.contains(QPointF(rect.left() + 3.0, rect.top() + 3.0)));
}

TEST(ConcentricGeometry, RadiiThatDoNotFitShrinkAndInvalidOnesGiveAPlainRectangle) {
    const QRectF rect(0, 0, 30, 20);
    const QPainterPath pill = ContinuousRoundedRectangle{100}.path(rect);
    EXPECT_NEAR(pill.boundingRect().width(), 30, 1e-6);
    EXPECT_NEAR(pill.boundingRect().height(), 20, 1e-6);
    EXPECT_TRUE(pill.contains(rect.center()));
    EXPECT_FALSE(pill.contains(QPointF(1, 1)));

    for (double bad : {-4.0, 0.0, std::nan("")}) {
        const ContinuousRoundedRectangle shape = VantrelConcentricGeometry::nestedRectangle(bad);
        EXPECT_EQ(shape.cornerRadius, 0);
        EXPECT_TRUE(shape.path(rect).contains(QPointF(0.5, 0.5)));
    }
}
