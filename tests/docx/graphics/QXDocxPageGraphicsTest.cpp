// Drawings read from PDF pages into the page model (strokes given their
// width, thin bars as rules, white boxes that erase, clipped shapes) and
// the page passes that turn drawn underlines, strike-through lines and
// highlight boxes into run properties.
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/graphics/QXLineUtilites.h"
#include "docx/layout/QXDocxPDFExporter.h"
#include "docx/layout/QXDocxPage.h"
#include "tests/docx/layout/DocxTestRuns.h"
#include "tests/support/PdfWriter.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "pdfengine/base/QXPDFUtilities.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rz {
namespace {

const char* const kHelvetica = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

// Reads page 1 of a one-page 612 x 792 document into a page model, without
// the page pass.
struct ReadPage {
    QXDocxPDFExporter exporter;
    std::shared_ptr<QXDocxPage> page;

    explicit ReadPage(const std::string& content)
    {
        const auto doc = pdf::Document::openData(test::makePdf({test::PageFixture{content, kHelvetica}}));
        EXPECT_TRUE(doc);
        exporter.setPdfWriter(std::make_unique<QXDocxWriter>());
        exporter.begainReadDocument(doc);
        EXPECT_TRUE(exporter.interpretPDFPage(doc->page(1)));
        page = exporter.pdfWriter()->currentPage();
    }
};

TEST(DocxExporterPaths, StrokesBarsAndClips)
{
    struct Case {
        const char* name;
        std::string content;
        Rect box;               // display rect of the one drawing
        bool stroked;
        bool filled;
        double weight;
        QXDocx_Color stroke;
    };
    const QXDocx_Color black{0, 0, 0, 255};
    const QXDocx_Color blue{0, 0, 255, 255};
    const Case cases[] = {
        // A stroke without height is as high as it is wide, centred on the line.
        {"horizontal stroke", "0 0 0 RG 2 w 100 500 m 300 500 l S", {100, 291, 200, 2}, true, false, 2, black},
        // A thin filled bar is a rule: its centre line stroked in the fill colour.
        {"thin bar", "0 0 1 rg 100 500 200 3 re f", {100, 289, 200, 3}, true, false, 3, blue},
        // A filled rectangle reaching out of its rectangular clip is cut to it.
        {"clipped box", "q 100 100 50 50 re W n 0 0 1 rg 120 120 100 10 re f Q", {120, 662, 30, 10}, false, true,
         1, black},
    };
    for (const Case& c : cases) {
        ReadPage read(c.content);
        ASSERT_EQ(read.page->allRunPathArray().size(), 1u) << c.name;
        const auto& path = read.page->allRunPathArray().front();
        const Rect box = path->displayRect();
        EXPECT_NEAR(box.origin.x, c.box.origin.x, 0.01) << c.name;
        EXPECT_NEAR(box.origin.y, c.box.origin.y, 0.01) << c.name;
        EXPECT_NEAR(box.size.width, c.box.size.width, 0.01) << c.name;
        EXPECT_NEAR(box.size.height, c.box.size.height, 0.01) << c.name;
        EXPECT_EQ(path->pictInfo()->stroked(), c.stroked) << c.name;
        EXPECT_EQ(path->pictInfo()->filled(), c.filled) << c.name;
        if (c.stroked) {
            EXPECT_NEAR(path->pictInfo()->strokeweight(), c.weight, 0.01) << c.name;
            EXPECT_TRUE(QXColorIsNearlyEqual(path->pictInfo()->strokeColorQX(), c.stroke)) << c.name;
        }
    }
}

TEST(DocxExporterPaths, WhiteBoxErasesOnlyOverAnEmptyDrawing)
{
    const std::string text = "BT /F1 12 Tf 100 520 Td (Gone) Tj ET ";
    const std::string white = "1 1 1 rg 90 510 100 30 re f ";
    // Before anything is drawn, a white box hides the text under it and is
    // not drawn itself.
    ReadPage erased(text + white);
    EXPECT_TRUE(erased.page->allRunTextArray().empty());
    EXPECT_TRUE(erased.page->allRunPathArray().empty());
    // After another drawing it is an ordinary drawing.
    ReadPage drawn("0 0 1 rg 10 10 20 20 re f " + text + white);
    EXPECT_FALSE(drawn.page->allRunTextArray().empty());
    EXPECT_EQ(drawn.page->allRunPathArray().size(), 2u);
}

TEST(DocxExporterPaths, TransparentAndDegenerateShapesAreDropped)
{
    const char* const contents[] = {
        "100 500 m S",                        // one point
        "0 0 0 rg 100 500 m 300 500 l f",     // a fill without area
        "100 500 m 300 600 l n",              // neither stroked nor filled
    };
    for (const char* content : contents) {
        ReadPage read(content);
        EXPECT_TRUE(read.page->allRunPathArray().empty()) << content;
    }
}

TEST(DocxExporterPaths, ImageThroughASoftMaskTakesTheMaskAsAlpha)
{
    // A red 16 x 16 image drawn through a luminosity mask whose own image is
    // black on the left half and white on the right.
    test::PdfWriter w;
    const int pages = w.reserve();
    std::string red;
    std::string mask;
    for (int i = 0; i < 16 * 16; ++i) {
        red += std::string("\xff\x00\x00", 3);
        mask += (i % 16) < 8 ? '\x00' : '\xff';
    }
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 16 /Height 16 /ColorSpace /DeviceRGB "
                                  "/BitsPerComponent 8",
                                  red);
    const int maskImage = w.addStream("/Type /XObject /Subtype /Image /Width 16 /Height 16 /ColorSpace /DeviceGray "
                                      "/BitsPerComponent 8",
                                      mask);
    const int group = w.addStream("/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Group << /S /Transparency >> "
                                  "/Resources << /XObject << /Im1 " + std::to_string(maskImage) + " 0 R >> >>",
                                  "q 160 0 0 160 100 500 cm /Im1 Do Q");
    const int content = w.addStream("", "q /GS0 gs 160 0 0 160 100 500 cm /Im0 Do Q");
    const int pageObject = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /MediaBox [0 0 612 792] /Contents " +
                                 std::to_string(content) + " 0 R /Resources << /XObject << /Im0 " +
                                 std::to_string(image) + " 0 R >> /ExtGState << /GS0 << /SMask << /S /Luminosity /G " +
                                 std::to_string(group) + " 0 R >> >> >> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(pageObject) + " 0 R] /Count 1 >>");
    const int catalog = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = pdf::Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    QXDocxPDFExporter exporter;
    exporter.setPdfWriter(std::make_unique<QXDocxWriter>());
    exporter.begainReadDocument(doc);
    ASSERT_TRUE(exporter.interpretPDFPage(doc->page(1)));
    const auto page = exporter.pdfWriter()->currentPage();
    page->removeSoftMaskDrawings();
    ASSERT_EQ(page->allRunImageArray().size(), 1u);
    const auto& picture = page->allRunImageArray().front();
    EXPECT_FALSE(picture->isExtGStateSMask());
    const std::optional<Image> baked = QXPDFUtilities::CGImageWithContentsOfFile(picture->imagePath());
    ASSERT_TRUE(baked);
    const Image rgba = baked->converted(PixelFormat::RGBA8);
    const int middle = rgba.height() / 2;
    EXPECT_EQ(rgba.row(middle)[4 * 1 + 3], 0);
    EXPECT_EQ(rgba.row(middle)[4 * (rgba.width() - 2) + 3], 255);
    EXPECT_GE(rgba.row(middle)[4 * (rgba.width() - 2)], 250);
}

