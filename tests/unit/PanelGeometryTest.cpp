#include "views/PanelBorderView.h"
#include "views/PanelGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PanelGeometryTest, PointsOnScreenBordersBelongToExactlyOneScreen)
{
    const QRectF left(-1280, 0, 1280, 800);
    const QRectF main(0, 0, 1280, 800);
    EXPECT_TRUE(PanelGeometry::contains(main, QPointF(0, 0)));
    EXPECT_FALSE(PanelGeometry::contains(left, QPointF(0, 0)));
    EXPECT_FALSE(PanelGeometry::contains(main, QPointF(1280, 10)));
    EXPECT_FALSE(PanelGeometry::contains(main, QPointF(10, 800)));
    EXPECT_EQ(PanelGeometry::screenFor(QPointF(-1, 5), {main, left}, main), left);
    EXPECT_EQ(PanelGeometry::screenFor(QPointF(5000, 5), {left, main}, std::nullopt), left);
    EXPECT_FALSE(PanelGeometry::screenFor(QPointF(5, 5), {}, std::nullopt));
}

TEST(PanelGeometryTest, BorderStrokesRunOnePointInsideFromTheEdgeToTheMiddleOfTheRightSide)
{
    const QSizeF size(132, 450);
    const QPainterPath top = PanelGeometry::topBorderPath(size);
    const QPainterPath bottom = PanelGeometry::bottomBorderPath(size);
    EXPECT_EQ(top.pointAtPercent(0), QPointF(0, 1));
    EXPECT_EQ(bottom.pointAtPercent(0), QPointF(0, 449));
    EXPECT_EQ(top.pointAtPercent(1), QPointF(131, 225));
    EXPECT_EQ(bottom.pointAtPercent(1), QPointF(131, 225));
    // The corner arc bulges towards the corner, not inwards.
    const QPointF corner = top.pointAtPercent(top.percentAtLength(120 + 11 * M_PI / 4));
    EXPECT_GT(corner.x(), 120 + 7);
    EXPECT_LT(corner.y(), 12 - 7);
}

TEST(PanelGeometryTest, ShapeIsSquareOnTheScreenSideAndRoundedOnTheRight)
{
    const QPainterPath shape = PanelGeometry::shapePath(QSizeF(132, 450));
    EXPECT_TRUE(shape.contains(QPointF(0.5, 0.5)));
    EXPECT_TRUE(shape.contains(QPointF(0.5, 449.5)));
    EXPECT_FALSE(shape.contains(QPointF(131.5, 0.5)));
    EXPECT_FALSE(shape.contains(QPointF(131.5, 449.5)));
    EXPECT_TRUE(shape.contains(QPointF(131.5, 225)));
}

TEST(PanelGeometryTest, PartialPathsFollowTheStrokeEnd)
{
    const QPainterPath top = PanelGeometry::topBorderPath(QSizeF(132, 450));
    EXPECT_TRUE(PanelGeometry::partialPath(top, 0).isEmpty());
    EXPECT_TRUE(PanelGeometry::partialPath(top, -1).isEmpty());
    const QPainterPath half = PanelGeometry::partialPath(top, 0.5);
    EXPECT_NEAR(half.length(), top.length() / 2, 1.0);
    EXPECT_NEAR(PanelGeometry::partialPath(top, 7).length(), top.length(), 1.0);
}

TEST(PanelGeometryTest, AnEmptyBorderViewKeepsItsPaths)
{
    PanelBorderView view;
    view.resize(132, 450);
    view.updateBorderPaths();
    const QPainterPath before = view.topPath();
    view.resize(0, 450);
    view.updateBorderPaths();
    EXPECT_EQ(view.topPath(), before);
    view.setStrokeEnd(3);
    EXPECT_DOUBLE_EQ(view.strokeEnd(), 1.0);
}

} // namespace
