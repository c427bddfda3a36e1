// A vector path of move, line, quadratic, cubic and close elements.
#pragma once

#include "platform/geometry/Geometry.h"

#include <array>
#include <vector>

namespace rz {

enum class PathElementType : int {
    MoveToPoint = 0,
    AddLineToPoint = 1,
    AddQuadCurveToPoint = 2,
    AddCurveToPoint = 3,
    CloseSubpath = 4,
};

// Number of points an element of this type carries: 1, 1, 2, 3, 0.
int pointCount(PathElementType type);

struct PathElement {
    PathElementType type = PathElementType::MoveToPoint;
    // Control points first, end point last; only pointCount(type) are used.
    std::array<Point, 3> points{};
    friend bool operator==(const PathElement&, const PathElement&) = default;
};

enum class FillRule { NonZero, EvenOdd };

class Path {
public:
    Path() = default;

    // Each adder takes an optional transform applied to its points.
    void moveTo(Point p, const Affine* t = nullptr);
    void lineTo(Point p, const Affine* t = nullptr);
    void quadTo(Point control, Point end, const Affine* t = nullptr);
    void curveTo(Point c1, Point c2, Point end, const Affine* t = nullptr);
    void closeSubpath();
    // move to the origin, three lines anticlockwise in a y-up space, close.
    void addRect(const Rect& r, const Affine* t = nullptr);
    void addPath(const Path& other, const Affine* t = nullptr);
    // Adds an element as it stands (used when rebuilding stored paths).
    void addElement(const PathElement& e);

    // No elements at all.
    bool isEmpty() const { return elements_.empty(); }
    const std::vector<PathElement>& elements() const { return elements_; }
    // The end point of the last element, or the start of the subpath after a close.
    Point currentPoint() const { return current_; }
    bool hasCurrentPoint() const { return !elements_.empty(); }

    // Box of every point, control points included; null for an empty path.
    Rect boundingBox() const;
    // Box of the drawn outline: curves measured at their extremes.
    Rect pathBoundingBox() const;
    // Containment as a fill with the given rule would colour the point;
    // open subpaths are closed implicitly.
    bool contains(Point p, FillRule rule = FillRule::NonZero, const Affine* t = nullptr) const;
    // True when the path is one rectangle drawn by addRect or four lines.
    bool isRect(Rect* out = nullptr) const;

    Path transformed(const Affine& t) const;

    friend bool operator==(const Path&, const Path&) = default;

private:
    std::vector<PathElement> elements_;
    Point current_{};
    Point subpathStart_{};
};

} // namespace rz
