// Column blocks made of hand-made text lines: the gutters every line shares,
// the column groups cut along them and their tidying, the space below a
// block, the merging of neighbouring blocks and the page's joining of bands
// of lines into multi-column blocks.
#include "docx/layout/QXDocxRunTextColum.h"

#include "docx/layout/QXDocxLayoutLimits.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace rz;

namespace {

// One run of a line: its text, left and right edges and drawing index (the
// text index is the same).
struct Piece {
    std::string text;
    double left;
    double right;
    std::uint64_t scan;
};

// A line of 12-point-high runs on the baseline (frame top at base - 10),
// analysed like the page's lines.
QXDocxRunTextLinePtr makeLine(double base, const std::vector<Piece>& pieces)
{
    QXDocxRunTextArray runs;
    for (const Piece& piece : pieces)
        runs.push_back(test::makeLineRun(piece.text, piece.left, piece.right, base, piece.scan));
    return std::make_shared<QXDocxRunTextLine>(runs);
}

// A one-run line from x 72 to 540 whose frame has the given top and height.
QXDocxRunTextLinePtr makeTallLine(double top, double height, std::uint64_t scan)
{
    QXDocxRunTextArray runs{test::makeTestRun(
        {"text", 72, 540, top, height, top + height * 0.8, scan, scan, std::nullopt, 3})};
    return std::make_shared<QXDocxRunTextLine>(runs);
}

// A line of a two-column page: left column 72-290, right column 310-540.
QXDocxRunTextLinePtr twoColumnLine(double base, std::uint64_t leftScan, std::uint64_t rightScan)
{
    return makeLine(base, {{"left", 72, 290, leftScan}, {"right", 310, 540, rightScan}});
}

// A line of a two-column page with the columns drawn at the given indices,
// read in text order with the right column far behind.
QXDocxRunTextLinePtr twoColumnLineDrawnAt(double base, std::uint64_t leftScan, std::uint64_t rightScan)
{
    QXDocxRunTextArray runs{
        test::makeTestRun({"left", 72, 290, base - 10, 12, base, leftScan, leftScan, std::nullopt, 3}),
        test::makeTestRun({"right", 310, 540, base - 10, 12, base, rightScan, leftScan + 100, std::nullopt, 3})};
    return std::make_shared<QXDocxRunTextLine>(runs);
}

std::vector<std::string> groupTexts(const QXDocxRunTextLineArray& group)
{
    std::vector<std::string> texts;
    for (const QXDocxRunTextLinePtr& line : group) {
        std::string text;
        for (const QXDocxRunTextPtr& run : line->runTextArray())
            text += run->runText();
        texts.push_back(text);
    }
    return texts;
}

// The page's order of work on a final block.
void tidy(QXDocxRunTextColum& column)
{
    column.createColumGroup();
    column.optimizeColumnSpaces();
    column.createColumGroup();
    column.optimizeColumnGroups();
}

TEST(QXDocxRunTextColumTest, ContinuousLinesKeepTheirMarginsAndFormOneGroup)
{
    const QXDocxRunTextLineArray lines{makeLine(20, {{"a", 72, 300, 0}}), makeLine(34, {{"b", 80, 320, 1}}),
                                       makeLine(48, {{"c", 72, 310, 2}})};
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(lines, true);

    ASSERT_EQ(column->spaceColumArray().size(), 2U);
    EXPECT_EQ(column->spaceColumArray()[0], Rect(0, 10, 72, 40));
    EXPECT_DOUBLE_EQ(column->spaceColumArray()[1].minX(), 320);
    EXPECT_EQ(column->columGroupFrame(), Rect(72, 10, 248, 40));
    EXPECT_EQ(column->minPDFScanIndex(), 0U);
    EXPECT_EQ(column->maxPDFScanIndex(), 3U);

    tidy(*column);
    ASSERT_EQ(column->columGroupArray().size(), 1U);
    EXPECT_EQ(column->columGroupArray()[0], lines);
    EXPECT_EQ(column->spaceColumArray().size(), 2U);
    EXPECT_TRUE(column->isPDFScanIndexContinuousRunTextInEveryColum());
}

TEST(QXDocxRunTextColumTest, WithoutColumnModeTheBlockHasNoGutters)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(
        {twoColumnLine(20, 0, 100), twoColumnLine(34, 1, 101)}, false);
    EXPECT_TRUE(column->spaceColumArray().empty());
    column->createColumGroup();
    EXPECT_EQ(column->columGroupArray().size(), 1U);
}

