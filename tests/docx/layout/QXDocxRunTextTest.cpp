// The text run: blank flags, the duplicate test, blanks added and split off,
// the bottom line, the font clean-up (half-point sizes, installed fonts,
// word line heights), the w:r writer and the class operations.
#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxRunText.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

using namespace rz;
using test::writeWordprocessingML;

namespace {

const std::string kDefaultFonts =
    R"(<w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" )"
    R"(w:eastAsia="Times New Roman"/>)";

// A run of `text` with its pen at (x, yBase), a frame `width` wide and 12
// high whose top is 9 above the baseline.
QXDocxRunTextPtr makeRun(const std::string& text, double x, double yBase, double width = 10)
{
    auto run = std::make_shared<QXDocxRunText>();
    run->setRunText(text);
    QXPDF_CTMInfo info;
    info.xLeft = x;
    info.xRight = x + width;
    info.yBase = yBase;
    info.yTop = yBase - 9;
    info.yAscent = yBase - 9;
    info.yDescent = yBase + 3;
    info.yBottom = yBase + 3;
    info.frame = Rect(x, yBase - 9, width, 12);
    info.topLeft = Point{x, yBase - 9};
    info.bottomLeft = Point{x, yBase + 3};
    run->setCtmInfo(info);
    run->setTextWidth(width);
    return run;
}

std::string written(QXDocxRunText& run)
{
    return writeWordprocessingML([&](XMLFileWriter& w) { run.writeWithXMLWriter(w); });
}

void setFont(QXDocx_RPr& property, const char* name, QXDocx_RFonts QXDocx_RPr::*which = &QXDocx_RPr::rFonts)
{
    QXDocx_RFonts& fonts = property.*which;
    QXDocxSetText(fonts.ascii, name);
    QXDocxSetText(fonts.hAnsi, name);
    QXDocxSetText(fonts.cs, name);
    QXDocxSetText(fonts.eastAsia, name);
}

} // namespace

TEST(QXDocxRunTextTest, NewRunText)
{
    QXDocxRunText run;
    EXPECT_EQ(run.textScanIndex(), 0u);
    EXPECT_EQ(run.textScanLength(), 1u);
    EXPECT_EQ(run.runText(), "");
    EXPECT_EQ(run.spaceWidth(), 0);
    EXPECT_EQ(run.wordSingleLineHeight(), 0);
    EXPECT_EQ(run.rProperty().sz, 12.0f);
}

TEST(QXDocxRunTextTest, BlankFlagsClearOnlyOnEmptyText)
{
    QXDocxRunText run;
    run.setRunText(" x");
    EXPECT_TRUE(run.isSpaceFirst());
    EXPECT_FALSE(run.isSpaceLast());
    run.setRunText("y");
    EXPECT_TRUE(run.isSpaceFirst());
    run.setRunText("y ");
    EXPECT_TRUE(run.isSpaceLast());
    run.setRunText("");
    EXPECT_FALSE(run.isSpaceFirst());
    EXPECT_FALSE(run.isSpaceLast());
}

TEST(QXDocxRunTextTest, DuplicateTest)
{
    struct Case {
        double x;
        double yBase;
        const char* text;
        bool duplicate;
    };
    const Case cases[] = {
        {10, 100, "A", true},     {11.5, 100, "A", true},  {11.6, 100, "A", false}, {8.5, 100, "A", true},
        {8.4, 100, "A", false},   {10, 101.0, "A", true},  {10, 101.1, "A", false}, {10, 98.9, "A", false},
        {10, 100, "B", false},
    };
    const auto first = makeRun("A", 10, 100);
    for (const Case& c : cases)
        EXPECT_EQ(first->isDuplicateRunText(*makeRun(c.text, c.x, c.yBase)), c.duplicate)
            << c.text << " at " << c.x << ", " << c.yBase;

    auto bold = makeRun("A", 10, 100);
    QXDocx_RPr property = bold->rProperty();
    property.b = true;
    bold->setRProperty(property);
    EXPECT_FALSE(first->isDuplicateRunText(*bold));
}

