#include "docx/tables/QXDocxTableLine.h"

#include "TableDetectionFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

namespace rz {
namespace {

using namespace tabletest;

TEST(QXDocxTableLineTest, OrientationByHorizontalExtent)
{
    struct Case {
        double dx;
        bool horizontal;
        double length;
    };
    for (const Case& c : {Case{2, true, 2}, Case{1.99, false, 50}, Case{100, true, 100}, Case{0, false, 50}}) {
        QXDocxTableLine line({10, 10}, {10 + c.dx, 60});
        EXPECT_EQ(line.isHorizontalLine(), c.horizontal) << c.dx;
        EXPECT_DOUBLE_EQ(line.lineLength(), c.length) << c.dx;
    }
}

TEST(QXDocxTableLineTest, BoxCarriesTheStrokeAcross)
{
    const auto line = pathLine({0, 10}, {100, 10}, 2);
    EXPECT_EQ(line->boundingBox(), Rect(0, 9, 100, 2));
}

TEST(QXDocxTableLineTest, PerpendicularEndsMeetWithin3_1)
{
    // A horizontal ending at x 100 and a vertical starting `gap` to its right.
    for (auto [gap, meets] : {std::pair{3.0, true}, std::pair{3.2, false}, std::pair{0.0, true},
                              std::pair{std::nan(""), false}}) {
        QXDocxTableLine h({0, 0}, {100, 0});
        QXDocxTableLine v({100 + gap, 0}, {100 + gap, 50});
        EXPECT_EQ(QXDocxTableLine::IsIntersect(h, v), meets) << gap;
        EXPECT_EQ(QXDocxTableLine::IsIntersect(v, h), meets) << gap;
    }
}

TEST(QXDocxTableLineTest, CollinearPiecesMergeOnlyWithLengthExtension)
{
    const QXDocxTableLineArray pieces{pathLine({0, 50}, {100, 50}), pathLine({140, 50}, {240, 50})};
    const auto extended = QXDocxTableLine::MergeParallelLinesIfNeed(pieces, true);
    ASSERT_EQ(extended.size(), 1u);
    EXPECT_EQ(extended[0]->startPoint(), (Point{0, 50}));
    EXPECT_EQ(extended[0]->endPoint(), (Point{240, 50}));
    EXPECT_EQ(extended[0]->subLineArray().size(), 2u);
    EXPECT_EQ(extended[0]->allRunPathArray().size(), 2u);
    EXPECT_EQ(QXDocxTableLine::MergeParallelLinesIfNeed(pieces, false).size(), 2u);
}

TEST(QXDocxTableLineTest, MergedBandStopsAtItsThickness)
{
    // Strokes 5 apart: the first four make a band 15 thick; the fifth
    // would make it 20 and starts a line of its own.
    QXDocxTableLineArray strokes;
    for (int i = 0; i < 5; ++i)
        strokes.push_back(pathLine({0, 100.0 + 5 * i}, {200, 100.0 + 5 * i}));
    const auto merged = QXDocxTableLine::MergeParallelLinesIfNeed(strokes, true);
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0]->subLineArray().size(), 4u);
    EXPECT_TRUE(merged[1]->subLineArray().empty());
}

TEST(QXDocxTableLineTest, EvenlySpacedRulesOfRowsStayApart)
{
    struct Case {
        const char* name;
        std::vector<double> ys;
        bool textInRows;    // a word between each two neighbouring rules
        std::size_t lines;  // after merging
    };
    const Case cases[] = {
        // A dense table's rules 7.56 apart with text between: every row
        // keeps its rule.
        {"rows", {100, 107.56, 115.12, 122.68}, true, 4},
        // The same grid with nothing between (a chart's): merged in pairs,
        // as the band's thickness allows.
        {"empty grid", {100, 107.56, 115.12, 122.68}, false, 2},
        // Two rules alone, or a double line 2 apart below rows: one line.
        {"pair", {100, 107.56}, true, 1},
        {"double line under rows", {100, 120, 140, 142}, true, 3},
        // Strokes closer than a row: one band.
        {"close strokes", {100, 103, 106}, true, 1},
    };
    for (const Case& c : cases) {
        QXDocxTableLineArray rules;
        std::vector<Rect> text;
        for (std::size_t i = 0; i < c.ys.size(); ++i) {
            rules.push_back(pathLine({0, c.ys[i]}, {200, c.ys[i]}));
            if (c.textInRows && i + 1 < c.ys.size() && c.ys[i + 1] - c.ys[i] > 5)
                text.push_back(Rect(20, c.ys[i] + 1, 40, c.ys[i + 1] - c.ys[i] - 2));
        }
        EXPECT_EQ(QXDocxTableLine::MergeParallelLinesIfNeed(rules, true, &text).size(), c.lines) << c.name;
    }
}

