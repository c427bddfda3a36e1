// Shadings: the factory, the common fields, and the axial gradient drawn
// into a bitmap (function arrays concatenated, the axis mapped through the
// domain, the ends extended only when asked).
#include "pdfengine/color/QXPDFShading.h"
#include "tests/pdfengine/color/ColorFixture.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

using test::ColorFixture;

// An exponential function from c0 to c1 over [0 1].
std::string linear(const std::string& c0, const std::string& c1)
{
    return "<< /FunctionType 2 /Domain [0 1] /C0 [" + c0 + "] /C1 [" + c1 + "] /N 1 >>";
}

std::shared_ptr<QXPDFShading> shadingOf(ColorFixture& f, const std::string& syntax)
{
    return QXPDFShading::ShadingWithObject(f.object(syntax), "Sh0");
}

TEST(Shading, FactoryChoosesTheKindByShadingType)
{
    struct Case {
        const char* what;
        std::string dict;
        long long type; // 0: no shading
    };
    const std::string rgb = "/ColorSpace /DeviceRGB ";
    const std::string fn = "/Function " + linear("0 0 0", "1 1 1");
    const Case cases[] = {
        {"function-based", "<< /ShadingType 1 " + rgb + fn + " >>", 1},
        {"axial", "<< /ShadingType 2 " + rgb + fn + " >>", 2},
        {"radial", "<< /ShadingType 3 " + rgb + "/Coords [0 0 0 0 0 10] " + fn + " >>", 3},
        {"lattice as a dictionary", "<< /ShadingType 5 " + rgb + " >>", 5},
        {"no ShadingType", "<< " + rgb + fn + " >>", 0},
        {"ShadingType 8", "<< /ShadingType 8 " + rgb + fn + " >>", 0},
        {"real ShadingType", "<< /ShadingType 2.0 " + rgb + fn + " >>", 0},
        {"no ColorSpace", "<< /ShadingType 2 " + fn + " >>", 0},
        {"axial without Function", "<< /ShadingType 2 " + rgb + " >>", 0},
        {"axial with an empty Function array", "<< /ShadingType 2 " + rgb + "/Function [] >>", 0},
        {"not a dictionary", "[/ShadingType 2]", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ColorFixture f;
        const auto shading = shadingOf(f, c.dict);
        if (c.type == 0) {
            EXPECT_FALSE(shading);
            continue;
        }
        ASSERT_TRUE(shading);
        EXPECT_EQ(shading->type(), c.type);
        EXPECT_EQ(shading->objectKey(), "Sh0");
        EXPECT_TRUE(shading->colorSpace());
    }

    // Mesh shadings are streams, and a stream gives no shading.
    ColorFixture f;
    const int mesh = f.stream("/ShadingType 4 /ColorSpace /DeviceRGB /BitsPerCoordinate 8 "
                              "/BitsPerComponent 8 /BitsPerFlag 8 /Decode [0 1 0 1 0 1 0 1 0 1]",
                              "");
    EXPECT_FALSE(QXPDFShading::ShadingWithObject(f.object(ColorFixture::ref(mesh)), "Sh0"));
}

TEST(Shading, BackgroundAndBBox)
{
    ColorFixture f;
    const auto shading = shadingOf(f, "<< /ShadingType 3 /ColorSpace /DeviceRGB /Background [1 0 0.5] "
                                      "/BBox [1 2 3 4] /Function " + linear("0", "1") + " >>");
    ASSERT_TRUE(shading);
    EXPECT_TRUE(shading->hasBackground());
    EXPECT_EQ(shading->background().c[0], 255);
    EXPECT_EQ(shading->background().c[1], 0);
    EXPECT_EQ(shading->background().c[2], 127);
    EXPECT_TRUE(shading->hasBBox());
    EXPECT_EQ(shading->yMin(), 2);
    EXPECT_EQ(shading->xMax(), 3);

    ColorFixture g;
    const auto wrongCount = shadingOf(g, "<< /ShadingType 3 /ColorSpace /DeviceRGB /Background [1 0] >>");
    ASSERT_TRUE(wrongCount);
    EXPECT_FALSE(wrongCount->hasBackground());
    EXPECT_FALSE(wrongCount->hasBBox());

    // Only the axial kind draws; the radial one leaves the bitmap empty even
    // with a background.
    auto bitmap = BitmapContext::create(10, 10);
    shading->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(5, 5).a, 0);
}