TEST(QXDocxRunTextTest, BlankRuns)
{
    EXPECT_TRUE(makeRun("  \t", 0, 0)->isBankSpaceRunText());
    EXPECT_TRUE(makeRun("", 0, 0)->isBankSpaceRunText());
    EXPECT_FALSE(makeRun(" a ", 0, 0)->isBankSpaceRunText());
    for (auto field : {&QXDocx_RPr::u, &QXDocx_RPr::strikethrough}) {
        auto marked = makeRun("   ", 0, 0);
        QXDocx_RPr property = marked->rProperty();
        property.*field = 1;
        marked->setRProperty(property);
        EXPECT_FALSE(marked->isBankSpaceRunText());
    }
}

TEST(QXDocxRunTextTest, AddBlankBehindWidensTheRun)
{
    auto run = makeRun("ab", 10, 100, 20);
    run->setSpaceWidth(3);
    EXPECT_EQ(run->addBlankSpaceTextBehind(), 3);
    EXPECT_EQ(run->runText(), "ab ");
    EXPECT_TRUE(run->isSpaceLast());
    EXPECT_EQ(run->textWidth(), 23);
    EXPECT_EQ(run->displayRect(), Rect(10, 91, 23, 12));
    EXPECT_EQ(run->ctmInfo().xRight, 33);
}

TEST(QXDocxRunTextTest, SplitTrailingBlank)
{
    auto single = makeRun("ab ", 10, 100, 20);
    EXPECT_EQ(single->splitBlackSpaceRunTextBehind(), nullptr);
    EXPECT_EQ(single->runText(), "ab ");
    EXPECT_EQ(single->textWidth(), 20);

    auto run = makeRun("ab ", 10, 100, 20);
    run->setSpaceWidth(4);
    run->setPdfScanIndex(6);
    run->setPdfScanLength(3);
    run->setIsAnnotion(true);
    run->setPdfScanIndex_BegainText(2);
    run->setPdfScanIndex_ShowText(5);
    run->setInsideSpacing(1.5);
    QXDocx_RPr property = run->rProperty();
    property.spacing = 0.75f;
    property.b = true;
    run->setRProperty(property);

    const QXDocxRunTextPtr split = run->splitBlackSpaceRunTextBehind();
    ASSERT_TRUE(split);
    EXPECT_EQ(run->runText(), "ab");
    EXPECT_EQ(run->textWidth(), 16);
    EXPECT_EQ(run->displayRect(), Rect(10, 91, 16, 12));
    EXPECT_EQ(run->pdfScanIndex(), 6u);
    EXPECT_EQ(run->pdfScanLength(), 2u);

    EXPECT_EQ(split->runText(), " ");
    EXPECT_EQ(split->textWidth(), 4);
    EXPECT_EQ(split->spaceWidth(), 4);
    EXPECT_EQ(split->outsideSpacing(), 4);
    EXPECT_EQ(split->insideSpacing(), 0);
    EXPECT_EQ(split->pdfScanIndex(), 8u);
    EXPECT_EQ(split->pdfScanLength(), 1u);
    EXPECT_TRUE(split->isAnnotion());
    EXPECT_EQ(split->pdfScanIndex_BegainText(), 2u);
    EXPECT_EQ(split->pdfScanIndex_ShowText(), 5u);
    EXPECT_EQ(split->rProperty().spacing, 0.0f);
    EXPECT_TRUE(split->rProperty().b);
    const QXPDF_CTMInfo& info = split->ctmInfo();
    EXPECT_EQ(info.frame, Rect(26, 91, 4, 12));
    EXPECT_EQ(info.xLeft, 26);
    EXPECT_EQ(info.xRight, 30);
    EXPECT_EQ(info.yTop, 91);
    EXPECT_EQ(info.yBottom, 103);
    EXPECT_EQ(info.yDescent, 103);
    EXPECT_EQ(info.yBase, 100);
    EXPECT_EQ(info.bottomLeft.x, 26);
    EXPECT_EQ(info.bottomLeft.y, 103);

    // No trailing white space: the text stays and the blank adds no space.
    auto word = makeRun("a\xC3\xA9", 0, 100, 20);  // "aé"
    word->setSpaceWidth(4);
    word->setPdfScanLength(2);
    const QXDocxRunTextPtr none = word->splitBlackSpaceRunTextBehind();
    ASSERT_TRUE(none);
    EXPECT_EQ(word->runText(), "a\xC3\xA9");
    EXPECT_EQ(word->textWidth(), 20);
    EXPECT_EQ(none->outsideSpacing(), 0);
    EXPECT_EQ(none->displayRect(), Rect(20, 91, 4, 12));

    // A trailing no-break space (two bytes in UTF-8) goes as a whole.
    auto nbsp = makeRun("a\xC2\xA0", 0, 100, 20);
    nbsp->setSpaceWidth(4);
    nbsp->setPdfScanLength(2);
    ASSERT_TRUE(nbsp->splitBlackSpaceRunTextBehind());
    EXPECT_EQ(nbsp->runText(), "a");
}