TEST(QXDocxTableLineTest, MergedLineInvalidMarksItsPieces)
{
    const QXDocxTableLineArray pieces{pathLine({0, 50}, {100, 50}), pathLine({100, 52}, {200, 52})};
    const auto merged = QXDocxTableLine::MergeParallelLines(pieces);
    merged->setIsInvalid(true);
    EXPECT_TRUE(pieces[0]->isInvalid());
    EXPECT_TRUE(pieces[1]->isInvalid());
}

// The groups as the one-by-one search forms them: from the first line
// left, every line joined through meeting lines.
std::set<std::set<const QXDocxTableLine*>> slowComponents(QXDocxTableLineArray lines)
{
    std::set<std::set<const QXDocxTableLine*>> out;
    while (!lines.empty()) {
        const auto group = QXDocxTableLine::FindIntersectLines(lines);
        std::set<const QXDocxTableLine*> members;
        for (const auto& l : group)
            members.insert(l.get());
        out.insert(members);
        std::erase_if(lines, [&](const auto& l) { return members.count(l.get()) != 0; });
    }
    return out;
}

TEST(QXDocxTableLineTest, GroupsMatchTheOneByOneSearchOnRandomLines)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> pos(0, 400), len(5, 120);
    for (int round = 0; round < 20; ++round) {
        QXDocxTableLineArray lines;
        for (int i = 0; i < 60; ++i) {
            const double x = pos(rng), y = pos(rng), l = len(rng);
            lines.push_back(pathLine({x, y}, i % 2 ? Point{x + l, y} : Point{x, y + l}));
        }
        const auto slow = slowComponents(lines);
        std::set<std::set<const QXDocxTableLine*>> fast;
        for (const auto& group : QXDocxTableLine::FindConnectedLines(lines)) {
            std::set<const QXDocxTableLine*> members;
            for (const auto& l : group)
                members.insert(l.get());
            fast.insert(members);
        }
        EXPECT_EQ(fast, slow) << "round " << round;
        EXPECT_GT(fast.size(), 1u);
        EXPECT_LT(fast.size(), lines.size());
    }
}

TEST(QXDocxTableLineTest, SmallGroupsAreInvalidAndLeftOut)
{
    // A 2 x 2 grid and, far away, a lone pair of crossing lines.
    QXDocxTableLineArray lines;
    for (int i = 0; i < 3; ++i) {
        lines.push_back(pathLine({0, 50.0 * i}, {100, 50.0 * i}));
        lines.push_back(pathLine({50.0 * i, 0}, {50.0 * i, 100}));
    }
    const auto lonelyA = pathLine({400, 400}, {500, 400});
    const auto lonelyB = pathLine({450, 350}, {450, 450});
    lines.push_back(lonelyA);
    lines.push_back(lonelyB);
    const auto groups = QXDocxTableLine::FindIntersectLinesGroups(lines);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].size(), 6u);
    EXPECT_TRUE(lonelyA->isInvalid());
    EXPECT_TRUE(lonelyB->isInvalid());
}

TEST(QXDocxTableLineTest, BoundsOfLines)
{
    EXPECT_EQ(QXDocxTableLine::BoundsOfTableLines({}), Rect::zero());
    const QXDocxTableLineArray lines{std::make_shared<QXDocxTableLine>(Point{10, 20}, Point{110, 20}),
                                     std::make_shared<QXDocxTableLine>(Point{30, 5}, Point{30, 80})};
    EXPECT_EQ(QXDocxTableLine::BoundsOfTableLines(lines), Rect(10, 5, 100, 75));
}

TEST(QXDocxTableLineTest, SameStartOfFilledBars)
{
    auto bar = [](double y, double length) {
        auto line = pathLine({20, y}, {20 + length, y}, 4);
        line->initRunPath()->pictInfo()->setFilled(true);
        return line;
    };
    EXPECT_TRUE(QXDocxTableLine::IsHaveSameStartLines({bar(10, 100), bar(30, 60), bar(50, 80)}));
    // A single filled line leaves nothing to compare with.
    EXPECT_FALSE(QXDocxTableLine::IsHaveSameStartLines({bar(10, 100)}));
    auto shifted = bar(50, 80);
    shifted->setStartPoint({25, 50});
    shifted->setEndPoint({105, 50});
    EXPECT_FALSE(QXDocxTableLine::IsHaveSameStartLines({bar(10, 100), bar(30, 60), shifted}));
}

} // namespace
} // namespace rz
