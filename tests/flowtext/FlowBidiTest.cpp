// Right-to-left text, which a PDF draws in visual order, reaches the text,
// HTML and RTF outputs in reading order, each word keeping its formatting;
// left-to-right lines are written as before.
#include "flowtext/html/QXHTMLFileWriter.h"
#include "flowtext/html/QXHTMLPage.h"
#include "flowtext/html/QXHTMLParagraph.h"
#include "flowtext/html/QXHTMLRun.h"
#include "flowtext/html/QXHTMLState.h"
#include "flowtext/rtf/QXRTFFileWriter.h"
#include "flowtext/rtf/QXRTFPage.h"
#include "flowtext/rtf/QXRTFParagraph.h"
#include "flowtext/rtf/QXRTFRun.h"
#include "flowtext/rtf/QXRTFState.h"
#include "flowtext/text/QXTextFileWriter.h"
#include "platform/core/Numbers.h"
#include "tests/flowtext/ConversionSupport.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace rz {
namespace {

constexpr double kAdvance = 6;

// One run per character of a text drawn left to right from `x`, each
// kAdvance wide, made by `make(text, x, bottom, width)`.
template <typename Make>
QXFlowRunList glyphRuns(const std::string& visual, double x, double bottom, Make make)
{
    QXFlowRunList runs;
    for (const char16_t u : utf8ToUtf16(visual)) {
        runs.push_back(make(utf16ToUtf8(std::u16string(1, u)), x, bottom, kAdvance));
        x += kAdvance;
    }
    return runs;
}

QXFlowRunList textGlyphs(const std::string& visual, double x, double bottom)
{
    return glyphRuns(visual, x, bottom, [](const std::string& t, double x0, double b, double w) {
        return QXFlowRunTextRef(test::word(t, x0, b, w));
    });
}

QXFlowRunList join(std::initializer_list<QXFlowRunList> lists)
{
    QXFlowRunList all;
    for (const QXFlowRunList& l : lists)
        all.insert(all.end(), l.begin(), l.end());
    return all;
}

template <typename Paragraph>
std::shared_ptr<Paragraph> paragraphOf(const QXFlowRunList& runs)
{
    auto p = std::make_shared<Paragraph>();
    p->initWithRunArray(std::vector<QXFlowRunRef>(runs.begin(), runs.end()));
    return p;
}

// A run of the HTML or RTF format, bold or not, with the geometry of a
// plain-text glyph run.
template <typename RunText>
QXFlowRunList styledGlyphs(const std::string& visual, double x, double bottom, bool bold)
{
    return glyphRuns(visual, x, bottom, [bold](const std::string& t, double x0, double b, double w) {
        auto shape = test::word(t, x0, b, w);
        auto run = std::make_shared<RunText>();
        run->setCtmInfo(shape->ctmInfo());
        QXDocx_RPr r = QXDocxUtilities::defaultRProperty();
        QXDocxSetText(r.rFonts.ascii, "Arial");
        r.sz = 12;
        r.b = bold;
        run->setRProperty(r);
        run->setRunText(shape->runText());
        run->setTextWidth(w);
        run->setSpaceWidth(3);
        return QXFlowRunTextRef(run);
    });
}

// "مرحبا بالعالم" drawn in visual order, "بالعالم" (drawn first, on the
// left) in bold.
template <typename RunText>
QXFlowRunList greeting(double bottom)
{
    return join({styledGlyphs<RunText>("ملاعلاب", 100, bottom, true),
                 styledGlyphs<RunText>(" ابحرم", 100 + 7 * kAdvance, bottom, false)});
}

std::vector<std::string> nonBlankLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class TextPageOrder : public ::testing::Test {
protected:
    std::string path = test::makeTempDir() + "/out.txt";
    std::shared_ptr<QXTextFileWriter> writer = QXTextFileWriter::initWithPath(path);
    std::string written()
    {
        writer->closeFile();
        return test::readFile(path);
    }
};

TEST_F(TextPageOrder, RightToLeftLinesAreWrittenInReadingOrder)
{
    QXTextPage page;
    page.initWithXMLWriter(writer, Size{612, 792}, false);
    page.begainWritePage(1);
    page.allRunTextArray() = join({
        // A right-to-left word (presentation forms) between left-to-right ones.
        textGlyphs("Hello \uFEAA\uFEE4\uFEA4\uFEE3 World.", 72, 100),
        // Two cells of a right-to-left table row: the right one is read first.
        textGlyphs("1234", 270, 140), textGlyphs("ططق 47 يدنع", 470, 140),
        // Left to right only.
        textGlyphs("plain (text) 12%", 72, 180),
    });
    page.endWritePage(1);
    // (Blank lines stand for the gaps between the lines.)
    EXPECT_EQ(nonBlankLines(written()), (std::vector<std::string>{"Hello \uFEE3\uFEA4\uFEE4\uFEAA World.",
                                                                  "عندي 47 قطط    1234", "plain (text) 12%"}));
}

TEST_F(TextPageOrder, RowsMergedIntoOneParagraphAreReorderedEachOnItsOwn)
{
    QXTextPage page;
    page.initWithXMLWriter(writer, Size{612, 792}, false);
    // Two rows of one paragraph, the second starting left of where the
    // first ended; the layout put a space after the first row's last run.
    QXFlowRunList first = textGlyphs("جبا", 100, 100);
    first.back()->runText() += u" ";
    page.paragraphArray() = {paragraphOf<QXTextParagraph>(join({first, textGlyphs("ناطلس", 100, 104)}))};
    page._writeParagraphs(*writer);
    EXPECT_EQ(written(), "ابج سلطان");
}

TEST(FlowBidiStyles, HtmlWordsKeepTheirTags)
{
    QXHTMLState::sharedInstance().resetToDefault();
    const std::string path = test::makeTempDir() + "/out.html";
    auto writer = QXHTMLFileWriter::initWithPath(path);
    QXHTMLPage page;
    page.initWithXMLWriter(writer, Size{612, 792}, false);
    page.paragraphArray() = {paragraphOf<QXHTMLParagraph>(greeting<QXHTMLRunText>(100))};
    page._writeParagraphs(*writer);
    writer->closeFile();
    EXPECT_EQ(test::readFile(path), "\n<p class=\"p0\"><span class=\"s0\">مرحبا <b>بالعالم</b></span></p>");
}

TEST(FlowBidiStyles, RtfWordsKeepTheirFontChanges)
{
    QXRTFState::sharedInstance().resetToDefault();
    const std::string path = test::makeTempDir() + "/out.rtf";
    auto writer = QXRTFFileWriter::initWithPath(path);
    QXRTFPage page;
    page.initWithXMLWriter(writer, Size{612, 792}, false);
    page.paragraphArray() = {paragraphOf<QXRTFParagraph>(greeting<QXRTFRunText>(100))};
    page._writeParagraphs(*writer);
    writer->closeFile();
    const auto escaped = [](const std::string& text) {
        std::string out;
        for (const char16_t u : utf8ToUtf16(text))
            out += u == u' ' ? std::string(" ") : "\\uc0\\u" + formatInteger(static_cast<int>(u)) + " ";
        return out;
    };
    EXPECT_EQ(test::readFile(path), "\\par\\pard\\li2000 \\f1\\i0\\b0\\ul0\\fs24 \\cf0 " + escaped("مرحبا ") + "\\b " +
                                        escaped("بالعالم"));
}

// --- Whole conversions ---

const char* const kBidiTools = "/usr/bin/python3 " RZ_TEST_SOURCE_DIR "/tests/flowtext/";

// Hex codes of a text's code points, four digits each: with the fixture's
// fonts (Identity-H, no Unicode map) each code is its own character.
std::string codes(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex = "<";
    for (const char16_t u : utf8ToUtf16(text))
        for (int shift = 12; shift >= 0; shift -= 4)
            hex += digits[(u >> shift) & 0xF];
    return hex + ">";
}

std::string bidiFixture()
{
    const std::string cid = "<< /Type /Font /Subtype /CIDFontType2 /CIDSystemInfo << /Registry (Adobe) "
                            "/Ordering (Identity) /Supplement 0 >> /DW 500 ";
    test::PageFixture page;
    page.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type0 /BaseFont /TestSans /Encoding /Identity-H "
                     "/DescendantFonts [" + cid + "/BaseFont /TestSans >>] >>"
                     " /F2 << /Type /Font /Subtype /Type0 /BaseFont /TestSans-Bold /Encoding /Identity-H "
                     "/DescendantFonts [" + cid + "/BaseFont /TestSans-Bold >>] >> >> >>";
    // Each line drawn left to right, right-to-left words letter-reversed.
    page.content = "BT /F1 12 Tf 72 720 Td " + codes("Hello \uFEAA\uFEE4\uFEA4\uFEE3 World.") + " Tj ET\n"
                   "BT /F1 12 Tf 72 690 Td " + codes("1234") + " Tj ET\n"
                   "BT /F1 12 Tf 300 690 Td " + codes("ططق 47 يدنع") + " Tj ET\n"
                   "BT /F2 12 Tf 72 660 Td " + codes("ملاعلاب") + " Tj /F1 12 Tf " + codes(" ابحرم") + " Tj ET\n"
                   "BT /F1 12 Tf 72 630 Td " + codes("Left to right (only) 12%") + " Tj ET";
    return test::writeTempFile(test::makePdf({page}), "bidi.pdf");
}

TEST(FlowBidiConversion, RightToLeftWordsAreReadInOrderInEveryFormat)
{
    const std::string pdf = bidiFixture();
    const std::string folder = test::makeTempDir();
    for (const char* type : {"txt", "html", "rtf"}) {
        const std::string dest = folder + "/bidi." + type;
        ASSERT_FALSE(test::convertFile(pdf, type, dest).error) << type;
        std::string report;
        EXPECT_EQ(test::phrasesInOrder(dest,
                                 {"Hello محمد World.", "عندي 47 قطط 1234", "مرحبا بالعالم", "Left to right (only) 12%"},
                                 &report),
                  0)
            << type << "\n" << report;
    }
    // The bold word keeps its formatting.
    EXPECT_NE(test::readFile(folder + "/bidi.html").find("<b>بالعالم</b>"), std::string::npos);
}

TEST(FlowBidiConversion, CorpusRightToLeftFilesAreReadInOrder)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string folder = test::makeTempDir();
    for (const char* type : {"txt", "html", "rtf"}) {
        // A right-to-left table (presentation forms, lam-alef ligatures, a
        // number, a Latin name): each cell's words in reading order, the
        // right cell of a row before the left one. The tanween over
        // "مرحباً" is drawn above its line and comes out on its own.
        const std::string table = folder + "/arabic." + type;
        ASSERT_FALSE(test::convertFile(test::corpusFile("tables/tabula/arabic.pdf"), type, table).error) << type;
        std::string report;
        EXPECT_EQ(test::phrasesInOrder(table,
                                 {"اسمي سلطان", "مرحبا", "من اين انت؟", "انا من ولاية كارولينا الشمال",
                                  "عندي 47 قطط", "1234", "اسمي Jeremy في الانجليزية", "هل انت شباك؟",
                                  "Jeremy is جرمي in Arabic"},
                                 &report),
                  0)
            << type << "\n" << report;

        // Four lines of one Arabic phrase, each in another font.
        const std::string fonts = folder + "/fonts." + type;
        ASSERT_FALSE(test::convertFile(test::corpusFile("fonts/ArabicCIDTrueType.pdf"), type, fonts).error) << type;
        EXPECT_EQ(test::phrasesInOrder(fonts, std::vector<std::string>(4, "انواع الخطوط العربية"), &report), 0)
            << type << "\n" << report;

        // Hebrew and Arabic ligatures: each glyph's letters stay in their order.
        const std::string ligatures = folder + "/ligatures." + type;
        ASSERT_FALSE(
            test::convertFile(test::corpusFile("text/PDFBOX-4531-bidi-ligature-2.pdf"), type, ligatures).error);
        EXPECT_EQ(test::runCommand(std::string(kBidiTools) + "text_metrics.py exact '" + ligatures + "' '" +
                                       test::corpusFile("text/PDFBOX-4531-bidi-ligature-2.pdf-sorted.txt") + "'",
                                   &report),
                  0)
            << type << "\n" << report;
    }
}

} // namespace
} // namespace rz
