// The HTML writer: style sheet lines, tags, escaping, paragraphs and the
// document skeleton, against exact strings.
#include "flowtext/html/QXHTMLFileWriter.h"
#include "flowtext/html/QXHTMLPDFExporter.h"
#include "flowtext/html/QXHTMLParagraph.h"
#include "flowtext/html/QXHTMLRUZIzevudara.h"
#include "flowtext/html/QXHTMLRun.h"
#include "flowtext/html/QXHTMLState.h"
#include "flowtext/QXFlowTextAppInfo.h"
#include "tests/flowtext/FlowTestSupport.h"
#include "tests/support/HostileText.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace rz {
namespace {

class HtmlWriting : public ::testing::Test {
protected:
    void SetUp() override { QXHTMLState::sharedInstance().resetToDefault(); }
    std::string written()
    {
        writer->closeFile();
        return test::readFile(path);
    }
    QXHTMLState& state = QXHTMLState::sharedInstance();
    std::string path = test::makeTempDir() + "/out.html";
    std::shared_ptr<QXHTMLFileWriter> writer = QXHTMLFileWriter::initWithPath(path);
};

QXHTML_CSS_Paragraph paragraphRecord(float left, float size, const char* font)
{
    QXHTML_CSS_Paragraph p = QXHTMLUtilities::defaultCssParagraphProperty();
    p.margin.left = left;
    p.font.fontSize = size;
    QXDocxSetText(p.font.fontName, font);
    return p;
}

std::shared_ptr<QXHTMLRunText> htmlRun(const std::string& text, bool bold = false, bool italic = false,
                                       QXDocx_Color color = {0, 0, 0, 255}, float size = 10, int underline = 0)
{
    auto run = std::make_shared<QXHTMLRunText>();
    QXDocx_RPr r = QXDocxUtilities::defaultRProperty();
    r.b = bold;
    r.i = italic;
    r.color = color;
    r.sz = size;
    r.u = underline;
    QXDocxSetText(r.rFonts.ascii, "Arial");
    run->setRProperty(r);
    run->setRunText(utf8ToUtf16(text));
    return run;
}

TEST_F(HtmlWriting, StyleSheetLines)
{
    QXHTMLCSSParagraph p;
    p.setCssPProperty(paragraphRecord(28, 14, "Arial"));
    state._indexOfCSSParagraph(p);
    QXHTML_CSS_Paragraph indented = paragraphRecord(0, 12, "Times New Roman");
    indented.textIndent = 5;
    indented.color = {255, 255, 255, 255};
    p.setCssPProperty(indented);
    state._indexOfCSSParagraph(p);

    QXHTMLCSSSpan s;
    QXHTML_CSS_Span span = QXHTMLUtilities::defaultCssSpanProperty();
    span.textDecoration = 1;
    span.font.fontSize = 4.8f; // clamped to 8
    span.color = {300, -4, 16, 1};
    s.setCssSpanProperty(span);
    state._indexOfCSSSpan(s);
    span.textDecoration = 0;
    span.font.fontSize = 360;
    QXDocxSetText(span.font.fontName, "");
    s.setCssSpanProperty(span);
    state._indexOfCSSSpan(s);
    span.font.fontSize = NAN;
    s.setCssSpanProperty(span);
    EXPECT_EQ(s.cssSpanProperty().font.fontSize, 288);

    state.writeRegistedCSSParagraph(*writer);
    state.writeRegistedCSSSpan(*writer);
    EXPECT_EQ(written(), "    p.p0 {margin: 0px 0px 0px 28px; font: 14px 'Arial'; color: #000000}\n"
                         "    p.p1 {margin: 0px 0px 0px 0px; text-indent: 5px; font: 12px 'Times New Roman'; "
                         "color: #ffffff}\n"
                         "    span.s0 { font: 8px 'Times New Roman'; text-decoration: underline; color: #ff0010}\n"
                         "    span.s1 { font: 288px 'Times New Roman'; color: #ff0010}\n");
}

TEST_F(HtmlWriting, SpansShareAClassAndNestTheirTags)
{
    // Equal but for bold: one class, the tag opens inside the span.
    htmlRun("a")->writeWithXMLWriter(*writer);
    htmlRun("b", true)->writeWithXMLWriter(*writer);
    // A new colour: the span and its tag close, a new class opens.
    htmlRun("c", true, false, {255, 0, 0, 255})->writeWithXMLWriter(*writer);
    // Bold and italic open outside-in and close inside-out.
    htmlRun("d", true, true, {0, 0, 255, 255})->writeWithXMLWriter(*writer);
    // Bold goes while italic stays: the italic tag is closed and reopened.
    htmlRun("e", false, true, {0, 0, 255, 255})->writeWithXMLWriter(*writer);
    htmlRun("f", true, true, {0, 0, 255, 255})->writeWithXMLWriter(*writer);
    htmlRun("g", true, false, {0, 0, 255, 255})->writeWithXMLWriter(*writer);
    htmlRun("h", true, true, {0, 0, 255, 255})->writeWithXMLWriter(*writer);
    state.endWriteParagraphTagsIfNeed(*writer);
    EXPECT_EQ(written(), "<span class=\"s0\">a<b>b</b></span>"
                         "<span class=\"s1\"><b>c</b></span>"
                         "<span class=\"s2\"><b><i>d</i></b><i>e</i><b><i>f</i>g<i>h</i></b></span>");
    EXPECT_EQ(state.registeredSpans().size(), 3u);
}

TEST_F(HtmlWriting, UnderlinedBoldRunAndParagraphMargins)
{
    // A 10-point underlined bold run: 12px, underline, <b>.
    htmlRun("u", true, false, {0, 0, 0, 255}, 10, 1)->writeWithXMLWriter(*writer);
    EXPECT_EQ(state.registeredSpans().at(0).cssStringFormat(),
              "{ font: 12px 'Arial'; text-decoration: underline; color: #000000}");

    // First run at x 100 on a page with left margin 72: margin-left 28; at
    // x 60: 0. The paragraph resolves again before it writes.
    for (double x : {100.0, 60.0}) {
        QXHTMLParagraph p;
        auto run = htmlRun("p", false, false, {0, 0, 0, 255}, 11.6667f);
        QXPDF_CTMInfo info;
        info.bottomLeft = {x, 100};
        run->setCtmInfo(info);
        p.initWithRunArray({run});
        p.setXColumnPosition(300);
        p.resolveXColumnProperty();
        QXDocx_PgMar margin;
        margin.left = 72;
        p.setTextMargin(margin);
        p.writeNewLineWithXMLWriter(*writer);
    }
    // Opening a paragraph closes the span and the paragraph before it.
    EXPECT_EQ(written(), "<span class=\"s0\"><b>u</b></span>\n<p class=\"p0\"></p>\n<p class=\"p1\">");
    EXPECT_EQ(state.registeredParagraphs().at(0).cssStringFormat(),
              "{margin: 0px 0px 0px 28px; font: 14px 'Arial'; color: #000000}");
    EXPECT_EQ(state.registeredParagraphs().at(1).cssStringFormat(),
              "{margin: 0px 0px 0px 0px; font: 14px 'Arial'; color: #000000}");
}

TEST_F(HtmlWriting, EscapingAndRepeatedLineBreaks)
{
    writer->writeContent(u"a<b & \"c\"\n");
    for (int i = 0; i < 6; ++i)
        writer->writeLinebreak();
    writer->write("x");
    writer->writeLinebreak();
    writer->writeContent(u"   "); // three spaces of text count as an indentation
    EXPECT_EQ(written(), "a&lt;b &amp; &quot;c&quot;<br \\><br><br><br><br><br>x<br>   ");
}

TEST_F(HtmlWriting, FontNamesCannotLeaveTheirQuotes)
{
    const std::string quoted = QXHTMLUtilities::cssQuotedFontName("a'b\"c\\d<e>f\n\x01g</style><script>");
    EXPECT_EQ(quoted, "'a\\27 b\\22 c\\5c d\\3c e\\3e fg\\3c /style\\3e \\3c script\\3e '");
    EXPECT_EQ(QXHTMLUtilities::escapedHTMLText("</title><script>&\""),
              "&lt;/title&gt;&lt;script&gt;&amp;&quot;");
}

// A PDF's text, font names and file names: what reaches the document is
// well-formed UTF-8 holding only what markup may hold (the table's "safe"),
// escaped as HTML and CSS want.
TEST_F(HtmlWriting, HostileTextsAndNamesKeepOnlyWhatMarkupMayHold)
{
    const auto escaped = [](const std::string& safe, bool content) {
        std::string out;
        for (const char c : safe) {
            if (content && (c == '\t' || c == '\n' || c == '\r'))
                out += "<br \\>";
            else if (c == '&')
                out += "&amp;";
            else if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else if (c == '"')
                out += "&quot;";
            else
                out += c;
        }
        return out;
    };
    const auto quoted = [](const std::string& safe) {
        std::string out = "'";
        for (const char c : safe) {
            if (c == '\t' || c == '\n' || c == '\r')
                continue;
            switch (c) {
            case '\'': out += "\\27 "; break;
            case '"': out += "\\22 "; break;
            case '\\': out += "\\5c "; break;
            case '<': out += "\\3c "; break;
            case '>': out += "\\3e "; break;
            default: out += c;
            }
        }
        return out + "'";
    };
    for (const auto& c : test::hostileUtf8Texts()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QXHTMLUtilities::escapedHTMLText(c.text), escaped(c.safe, false));
        EXPECT_EQ(QXHTMLUtilities::cssQuotedFontName(c.text), quoted(c.safe));
    }
    for (const auto& c : test::hostileUtf16Texts()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(writer->escapedContent(c.text), escaped(c.safe, true));
    }
}

