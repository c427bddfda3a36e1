#include "platform/geometry/Path.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

Point tf(Point p, const Affine* t)
{
    return t ? apply(p, *t) : p;
}

void include(double& x0, double& y0, double& x1, double& y1, Point p)
{
    x0 = std::min(x0, p.x);
    y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x);
    y1 = std::max(y1, p.y);
}

// Parameters in (0, 1) where the derivative of a 1-D cubic Bezier vanishes.
int cubicExtrema(double p0, double p1, double p2, double p3, double out[2])
{
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    int n = 0;
    auto keep = [&](double t) {
        if (t > 0 && t < 1)
            out[n++] = t;
    };
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12)
            keep(-c / b);
        return n;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0)
        return 0;
    const double s = std::sqrt(disc);
    keep((-b + s) / (2 * a));
    keep((-b - s) / (2 * a));
    return n;
}

Point cubicAt(Point p0, Point p1, Point p2, Point p3, double t)
{
    const double u = 1 - t;
    const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    return {w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
            w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y};
}

Point quadAt(Point p0, Point p1, Point p2, double t)
{
    const double u = 1 - t;
    return {u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
            u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
}

// Flattens the path into closed polygons for containment tests.
std::vector<std::vector<Point>> flatten(const std::vector<PathElement>& elements)
{
    constexpr int kSegments = 16;
    std::vector<std::vector<Point>> polys;
    std::vector<Point> cur;
    Point last{};
    auto flush = [&]() {
        if (cur.size() > 1)
            polys.push_back(cur);
        cur.clear();
    };
    for (const PathElement& e : elements) {
        switch (e.type) {
        case PathElementType::MoveToPoint:
            flush();
            last = e.points[0];
            cur.push_back(last);
            break;
        case PathElementType::AddLineToPoint:
            if (cur.empty())
                cur.push_back(last);
            last = e.points[0];
            cur.push_back(last);
            break;
        case PathElementType::AddQuadCurveToPoint:
            if (cur.empty())
                cur.push_back(last);
            for (int i = 1; i <= kSegments; ++i)
                cur.push_back(quadAt(last, e.points[0], e.points[1], double(i) / kSegments));
            last = e.points[1];
            break;
        case PathElementType::AddCurveToPoint:
            if (cur.empty())
                cur.push_back(last);
            for (int i = 1; i <= kSegments; ++i)
                cur.push_back(
                    cubicAt(last, e.points[0], e.points[1], e.points[2], double(i) / kSegments));
            last = e.points[2];
            break;
        case PathElementType::CloseSubpath:
            if (!cur.empty())
                last = cur.front();
            flush();
            break;
        }
    }
    flush();
    return polys;
}

} // namespace

int pointCount(PathElementType type)
{
    switch (type) {
    case PathElementType::MoveToPoint:
    case PathElementType::AddLineToPoint:
        return 1;
    case PathElementType::AddQuadCurveToPoint:
        return 2;
    case PathElementType::AddCurveToPoint:
        return 3;
    case PathElementType::CloseSubpath:
        return 0;
    }
    return 0;
}

void Path::moveTo(Point p, const Affine* t)
{
    addElement({PathElementType::MoveToPoint, {tf(p, t)}});
}

void Path::lineTo(Point p, const Affine* t)
{
    addElement({PathElementType::AddLineToPoint, {tf(p, t)}});
}

void Path::quadTo(Point control, Point end, const Affine* t)
{
    addElement({PathElementType::AddQuadCurveToPoint, {tf(control, t), tf(end, t)}});
}

void Path::curveTo(Point c1, Point c2, Point end, const Affine* t)
{
    addElement({PathElementType::AddCurveToPoint, {tf(c1, t), tf(c2, t), tf(end, t)}});
}

void Path::closeSubpath()
{
    addElement({PathElementType::CloseSubpath, {}});
}

void Path::addRect(const Rect& r, const Affine* t)
{
    const double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
    moveTo({x0, y0}, t);
    lineTo({x1, y0}, t);
    lineTo({x1, y1}, t);
    lineTo({x0, y1}, t);
    closeSubpath();
}

void Path::addPath(const Path& other, const Affine* t)
{
    for (PathElement e : other.elements_) {
        for (int i = 0; i < pointCount(e.type); ++i)
            e.points[i] = tf(e.points[i], t);
        addElement(e);
    }
}

void Path::addElement(const PathElement& e)
{
    elements_.push_back(e);
    switch (e.type) {
    case PathElementType::MoveToPoint:
        current_ = subpathStart_ = e.points[0];
        break;
    case PathElementType::CloseSubpath:
        current_ = subpathStart_;
        break;
    default:
        current_ = e.points[pointCount(e.type) - 1];
        break;
    }
}