TEST(QXDocxRunTextColumTest, TwoColumnsAreSplitAtTheMiddleOfTheGutter)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(
        {twoColumnLine(20, 0, 100), twoColumnLine(34, 1, 101), twoColumnLine(48, 2, 102)}, true);

    ASSERT_EQ(column->spaceColumArray().size(), 3U);
    EXPECT_EQ(column->spaceColumArray()[1], Rect(290, 10, 20, 40));

    tidy(*column);
    ASSERT_EQ(column->spaceColumArray().size(), 3U);
    ASSERT_EQ(column->columGroupArray().size(), 2U);
    EXPECT_EQ(groupTexts(column->columGroupArray()[0]), (std::vector<std::string>{"left", "left", "left"}));
    EXPECT_EQ(groupTexts(column->columGroupArray()[1]), (std::vector<std::string>{"right", "right", "right"}));
    // The cut lines are new lines of their own runs.
    EXPECT_EQ(column->columGroupArray()[0][0]->lineFrame(), Rect(72, 10, 218, 12));
    EXPECT_EQ(column->lineArray()[0]->runTextArray().size(), 2U);
    EXPECT_TRUE(column->isPDFScanIndexContinuousRunTextInEveryColum());
}

TEST(QXDocxRunTextColumTest, ThreeColumnsGiveFourGuttersAndThreeGroups)
{
    const auto line = [](double base, std::uint64_t i) {
        return makeLine(base, {{"a", 72, 200, i}, {"b", 220, 380, 100 + i}, {"c", 400, 540, 200 + i}});
    };
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum({line(20, 0), line(34, 1)}, true);
    tidy(*column);
    ASSERT_EQ(column->spaceColumArray().size(), 4U);
    ASSERT_EQ(column->columGroupArray().size(), 3U);
    EXPECT_EQ(groupTexts(column->columGroupArray()[1]), (std::vector<std::string>{"b", "b"}));
    EXPECT_EQ(groupTexts(column->columGroupArray()[2]), (std::vector<std::string>{"c", "c"}));
}

TEST(QXDocxRunTextColumTest, AHeadingAcrossBothColumnsClosesTheGutter)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(
        {makeLine(20, {{"heading", 72, 540, 0}}), twoColumnLine(34, 1, 101), twoColumnLine(48, 2, 102)}, true);
    EXPECT_EQ(column->spaceColumArray().size(), 2U);
    tidy(*column);
    ASSERT_EQ(column->columGroupArray().size(), 1U);
    EXPECT_EQ(column->columGroupArray()[0].size(), 3U);
}

TEST(QXDocxRunTextColumTest, AOneLineBlockLosesItsGuttersAndBecomesOneGroup)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum({twoColumnLine(20, 0, 100)}, true);
    ASSERT_EQ(column->spaceColumArray().size(), 3U);
    column->createColumGroup();
    ASSERT_EQ(column->columGroupArray().size(), 2U);
    column->optimizeColumnSpaces();
    EXPECT_TRUE(column->spaceColumArray().empty());
    EXPECT_TRUE(column->columGroupArray().empty());
    column->createColumGroup();
    ASSERT_EQ(column->columGroupArray().size(), 1U);
    EXPECT_EQ(column->columGroupArray()[0], column->lineArray());

    // A copy keeps the tidied gutters and groups instead of analysing again.
    const QXDocxRunTextColum copy(*column);
    EXPECT_TRUE(copy.spaceColumArray().empty());
    EXPECT_EQ(copy.columGroupArray(), column->columGroupArray());
    EXPECT_EQ(copy.columGroupFrame(), column->columGroupFrame());
}

// Gutters that do not separate two real columns, one case per reason.
struct DroppedGutterCase {
    const char* name;
    std::vector<QXDocxRunTextLinePtr> lines;
    Rect firstGutter;   // the left gutter after tidying
};