// A whole document: its skeleton byte for byte.
TEST(HtmlDocument, AnEmptyDocumentIsTheSkeleton)
{
    const std::string dest = test::makeTempDir() + "/empty doc.html";
    QXHTMLPDFExporter exporter;
    exporter.begainConvertPDF(dest, nullptr);
    exporter.beginPage(Rect(0, 0, 612, 792), 0);
    exporter.endPage();
    exporter.endConvertPDF(nullptr);
    EXPECT_EQ(test::readFile(dest),
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\" "
              "\"http://www.w3.org/TR/html4/strict.dtd\">\n"
              "<!--Powered by " + QXFlowApplicationDisplayName() + " " + QXFlowApplicationVersion() + " " +
                  QXFlowApplicationMaker() + "-->\n"
              "<html>\n<head>\n  <title>empty doc</title>\n"
              "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
              "  <meta http-equiv=\"Content-Style-Type\" content=\"text/css\">\n"
              "  <meta name=\"Generator\" content=\"" + QXFlowApplicationDisplayName() + "\">\n"
              "  <meta name=\"Version\" content=\"" + QXFlowApplicationVersion() + "\">\n"
              " <style type=\"text/css\">\n </style>\n</head>\n<body>\n</body>\n</html>");
    // The work folder is gone once the document is in place.
    EXPECT_TRUE(exporter.ruzIzevudara()->savedWorkFolder().empty());
}

TEST(HtmlDocument, AStoppedConversionWritesNothing)
{
    const std::string dest = test::makeTempDir() + "/stopped.html";
    std::string workFolder;
    {
        QXHTMLPDFExporter exporter;
        exporter.begainConvertPDF(dest, nullptr);
        workFolder = exporter.ruzIzevudara()->savedWorkFolder();
        EXPECT_TRUE(std::filesystem::is_directory(workFolder));
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        exporter.endPage();
        exporter.cleanConvertPDF();
    }
    EXPECT_FALSE(std::filesystem::exists(dest));
    EXPECT_FALSE(std::filesystem::exists(workFolder));
}

} // namespace
} // namespace rz
