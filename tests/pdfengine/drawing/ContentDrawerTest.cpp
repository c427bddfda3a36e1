// The content drawer: images placed by the CTM (upright), everything else
// left out, and tiling-pattern cells rendered through it.
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/drawing/QXPDFConentDrawer.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/image/ImageCodec.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

using test::PdfWriter;

std::string ref(int n)
{
    return std::to_string(n) + " 0 R";
}

// A 16×16 RGB image: top half blue, bottom half red.
int addImage(PdfWriter& w)
{
    std::string samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            samples += y < 8 ? std::string("\x00\x00\xff", 3) : std::string("\xff\x00\x00", 3);
    return w.addStream("/Type /XObject /Subtype /Image /Width 16 /Height 16 /ColorSpace /DeviceRGB "
                       "/BitsPerComponent 8",
                       samples);
}

// A document whose catalog holds /S: the given stream.
struct StreamDoc {
    std::shared_ptr<pdf::Document> doc;
    pdf::Object stream() const { return doc->catalog().get("S"); }
};

StreamDoc streamDoc(PdfWriter& w, int stream)
{
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + ref(pages) + " /S " + ref(stream) + " >>");
    return {pdf::Document::openData(w.build(root))};
}

bool isRed(Rgba8 p)
{
    return p.a == 255 && p.r > 200 && p.g < 60 && p.b < 60;
}
bool isBlue(Rgba8 p)
{
    return p.a == 255 && p.b > 200 && p.r < 60 && p.g < 60;
}

