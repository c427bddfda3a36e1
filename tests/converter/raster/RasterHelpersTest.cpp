// Raster helpers of the exporters: bitmap sizes and their failures, clip
// boxes from path bounding boxes (checked against a real bitmap's clip),
// the path-visibility test, image clipping, and shadings and patterns
// drawn through clips.
#include "converter/QXPDFExporter.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/color/QXPDFShading.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/ImageCodec.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>

namespace rz {
namespace {

using ClipList = QXPDFExporter::ClipPathList;

std::shared_ptr<const QXPDFClipPath> clipOf(const Path& path, int type = QXPDFClipTypeNonZero)
{
    return QXPDFClipPath::NewClipPathArray(*QXPDFCGPathUtilities::NSArrayWithCGPath(path), type);
}

Path rectPath(const Rect& r)
{
    Path p;
    p.addRect(r);
    return p;
}

Path triangle(Point a, Point b, Point c)
{
    Path p;
    p.moveTo(a);
    p.lineTo(b);
    p.lineTo(c);
    p.closeSubpath();
    return p;
}

// Objects written into a small document: /S in its catalog.
struct Doc {
    std::shared_ptr<pdf::Document> doc;
    pdf::Object get(const char* key) const { return doc->catalog().get(key); }
};

Doc docWith(test::PdfWriter& w, const std::string& catalogEntries)
{
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R " + catalogEntries + " >>");
    return {pdf::Document::openData(w.build(root))};
}

const char* kRedToBlue = "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 100 0] /Function << /FunctionType 2 "
                         "/Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> >>";

TEST(RasterHelpers, SizesRoundUpAndEmptySizesFail)
{
    test::PdfWriter w;
    const Doc d = docWith(w, std::string("/Sh ") + kRedToBlue);
    const auto shading = QXPDFShading::ShadingWithObject(d.get("Sh"), "Sh");
    ASSERT_TRUE(shading);

    // 0.4 × 10 becomes 1 × 10 and renders.
    EXPECT_EQ(QXPDFExporter::ClipRectInContextSize({0.4, 10}, Affine::identity(), {}), Rect(0, 0, 1, 10));
    const auto thin = QXPDFExporter::DrawShadingInContextSize({0.4, 10}, Affine::identity(), Affine::identity(),
                                                               Affine::identity(), {}, nullptr, shading);
    ASSERT_TRUE(thin);
    EXPECT_EQ(thin->width(), 1);
    EXPECT_EQ(thin->height(), 10);

    for (const Size size : {Size{0, 10}, Size{10, -3}, Size{NAN, 10}, Size{10, INFINITY}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        testing::internal::CaptureStderr();
        const Rect box = QXPDFExporter::ClipRectInContextSize(size, Affine::identity(), {});
        const auto image = QXPDFExporter::DrawShadingInContextSize(size, Affine::identity(), Affine::identity(),
                                                                    Affine::identity(), {}, nullptr, shading);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Context Size Zero!\nContext Size Zero!\n");
        EXPECT_EQ(box, Rect::zero());
        EXPECT_FALSE(image);
    }

    // A bitmap beyond the cap is never allocated; the clip box needs none.
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXPDFExporter::DrawShadingInContextSize({100000, 100000}, Affine::identity(), Affine::identity(),
                                                         Affine::identity(), {}, nullptr, shading));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Context not created!\n"), std::string::npos);
    EXPECT_EQ(QXPDFExporter::ClipRectInContextSize({1e6, 1e6}, Affine::identity(), {clipOf(rectPath({5, 5, 10, 10}))}),
              Rect(5, 5, 10, 10));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(RasterHelpers, ClipRectMatchesABitmapClip)
{
    struct Case {
        const char* what;
        ClipList clips;
        Affine transform;
    };
    const Case cases[] = {
        {"one rectangle", {clipOf(rectPath({10, 20, 30, 40}))}, Affine::identity()},
        {"unaligned rectangle", {clipOf(rectPath({10.5, 20.25, 5, 5}))}, Affine::identity()},
        {"two rectangles", {clipOf(rectPath({10, 10, 50, 50})), clipOf(rectPath({30, 0, 100, 30}), 2)},
         Affine::identity()},
        {"a triangle under a scale", {clipOf(triangle({5, 5}, {40, 10}, {20, 30}))}, Affine::makeScale(2, 1.5)},
        {"reaching past the bitmap", {clipOf(rectPath({-50, 80, 500, 500}))}, Affine::makeTranslation(3, 4)},
        {"outside the bitmap", {clipOf(rectPath({200, 200, 10, 10}))}, Affine::identity()},
        {"disjoint clips", {clipOf(rectPath({0, 0, 10, 10})), clipOf(rectPath({20, 20, 10, 10}))}, Affine::identity()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // What a flipped bitmap with the transform reports.
        auto bitmap = BitmapContext::create(100, 100);
        bitmap->translateCTM(0, 100);
        bitmap->scaleCTM(1, -1);
        bitmap->concatCTM(c.transform);
        for (const auto& clip : c.clips)
            bitmap->clipToPath(clip->path(), clip->clipType() == 2 ? FillRule::EvenOdd : FillRule::NonZero);
        const Rect expected = bitmap->clipBoundingBox();

        const Rect box = QXPDFExporter::ClipRectInContextSize({100, 100}, c.transform, c.clips);
        if (expected.isNull()) {
            EXPECT_TRUE(box.isNull());
            continue;
        }
        EXPECT_NEAR(box.minX(), expected.minX(), 1e-9);
        EXPECT_NEAR(box.minY(), expected.minY(), 1e-9);
        EXPECT_NEAR(box.maxX(), expected.maxX(), 1e-9);
        EXPECT_NEAR(box.maxY(), expected.maxY(), 1e-9);
    }
}

TEST(RasterHelpers, PathVisibility)
{
    const ClipList clips{clipOf(rectPath({0, 0, 50, 50}))};
    Path inside;
    inside.moveTo({10, 20});
    inside.lineTo({40, 20});
    Rect bound;
    const auto kept = QXPDFExporter::ClipPathInContextSize({100, 100}, inside, 2, Affine::identity(), clips, &bound);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, inside);
    EXPECT_EQ(bound, Rect(0, 0, 50, 50));

    Path outside;
    outside.moveTo({10, 80});
    outside.lineTo({40, 80});
    bound = Rect::zero();
    EXPECT_FALSE(QXPDFExporter::ClipPathInContextSize({100, 100}, outside, 2, Affine::identity(), clips, &bound));
    EXPECT_EQ(bound, Rect(0, 0, 50, 50));

    // A path crossing the clip's edge is kept.
    Path crossing;
    crossing.addRect({40, 40, 30, 30});
    EXPECT_TRUE(QXPDFExporter::ClipPathInContextSize({100, 100}, crossing, 1, Affine::identity(), clips, nullptr));
}

Image solid(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    auto image = Image::make(w, h, PixelFormat::RGB8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            image->mutableRow(y)[3 * x] = r;
            image->mutableRow(y)[3 * x + 1] = g;
            image->mutableRow(y)[3 * x + 2] = b;
        }
    return *image;
}

TEST(RasterHelpers, ImagesAreCutOnlyWhenTheyCrossTheClip)
{
    const Image green = solid(8, 8, 0, 255, 0);
    const ClipList clips{clipOf(rectPath({10.2, 10, 49.5, 40}))};
    const Affine toRect{100, 0, 0, 100, 0, 0}; // the unit square onto (0, 0, 100, 100)

    Rect clipRect;
    EXPECT_FALSE(QXPDFExporter::ClipImageInContextSize({100, 100}, green, Affine::identity(), toRect,
                                                       Rect(20, 20, 10, 10), clips, &clipRect));
    EXPECT_EQ(clipRect, Rect(10, 10, 50, 40)); // origin rounded, size rounded up

    const auto cut = QXPDFExporter::ClipImageInContextSize({100, 100}, green, Affine::identity(), toRect,
                                                           Rect(0, 0, 100, 100), clips, &clipRect);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->width(), 50);
    EXPECT_EQ(cut->height(), 40);
    const Image rgba = cut->converted(PixelFormat::RGBA8);
    EXPECT_EQ(rgba.row(20)[4 * 25 + 1], 255);
    EXPECT_EQ(rgba.row(20)[4 * 25 + 3], 255);

    // With a scale, the bitmap and the crop grow with it.
    const auto scaled = QXPDFExporter::ClipImageInContextSize({100, 100}, green, Affine::makeScale(2, 2), Affine::identity(),
                                                              toRect, Rect(0, 0, 100, 100), clips, nullptr);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->width(), 100);
    EXPECT_EQ(scaled->height(), 80);
}

TEST(RasterHelpers, ShadingsAreDrawnThroughTheClips)
{
    test::PdfWriter w;
    const Doc d = docWith(w, std::string("/Sh ") + kRedToBlue);
    const auto shading = QXPDFShading::ShadingWithObject(d.get("Sh"), "Sh");
    Rect clipRect;
    // The right half of the axis, mapped onto the page by pageTransform.
    const auto image = QXPDFExporter::DrawShadingInContextSize(
        {100, 10}, Affine::identity(), Affine::identity(), Affine::makeTranslation(50, 0),
        {clipOf(rectPath({0, 0, 50, 10}))}, &clipRect, shading);
    ASSERT_TRUE(image);
    EXPECT_EQ(clipRect, Rect(50, 0, 50, 10));
    EXPECT_EQ(image->width(), 50);
    EXPECT_EQ(image->height(), 10);
    const Image rgba = image->converted(PixelFormat::RGBA8);
    EXPECT_NEAR(rgba.row(5)[0], 128, 6);            // red half-way at x = 50
    EXPECT_GT(rgba.row(5)[4 * 49 + 2], 245);       // blue at the end
    EXPECT_EQ(rgba.row(5)[4 * 49 + 3], 255);
}

TEST(RasterHelpers, PatternsFillThePathAndSelfReferenceEnds)
{
    test::PdfWriter w;
    std::string samples;
    for (int i = 0; i < 16 * 16; ++i)
        samples += std::string("\xff\x00\x00", 3);
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 16 /Height 16 /ColorSpace /DeviceRGB "
                                  "/BitsPerComponent 8",
                                  samples);
    // A tiling pattern whose cell selects and paints with itself and draws a red image.
    const int pattern = w.reserve();
    w.setStream(pattern, "/PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10 "
                         "/Resources << /Pattern << /P0 " + std::to_string(pattern) + " 0 R >> /XObject << /Im0 " +
                         std::to_string(image) + " 0 R >> >>",
                "/Pattern cs /P0 scn 0 0 10 10 re f q 10 0 0 10 0 0 cm /Im0 Do Q");
    const Doc d = docWith(w, "/P " + std::to_string(pattern) + " 0 R /S << /PatternType 2 /Shading " +
                                 kRedToBlue + " >>");
    const auto tiling = QXPDFPattern::PatternWithObject(d.get("P"), "P0");
    const auto shadingPattern = QXPDFPattern::PatternWithObject(d.get("S"), "S");
    ASSERT_TRUE(tiling && shadingPattern);

