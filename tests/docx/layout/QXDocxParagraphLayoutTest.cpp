// The paragraph passes on plain numbers: how gaps between runs are written,
// spacing and line pitch, blank paragraph lines, the adjustments before
// writing, tab stops, and the paragraph properties as written XML.
#include "docx/layout/QXDocxParagraphLayout.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace rz;
using test::writeWordprocessingML;

namespace {

const std::string kLayoutDefaultRPr =
    R"(<w:rPr><w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" w:eastAsia="Times New Roman"/>)"
    R"(<w:sz w:val="24"/><w:szCs w:val="24"/><w:color w:val="000000"/><w:noProof/></w:rPr>)";

std::string writtenLineRule(const QXDocx_PPr& property)
{
    return std::string(QXDocxText(property.spacing.lineRule));
}

} // namespace

TEST(QXDocxParagraphLayoutTest, GapsBetweenRuns)
{
    struct Case {
        const char* name;
        QXDocxRunGap gap;
        QXDocxRunGapKind kind;
    };
    const Case cases[] = {
        {"half a point with a 6-point blank", {0.5, 6, 20, false, false, false, 1}, QXDocxRunGapKind::Join},
        {"below one point with a tiny blank", {0.9, 0.3, 20, false, false, false, 1}, QXDocxRunGapKind::Join},
        {"10 points, 4-point blank, one line", {10, 4, 20, false, false, false, 1}, QXDocxRunGapKind::Tab},
        {"10 points, 4-point blank, two lines", {10, 4, 20, false, false, false, 2}, QXDocxRunGapKind::Blank},
        {"exactly 1.5 blanks, one line", {6, 4, 20, false, true, true, 1}, QXDocxRunGapKind::Tab},
        {"overlapping most of the previous run", {-15.1, 4, 20, false, false, false, 1}, QXDocxRunGapKind::Overlap},
        {"overlapping less than three quarters", {-14.9, 4, 20, false, false, false, 1}, QXDocxRunGapKind::Join},
        {"after one character, below half a blank", {1.5, 4, 5, true, false, false, 1},
         QXDocxRunGapKind::JoinAfterOneChar},
        {"no blank at the boundary", {1.5, 4, 5, false, false, false, 1}, QXDocxRunGapKind::Blank},
        {"the previous run ends with a blank", {1.5, 4, 5, false, true, false, 1}, QXDocxRunGapKind::ExistingBlank},
        {"the next run starts with a blank", {1.5, 4, 5, false, false, true, 1}, QXDocxRunGapKind::ExistingBlank},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXDocxParagraphLayout::classifyRunGap(c.gap), c.kind) << c.name;
    }
}

TEST(QXDocxParagraphLayoutTest, OneLineSpacing)
{
    struct Case {
        const char* name;
        QXDocxParagraphBlock block;
        float before, line, after;
        const char* rule;
    };
    const Case cases[] = {
        {"a block below one point", {1, 14, 2, 12, 0, 5, 0.5, 0.4}, 0, 1, 0, "exact"},
        {"a measured line that fits", {1, 14, 2, 12, 0, 5, 12, 6}, 3, 14, 6, "auto"},
        {"a blank band taller than the space above", {1, 14, 6, 12, 0, 5, 12, 6}, 5, 12, 6, "exact"},
        {"a measured line taller than the block", {1, 20, 2, 12, 0, 5, 12, 6}, 5, 12, 6, "exact"},
        {"unmeasured, block below the frame", {1, 0, 0, 14, 0, 5, 10, 2}, 5, 10, 2, "exact"},
        {"unmeasured, the frame's height", {1, 0, 0, 14, 0, 5, 12, 6}, 5, 14, 4, "exact"},
    };
    for (const Case& c : cases) {
        QXDocx_PPr property = QXDocxUtilities::defaultPProperty();
        property.ind.left = 7;
        property.jc = QXDocxJustificationCenter;
        QXDocxParagraphLayout::resolveSpacing(c.block, property);
        EXPECT_FLOAT_EQ(property.spacing.before, c.before) << c.name;
        EXPECT_FLOAT_EQ(property.spacing.line, c.line) << c.name;
        EXPECT_FLOAT_EQ(property.spacing.after, c.after) << c.name;
        EXPECT_EQ(writtenLineRule(property), c.rule) << c.name;
        EXPECT_FLOAT_EQ(property.spacing.word1LineHeight, static_cast<float>(c.block.wordSingleLineHeight));
        EXPECT_EQ(property.ind.left, 7);
        EXPECT_EQ(property.jc, QXDocxJustificationCenter);
    }
}

