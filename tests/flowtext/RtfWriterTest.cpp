// The RTF writer: control words, tables, escaping, paragraphs and the
// document skeleton, against exact strings.
#include "flowtext/QXFlowTextAppInfo.h"
#include "flowtext/rtf/QXRTFFileWriter.h"
#include "flowtext/rtf/QXRTFPDFExporter.h"
#include "flowtext/rtf/QXRTFParagraph.h"
#include "flowtext/rtf/QXRTFRun.h"
#include "flowtext/rtf/QXRTFState.h"
#include "flowtext/rtf/QXRTFUtilities.h"
#include "tests/flowtext/FlowTestSupport.h"
#include "tests/support/HostileText.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

class RtfWriting : public ::testing::Test {
protected:
    void SetUp() override { QXRTFState::sharedInstance().resetToDefault(); }
    std::string written()
    {
        writer->closeFile();
        return test::readFile(path);
    }
    QXRTFState& state = QXRTFState::sharedInstance();
    std::string path = test::makeTempDir() + "/out.rtf";
    std::shared_ptr<QXRTFFileWriter> writer = QXRTFFileWriter::initWithPath(path);
};

std::shared_ptr<QXRTFRunText> rtfRun(const std::string& text, const std::string& font = "Arial Unicode MS",
                                     float size = 12, bool bold = false, int underline = 0,
                                     QXDocx_Color color = {0, 0, 0, 255})
{
    auto run = std::make_shared<QXRTFRunText>();
    QXDocx_RPr r = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(r.rFonts.ascii, font);
    r.sz = size;
    r.b = bold;
    r.u = underline;
    r.color = color;
    run->setRProperty(r);
    run->setRunText(utf8ToUtf16(text));
    return run;
}

TEST_F(RtfWriting, RunsWriteOnlyTheControlWordsThatChanged)
{
    rtfRun("a")->writeWithXMLWriter(*writer);                  // the document's first run: all of them
    rtfRun("b", "Arial Unicode MS", 12, true)->writeWithXMLWriter(*writer); // bold only
    rtfRun("c", "Arial Unicode MS", 12, true)->writeWithXMLWriter(*writer); // nothing
    rtfRun("d", "Arial Unicode MS", 12, true, 1)->writeWithXMLWriter(*writer);
    rtfRun("e", "Arial Unicode MS", 12, true, 0)->writeWithXMLWriter(*writer);
    rtfRun("f", "Helvetica", 10.75f, true)->writeWithXMLWriter(*writer);     // 21.5 half-points -> 21
    rtfRun("g", "Helvetica", 14, true, 0, {240, 240, 240, 255})->writeWithXMLWriter(*writer);
    rtfRun("h", "Helvetica", 14, true, 0, {200, 200, 200, 255})->writeWithXMLWriter(*writer);
    EXPECT_EQ(written(), "\\f0\\i0\\b0\\ul0\\fs24 \\cf0 a\\b b" "c\\ul d\\ul0 e\\f1\\fs21 f\\fs28 \\cf1 g\\cf2 h");

    // Fonts of one name share a number whatever their size.
    ASSERT_EQ(state.registeredFonts().size(), 2u);
    EXPECT_EQ(state.registeredFonts()[1].fontIndex, 1);
    const std::string tables = [&] {
        const std::string p = test::makeTempDir() + "/tables.rtf";
        auto w = QXRTFFileWriter::initWithPath(p);
        state.writeRegistedFonts(*w);
        state.writeRegistedColors(*w);
        w->closeFile();
        return test::readFile(p);
    }();
    EXPECT_EQ(tables, "\\f0\\fnil\\fcharset0 Arial Unicode MS;\\f1\\fnil\\fcharset0 Helvetica;"
                      "\\red0\\green0\\blue0;\\red128\\green128\\blue128;\\red200\\green200\\blue200;");
}

TEST_F(RtfWriting, TextIsEscaped)
{
    writer->writeContent(u"a{b}\\ \u00e9\u20ac\ufffd\t\r\x01x\n");
    writer->writeContent(u"\U0001F600");
    EXPECT_EQ(written(), "a\\{b\\}\\\\ \\uc0\\u233 \\uc0\\u8364 \\uc0\\u-3 \\tab x\\\n\\uc0\\u-10179 \\uc0\\u-8704 ");
}

TEST_F(RtfWriting, IndentationsRepeatAtMostFiveTimesLineBreaksAlways)
{
    for (int i = 0; i < 7; ++i)
        writer->writeIndentation();
    writer->write("|");
    for (int i = 0; i < 7; ++i)
        writer->writeLinebreak();
    EXPECT_EQ(written(), std::string(20, ' ') + "|\\\n\\\n\\\n\\\n\\\n\\\n\\\n");
}