TEST(Shading, AxialDefaultsDrawFromOriginToOneHundred)
{
    ColorFixture f;
    const auto shading = shadingOf(f, "<< /ShadingType 2 /ColorSpace /DeviceRGB /Function " +
                                          linear("1 0 0", "0 0 1") + " >>");
    auto* axial = dynamic_cast<QXPDFShadingAxial*>(shading.get());
    ASSERT_TRUE(axial);
    EXPECT_EQ(axial->coordsStart(), (Point{0, 0}));
    EXPECT_EQ(axial->coordsEnd(), (Point{100, 100}));
    EXPECT_FALSE(axial->extendStart());
    EXPECT_FALSE(axial->extendEnd());

    auto bitmap = BitmapContext::create(100, 100);
    shading->drawInContext(*bitmap, Affine::identity());
    const Rgba8 start = bitmap->pixel(1, 98); // user (1, 1)
    const Rgba8 end = bitmap->pixel(98, 1);   // user (98, 98)
    EXPECT_GT(start.r, 240);
    EXPECT_LT(start.b, 15);
    EXPECT_LT(end.r, 15);
    EXPECT_GT(end.b, 240);
    EXPECT_EQ(start.a, 255);
}

TEST(Shading, FunctionArrayOutputsAreConcatenated)
{
    ColorFixture f;
    const auto shading = shadingOf(f, "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 100 0] /Function [" +
                                          linear("0", "1") + " " + linear("0", "0") + " " + linear("1", "0") +
                                          "] >>");
    auto* axial = dynamic_cast<QXPDFShadingAxial*>(shading.get());
    ASSERT_TRUE(axial);
    EXPECT_EQ(axial->funcs().size(), 3u);
    double values[kQXPDFMaxFunctionValues];
    EXPECT_EQ(axial->getColor(0.25, values), 3u);
    EXPECT_DOUBLE_EQ(values[0], 0.25);
    EXPECT_DOUBLE_EQ(values[1], 0);
    EXPECT_DOUBLE_EQ(values[2], 0.75);

    const auto stops = axial->gradientStops();
    ASSERT_EQ(stops.size(), static_cast<size_t>(kQXPDFShadingGradientStops));
    EXPECT_EQ(stops.front().color, (RGBAColor{0, 0, 1, 1}));
    EXPECT_EQ(stops.back().color, (RGBAColor{1, 0, 0, 1}));

    auto bitmap = BitmapContext::create(100, 4);
    shading->drawInContext(*bitmap, Affine::identity());
    EXPECT_GT(bitmap->pixel(1, 2).b, 240);
    EXPECT_GT(bitmap->pixel(98, 2).r, 240);
}

TEST(Shading, AxisRunsThroughTheDomainAndExtendsOnlyWhenAsked)
{
    ColorFixture f;
    // Domain [0.5 1] of a black-to-white function: the start point is mid gray.
    const auto shading = shadingOf(f, "<< /ShadingType 2 /ColorSpace /DeviceGray /Coords [25 0 75 0] "
                                      "/Domain [0.5 1] /Extend [false true] /Function " +
                                          linear("0", "1") + " >>");
    auto* axial = dynamic_cast<QXPDFShadingAxial*>(shading.get());
    ASSERT_TRUE(axial);
    EXPECT_DOUBLE_EQ(axial->domainStart(), 0.5);
    EXPECT_FALSE(axial->extendStart());
    EXPECT_TRUE(axial->extendEnd());
    const auto stops = axial->gradientStops();
    EXPECT_NEAR(stops.front().color.red, 0.5, 0.01);
    EXPECT_EQ(stops.back().color.red, 1);

    auto bitmap = BitmapContext::create(100, 4);
    shading->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(10, 2).a, 0);   // before the start: not extended
    EXPECT_NEAR(bitmap->pixel(26, 2).r, 128, 4);
    EXPECT_EQ(bitmap->pixel(95, 2).a, 255); // beyond the end: extended
    EXPECT_GT(bitmap->pixel(95, 2).r, 250);
}

TEST(Shading, SeparationShadingsUseTheTintTransform)
{
    ColorFixture f;
    const auto shading = shadingOf(
        f, "<< /ShadingType 2 /ColorSpace [/Separation /Spot /DeviceRGB " + linear("1 1 1", "0 0.5 0") +
               "] /Coords [0 0 10 0] /Function " + linear("0", "1") + " >>");
    auto* axial = dynamic_cast<QXPDFShadingAxial*>(shading.get());
    ASSERT_TRUE(axial);
    const auto stops = axial->gradientStops();
    EXPECT_EQ(stops.front().color, (RGBAColor{1, 1, 1, 1}));
    EXPECT_NEAR(stops.back().color.green, 0.5, 0.01);
    EXPECT_EQ(stops.back().color.red, 0);
}

TEST(Shading, NoColorSpaceDrawsNothing)
{
    ColorFixture f;
    const auto shading = shadingOf(f, "<< /ShadingType 2 /ColorSpace /Nonsense /Function " + linear("0", "1") + " >>");
    ASSERT_TRUE(shading);
    EXPECT_FALSE(shading->colorSpace());
    auto bitmap = BitmapContext::create(100, 100);
    shading->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(50, 50).a, 0);
}

} // namespace
} // namespace rz
