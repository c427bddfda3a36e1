#include "docx/graphics/QXLineUtilites.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

bool within1(double a, double b)
{
    return std::fabs(a - b) < 1;
}

bool vertical(Point a, Point b)
{
    return a.x == b.x;
}

bool horizontal(Point a, Point b)
{
    return a.y == b.y;
}

Point middle(Point a, Point b)
{
    return Point{(a.x + b.x) / 2, (a.y + b.y) / 2};
}

} // namespace

double QXLineUtilites::LineWidthApplyTransform(double width, const Affine& t)
{
    // A stroke scales with the square root of the area factor |ad - bc|:
    // under a rotation it keeps its width, under a uniform scale s it
    // becomes s times as wide.
    const double scaled = std::fabs(width) * std::sqrt(std::fabs(t.a * t.d - t.b * t.c));
    constexpr double kThinnest = static_cast<double>(0.1f);
    return std::isfinite(scaled) && scaled > kThinnest ? scaled : kThinnest;
}

std::vector<Point> QXLineUtilites::NSArrayFromCGPath(const Path& path)
{
    std::vector<Point> points;
    for (const PathElement& element : path.elements())
        for (int i = 0; i < pointCount(element.type); ++i)
            points.push_back(element.points[static_cast<std::size_t>(i)]);
    return points;
}

std::optional<std::vector<Point>> QXLineUtilites::NSArrayFromCGPath_NoCurve(const Path& path)
{
    std::vector<Point> points;
    for (const PathElement& element : path.elements()) {
        switch (element.type) {
        case PathElementType::MoveToPoint:
        case PathElementType::AddLineToPoint:
            points.push_back(element.points[0]);
            break;
        case PathElementType::AddQuadCurveToPoint:
        case PathElementType::AddCurveToPoint:
            return std::nullopt;
        case PathElementType::CloseSubpath:
            break;
        }
    }
    if (points.size() < 2)
        return std::nullopt;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        if (!IsRightAngleLineP1(points[i], points[i + 1]))
            return std::nullopt;
    return points;
}

bool QXLineUtilites::IsVerticalLineP1(Point p1, Point p2)
{
    return within1(p1.x, p2.x) && !within1(p1.y, p2.y);
}

bool QXLineUtilites::IsHorizontalLineP1(Point p1, Point p2)
{
    return within1(p1.y, p2.y) && !within1(p1.x, p2.x);
}

bool QXLineUtilites::IsRightAngleLineP1(Point p1, Point p2)
{
    return within1(p1.x, p2.x) || within1(p1.y, p2.y);
}

bool QXLineUtilites::IsHorizontalRectange(const std::vector<Point>& p)
{
    if (p.size() < 4 || p.size() > 6)
        return false;
    return (horizontal(p[0], p[1]) && vertical(p[1], p[2]) && horizontal(p[2], p[3]) && vertical(p[3], p[0])) ||
           (vertical(p[0], p[1]) && horizontal(p[1], p[2]) && vertical(p[2], p[3]) && horizontal(p[3], p[0]));
}

bool QXLineUtilites::IsQuadrilateral2LinesParallel(const std::vector<Point>& p)
{
    if (p.size() < 4 || p.size() > 6)
        return false;
    return (vertical(p[0], p[1]) && vertical(p[2], p[3])) || (horizontal(p[0], p[1]) && horizontal(p[2], p[3])) ||
           (vertical(p[1], p[2]) && vertical(p[3], p[0])) || (horizontal(p[3], p[0]) && horizontal(p[1], p[2]));
}

bool QXLineUtilites::IsQuadrilateralLikeLine(const std::vector<Point>& p, double maxWidth)
{
    if (!IsQuadrilateral2LinesParallel(p))
        return false;
    const double m = maxWidth < 1 ? 6 : maxWidth;
    const double edges[4] = {QXPointDistance(p[0], p[1]), QXPointDistance(p[1], p[2]), QXPointDistance(p[2], p[3]),
                             QXPointDistance(p[3], p[0])};
    const int shortEdges = static_cast<int>(std::count_if(std::begin(edges), std::end(edges),
                                                          [&](double e) { return e < m; }));
    return shortEdges >= 2 && (edges[0] > 2 * edges[1] || edges[1] > 2 * edges[0]);
}

std::optional<std::vector<Point>> QXLineUtilites::ConvertRectangeToLine(const std::vector<Point>& p,
                                                                        double* lineWidth)
{
    if (p.size() != 4 && p.size() != 5)
        return std::nullopt;
    const double first = QXPointDistance(p[0], p[1]);
    const double second = QXPointDistance(p[1], p[2]);
    double width = 0;
    std::vector<Point> line;
    if (first > second) {
        line = {middle(p[0], p[3]), middle(p[1], p[2])};
        width = second;
    } else {
        line = {middle(p[0], p[1]), middle(p[2], p[3])};
        width = first;
    }
    if (lineWidth)
        *lineWidth = width;
    return line;
}

Path QXLineUtilites::CGPathFromLinePointArray(const std::vector<Point>& points)
{
    Path path;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0)
            path.moveTo(points[i]);
        else
            path.lineTo(points[i]);
    }
    return path;
}

double QXPointDistance(Point p1, Point p2)
{
    return static_cast<double>(static_cast<float>(std::hypot(p1.x - p2.x, p1.y - p2.y)));
}

bool QXIsAxisAlignedSegment(Point p1, Point p2)
{
    return within1(p1.x, p2.x) || within1(p1.y, p2.y);
}

bool QXIsPointOnSegment(Point p, Point a, Point b, double tolerance)
{
    const double pa = QXPointDistance(p, a);
    const double pb = QXPointDistance(p, b);
    const double ab = QXPointDistance(a, b);
    if (std::fabs(pa + pb - ab) < 1)
        return true;
    if (std::fabs(pa + ab - pb) < tolerance) // beyond A
        return pa <= tolerance;
    if (std::fabs(ab + pb - pa) < tolerance) // beyond B
        return pb <= tolerance;
    return false;
}

double QXIntervalOverlap(double a0, double a1, double b0, double b1)
{
    const float aLow = static_cast<float>(std::min(a0, a1)), aHigh = static_cast<float>(std::max(a0, a1));
    const float bLow = static_cast<float>(std::min(b0, b1)), bHigh = static_cast<float>(std::max(b0, b1));
    if (aHigh < bLow || bHigh < aLow)
        return 0;
    const float joined = std::max(aHigh, bHigh) - std::min(aLow, bLow);
    return static_cast<double>((aHigh - aLow) + (bHigh - bLow) - joined);
}

double QXParallelSegmentOverlap(Point p1, Point p2, Point p3, Point p4, double tolerance)
{
    const auto close = [&](double u1, double u2, double v1, double v2) {
        return std::fabs(u1 - v1) < tolerance || std::fabs(u1 - v2) < tolerance || std::fabs(u2 - v1) < tolerance ||
               std::fabs(u2 - v2) < tolerance;
    };
    if (within1(p1.x, p2.x) && within1(p3.x, p4.x))
        return close(p1.x, p2.x, p3.x, p4.x) ? QXIntervalOverlap(p1.y, p2.y, p3.y, p4.y) : 0;
    if (within1(p1.y, p2.y) && within1(p3.y, p4.y))
        return close(p1.y, p2.y, p3.y, p4.y) ? QXIntervalOverlap(p1.x, p2.x, p3.x, p4.x) : 0;
    return 0;
}

} // namespace rz
