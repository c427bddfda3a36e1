#include "platform/graphics/BitmapContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rz;

namespace {

constexpr RGBAColor kRed{1, 0, 0, 1};
constexpr Rgba8 kRed8{255, 0, 0, 255};
constexpr Rgba8 kClear{0, 0, 0, 0};

std::unique_ptr<BitmapContext> make(double w, double h, BitmapFormat format = BitmapFormat::ARGB)
{
    auto context = BitmapContext::create(w, h, format);
    EXPECT_TRUE(context);
    return context;
}

} // namespace

TEST(BitmapContext, SizesAreChecked)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (auto [w, h] : {std::pair{0.0, 10.0}, {10.0, 0.9}, {nan, 10.0}, {10.0, inf}, {-5.0, 10.0},
                        {40000.0, 10.0}, {30000.0, 30000.0}})
        EXPECT_FALSE(BitmapContext::create(w, h)) << w << " x " << h;
    auto context = make(10.9, 3.2);
    EXPECT_EQ(context->width(), 10);
    EXPECT_EQ(context->height(), 3);
    EXPECT_EQ(context->pixel(0, 0), kClear);
    EXPECT_EQ(context->pixel(10, 0), kClear); // outside
}

// User space starts at the bottom-left corner, y up; pixel rows count from the top.
TEST(BitmapContext, OriginIsBottomLeft)
{
    auto context = make(20, 30);
    context->setFillColor(kRed);
    context->fillRect(Rect(0, 0, 20, 10));
    EXPECT_EQ(context->pixel(0, 29), kRed8);
    EXPECT_EQ(context->pixel(19, 20), kRed8);
    EXPECT_EQ(context->pixel(0, 19), kClear);
    EXPECT_EQ(context->pixel(0, 0), kClear);

    auto image = context->makeImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format(), PixelFormat::RGBA8);
    EXPECT_EQ(image->row(29)[0], 255);
    EXPECT_EQ(image->row(29)[3], 255);
    EXPECT_EQ(image->row(0)[3], 0);
}

