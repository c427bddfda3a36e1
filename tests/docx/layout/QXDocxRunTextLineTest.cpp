// Text lines from hand-made runs: line information, joining the runs of one
// stretch of text, row spaces and the line's text, the finders and stable
// sorts, blank and duplicate runs.
#include "docx/layout/QXDocxRunTextLine.h"

#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <string>
#include <vector>

using namespace rz;

namespace {

using test::makeLineRun;

std::vector<std::string> textsOf(const QXDocxRunTextArray& runs)
{
    std::vector<std::string> texts;
    for (const auto& run : runs)
        texts.push_back(run->runText());
    return texts;
}

QXDocxRunTextLinePtr lineAt(double top, double height, double base, std::uint64_t scan)
{
    auto run = makeLineRun("x", 0, 10, base, scan);
    QXPDF_CTMInfo info = run->ctmInfo();
    info.frame = Rect(0, top, 10, height);
    run->setCtmInfo(info);
    auto line = std::make_shared<QXDocxRunTextLine>();
    line->addRunTextArray({run});
    return line;
}

} // namespace

TEST(QXDocxRunTextLineTest, EmptyLineStaysEmpty)
{
    QXDocxRunTextLine line{QXDocxRunTextArray{}};
    EXPECT_TRUE(line.runTextArray().empty());
    EXPECT_TRUE(line.spaceRowArray().empty());
    EXPECT_EQ(line.lineText(), "");
    EXPECT_EQ(line.lineFrame(), Rect::zero());
    EXPECT_EQ(line.behindTextSpaceWidth(), 0);
    EXPECT_TRUE(line.isPDFScanIndexContinuous());
    line.addBlankSpaceTextBehind();
    EXPECT_EQ(line.lineText(), "");
}

TEST(QXDocxRunTextLineTest, OneRunHasBothMarginsAndItsText)
{
    auto run = makeLineRun("Hello", 50, 80, 100, 4);
    QXDocxRunTextLine line{{run}};
    ASSERT_EQ(line.runTextArray().size(), 1u);
    EXPECT_EQ(line.lineText(), "Hello");
    ASSERT_EQ(line.spaceRowArray().size(), 2u);
    EXPECT_EQ(line.spaceRowArray()[0]->leftRunText(), nullptr);
    EXPECT_EQ(line.spaceRowArray()[0]->rightRunText(), run);
    EXPECT_EQ(line.spaceRowArray()[0]->spaceRect().width(), 50);
    EXPECT_EQ(line.spaceRowArray()[1]->leftRunText(), run);
    EXPECT_EQ(line.spaceRowArray()[1]->rightRunText(), nullptr);
    EXPECT_EQ(line.lineFrame(), Rect(50, 90, 30, 12));
    EXPECT_EQ(line.yBaseLine(), 100);
    EXPECT_EQ(line.minPDFScanIndex(), 4u);
    EXPECT_EQ(line.maxPDFScanIndex(), 5u);
    EXPECT_EQ(line.wordSingleLineHeight(), 14);
}

