#include "platform/graphics/BitmapContext.h"

#include "platform/graphics/CairoLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rz {

namespace {

// Every context exists only once the library is loaded (create checks it).
const CairoLibrary& cairo()
{
    return cairoLibrary();
}

bool finite(const Affine& t)
{
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) &&
           std::isfinite(t.tx) && std::isfinite(t.ty);
}

bool finite(const Point& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

cairo_matrix_t toCairo(const Affine& t)
{
    cairo_matrix_t m;
    cairo().matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

cairo_operator_t toCairo(BlendMode mode)
{
    switch (mode) {
    case BlendMode::Normal: return CAIRO_OPERATOR_OVER;
    case BlendMode::Multiply: return CAIRO_OPERATOR_MULTIPLY;
    case BlendMode::Screen: return CAIRO_OPERATOR_SCREEN;
    case BlendMode::Overlay: return CAIRO_OPERATOR_OVERLAY;
    case BlendMode::Darken: return CAIRO_OPERATOR_DARKEN;
    case BlendMode::Lighten: return CAIRO_OPERATOR_LIGHTEN;
    case BlendMode::ColorDodge: return CAIRO_OPERATOR_COLOR_DODGE;
    case BlendMode::ColorBurn: return CAIRO_OPERATOR_COLOR_BURN;
    case BlendMode::HardLight: return CAIRO_OPERATOR_HARD_LIGHT;
    case BlendMode::SoftLight: return CAIRO_OPERATOR_SOFT_LIGHT;
    case BlendMode::Difference: return CAIRO_OPERATOR_DIFFERENCE;
    case BlendMode::Exclusion: return CAIRO_OPERATOR_EXCLUSION;
    case BlendMode::Hue: return CAIRO_OPERATOR_HSL_HUE;
    case BlendMode::Saturation: return CAIRO_OPERATOR_HSL_SATURATION;
    case BlendMode::Color: return CAIRO_OPERATOR_HSL_COLOR;
    case BlendMode::Luminosity: return CAIRO_OPERATOR_HSL_LUMINOSITY;
    case BlendMode::Clear: return CAIRO_OPERATOR_CLEAR;
    case BlendMode::Copy: return CAIRO_OPERATOR_SOURCE;
    }
    return CAIRO_OPERATOR_OVER;
}

double unit(double v)
{
    return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
}

void setSource(cairo_t* cr, const RGBAColor& c)
{
    cairo().set_source_rgba(cr, unit(c.red), unit(c.green), unit(c.blue), unit(c.alpha));
}

uint8_t unpremultiply(unsigned c, unsigned a)
{
    return static_cast<uint8_t>(a ? std::min(255u, (c * 255u + a / 2) / a) : 0u);
}

uint8_t luminance(unsigned r, unsigned g, unsigned b)
{
    return static_cast<uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

// Gray of a pixel of a gray context: its colour over black, which is the
// premultiplied colour.
uint8_t grayOf(uint32_t px)
{
    return luminance((px >> 16) & 0xff, (px >> 8) & 0xff, px & 0xff);
}

// Straight RGBA of one native-endian premultiplied ARGB32 pixel.
Rgba8 readArgb(uint32_t px)
{
    const unsigned a = px >> 24;
    return Rgba8{unpremultiply((px >> 16) & 0xff, a), unpremultiply((px >> 8) & 0xff, a),
                 unpremultiply(px & 0xff, a), static_cast<uint8_t>(a)};
}

// A cairo surface of the image's pixels (premultiplied ARGB32).
cairo_surface_t* surfaceForImage(const Image& source)
{
    const Image image = source.format() == PixelFormat::CMYK8 ? source.converted(PixelFormat::RGB8) : source;
    if (image.isEmpty() || image.width() > kMaxBitmapSide || image.height() > kMaxBitmapSide)
        return nullptr;
    cairo_surface_t* surface = cairo().image_surface_create(CAIRO_FORMAT_ARGB32, image.width(), image.height());
    if (cairo().surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo().surface_destroy(surface);
        return nullptr;
    }
    cairo().surface_flush(surface);
    unsigned char* data = cairo().image_surface_get_data(surface);
    const int stride = cairo().image_surface_get_stride(surface);
    const int n = image.componentCount();
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* src = image.row(y);
        auto* dst = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
        for (int x = 0; x < image.width(); ++x, src += n) {
            unsigned r, g, b, a = 255;
            if (n == 1) {
                r = g = b = src[0];
            } else {
                r = src[0];
                g = src[1];
                b = src[2];
                if (image.hasAlpha())
                    a = src[3];
            }
            if (a != 255) {
                r = (r * a + 127) / 255;
                g = (g * a + 127) / 255;
                b = (b * a + 127) / 255;
            }
            dst[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    cairo().surface_mark_dirty(surface);
    return surface;
}

} // namespace

std::unique_ptr<BitmapContext> BitmapContext::create(double width, double height, BitmapFormat format)
{
    if (!std::isfinite(width) || !std::isfinite(height))
        return nullptr;
    width = std::trunc(width);
    height = std::trunc(height);
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > static_cast<double>(kMaxImagePixels))
        return nullptr;
    if (!cairo().loaded)
        return nullptr;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    cairo_surface_t* surface = cairo().image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo().surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo().surface_destroy(surface);
        return nullptr;
    }
    cairo_t* cr = cairo().create(surface);
    if (cairo().status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo().destroy(cr);
        cairo().surface_destroy(surface);
        return nullptr;
    }
    if (format == BitmapFormat::Gray) {
        cairo().set_source_rgb(cr, 0, 0, 0);
        cairo().paint(cr);
    }
    return std::unique_ptr<BitmapContext>(new BitmapContext(w, h, format, surface, cr));
}

BitmapContext::BitmapContext(int width, int height, BitmapFormat format, cairo_surface_t* surface, cairo_t* cr)
    : width_(width), height_(height), format_(format), surface_(surface), cr_(cr), states_(1)
{
}

BitmapContext::~BitmapContext()
{
    cairo().destroy(cr_);
    cairo().surface_destroy(surface_);
}

void BitmapContext::saveGState()
{
    states_.push_back(state());
    cairo().save(cr_);
}

void BitmapContext::restoreGState()
{
    if (states_.size() <= 1)
        return;
    states_.pop_back();
    cairo().restore(cr_);
}

void BitmapContext::concatCTM(const Affine& transform)
{
    state().ctm = concat(transform, state().ctm);
}

void BitmapContext::translateCTM(double tx, double ty)
{
    state().ctm = translate(state().ctm, tx, ty);
}

void BitmapContext::scaleCTM(double sx, double sy)
{
    state().ctm = scale(state().ctm, sx, sy);
}

void BitmapContext::rotateCTM(double radians)
{
    state().ctm = rotate(state().ctm, radians);
}

void BitmapContext::setAlpha(double alpha)
{
    state().alpha = unit(alpha);
}

bool BitmapContext::prepare() const
{
    const GState& s = state();
    // The bitmap's y-up space to cairo's device space (origin top-left).
    const Affine flip{1, 0, 0, -1, 0, static_cast<double>(height_)};
    const Affine m = concat(s.ctm, flip);
    const double determinant = m.a * m.d - m.b * m.c;
    if (!finite(m) || !std::isfinite(determinant) || determinant == 0)
        return false;
    const cairo_matrix_t cm = toCairo(m);
    cairo().set_matrix(cr_, &cm);
    cairo().set_operator(cr_, toCairo(s.blendMode));
    cairo().set_antialias(cr_, s.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo().set_line_width(cr_, std::isfinite(s.lineWidth) && s.lineWidth > 0 ? s.lineWidth : 0);
    cairo().set_line_cap(cr_, s.lineCap == LineCap::Round    ? CAIRO_LINE_CAP_ROUND
                            : s.lineCap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                           : CAIRO_LINE_CAP_BUTT);
    cairo().set_line_join(cr_, s.lineJoin == LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                             : s.lineJoin == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                             : CAIRO_LINE_JOIN_MITER);
    cairo().set_miter_limit(cr_, std::isfinite(s.miterLimit) && s.miterLimit >= 1 ? s.miterLimit : 10);
    return cairo().status(cr_) == CAIRO_STATUS_SUCCESS;
}

namespace {

// Device-space coordinates beyond this overflow cairo's fixed-point numbers
// (24.8 bits); paths reaching further are cut to the bitmap first.
constexpr double kMaxDeviceCoordinate = 1 << 21;

// Subpaths in device space as polylines (curves flattened), for paths whose
// coordinates go beyond what cairo's fixed-point numbers hold.
struct Polyline {
    std::vector<Point> points;
    bool closed = false;
};

std::vector<Polyline> flatten(const Path& path, const Affine& device)
{
    std::vector<Polyline> out;
    Point current{}, start{};
    auto lineTo = [&](Point p) {
        if (out.empty())
            out.push_back(Polyline{{apply(current, device)}, false});
        out.back().points.push_back(apply(p, device));
        current = p;
    };
    auto curve = [&](Point c1, Point c2, Point end) {
        const Point d0 = apply(current, device), d1 = apply(c1, device), d2 = apply(c2, device),
                    d3 = apply(end, device);
        const double span = std::hypot(d1.x - d0.x, d1.y - d0.y) + std::hypot(d2.x - d1.x, d2.y - d1.y) +
                            std::hypot(d3.x - d2.x, d3.y - d2.y);
        const int steps = static_cast<int>(std::clamp(span / 4.0, 8.0, 1024.0));
        const Point from = current;
        for (int i = 1; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            const Point q{a * from.x + b * c1.x + c * c2.x + d * end.x, a * from.y + b * c1.y + c * c2.y + d * end.y};
            if (out.empty())
                out.push_back(Polyline{{d0}, false});
            out.back().points.push_back(apply(q, device));
        }
        current = end;
    };
    for (const PathElement& e : path.elements()) {
        const auto& p = e.points;
        switch (e.type) {
        case PathElementType::MoveToPoint:
            current = start = p[0];
            out.push_back(Polyline{{apply(p[0], device)}, false});
            break;
        case PathElementType::AddLineToPoint:
            lineTo(p[0]);
            break;
        case PathElementType::AddQuadCurveToPoint:
            curve(Point{current.x + 2.0 / 3.0 * (p[0].x - current.x), current.y + 2.0 / 3.0 * (p[0].y - current.y)},
                  Point{p[1].x + 2.0 / 3.0 * (p[0].x - p[1].x), p[1].y + 2.0 / 3.0 * (p[0].y - p[1].y)}, p[1]);
            break;
        case PathElementType::AddCurveToPoint:
            curve(p[0], p[1], p[2]);
            break;
        case PathElementType::CloseSubpath:
            if (!out.empty() && !out.back().closed) {
                out.back().closed = true;
                current = start;
                // A segment after a close starts a new subpath at the start point.
                out.push_back(Polyline{{apply(start, device)}, false});
            }
            break;
        }
    }
    return out;
}

// Sutherland-Hodgman clipping of a closed polygon to a rectangle; winding
// numbers of points inside the rectangle are kept.
std::vector<Point> clipPolygon(std::vector<Point> polygon, double x0, double y0, double x1, double y1)
{
    auto clipEdge = [&](auto inside, auto cross) {
        std::vector<Point> out;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            const bool ina = inside(a), inb = inside(b);
            if (ina)
                out.push_back(a);
            if (ina != inb)
                out.push_back(cross(a, b));
        }
        polygon = std::move(out);
    };
    auto atX = [](Point a, Point b, double x) {
        return Point{x, a.y + (b.y - a.y) * ((x - a.x) / (b.x - a.x))};
    };
    auto atY = [](Point a, Point b, double y) {
        return Point{a.x + (b.x - a.x) * ((y - a.y) / (b.y - a.y)), y};
    };
    clipEdge([&](Point p) { return p.x >= x0; }, [&](Point a, Point b) { return atX(a, b, x0); });
    clipEdge([&](Point p) { return p.x <= x1; }, [&](Point a, Point b) { return atX(a, b, x1); });
    clipEdge([&](Point p) { return p.y >= y0; }, [&](Point a, Point b) { return atY(a, b, y0); });
    clipEdge([&](Point p) { return p.y <= y1; }, [&](Point a, Point b) { return atY(a, b, y1); });
    return polygon;
}

// Liang-Barsky clipping of a segment to a rectangle; false when nothing is left.
bool clipSegment(Point& a, Point& b, double x0, double y0, double x1, double y1)
{
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    const Point start{a.x + t0 * dx, a.y + t0 * dy};
    b = Point{a.x + t1 * dx, a.y + t1 * dy};
    a = start;
    return true;
}

} // namespace

bool BitmapContext::appendPath(const Path& path, bool forStroke) const
{
    cairo().new_path(cr_);
    for (const PathElement& e : path.elements())
        for (int i = 0; i < pointCount(e.type); ++i)
            if (!finite(e.points[static_cast<size_t>(i)])) {
                cairo().new_path(cr_);
                return false;
            }

    cairo_matrix_t cm;
    cairo().get_matrix(cr_, &cm);
    const Affine device{cm.xx, cm.yx, cm.xy, cm.yy, cm.x0, cm.y0};
    bool far = false;
    for (const PathElement& e : path.elements())
        for (int i = 0; i < pointCount(e.type) && !far; ++i) {
            const Point d = apply(e.points[static_cast<size_t>(i)], device);
            far = !(std::fabs(d.x) <= kMaxDeviceCoordinate && std::fabs(d.y) <= kMaxDeviceCoordinate);
        }
    if (far) {
        appendFarPath(path, device, forStroke);
        return true;
    }

    for (const PathElement& e : path.elements()) {
        const auto& p = e.points;
        switch (e.type) {
        case PathElementType::MoveToPoint:
            cairo().move_to(cr_, p[0].x, p[0].y);
            break;
        case PathElementType::AddLineToPoint:
            cairo().line_to(cr_, p[0].x, p[0].y);
            break;
        case PathElementType::AddQuadCurveToPoint: {
            double x0 = p[1].x, y0 = p[1].y;
            if (cairo().has_current_point(cr_))
                cairo().get_current_point(cr_, &x0, &y0);
            else
                cairo().move_to(cr_, x0, y0);
            cairo().curve_to(cr_, x0 + 2.0 / 3.0 * (p[0].x - x0), y0 + 2.0 / 3.0 * (p[0].y - y0),
                           p[1].x + 2.0 / 3.0 * (p[0].x - p[1].x), p[1].y + 2.0 / 3.0 * (p[0].y - p[1].y),
                           p[1].x, p[1].y);
            break;
        }
        case PathElementType::AddCurveToPoint:
            cairo().curve_to(cr_, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
            break;
        case PathElementType::CloseSubpath:
            cairo().close_path(cr_);
            break;
        }
    }
    return true;
}

void BitmapContext::appendFarPath(const Path& path, const Affine& device, bool forStroke) const
{
    // Everything beyond a margin around the bitmap is cut away in device
    // space; for strokes the margin also holds the pen.
    double margin = 16;
    if (forStroke) {
        const double scale = std::sqrt(std::fabs(device.a * device.d - device.b * device.c));
        margin += std::min(kMaxDeviceCoordinate / 2, std::fabs(state().lineWidth) * scale * 2);
    }
    const double x0 = -margin, y0 = -margin, x1 = width_ + margin, y1 = height_ + margin;
    cairo_matrix_t saved;
    cairo().get_matrix(cr_, &saved);
    cairo().identity_matrix(cr_);
    for (const Polyline& line : flatten(path, device)) {
        if (line.points.size() < 2)
            continue;
        if (!forStroke) {
            const std::vector<Point> polygon = clipPolygon(line.points, x0, y0, x1, y1);
            if (polygon.size() < 3)
                continue;
            cairo().move_to(cr_, polygon[0].x, polygon[0].y);
            for (size_t i = 1; i < polygon.size(); ++i)
                cairo().line_to(cr_, polygon[i].x, polygon[i].y);
            cairo().close_path(cr_);
            continue;
        }
        const size_t segments = line.closed ? line.points.size() : line.points.size() - 1;
        bool drawing = false;
        for (size_t i = 0; i < segments; ++i) {
            Point a = line.points[i], b = line.points[(i + 1) % line.points.size()];
            const Point end = b;
            if (!clipSegment(a, b, x0, y0, x1, y1)) {
                drawing = false;
                continue;
            }
            if (!drawing)
                cairo().move_to(cr_, a.x, a.y);
            cairo().line_to(cr_, b.x, b.y);
            drawing = b.x == end.x && b.y == end.y;
        }
    }
    cairo().set_matrix(cr_, &saved);
}

void BitmapContext::clipToPath(const Path& path, FillRule rule)
{
    if (!prepare() || !appendPath(path, false)) {
        // Nothing can be inside: clip everything out.
        cairo().identity_matrix(cr_);
        cairo().new_path(cr_);
        cairo().rectangle(cr_, 0, 0, 0, 0);
        cairo().clip(cr_);
        return;
    }
    cairo().set_fill_rule(cr_, rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo().clip(cr_);
}

void BitmapContext::clipToRect(const Rect& rect)
{
    Path path;
    if (!rect.isNull())
        path.addRect(rect.standardized());
    clipToPath(path);
}

Rect BitmapContext::clipBoundingBox() const
{
    if (!prepare())
        return Rect::null();
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo().clip_extents(cr_, &x1, &y1, &x2, &y2);
    if (!(x2 > x1) || !(y2 > y1))
        return Rect::null();
    return Rect(x1, y1, x2 - x1, y2 - y1);
}

void BitmapContext::paintRegion(bool fill, FillRule rule) const
{
    const GState& s = state();
    RGBAColor c = fill ? s.fill : s.stroke;
    c.alpha = unit(c.alpha) * s.alpha;
    setSource(cr_, c);
    if (fill) {
        cairo().set_fill_rule(cr_, rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo().fill(cr_);
    } else {
        cairo().stroke(cr_);
    }
}

void BitmapContext::fillPath(const Path& path, FillRule rule)
{
    if (!prepare() || !appendPath(path, false))
        return;
    paintRegion(true, rule);
}

void BitmapContext::strokePath(const Path& path)
{
    if (!prepare() || !appendPath(path, true))
        return;
    paintRegion(false, FillRule::NonZero);
}

void BitmapContext::fillRect(const Rect& rect)
{
    if (rect.isNull())
        return;
    Path path;
    path.addRect(rect.standardized());
    fillPath(path);
}

void BitmapContext::drawImage(const Image& image, const Rect& rect)
{
    drawImages(image, {rect});
}

void BitmapContext::drawImages(const Image& image, const std::vector<Rect>& rects)
{
    if (rects.empty() || image.isEmpty())
        return;
    if (!prepare())
        return;
    cairo_surface_t* surface = nullptr;
    for (const Rect& rect : rects) {
        if (rect.isNull())
            continue;
        const Rect r = rect.standardized();
        if (!(r.width() > 0) || !(r.height() > 0) || !std::isfinite(r.maxX()) || !std::isfinite(r.maxY()) ||
            !std::isfinite(r.minX()) || !std::isfinite(r.minY()))
            continue;
        // The image is turned into a surface once for all its copies.
        if (!surface) {
            surface = surfaceForImage(image);
            if (!surface)
                return;
        }
        cairo_pattern_t* pattern = cairo().pattern_create_for_surface(surface);
        // User space to image pixels: x across, y down from the rectangle's top.
        const double sx = image.width() / r.width();
        const double sy = image.height() / r.height();
        cairo_matrix_t m;
        cairo().matrix_init(&m, sx, 0, 0, -sy, -r.minX() * sx, r.maxY() * sy);
        cairo().pattern_set_matrix(pattern, &m);
        cairo().pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        cairo().pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
        cairo().save(cr_);
        cairo().new_path(cr_);
        cairo().rectangle(cr_, r.minX(), r.minY(), r.width(), r.height());
        cairo().clip(cr_);
        cairo().set_source(cr_, pattern);
        cairo().paint_with_alpha(cr_, state().alpha);
        cairo().restore(cr_);
        cairo().pattern_destroy(pattern);
    }
    if (surface)
        cairo().surface_destroy(surface);
}

void BitmapContext::drawLinearGradient(const std::vector<GradientStop>& stops, Point start, Point end,
                                       bool extendStart, bool extendEnd)
{
    if (stops.empty() || !finite(start) || !finite(end))
        return;
    const double ux = end.x - start.x, uy = end.y - start.y;
    const double length = std::hypot(ux, uy);
    if (!(length > 0) || !std::isfinite(length))
        return;
    if (!prepare())
        return;

    cairo_pattern_t* pattern = cairo().pattern_create_linear(start.x, start.y, end.x, end.y);
    std::vector<GradientStop> sorted = stops;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const GradientStop& a, const GradientStop& b) { return unit(a.location) < unit(b.location); });
    for (const GradientStop& stop : sorted)
        cairo().pattern_add_color_stop_rgba(pattern, unit(stop.location), unit(stop.color.red), unit(stop.color.green),
                                          unit(stop.color.blue), unit(stop.color.alpha));
    cairo().pattern_set_extend(pattern, CAIRO_EXTEND_PAD);

    cairo().save(cr_);
    if (!extendStart || !extendEnd) {
        // The band between the ends (and beyond an extended end), wide enough
        // to cover the whole clip.
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        cairo().clip_extents(cr_, &x1, &y1, &x2, &y2);
        const double reach = std::hypot(x2 - x1, y2 - y1) + std::hypot(start.x - (x1 + x2) / 2, start.y - (y1 + y2) / 2) +
                             length + 1;
        const double dx = ux / length, dy = uy / length; // along the axis
        const double px = -dy * reach, py = dx * reach;  // across it
        const double from = extendStart ? -reach / length : 0.0;
        const double to = extendEnd ? 1.0 + reach / length : 1.0;
        const Point a{start.x + ux * from, start.y + uy * from};
        const Point b{start.x + ux * to, start.y + uy * to};
        cairo().new_path(cr_);
        cairo().move_to(cr_, a.x + px, a.y + py);
        cairo().line_to(cr_, b.x + px, b.y + py);
        cairo().line_to(cr_, b.x - px, b.y - py);
        cairo().line_to(cr_, a.x - px, a.y - py);
        cairo().close_path(cr_);
        cairo().clip(cr_);
    }
    cairo().set_source(cr_, pattern);
    cairo().paint_with_alpha(cr_, state().alpha);
    cairo().restore(cr_);
    cairo().pattern_destroy(pattern);
}

std::optional<Image> BitmapContext::makeImage() const
{
    cairo().surface_flush(surface_);
    const unsigned char* data = cairo().image_surface_get_data(surface_);
    if (!data)
        return std::nullopt;
    const int stride = cairo().image_surface_get_stride(surface_);
    const bool gray = format_ == BitmapFormat::Gray;
    auto image = Image::make(width_, height_, gray ? PixelFormat::Gray8 : PixelFormat::RGBA8);
    if (!image)
        return std::nullopt;
    for (int y = 0; y < height_; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
        uint8_t* dst = image->mutableRow(y);
        for (int x = 0; x < width_; ++x) {
            if (gray) {
                dst[x] = grayOf(src[x]);
            } else {
                const Rgba8 p = readArgb(src[x]);
                dst[x * 4] = p.r;
                dst[x * 4 + 1] = p.g;
                dst[x * 4 + 2] = p.b;
                dst[x * 4 + 3] = p.a;
            }
        }
    }
    return image;
}

Rgba8 BitmapContext::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    cairo().surface_flush(surface_);
    const unsigned char* data = cairo().image_surface_get_data(surface_);
    if (!data)
        return {};
    const int stride = cairo().image_surface_get_stride(surface_);
    uint32_t px;
    std::memcpy(&px, data + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x) * 4, 4);
    if (format_ == BitmapFormat::Gray) {
        const uint8_t v = grayOf(px);
        return Rgba8{v, v, v, 255};
    }
    return readArgb(px);
}

} // namespace rz
