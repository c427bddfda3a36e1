// The DOCX exporter reading PDF pages into the page model: page set-up,
// which characters are kept, where they go (main text, text boxes, text
// paths), the turned second pass, and the page pass's lines and bands.
#include "docx/layout/QXDocxPDFExporter.h"

#include "converter/ooxml/QXDocxRecords.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace rz {
namespace {

const char* const kHelvetica = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

// Reads page 1 of a one-page document into a page model with its page pass
// done.
struct ReadPage {
    QXDocxPDFExporter exporter;
    std::shared_ptr<QXDocxPage> page;

    explicit ReadPage(const test::PageFixture& fixture, bool pagePass = true)
    {
        const auto doc = pdf::Document::openData(test::makePdf(std::vector<test::PageFixture>{fixture}));
        EXPECT_TRUE(doc);
        exporter.setPdfWriter(std::make_unique<QXDocxWriter>());
        exporter.begainReadDocument(doc);
        EXPECT_TRUE(exporter.interpretPDFPage(doc->page(1)));
        page = exporter.pdfWriter()->currentPage();
        if (!pagePass)
            return;
        page->updateAllPDFScanIndex();
        page->createPageWithColumn();
    }
    explicit ReadPage(const std::string& content, const std::string& resources = kHelvetica, bool pagePass = true)
        : ReadPage(test::PageFixture{content, resources}, pagePass)
    {
    }

    std::vector<std::string> lineTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& line : page->allRunTextLineArray())
            texts.push_back(line->lineText());
        return texts;
    }
    // The text of all lines.
    std::string mainText() const
    {
        std::string text;
        for (const auto& line : page->allRunTextLineArray())
            text += line->lineText();
        return text;
    }
};

TEST(DocxExporterPageSetUp, SizeClampAndCropOrigin)
{
    struct Case {
        Rect crop;
        Size expected;
        Point topLeftMapsTo;    // display position of the crop's top-left corner
    };
    const Case cases[] = {
        {{0, 0, 2000, 1000}, {1583, 791.5}, {0, 0}},
        {{0, 0, 5, 600}, {7, 840}, {0, 0}},
        {{-10, -10, 600, 800}, {600, 800}, {0, 0}},
        // A large page whose crop box does not start at the origin still
        // maps its top-left corner to the display origin after the clamp.
        {{100, 50, 3166, 1000}, {1583, 500}, {0, 0}},
    };
    for (const Case& c : cases) {
        QXDocxPDFExporter exporter;
        exporter.setUpPageBoxes(c.crop, c.crop, 0);
        EXPECT_NEAR(exporter.currentPageCropBox().size.width, c.expected.width, 1e-3);
        EXPECT_NEAR(exporter.currentPageCropBox().size.height, c.expected.height, 1e-3);
        EXPECT_GE(exporter.currentPageCropBox().origin.x, 0);
        EXPECT_GE(exporter.currentPageCropBox().origin.y, 0);
        const Rect& crop = exporter.currentPageCropBox();
        const Point topLeft = apply(Point{crop.origin.x, crop.origin.y + c.crop.size.height}, exporter.currentPageTransform());
        EXPECT_NEAR(topLeft.x, c.topLeftMapsTo.x, 1e-6);
        EXPECT_NEAR(topLeft.y, c.topLeftMapsTo.y, 1e-6);
    }
}

TEST(DocxExporterText, DroppedCharacters)
{
    // Each row: content drawn after a visible "Kept" line, and whether its
    // text "Gone" must be missing from the main text.
    const std::string kept = "BT /F1 12 Tf 72 700 Td (Kept) Tj ET\n";
    struct Case {
        const char* name;
        std::string content;
        std::string resources;
    };
    const std::string alpha = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> "
                              "/ExtGState << /GS0 << /ca 0.005 >> >> >>";
    const Case cases[] = {
        {"empty clip", "q 100 500 50 50 re W n 300 500 50 50 re W n BT /F1 12 Tf 100 520 Td (Gone) Tj ET Q",
         kHelvetica},
        {"nearly transparent fill", "q /GS0 gs BT /F1 12 Tf 100 520 Td (Gone) Tj ET Q", alpha},
        {"invisible render mode", "BT 3 Tr /F1 12 Tf 100 520 Td (Gone) Tj ET", kHelvetica},
        {"left of the page", "BT /F1 12 Tf -80 520 Td (Gone) Tj ET", kHelvetica},
        {"below the page", "BT /F1 12 Tf 100 -40 Td (Gone) Tj ET", kHelvetica},
    };
    for (const Case& c : cases) {
        ReadPage read(kept + c.content, c.resources);
        EXPECT_EQ(read.mainText(), "Kept") << c.name;
    }
}