TEST(BitmapContext, TransformsAndStateStack)
{
    auto context = make(20, 20);
    context->setFillColor(kRed);
    context->saveGState();
    // The flip exporters apply: user y down from the top.
    context->translateCTM(0, 20);
    context->scaleCTM(1, -1);
    EXPECT_EQ(context->ctm(), (Affine{1, 0, 0, -1, 0, 20}));
    context->setFillColor(RGBAColor{0, 0, 1, 1});
    context->fillRect(Rect(0, 0, 4, 4));
    context->restoreGState();
    context->restoreGState(); // unbalanced: ignored
    EXPECT_TRUE(context->ctm().isIdentity());
    context->fillRect(Rect(16, 0, 4, 4)); // red again, bottom right
    EXPECT_EQ(context->pixel(1, 1), (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(context->pixel(18, 18), kRed8);
    EXPECT_EQ(context->pixel(18, 1), kClear);

    // A concatenated transform applies to points before the CTM.
    context->translateCTM(10, 0);
    context->concatCTM(Affine::makeScale(2, 2));
    EXPECT_EQ(context->ctm(), (Affine{2, 0, 0, 2, 10, 0}));

    // A singular CTM draws nothing and clips everything out.
    context->saveGState();
    context->concatCTM(Affine::makeScale(0, 1));
    context->fillRect(Rect(0, 0, 100, 100));
    context->clipToRect(Rect(0, 0, 100, 100));
    EXPECT_TRUE(context->clipBoundingBox().isNull());
    context->restoreGState();
    EXPECT_EQ(context->pixel(12, 10), kClear);
}

TEST(BitmapContext, ClipRules)
{
    // Two squares drawn the same way round: nonzero covers the inner square,
    // even-odd leaves it out.
    Path rings;
    rings.addRect(Rect(0, 0, 20, 20));
    rings.addRect(Rect(5, 5, 10, 10));
    for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
        auto context = make(20, 20);
        context->clipToPath(rings, rule);
        context->setFillColor(kRed);
        context->fillRect(Rect(-10, -10, 50, 50));
        EXPECT_EQ(context->pixel(10, 10), rule == FillRule::NonZero ? kRed8 : kClear);
        EXPECT_EQ(context->pixel(2, 2), kRed8);
    }

    // Clips intersect; the bounding box is in user space.
    auto context = make(40, 40);
    context->translateCTM(10, 10);
    context->clipToRect(Rect(0, 0, 20, 20));
    context->clipToRect(Rect(5, -5, 30, 10));
    EXPECT_EQ(context->clipBoundingBox(), Rect(5, 0, 15, 5));
    context->clipToPath(Path()); // an empty path leaves nothing
    EXPECT_TRUE(context->clipBoundingBox().isNull());
}

TEST(BitmapContext, LinearGradientEndsAndExtension)
{
    const std::vector<GradientStop> stops{{1, RGBAColor{1, 1, 1, 1}}, {0, RGBAColor{0, 0, 0, 1}}};
    for (bool extend : {true, false}) {
        SCOPED_TRACE(extend);
        auto context = make(40, 4);
        context->drawLinearGradient(stops, Point{10, 0}, Point{30, 0}, extend, extend);
        EXPECT_LE(context->pixel(10, 2).r, 8);
        EXPECT_GE(context->pixel(29, 2).r, 247);
        EXPECT_NEAR(context->pixel(20, 2).r, 134, 8);
        EXPECT_EQ(context->pixel(2, 2), extend ? (Rgba8{0, 0, 0, 255}) : kClear);
        EXPECT_EQ(context->pixel(36, 2), extend ? (Rgba8{255, 255, 255, 255}) : kClear);
    }
    // One end extended only.
    auto context = make(40, 4);
    context->drawLinearGradient(stops, Point{10, 0}, Point{30, 0}, false, true);
    EXPECT_EQ(context->pixel(2, 2), kClear);
    EXPECT_EQ(context->pixel(36, 2), (Rgba8{255, 255, 255, 255}));
    // Coinciding points or no stops draw nothing.
    context->drawLinearGradient(stops, Point{5, 0}, Point{5, 0}, true, true);
    context->drawLinearGradient({}, Point{0, 0}, Point{40, 0}, true, true);
    EXPECT_EQ(context->pixel(2, 2), kClear);
}

TEST(BitmapContext, ImagesAreDrawnUpright)
{
    // 2 x 2: red, green on the top row; blue, white (half transparent) below.
    auto image = Image::make(2, 2, PixelFormat::RGBA8,
                             {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128}, 8);
    ASSERT_TRUE(image);
    auto context = make(4, 6);
    context->drawImage(*image, Rect(0, 2, 4, 4));
    EXPECT_EQ(context->pixel(0, 0), kRed8);
    EXPECT_EQ(context->pixel(3, 0), (Rgba8{0, 255, 0, 255}));
    EXPECT_EQ(context->pixel(0, 3), (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(context->pixel(3, 3).a, 128);
    EXPECT_EQ(context->pixel(0, 5), kClear); // below the rectangle

    // Global alpha applies to images and fills alike.
    auto faded = make(2, 2);
    faded->setAlpha(0.5);
    faded->drawImage(*image, Rect(0, 0, 2, 2));
    EXPECT_NEAR(faded->pixel(0, 0).a, 128, 1);
    EXPECT_EQ(faded->pixel(0, 0).r, 255);
}

TEST(BitmapContext, GrayBitmapAndBlendModes)
{
    auto gray = make(4, 4, BitmapFormat::Gray);
    EXPECT_EQ(gray->pixel(0, 0), (Rgba8{0, 0, 0, 255})); // starts black, no alpha
    gray->setFillColor(RGBAColor{1, 1, 1, 0.5});
    gray->fillRect(Rect(0, 0, 2, 4));
    auto image = gray->makeImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format(), PixelFormat::Gray8);
    EXPECT_NEAR(image->row(0)[0], 128, 1);
    EXPECT_EQ(image->row(0)[3], 0);

    auto context = make(2, 2);
    context->setFillColor(RGBAColor{1, 1, 1, 1});
    context->fillRect(Rect(0, 0, 2, 2));
    context->setBlendMode(BlendMode::Multiply);
    context->setFillColor(RGBAColor{1, 0.5, 0, 1});
    context->fillRect(Rect(0, 0, 2, 2));
    const Rgba8 p = context->pixel(1, 1);
    EXPECT_EQ(p.r, 255);
    EXPECT_NEAR(p.g, 128, 1);
    EXPECT_EQ(p.b, 0);

    // Strokes follow the line width in user space.
    auto stroked = make(20, 20);
    stroked->setStrokeColor(kRed);
    stroked->setLineWidth(4);
    Path line;
    line.moveTo({0, 10});
    line.lineTo({20, 10});
    stroked->strokePath(line);
    EXPECT_EQ(stroked->pixel(5, 8), kRed8);
    EXPECT_EQ(stroked->pixel(5, 11), kRed8);
    EXPECT_EQ(stroked->pixel(5, 5), kClear);
}

// Coordinates far beyond the bitmap (which cairo's fixed point cannot
// hold) still paint what falls inside it, with edges and winding intact.
TEST(BitmapContext, FarCoordinates)
{
    auto context = make(50, 50);
    context->setFillColor(kRed);
    Path frame;
    frame.addRect(Rect(-1e12, -1e12, 2e12, 2e12));
    frame.addRect(Rect(10, 10, 10, 10));
    context->fillPath(frame, FillRule::EvenOdd);
    EXPECT_EQ(context->pixel(1, 1), kRed8);
    EXPECT_EQ(context->pixel(15, 35), kClear); // inside the hole

    // A slanted edge keeps its slope: above y = x / 2 only.
    auto slanted = make(50, 50);
    slanted->setFillColor(kRed);
    Path wedge;
    wedge.moveTo({0, 0});
    wedge.lineTo({2e9, 1e9});
    wedge.lineTo({0, 1e9});
    wedge.closeSubpath();
    slanted->fillPath(wedge);
    EXPECT_EQ(slanted->pixel(40, 50 - 1 - 26), kRed8);  // user (40, 26)
    EXPECT_EQ(slanted->pixel(40, 50 - 1 - 14), kClear); // user (40, 14)

    // A stroke through the bitmap from far away.
    auto stroked = make(50, 50);
    stroked->setStrokeColor(kRed);
    stroked->setLineWidth(4);
    Path line;
    line.moveTo({-1e15, 25});
    line.lineTo({1e15, 25});
    stroked->strokePath(line);
    EXPECT_EQ(stroked->pixel(25, 24), kRed8);
    EXPECT_EQ(stroked->pixel(25, 10), kClear);

    // Non-finite coordinates skip the operation.
    Path bad;
    bad.addRect(Rect(0, 0, std::numeric_limits<double>::infinity(), 10));
    stroked->fillPath(bad);
    EXPECT_EQ(stroked->pixel(25, 45), kClear);
}