TEST(QXDocxRunTextColumTest, GuttersThatSeparateNoRealColumnsAreDropped)
{
    const std::vector<DroppedGutterCase> cases{
        // The left text is above the right one: nothing sits side by side.
        {"nothing side by side",
         {makeLine(20, {{"left", 72, 290, 0}}), makeLine(34, {{"right", 310, 540, 1}})},
         Rect(0, 10, 72, 26)},
        // The right column holds a single line.
        {"single line beside a column",
         {twoColumnLine(20, 0, 100), makeLine(34, {{"left", 72, 290, 1}})},
         Rect(0, 10, 72, 26)},
        // A left column 28 wide: the left margin goes, the gutter becomes
        // the left margin.
        {"narrow left column",
         {makeLine(20, {{"n", 72, 100, 0}, {"wide", 120, 540, 100}}),
          makeLine(34, {{"n", 72, 100, 1}, {"wide", 120, 540, 101}})},
         Rect(0, 10, 120, 26)},
        // A right column 30 wide loses the gutter on its left.
        {"narrow right column",
         {makeLine(20, {{"wide", 72, 480, 0}, {"n", 500, 530, 100}}),
          makeLine(34, {{"wide", 72, 480, 1}, {"n", 500, 530, 101}})},
         Rect(0, 10, 72, 26)},
    };
    for (const DroppedGutterCase& c : cases) {
        SCOPED_TRACE(c.name);
        QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(c.lines, true);
        ASSERT_EQ(column->spaceColumArray().size(), 3U);
        column->createColumGroup();
        ASSERT_EQ(column->columGroupArray().size(), 2U);
        column->optimizeColumnSpaces();
        ASSERT_EQ(column->spaceColumArray().size(), 2U);
        EXPECT_EQ(column->spaceColumArray()[0], c.firstGutter);
        EXPECT_TRUE(column->columGroupArray().empty());
        column->createColumGroup();
        ASSERT_EQ(column->columGroupArray().size(), 1U);
        EXPECT_EQ(column->columGroupArray()[0], c.lines);
    }
}

TEST(QXDocxRunTextColumTest, NarrowAndBlankColumnsAreFound)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(
        {makeLine(20, {{"text", 72, 290, 0}, {" ", 310, 330, 100}}),
         makeLine(34, {{"text", 72, 290, 1}, {"  ", 310, 330, 101}})},
        true);
    column->createColumGroup();
    ASSERT_EQ(column->columGroupArray().size(), 2U);
    ASSERT_EQ(column->findSmallWidthColumns().size(), 1U);
    EXPECT_EQ(groupTexts(column->findSmallWidthColumns()[0]), (std::vector<std::string>{" ", "  "}));
    ASSERT_EQ(column->findBankSpaceColumns().size(), 1U);
    column->optimizeColumnGroups();
    ASSERT_EQ(column->columGroupArray().size(), 1U);
    EXPECT_EQ(groupTexts(column->columGroupArray()[0]), (std::vector<std::string>{"text", "text"}));
    // A single group is never reported.
    column->setColumGroupArray({column->lineArray()});
    EXPECT_TRUE(column->findSmallWidthColumns().empty());
    EXPECT_TRUE(column->findBankSpaceColumns().empty());
}

TEST(QXDocxRunTextColumTest, AColumnThatSkipsADrawingIndexIsNotContinuous)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(
        {twoColumnLine(20, 0, 100), twoColumnLine(34, 2, 101)}, true);
    EXPECT_FALSE(column->isPDFScanIndexContinuousRunTextInEveryColum());
    EXPECT_EQ(column->columGroupArray().size(), 2U);
}