TEST(DocxExporterText, LeadingBlanksAndControlCharacters)
{
    // Blanks before the page's first character are dropped; afterwards a
    // lone space is kept and a lone control character dropped.
    ReadPage read("BT /F1 12 Tf 72 700 Td (   ) Tj (\\011) Tj (A) Tj ( ) Tj (B) Tj ET", kHelvetica, false);
    std::string texts;
    for (const auto& run : read.page->allRunTextArray())
        texts += "[" + run->runText() + "]";
    EXPECT_EQ(texts, "[A][ ][B]");
    // Bare characters after the first: a lone control character is dropped.
    const std::size_t before = read.page->allRunTextArray().size();
    read.exporter.scanText("\t", Size{}, nullptr);
    read.exporter.scanText("\x1f", Size{}, nullptr);
    EXPECT_EQ(read.page->allRunTextArray().size(), before);
    read.exporter.scanText(" ", Size{}, nullptr);
    EXPECT_EQ(read.page->allRunTextArray().size(), before + 1);
}

TEST(DocxExporterText, RoutingByAngle)
{
    struct Case {
        const char* matrix;
        std::size_t mainRuns;
        std::size_t textBoxes;
        std::size_t textPaths;
    };
    const Case cases[] = {
        // Angles are clockwise on the page (the PDF's y axis points up).
        {"1 0 0 1 100 400", 2, 0, 0},
        {"0.99756 -0.06976 0.06976 0.99756 100 400", 2, 0, 0},  // 4 degrees
        {"0.99999 0.00436 -0.00436 0.99999 100 400", 2, 0, 0},  // 359.75 degrees: rounds to 360
        {"0.99452 0.10453 -0.10453 0.99452 100 400", 0, 0, 1},  // 354 degrees
        {"0 -1 1 0 300 400", 0, 1, 0},                           // 90 degrees
        {"0.86603 -0.5 0.5 0.86603 100 400", 0, 0, 1},           // 30 degrees
        {"-1 0 0 1 300 400", 0, 0, 1},                           // mirrored
    };
    for (const Case& c : cases) {
        ReadPage read(std::string("BT /F1 12 Tf ") + c.matrix + " Tm (ab) Tj ET");
        EXPECT_EQ(read.page->allRunTextArray().size(), c.mainRuns) << c.matrix;
        EXPECT_EQ(read.page->allRunTextBoxArray().size(), c.textBoxes) << c.matrix;
        EXPECT_EQ(read.page->allRunTextPathArray().size(), c.textPaths) << c.matrix;
    }
}

TEST(DocxExporterText, TextBoxesAndTextPathsGatherTheirCharacters)
{
    // A 30-degree line becomes one text path of its whole text; a line at
    // 90 degrees one box whose run holds the whole word.
    ReadPage path("BT /F1 12 Tf 0.86603 0.5 -0.5 0.86603 100 400 Tm (Slanted) Tj ET");
    ASSERT_EQ(path.page->allRunTextPathArray().size(), 1u);
    EXPECT_EQ(path.page->allRunTextPathArray()[0]->runText(), "Slanted");
    EXPECT_FLOAT_EQ(path.page->allRunTextPathArray()[0]->pictInfo()->rotation(), 330.0f);

    ReadPage box("BT /F1 12 Tf 0 1 -1 0 300 400 Tm (Up) Tj ET BT /F1 12 Tf 1 0 0 1 72 700 Tm (Main text here) Tj ET");
    ASSERT_EQ(box.page->allRunTextBoxArray().size(), 1u);
    const auto runs = box.page->allRunTextBoxArray()[0]->allRunTextArray();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]->runText(), "Up");
    EXPECT_EQ(box.page->allRunTextBoxArray()[0]->pictInfo()->rotation(), 270.0);
    EXPECT_EQ(box.lineTexts(), std::vector<std::string>{"Main text here"});
}

