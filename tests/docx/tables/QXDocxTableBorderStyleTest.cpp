// Border styles of cell edges drawn as parallel strokes: pairs and triples
// of paths, the style lines of an edge, and the edge's border record.
#include "docx/tables/QXDocxTableBorder.h"
#include "docx/tables/QXDocxTableBorderStyle.h"
#include "docx/tables/QXDocxTableLimits.h"
#include "tests/docx/tables/QXDocxTableTestSupport.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

using test::strokePath;

const QXDocx_Color kWhite{255, 255, 255, 255};
const Point kP1{0, 100};
const Point kP2{100, 100};

// A horizontal stroke along the edge with its centre `dy` below y 100.
QXDocxRunPathPtr stroke(double dy, double weight, std::uint64_t scan,
                        std::optional<std::vector<double>> dashes = std::nullopt,
                        Color color = Color::rgb(0, 0, 0, 1))
{
    return strokePath({0, 100 + dy}, {100, 100 + dy}, weight, scan, color, std::move(dashes));
}

struct PathCase {
    const char* name;
    std::vector<QXDocxRunPathPtr> paths;
    std::int32_t style;
    double gap; // -1: gap left as it was
};

TEST(QXDocxTableBorderStyleTest, ParallelStrokesGiveTheirStyle)
{
    const std::vector<double> dash{3, 2};
    const PathCase cases[] = {
        {"no stroke", {}, QXDocxBorderNil, -1},
        {"one stroke", {stroke(0, 1, 1)}, QXDocxBorderSingle, -1},
        {"weight-1 pair 3 apart", {stroke(0, 1, 1), stroke(3, 1, 2)}, QXDocxBorderDouble, -1},
        {"weights 1 and 2, centres 4 apart", {stroke(0, 1, 1), stroke(4, 2, 2)}, QXDocxBorderThickThinLargeGap, 2.5},
        {"weights 1 and 2, centres 2.6 apart", {stroke(0, 1, 1), stroke(2.6, 2, 2)}, QXDocxBorderThickThinMediumGap, -1},
        {"weights 1 and 2, centres 2 apart", {stroke(0, 1, 1), stroke(2, 2, 2)}, QXDocxBorderThickThinSmallGap, -1},
        {"weights 1 and 2, centres 1.55 apart", {stroke(0, 1, 1), stroke(1.55, 2, 2)}, QXDocxBorderSingle, -1},
        {"dashed pair", {stroke(0, 1, 1, dash), stroke(3, 1, 2, dash)}, QXDocxBorderDoubleWave, -1},
        {"pair of two colours", {stroke(0, 1, 1), stroke(3, 1, 2, std::nullopt, Color::rgb(1, 0, 0, 1))},
         QXDocxBorderSingle, -1},
        {"thick stroke drawn over a thin one", {stroke(0.2, 1, 1), stroke(0, 3, 2)}, QXDocxBorderSingle, -1},
        {"three equal lines, gaps 2", {stroke(0, 1, 1), stroke(3, 1, 2), stroke(6, 1, 3)}, QXDocxBorderTriple, -1},
        {"weights 1, 2, 1, gaps 2.5", {stroke(0, 1, 1), stroke(4, 2, 2), stroke(8, 1, 3)},
         QXDocxBorderThinThickThinLargeGap, 2.5},
        {"two touching, one apart", {stroke(0, 1, 1), stroke(1.05, 1, 2), stroke(5, 1, 3)}, QXDocxBorderDouble, -1},
        {"four strokes", {stroke(0, 1, 1), stroke(3, 1, 2), stroke(6, 1, 3), stroke(9, 1, 4)}, QXDocxBorderTriple,
         -1},
    };
    for (const PathCase& c : cases) {
        double gap = -1;
        EXPECT_EQ(QXDocxTableBorderStyle::BorderStyleForRunPaths(c.paths, kP1, kP2, kWhite, &gap), c.style) << c.name;
        EXPECT_NEAR(gap, c.gap, 1e-6) << c.name;
    }
}

TEST(QXDocxTableBorderStyleTest, StrokesOfDifferentKindsLieOnEachOther)
{
    // A line and a rectangle passed without a ruling distance.
    const auto rect = test::fillPath(Rect(0, 98, 100, 5), Color::rgb(0, 0, 0, 1), 2);
    double gap = 7;
    EXPECT_EQ(QXDocxTableBorderStyle::BorderStyleFor2RunPaths({stroke(0, 1, 1), rect}, kP1, kP2, kWhite, &gap, 0),
              QXDocxBorderSingle);
    EXPECT_EQ(gap, 0);
}

// Ruling lines along the edge y 100, one per stroke.
QXDocxTableRulingLinePtr line(double dy, double weight, std::uint64_t scan)
{
    const Point a{0, 100 + dy};
    const Point b{100, 100 + dy};
    return QXDocxTableRulingLineRecord::LineWithRunPath(strokePath(a, b, weight, scan), a, b);
}