// Two runs that continue in text order: the gap decides what stands between
// their texts, and one show-text operation turns a wide gap into a tab.
TEST(QXDocxRunTextLineTest, LineTextSeparatesRunsByGapAndShowText)
{
    struct Case {
        double gap;
        bool oneShowText;
        const char* text;
    };
    const Case cases[] = {
        {0.5, true, "abcd"},  {3, true, "ab cd"},  {7, true, "ab\tcd"},
        {0.5, false, "abcd"}, {3, false, "ab cd"}, {7, false, "ab cd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "gap " << c.gap << " one show " << c.oneShowText);
        auto a = makeLineRun("ab", 0, 10, 100, 0);
        // Different formatting keeps the runs apart.
        auto b = makeLineRun("cd", 10 + c.gap, 20 + c.gap, 100, 1);
        QXDocx_RPr bold = b->rProperty();
        bold.b = true;
        b->setRProperty(bold);
        b->setPdfScanIndex_ShowText(c.oneShowText ? 0 : 1);
        QXDocxRunTextLine line{{b, a}};
        ASSERT_EQ(line.runTextArray().size(), 2u);
        EXPECT_EQ(line.lineText(), c.text);
        EXPECT_EQ(line.spaceRowArray().size(), 2u);
    }
}

TEST(QXDocxRunTextLineTest, BreakInContentOrderMakesARowSpace)
{
    for (double gap : {-2.0, 0.5, 40.0}) {
        SCOPED_TRACE(gap);
        auto a = makeLineRun("left", 0, 20, 100, 0);
        auto b = makeLineRun("right", 20 + gap, 50 + gap, 100, 5);
        b->setTextScanIndex(7);  // not where "left" ends
        QXDocxRunTextLine line{{a, b}};
        ASSERT_EQ(line.runTextArray().size(), 2u);
        EXPECT_EQ(line.lineText(), "left | right");
        ASSERT_EQ(line.spaceRowArray().size(), 3u);
        EXPECT_EQ(line.spaceRowArray()[1]->leftRunText(), a);
        EXPECT_EQ(line.spaceRowArray()[1]->rightRunText(), b);
    }
}

TEST(QXDocxRunTextLineTest, RunsOfOneStretchAreJoinedIntoTheFirst)
{
    auto a = makeLineRun("He", 10, 20, 100, 3);
    auto b = makeLineRun("ll", 20.5, 30, 100.4, 4);  // within a point of the baseline
    auto c = makeLineRun("o", 29, 35, 100, 5);  // overlaps the previous run
    QXPDF_CTMInfo info = b->ctmInfo();
    info.frame = Rect(20.5, 90, 9.5, 12);
    b->setCtmInfo(info);
    b->setInsideSpacing(0.5);
    QXDocxRunTextLine line{{c, a, b}};
    ASSERT_EQ(line.runTextArray().size(), 1u);
    const QXDocxRunTextPtr joined = line.runTextArray()[0];
    EXPECT_EQ(joined, a);
    EXPECT_EQ(joined->runText(), "Hello");
    EXPECT_DOUBLE_EQ(joined->textWidth(), 10 + 9.5 + 0.5 + 6);
    EXPECT_EQ(joined->ctmInfo().frame, Rect(10, 90, 25, 12));
    EXPECT_EQ(joined->ctmInfo().xLeft, 10);
    EXPECT_EQ(joined->ctmInfo().xRight, 35);
    EXPECT_EQ(joined->ctmInfo().yTop, 90);
    EXPECT_EQ(joined->ctmInfo().yBottom, 102);
    EXPECT_EQ(joined->ctmInfo().yBase, 100);
    EXPECT_DOUBLE_EQ(joined->insideSpacing(), 25 - 26);
    EXPECT_FLOAT_EQ(joined->rProperty().spacing, -1);
    EXPECT_EQ(joined->pdfScanIndex(), 3u);
    EXPECT_EQ(joined->pdfScanLength(), 3u);
    EXPECT_EQ(joined->textScanIndex(), 3u);
    EXPECT_EQ(joined->textScanLength(), 3u);
    EXPECT_EQ(line.lineText(), "Hello");
    EXPECT_EQ(line.minPDFScanIndex(), 3u);
    EXPECT_EQ(line.maxPDFScanIndex(), 6u);
}

// Each condition of a stretch, broken once by the second run.
TEST(QXDocxRunTextLineTest, StretchStopsAtTheFirstRunThatBreaksIt)
{
    struct Case {
        const char* name;
        double left, base;
        std::uint64_t scan;
        bool bold;
        std::size_t joined;
    };
    const Case cases[] = {
        {"continues", 20.5, 100, 1, false, 2},
        {"baseline 1 point apart", 20.5, 101, 1, false, 1},
        {"baseline 0.9 apart", 20.5, 100.9, 1, false, 2},
        {"scan position skipped", 20.5, 100, 2, false, 1},
        {"other formatting", 20.5, 100, 1, true, 1},
        {"gap of 1 point", 21, 100, 1, false, 1},
        {"not right of the first run's left", 10, 100, 1, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto a = makeLineRun("ab", 10, 20, 100, 0);
        auto b = makeLineRun("cd", c.left, c.left + 10, c.base, c.scan);
        QXDocx_RPr property = b->rProperty();
        property.b = c.bold;
        b->setRProperty(property);
        EXPECT_EQ(QXDocxRunTextLine::FindLeft2RightMergeRunTextArray({a, b}).size(), c.joined);
    }
    EXPECT_TRUE(QXDocxRunTextLine::FindLeft2RightMergeRunTextArray({}).empty());
    EXPECT_EQ(QXDocxRunTextLine::MergeLeft2RightRunTextArray({}), nullptr);
    auto only = makeLineRun("x", 0, 5, 100, 0);
    EXPECT_EQ(QXDocxRunTextLine::MergeLeft2RightRunTextArray({only}), only);
    EXPECT_EQ(only->runText(), "x");
}

TEST(QXDocxRunTextLineTest, RunsEndInReadingOrder)
{
    // Drawn right to left: nothing joins, the line reads left to right.
    auto c = makeLineRun("c", 40, 50, 100, 0);
    auto b = makeLineRun("b", 20, 30, 100, 1);
    auto a = makeLineRun("a", 0, 10, 100, 2);
    QXDocxRunTextLine line{{c, b, a}};
    EXPECT_EQ(textsOf(line.runTextArray()), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(line.lineText(), "a | b | c");
    EXPECT_EQ(line.spaceRowArray().size(), 4u);
}

TEST(QXDocxRunTextLineTest, LineInformationFromItsRuns)
{
    auto a = makeLineRun("a", 0, 10, 100, 5);
    auto b = makeLineRun("b", 30, 40, 102, 2);
    b->setPdfScanLength(4);
    b->setWordSingleLineHeight(16);
    b->setWordSingleLineBlankTop(3);
    QXDocxRunTextLine line;
    line.addRunTextArray({a});
    line.addRunTextArray({b});
    EXPECT_EQ(line.runTextArray().size(), 2u);
    EXPECT_EQ(line.lineFrame(), Rect(0, 90, 40, 14));
    EXPECT_EQ(line.yBaseLine(), 102);
    EXPECT_EQ(line.minPDFScanIndex(), 2u);
    EXPECT_EQ(line.maxPDFScanIndex(), 6u);
    EXPECT_EQ(line.wordSingleLineHeight(), 16);
    EXPECT_EQ(line.wordSingleLineBlankTop(), 3);
    EXPECT_EQ(line.lineText(), "");  // only processing builds the text

    // A run with a single-line height below 1 point: the line is not measured.
    auto tiny = makeLineRun("c", 50, 60, 100, 9);
    tiny->setWordSingleLineHeight(0.5);
    line.addRunTextArray({tiny});
    EXPECT_EQ(line.wordSingleLineHeight(), 0);
    line.setRunTextArray({tiny, a});
    EXPECT_EQ(line.wordSingleLineHeight(), 0);
    line.setRunTextArray({a});
    EXPECT_EQ(line.wordSingleLineHeight(), 14);
}

TEST(QXDocxRunTextLineTest, TrailingBlankWidensTheLineAndEndsItsText)
{
    auto a = makeLineRun("one", 0, 20, 100, 0);
    auto b = makeLineRun("two", 30, 50, 100, 1);
    QXDocxRunTextLine line{{a, b}};
    EXPECT_EQ(line.lineText(), "one two");
    EXPECT_EQ(line.behindTextSpaceWidth(), 3);
    line.addBlankSpaceTextBehind();
    EXPECT_EQ(b->runText(), "two ");
    EXPECT_EQ(line.lineText(), "one two ");
    EXPECT_DOUBLE_EQ(line.lineFrame().width(), 53);
}

TEST(QXDocxRunTextLineTest, ScanContinuity)
{
    auto a = makeLineRun("a", 0, 10, 100, 0);
    auto b = makeLineRun("b", 20, 30, 100, 2);
    a->setPdfScanLength(2);
    QXDocxRunTextLine line;
    line.setRunTextArray({a, b});
    EXPECT_TRUE(line.isPDFScanIndexContinuous());
    a->setPdfScanLength(1);
    EXPECT_FALSE(line.isPDFScanIndexContinuous());
}

TEST(QXDocxRunTextLineTest, CopySharesTheRunList)
{
    auto a = makeLineRun("a", 0, 10, 100, 0);
    QXDocxRunTextLine line{{a}};
    QXDocxRunTextLine copy = line;
    auto b = makeLineRun("b", 20, 30, 100, 1);
    copy.addRunTextArray({b});
    EXPECT_EQ(line.runTextArray().size(), 2u);
    EXPECT_EQ(line.lineFrame(), Rect(0, 90, 10, 12));  // the original's own information
    EXPECT_EQ(copy.lineFrame(), Rect(0, 90, 30, 12));
}

TEST(QXDocxRunTextLineTest, FindersTakeTheEarliestOfEqualOnes)
{
    const auto l0 = lineAt(10, 12, 20, 5);
    const auto l1 = lineAt(10, 14, 20, 5);
    const auto l2 = lineAt(4, 14, 30, 7);
    const auto l3 = lineAt(30, 2, 20, 1);
    const QXDocxRunTextLineArray lines{l0, l1, l2, l3};
    EXPECT_EQ(QXDocxRunTextLine::FindMinIndexRunTextLine(lines), l3);
    EXPECT_EQ(QXDocxRunTextLine::FindTopYRunTextLine(lines), l2);
    EXPECT_EQ(QXDocxRunTextLine::FindBaseYRunTextLine(lines), l0);
    EXPECT_EQ(QXDocxRunTextLine::FindMaxHeightRunTextLine(lines), l1);
    EXPECT_EQ(QXDocxRunTextLine::FindBottomRunTextLine(lines), l3);
    EXPECT_EQ(QXDocxRunTextLine::FindBottomRunTextLine({l0, l1, l2}), l1);
    EXPECT_EQ(QXDocxRunTextLine::FindBottomRunTextLine({}), nullptr);
    EXPECT_EQ(QXDocxRunTextLine::FrameOfLineArray(lines), Rect(0, 4, 10, 28));
    EXPECT_EQ(QXDocxRunTextLine::GetRunTextLineFrame({}), Rect::zero());

    auto r0 = makeLineRun("a", 5, 10, 100, 3);
    auto r1 = makeLineRun("b", 5, 10, 100, 3);
    auto r2 = makeLineRun("c", 1, 10, 100, 4);
    EXPECT_EQ(QXDocxRunTextLine::FindNewScanRunText({r0, r1, r2}), r0);
    EXPECT_EQ(QXDocxRunTextLine::FindMinIndexRunText({r2, r1, r0}), r1);
    EXPECT_EQ(QXDocxRunTextLine::FindXLeftRunText({r0, r1, r2}), r2);
    EXPECT_EQ(QXDocxRunTextLine::FindXLeftRunText({}), nullptr);
}

TEST(QXDocxRunTextLineTest, SortsKeepTheOrderOfEqualKeys)
{
    const auto l0 = lineAt(10, 12, 20, 5);
    const auto l1 = lineAt(4, 12, 30, 5);
    const auto l2 = lineAt(10, 12, 20, 2);
    const auto l3 = lineAt(10, 12, 10, 5);
    const QXDocxRunTextLineArray lines{l0, l1, l2, l3};
    EXPECT_EQ(QXDocxRunTextLine::SortRunTextLineArrayByIndex(lines), (QXDocxRunTextLineArray{l2, l0, l1, l3}));
    EXPECT_EQ(QXDocxRunTextLine::SortRunTextLineArrayByTopY(lines), (QXDocxRunTextLineArray{l1, l0, l2, l3}));
    EXPECT_EQ(QXDocxRunTextLine::SortRunTextLineArrayByBaseY(lines), (QXDocxRunTextLineArray{l3, l0, l2, l1}));
    EXPECT_TRUE(QXDocxRunTextLine::SortRunTextLineArrayByBaseY({}).empty());

    auto r0 = makeLineRun("a", 5, 10, 100, 3);
    auto r1 = makeLineRun("b", std::numeric_limits<double>::quiet_NaN(), 10, 100, 3);
    auto r2 = makeLineRun("c", 1, 10, 100, 1);
    auto r3 = makeLineRun("d", 5, 10, 100, 3);
    EXPECT_EQ(QXDocxRunTextLine::SortRunTextArrayByIndex({r0, r1, r2, r3}),
              (QXDocxRunTextArray{r2, r0, r1, r3}));
    EXPECT_EQ(QXDocxRunTextLine::SortRunTextFromXLeftToRight({r0, r1, r2, r3}),
              (QXDocxRunTextArray{r2, r0, r3, r1}));
}

TEST(QXDocxRunTextLineTest, BlankAndDuplicateRuns)
{
    auto word = makeLineRun("word", 0, 20, 100, 0);
    auto blank = makeLineRun(" \t", 20, 25, 100, 1);
    auto underlined = makeLineRun("  ", 25, 30, 100, 2);
    QXDocx_RPr property = underlined->rProperty();
    property.u = 1;
    underlined->setRProperty(property);
    EXPECT_EQ(QXDocxRunTextLine::FindBankSpaceRunTextArray({word, blank, underlined}), (QXDocxRunTextArray{blank}));
    EXPECT_FALSE(QXDocxRunTextLine::IsBankSpaceRunTextArray({blank, underlined}));
    EXPECT_TRUE(QXDocxRunTextLine::IsBankSpaceRunTextArray({blank}));
    EXPECT_TRUE(QXDocxRunTextLine::IsBankSpaceRunTextArray({}));

    auto again = makeLineRun("word", 1, 21, 100.5, 5);
    auto apart = makeLineRun("word", 3, 23, 100, 6);
    EXPECT_EQ(QXDocxRunTextLine::FindDuplicateRunTexts({word, apart, blank, again}),
              (QXDocxRunTextArray{word, again}));
    EXPECT_EQ(QXDocxRunTextLine::FindDuplicateRunTexts({blank}), (QXDocxRunTextArray{blank}));
    EXPECT_TRUE(QXDocxRunTextLine::FindDuplicateRunTexts({}).empty());
}

TEST(QXDocxRunTextLineTest, TrimmedBlanksLeaveTheirWordBreaks)
{
    // Characters with the x range each has after measuring in the written
    // font: wider than in the PDF, so that the gap a blank leaves closes.
    struct Case {
        const char* name;
        std::vector<std::tuple<std::string, double, double, std::uint64_t>> runs; // text, left, right, scan
        std::string lineText;
        std::size_t dropped;
    };
    const std::vector<Case> cases = {
        {"a blank between two words", {{"a", 0, 6.5, 0}, {" ", 6, 9, 1}, {"b", 6.8, 12, 2}}, "a b", 1},
        {"blanks at the ends are just dropped", {{" ", 0, 3, 0}, {"a", 3, 9, 1}, {" ", 9, 12, 2}}, "a", 2},
        {"two blanks in a row leave the gap to speak", {{"a", 0, 6, 0}, {" ", 6, 9, 1}, {" ", 9, 12, 2}, {"b", 12, 18, 3}},
         "a b", 2},
        {"a blank drawn elsewhere is no break", {{"a", 0, 6.5, 0}, {" ", 6, 9, 5}, {"b", 6.8, 12, 1}}, "ab", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QXDocxRunTextArray runs;
        for (const auto& [text, left, right, scan] : c.runs)
            runs.push_back(test::makeLineRun(text, left, right, 10, scan));
        const QXDocxRunTextArray dropped = QXDocxRunTextLine::TrimBankSpaceRunTextArray(runs);
        EXPECT_EQ(dropped.size(), c.dropped);
        for (const QXDocxRunTextPtr& run : runs)
            EXPECT_FALSE(run->isBankSpaceRunText());
        // The page renumbers the drawing order once the blanks are gone.
        std::uint64_t index = 0;
        for (const QXDocxRunTextPtr& run : runs) {
            run->setPdfScanIndex(index);
            run->setPdfScanIndex_ShowText(index);
            run->setTextScanIndex(index++);
        }
        QXDocxRunTextLine line(runs);
        EXPECT_EQ(line.lineText(), c.lineText);
    }
}
