#include "docx/tables/QXDocxTableManager.h"

#include "TableDetectionFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace rz {
namespace {

using namespace tabletest;

class QXDocxTableManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QXDocxTableManager::destory();
        manager().setPageSize({600, 800});
        manager().begainPage();
    }
    void TearDown() override { QXDocxTableManager::destory(); }
    static QXDocxTableManager& manager() { return QXDocxTableManager::sharedInstance(); }
    static void addAll(const std::vector<QXDocxRunPathPtr>& runs)
    {
        for (const auto& run : runs)
            manager().addRunPathIfNeed(run);
    }
};

TEST_F(QXDocxTableManagerTest, RectangleGivesFourLines)
{
    manager().addRunPathIfNeed(rectRun(Rect(10, 10, 100, 50)));
    const auto lines = manager().creatTableLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l->isHorizontalLine(); }), 2);
    // The close adds the left side.
    EXPECT_EQ(lines[3]->startPoint(), (Point{10, 60}));
    EXPECT_EQ(lines[3]->endPoint(), (Point{10, 10}));
}

TEST_F(QXDocxTableManagerTest, CandidatePaths)
{
    Path curve;
    curve.moveTo({0, 0});
    curve.curveTo({10, 10}, {20, 10}, {30, 0});
    Path tilted;
    tilted.moveTo({0, 0});
    tilted.lineTo({100, 1});
    Path nearlyFlat;
    nearlyFlat.moveTo({0, 0});
    nearlyFlat.lineTo({100, 0.99});
    struct Case {
        const char* name;
        QXDocxRunPathPtr run;
        bool examined;
        bool candidate;
    };
    const Case cases[] = {
        {"weight 6.25", segmentRun({0, 0}, {100, 0}, 6.25), true, true},
        {"weight 6.26", segmentRun({0, 0}, {100, 0}, 6.26), false, false},
        {"curve", pathRun(curve), false, false},
        {"tilted by 1 both ways", pathRun(tilted), true, false},
        {"tilted below 1", pathRun(nearlyFlat), true, true},
    };
    for (const Case& c : cases) {
        manager().begainPage();
        EXPECT_EQ(manager().addRunPathIfNeed(c.run), c.examined) << c.name;
        EXPECT_EQ(manager().allSampleRunPaths().size(), c.candidate ? 1u : 0u) << c.name;
        EXPECT_EQ(c.run->isTableLine(), c.candidate) << c.name;
    }
}

TEST_F(QXDocxTableManagerTest, BarsAndJointsInOnePath)
{
    // One filled path of rules painted as rectangles: a long thin bar is
    // its centre line, a small joint square no line, a wide box four sides.
    Path path;
    path.addRect(Rect(10, 100, 200, 1.4));
    path.addRect(Rect(210, 100, 1.4, 1.4));
    path.addRect(Rect(211.4, 20, 1.4, 80));
    path.addRect(Rect(300, 300, 50, 40));
    auto run = pathRun(path);
    manager().addRunPathIfNeed(run);
    const auto lines = manager().creatTableLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(lines[0]->isHorizontalLine());
    EXPECT_DOUBLE_EQ(lines[0]->startPoint().y, 100.7);
    EXPECT_DOUBLE_EQ(lines[0]->lineLength(), 200);
    EXPECT_FALSE(lines[1]->isHorizontalLine());
    EXPECT_DOUBLE_EQ(lines[1]->lineLength(), 80);
}

TEST_F(QXDocxTableManagerTest, TableEdgeIsNoPageFrame)
{
    // A grid covering 70 % of the page: its outer lines meet its inner
    // ones, so they stay the table's edges and make no page borders.
    addAll(gridRuns({50, 60}, 5, 5, 100));
    const auto areas = manager().createAllTableAreas();
    EXPECT_EQ(manager().pgBorders_offsetFrom(), 0);
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0]->tableLines().size(), 12u);
    EXPECT_TRUE(areas[0]->isValidTableArea());
    EXPECT_EQ(areas[0]->tablePoints().size(), 6u);
}

TEST_F(QXDocxTableManagerTest, PiecesOfOnePointOrLessGiveNoLine)
{
    const auto dot = segmentRun({5, 5}, {6, 5});
    manager().addRunPathIfNeed(dot);
    EXPECT_TRUE(manager().creatTableLines().empty());
    EXPECT_FALSE(dot->isTableLine());
}