TEST(DocxExporterText, PageOfSidewaysTextIsReadTurned)
{
    // Three lines running up the page and one upright page number: the page
    // is read again turned, and its lines come out as main text.
    ReadPage read("BT /F1 12 Tf 0 1 -1 0 300 100 Tm 20 TL (First sideways line) Tj T* (Second sideways line) Tj "
                  "T* (Third sideways line) Tj ET BT /F1 8 Tf 300 30 Td (7) Tj ET");
    EXPECT_EQ(read.page->allRunTextBoxArray().size(), 1u); // the page number, now sideways
    EXPECT_EQ(read.lineTexts(),
              (std::vector<std::string>{"First sideways line", "Second sideways line", "Third sideways line"}));
    EXPECT_EQ(read.page->currentPageRotationAngle(), 90);
}

TEST(DocxExporterText, OverprintedCharactersAreKeptOnce)
{
    // Fake bold: the same line drawn three times half a point apart.
    ReadPage read("BT /F1 12 Tf 72 700 Td (Bold title) Tj ET BT /F1 12 Tf 72.5 700 Td (Bold title) Tj ET "
                  "BT /F1 12 Tf 72.25 700.3 Td (Bold title) Tj ET");
    EXPECT_EQ(read.lineTexts(), std::vector<std::string>{"Bold title"});
}

TEST(DocxExporterText, SuperscriptsAndSubscriptsJoinTheirLine)
{
    ReadPage read("BT /F1 12 Tf 72 700 Td (E = mc) Tj 7 Ts /F1 7 Tf (2) Tj 0 Ts /F1 12 Tf ( and H) Tj -3 Ts /F1 7 Tf "
                  "(2) Tj 0 Ts /F1 12 Tf (O) Tj ET");
    ASSERT_EQ(read.page->allRunTextBandArray().size(), 1u);
    ASSERT_EQ(read.page->allRunTextBandArray()[0].size(), 1u);
    const auto& line = read.page->allRunTextBandArray()[0][0];
    int superscripts = 0;
    int subscripts = 0;
    for (const auto& run : line->runTextArray()) {
        superscripts += run->rProperty().scrpit == QXDocxScriptSuperscript;
        subscripts += run->rProperty().scrpit == QXDocxScriptSubscript;
    }
    EXPECT_EQ(superscripts, 1);
    EXPECT_EQ(subscripts, 1);
}

TEST(DocxExporterText, RunPropertiesOfFontsWithoutNamesAndTinyText)
{
    const std::string resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica-BoldOblique >> "
                                  ">> >>";
    ReadPage read("BT /F1 3 Tf 72 700 Td (tiny) Tj ET", resources);
    ASSERT_FALSE(read.page->allRunTextArray().empty());
    const QXDocx_RPr& r = read.page->allRunTextArray()[0]->rProperty();
    EXPECT_FLOAT_EQ(r.sz, 5.0f);
    EXPECT_TRUE(r.b);
    EXPECT_TRUE(r.i);
    EXPECT_TRUE(r.noProof);
    EXPECT_STRNE(r.rFonts.ascii, "");
}

} // namespace
} // namespace rz