TEST(QXDocxRunTextColumTest, PairTestsOfGroups)
{
    const QXDocxRunTextLineArray left{makeLine(20, {{"a", 72, 290, 0}}), makeLine(34, {{"b", 72, 290, 1}})};
    const QXDocxRunTextLineArray besideFirst{makeLine(20, {{"c", 310, 540, 2}})};
    const QXDocxRunTextLineArray below{makeLine(60, {{"d", 310, 540, 3}})};
    EXPECT_TRUE(QXDocxRunTextColum::ColumIntersectLineArrayA(left, besideFirst));
    EXPECT_TRUE(QXDocxRunTextColum::ColumIntersectLineArrayA(besideFirst, left));
    EXPECT_FALSE(QXDocxRunTextColum::ColumIntersectLineArrayA(left, below));
    EXPECT_FALSE(QXDocxRunTextColum::ColumIntersectLineArrayA(left, {}));
    EXPECT_FALSE(QXDocxRunTextColum::ColumIntersectLineArrayA({}, left));

    // B's single line matches itself.
    EXPECT_TRUE(QXDocxRunTextColum::IsSingleColumLineArrayA(left, besideFirst));
    // A's single line must be matched by exactly one line of B at its place.
    EXPECT_FALSE(QXDocxRunTextColum::IsSingleColumLineArrayA(besideFirst, left));
    const QXDocxRunTextLineArray overlapping{makeLine(20.5, {{"e", 300, 400, 4}}), makeLine(60, {{"f", 300, 400, 5}})};
    EXPECT_TRUE(QXDocxRunTextColum::IsSingleColumLineArrayA(besideFirst, overlapping));
    const QXDocxRunTextLineArray twice{makeLine(20.5, {{"e", 300, 400, 4}}), makeLine(21, {{"f", 400, 500, 5}})};
    EXPECT_FALSE(QXDocxRunTextColum::IsSingleColumLineArrayA(besideFirst, twice));
    const QXDocxRunTextLineArray shifted{makeLine(22, {{"e", 300, 400, 4}}), makeLine(60, {{"f", 300, 400, 5}})};
    EXPECT_FALSE(QXDocxRunTextColum::IsSingleColumLineArrayA(besideFirst, shifted));
    EXPECT_FALSE(QXDocxRunTextColum::IsSingleColumLineArrayA(left, left));
}

TEST(QXDocxRunTextColumTest, SpaceBelowTheBlock)
{
    // One line keeps what its single-line height asks beyond its frame.
    QXDocxRunTextColumPtr single = QXDocxRunTextColum::CreateRunTextColum({makeLine(20, {{"a", 72, 290, 0}})}, true);
    tidy(*single);
    EXPECT_DOUBLE_EQ(single->bottomNeedSpace(), 2);   // 14 - 12

    // Several lines keep the gap over the bottom line when it is as high as
    // the one above it.
    QXDocxRunTextColumPtr even = QXDocxRunTextColum::CreateRunTextColum(
        {makeLine(20, {{"a", 72, 290, 0}}), makeLine(40, {{"b", 72, 290, 1}}), makeLine(60, {{"c", 72, 290, 2}})},
        true);
    tidy(*even);
    EXPECT_DOUBLE_EQ(even->bottomNeedSpace(), 8);   // 50 - (30 + 12)

    QXDocxRunTextColumPtr uneven = QXDocxRunTextColum::CreateRunTextColum(
        {makeLine(20, {{"a", 72, 290, 0}}), makeTallLine(40, 20, 1)}, true);
    tidy(*uneven);
    EXPECT_DOUBLE_EQ(uneven->bottomNeedSpace(), 0);

    QXDocxRunTextColum empty;
    EXPECT_DOUBLE_EQ(empty.bottomNeedSpace(), 0);
}