TEST(QXDocxParagraphLayoutTest, PitchOfSeveralLines)
{
    const double single = 12;
    struct Case {
        const char* name;
        QXDocxParagraphBlock block;
        float before, line, after;
        const char* rule;
    };
    const Case cases[] = {
        // Bottoms 1.26 single lines apart snap to one and a half lines.
        {"1.26 lines", {3, single, 2, 12, 1.26 * single, 4, 54, 0}, 4, 18, 0, "auto"},
        // 1.24 single lines snap to one line.
        {"1.24 lines", {3, single, 2, 12, 1.24 * single, 4, 36, 0}, 4, 12, 0, "auto"},
        // The snapped pitch does not fit the block: the average rounded
        // down to quarters (N + 1 = 4) is still too long, so the block's
        // own height is divided.
        {"snapped pitch too long", {3, single, 2, 12, 1.26 * single, 4, 40, 0}, 4, 13.25f, 0.25f, "auto"},
        // The snapped pitch leaves more than the tolerance beyond the space
        // after: the average in thirds is taken.
        {"snapped pitch too short", {2, single, 2, 12, 14.2, 4, 30, 0}, 4, 14, 2, "auto"},
        // Unmeasured lines: a small overrun is taken from the space above.
        {"unmeasured, overrun", {2, 0, 0, 12, 12, 3, 23.5, 0}, 2.5f, 12, 0, "exact"},
        // A pitch below the single-line height is exact.
        {"below one line", {2, 14, 0, 12, 10, 3, 20, 1}, 3, 10, 1, "exact"},
    };
    for (const Case& c : cases) {
        QXDocx_PPr property = QXDocxUtilities::defaultPProperty();
        QXDocxParagraphLayout::resolveSpacing(c.block, property);
        EXPECT_FLOAT_EQ(property.spacing.before, c.before) << c.name;
        EXPECT_FLOAT_EQ(property.spacing.line, c.line) << c.name;
        EXPECT_FLOAT_EQ(property.spacing.after, c.after) << c.name;
        EXPECT_EQ(writtenLineRule(property), c.rule) << c.name;
    }
    EXPECT_DOUBLE_EQ(QXDocxParagraphLayout::averageBottomDistance({10, 22, 40}), 15);
    EXPECT_EQ(QXDocxParagraphLayout::averageBottomDistance({10}), 0);
    EXPECT_EQ(QXDocxParagraphLayout::averageBottomDistance({}), 0);
}

