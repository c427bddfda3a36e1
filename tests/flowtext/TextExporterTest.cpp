// Characters taken by the plain-text exporter, with hand-made text states
// (no content parser involved).
#include "converter/ooxml/QXDocxCounters.h"
#include "flowtext/html/QXHTMLPDFExporter.h"
#include "flowtext/html/QXHTMLRun.h"
#include "flowtext/rtf/QXRTFPDFExporter.h"
#include "flowtext/rtf/QXRTFRun.h"
#include "flowtext/text/QXTextPDFExporter.h"
#include "tests/flowtext/FlowTestSupport.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace rz {
namespace {

// Upright 12-point text at (72, 700) turned clockwise on the page by
// `degrees`.
QXFlowTextCharState stateAt(double degrees = 0)
{
    QXFlowTextCharState s;
    const double r = -degrees * std::numbers::pi / 180; // user space turns the other way
    s.display.textMatrix = Affine{std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 72, 700};
    s.display.ctm = Affine::identity();
    s.display.fontSize = 12;
    s.display.ascent = 0.9;
    s.display.descent = -0.3;
    s.hasFont = true;
    s.widthOfSpace = 0.25;
    s.fontName = "Helvetica";
    s.fontFamilyName = "Helvetica";
    return s;
}

class TextExporter : public ::testing::Test {
protected:
    void SetUp() override
    {
        exporter.begainConvertPDF(test::makeTempDir() + "/out.txt", nullptr);
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
    }
    const QXFlowRunList& runs() { return exporter.documentWriter()->currentPage()->allRunTextArray(); }
    std::string taken()
    {
        std::string s;
        for (const auto& r : runs())
            s += utf16ToUtf8(r->runText()) + "|";
        return s;
    }
    QXTextPDFExporter exporter;
};

TEST_F(TextExporter, SpacesBeforeTheFirstCharacterAreNotTaken)
{
    const QXFlowTextCharState s = stateAt();
    for (const char* t : {" ", "\t", "\x01"})
        exporter.usingDocxMainText(t, Size{3, 0}, s);
    EXPECT_TRUE(exporter.isNotScanTextYet());
    exporter.usingDocxMainText(" x", Size{6, 0}, s); // two characters: taken
    exporter.usingDocxMainText("A", Size{8, 0}, s);
    exporter.usingDocxMainText(" ", Size{3, 0}, s);
    EXPECT_FALSE(exporter.isNotScanTextYet());
    EXPECT_EQ(taken(), " x|A| |");

    // A new page waits for its first character again.
    exporter.beginPage(Rect(0, 0, 612, 792), 0);
    exporter.usingDocxMainText(" ", Size{3, 0}, s);
    EXPECT_TRUE(runs().empty());
}

TEST_F(TextExporter, OnlyUprightUnmirroredTextIsTaken)
{
    struct Case {
        double degrees;
        bool taken;
    } cases[] = {{0, true},    {4, true},     {4.49, true},  {5, false},   {90, false},
                 {270, false}, {180, false},  {359, false},  {359.6, true}, {-0.3, true}};
    for (const Case& c : cases) {
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        exporter.usingDocxMainText("a", Size{6, 0}, stateAt(c.degrees));
        ASSERT_EQ(runs().size(), c.taken ? 1u : 0u) << c.degrees;
        if (c.taken) {
            EXPECT_EQ(runs()[0]->ctmInfo().rotation, 0.0f) << c.degrees;
            EXPECT_EQ(runs()[0]->ctmInfo().flip, 0) << c.degrees;
        }
    }
    for (const Affine m : {Affine{-1, 0, 0, 1, 72, 700}, Affine{1, 0, 0, -1, 72, 700}, Affine{-1, 0, 0, -1, 72, 700}}) {
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        QXFlowTextCharState s = stateAt();
        s.display.textMatrix = m;
        exporter.usingDocxMainText("a", Size{6, 0}, s);
        EXPECT_TRUE(runs().empty());
    }
    // Coordinates no page can hold.
    QXFlowTextCharState s = stateAt();
    s.display.textMatrix.tx = INFINITY;
    exporter.usingDocxMainText("a", Size{6, 0}, s);
    s = stateAt();
    s.display.ctm = Affine{1e308, 0, 0, 1e308, 0, 0};
    exporter.usingDocxMainText("a", Size{6, 0}, s);
    EXPECT_TRUE(runs().empty());
}

// Upright glyphs are taken whatever factor of the text rendering matrix
// turned them upright; a negative size alone is upside-down text, dropped
// like any text turned by 180 degrees, and mirrored glyphs stay dropped.
TEST_F(TextExporter, TurnAndMirrorAreReadFromTheWholeTextRenderingMatrix)
{
    const Affine turned{-1, 0, 0, -1, 72, 700};
    struct Case {
        const char* what;
        double fontSize;
        double horizontalScaling;
        Affine textMatrix;
        Affine ctm;
        bool taken;
    } cases[] = {
        {"negative size, turned text matrix", -12, 1, turned, Affine::identity(), true},
        {"negative size, turned CTM", -12, 1, Affine::makeTranslation(540, 92), Affine{-1, 0, 0, -1, 612, 792}, true},
        {"negative scaling, text matrix flipped in x", 12, -1, Affine{-1, 0, 0, 1, 72, 700}, Affine::identity(), true},
        {"negative size alone", -12, 1, Affine::makeTranslation(72, 700), Affine::identity(), false},
        {"turned text matrix", 12, 1, turned, Affine::identity(), false},
        {"negative size, text matrix flipped in y", -12, 1, Affine{1, 0, 0, -1, 72, 700}, Affine::identity(), false},
        {"negative scaling", 12, -1, Affine::makeTranslation(72, 700), Affine::identity(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        QXFlowTextCharState s = stateAt();
        s.display.fontSize = c.fontSize;
        s.display.horizontalScaling = c.horizontalScaling;
        s.display.textMatrix = c.textMatrix;
        s.display.ctm = c.ctm;
        // "a" is half an em wide: its offset is half the signed size.
        exporter.usingDocxMainText("a", Size{0.5 * c.fontSize, 0}, s);
        ASSERT_EQ(runs().size(), c.taken ? 1u : 0u);
        if (!c.taken)
            continue;
        const QXFlowRunText& a = *runs()[0];
        EXPECT_NEAR(a.ctmInfo().topLeft.x, 72, 1e-9);
        EXPECT_NEAR(a.ctmInfo().topLeft.y, 83, 1e-9);
        EXPECT_NEAR(a.ctmInfo().bottomLeft.y, 95, 1e-9);
        EXPECT_EQ(a.ctmInfo().fontSize, (Size{12, 12}));
        EXPECT_FLOAT_EQ(a.rProperty().sz, 12);
        EXPECT_NEAR(a.textWidth(), 6, 1e-9);
        EXPECT_NEAR(a.spaceWidth(), 3, 1e-9); // 0.25 x 12
        // The pen moved right on the page.
        EXPECT_NEAR(exporter.nextCharCTMInfo().topLeft.x, 78, 1e-9);
        EXPECT_EQ(exporter.mainTextFontSize(), 12);
    }
}

TEST_F(TextExporter, GeometryWidthsAndScanOrder)
{
    QXDocxScanCounter = 40;
    exporter.beginPage(Rect(0, 0, 612, 792), 0); // the writer's page start resets the counter
    const QXFlowTextCharState s = stateAt();
    exporter.usingDocxMainText("a", Size{6, 0}, s);
    exporter.usingDocxMainText("b", Size{-10, 0}, s); // the pen goes back: the width stays positive
    ASSERT_EQ(runs().size(), 2u);
    const QXFlowRunText& a = *runs()[0];
    EXPECT_EQ(a.pdfScanIndex(), 0u);
    EXPECT_EQ(runs()[1]->pdfScanIndex(), 1u);
    EXPECT_NEAR(a.ctmInfo().topLeft.x, 72, 1e-9);
    EXPECT_NEAR(a.ctmInfo().topLeft.y, 83, 1e-9);
    EXPECT_NEAR(a.ctmInfo().bottomLeft.y, 95, 1e-9);
    EXPECT_NEAR(a.textWidth(), 6, 1e-9);
    EXPECT_NEAR(a.spaceWidth(), 3, 1e-9); // 0.25 x 12
    EXPECT_NEAR(runs()[1]->textWidth(), 10, 1e-9);
    EXPECT_NEAR(exporter.nextCharCTMInfo().topLeft.x, 62, 1e-9);
    EXPECT_EQ(exporter.mainTextFontSize(), 12);

    // On a page turned by 90 degrees the display is the turned page.
    exporter.beginPage(Rect(0, 0, 792, 612), 90);
    QXFlowTextCharState turned = stateAt();
    turned.display.textMatrix = Affine{0, 1, -1, 0, 300, 100}; // upright once the page is turned
    exporter.usingDocxMainText("t", Size{6, 0}, turned);
    ASSERT_EQ(runs().size(), 1u);
    EXPECT_NEAR(runs()[0]->ctmInfo().bottomLeft.x, 100, 1e-9);
}

TEST_F(TextExporter, CharactersAreCountedByTheirTurn)
{
    struct Case {
        int turned;     // characters turned by `degrees`
        int upright;    // upright characters
        double degrees;
        int sideways;   // sidewaysTextRotation
    } cases[] = {
        {3, 2, 90, 90}, {3, 2, 180, 180}, {3, 2, 270, 270}, {3, 2, 92, 90}, {3, 2, 264, 0},
        // Half is not most; a turn of 45 degrees is none of the three.
        {2, 2, 90, 0},  {5, 0, 45, 0},    {1, 0, 270, 270}, {0, 3, 0, 0},
    };
    for (const Case& c : cases) {
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        for (int k = 0; k < c.turned; ++k)
            exporter.usingDocxMainText("t", Size{6, 0}, stateAt(c.degrees));
        for (int k = 0; k < c.upright; ++k)
            exporter.usingDocxMainText("u", Size{6, 0}, stateAt());
        EXPECT_EQ(exporter.sidewaysTextRotation(), c.sideways) << c.turned << " at " << c.degrees;
        EXPECT_EQ(runs().size(), static_cast<size_t>(c.upright)) << "turned characters are not taken";
    }

    // Turned spaces are not counted, turned mirrored characters not as turned.
    QXFlowTextCharState mirrored = stateAt();
    mirrored.display.textMatrix = Affine{0, 1, 1, 0, 72, 700}; // turned by 90 and mirrored
    for (const auto& [text, state] : {std::pair{" ", stateAt(90)}, {"\t", stateAt(90)}, {"m", mirrored}}) {
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        exporter.usingDocxMainText("u", Size{6, 0}, stateAt());
        for (int k = 0; k < 5; ++k)
            exporter.usingDocxMainText(text, Size{3, 0}, state);
        EXPECT_EQ(exporter.sidewaysTextRotation(), 0) << text;
    }
    // A new page starts counting again.
    exporter.beginPage(Rect(0, 0, 612, 792), 0);
    for (int k = 0; k < 5; ++k)
        exporter.usingDocxMainText("t", Size{6, 0}, stateAt(90));
    EXPECT_EQ(exporter.sidewaysTextRotation(), 90);
    exporter.beginPage(Rect(0, 0, 612, 792), 0);
    EXPECT_EQ(exporter.sidewaysTextRotation(), 0);
}

TEST_F(TextExporter, WhileCancelledNothingIsTaken)
{
    exporter.setIsShouldCancel(true);
    exporter.usingDocxMainText("a", Size{6, 0}, stateAt());
    EXPECT_TRUE(runs().empty());
}

TEST_F(TextExporter, RunPropertiesFromTheFontAndTheTransform)
{
    QXFlowTextCharState s = stateAt();
    s.fontName = {};
    s.fontFamilyName = {};
    s.hasDescriptor = true;
    s.descriptorBold = true;
    s.fillRed = 200;
    s.fillGreen = 100;
    s.fillBlue = 50;
    QXDocx_RPr r = exporter.currentRProperty(s);
    for (const char* name : {r.rFonts.ascii, r.rFonts.hAnsi, r.rFonts.cs, r.rFonts.eastAsia})
        EXPECT_STREQ(name, "Arial Unicode MS");
    EXPECT_TRUE(r.b);
    EXPECT_FALSE(r.i);
    EXPECT_FLOAT_EQ(r.sz, 12);
    EXPECT_EQ(r.color, (QXDocx_Color{200, 100, 50, 255}));
    EXPECT_FLOAT_EQ(r.w, 100);
    EXPECT_TRUE(r.noProof);

    // Bold and italic by name; render mode 2 does not make plain text bold.
    s = stateAt();
    s.fontName = "Helvetica-BoldOblique";
    r = exporter.currentRProperty(s);
    EXPECT_TRUE(r.b);
    EXPECT_TRUE(r.i);
    s = stateAt();
    s.textRenderMode = 2;
    EXPECT_FALSE(exporter.currentRProperty(s).b);

    // The slant test: x stretched 20 % against y is italic, 5 % is not.
    for (const auto& [sx, italic] : {std::pair{1.2, true}, {1.05, false}, {1.0, false}, {0.85, true}}) {
        s = stateAt();
        s.display.textMatrix.a = sx;
        EXPECT_EQ(exporter.currentRProperty(s).i, italic) << sx;
    }
    EXPECT_FALSE(QXFlowTextPDFExporter::isSlanted(Affine{0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(QXFlowTextPDFExporter::isSlanted(Affine{1, 0, 0, 0, 0, 0}));

    // A long family name is cut on a character boundary.
    s = stateAt();
    const std::string longName = std::string(126, 'x') + "\xC3\xA9";
    s.fontFamilyName = longName;
    r = exporter.currentRProperty(s);
    EXPECT_EQ(std::string(r.rFonts.ascii), std::string(126, 'x'));

    // Without a font: the default run property.
    s.hasFont = false;
    r = exporter.currentRProperty(s);
    EXPECT_STREQ(r.rFonts.ascii, "Times New Roman");
    EXPECT_FLOAT_EQ(r.sz, 12);
}

TEST(FlowExporters, FillAndStrokeMakesBoldInHtmlAndRtfOnly)
{
    QXHTMLPDFExporter html;
    QXRTFPDFExporter rtf;
    QXTextPDFExporter text;
    for (int mode : {0, 1, 2, 6, 7}) {
        QXFlowTextCharState s = stateAt();
        s.textRenderMode = mode;
        const bool bold = mode == 2 || mode == 6;
        EXPECT_EQ(html.currentRProperty(s).b, bold) << mode;
        EXPECT_EQ(rtf.currentRProperty(s).b, bold) << mode;
        EXPECT_FALSE(text.currentRProperty(s).b) << mode;
    }
    // Each exporter hands its page runs of its own format.
    html.begainConvertPDF(test::makeTempDir() + "/x.html", nullptr);
    html.beginPage(Rect(0, 0, 612, 792), 0);
    html.usingDocxMainText("a", Size{6, 0}, stateAt());
    rtf.begainConvertPDF(test::makeTempDir() + "/x.rtf", nullptr);
    rtf.beginPage(Rect(0, 0, 612, 792), 0);
    rtf.usingDocxMainText("a", Size{6, 0}, stateAt());
    ASSERT_EQ(html.ruzIzevudara()->currentPage()->allRunTextArray().size(), 1u);
    ASSERT_EQ(rtf.ruzIzevudara()->currentPage()->allRunTextArray().size(), 1u);
    EXPECT_EQ(html.ruzIzevudara()->currentPage()->allRunTextArray()[0]->format(), QXFlowFormat::HTML);
    EXPECT_EQ(rtf.ruzIzevudara()->currentPage()->allRunTextArray()[0]->format(), QXFlowFormat::RTF);
}

} // namespace
} // namespace rz
