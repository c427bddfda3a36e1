// Patterns: the factory and collection, tiling cells rendered lazily once
// through the installed renderer (guarded against self-reference, capped in
// size), uncoloured cells in the "scn" colour, and the tiling geometry.
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/color/QXPDFShading.h"
#include "tests/pdfengine/color/ColorFixture.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

using test::ColorFixture;

// Installs a cell renderer for one test and removes it afterwards.
class RendererScope {
public:
    explicit RendererScope(QXPDFTilingCellRenderer renderer) { QXPDFPatternTiling::setCellRenderer(std::move(renderer)); }
    ~RendererScope() { QXPDFPatternTiling::setCellRenderer(nullptr); }
};

// An opaque cell of one colour.
std::optional<Image> solidCell(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    auto image = Image::make(w, h, PixelFormat::RGBA8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image->mutableRow(y) + 4 * x;
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = 255;
        }
    return image;
}

std::shared_ptr<QXPDFPattern> tilingPattern(ColorFixture& f, const std::string& entries)
{
    const int stream = f.stream("/PatternType 1 " + entries, "0 0 5 5 re f");
    return QXPDFPattern::PatternWithObject(f.object(ColorFixture::ref(stream)), "P0");
}

TEST(Pattern, FactoryAndCollection)
{
    ColorFixture f;
    const int tiling = f.stream("/PatternType 1 /PaintType 2 /TilingType 5 /XStep 4 /YStep 6 /BBox [0 0 2 3] "
                                "/Matrix [1 0 0 1 7]",
                                "");
    const int odd = f.stream("/PatternType 3", "");
    const pdf::Object dict = f.object(
        "<< /T " + ColorFixture::ref(tiling) + " /Odd " + ColorFixture::ref(odd) +
        " /TilingDict << /PatternType 1 >> /S << /PatternType 2 /Matrix [2 0 0 2 5 6] /Shading << /ShadingType 2 "
        "/ColorSpace /DeviceRGB /Function << /FunctionType 2 /Domain [0 1] /C0 [0 0 0] /C1 [1 1 1] /N 1 >> >> >> "
        "/NoShading << /PatternType 2 >> >>");
    const QXPDFPatternCollection collection(dict);
    EXPECT_EQ(collection.collectObjects().size(), 2u);
    EXPECT_FALSE(collection.objectNamed("Odd"));
    EXPECT_FALSE(collection.objectNamed("TilingDict"));
    EXPECT_FALSE(collection.objectNamed("NoShading"));
    EXPECT_FALSE(collection.objectNamed("Missing"));

    const auto t = std::dynamic_pointer_cast<QXPDFPatternTiling>(collection.objectNamed("T"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->type(), QXPDFPatternTypeTiling);
    EXPECT_EQ(t->objectKey(), "T");
    EXPECT_EQ(t->paintType(), 2);
    EXPECT_EQ(t->tilingMode(), QXPDFPatternTiling::TilingMode::NoDistortion);
    EXPECT_EQ(t->xStep(), 4);
    EXPECT_EQ(t->cellRect(), Rect(0, 0, 2, 3));
    EXPECT_TRUE(t->matrixTransform().isIdentity()); // a Matrix of five numbers is ignored
    EXPECT_TRUE(t->resDict().isNull());

    const auto s = std::dynamic_pointer_cast<QXPDFPatternShading>(collection.objectNamed("S"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->type(), QXPDFPatternTypeShading);
    EXPECT_EQ(s->matrixTransform(), (Affine{2, 0, 0, 2, 5, 6}));
    ASSERT_TRUE(s->shading());
    EXPECT_EQ(s->shading()->objectKey(), "S");

    EXPECT_TRUE(QXPDFPatternCollection(pdf::Object()).collectObjects().empty());
}

TEST(Pattern, TilingDefaultsAndModes)
{
    ColorFixture f;
    const auto p = std::dynamic_pointer_cast<QXPDFPatternTiling>(tilingPattern(f, ""));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->paintType(), 1);
    EXPECT_EQ(p->tilingType(), 1);
    EXPECT_EQ(p->tilingMode(), QXPDFPatternTiling::TilingMode::ConstantSpacing);
    EXPECT_EQ(p->cellRect(), Rect(0, 0, 1, 1));
    EXPECT_EQ(p->xStep(), 1);
    EXPECT_EQ(p->yStep(), 1);

    ColorFixture g;
    const auto three = std::dynamic_pointer_cast<QXPDFPatternTiling>(tilingPattern(g, "/TilingType 3"));
    ASSERT_TRUE(three);
    EXPECT_EQ(three->tilingMode(), QXPDFPatternTiling::TilingMode::ConstantSpacingMinimalDistortion);
}

TEST(Pattern, CellIsRenderedLazilyOnceAndSharedByCopies)
{
    int calls = 0;
    pdf::Object seenResources;
    Rect seenCell;
    RendererScope scope([&](const pdf::Object&, const pdf::Object& resources, const Rect& cell, int w, int h) {
        ++calls;
        seenResources = resources;
        seenCell = cell;
        return solidCell(w, h, 0, 0, 255);
    });
    ColorFixture f;
    // No /Resources: the cell still renders (with none).
    const auto pattern = tilingPattern(f, "/BBox [0 0 5 5] /XStep 10 /YStep 10");
    ASSERT_TRUE(pattern);
    EXPECT_EQ(calls, 0);

    auto bitmap = BitmapContext::create(40, 40);
    pattern->drawInContext(*bitmap, Affine::identity());
    const auto copy = pattern->copy();
    copy->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(seenResources.isNull());
    EXPECT_EQ(seenCell, Rect(0, 0, 5, 5));

    // Cells at (10i, 10j), 5 wide; gaps between them. Pixel rows count from the top.
    EXPECT_EQ(bitmap->pixel(2, 37), (Rgba8{0, 0, 255, 255})); // user (2, 2)
    EXPECT_EQ(bitmap->pixel(12, 37), (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(bitmap->pixel(32, 7), (Rgba8{0, 0, 255, 255})); // user (32, 32)
    EXPECT_EQ(bitmap->pixel(7, 37).a, 0);                     // user (7, 2): a gap
}

TEST(Pattern, MatrixAndScaleTransformPlaceTheCells)
{
    RendererScope scope([](const pdf::Object&, const pdf::Object&, const Rect&, int w, int h) {
        return solidCell(w, h, 255, 0, 0);
    });
    ColorFixture f;
    const auto pattern = tilingPattern(f, "/BBox [0 0 5 5] /XStep 20 /YStep 20 /Matrix [1 0 0 1 3 0]");
    auto bitmap = BitmapContext::create(40, 40);
    pattern->drawInContext(*bitmap, Affine::makeScale(2, 2));
    // Pattern space (0..5) moves by 3, then doubles: x from 6 to 16.
    EXPECT_EQ(bitmap->pixel(4, 38).a, 0);
    EXPECT_EQ(bitmap->pixel(8, 38).r, 255);
    EXPECT_EQ(bitmap->pixel(14, 38).r, 255);
    EXPECT_EQ(bitmap->pixel(18, 38).a, 0);
}

TEST(Pattern, UncoloredCellsPaintInTheGivenColor)
{
    RendererScope scope([](const pdf::Object&, const pdf::Object&, const Rect&, int w, int h) {
        return solidCell(w, h, 0, 0, 0);
    });
    ColorFixture f;
    const auto pattern = tilingPattern(f, "/PaintType 2 /BBox [0 0 10 10] /XStep 10 /YStep 10");
    ASSERT_TRUE(pattern);
    auto bitmap = BitmapContext::create(20, 20);
    pattern->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(5, 5), (Rgba8{250, 100, 150, 255})); // no colour given

    const auto colored = pattern->copy();
    QXPDFColor green;
    green.isNull = 0;
    green.length = 3;
    green.c[1] = 255;
    colored->setUncoloredColor(green, QXPDFDeviceRGBColorSpace());
    colored->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(5, 5), (Rgba8{0, 255, 0, 255}));
    EXPECT_FALSE(pattern->uncoloredColor()); // the original keeps none
}

TEST(Pattern, SelfReferenceAndHugeCellsEndCleanly)
{
    std::shared_ptr<QXPDFPattern> pattern;
    int depth = 0, maxDepth = 0;
    int lastWidth = 0, lastHeight = 0;
    RendererScope scope([&](const pdf::Object&, const pdf::Object&, const Rect&, int w, int h) -> std::optional<Image> {
        // The cell's content paints with the same pattern.
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        lastWidth = w;
        lastHeight = h;
        const auto inner = std::static_pointer_cast<QXPDFPatternTiling>(pattern)->contentImage();
        EXPECT_FALSE(inner);
        --depth;
        return solidCell(1, 1, 0, 255, 0);
    });
    ColorFixture f;
    pattern = tilingPattern(f, "/BBox [0 0 100000 50000] /XStep 100000 /YStep 50000");
    ASSERT_TRUE(pattern);
    const auto cell = std::static_pointer_cast<QXPDFPatternTiling>(pattern)->contentImage();
    EXPECT_TRUE(cell);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(lastWidth, kQXPDFMaxTilingCellSide);
    EXPECT_EQ(lastHeight, kQXPDFMaxTilingCellSide / 2);
}

TEST(Pattern, UnusableTilingsDrawNothing)
{
    RendererScope scope([](const pdf::Object&, const pdf::Object&, const Rect&, int w, int h) {
        return solidCell(w, h, 255, 0, 0);
    });
    for (const char* entries : {"/BBox [0 0 5 5] /XStep 0", "/BBox [0 0 0 5]",
                                "/BBox [0 0 5 5] /XStep 0.0001 /YStep 0.0001"}) {
        SCOPED_TRACE(entries);
        ColorFixture f;
        const auto pattern = tilingPattern(f, entries);
        ASSERT_TRUE(pattern);
        auto bitmap = BitmapContext::create(100, 100);
        pattern->drawInContext(*bitmap, Affine::identity());
        EXPECT_EQ(bitmap->pixel(50, 50).a, 0);
    }
    // Without a renderer there is no cell: nothing is painted.
    QXPDFPatternTiling::setCellRenderer(nullptr);
    ColorFixture f;
    const auto pattern = tilingPattern(f, "/BBox [0 0 5 5]");
    auto bitmap = BitmapContext::create(10, 10);
    pattern->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(2, 8).a, 0);
}

TEST(Pattern, ShadingPatternDrawsUnderItsMatrix)
{
    ColorFixture f;
    const auto pattern = QXPDFPattern::PatternWithObject(
        f.object("<< /PatternType 2 /Matrix [1 0 0 1 50 0] /Shading << /ShadingType 2 /ColorSpace /DeviceRGB "
                 "/Coords [0 0 40 0] /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [1 0 0] /N 1 >> "
                 ">> >>"),
        "P1");
    ASSERT_TRUE(pattern);
    auto bitmap = BitmapContext::create(100, 4);
    pattern->drawInContext(*bitmap, Affine::identity());
    EXPECT_EQ(bitmap->pixel(25, 2).a, 0);
    EXPECT_EQ(bitmap->pixel(70, 2), (Rgba8{255, 0, 0, 255}));
}

} // namespace
} // namespace rz