Rect Path::boundingBox() const
{
    bool any = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const PathElement& e : elements_) {
        for (int i = 0; i < pointCount(e.type); ++i) {
            if (!any) {
                x0 = x1 = e.points[i].x;
                y0 = y1 = e.points[i].y;
                any = true;
            } else {
                include(x0, y0, x1, y1, e.points[i]);
            }
        }
    }
    if (!any)
        return Rect::null();
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Path::pathBoundingBox() const
{
    bool any = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    auto add = [&](Point p) {
        if (!any) {
            x0 = x1 = p.x;
            y0 = y1 = p.y;
            any = true;
        } else {
            include(x0, y0, x1, y1, p);
        }
    };
    Point last{};
    for (const PathElement& e : elements_) {
        switch (e.type) {
        case PathElementType::MoveToPoint:
        case PathElementType::AddLineToPoint:
            add(e.points[0]);
            last = e.points[0];
            break;
        case PathElementType::AddQuadCurveToPoint: {
            add(last);
            add(e.points[1]);
            // Extreme of a quadratic per axis at t = (p0 - p1) / (p0 - 2p1 + p2).
            for (int axis = 0; axis < 2; ++axis) {
                const double p0 = axis ? last.y : last.x;
                const double p1 = axis ? e.points[0].y : e.points[0].x;
                const double p2 = axis ? e.points[1].y : e.points[1].x;
                const double den = p0 - 2 * p1 + p2;
                if (std::fabs(den) > 1e-12) {
                    const double t = (p0 - p1) / den;
                    if (t > 0 && t < 1)
                        add(quadAt(last, e.points[0], e.points[1], t));
                }
            }
            last = e.points[1];
            break;
        }
        case PathElementType::AddCurveToPoint: {
            add(last);
            add(e.points[2]);
            double ts[2];
            int n = cubicExtrema(last.x, e.points[0].x, e.points[1].x, e.points[2].x, ts);
            for (int i = 0; i < n; ++i)
                add(cubicAt(last, e.points[0], e.points[1], e.points[2], ts[i]));
            n = cubicExtrema(last.y, e.points[0].y, e.points[1].y, e.points[2].y, ts);
            for (int i = 0; i < n; ++i)
                add(cubicAt(last, e.points[0], e.points[1], e.points[2], ts[i]));
            last = e.points[2];
            break;
        }
        case PathElementType::CloseSubpath:
            break;
        }
    }
    if (!any)
        return Rect::null();
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Path::contains(Point p, FillRule rule, const Affine* t) const
{
    if (t)
        p = apply(p, invert(*t));
    int winding = 0;
    int crossings = 0;
    for (const auto& poly : flatten(elements_)) {
        const size_t n = poly.size();
        for (size_t i = 0; i < n; ++i) {
            const Point a = poly[i];
            const Point b = poly[(i + 1) % n];
            if ((a.y <= p.y) != (b.y <= p.y)) {
                const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
                if (x > p.x) {
                    ++crossings;
                    winding += (b.y > a.y) ? 1 : -1;
                }
            }
        }
    }
    return rule == FillRule::EvenOdd ? (crossings % 2) == 1 : winding != 0;
}

bool Path::isRect(Rect* out) const
{
    const auto& e = elements_;
    size_t n = e.size();
    if (n < 4 || n > 6 || e[0].type != PathElementType::MoveToPoint)
        return false;
    if (e[n - 1].type == PathElementType::CloseSubpath)
        --n;
    std::vector<Point> pts{e[0].points[0]};
    for (size_t i = 1; i < n; ++i) {
        if (e[i].type != PathElementType::AddLineToPoint)
            return false;
        pts.push_back(e[i].points[0]);
    }
    if (pts.size() == 5) {
        if (!(pts[4] == pts[0]))
            return false;
        pts.pop_back();
    }
    if (pts.size() != 4)
        return false;
    const bool horizontalFirst = pts[0].y == pts[1].y && pts[1].x == pts[2].x &&
                                 pts[2].y == pts[3].y && pts[3].x == pts[0].x;
    const bool verticalFirst = pts[0].x == pts[1].x && pts[1].y == pts[2].y &&
                               pts[2].x == pts[3].x && pts[3].y == pts[0].y;
    if (!horizontalFirst && !verticalFirst)
        return false;
    if (out) {
        const double x0 = std::min(pts[0].x, pts[2].x), x1 = std::max(pts[0].x, pts[2].x);
        const double y0 = std::min(pts[0].y, pts[2].y), y1 = std::max(pts[0].y, pts[2].y);
        *out = Rect(x0, y0, x1 - x0, y1 - y0);
    }
    return true;
}

Path Path::transformed(const Affine& t) const
{
    Path p;
    p.addPath(*this, &t);
    return p;
}

} // namespace rz
