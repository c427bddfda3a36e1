// Line and rectangle geometry of drawn paths: stroke widths under a
// transform, point lists, straight and right-angled segments, rectangles
// and thin quadrilaterals read as lines, segment and interval overlaps.
#include "docx/graphics/QXLineUtilites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace rz;

TEST(QXLineUtilitesTest, StrokeWidthUnderATransform)
{
    EXPECT_DOUBLE_EQ(QXLineUtilites::LineWidthApplyTransform(1, Affine::identity()), 1);
    EXPECT_NEAR(QXLineUtilites::LineWidthApplyTransform(1, Affine::makeScale(0.01, 0.01)), 0.1, 1e-7);
    EXPECT_DOUBLE_EQ(QXLineUtilites::LineWidthApplyTransform(2, Affine::makeScale(3, 3)), 6);
    // A turned stroke keeps its width.
    for (const double degrees : {30.0, 45.0, 90.0, 135.0})
        EXPECT_NEAR(QXLineUtilites::LineWidthApplyTransform(2, Affine::makeRotation(degrees * std::numbers::pi / 180)), 2,
                    1e-9)
            << degrees;
    EXPECT_NEAR(QXLineUtilites::LineWidthApplyTransform(1, Affine{0, 0, 0, 0, 0, 0}), 0.1, 1e-7);
}

TEST(QXLineUtilitesTest, PointListsOfAPath)
{
    Path curve;
    curve.moveTo({0, 0});
    curve.curveTo({1, 1}, {2, 1}, {3, 0});
    EXPECT_EQ(QXLineUtilites::NSArrayFromCGPath(curve).size(), 4u);
    EXPECT_FALSE(QXLineUtilites::NSArrayFromCGPath_NoCurve(curve));

    Path diagonal;
    diagonal.moveTo({0, 0});
    diagonal.lineTo({10, 10});
    EXPECT_FALSE(QXLineUtilites::NSArrayFromCGPath_NoCurve(diagonal));

    Path lonePoint;
    lonePoint.moveTo({5, 5});
    EXPECT_FALSE(QXLineUtilites::NSArrayFromCGPath_NoCurve(lonePoint));

    Path box;
    box.moveTo({10, 20});
    box.lineTo({110, 20});
    box.lineTo({110, 25.5});
    box.lineTo({10, 25});
    box.closeSubpath();
    const auto points = QXLineUtilites::NSArrayFromCGPath_NoCurve(box);
    ASSERT_TRUE(points);
    EXPECT_EQ(points->size(), 4u);
    EXPECT_EQ(QXLineUtilites::CGPathFromLinePointArray(*points).elements().size(), 4u);
}

TEST(QXLineUtilitesTest, SegmentsAndRectangles)
{
    EXPECT_TRUE(QXLineUtilites::IsHorizontalLineP1({10, 100}, {200, 100.5}));
    EXPECT_FALSE(QXLineUtilites::IsVerticalLineP1({10, 100}, {200, 100.5}));
    EXPECT_TRUE(QXLineUtilites::IsVerticalLineP1({10, 100}, {10.5, 300}));
    EXPECT_TRUE(QXLineUtilites::IsRightAngleLineP1({3, 3}, {3, 3}));
    EXPECT_FALSE(QXLineUtilites::IsRightAngleLineP1({0, 0}, {5, 5}));

    const std::vector<Point> rect{{0, 0}, {10, 0}, {10, 5}, {0, 5}};
    EXPECT_TRUE(QXLineUtilites::IsHorizontalRectange(rect));
    // No tolerance: a corner off by 0.001 is no rectangle.
    EXPECT_FALSE(QXLineUtilites::IsHorizontalRectange({{0, 0}, {10, 0.001}, {10, 5}, {0, 5}}));
    EXPECT_FALSE(QXLineUtilites::IsHorizontalRectange({{0, 0}, {10, 0}, {10, 5}}));

    // A bar 100 long and 2 high reads as a line along its length.
    const std::vector<Point> bar{{0, 0}, {100, 0}, {100, 2}, {0, 2}};
    EXPECT_TRUE(QXLineUtilites::IsQuadrilateralLikeLine(bar, 0));
    EXPECT_FALSE(QXLineUtilites::IsQuadrilateralLikeLine({{0, 0}, {20, 0}, {20, 20}, {0, 20}}, 0));
    double width = 0;
    const auto line = QXLineUtilites::ConvertRectangeToLine(bar, &width);
    ASSERT_TRUE(line);
    EXPECT_EQ((*line)[0], (Point{0, 1}));
    EXPECT_EQ((*line)[1], (Point{100, 1}));
    EXPECT_DOUBLE_EQ(width, 2);
    // The same bar standing up.
    const auto standing = QXLineUtilites::ConvertRectangeToLine({{0, 0}, {2, 0}, {2, 100}, {0, 100}}, &width);
    ASSERT_TRUE(standing);
    EXPECT_EQ((*standing)[0], (Point{1, 0}));
    EXPECT_EQ((*standing)[1], (Point{1, 100}));
    EXPECT_DOUBLE_EQ(width, 2);
    EXPECT_FALSE(QXLineUtilites::ConvertRectangeToLine({{0, 0}, {1, 1}, {2, 2}}, &width));
}

TEST(QXLineUtilitesTest, OverlapsAndPointsOnSegments)
{
    EXPECT_DOUBLE_EQ(QXIntervalOverlap(0, 10, 5, 20), 5);
    EXPECT_DOUBLE_EQ(QXIntervalOverlap(10, 0, 20, 5), 5);
    EXPECT_DOUBLE_EQ(QXIntervalOverlap(0, 10, 10, 20), 0);
    EXPECT_DOUBLE_EQ(QXIntervalOverlap(0, 10, 11, 20), 0);
    EXPECT_DOUBLE_EQ(QXIntervalOverlap(0, 10, 2, 4), 2);

    EXPECT_TRUE(QXIsPointOnSegment({12, 0}, {0, 0}, {10, 0}, 3));
    EXPECT_FALSE(QXIsPointOnSegment({12, 0}, {0, 0}, {10, 0}, 1.5));
    EXPECT_TRUE(QXIsPointOnSegment({5, 0.1}, {0, 0}, {10, 0}, 0));
    EXPECT_TRUE(QXIsPointOnSegment({-2, 0}, {0, 0}, {10, 0}, 3));

    // Two vertical rules 2 apart overlapping over 10..20.
    EXPECT_DOUBLE_EQ(QXParallelSegmentOverlap({5, 0}, {5, 20}, {7, 10}, {7, 30}, 3), 10);
    EXPECT_DOUBLE_EQ(QXParallelSegmentOverlap({5, 0}, {5, 20}, {9, 10}, {9, 30}, 3), 0);
    EXPECT_DOUBLE_EQ(QXParallelSegmentOverlap({0, 5}, {20, 5}, {10, 6}, {30, 6}, 3), 10);
    EXPECT_DOUBLE_EQ(QXParallelSegmentOverlap({0, 5}, {20, 5}, {10, 10}, {10, 30}, 3), 0);
    EXPECT_NEAR(QXPointDistance({0, 0}, {3, 4}), 5, 1e-6);
}
