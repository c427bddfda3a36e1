// Annotations through the content parser: after the page content, each
// annotation is drawn from a fresh state and reaches the parser's delegate
// as ordinary events marked with its index. The page fixture's trace is a
// golden file (RZ_UPDATE_GOLDEN=1 rewrites it; review the diff), checked
// both through the trace delegate and through `rzinspect --trace`.
#include "AnnotFixture.h"

#include "pdfengine/images/QXPDFImageCache.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/parser/QXPDFTraceDelegate.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace rz;
using namespace rz::test;

namespace {

// Page content that leaves a scaled CTM and a red fill behind, then one
// annotation of each kind the page shows: a free text without appearance,
// a link and a widget with appearance states (only /On drawn), a
// highlight, a hidden square, a refused /Type, a note, a line with an
// arrow, an ink with opacity and a stamp whose appearance is an image.
std::string annotatedPagePdf()
{
    const std::map<int, std::string> objects = {
        {11, "<< /Type /Annot /Subtype /FreeText /Rect [100 600 300 650] /Contents (Hello note) "
             "/DA (/Helv 12 Tf 0 0 1 rg) /C [1 1 0] /Q 1 /BS << /W 2 >> >>"},
        {12, "<< /Subtype /Link /Rect [100 500 200 520] /Border [0 0 0] /A << /S /URI /URI (https://example.org) >> "
             "/AP << /N 20 0 R >> >>"},
        {13, "<< /Subtype /Highlight /Rect [10 700 110 712] /QuadPoints [10 712 110 712 10 700 110 700] "
             "/C [1 1 0] /CA 0.5 >>"},
        {14, "<< /Type /Annot /Subtype /Widget /Rect [300 300 340 340] /AS /On "
             "/AP << /N << /On 21 0 R /Off 22 0 R >> >> >>"},
        {15, "<< /Subtype /Square /F 2 /Rect [0 0 50 50] /IC [1 0 0] >>"},
        {16, "<< /Type /Foo /Subtype /Square /Rect [0 0 50 50] >>"},
        {17, "<< /Subtype /Text /Rect [0 0 20 20] /AP << /N 21 0 R >> >>"},
        {18, "<< /Subtype /Line /Rect [0 0 100 100] /L [20 20 80 20] /LE [/None /ClosedArrow] /IC [0 1 0] "
             "/C [0 0 1] >>"},
        {19, "<< /Subtype /Ink /Rect [0 0 60 60] /InkList [[10 10 20 20 30 15] [40 40 50 50]] /C [1 0 0] "
             "/CA 0.5 >>"},
        {23, "<< /Subtype /Stamp /Rect [400 100 420 110] /AP << /N 24 0 R >> >>"},
        {20, "stream /Type /XObject /Subtype /Form /BBox [0 0 100 20]\n0 0 1 RG 0 0 100 20 re S"},
        {21, "stream /Subtype /Form /BBox [0 0 20 20]\n0 g 2 2 16 16 re f"},
        {22, "stream /Subtype /Form /BBox [0 0 20 20]\n1 0 0 rg 0 0 20 20 re f"},
        {24, std::string("stream /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8\n") +
                 "\x10\xf0"},
    };
    return annotPdf("[null 5 11 0 R 12 0 R 13 0 R 14 0 R 15 0 R 16 0 R 17 0 R 18 0 R 19 0 R 23 0 R]", objects,
                    "2 0 0 2 0 0 cm 1 0 0 rg 0 0 10 10 re f");
}

std::filesystem::path goldenPath()
{
    return std::filesystem::path(RZ_TEST_SOURCE_DIR) / "tests/pdfengine/annots/golden/page-annots.txt";
}

std::vector<std::string> readLines(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(AnnotParser, PageTraceMatchesTheGolden)
{
    const auto doc = openPdf(annotatedPagePdf());
    ASSERT_TRUE(doc);
    const std::vector<std::string> trace = QXPDFTraceDelegate::tracePage(doc->page(1));
    if (const char* update = std::getenv("RZ_UPDATE_GOLDEN"); update && *update == '1') {
        std::ofstream out(goldenPath());
        for (const auto& line : trace)
            out << line << "\n";
    }
    EXPECT_EQ(trace, readLines(goldenPath()));

    // rzinspect prints the same trace.
    const std::string file = writeTempFile(annotatedPagePdf(), "annots.pdf");
    std::string output;
    ASSERT_EQ(runCommand(std::string("'") + RZ_INSPECT_PATH + "' --trace '" + file + "' 1", &output), 0);
    std::vector<std::string> printed;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        printed.push_back(line);
    EXPECT_EQ(printed, readLines(goldenPath()));

    // Without annotations only the page content is traced.
    const std::vector<std::string> content = QXPDFTraceDelegate::tracePage(doc->page(1), false);
    ASSERT_EQ(content.size(), 1u);
    EXPECT_EQ(content[0].find("annot="), std::string::npos);
}

// Records the annotation behind each event, found through the parser.
class AnnotLookup : public QXPDFTraceDelegate {
public:
    std::vector<std::string> kinds;
    size_t deepest = 0;
    void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                   bool fill) override
    {
        QXPDFTraceDelegate::QXPDFConentParser_didScanPath_stroke_fill(parser, path, stroke, fill);
        const QXPDFRenderState& st = parser.currentRenderingState();
        deepest = std::max(deepest, parser.renderingStateStack()->depth());
        if (!st.isParseringAnnotion())
            return;
        const auto annot = parser.annotForPDFAnnotionIndex(st.pdfAnnotionIndex());
        kinds.push_back(annot ? annot->type() : "?");
    }
};

TEST(AnnotParser, ExportersFindTheAnnotationBehindAnEvent)
{
    const auto doc = openPdf(annotatedPagePdf());
    AnnotLookup lookup;
    auto stack = std::make_shared<QXPDFRenderStateStack>();
    QXPDFConentParser parser(doc->page(1));
    parser.setDelegate(&lookup);
    parser.setRenderingStateStack(stack);
    parser.setImageCache(std::make_shared<QXPDFImageCache>());
    parser.startParser();
    EXPECT_EQ(lookup.kinds, (std::vector<std::string>{"Link", "Highlight", "Widget", "Line", "Ink", "Ink"}));
    EXPECT_EQ(stack->depth(), 1u);
    ASSERT_NE(parser.annotForPDFAnnotionIndex(4), nullptr);
    EXPECT_EQ(parser.annotForPDFAnnotionIndex(4)->type(), "Square");
    EXPECT_EQ(parser.annotForPDFAnnotionIndex(9), nullptr);

    // With annotations switched off nothing is drawn or found.
    AnnotLookup off;
    QXPDFConentParser quiet(doc->page(1));
    quiet.setDelegate(&off);
    quiet.setIsParserAnnots(0);
    quiet.startParser();
    EXPECT_TRUE(off.kinds.empty());
    EXPECT_EQ(quiet.annotForPDFAnnotionIndex(0), nullptr);
}

TEST(AnnotParser, ADelegateExceptionEndsThePageAndReachesTheCaller)
{
    struct Failing : QXPDFTraceDelegate {
        std::string failOn;
        void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                       bool fill) override
        {
            if (parser.currentRenderingState().isParseringAnnotion() &&
                parser.annotForPDFAnnotionIndex(parser.currentRenderingState().pdfAnnotionIndex())->type() == failOn)
                throw std::runtime_error("exporter failed");
            QXPDFTraceDelegate::QXPDFConentParser_didScanPath_stroke_fill(parser, path, stroke, fill);
        }
        void QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
            QXPDFConentParser&, const Rect&, const std::string&, const std::string&, const QXPDFColor&, double, long,
            bool, bool) override
        {
            if (failOn == "FreeText")
                throw std::runtime_error("exporter failed");
        }
    };
    const auto doc = openPdf(annotatedPagePdf());
    // A synthesised event, an appearance stream's event, a text box.
    for (const char* kind : {"Line", "Link", "FreeText"}) {
        SCOPED_TRACE(kind);
        Failing failing;
        failing.failOn = kind;
        auto stack = std::make_shared<QXPDFRenderStateStack>();
        QXPDFConentParser parser(doc->page(1));
        parser.setDelegate(&failing);
        parser.setRenderingStateStack(stack);
        EXPECT_THROW(parser.startParser(), std::runtime_error);
        EXPECT_EQ(stack->depth(), 1u);
        EXPECT_EQ(parser.scanOperatorIndex_ShowText(), ~uint64_t(0));
    }
}

} // namespace
