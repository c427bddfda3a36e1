// Plain geometry value types with the semantics of a 2-D graphics library:
// points and sizes, rectangles with null/empty/infinite states, and affine
// transforms in row-vector order.
#pragma once

#include <cmath>
#include <limits>

namespace rz {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// An affine transform [a b 0; c d 0; tx ty 1] applied to row vectors:
// x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr Affine identity() { return {}; }
    static Affine makeTranslation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    static Affine makeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Counter-clockwise by `radians` in a y-up space.
    static Affine makeRotation(double radians);

    bool isIdentity() const { return *this == Affine{}; }
    friend bool operator==(const Affine&, const Affine&) = default;
};

// The transform that applies `first`, then `second`.
Affine concat(const Affine& first, const Affine& second);
// These prepend: the new operation applies before `t`.
Affine translate(const Affine& t, double tx, double ty);
Affine scale(const Affine& t, double sx, double sy);
Affine rotate(const Affine& t, double radians);
// The inverse, or `t` unchanged when it is singular.
Affine invert(const Affine& t);

Point apply(const Point& p, const Affine& t);
// Applies the linear part only.
Size apply(const Size& s, const Affine& t);

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

    // The null rectangle: the result of intersecting disjoint rectangles.
    static Rect null();
    // A rectangle with no bounds.
    static Rect infinite();
    static constexpr Rect zero() { return {}; }

    bool isNull() const;
    bool isInfinite() const;
    // Null, or zero width or height.
    bool isEmpty() const;

    double minX() const;
    double midX() const;
    double maxX() const;
    double minY() const;
    double midY() const;
    double maxY() const;
    // Absolute width and height.
    double width() const { return std::fabs(size.width); }
    double height() const { return std::fabs(size.height); }

    // The same rectangle with non-negative width and height.
    Rect standardized() const;
    // Smallest rectangle of integral coordinates containing this one.
    Rect integral() const;
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    Rect unionWith(const Rect& other) const;
    Rect intersection(const Rect& other) const;
    bool intersects(const Rect& other) const;
    // A point on the minimum edges is inside, one on the maximum edges is not.
    bool contains(const Point& p) const;
    // True when `other` lies within this rectangle, edges included.
    bool contains(const Rect& other) const;
    // Bounding box of the four transformed corners.
    Rect applying(const Affine& t) const;

    friend bool operator==(const Rect& a, const Rect& b);
};

inline bool nearlyEqual(double a, double b, double tolerance = 1e-9)
{
    return std::fabs(a - b) <= tolerance;
}

} // namespace rz
