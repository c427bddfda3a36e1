// The line and rectangle questions that vector paths are asked when they
// are classified, merged into rules or searched for table lines: point
// lists of a path, horizontal and vertical segments, axis-aligned
// rectangles and thin quadrilaterals read as lines, stroke widths under a
// transform, and the overlap of parallel segments. Coordinates are points
// in display space. Stateless.
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"

#include <optional>
#include <vector>

namespace rz {

class QXLineUtilites {
public:
    // The width a stroke of width `width` has after `transform`: the width
    // scaled by the square root of the transform's area factor, so that a
    // turned stroke keeps its width; at least 0.1.
    static double LineWidthApplyTransform(double width, const Affine& transform);

    // Every element's points in order: move-to and line-to one point, a
    // quadratic curve two, a cubic three; a close adds none.
    static std::vector<Point> NSArrayFromCGPath(const Path& path);
    // The move-to and line-to points of a path made of straight segments,
    // each horizontal or vertical (within 1); nothing for a path with a
    // curve, with fewer than two points, or with a slanted segment.
    static std::optional<std::vector<Point>> NSArrayFromCGPath_NoCurve(const Path& path);

    // x within 1 and y not: a vertical segment (and the reverse).
    static bool IsVerticalLineP1(Point p1, Point p2);
    static bool IsHorizontalLineP1(Point p1, Point p2);
    // x within 1 or y within 1 (a point passes).
    static bool IsRightAngleLineP1(Point p1, Point p2);

    // Four to six points whose first four make a rectangle with exactly
    // horizontal and vertical edges.
    static bool IsHorizontalRectange(const std::vector<Point>& points);
    // Four to six points with two opposite edges both exactly vertical or
    // both exactly horizontal.
    static bool IsQuadrilateral2LinesParallel(const std::vector<Point>& points);
    // A quadrilateral thin enough to stand for a line: two parallel opposite
    // edges, at least two edges shorter than `maxWidth` (6 when below 1),
    // and one of the first two edges more than twice as long as the other.
    static bool IsQuadrilateralLikeLine(const std::vector<Point>& points, double maxWidth);
    // The centre line of a quadrilateral of four or five points, along its
    // longer side, and its width (the shorter side); nothing for other
    // counts.
    static std::optional<std::vector<Point>> ConvertRectangeToLine(const std::vector<Point>& points,
                                                                   double* lineWidth);
    // A path through the points: a move to the first, a line to each next.
    static Path CGPathFromLinePointArray(const std::vector<Point>& points);
};

// The distance between two points, in single precision.
double QXPointDistance(Point p1, Point p2);
// x within 1 or y within 1.
bool QXIsAxisAlignedSegment(Point p1, Point p2);
// Whether P lies on the segment A-B, or beyond one of its ends by no more
// than `tolerance`.
bool QXIsPointOnSegment(Point p, Point a, Point b, double tolerance);
// The length two intervals (ends in any order) share; 0 when they are
// apart or only touch.
double QXIntervalOverlap(double a0, double a1, double b0, double b1);
// The overlap along their length of two segments that are both vertical
// (or both horizontal) and whose ends lie within `tolerance` across; 0
// otherwise.
double QXParallelSegmentOverlap(Point p1, Point p2, Point p3, Point p4, double tolerance);

} // namespace rz