TEST(QXDocxTableBorderStyleTest, StyleLinesKeepTheHeaviestAtOnePlace)
{
    const auto thin = line(0, 1, 1);
    const auto heavy = line(0.1, 2, 2);
    const auto other = line(3, 1, 3);
    const auto kept = QXDocxTableBorderStyle::CreateStyleLineArray({thin, heavy, other}, kP1, kP2, kWhite);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], heavy);
    EXPECT_EQ(kept[1], other);

    const auto equal = line(0.1, 1, 2);
    const auto first = QXDocxTableBorderStyle::CreateStyleLineArray({thin, equal}, kP1, kP2, kWhite);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], thin);
}

TEST(QXDocxTableBorderStyleTest, StyleLinesDecideTheEdge)
{
    double gap = 0;
    EXPECT_EQ(QXDocxTableBorderStyle::BorderStyleForTableLines({}, kP1, kP2, kWhite, &gap), QXDocxBorderNil);
    EXPECT_EQ(QXDocxTableBorderStyle::BorderStyleForTableLines({line(0, 1, 1), line(3, 1, 2)}, kP1, kP2, kWhite, &gap),
              QXDocxBorderDouble);
    EXPECT_EQ(QXDocxTableBorderStyle::BorderStyleForTableLines(
                  {line(0, 1, 1), line(3, 1, 2), line(6, 1, 3), line(9, 1, 4)}, kP1, kP2, kWhite, &gap),
              QXDocxBorderTriple);
    const auto across = test::rulingLine({50, 90}, {50, 110});
    EXPECT_EQ(QXDocxTableBorderStyle::BorderStyleForTableLines({line(0, 1, 1), across}, kP1, kP2, kWhite, &gap),
              QXDocxBorderSingle);
}

TEST(QXDocxTableBorderStyleTest, EdgeBorderTakesStyleColourAndSize)
{
    const auto grey = QXDocxTableRulingLineRecord::LineWithRunPath(
        strokePath({0, 100}, {100, 100}, 1, 1, Color::rgb(0.5, 0.5, 0.5, 1)), {0, 100}, {100, 100});
    const auto black = QXDocxTableRulingLineRecord::LineWithRunPath(
        strokePath({0, 104}, {100, 104}, 2, 2), {0, 104}, {100, 104});
    const auto thinBlack = QXDocxTableRulingLineRecord::LineWithRunPath(
        strokePath({0, 100}, {100, 100}, 1, 1), {0, 100}, {100, 100});

    // Two strokes 3 apart merged into one ruling line by the detector.
    auto merged = std::make_shared<QXDocxTableRulingLineRecord>();
    merged->isHorizontal = true;
    merged->start = {0, 100};
    merged->end = {100, 100};
    merged->length = 100;
    merged->pieces = {thinBlack, QXDocxTableRulingLineRecord::LineWithRunPath(strokePath({0, 103}, {100, 103}, 1, 3),
                                                                              {0, 103}, {100, 103})};
    for (const auto& piece : merged->pieces)
        merged->runPaths.push_back(piece->initRunPath());

    struct Case {
        const char* name;
        QXDocxTableRulingLineArray lines;
        std::int32_t val;
        float sz;
        QXDocx_Color color;
    };
    const Case cases[] = {
        {"no line", {}, QXDocxBorderNil, 0, {0, 0, 0, 255}},
        {"one grey line", {grey}, QXDocxBorderSingle, 1, {128, 128, 128, 255}},
        {"grey and black: black, as wide as the black stroke", {grey, black}, QXDocxBorderSingle, 2, {0, 0, 0, 255}},
        {"merged pair of weight-1 strokes 3 apart", {merged}, QXDocxBorderDouble, 1, {0, 0, 0, 255}},
        {"black weights 1 and 2: the gap as size", {thinBlack, black}, QXDocxBorderThickThinLargeGap, 2.5f,
         {0, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        QXDocxTableCorner a{{0, 100}, 0, c.lines};
        QXDocxTableCorner b{{100, 100}, 0, c.lines};
        QXDocxTableBorder border(a, b, true);
        border.initProcessTableLines(kQXTableOpaqueWhite);
        const QXDocx_Border property = border.borderProperty();
        EXPECT_EQ(property.val, c.val) << c.name;
        EXPECT_FLOAT_EQ(property.sz, c.sz) << c.name;
        EXPECT_EQ(property.color, c.color) << c.name;
    }
}

TEST(QXDocxTableBorderStyleTest, EdgeSearchLengthGrowsWithTheEdge)
{
    // A 40-point edge searches with a minimum overlap of 14.94: a piece
    // covering 14 points of it does not count, one covering 16 does.
    const auto shortPiece = test::rulingLine({0, 0}, {14, 0});
    const auto longPiece = test::rulingLine({0, 0}, {16, 0});
    const auto found = QXDocxTableBorder::FindTableLines({shortPiece, longPiece}, {0, 0}, {40, 0},
                                                         (40 - 15.1f) * 0.6);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], longPiece);
}

} // namespace
} // namespace rz