TEST_F(QXDocxTableManagerTest, GridOfThreeByThreeLinesIsATable)
{
    const auto runs = gridRuns({100, 100}, 2, 2, 50);
    addAll(runs);
    const auto areas = manager().createAllTableAreas();
    ASSERT_EQ(areas.size(), 1u);
    const auto& area = areas[0];
    EXPECT_EQ(area->tableLines().size(), 6u);
    EXPECT_EQ(area->bounds(), Rect(100, 100, 100, 100));
    ASSERT_TRUE(area->isValidTableArea());
    EXPECT_EQ(area->intersectPointArray().size(), 9u);
    ASSERT_EQ(area->tablePoints().size(), 3u);
    for (std::size_t r = 0; r < 3; ++r) {
        ASSERT_EQ(area->tablePoints()[r].size(), 3u);
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(area->tablePoints()[r][c]->point(), (Point{100.0 + 50 * c, 100.0 + 50 * r}));
            // Each crossing has its horizontal and its vertical line.
            EXPECT_EQ(area->tablePoints()[r][c]->tableLines().size(), 2u);
        }
    }
    manager().clearTableLineInvalidRunPaths();
    for (const auto& run : runs)
        EXPECT_TRUE(run->isTableLine());
}

TEST_F(QXDocxTableManagerTest, LoneRectangleIsNoTable)
{
    const auto frame = rectRun(Rect(100, 100, 200, 80));
    const auto stray = segmentRun({400, 600}, {500, 600});
    manager().addRunPathIfNeed(frame);
    manager().addRunPathIfNeed(stray);
    EXPECT_TRUE(manager().createAllTableAreas().empty());
    // Four lines are too few for an area: the paths go back to the page.
    auto area = QXDocxTableArea::initWithLines(manager().creatTableLines());
    manager().clearTableLineInvalidRunPaths();
    EXPECT_FALSE(frame->isTableLine());
    EXPECT_FALSE(stray->isTableLine());
}

TEST_F(QXDocxTableManagerTest, ChartAxisWithTicksIsNoTable)
{
    // A long axis with eight ticks hanging below it: one row of points.
    std::vector<QXDocxRunPathPtr> runs{segmentRun({50, 300}, {400, 300})};
    for (int i = 0; i < 8; ++i)
        runs.push_back(segmentRun({50.0 + 50 * i, 300}, {50.0 + 50 * i, 308}));
    addAll(runs);
    const auto areas = manager().createAllTableAreas();
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_FALSE(areas[0]->isValidTableArea());
    areas[0]->setAllTableLinesInvalid();
    manager().clearTableLineInvalidRunPaths();
    for (const auto& run : runs)
        EXPECT_FALSE(run->isTableLine());
}

TEST_F(QXDocxTableManagerTest, PageFrameBecomesPageBorders)
{
    const auto frame = rectRun(Rect(50, 60, 500, 660), 1.5);
    manager().addRunPathIfNeed(frame);
    addAll(gridRuns({150, 200}, 2, 2, 50));
    const auto areas = manager().createAllTableAreas();
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0]->bounds(), Rect(150, 200, 100, 100));
    EXPECT_EQ(manager().pgBorders_offsetFrom(), 2);
    const auto& b = manager().pgBorders();
    EXPECT_FLOAT_EQ(b.top.sz, 1.5f);
    // Each side measured from its own page edge.
    EXPECT_FLOAT_EQ(b.top.space, 60);
    EXPECT_FLOAT_EQ(b.left.space, 50);
    EXPECT_FLOAT_EQ(b.bottom.space, 800 - 720);
    EXPECT_FLOAT_EQ(b.right.space, 600 - 550);
    manager().clearTableLineInvalidRunPaths();
    EXPECT_TRUE(frame->isTableLine());
    manager().endPage();
    EXPECT_EQ(manager().pgBorders_offsetFrom(), 0);
}

TEST_F(QXDocxTableManagerTest, FrameShareOfPage)
{
    // 95 % of the page: dropped without borders; 50 % exactly: no border,
    // the frame stays with the lines (the grid inside joins its area).
    struct Case {
        Rect frame;
        int offsetFrom;
        std::size_t areas;
    };
    const double side95 = std::sqrt(0.95);
    for (const Case& c : {Case{Rect(0, 0, 600 * side95, 800 * side95), 0, 1}, Case{Rect(0, 0, 300, 800), 0, 1}}) {
        manager().begainPage();
        manager().addRunPathIfNeed(rectRun(c.frame));
        addAll(gridRuns({20, 200}, 2, 2, 50));
        const auto areas = manager().createAllTableAreas();
        EXPECT_EQ(manager().pgBorders_offsetFrom(), c.offsetFrom);
        EXPECT_EQ(areas.size(), c.areas) << c.frame.width();
    }
}