// --- Underline, strike-through and highlight ---

const QXDocx_Color kTextColor{20, 40, 60, 255};

// A 100 x 12 run from x 100 on the baseline 100 (top 90, bottom 102).
QXDocxRunTextPtr textRun()
{
    QXDocxRunTextPtr run = test::makeTestRun({"Hello", 100, 200, 90, 12, 100, 1, 1});
    QXDocx_RPr property = run->rProperty();
    property.color = kTextColor;
    run->setRProperty(property);
    return run;
}

QXDocxRunPathPtr pathRun(const Rect& r, bool line, bool filled, bool stroked, const QXDocx_Color& color)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setDisplayX(r.origin.x);
    info->setDisplayY(r.origin.y);
    info->setDisplayWidth(r.size.width);
    info->setDisplayHeight(r.size.height);
    info->setFilled(filled);
    info->setStroked(stroked);
    const Color device = Color::rgb(color.red / 255.0, color.green / 255.0, color.blue / 255.0, 1);
    info->setStrokecolor(device);
    info->setFillcolor(device);
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPictInfo(info);
    run->setPdfScanIndex(2);
    std::vector<Point> points;
    if (line)
        points = {{r.minX(), r.midY()}, {r.maxX(), r.midY()}};
    else
        points = {{r.minX(), r.minY()}, {r.maxX(), r.minY()}, {r.maxX(), r.maxY()}, {r.minX(), r.maxY()},
                  {r.minX(), r.minY()}};
    run->setRunCGPath(QXLineUtilites::CGPathFromLinePointArray(points));
    run->setRunLinePointArray(points);
    return run;
}