TEST(QXDocxRunTextTest, DoubleBottomLine)
{
    auto run = makeRun("a", 0, 100);  // top 91, height 12
    EXPECT_DOUBLE_EQ(run->doubleBottomLine(), 91 + 18 + 1);
    run->setWordSingleLineHeight(14);
    EXPECT_DOUBLE_EQ(run->doubleBottomLine(), 91 + 21 + 1);
}

TEST(QXDocxRunTextTest, HalfPointSizeKeepsTheWidthInTheSpacing)
{
    auto run = makeRun("abcd", 0, 100, 40);
    run->setSpaceWidth(3.175);
    QXDocx_RPr property = run->rProperty();
    property.sz = 12.7f;
    property.szCs = 12.7f;
    setFont(property, "No Such Font Anywhere");
    run->setRProperty(property);
    run->optimizePropertyAtStart(false);

    const double ratio = 12.5 / static_cast<double>(12.7f);
    EXPECT_EQ(run->rProperty().sz, 12.5f);
    EXPECT_EQ(run->rProperty().szCs, 12.5f);
    EXPECT_NEAR(run->insideSpacing(), (1 - ratio) * 40, 1e-9);
    EXPECT_NEAR(run->insideSpacing(), 0.2 / 12.7 * 40, 1e-5);
    EXPECT_EQ(run->rProperty().spacing, static_cast<float>(run->insideSpacing()));
    EXPECT_NEAR(run->spaceWidth(), ratio * 3.175, 1e-9);
    EXPECT_EQ(run->textWidth(), 40);
    // The font is not installed: no word line values.
    EXPECT_EQ(run->wordSingleLineHeight(), 0);
}

TEST(QXDocxRunTextTest, ZeroSizeNeverMakesNaN)
{
    for (float size : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()}) {
        auto run = makeRun("abcd", 0, 100, 40);
        run->setSpaceWidth(3);
        QXDocx_RPr property = run->rProperty();
        property.sz = size;
        run->setRProperty(property);
        run->optimizePropertyAtStart(false);
        EXPECT_EQ(run->insideSpacing(), 0) << size;
        EXPECT_EQ(run->spaceWidth(), 3) << size;
        EXPECT_TRUE(std::isfinite(run->rProperty().spacing)) << size;
        EXPECT_EQ(written(*run).find("nan"), std::string::npos) << size;
    }

    // Spacing that is not finite by any other way is not written either.
    auto run = makeRun("ab", 0, 100);
    run->setInsideSpacing(std::numeric_limits<double>::quiet_NaN());
    const std::string xml = written(*run);
    EXPECT_EQ(xml.find("nan"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("w:spacing"), std::string::npos) << xml;
}

