// The grouping passes of the page layout on small hand-made pages.
#include "flowtext/QXFlowLayout.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rz {
namespace {

using test::makeRun;
using test::word;

std::string text(const QXFlowRunList& runs)
{
    std::string s;
    for (const auto& r : runs)
        s += utf16ToUtf8(r->runText());
    return s;
}

TEST(QXFlowLayout, OrderingsAreStableAndPutValuesThatAreNotNumbersLast)
{
    QXFlowRunList runs = {word("b", 10, 100, 5), word("a", 5, 80, 5), word("c", 0, 100, 5),
                          makeRun("n", NAN, NAN, NAN, 5)};
    EXPECT_EQ(text(QXFlowLayout::orderByTop(runs)), "abcn");
    EXPECT_EQ(text(QXFlowLayout::orderByX(runs)), "cabn");
}

TEST(QXFlowLayout, LinesShareABottomWithinLessThanOnePoint)
{
    struct Case {
        double secondBottom;
        size_t lines;
    } cases[] = {{100.99, 1}, {99.01, 1}, {101.0, 2}, {99.0, 2}};
    for (const Case& c : cases) {
        QXFlowRunList runs = {word("a", 0, 100, 5), word("b", 10, c.secondBottom, 5)};
        EXPECT_EQ(QXFlowLayout::collectLines(QXFlowLayout::orderByTop(runs)).size(), c.lines) << c.secondBottom;
    }
    // A line takes every remaining run on its baseline, in top order; later
    // lines come in the order of their first remaining run.
    QXFlowRunList runs = {word("x", 0, 100, 5), word("y", 0, 120, 5), word("z", 50, 100.5, 5)};
    const auto lines = QXFlowLayout::collectLines(QXFlowLayout::orderByTop(runs));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(text(lines[0]), "xz");
    EXPECT_EQ(text(lines[1]), "y");
}

TEST(QXFlowLayout, LinesOfAFullPageAreTheLinesOfTheRule)
{
    // Many runs with bottoms close together, repeated, beyond any number
    // and on the tolerance's edges: the lines are those of the rule itself
    // (the first remaining run takes every remaining run whose bottom is
    // within less than a point of its own, in incoming order).
    const double bottoms[] = {100, 100.5, 101, 101.49, 99.2, 250, NAN, 100.999, 249.01, INFINITY, 98.0, 251,
                              -INFINITY, 100.25, 1e300, 99.0000001, 250.999999, 1e300};
    QXFlowRunList runs;
    for (int round = 0; round < 40; ++round)
        for (const double bottom : bottoms)
            runs.push_back(makeRun("x", round, bottom - 10 + round * 0.01, bottom + round * 0.003, 5));
    std::vector<QXFlowRunList> expected;
    std::vector<char> taken(runs.size(), 0);
    for (size_t i = 0; i < runs.size(); ++i) {
        if (taken[i])
            continue;
        expected.push_back({runs[i]});
        for (size_t j = i + 1; j < runs.size(); ++j)
            if (!taken[j] && std::fabs(runs[j]->runBottom() - runs[i]->runBottom()) < 1.0) {
                expected.back().push_back(runs[j]);
                taken[j] = 1;
            }
    }
    EXPECT_EQ(QXFlowLayout::collectLines(runs), expected);
}

TEST(QXFlowLayout, LinePartsBreakAtAGapOfOnePoint)
{
    struct Case {
        double gap;
        size_t parts;
    } cases[] = {{0.99, 1}, {-0.99, 1}, {0, 1}, {1.0, 2}, {-1.0, 2}};
    for (const Case& c : cases) {
        QXFlowRunList line = {word("a", 0, 100, 10), word("b", 10 + c.gap, 100, 10)};
        EXPECT_EQ(QXFlowLayout::collectLineParts(line).size(), c.parts) << c.gap;
    }
}

TEST(QXFlowLayout, DivsJoinLinesThatTouchOrLieWithinHalfALine)
{
    // Lines 12 points high: the next line joins while its top lies at most
    // 6 points below the div's bottom.
    auto section = [](double bottom) {
        return QXFlowLayout::collectLineParts(QXFlowRunList{word("a", 0, bottom, 10)});
    };
    struct Case {
        double secondBottom;
        size_t divs;
    } cases[] = {{112, 1}, {118, 1}, {118.01, 2}, {150, 2}};
    for (const Case& c : cases) {
        std::vector<QXFlowLineSection> sections = {section(100), section(c.secondBottom)};
        EXPECT_EQ(QXFlowLayout::collectDivs(sections).size(), c.divs) << c.secondBottom;
    }
    // The running bottom is the greatest one so far, not the last line's.
    std::vector<QXFlowLineSection> sections = {
        QXFlowLayout::collectLineParts(QXFlowRunList{makeRun("tall", 0, 60, 130, 10, 70)}), section(100),
        section(136)};
    EXPECT_EQ(QXFlowLayout::collectDivs(sections).size(), 1u);
}

TEST(QXFlowLayout, ColumnsSplitWhenTheGapExceedsEightPoints)
{
    struct Case {
        double gap;
        size_t columns;
    } cases[] = {{8.0, 1}, {8.01, 2}, {-5, 1}};
    for (const Case& c : cases) {
        QXFlowPartList parts = {{word("left", 0, 100, 50)}, {word("right", 50 + c.gap, 100, 50)}};
        EXPECT_EQ(QXFlowLayout::collectColumns(parts).size(), c.columns) << c.gap;
    }
    // Each column is ordered top-down; the columns left to right.
    QXFlowPartList parts = {{word("r2", 200, 140, 50)}, {word("l2", 0, 140, 50)}, {word("r1", 200, 120, 50)},
                            {word("l1", 0, 120, 50)}};
    const auto columns = QXFlowLayout::collectColumns(parts);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(text(columns[0][0]) + text(columns[0][1]), "l1l2");
    EXPECT_EQ(text(columns[1][0]) + text(columns[1][1]), "r1r2");
}

TEST(QXFlowLayout, RowsShareTheFirstPartsBottom)
{
    QXFlowPartList column = {{word("b", 60, 100, 10)}, {word("a", 0, 100.9, 10)}, {word("c", 0, 101.5, 10)},
                             {word("d", 0, 120, 10)}};
    const auto rows = QXFlowLayout::collectRows(column);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0].size(), 2u);
    EXPECT_EQ(text(rows[0][0]) + text(rows[0][1]), "ab");
    EXPECT_EQ(text(rows[1][0]), "c");
    EXPECT_EQ(text(rows[2][0]), "d");
}