TEST(DocxPageDecorations, UnderlinesAndStrikeThroughLines)
{
    struct Case {
        const char* name;
        Rect line;
        QXDocx_Color color;
        bool underlined;
        bool struck;
    };
    const Case cases[] = {
        {"half-point line a point below the baseline", {100, 101, 100, 0.5}, kTextColor, true, false},
        {"one colour component off", {100, 101, 100, 0.5}, {21, 40, 60, 255}, false, false},
        {"through the letters", {100, 95, 100, 0.5}, kTextColor, false, true},
        {"more than a line height longer than the text", {100, 101, 150, 0.5}, kTextColor, false, false},
        {"a point below the text's bottom", {100, 104, 100, 0.5}, kTextColor, false, false},
    };
    for (const Case& c : cases) {
        QXDocxPage page;
        page.allRunTextArray().push_back(textRun());
        page.allRunPathArray().push_back(pathRun(c.line, true, false, true, c.color));
        ASSERT_EQ(page.allRunPathArray().front()->runLineType(), 1) << c.name;
        page.convertPathsForUnderLineIfNeed();
        const QXDocx_RPr& property = page.allRunTextArray().front()->rProperty();
        EXPECT_EQ(property.u, c.underlined ? 1 : 0) << c.name;
        EXPECT_EQ(property.strikethrough, c.struck ? 1 : 0) << c.name;
        EXPECT_EQ(page.allRunPathArray().empty(), c.underlined || c.struck) << c.name;
    }
}

// A table's rule under a cell's text stays a rule: it ends on a vertical
// rule. A vertical rule elsewhere does not keep an underline from being one.
TEST(DocxPageDecorations, RulesEndingOnVerticalRulesAreNoUnderlines)
{
    const auto vertical = [](double x) {
        QXDocxRunPathPtr run = pathRun({x, 80, 0.5, 30}, true, false, true, kTextColor);
        const std::vector<Point> points{{x, 80}, {x, 110}};
        run->setRunCGPath(QXLineUtilites::CGPathFromLinePointArray(points));
        run->setRunLinePointArray(points);
        return run;
    };
    for (const double x : {200.0, 300.0}) {
        QXDocxPage page;
        page.allRunTextArray().push_back(textRun());
        page.allRunPathArray().push_back(pathRun({100, 101, 100, 0.5}, true, false, true, kTextColor));
        page.allRunPathArray().push_back(vertical(x));
        ASSERT_EQ(page.allRunPathArray().back()->runLineType(), QXDocxRunPath::kLineTypeVertical);
        page.convertPathsForUnderLineIfNeed();
        const bool joined = x == 200.0;
        EXPECT_EQ(page.allRunTextArray().front()->rProperty().u, joined ? 0 : 1) << x;
        EXPECT_EQ(page.allRunPathArray().size(), joined ? 2u : 1u) << x;
    }
}

TEST(DocxPageDecorations, HighlightBoxes)
{
    const QXDocx_Color yellow{255, 255, 0, 255};
    struct Case {
        const char* name;
        Rect box;
        bool filled;
        bool stroked;
        bool highlighted;
    };
    const Case cases[] = {
        {"102 x 14 around the run", {99, 89, 102, 14}, true, false, true},
        {"4 points wider than the run", {98, 89, 104, 14}, true, false, false},
        {"stroked as well", {99, 89, 102, 14}, true, true, false},
        {"taller than 100 points", {99, 0, 102, 101}, true, false, false},
    };
    for (const Case& c : cases) {
        QXDocxPage page;
        page.allRunTextArray().push_back(textRun());
        page.allRunPathArray().push_back(pathRun(c.box, false, c.filled, c.stroked, yellow));
        page.convertPathsForHighLightIfNeed();
        const QXDocx_RPr& property = page.allRunTextArray().front()->rProperty();
        EXPECT_EQ(property.background, c.highlighted) << c.name;
        if (c.highlighted) {
            EXPECT_TRUE(QXColorIsNearlyEqual(property.backgroundcolor, yellow)) << c.name;
        }
        EXPECT_EQ(page.allRunPathArray().empty(), c.highlighted) << c.name;
    }
}

} // namespace
} // namespace rz