TEST(QXDocxRunTextTest, MeasuredInTheInstalledFont)
{
    // Liberation Serif has Times' widths: "Hello" is 2222/1000 em, a blank
    // 250/1000 em; its line is 1.1499 em high (word-line-height.tsv).
    auto run = makeRun("Hello", 5, 100, 30);
    run->setSpaceWidth(2);
    QXDocx_RPr property = run->rProperty();
    property.sz = 12.2f;
    setFont(property, "Liberation Serif");
    run->setRProperty(property);
    run->optimizePropertyAtStart(true);
    EXPECT_EQ(run->rProperty().sz, 12.0f);
    EXPECT_NEAR(run->textWidth(), 2.222 * 12, 0.05);
    EXPECT_NEAR(run->displayRect().size.width, 2.222 * 12, 0.05);
    EXPECT_NEAR(run->ctmInfo().xRight, 5 + 2.222 * 12, 0.05);
    EXPECT_NEAR(run->spaceWidth(), 3.0, 0.01);
    EXPECT_NEAR(run->wordSingleLineHeight(), 1.1499 * 12, 0.01);
    EXPECT_GE(run->wordSingleLineBlankTop(), 0);

    // Not installed: the installed replacement measures and lends its names.
    auto replaced = makeRun("Hello", 5, 100, 30);
    property = replaced->rProperty();
    property.sz = 12;
    setFont(property, "No Such Font Anywhere");
    setFont(property, "Liberation Sans", &QXDocx_RPr::rFonts_replace);
    replaced->setRProperty(property);
    replaced->optimizePropertyAtStart(true);
    EXPECT_STREQ(replaced->rProperty().rFonts.ascii, "Liberation Sans");
    EXPECT_STREQ(replaced->rProperty().rFonts.eastAsia, "Liberation Sans");
    // Arial's widths: H 722, e 556, l 222, l 222, o 556; blank 278.
    EXPECT_NEAR(replaced->textWidth(), 2.278 * 12, 0.05);
    EXPECT_NEAR(replaced->spaceWidth(), 0.278 * 12, 0.01);
    EXPECT_GT(replaced->wordSingleLineHeight(), 12);

    // A bold run is measured in the bold face (Times bold: H 778, e 444,
    // l 278, l 278, o 500).
    for (const auto& [bold, italic, em] : {std::tuple{true, false, 2.278}}) {
        auto styled = makeRun("Hello", 5, 100, 30);
        QXDocx_RPr face = styled->rProperty();
        face.sz = 12;
        face.b = bold;
        face.i = italic;
        setFont(face, "Liberation Serif");
        styled->setRProperty(face);
        styled->optimizePropertyAtStart(true);
        EXPECT_NEAR(styled->textWidth(), em * 12, 0.05) << bold << italic;
    }

    // replaceFonts off: nothing is measured or renamed.
    auto kept = makeRun("Hello", 5, 100, 30);
    kept->setRProperty(property);
    kept->optimizePropertyAtStart(false);
    EXPECT_EQ(kept->textWidth(), 30);
    EXPECT_STREQ(kept->rProperty().rFonts.ascii, "No Such Font Anywhere");
}