TEST(QXFlowLayout, GeometryOfPartsSectionsColumnsAndDivs)
{
    QXFlowRunList part = {makeRun("a", 10, 88, 100, 5), makeRun("b", 15, 80, 102, 7)};
    EXPECT_DOUBLE_EQ(QXFlowLayout::partTop(part), 80);
    EXPECT_DOUBLE_EQ(QXFlowLayout::partBottom(part), 102);
    EXPECT_DOUBLE_EQ(QXFlowLayout::partLeft(part), 10);
    EXPECT_DOUBLE_EQ(QXFlowLayout::partRight(part), 22);
    EXPECT_DOUBLE_EQ(QXFlowLayout::sectionTop({}), 90000.0);
    EXPECT_DOUBLE_EQ(QXFlowLayout::sectionBottom({}), 0);
    EXPECT_DOUBLE_EQ(QXFlowLayout::partTop({}), 0);
    EXPECT_DOUBLE_EQ(QXFlowLayout::columnLeft({}), 0);
    EXPECT_DOUBLE_EQ(QXFlowLayout::divTop({}), 0);

    const std::vector<QXFlowPartList> columns = {{{word("a", 30, 100, 5)}, {word("b", 20, 130, 5)}},
                                                 {{word("c", 200, 90, 5)}}};
    EXPECT_DOUBLE_EQ(QXFlowLayout::columnLeft(columns[0]), 20);
    EXPECT_DOUBLE_EQ(QXFlowLayout::columnTop(columns[0]), 88);
    EXPECT_DOUBLE_EQ(QXFlowLayout::columnBottom(columns[0]), 130);
    EXPECT_DOUBLE_EQ(QXFlowLayout::divTop(columns), 78);
    EXPECT_DOUBLE_EQ(QXFlowLayout::divBottom(columns), 130);
}

} // namespace
} // namespace rz