namespace rz {
namespace {

// Column pages: `columns` columns of `lines` lines each, drawn column by
// column, each column `width` wide with a gutter of `gutter` points; an
// optional heading across the page above them.
std::string columnPage(int columns, int lines, double width, double gutter, const std::string& heading = {})
{
    std::string content;
    if (!heading.empty())
        content += "BT /F1 16 Tf 72 730 Td (" + heading + ") Tj ET\n";
    for (int c = 0; c < columns; ++c) {
        const double x = 72 + c * (width + gutter);
        content += "BT /F1 10 Tf 12 TL " + std::to_string(x) + " 700 Td";
        for (int l = 0; l < lines; ++l)
            content += " (Col" + std::to_string(c + 1) + " line " + std::to_string(l + 1) + " text) Tj T*";
        content += " ET\n";
    }
    return content;
}

// The texts of each column group of each block.
std::vector<std::vector<std::vector<std::string>>> blockTexts(const QXDocxPage& page)
{
    std::vector<std::vector<std::vector<std::string>>> blocks;
    for (const auto& block : page.allRunTextColumArray()) {
        blocks.emplace_back();
        for (const auto& group : block->columGroupArray()) {
            blocks.back().emplace_back();
            for (const auto& line : group)
                blocks.back().back().push_back(line->lineText());
        }
    }
    return blocks;
}

std::vector<std::string> columnLines(int column, int lines)
{
    std::vector<std::string> texts;
    for (int l = 0; l < lines; ++l)
        texts.push_back("Col" + std::to_string(column) + " line " + std::to_string(l + 1) + " text");
    return texts;
}

TEST(DocxPageColumns, ColumnsComeOutColumnByColumn)
{
    struct Case {
        int columns;
        double width;
        double gutter;
    };
    for (const Case c : {Case{1, 300, 0}, Case{2, 210, 36}, Case{3, 140, 24}}) {
        SCOPED_TRACE(c.columns);
        ReadPage read(columnPage(c.columns, 6, c.width, c.gutter));
        const auto blocks = blockTexts(*read.page);
        ASSERT_EQ(blocks.size(), 1u);
        ASSERT_EQ(blocks[0].size(), static_cast<std::size_t>(c.columns));
        for (int k = 0; k < c.columns; ++k)
            EXPECT_EQ(blocks[0][k], columnLines(k + 1, 6));
    }
}

TEST(DocxPageColumns, HeadingAcrossTwoColumnsStaysItsOwnBlock)
{
    ReadPage read(columnPage(2, 6, 210, 36, "A heading that spans both of the columns below"));
    const auto blocks = blockTexts(*read.page);
    ASSERT_EQ(blocks.size(), 2u);
    ASSERT_EQ(blocks[0].size(), 1u);
    EXPECT_EQ(blocks[0][0], std::vector<std::string>{"A heading that spans both of the columns below"});
    ASSERT_EQ(blocks[1].size(), 2u);
    EXPECT_EQ(blocks[1][0], columnLines(1, 6));
    EXPECT_EQ(blocks[1][1], columnLines(2, 6));
}

} // namespace
} // namespace rz

#include "tests/docx/layout/DocxTestRuns.h"

#include <random>
#include <set>

namespace rz {
namespace {

TEST(DocxPagePass, DuplicateRunsAreThoseTheWholeListTestFinds)
{
    // Random runs crowded on a few spots: the page's indexed duplicate
    // search keeps exactly the runs the plain search over the whole list
    // keeps (each remaining first run removing the later runs it repeats).
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        QXDocxPage page;
        QXDocxRunTextArray runs;
        for (int i = 0; i < 200; ++i) {
            test::TestRunShape shape;
            shape.text = std::string(1, "ab"[random() % 2]);
            shape.left = 0.25 * static_cast<double>(random() % 24);
            shape.right = shape.left + 5;
            shape.base = 0.3 * static_cast<double>(random() % 10) + 10;
            shape.top = shape.base - 9;
            shape.scan = static_cast<std::uint64_t>(i);
            shape.textIndex = static_cast<std::uint64_t>(i);
            runs.push_back(test::makeTestRun(shape));
        }
        std::set<const QXDocxRunText*> expected;
        QXDocxRunTextArray rest = runs;
        while (!rest.empty()) {
            const QXDocxRunTextArray group = QXDocxRunTextLine::FindDuplicateRunTexts(rest);
            expected.insert(group.front().get());
            std::set<const QXDocxRunText*> taken;
            for (const auto& run : group)
                taken.insert(run.get());
            std::erase_if(rest, [&](const QXDocxRunTextPtr& run) { return taken.contains(run.get()); });
        }
        page.allRunTextArray() = runs;
        page.createPageWithColumn();
        std::set<const QXDocxRunText*> kept;
        for (const auto& run : page.allRunTextArray())
            kept.insert(run.get());
        EXPECT_EQ(kept, expected) << round;
    }
}

} // namespace
} // namespace rz