TEST(QXDocxRunTextTest, WritesRunWithSpacingPerCharacter)
{
    const std::string head = "<w:r><w:rPr>" + kDefaultFonts +
                             R"(<w:sz w:val="24"/><w:szCs w:val="24"/><w:color w:val="000000"/>)";
    struct Case {
        const char* text;
        double inside;
        double outside;
        const char* spacing;  // twentieths of a point, or "" for none
        const char* escaped;
    };
    const Case cases[] = {
        {"a", 0.5, 0.5, "20", "a"},
        {"abcd", 1.5, 0.5, "10", "abcd"},
        {"a<&", 0, 0, "", "a&lt;&amp;"},
        {"a b", 0, 0, "", "a b"},
        {"\xE4\xB8\xAD\xE6\x96\x87", 1, 1, "20", "\xE4\xB8\xAD\xE6\x96\x87"},  // two characters
    };
    for (const Case& c : cases) {
        auto run = makeRun(c.text, 0, 100);
        run->setInsideSpacing(c.inside);
        run->setOutsideSpacing(c.outside);
        const std::string spacing = *c.spacing ? std::string(R"(<w:spacing w:val=")") + c.spacing + "\"/>" : "";
        EXPECT_EQ(written(*run), head + spacing + "<w:noProof/></w:rPr><w:t>" + c.escaped + "</w:t></w:r>")
            << c.text;
        // The run's own record is not changed by writing.
        EXPECT_EQ(run->rProperty().spacing, 0.0f);
    }

    // White space at either end is marked as kept: word processors drop it
    // otherwise, and the words on both sides of a blank run run together.
    for (const char* text : {" ", "a ", " a", "\ta"}) {
        auto run = makeRun(text, 0, 100);
        const std::string xml = written(*run);
        EXPECT_NE(xml.find(std::string(R"(<w:t xml:space="preserve">)") + text + "</w:t>"), std::string::npos)
            << xml;
    }

    // A soft hyphen becomes Word's optional hyphen between the pieces.
    const struct {
        const char* text;
        const char* body;
    } hyphens[] = {
        {"hydrody\u00AD", "<w:t>hydrody</w:t><w:softHyphen/>"},
        {"hydro\u00ADdy\u00ADnamical", "<w:t>hydro</w:t><w:softHyphen/><w:t>dy</w:t><w:softHyphen/><w:t>namical</w:t>"},
        {"\u00AD", "<w:softHyphen/>"},
        {"", "<w:t></w:t>"},
    };
    for (const auto& c : hyphens) {
        const std::string xml = written(*makeRun(c.text, 0, 100));
        EXPECT_NE(xml.find(std::string("</w:rPr>") + c.body + "</w:r>"), std::string::npos) << xml;
    }
}

TEST(QXDocxRunTextTest, ArrayOperations)
{
    auto a = makeRun("a", 0, 10);
    auto b = makeRun("b", 20, 10.9);
    auto c = makeRun("c", 40, 11.8);
    auto d = makeRun("d", 60, 9.5);

    // Compared with the first run, not the previous one.
    EXPECT_EQ(QXDocxRunText::CollectSameBaseLineRunTexts({a, b, c}), (QXDocxRunTextArray{a, b}));
    EXPECT_TRUE(QXDocxRunText::CollectSameBaseLineRunTexts({}).empty());
    EXPECT_EQ(QXDocxRunText::FindMinBaseLineRunText({a, b, c, d}), d);
    EXPECT_EQ(QXDocxRunText::FindMinBaseLineRunText({a, makeRun("e", 0, 10)}), a);
    EXPECT_EQ(QXDocxRunText::FindMinBaseLineRunText({}), nullptr);

    EXPECT_EQ(QXDocxRunText::FindBottomAfterRunText({a, b, c}), c);
    auto tall = makeRun("t", 0, 10);
    tall->setWordSingleLineHeight(13);  // deeper than a's frame height of 12
    EXPECT_EQ(QXDocxRunText::FindBottomAfterRunText({a, tall}), tall);
    EXPECT_EQ(QXDocxRunText::FindBottomAfterRunText({a, makeRun("e", 0, 10)}), a);
    EXPECT_EQ(QXDocxRunText::FindBottomAfterRunText({}), nullptr);

    EXPECT_EQ(QXDocxRunText::FrameOfRunTextArray({}), Rect::zero());
    EXPECT_TRUE(QXRectIsEqualWithTolerance(QXDocxRunText::FrameOfRunTextArray({b}), Rect(20, 1.9, 10, 12), 1e-9));
    EXPECT_TRUE(
        QXRectIsEqualWithTolerance(QXDocxRunText::FrameOfRunTextArray({a, c}), Rect(0, 1, 50, 13.8), 1e-9));
}

TEST(QXDocxRunTextTest, TextScanIndicesFollowTheDrawingOrder)
{
    auto a = makeRun("a", 0, 0), b = makeRun("b", 0, 0), c = makeRun("c", 0, 0);
    a->setPdfScanIndex(8);
    b->setPdfScanIndex(3);
    c->setPdfScanIndex(8);
    a->setTextScanLength(4);
    QXDocxRunTextArray runs{a, b, c};
    QXDocxRunText::UpdateRunTextArrayPDFScanIndex(runs);
    EXPECT_EQ(runs, (QXDocxRunTextArray{b, a, c}));
    EXPECT_EQ(b->textScanIndex(), 0u);
    EXPECT_EQ(a->textScanIndex(), 1u);
    EXPECT_EQ(c->textScanIndex(), 2u);
    EXPECT_EQ(a->textScanLength(), 1u);
    EXPECT_EQ(a->pdfScanIndex(), 8u);  // the drawing order itself is kept
}