    Rect clipRect;
    const auto filled = QXPDFExporter::DrawPatternInContextSize({100, 100}, Affine::identity(), Affine::identity(),
                                                                Affine::identity(), {}, &clipRect,
                                                                rectPath({20, 20, 30, 30}), tiling, nullptr, false,
                                                                true, false);
    ASSERT_TRUE(filled);
    EXPECT_EQ(clipRect, Rect(20, 20, 30, 30));
    EXPECT_EQ(filled->width(), 30);
    const Image rgba = filled->converted(PixelFormat::RGBA8);
    EXPECT_GT(rgba.row(15)[4 * 15], 200); // red cells
    EXPECT_EQ(rgba.row(15)[4 * 15 + 3], 255);

    // Stroke only, with the shading pattern; the fill pattern is not drawn.
    const auto stroked = QXPDFExporter::DrawPatternInContextSize({100, 100}, Affine::identity(), Affine::identity(),
                                                                 Affine::identity(), {}, nullptr,
                                                                 rectPath({0, 0, 100, 10}), tiling, shadingPattern,
                                                                 true, false, false);
    ASSERT_TRUE(stroked);
    const Image s = stroked->converted(PixelFormat::RGBA8);
    EXPECT_GT(s.row(5)[4 * 98 + 2], 240); // the shading's blue end, not the red cells
}

TEST(RasterHelpers, SaveTempCGImageWritesAPNG)
{
    EXPECT_FALSE(QXPDFExporter::SaveTempCGImage(std::nullopt));
    const auto path = QXPDFExporter::SaveTempCGImage(solid(3, 2, 1, 2, 3));
    ASSERT_TRUE(path);
    const std::string name = std::filesystem::path(*path).filename().string();
    EXPECT_EQ(name.rfind("IMG_SaveCGImage_", 0), 0u) << name;
    EXPECT_EQ(std::filesystem::path(*path).extension(), ".PNG");
    const auto back = readImageFile(*path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 3);
    std::error_code ec;
    std::filesystem::remove(*path, ec);
}

} // namespace
} // namespace rz