// Pixel at user (x, y) of a bitmap `height` pixels high (rows count from the top).
Rgba8 at(const Image& image, int x, int y)
{
    const Image rgba = image.converted(PixelFormat::RGBA8);
    const uint8_t* p = rgba.row(rgba.height() - 1 - y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

TEST(ContentDrawer, ImagesFillTheRectangleTheCTMGivesTheUnitSquare)
{
    struct Case {
        const char* what;
        const char* content;
        Rect rect; // where the image lands, in bitmap pixels
    };
    const Case cases[] = {
        {"scale and translation", "q 10 0 0 20 5 5 cm /Im0 Do Q", Rect(5, 5, 10, 20)},
        // Rotated 90 degrees, scale 10: an upright 10×10 image centred on the
        // rotated square's centre (25, 10).
        {"rotation", "q 0 10 -10 0 30 5 cm /Im0 Do Q", Rect(20, 5, 10, 10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PdfWriter w;
        const int image = addImage(w);
        const int form = w.addStream("/Resources << /XObject << /Im0 " + ref(image) + " >> >>", c.content);
        const auto d = streamDoc(w, form);
        const auto out = QXPDFConentDrawer::DrawStream(d.stream(), pdf::Object(), Rect(100, 100, 40, 40), nullptr);
        ASSERT_TRUE(out);
        EXPECT_EQ(out->width(), 40);
        EXPECT_EQ(out->height(), 40);
        const Rect& r = c.rect;
        const int left = int(r.minX()) + 1, right = int(r.maxX()) - 2;
        const int bottom = int(r.minY()) + 1, top = int(r.maxY()) - 2;
        EXPECT_TRUE(isRed(at(*out, left, bottom)));  // bottom row of the image
        EXPECT_TRUE(isRed(at(*out, right, bottom)));
        EXPECT_TRUE(isBlue(at(*out, left, top)));    // top row: upright
        EXPECT_TRUE(isBlue(at(*out, right, top)));
        EXPECT_EQ(at(*out, int(r.minX()) - 2, bottom).a, 0);
        EXPECT_EQ(at(*out, right, int(r.maxY()) + 1).a, 0);
    }
}

TEST(ContentDrawer, BoxesWithoutAUsableBitmapGiveNothing)
{
    PdfWriter w;
    const int form = w.addStream("", "");
    const auto d = streamDoc(w, form);
    for (const Rect& box : {Rect(0, 0, 0, 10), Rect(0, 0, NAN, 10), Rect(0, 0, 30000, 30000)}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(QXPDFConentDrawer::DrawStream(d.stream(), pdf::Object(), box, nullptr));
        testing::internal::GetCapturedStderr();
    }
    EXPECT_FALSE(QXPDFConentDrawer::DrawStream(pdf::Object(), pdf::Object(), Rect(0, 0, 10, 10), nullptr));
}

TEST(ContentDrawer, OnlyImagesAreDrawn)
{
    struct Case {
        const char* what;
        std::string content;
        std::string resources;
    };
    PdfWriter w;
    const int broken = w.addStream("/Type /XObject /Subtype /Image /Width 2 /ColorSpace /DeviceRGB "
                                   "/BitsPerComponent 8",
                                   std::string(12, '\x7f'));
    // A soft mask's group shapes the alpha of what is painted under it: its
    // image is no content.
    const int image = addImage(w);
    const int maskGroup = w.addStream("/Type /XObject /Subtype /Form /BBox [0 0 20 20] /Group << /S /Transparency >> "
                                      "/Resources << /XObject << /Im0 " + ref(image) + " >> >>",
                                      "q 20 0 0 20 0 0 cm /Im0 Do Q");
    const Case cases[] = {
        {"text and rectangles", "BT /F1 12 Tf 2 2 Td (Hi) Tj ET 0 0 1 rg 0 0 20 20 re f 1 0 0 RG 2 2 m 18 18 l S",
         "/Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >>"},
        {"an image whose extraction failed", "q 20 0 0 20 0 0 cm /Im0 Do Q", "/XObject << /Im0 " + ref(broken) + " >>"},
        {"a shading", "/Sh0 sh",
         "/Shading << /Sh0 << /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 20 0] /Function << /FunctionType 2 "
         "/Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> >> >>"},
        {"the image of a soft-mask group", "/GS0 gs",
         "/ExtGState << /GS0 << /SMask << /S /Luminosity /G " + ref(maskGroup) + " >> >> >>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int form = w.addStream("/Resources << " + c.resources + " >>", c.content);
        const auto d = streamDoc(w, form);
        const auto out = QXPDFConentDrawer::DrawStream(d.stream(), pdf::Object(), Rect(0, 0, 20, 20), nullptr);
        ASSERT_TRUE(out);
        const Image rgba = out->converted(PixelFormat::RGBA8);
        for (int y = 0; y < rgba.height(); ++y)
            for (int x = 0; x < rgba.width(); ++x)
                ASSERT_EQ(rgba.row(y)[4 * x + 3], 0) << x << "," << y;
    }
}

TEST(ContentDrawer, TilingCellsRenderThroughTheDrawer)
{
    QXPDFConentDrawer::installTilingCellRenderer();
    PdfWriter w;
    const int image = addImage(w);
    // A cell away from the origin, whose content also selects the pattern
    // itself and paints with it, and draws itself through a form.
    const int pattern = w.reserve();
    const int form = w.reserve();
    w.setStream(form, "/Type /XObject /Subtype /Form /BBox [0 0 100 100] /Resources << /Pattern << /P0 " +
                          ref(pattern) + " >> >>",
                "/Pattern cs /P0 scn 0 0 100 100 re f");
    w.setStream(pattern, "/PatternType 1 /PaintType 1 /TilingType 1 /BBox [10 10 20 20] /XStep 10 /YStep 10 "
                         "/Resources << /Pattern << /P0 " + ref(pattern) + " >> /XObject << /Im0 " + ref(image) +
                         " /Fm0 " + ref(form) + " >> >>",
                "/Pattern cs /P0 scn 0 0 30 30 re f /Fm0 Do q 10 0 0 10 10 10 cm /Im0 Do Q");
    const auto d = streamDoc(w, pattern);
    const auto p = std::dynamic_pointer_cast<QXPDFPatternTiling>(QXPDFPattern::PatternWithObject(d.stream(), "P0"));
    ASSERT_TRUE(p);
    const auto cell = p->contentImage();
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->width(), 10);
    EXPECT_EQ(cell->height(), 10);
    EXPECT_TRUE(isRed(at(*cell, 1, 1)));
    EXPECT_TRUE(isBlue(at(*cell, 8, 8)));

    // Drawn through a bitmap, the cells tile the clip from (10, 10).
    auto bitmap = BitmapContext::create(40, 40);
    p->drawInContext(*bitmap, Affine::identity());
    EXPECT_TRUE(isRed(bitmap->pixel(1, 38)));
    EXPECT_TRUE(isBlue(bitmap->pixel(38, 1)));

    // Without /Resources the cell renders empty.
    PdfWriter v;
    const int bare = v.addStream("/PatternType 1 /BBox [0 0 4 4] /XStep 4 /YStep 4", "0 0 4 4 re f");
    const auto e = streamDoc(v, bare);
    const auto empty = std::dynamic_pointer_cast<QXPDFPatternTiling>(QXPDFPattern::PatternWithObject(e.stream(), "P"));
    ASSERT_TRUE(empty);
    const auto emptyCell = empty->contentImage();
    ASSERT_TRUE(emptyCell);
    EXPECT_EQ(at(*emptyCell, 2, 2).a, 0);
}

// Keeps the fill pattern of every path painted with a pattern.
struct PatternGrabber : QXPDFConentParserDelegate {
    std::vector<std::shared_ptr<QXPDFPatternTiling>> patterns;
    void QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& parser, const Path&, bool,
                                                          bool) override
    {
        patterns.push_back(
            std::dynamic_pointer_cast<QXPDFPatternTiling>(parser.currentRenderingState().fillPattern()));
    }
};

TEST(ContentDrawer, TilingCellsWithoutResourcesUseThoseOfTheDrawingStream)
{
    QXPDFConentDrawer::installTilingCellRenderer();
    PdfWriter w;
    const int image = addImage(w);
    // P0 has no resources: its cell draws the page's /Im0. P1 has its own
    // (without /Im0), which win: its cell stays empty.
    const int bare = w.addStream("/PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10",
                                 "q 10 0 0 10 0 0 cm /Im0 Do Q");
    const int own = w.addStream("/PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10 "
                                "/Resources << /XObject << >> >>",
                                "q 10 0 0 10 0 0 cm /Im0 Do Q");
    // Painted from the page and from a form without resources of its own,
    // which draws with the page's.
    const int form = w.addStream("/Type /XObject /Subtype /Form /BBox [0 0 100 100]",
                                 "/Pattern cs /P0 scn 0 0 50 50 re f");
    const int contents = w.addStream("", "/Pattern cs /P0 scn 0 0 50 50 re f /P1 scn 0 0 50 50 re f /Fm0 Do");
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 100 100] /Contents " +
                           ref(contents) + " /Resources << /Pattern << /P0 " + ref(bare) + " /P1 " + ref(own) +
                           " >> /XObject << /Im0 " + ref(image) + " /Fm0 " + ref(form) + " >> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + ref(pages) + " >>");
    const auto doc = pdf::Document::openData(w.build(root));
    ASSERT_TRUE(doc);

    PatternGrabber grabber;
    QXPDFConentParser parser(doc->page(1));
    parser.setDelegate(&grabber);
    parser.startParser();
    ASSERT_EQ(grabber.patterns.size(), 3u);
    for (size_t i : {0, 2}) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(grabber.patterns[i]);
        const auto cell = grabber.patterns[i]->contentImage();
        ASSERT_TRUE(cell);
        EXPECT_TRUE(isRed(at(*cell, 2, 2)));
        EXPECT_TRUE(isBlue(at(*cell, 7, 7)));
    }
    ASSERT_TRUE(grabber.patterns[1]);
    const auto ownCell = grabber.patterns[1]->contentImage();
    ASSERT_TRUE(ownCell);
    EXPECT_EQ(at(*ownCell, 2, 2).a, 0);
    EXPECT_EQ(at(*ownCell, 7, 7).a, 0);
}

} // namespace
} // namespace rz