TEST_F(RtfWriting, ParagraphsOpenWithTheirIndentInTwips)
{
    QXRTFParagraph p;
    QXDocx_PPr pp = p.pProperty();
    pp.ind.left = 108;
    p.setPProperty(pp);
    QXDocx_PgMar margin;
    margin.left = 72;
    p.setTextMargin(margin);
    p.writeNewLineWithXMLWriter(*writer);
    // A column paragraph indented from its own column: never negative.
    pp.ind.left = -10;
    p.setPProperty(pp);
    p.writeNewLineWithXMLWriter(*writer);
    // An empty paragraph writes a line break (an escaped line feed).
    p.writeWithXMLWriter(*writer);
    EXPECT_EQ(written(), "\\par\\pard\\li720 \\par\\pard\\li0 \\\n");
}

TEST_F(RtfWriting, FontNamesCannotBreakTheFontTable)
{
    for (const char* name : {"x}{\\rtf1", "Semi;colon", "\xC3\xA9t\xC3\xA9", "\t\n;", "\xFF\xFE bad"})
        rtfRun("t", name)->writeWithXMLWriter(*writer);
    written();
    std::string table;
    for (const auto& f : state.registeredFonts())
        table += f.rtfFormat();
    EXPECT_EQ(table, "\\f0\\fnil\\fcharset0 Arial Unicode MS;"
                     "\\f1\\fnil\\fcharset0 x\\}\\{\\\\rtf1;"
                     "\\f2\\fnil\\fcharset0 Semicolon;"
                     "\\f3\\fnil\\fcharset0 \\u233?t\\u233?;");
}

// Controls, noncharacters and ill-formed text from a PDF: the body and the
// font table hold 7-bit text only, with U+FFFD for what was ill-formed.
TEST_F(RtfWriting, HostileTextsAndFontNamesAreEscapedOrLeftOut)
{
    struct Body {
        std::u16string text;
        std::string rtf;
    };
    const Body bodies[] = {
        {u"a\x01\x1F\x7F\u0085\u009F" "b", "ab"},
        {u"\r\n", "\\\n"},
        {{0xD800, u'x'}, "\\uc0\\u-3 x"},
        {{0xDC00, 0xD83D}, "\\uc0\\u-3 \\uc0\\u-3 "},
        {u"\uFFFE\uFFFF\uFDD0y", "y"},
        {{0xD83F, 0xDFFE, u'z'}, "z"},
        {{0xD83D, 0xDE00}, "\\uc0\\u-10179 \\uc0\\u-8704 "},
    };
    for (const Body& b : bodies)
        EXPECT_EQ(writer->escapedContent(b.text), b.rtf);

    struct Name {
        const char* name;
        std::string rtf;
    };
    const Name names[] = {
        {"Caf\xE9-Gras\xAE", "Caf\\u-3?-Gras\\u-3?"},
        {"\x01\x7F\xC2\x85\xEF\xBF\xBE", ""},
        {"x\xED\xA0\x80", "x\\u-3?\\u-3?\\u-3?"},
        {"\xC0\xBB" "A", "\\u-3?\\u-3?A"},
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},
    };
    for (const Name& n : names)
        EXPECT_EQ(QXRTFUtilities::rtfFontName(n.name), n.rtf) << n.name;

    for (const auto& c : test::hostileUtf8Texts()) {
        const std::string name = QXRTFUtilities::rtfFontName(c.text);
        for (const char ch : name)
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7F && ch != ';') << c.name;
    }
    for (const auto& c : test::hostileUtf16Texts()) {
        for (const char ch : writer->escapedContent(c.text))
            EXPECT_TRUE((ch >= 0x20 && ch < 0x7F) || ch == '\n') << c.name;
    }
}

TEST(RtfDocument, AnEmptyDocumentIsTheSkeleton)
{
    const std::string dest = test::makeTempDir() + "/empty.rtf";
    QXRTFPDFExporter exporter;
    exporter.begainConvertPDF(dest, nullptr);
    exporter.beginPage(Rect(0, 0, 612, 792), 0);
    exporter.endPage();
    exporter.endConvertPDF(nullptr);
    EXPECT_EQ(test::readFile(dest), "{\\rtf1\\ansi\\mac\n{\\fonttbl\\f0\\fnil\\fcharset0 Arial Unicode MS;}\n"
                                    "{\\colortbl\\red0\\green0\\blue0;}\n{\\info\n{\\doccomm Powered by " +
                                        QXFlowApplicationDisplayName() + " v" + QXFlowApplicationVersion() + " " +
                                        QXFlowApplicationMaker() + "}\n}\n\n}");
}

} // namespace
} // namespace rz