TEST(QXDocxParagraphLayoutTest, BlankParagraphLines)
{
    struct Case {
        double height, spaceLine;
        float markSize;
        std::vector<double> lines;
    };
    const Case cases[] = {
        {30, 0, 12, {12, 18}},
        {15, 0, 12, {15}},
        {36, 0, 12, {12, 12, 12}},
        {40, 11.2, 11, {12, 12, 16}},
        {40, 15, 12, {15, 25}},
        // Nothing to measure by: one paragraph of the height, no division.
        {30, 0, 0, {30}},
        {30, -2, -1, {30}},
        {0, 0, 0, {0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXDocxParagraphLayout::blankParagraphLines(c.height, c.spaceLine, c.markSize), c.lines)
            << c.height << " " << c.spaceLine << " " << c.markSize;
    }
    // A height far beyond any page gives a bounded number of paragraphs.
    const std::vector<double> huge = QXDocxParagraphLayout::blankParagraphLines(1e12, 0, 12);
    EXPECT_LE(huge.size(), 14400u);
    EXPECT_GE(huge.size(), 1u);
    const std::vector<double> nan =
        QXDocxParagraphLayout::blankParagraphLines(std::numeric_limits<double>::quiet_NaN(), 0, 12);
    EXPECT_EQ(nan.size(), 1u);
}

TEST(QXDocxParagraphLayoutTest, AdjustmentsBeforeWriting)
{
    const Rect column(50, 0, 400, 600);
    struct Case {
        const char* name;
        QXDocxParagraphShape shape;
        std::int32_t jc;
        float line, markSize;
        std::int32_t expectedJc;
        float indLeft, indRight, expectedLine, expectedMarkSize;
    };
    const Case cases[] = {
        {"right-aligned line 20.6 points short of the column", {1, false, false, column, Rect(100, 0, 329.4, 12)},
         QXDocxJustificationRight, 12, 12, QXDocxJustificationRight, 3, 19, 12, 12},
        {"right-aligned, two lines", {2, false, false, column, Rect(100, 0, 329.4, 12)}, QXDocxJustificationRight, 12,
         12, QXDocxJustificationRight, 3, 4, 12, 12},
        {"centred line", {1, false, false, column, Rect(100, 0, 100, 12)}, QXDocxJustificationCenter, 12, 12,
         QXDocxJustificationCenter, -100, 0, 12, 12},
        {"centred line with a tab", {1, true, false, column, Rect(100, 0, 100, 12)}, QXDocxJustificationCenter, 12, 12,
         QXDocxJustificationLeft, 3, 4, 12, 12},
        {"centred without runs", {0, false, true, column, Rect()}, QXDocxJustificationCenter, 12, 12,
         QXDocxJustificationCenter, 0, 0, 12, 12},
        {"justified line", {1, false, false, column, Rect(100, 0, 100, 12)}, QXDocxJustificationBoth, 12, 12,
         QXDocxJustificationLeft, 3, 4, 12, 12},
        {"distributed line", {1, false, false, column, Rect(100, 0, 100, 12)}, QXDocxJustificationDistribute, 12, 12,
         QXDocxJustificationLeft, 3, 4, 12, 12},
        {"justified lines", {2, true, false, column, Rect(100, 0, 100, 12)}, QXDocxJustificationBoth, 12, 12,
         QXDocxJustificationBoth, 3, 4, 12, 12},
        {"text with a line of 3", {1, false, false, column, Rect(100, 0, 100, 12)}, QXDocxJustificationLeft, 3, 12,
         QXDocxJustificationLeft, 3, 4, 5, 12},
        {"no runs, line 7.5", {0, false, true, column, Rect()}, QXDocxJustificationLeft, 7.5f, 12,
         QXDocxJustificationLeft, 3, 4, 7.5f, 7},
        {"runs without text, line 3", {1, false, true, column, Rect()}, QXDocxJustificationLeft, 3, 12,
         QXDocxJustificationLeft, 3, 4, 3, 5},
        {"runs without text, line 8", {1, false, true, column, Rect()}, QXDocxJustificationLeft, 8, 12,
         QXDocxJustificationLeft, 3, 4, 8, 8},
    };
    for (const Case& c : cases) {
        QXDocx_PPr property = QXDocxUtilities::defaultPProperty();
        property.jc = c.jc;
        property.spacing.line = c.line;
        property.ind.left = 3;
        property.ind.right = 4;
        QXDocx_RPr mark = QXDocxUtilities::defaultRProperty();
        mark.sz = mark.szCs = c.markSize;
        QXDocxParagraphLayout::adjustForWriting(c.shape, property, mark);
        EXPECT_EQ(property.jc, c.expectedJc) << c.name;
        EXPECT_FLOAT_EQ(property.ind.left, c.indLeft) << c.name;
        EXPECT_FLOAT_EQ(property.ind.right, c.indRight) << c.name;
        EXPECT_FLOAT_EQ(property.spacing.line, c.expectedLine) << c.name;
        EXPECT_FLOAT_EQ(mark.sz, c.expectedMarkSize) << c.name;
        EXPECT_FLOAT_EQ(mark.szCs, c.expectedMarkSize) << c.name;
    }
}

TEST(QXDocxParagraphLayoutTest, RunsTallerThanAnExactLineTakeItsValue)
{
    struct Case {
        float line, size, expected;
    };
    const Case cases[] = {{10, 12, 10}, {11, 12, 12}, {10.8f, 12, 12}, {4.9f, 12, 12}, {5, 12, 5}};
    for (const Case& c : cases) {
        QXDocx_RPr run = QXDocxUtilities::defaultRProperty();
        run.sz = run.szCs = c.size;
        QXDocxParagraphLayout::fitRunSizeToLine(c.line, run);
        EXPECT_FLOAT_EQ(run.sz, c.expected) << c.line;
        EXPECT_FLOAT_EQ(run.szCs, c.expected) << c.line;
    }
}

TEST(QXDocxParagraphLayoutTest, TabStopsAreRelativeToTheColumn)
{
    const QXDocx_Tabs left = QXDocxParagraphLayout::tabStops({150, 260.5}, QXDocxJustificationLeft, 50);
    ASSERT_EQ(left.count(), 2);
    EXPECT_STREQ(left.tab[0].leader, "none");
    EXPECT_STREQ(left.tab[0].val, "left");
    EXPECT_FLOAT_EQ(left.tab[0].pos, 100);
    EXPECT_FLOAT_EQ(left.tab[1].pos, 210.5f);
    const QXDocx_Tabs right = QXDocxParagraphLayout::tabStops({150}, QXDocxJustificationRight, 50);
    ASSERT_EQ(right.count(), 1);
    EXPECT_STREQ(right.tab[0].val, "right");
    EXPECT_EQ(QXDocxParagraphLayout::tabStops({}, QXDocxJustificationLeft, 50).count(), 0);
}

TEST(QXDocxParagraphLayoutTest, WrittenProperties)
{
    // A centred one-line paragraph with a tab is written left-aligned with
    // a left tab stop relative to the column.
    QXDocx_PPr property = QXDocxUtilities::defaultPProperty();
    property.jc = QXDocxJustificationCenter;
    QXDocx_RPr mark = QXDocxUtilities::defaultRProperty();
    QXDocxParagraphLayout::adjustForWriting({1, true, false, Rect(50, 0, 400, 600), Rect(60, 0, 200, 12)}, property,
                                            mark);
    const QXDocx_Tabs tabs = QXDocxParagraphLayout::tabStops({150}, property.jc, 50);
    const std::string written = writeWordprocessingML([&](XMLFileWriter& w) {
        w.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        QXDocxParagraphLayout::writeProperties(property, mark, QXDocxUtilities::defaultSectPropertyHiden(), tabs, false,
                                               w);
        w.writeEndElement();
    });
    EXPECT_EQ(written, R"(<w:p><w:pPr><w:tabs><w:tab w:val="left" w:pos="2000"/></w:tabs>)"
                       R"(<w:spacing w:before="0" w:after="0" w:line="240" w:lineRule="exact"/>)"
                       R"(<w:ind w:firstLine="0" w:left="0" w:right="0"/><w:jc w:val="left"/>)" +
                           kLayoutDefaultRPr + "</w:pPr></w:p>");

    // A column break follows the properties in a run of its own.
    const std::string withBreak = writeWordprocessingML([&](XMLFileWriter& w) {
        w.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        QXDocxParagraphLayout::writeProperties(QXDocxUtilities::defaultPProperty(), mark,
                                               QXDocxUtilities::defaultSectPropertyHiden(), {}, true, w);
        w.writeEndElement();
    });
    EXPECT_EQ(withBreak, R"(<w:p><w:pPr><w:spacing w:before="0" w:after="0" w:line="240" w:lineRule="exact"/>)"
                         R"(<w:ind w:firstLine="0" w:left="0" w:right="0"/><w:jc w:val="left"/>)" +
                             kLayoutDefaultRPr + R"(</w:pPr><w:r><w:rPr/><w:br w:type="column"/></w:r></w:p>)");
}

TEST(QXDocxParagraphLayoutTest, OutlineHeadings)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        const char* title;
        bool likeDetect;
        std::int32_t outlineLvl;
        bool matches;
    };
    const Case cases[] = {
        {"equal without blanks and case", {"Chapter 1  Introduction"}, "chapter 1 introduction", false, 0, true},
        {"a line holding the title", {"1. Introduction to PDF"}, "Introduction", false, 0, true},
        {"part of the title, long enough", {"Introduc"}, "Introduction to PDF", false, 0, true},
        {"part of the title, a third or less", {"Intro"}, "Introduction to PDF", false, 0, false},
        {"two characters", {"ab"}, "abc", true, 0, false},
        {"alike, looked for", {"Introductoin"}, "introduction", true, 0, true},
        {"alike, not looked for", {"Introductoin"}, "introduction", false, 0, false},
        {"already a heading", {"Introduction"}, "Introduction", false, 1, false},
        {"empty lines are skipped", {"", " \t\n", "Title"}, "title", false, 0, true},
        {"an empty title", {"Title"}, " ", true, 0, false},
        {"lower-cased beyond ASCII", {"ÉTÉ"}, "été", false, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXDocxParagraphLayout::matchesOutline(c.lines, c.title, c.likeDetect, c.outlineLvl), c.matches)
            << c.name;
    }
}