TEST_F(QXDocxTableManagerTest, PathFeedingTableAndStrayLinesGivesTheStrayBack)
{
    auto runs = gridRuns({100, 100}, 2, 2, 50);
    // The top rule's path also draws a short stroke far from the table.
    Path mixed;
    mixed.moveTo({100, 100});
    mixed.lineTo({200, 100});
    mixed.moveTo({400, 500});
    mixed.lineTo({480, 500});
    runs[0] = pathRun(mixed);
    addAll(runs);
    const auto areas = manager().createAllTableAreas();
    ASSERT_EQ(areas.size(), 1u);
    ASSERT_TRUE(areas[0]->isValidTableArea());
    const auto back = manager().clearTableLineInvalidRunPaths();
    EXPECT_TRUE(runs[0]->isTableLine());
    ASSERT_EQ(back.size(), 1u);
    EXPECT_FALSE(back[0]->isTableLine());
    const auto& elements = back[0]->runCGPath().elements();
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].points[0], (Point{400, 500}));
    EXPECT_EQ(elements[1].points[0], (Point{480, 500}));
    EXPECT_EQ(back[0]->runLineType(), QXDocxRunPath::kLineTypeHorizontal);
}

TEST_F(QXDocxTableManagerTest, SeparateTablesComeSmallestFirst)
{
    addAll(gridRuns({50, 50}, 3, 3, 40));
    addAll(gridRuns({50, 400}, 2, 2, 30));
    const auto areas = manager().createAllTableAreas();
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[0]->bounds(), Rect(50, 400, 60, 60));
    EXPECT_EQ(areas[1]->bounds(), Rect(50, 50, 120, 120));
}

TEST_F(QXDocxTableManagerTest, TwoOrFewerLinesGiveNothing)
{
    const auto a = segmentRun({0, 0}, {100, 0});
    const auto b = segmentRun({50, -50}, {50, 50});
    manager().addRunPathIfNeed(a);
    manager().addRunPathIfNeed(b);
    EXPECT_TRUE(manager().createAllTableAreas().empty());
    for (const auto& line : manager().allTableLines())
        EXPECT_TRUE(line->isInvalid());
}

TEST(QXDocxTableManagerLinesTest, IndexedLinesThroughPointsMatchOneByOne)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> pos(0, 500), len(1, 600);
    QXDocxTableLineArray lines;
    for (int i = 0; i < 80; ++i) {
        const double x = pos(rng), y = pos(rng), l = len(rng);
        lines.push_back(std::make_shared<QXDocxTableLine>(Point{x, y}, i % 2 ? Point{x + l, y} : Point{x, y + l}));
    }
    std::vector<Point> points;
    for (int i = 0; i < 400; ++i)
        points.push_back({pos(rng), pos(rng)});
    // Points on and near the lines' ends too.
    for (const auto& l : lines)
        points.push_back({l->endPoint().x + 10, l->endPoint().y + 3});
    const auto indexed = QXDocxTableManager::FindInterTableLines(lines, points);
    std::size_t hits = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(indexed[k], QXDocxTableManager::FindInterTableLines(lines, points[k])) << k;
        hits += indexed[k].size();
    }
    EXPECT_GT(hits, 0u);
}

TEST(QXDocxTableManagerLinesTest, OverlapWithBorderSegment)
{
    const QXDocxTableLineArray lines{std::make_shared<QXDocxTableLine>(Point{0, 10}, Point{100, 10}),
                                     std::make_shared<QXDocxTableLine>(Point{50, 12}, Point{80, 12}),
                                     std::make_shared<QXDocxTableLine>(Point{0, 50}, Point{100, 50})};
    const QXDocxTablePoint p1(3, {0, 10});
    const QXDocxTablePoint p2(3, {100, 10});
    const auto found = QXDocxTableManager::FindTableLines(lines, p1, p2, 0);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], lines[1]); // smaller overlap first
    EXPECT_EQ(found[1], lines[0]);
    EXPECT_FLOAT_EQ(QXDocxTableManager::LineStartPoint({0, 10}, {100, 10}, {50, 12}, {80, 12}), 30);
}

} // namespace
} // namespace rz