TEST(QXDocxRunTextColumTest, IndexRangeOfNoLines)
{
    EXPECT_EQ(QXDocxRunTextColum::minPDFScanIndex({}), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(QXDocxRunTextColum::maxPDFScanIndex({}), 0U);
    QXDocxRunTextColum column;
    column.setLineArray({});
    EXPECT_EQ(column.columGroupFrame(), Rect::zero());
    EXPECT_TRUE(column.isColumnMode());
    EXPECT_NE(column.description().find("[lineArray.count:0]"), std::string::npos);
}

TEST(QXDocxRunTextColumTest, DescriptionNamesTheLinesAndGutters)
{
    QXDocxRunTextColumPtr column = QXDocxRunTextColum::CreateRunTextColum(
        {twoColumnLine(20, 0, 100), makeLine(34, {{"last", 72, 290, 1}})}, true);
    const std::string text = column->description();
    EXPECT_NE(text.find("[spaceColumArray.count:3][lineArray.count:2][lineText0:left | right][lineTextN:last]"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[pdfScanIndex:0~101][spaceRects:(0.000000-72.000000), (290.000000-20.000000), "),
              std::string::npos)
        << text;
}

// Two one-column blocks whose facing lines are `height` high, `gap` apart.
struct MergeGapCase {
    double height;
    double gap;
    bool merges;
};

TEST(QXDocxRunTextColumTest, BlocksMergeWithinTheGapLimit)
{
    const std::vector<MergeGapCase> cases{
        {1.5, 5, true}, {1.5, 5.5, false}, {10, 20, true}, {10, 21, false}, {12, 24, true}, {12, 24.5, false}};
    for (const MergeGapCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.height << " gap " << c.gap);
        QXDocxRunTextColumPtr upper = QXDocxRunTextColum::CreateRunTextColum({makeTallLine(10, c.height, 0)}, true);
        QXDocxRunTextColumPtr lower =
            QXDocxRunTextColum::CreateRunTextColum({makeTallLine(10 + c.height + c.gap, c.height, 1)}, true);
        const QXDocxRunTextColumArray found = QXDocxRunTextColum::FindMergeRunTextColumArray({upper, lower});
        EXPECT_EQ(found.size(), c.merges ? 2U : 1U);
        const QXDocxRunTextColumArray merged = QXDocxRunTextColum::MergeRunTextColumArray({upper, lower});
        ASSERT_EQ(merged.size(), c.merges ? 1U : 2U);
        if (c.merges) {
            EXPECT_EQ(merged[0]->lineArray().size(), 2U);
        } else {
            EXPECT_EQ(merged[0], upper);
            EXPECT_EQ(merged[1], lower);
        }
    }
}

TEST(QXDocxRunTextColumTest, BlocksWithDifferentGuttersDoNotMerge)
{
    QXDocxRunTextColumPtr heading =
        QXDocxRunTextColum::CreateRunTextColum({makeLine(20, {{"heading", 72, 540, 0}})}, true);
    QXDocxRunTextColumPtr columns =
        QXDocxRunTextColum::CreateRunTextColum({twoColumnLine(34, 1, 101), twoColumnLine(48, 2, 102)}, true);
    QXDocxRunTextColumPtr after = QXDocxRunTextColum::CreateRunTextColum({twoColumnLine(62, 3, 103)}, true);
    EXPECT_EQ(QXDocxRunTextColum::FindMergeRunTextColumArray({heading, columns}).size(), 1U);
    const QXDocxRunTextColumArray merged = QXDocxRunTextColum::MergeRunTextColumArray({heading, columns, after});
    ASSERT_EQ(merged.size(), 2U);
    EXPECT_EQ(merged[0], heading);
    EXPECT_EQ(merged[1]->lineArray().size(), 3U);
    EXPECT_EQ(merged[1]->spaceColumArray().size(), 3U);
}

TEST(QXDocxRunTextColumTest, InterleavedDrawingOrderLetsContinuousBlocksMerge)
{
    // A heading over one two-column line, drawn in one stretch: the merged
    // block loses the gutter, which only drawing orders that interleave
    // excuse.
    struct Case {
        std::uint64_t heading;
        std::uint64_t left;
        std::uint64_t right;
        bool merges;
    };
    for (const Case c : {Case{0, 1, 2, false}, Case{5, 4, 6, true}}) {
        SCOPED_TRACE(c.heading);
        QXDocxRunTextColumPtr heading =
            QXDocxRunTextColum::CreateRunTextColum({makeLine(20, {{"heading", 72, 540, c.heading}})}, true);
        QXDocxRunTextColumPtr band = QXDocxRunTextColum::CreateRunTextColum({twoColumnLineDrawnAt(34, c.left, c.right)}, true);
        EXPECT_EQ(QXDocxRunTextColum::FindMergeRunTextColumArray({heading, band}).size(), c.merges ? 2U : 1U);
    }
}

TEST(QXDocxRunTextColumTest, AHeadingDrawnJustBeforeTheColumnsStaysItsOwnBlock)
{
    // Heading, left and right column drawn one after the other: the joined
    // block would be continuous, but it has fewer gutters than the band.
    const QXDocxRunTextColumArray page{
        QXDocxRunTextColum::CreateRunTextColum({makeLine(20, {{"heading", 72, 540, 0}})}, true),
        QXDocxRunTextColum::CreateRunTextColum({twoColumnLineDrawnAt(34, 1, 2)}, true)};
    EXPECT_EQ(QXDocxRunTextColum::JoinRunTextColumArray(page).size(), 2U);
}

// A band per line: a full-width heading, then two-column lines 14 apart,
// their left column drawn first (indices 1, 2, ...), their right column
// after (101, 102, ...), with `extraGap` more space above the band at
// `gapBefore`.
QXDocxRunTextColumArray twoColumnPage(std::size_t bands, std::size_t gapBefore = 0, double extraGap = 0)
{
    QXDocxRunTextColumArray page{
        QXDocxRunTextColum::CreateRunTextColum({makeLine(20, {{"heading", 72, 540, 0}})}, true)};
    double base = 40;
    for (std::size_t i = 0; i < bands; ++i) {
        if (i == gapBefore && i > 0)
            base += extraGap;
        page.push_back(QXDocxRunTextColum::CreateRunTextColum({twoColumnLine(base, 1 + i, 101 + i)}, true));
        base += 14;
    }
    return page;
}

TEST(QXDocxRunTextColumTest, JoiningBandsOfATwoColumnPage)
{
    const QXDocxRunTextColumArray page = twoColumnPage(4);
    const QXDocxRunTextColumArray joined = QXDocxRunTextColum::JoinRunTextColumArray(page);
    ASSERT_EQ(joined.size(), 2U);
    EXPECT_EQ(joined[0], page[0]);
    EXPECT_EQ(joined[1]->lineArray().size(), 4U);
    EXPECT_EQ(joined[1]->spaceColumArray().size(), 3U);
    QXDocxRunTextColum& block = *joined[1];
    tidy(block);
    ASSERT_EQ(block.columGroupArray().size(), 2U);
    EXPECT_EQ(groupTexts(block.columGroupArray()[1]),
              (std::vector<std::string>{"right", "right", "right", "right"}));
}

TEST(QXDocxRunTextColumTest, ALargeGapStopsTheJoining)
{
    // 12-high lines join up to a gap of 18: bands 14 apart have a gap of 2.
    struct Case {
        double extraGap;
        std::size_t blocks;
    };
    for (const Case c : {Case{16, 2}, Case{16.5, 3}, Case{40, 3}}) {
        SCOPED_TRACE(c.extraGap);
        const QXDocxRunTextColumArray joined =
            QXDocxRunTextColum::JoinRunTextColumArray(twoColumnPage(4, 2, c.extraGap));
        ASSERT_EQ(joined.size(), c.blocks);
        if (c.blocks == 3) {
            EXPECT_EQ(joined[1]->lineArray().size(), 2U);
            EXPECT_EQ(joined[2]->lineArray().size(), 2U);
        }
    }
}

TEST(QXDocxRunTextColumTest, ABandThatSplitsAGutterJoinsOnlyTheNearerBand)
{
    // A short left-column line over two-column bands: joining gains a gutter,
    // allowed when the short line is no farther from the band below than
    // that band is from the next.
    const auto page = [](double shortBase) {
        return QXDocxRunTextColumArray{
            QXDocxRunTextColum::CreateRunTextColum({makeLine(shortBase, {{"short", 72, 150, 0}})}, true),
            QXDocxRunTextColum::CreateRunTextColum({twoColumnLine(40, 1, 101)}, true),
            QXDocxRunTextColum::CreateRunTextColum({twoColumnLine(54, 2, 102)}, true)};
    };
    const QXDocxRunTextColumArray near = QXDocxRunTextColum::JoinRunTextColumArray(page(26));
    ASSERT_EQ(near.size(), 1U);
    EXPECT_EQ(near[0]->spaceColumArray().size(), 3U);
    // 3 apart where the bands are 2 apart.
    const QXDocxRunTextColumArray far = QXDocxRunTextColum::JoinRunTextColumArray(page(25));
    ASSERT_EQ(far.size(), 2U);
    EXPECT_EQ(far[0]->lineArray().size(), 1U);
    EXPECT_EQ(far[1]->lineArray().size(), 2U);
}

// The joining as first described: a candidate block for every start and
// end made up front, each judged with its own column groups.
QXDocxRunTextColumArray referenceJoin(const QXDocxRunTextColumArray& columns)
{
    const std::size_t n = columns.size();
    std::vector<std::vector<QXDocxRunTextColumPtr>> candidates(n, std::vector<QXDocxRunTextColumPtr>(n));
    for (std::size_t i = 0; i < n; ++i) {
        QXDocxRunTextLineArray lines;
        for (std::size_t j = i; j < n; ++j) {
            lines.insert(lines.end(), columns[j]->lineArray().begin(), columns[j]->lineArray().end());
            candidates[i][j] = QXDocxRunTextColum::CreateRunTextColum(lines, true);
        }
    }
    const auto gap = [&](std::size_t a, std::size_t b) {
        return columns[b]->columGroupFrame().minY() - columns[a]->columGroupFrame().maxY();
    };
    QXDocxRunTextColumArray result;
    std::size_t k = 0;
    while (k < n) {
        QXDocxRunTextColumPtr accepted = columns[k];
        std::size_t last = k;
        for (; last + 1 < n; ++last) {
            const QXDocxRunTextColumPtr& candidate = candidates[k][last + 1];
            const std::size_t count = candidate->spaceColumArray().size();
            const std::size_t before = accepted->spaceColumArray().size();
            const std::size_t alone = columns[last + 1]->spaceColumArray().size();
            const double threshold =
                std::max(1.5 * std::min(columns[last]->lineArray().back()->lineFrame().height(),
                                        columns[last + 1]->lineArray().front()->lineFrame().height()),
                         5.0);
            const double g = gap(last, last + 1);
            bool ok = count >= before && count >= alone;
            if (ok && count == before)
                ok = g <= threshold && candidate->isPDFScanIndexContinuousRunTextInEveryColum();
            else if (ok && last + 2 < n)
                ok = g <= threshold && g <= gap(last + 1, last + 2);
            else if (ok)
                ok = g <= threshold;
            if (!ok)
                break;
            accepted = candidate;
        }
        result.push_back(accepted);
        k = last + 1;
    }
    return result;
}

TEST(QXDocxRunTextColumTest, JoiningGivesTheBlocksOfJudgingEveryCandidate)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 60; ++trial) {
        SCOPED_TRACE(trial);
        QXDocxRunTextColumArray page;
        double base = 20;
        std::uint64_t scan = 0;
        const std::size_t bands = 2 + random() % 12;
        for (std::size_t b = 0; b < bands; ++b) {
            base += 12 + static_cast<double>(random() % 12);
            QXDocxRunTextLinePtr line;
            switch (random() % 4) {
            case 0: line = makeLine(base, {{"heading", 72, 540, scan++}}); break;
            case 1: line = makeLine(base, {{"short", 72, 150, scan++}}); break;
            case 2: line = twoColumnLine(base, scan, 1000 + scan); ++scan; break;
            default: line = twoColumnLineDrawnAt(base, scan, scan + 1); scan += 2; break;
            }
            if (random() % 5 == 0)
                scan += 1;   // a gap in the drawing order
            page.push_back(QXDocxRunTextColum::CreateRunTextColum({line}, true));
        }
        const QXDocxRunTextColumArray joined = QXDocxRunTextColum::JoinRunTextColumArray(page);
        const QXDocxRunTextColumArray expected = referenceJoin(page);
        ASSERT_EQ(joined.size(), expected.size());
        for (std::size_t i = 0; i < joined.size(); ++i) {
            EXPECT_EQ(joined[i]->lineArray(), expected[i]->lineArray());
            EXPECT_EQ(joined[i]->spaceColumArray(), expected[i]->spaceColumArray());
        }
    }
}

TEST(QXDocxRunTextColumTest, JoiningAnEmptyPageGivesNoBlocks)
{
    EXPECT_TRUE(QXDocxRunTextColum::JoinRunTextColumArray({}).empty());
    EXPECT_TRUE(QXDocxRunTextColum::MergeRunTextColumArray({}).empty());
}

} // namespace
