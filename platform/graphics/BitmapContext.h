// An offscreen bitmap to draw into, standing in for a platform bitmap
// context: a cairo image surface behind a y-up user space.
//
// A new context has its origin at the bottom-left corner with y growing
// upwards, one unit per pixel; the current transform (CTM) maps user space
// into that space and is changed by concatenation (the new transform
// applies to points first). Clip, colours, line style, alpha, blend mode
// and anti-aliasing are part of the graphics state kept by saveGState and
// restoreGState. An ARGB context starts fully transparent; a gray context
// has no alpha and starts black.
//
// A singular or non-finite CTM makes drawing a no-op (and a clip empty)
// until the state that set it is restored; non-finite coordinates skip the
// operation.
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"
#include "platform/image/Image.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace rz {

// Largest width or height of a bitmap: cairo's image surfaces go no further.
inline constexpr int kMaxBitmapSide = 32767;

// A device RGB colour: components 0 to 1, straight alpha.
struct RGBAColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    friend bool operator==(const RGBAColor&, const RGBAColor&) = default;
};

// One pixel as read back: straight (non-premultiplied) 8-bit components.
struct Rgba8 {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba8&, const Rgba8&) = default;
};

struct GradientStop {
    double location = 0; // 0 at the start point, 1 at the end point
    RGBAColor color;
};

enum class BlendMode {
    Normal, Multiply, Screen, Overlay, Darken, Lighten, ColorDodge, ColorBurn,
    HardLight, SoftLight, Difference, Exclusion, Hue, Saturation, Color, Luminosity,
    Clear, Copy,
};

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };

enum class BitmapFormat {
    ARGB, // 8-bit RGB with alpha
    Gray, // 8-bit gray without alpha
};

class BitmapContext {
public:
    // A context of the given size in pixels, each side truncated to a whole
    // number; nothing when a side is not finite, below 1 or above
    // kMaxBitmapSide, when the pixel count exceeds kMaxImagePixels, or when
    // the memory cannot be had.
    static std::unique_ptr<BitmapContext> create(double width, double height,
                                                 BitmapFormat format = BitmapFormat::ARGB);
    ~BitmapContext();
    BitmapContext(const BitmapContext&) = delete;
    BitmapContext& operator=(const BitmapContext&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    BitmapFormat format() const { return format_; }

    void saveGState();
    // Does nothing without a matching saveGState.
    void restoreGState();

    // User space to the bitmap's bottom-left, y-up pixel space.
    Affine ctm() const { return state().ctm; }
    void concatCTM(const Affine& transform);
    void translateCTM(double tx, double ty);
    void scaleCTM(double sx, double sy);
    void rotateCTM(double radians);

    void setFillColor(const RGBAColor& color) { state().fill = color; }
    void setStrokeColor(const RGBAColor& color) { state().stroke = color; }
    void setLineWidth(double width) { state().lineWidth = width; }
    void setLineCap(LineCap cap) { state().lineCap = cap; }
    void setLineJoin(LineJoin join) { state().lineJoin = join; }
    void setMiterLimit(double limit) { state().miterLimit = limit; }
    // Multiplies everything drawn; clamped to 0..1.
    void setAlpha(double alpha);
    void setBlendMode(BlendMode mode) { state().blendMode = mode; }
    void setShouldAntialias(bool antialias) { state().antialias = antialias; }

    // Intersects the clip with the path's interior (in user space).
    void clipToPath(const Path& path, FillRule rule = FillRule::NonZero);
    void clipToRect(const Rect& rect);
    // The bounding box of the clip in user space (pixel-aligned in bitmap
    // space); the null rectangle when the clip is empty.
    Rect clipBoundingBox() const;

    void fillPath(const Path& path, FillRule rule = FillRule::NonZero);
    void strokePath(const Path& path);
    void fillRect(const Rect& rect);
    // Draws the image stretched over the rectangle, upright: its top row
    // along the rectangle's maximum y edge.
    void drawImage(const Image& image, const Rect& rect);
    // The same image drawn into each of the rectangles in turn.
    void drawImages(const Image& image, const std::vector<Rect>& rects);
    // Fills the clip with a linear gradient from `start` (location 0) to
    // `end` (location 1); beyond each end the end colour continues only
    // when that end is extended. Nothing is drawn without stops or when the
    // points coincide.
    void drawLinearGradient(const std::vector<GradientStop>& stops, Point start, Point end,
                            bool extendStart, bool extendEnd);

    // The present contents: RGBA8 (straight alpha) for an ARGB context,
    // Gray8 for a gray one.
    std::optional<Image> makeImage() const;
    // One pixel; x from the left, y from the TOP row of the bitmap (row 0 is
    // the top of the image that makeImage gives, the highest user y of a
    // new context). Outside the bitmap: all zero.
    Rgba8 pixel(int x, int y) const;

private:
    struct GState {
        Affine ctm;
        RGBAColor fill{0, 0, 0, 1};
        RGBAColor stroke{0, 0, 0, 1};
        double alpha = 1;
        double lineWidth = 1;
        LineCap lineCap = LineCap::Butt;
        LineJoin lineJoin = LineJoin::Miter;
        double miterLimit = 10;
        BlendMode blendMode = BlendMode::Normal;
        bool antialias = true;
    };

    BitmapContext(int width, int height, BitmapFormat format, cairo_surface_t* surface, cairo_t* cr);
    GState& state() { return states_.back(); }
    const GState& state() const { return states_.back(); }
    // Loads the CTM and the state's drawing settings into cairo; false when
    // the CTM cannot map anything (drawing is then skipped).
    bool prepare() const;
    // Sets the path as cairo's current path; false (and no path) when a
    // coordinate is not finite.
    bool appendPath(const Path& path, bool forStroke) const;
    void appendFarPath(const Path& path, const Affine& device, bool forStroke) const;
    void paintRegion(bool fill, FillRule rule) const;

    int width_;
    int height_;
    BitmapFormat format_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
    std::vector<GState> states_;
};

} // namespace rz
