#include "platform/geometry/Geometry.h"

#include <algorithm>

namespace rz {

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
} // namespace

Affine Affine::makeRotation(double radians)
{
    const double s = std::sin(radians);
    const double c = std::cos(radians);
    return {c, s, -s, c, 0, 0};
}

Affine concat(const Affine& t1, const Affine& t2)
{
    return {t1.a * t2.a + t1.b * t2.c,
            t1.a * t2.b + t1.b * t2.d,
            t1.c * t2.a + t1.d * t2.c,
            t1.c * t2.b + t1.d * t2.d,
            t1.tx * t2.a + t1.ty * t2.c + t2.tx,
            t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

Affine translate(const Affine& t, double tx, double ty)
{
    return concat(Affine::makeTranslation(tx, ty), t);
}

Affine scale(const Affine& t, double sx, double sy)
{
    return concat(Affine::makeScale(sx, sy), t);
}

Affine rotate(const Affine& t, double radians)
{
    return concat(Affine::makeRotation(radians), t);
}

Affine invert(const Affine& t)
{
    const double det = t.a * t.d - t.b * t.c;
    if (det == 0 || !std::isfinite(det))
        return t;
    const double ia = t.d / det;
    const double ib = -t.b / det;
    const double ic = -t.c / det;
    const double id = t.a / det;
    return {ia, ib, ic, id, -(t.tx * ia + t.ty * ic), -(t.tx * ib + t.ty * id)};
}

Point apply(const Point& p, const Affine& t)
{
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

Size apply(const Size& s, const Affine& t)
{
    return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}

Rect Rect::null()
{
    return {kInf, kInf, 0, 0};
}

Rect Rect::infinite()
{
    return {-kMax / 2, -kMax / 2, kMax, kMax};
}

bool Rect::isNull() const
{
    return std::isinf(origin.x) && origin.x > 0 && std::isinf(origin.y) && origin.y > 0;
}

bool Rect::isInfinite() const
{
    const Rect inf = infinite();
    return origin == inf.origin && size == inf.size;
}

bool Rect::isEmpty() const
{
    return isNull() || size.width == 0 || size.height == 0;
}

double Rect::minX() const
{
    return size.width >= 0 ? origin.x : origin.x + size.width;
}
double Rect::maxX() const
{
    return size.width >= 0 ? origin.x + size.width : origin.x;
}
double Rect::midX() const
{
    return origin.x + size.width / 2;
}
double Rect::minY() const
{
    return size.height >= 0 ? origin.y : origin.y + size.height;
}
double Rect::maxY() const
{
    return size.height >= 0 ? origin.y + size.height : origin.y;
}
double Rect::midY() const
{
    return origin.y + size.height / 2;
}

Rect Rect::standardized() const
{
    if (isNull())
        return *this;
    return {minX(), minY(), width(), height()};
}

Rect Rect::integral() const
{
    if (isNull() || isInfinite())
        return *this;
    const double x0 = std::floor(minX());
    const double y0 = std::floor(minY());
    const double x1 = std::ceil(maxX());
    const double y1 = std::ceil(maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::insetBy(double dx, double dy) const
{
    if (isNull())
        return *this;
    Rect r = standardized();
    r.origin.x += dx;
    r.origin.y += dy;
    r.size.width -= 2 * dx;
    r.size.height -= 2 * dy;
    if (r.size.width < 0 || r.size.height < 0)
        return null();
    return r;
}

Rect Rect::offsetBy(double dx, double dy) const
{
    if (isNull())
        return *this;
    Rect r = standardized();
    r.origin.x += dx;
    r.origin.y += dy;
    return r;
}

Rect Rect::unionWith(const Rect& other) const
{
    if (isNull())
        return other.standardized();
    if (other.isNull())
        return standardized();
    const double x0 = std::min(minX(), other.minX());
    const double y0 = std::min(minY(), other.minY());
    const double x1 = std::max(maxX(), other.maxX());
    const double y1 = std::max(maxY(), other.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::intersection(const Rect& other) const
{
    if (isNull() || other.isNull())
        return null();
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    // Rectangles that share only an edge meet in a rectangle of zero width
    // or height; only rectangles apart from each other give the null one.
    if (x1 < x0 || y1 < y0)
        return null();
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Rect::intersects(const Rect& other) const
{
    return !intersection(other).isEmpty();
}

bool Rect::contains(const Point& p) const
{
    if (isNull())
        return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& other) const
{
    if (isNull() || other.isNull())
        return false;
    return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() &&
           other.maxY() <= maxY();
}

Rect Rect::applying(const Affine& t) const
{
    if (isNull() || isInfinite())
        return *this;
    const Point corners[4] = {apply(Point{minX(), minY()}, t), apply(Point{maxX(), minY()}, t),
                              apply(Point{minX(), maxY()}, t), apply(Point{maxX(), maxY()}, t)};
    double x0 = corners[0].x, x1 = corners[0].x, y0 = corners[0].y, y1 = corners[0].y;
    for (const Point& c : corners) {
        x0 = std::min(x0, c.x);
        x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y);
        y1 = std::max(y1, c.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

bool operator==(const Rect& a, const Rect& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.minX() == b.minX() && a.minY() == b.minY() && a.width() == b.width() &&
           a.height() == b.height();
}

} // namespace rz