TEST(QXDocxRunTextTest, AnnotationGroups)
{
    auto annotated = [](const char* text, bool isAnnot, std::int64_t index) {
        auto run = makeRun(text, 0, 0);
        run->setIsAnnotion(isAnnot);
        run->setPdfAnnotionIndex(index);
        return run;
    };
    auto a = annotated("a", true, 1), b = annotated("b", false, 1), c = annotated("c", true, 1),
         d = annotated("d", true, 2), e = annotated("e", false, 0);

    EXPECT_EQ(QXDocxRunText::FindSameAnnotionRunText({a, b, c, d}), (QXDocxRunTextArray{a, c}));
    EXPECT_EQ(QXDocxRunText::FindSameAnnotionRunText({b}), (QXDocxRunTextArray{b}));
    EXPECT_TRUE(QXDocxRunText::FindSameAnnotionRunText({}).empty());

    QXDocxRunTextArray runs{a, b, c, d, e};
    const auto groups = QXDocxRunText::FindGroupSameAnnotionRunText(runs);
    EXPECT_TRUE(runs.empty());
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0], (QXDocxRunTextArray{a, c}));
    EXPECT_EQ(groups[1], (QXDocxRunTextArray{b}));
    EXPECT_EQ(groups[2], (QXDocxRunTextArray{d}));
    EXPECT_EQ(groups[3], (QXDocxRunTextArray{e}));
    QXDocxRunTextArray none;
    EXPECT_TRUE(QXDocxRunText::FindGroupSameAnnotionRunText(none).empty());
}

TEST(QXDocxRunTextTest, CopyIsIndependent)
{
    auto run = makeRun("abc", 1, 2);
    run->setSpaceWidth(3);
    run->setWordSingleLineHeight(14);
    run->setTextScanIndex(5);
    const auto copy = std::dynamic_pointer_cast<QXDocxRunText>(run->copy());
    ASSERT_TRUE(copy);
    copy->addBlankSpaceTextBehind();
    EXPECT_EQ(run->runText(), "abc");
    EXPECT_EQ(copy->runText(), "abc ");
    EXPECT_EQ(copy->spaceWidth(), 3);
    EXPECT_EQ(copy->wordSingleLineHeight(), 14);
    EXPECT_EQ(copy->textScanIndex(), 5u);
}

// python-docx, as a user's script would, reads a paragraph of written runs
// back: the words with the blank run between them, the size and the font.
TEST(QXDocxRunTextTest, PythonDocxReadsTheRuns)
{
    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python3-docx is not installed";

    QXDocxRunTextArray runs{makeRun("Hello", 0, 100), makeRun(" ", 30, 100), makeRun("w\xC3\xB6rld & co", 33, 100)};
    for (const QXDocxRunTextPtr& run : runs) {
        QXDocx_RPr property = run->rProperty();
        property.sz = 10.5f;
        setFont(property, "Liberation Serif");
        run->setRProperty(property);
        run->setInsideSpacing(0.6);
    }

    bool ran = false;
    const std::string out = test::readFirstParagraphWithPythonDocx(
        [&](XMLFileWriter& writer) {
            writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
            for (const QXDocxRunTextPtr& run : runs)
                run->writeWithXMLWriter(writer);
        },
        "print(repr(p.text), [r.text for r in p.runs], p.runs[2].font.size.pt, p.runs[0].font.name)\n", ran);
    ASSERT_TRUE(ran) << out;
    EXPECT_EQ(out, "'Hello w\xC3\xB6rld & co' ['Hello', ' ', 'w\xC3\xB6rld & co'] 10.5 Liberation Serif\n");
}
