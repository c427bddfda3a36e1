// The annotation kinds: borders, free text, lines with endings, squares and
// circles, text markup, ink, stamps and notes, as they read their
// dictionaries and what they draw without an appearance stream.
#include "AnnotFixture.h"

#include "pdfengine/annots/QXPDFAnnotFreeText.h"
#include "pdfengine/annots/QXPDFAnnotGeometry.h"
#include "pdfengine/annots/QXPDFAnnotInk.h"
#include "pdfengine/annots/QXPDFAnnotLine.h"
#include "pdfengine/annots/QXPDFAnnotStamp.h"
#include "pdfengine/annots/QXPDFAnnotText.h"
#include "pdfengine/annots/QXPDFAnnotTextMarkup.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/parser/QXPDFTraceDelegate.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace rz;
using namespace rz::test;

namespace {

template <class T>
std::shared_ptr<T> kindWith(const std::string& dict, const std::map<int, std::string>& objects = {})
{
    auto annot = std::dynamic_pointer_cast<T>(annotWith(dict, objects));
    EXPECT_NE(annot, nullptr) << dict;
    return annot;
}

std::string pathText(const Path& path)
{
    return QXPDFTraceDelegate::pathText(path, 100);
}

bool allFinite(const Path& path)
{
    for (const PathElement& e : path.elements())
        for (int i = 0; i < pointCount(e.type); ++i)
            if (!std::isfinite(e.points[size_t(i)].x) || !std::isfinite(e.points[size_t(i)].y))
                return false;
    return true;
}

TEST(AnnotBorders, BorderArraysAndBorderStyles)
{
    struct Case {
        std::string entries;
        double width;
        long style;
        std::optional<std::vector<double>> dash;
    };
    const Case cases[] = {
        {"/Border [0 0 2]", 2, QXPDFBorderStyleSolid, std::nullopt},
        {"/Border [0 0 2 [3 2]]", 2, QXPDFBorderStyleDashed, std::vector<double>{3, 2}},
        // A refused dash, a fourth entry that is no array, a wrong count
        // or an unreadable number: no border.
        {"/Border [0 0 2 [3 -1]]", 0, QXPDFBorderStyleSolid, std::nullopt},
        {"/Border [0 0 2 5]", 0, QXPDFBorderStyleSolid, std::nullopt},
        {"/Border [0 2]", 0, QXPDFBorderStyleSolid, std::nullopt},
        {"/Border [0 0 /x]", 0, QXPDFBorderStyleSolid, std::nullopt},
        {"/Border [0 0 1 [1 2 3 4 5 6 7 8 9 10 11 12]]", 1, QXPDFBorderStyleDashed,
         std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        const auto annot = annotWith("<< /Subtype /Link " + c.entries + " >>");
        ASSERT_NE(annot->border(), nullptr);
        EXPECT_EQ(annot->border()->type(), 0);
        EXPECT_DOUBLE_EQ(annot->border()->lineWidth(), c.width);
        EXPECT_EQ(annot->border()->style(), c.style);
        EXPECT_EQ(annot->border()->dashPattern(), c.dash);
    }
    EXPECT_EQ(annotWith("<< /Subtype /Link >>")->border(), nullptr);

    const Case styles[] = {
        // /W defaults to 1; a dashed style without a dash gets [3].
        {"/BS << /S /D >>", 1, QXPDFBorderStyleDashed, std::vector<double>{3}},
        {"/BS << /S /D /D [2 1] /W 0.5 >>", 0.5, QXPDFBorderStyleDashed, std::vector<double>{2, 1}},
        {"/BS << /S /D /D [-2] >>", 1, QXPDFBorderStyleDashed, std::vector<double>{3}},
        {"/BS << /S /B /W 0 >>", 0, QXPDFBorderStyleBeveled, std::nullopt},
        {"/BS << /S /U /W 3 >>", 3, QXPDFBorderStyleUnderline, std::nullopt},
        {"/BS << /S /Q >>", 1, QXPDFBorderStyleSolid, std::nullopt},
        // The kinds that read /BS take /Border when /BS is missing, and
        // default to a solid width of 1 without either.
        {"/Border [0 0 0]", 0, QXPDFBorderStyleSolid, std::nullopt},
        {"", 1, QXPDFBorderStyleSolid, std::nullopt},
    };
    for (const Case& c : styles) {
        SCOPED_TRACE(c.entries);
        const auto square = annotWith("<< /Subtype /Square " + c.entries + " >>");
        ASSERT_NE(square->border(), nullptr);
        EXPECT_DOUBLE_EQ(square->border()->lineWidth(), c.width);
        EXPECT_EQ(square->border()->style(), c.style);
        EXPECT_EQ(square->border()->dashPattern(), c.dash);
    }
    QXPDFBorder plain;
    EXPECT_STREQ(plain.getStyleName(), "S");
    plain.setStyle(QXPDFBorderStyleInset);
    EXPECT_STREQ(plain.getStyleName(), "I");

    const auto cloudy = kindWith<QXPDFAnnotGeometry>("<< /Subtype /Circle /BE << /S /C /I 2 >> >>");
    EXPECT_EQ(cloudy->borderEffect().effectType(), QXPDFBorderEffectCloudy);
    EXPECT_DOUBLE_EQ(cloudy->borderEffect().intensity(), 2);
    const auto plainEffect = kindWith<QXPDFAnnotGeometry>("<< /Subtype /Circle /BE << /S /S /I 2 >> >>");
    EXPECT_EQ(plainEffect->borderEffect().effectType(), QXPDFBorderEffectNone);
    EXPECT_DOUBLE_EQ(plainEffect->borderEffect().intensity(), 0);
}

TEST(AnnotFreeText, DefaultAppearanceStrings)
{
    struct Case {
        std::string da;
        std::optional<std::string> name;
        double size;
        QXPDFColor color;
    };
    const Case cases[] = {
        {"/Helv 12 Tf 0 0 1 rg", "Helv", 12, colorOf({0, 0, 255})},
        {"0 g /F1 0 Tf /F2 9 Tf", "F2", 9, colorOf({0})},
        {"/F1 0 Tf", "F1", 0, QXPDFColorSpace::defaultPDFColor()},
        {"/F1 8 Tf /F2 0 Tf 1 0 0 0 k 0.5 g", "F1", 8, colorOf({127})},
        {"/Helv 12 Tf\n0 0 1 rg", "Helv", 12, colorOf({0, 0, 255})},
        {"0 0 1 rg", std::nullopt, 0, colorOf({0, 0, 255})},
        {"rg Tf", std::nullopt, 0, QXPDFColorSpace::defaultPDFColor()},
        {"", std::nullopt, 0, QXPDFColorSpace::defaultPDFColor()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.da);
        double size = -1;
        QXPDFColor color;
        EXPECT_EQ(QXPDFAnnotFreeText::ParseAppearanceString(c.da, &size, &color), c.name);
        EXPECT_DOUBLE_EQ(size, c.size);
        EXPECT_EQ(color, c.color);
    }

    const auto helv = kindWith<QXPDFAnnotFreeText>("<< /Subtype /FreeText /DA (/Helv 12 Tf 0 0 1 rg) >>");
    EXPECT_EQ(helv->fontName(), "Helv");
    EXPECT_DOUBLE_EQ(helv->fontSize(), 12);
    EXPECT_EQ(helv->fontColor(), colorOf({0, 0, 255}));
    // A size of 0 defaults to 10; no font at all to Helvetica.
    const auto zero = kindWith<QXPDFAnnotFreeText>("<< /Subtype /FreeText /DA (/F1 0 Tf) >>");
    EXPECT_EQ(zero->fontName(), "F1");
    EXPECT_DOUBLE_EQ(zero->fontSize(), 10);
    const auto none = kindWith<QXPDFAnnotFreeText>("<< /Subtype /FreeText >>");
    EXPECT_EQ(none->fontName(), "Helvetica");
    EXPECT_DOUBLE_EQ(none->fontSize(), 10);
    EXPECT_EQ(none->fontColor().isNull, 1);
}

TEST(AnnotFreeText, ReadsItsEntries)
{
    const auto ft = kindWith<QXPDFAnnotFreeText>(
        "<< /Subtype /FreeText /Q 1 /DS (font: 12pt) /CL [1 2 3 4 5 6] /IT /FreeTextCallout /LE /OpenArrow "
        "/IC [0 1 0] /T (Ann) /Subj (Re) /RT /Group /CreationDate (D:2023) /ExData << /Subtype /Markup3D >> >>");
    EXPECT_EQ(ft->quadding(), 1);
    EXPECT_EQ(ft->textAlignment(), QXPDFTextAlignmentCenter);
    EXPECT_EQ(ft->styleString(), "font: 12pt");
    EXPECT_FLOAT_EQ(ft->calloutLine().x3, 5);
    EXPECT_FLOAT_EQ(ft->calloutLine().y3, 6);
    EXPECT_EQ(ft->intent(), QXPDFAnnotFreeTextIntentCallout);
    EXPECT_EQ(ft->endStyle(), QXPDFAnnotLineEndingOpenArrow);
    EXPECT_EQ(ft->interiorColor(), colorOf({0, 255, 0}));
    EXPECT_EQ(ft->label(), "Ann");
    EXPECT_EQ(ft->subject(), "Re");
    EXPECT_EQ(ft->replyTo(), QXPDFAnnotReplyTypeGroup);
    EXPECT_EQ(ft->creationDate(), "D:2023");
    EXPECT_EQ(ft->exData(), 1);
    // Four entries give the first two points only.
    const auto four = kindWith<QXPDFAnnotFreeText>("<< /Subtype /FreeText /CL [1 2 3 4] /Q 2 >>");
    EXPECT_FLOAT_EQ(four->calloutLine().y2, 4);
    EXPECT_FLOAT_EQ(four->calloutLine().x3, 0);
    EXPECT_EQ(four->textAlignment(), QXPDFTextAlignmentRight);
    EXPECT_EQ(QXPDFAnnotFreeText::TextAlignmentForQuadding(7), QXPDFTextAlignmentLeft);
}

TEST(AnnotFreeText, TextBoxBorderAndFill)
{
    // No /C: never filled, even with /IC; the border takes the font colour.
    auto events = drawAnnot(annotWith(
        "<< /Subtype /FreeText /Rect [10 20 110 70] /Contents (Note) /DA (/Helv 9 Tf 1 0 0 rg) /IC [0 1 0] >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "textbox");
    EXPECT_EQ(events[0].box, Rect(10, 20, 100, 50));
    EXPECT_EQ(events[0].text, "Note");
    EXPECT_EQ(events[0].fontName, "Helv");
    EXPECT_DOUBLE_EQ(events[0].fontSize, 9);
    EXPECT_TRUE(events[0].stroke);
    EXPECT_FALSE(events[0].fill);
    EXPECT_EQ(events[0].state->currentStrokeRGBColor(), (QXPDFRGB{255, 0, 0}));
    EXPECT_DOUBLE_EQ(events[0].state->lineWidth(), 1);

    // /C without /IC: filled with /C, stroked with /C; a zero-width border is not stroked.
    events = drawAnnot(annotWith("<< /Subtype /FreeText /C [0 0 1] /BS << /W 0 >> /DA (0.5 g /F 3 Tf) >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].stroke);
    EXPECT_TRUE(events[0].fill);
    EXPECT_EQ(events[0].state->currentFillRGBColor(), (QXPDFRGB{0, 0, 255}));

    // A grey font colour reads as grey, not as a one-component RGB colour.
    events = drawAnnot(annotWith("<< /Subtype /FreeText /DA (0.5 g /F 3 Tf) /BS << /W 2 /S /D >> >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].state->currentStrokeRGBColor(), (QXPDFRGB{127, 127, 127}));
    EXPECT_EQ(events[0].state->lineDashPattern(), (std::vector<double>{3}));
    EXPECT_DOUBLE_EQ(events[0].state->lineWidth(), 2);

    // With an appearance stream the stream is drawn instead.
    events = drawAnnot(annotWith("<< /Subtype /FreeText /AP << /N 10 0 R >> >>",
                                 {{10, "stream /Subtype /Form /BBox [0 0 1 1]\n"}}));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "stream");
    EXPECT_EQ(events[0].streamKey, "FreeText");
}

TEST(AnnotLine, ReadsItsEntries)
{
    const auto line = kindWith<QXPDFAnnotLine>(
        "<< /Subtype /Line /L [1 2 3 /x] /LE [/Circle /Slash] /LL 5 /LLE -3 /LLO 2 /Cap true /IT /LineArrow "
        "/CP /Top /CO [4 5] >>");
    EXPECT_EQ(line->startPoint(), (Point{1, 2}));
    EXPECT_EQ(line->endPoint(), (Point{3, 0}));
    EXPECT_EQ(line->startLineStyle(), QXPDFAnnotLineEndingCircle);
    EXPECT_EQ(line->endLineStyle(), QXPDFAnnotLineEndingSlash);
    EXPECT_DOUBLE_EQ(line->leaderLineLength(), 5);
    EXPECT_DOUBLE_EQ(line->leaderLineExtension(), 0);
    EXPECT_DOUBLE_EQ(line->leaderLineOffset(), 2);
    EXPECT_TRUE(line->caption());
    EXPECT_EQ(line->intent(), QXPDFAnnotLineIntentArrow);
    EXPECT_EQ(line->captionPos(), QXPDFAnnotLineCaptionTop);
    EXPECT_DOUBLE_EQ(line->captionTextVertical(), 5);
    EXPECT_EQ(QXPDFAnnotLine::PDFAnnotLineEndingStyleForSubtype("ClosedArrow"), QXPDFAnnotLineEndingClosedArrow);
    EXPECT_EQ(QXPDFAnnotLine::PDFAnnotLineEndingStyleForSubtype("None"), QXPDFAnnotLineEndingNone);
    EXPECT_EQ(QXPDFAnnotLine::PDFAnnotLineEndingStyleForSubtype("Butt"), QXPDFAnnotLineEndingButt);
}

TEST(AnnotLine, SegmentWithEndings)
{
    // A border of width 1 gives endings of size 2: an open arrow of 3 by 3
    // at the end point; not filled without /IC.
    auto events = drawAnnot(
        annotWith("<< /Subtype /Line /L [10 10 110 10] /LE [/None /OpenArrow] /C [1 0 0] /BS << /W 1 >> >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(pathText(events[0].path), "M 10 10 L 110 10 Z M 107 11.5 L 110 10 L 107 8.5 L 110 10");
    EXPECT_TRUE(events[0].stroke);
    EXPECT_FALSE(events[0].fill);
    EXPECT_EQ(events[0].state->cgPath(), events[0].path);
    EXPECT_EQ(events[0].state->currentStrokeRGBColor(), (QXPDFRGB{255, 0, 0}));
    EXPECT_EQ(events[0].state->strokeColorSpace()->objectKey(), "QXPDFAnnotLine");

    // The start ending points back to the start; /IC fills the path. No
    // /BS: the default width of 1.
    events = drawAnnot(annotWith("<< /Subtype /Line /L [0 0 0 100] /LE [/ClosedArrow /Square] /IC [0 0 1] >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(pathText(events[0].path), "M 0 0 L 0 100 Z M 1.5 3 L 0 0 L -1.5 3 Z M -1 99 L 1 99 L 1 101 L -1 101 Z");
    EXPECT_TRUE(events[0].fill);
    EXPECT_EQ(events[0].state->currentFillRGBColor(), (QXPDFRGB{0, 0, 255}));

    // Wide borders make larger endings: width 3 gives s = 6 and a diamond
    // of 9 along the line.
    events = drawAnnot(annotWith("<< /Subtype /Line /L [0 0 100 0] /LE [/None /Diamond] /BS << /W 3 >> >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(pathText(events[0].path), "M 0 0 L 100 0 Z M 91 0 L 91 0 L 95.5 4.5 L 100 0 L 95.5 -4.5 Z");
    EXPECT_DOUBLE_EQ(events[0].state->lineWidth(), 3);
}

TEST(AnnotLine, ALineOfNoLengthDrawsNoEndings)
{
    const auto events = drawAnnot(
        annotWith("<< /Subtype /Line /L [5 5 5 5] /LE [/OpenArrow /Diamond] /IC [1 0 0] /C [0 0 0] >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(pathText(events[0].path), "M 5 5 L 5 5 Z");
    EXPECT_TRUE(allFinite(events[0].path));
    EXPECT_FALSE(QXPDFAnnotLine::ArrowPathFrom({1, 1}, {1, 1}, 1, true));
    EXPECT_FALSE(QXPDFAnnotLine::DiamondPathFrom({1, 1}, {1, 1}, 1));
}

TEST(AnnotGeometry, SquaresAndCircles)
{
    // /IC with a zero-width border: filled, not stroked.
    auto events = drawAnnot(annotWith("<< /Subtype /Square /Rect [0 0 20 10] /IC [0 1 0] /BS << /W 0 >> >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].stroke);
    EXPECT_TRUE(events[0].fill);
    EXPECT_EQ(pathText(events[0].path), "M 0 0 L 20 0 L 20 10 L 0 10 Z");
    EXPECT_EQ(events[0].state->currentFillRGBColor(), (QXPDFRGB{0, 255, 0}));

    // A circle: an ellipse through the middles of the sides, stroked
    // with the border and dash; the opacity is the state's alpha.
    events = drawAnnot(annotWith(
        "<< /Subtype /Circle /Rect [0 0 20 10] /C [0 0 1] /CA 0.5 /BS << /W 2 /S /D /D [4 2] >> >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].stroke);
    EXPECT_FALSE(events[0].fill);
    const Rect box = events[0].path.boundingBox();
    EXPECT_NEAR(box.minX(), 0, 1e-9);
    EXPECT_NEAR(box.maxY(), 10, 1e-9);
    EXPECT_TRUE(events[0].path.contains({10, 5}));
    EXPECT_FALSE(events[0].path.contains({0.5, 0.5}));
    EXPECT_EQ(events[0].state->strokeColor().length, 3);
    EXPECT_DOUBLE_EQ(events[0].state->strokeAlpha(), 0.5);
    EXPECT_EQ(events[0].state->lineDashPattern(), (std::vector<double>{4, 2}));

    // Neither border nor interior: one event that paints nothing.
    events = drawAnnot(annotWith("<< /Subtype /Square /BS << /W 0 >> >>"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].stroke);
    EXPECT_FALSE(events[0].fill);
}

TEST(AnnotTextMarkup, LinesFromQuadrilaterals)
{
    // One line from x 10 to 110 and y 700 to 712, in the usual point order.
    const std::string quad = "/QuadPoints [10 712 110 712 10 700 110 700] /C [1 0 0]";
    struct Case {
        std::string subtype;
        std::string path;
        bool stroke;
        double width;
    };
    const Case cases[] = {
        {"Highlight", "M 10 700 L 110 700 L 110 712 L 10 712 Z", false, 1},
        {"Underline", "M 10 702 L 110 702", true, 1},
        {"StrikeOut", "M 10 706 L 110 706", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subtype);
        const auto events = drawAnnot(annotWith("<< /Subtype /" + c.subtype + " " + quad + " >>"));
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(pathText(events[0].path), c.path);
        EXPECT_EQ(events[0].stroke, c.stroke);
        EXPECT_EQ(events[0].fill, !c.stroke);
        const QXPDFRenderState& st = *events[0].state;
        EXPECT_EQ(c.stroke ? st.currentStrokeRGBColor() : st.currentFillRGBColor(), (QXPDFRGB{255, 0, 0}));
        if (c.stroke) {
            EXPECT_DOUBLE_EQ(st.lineWidth(), c.width);
        }
    }

    // A line 40 high strikes out with width 3, across both lines.
    auto events = drawAnnot(annotWith(
        "<< /Subtype /StrikeOut /QuadPoints [0 40 50 40 0 0 50 0 0 100 50 100 0 90 50 90] /AP << /N 10 0 R >> >>",
        {{10, "stream /Subtype /Form /BBox [0 0 1 1]\n"}}));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(pathText(events[0].path), "M 0 20 L 50 20 M 0 95 L 50 95");
    EXPECT_DOUBLE_EQ(events[0].state->lineWidth(), 3);

    // Twelve numbers are no quadrilateral: an empty path, still sent.
    const auto bad =
        kindWith<QXPDFAnnotTextMarkup>("<< /Subtype /Underline /QuadPoints [1 2 3 4 5 6 7 8 9 10 11 12] >>");
    EXPECT_FALSE(bad->quadrilateralPoints());
    EXPECT_FALSE(kindWith<QXPDFAnnotTextMarkup>("<< /Subtype /Underline /QuadPoints [1 2 3 4 5 6 7 /x] >>")
                     ->quadrilateralPoints());
    events = drawAnnot(bad);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].path.isEmpty());
    EXPECT_DOUBLE_EQ(events[0].state->lineWidth(), 1);
    EXPECT_EQ(QXPDFAnnotTextMarkup::PDFAnnotTextMarkupTypeForSubtype("Squiggly"), QXPDFAnnotTextMarkupSquiggly);
}

TEST(AnnotInk, OnePathPerStroke)
{
    const auto ink = kindWith<QXPDFAnnotInk>(
        "<< /Subtype /Ink /InkList [[10 10 20 20 30 15] [5] 7 []] /C [0 0 1] /CA 0.4 /BS << /W 3 >> >>");
    ASSERT_EQ(ink->paths().size(), 3u);
    const auto events = drawAnnot(ink);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(pathText(events[0].path), "M 10 10 L 20 20 L 30 15");
    EXPECT_TRUE(events[1].path.isEmpty());
    EXPECT_TRUE(events[2].path.isEmpty());
    for (const AnnotEvent& e : events) {
        EXPECT_TRUE(e.stroke);
        EXPECT_FALSE(e.fill);
        EXPECT_DOUBLE_EQ(e.state->lineWidth(), 3);
        EXPECT_DOUBLE_EQ(e.state->strokeAlpha(), 0.4);
        EXPECT_EQ(e.state->currentStrokeRGBColor(), (QXPDFRGB{0, 0, 255}));
    }
}

TEST(AnnotOtherKinds, StampsNotesAndTheBaseDrawing)
{
    const std::map<int, std::string> streams = {{10, "stream /Subtype /Form /BBox [0 0 1 1]\n"}};
    const std::pair<std::string, std::string> keys[] = {
        {"<< /Subtype /Stamp /AP << /N 10 0 R >> >>", "Draft"},
        {"<< /Subtype /Stamp /Name /Approved /AP << /N 10 0 R >> >>", "Approved"},
        {"<< /Subtype /Link /AP << /N 10 0 R >> >>", "Link"},
        {"<< /Subtype /Squiggly /QuadPoints [0 0 1 0 0 1 1 1] /AP << /N 10 0 R >> >>", "Squiggly"},
        {"<< /Subtype /Polygon /AP << /N 10 0 R >> >>", "Polygon"},
    };
    for (const auto& [dict, key] : keys) {
        SCOPED_TRACE(dict);
        const auto events = drawAnnot(annotWith(dict, streams));
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, "stream");
        EXPECT_EQ(events[0].streamKey, key);
    }
    // Notes never draw; the other kinds draw nothing without a stream.
    EXPECT_TRUE(drawAnnot(annotWith("<< /Subtype /Text /AP << /N 10 0 R >> >>", streams)).empty());
    for (const char* subtype : {"Stamp", "Link", "Widget", "Popup", "Squiggly"})
        EXPECT_TRUE(drawAnnot(annotWith(std::string("<< /Subtype /") + subtype + " >>")).empty()) << subtype;

    struct NoteCase {
        std::string entries;
        long state;
    };
    const NoteCase notes[] = {
        {"", QXPDFAnnotTextStateUnknown},
        {"/State /Accepted", QXPDFAnnotTextStateUnknown},
        {"/StateModel /Review", QXPDFAnnotTextStateNone},
        {"/StateModel /Review /State /Rejected", QXPDFAnnotTextStateRejected},
        {"/StateModel /Review /State /Marked", QXPDFAnnotTextStateUnknown},
        {"/StateModel /Marked", QXPDFAnnotTextStateMarked},
        {"/StateModel /Marked /State /Unmarked", QXPDFAnnotTextStateUnmarked},
        {"/StateModel /Marked /State /Completed", QXPDFAnnotTextStateUnknown},
        {"/StateModel /Other /State /Marked", QXPDFAnnotTextStateUnknown},
    };
    for (const NoteCase& n : notes)
        EXPECT_EQ(kindWith<QXPDFAnnotText>("<< /Subtype /Text " + n.entries + " >>")->state(), n.state) << n.entries;
    const auto note = kindWith<QXPDFAnnotText>("<< /Subtype /Text /Name /Key /Open true >>");
    EXPECT_EQ(note->iconType(), QXPDFTextAnnotationIconKey);
    EXPECT_TRUE(note->open());
    EXPECT_EQ(kindWith<QXPDFAnnotText>("<< /Subtype /Text /Name /Star >>")->iconType(), QXPDFTextAnnotationIconNote);
}

} // namespace
