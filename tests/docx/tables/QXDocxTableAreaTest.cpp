#include "docx/tables/QXDocxTableArea.h"

#include "TableDetectionFixtures.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

using namespace tabletest;

QXDocxTableLineArray gridLines(Point origin, int rows, int columns, double cell)
{
    QXDocxTableLineArray lines;
    for (const auto& run : gridRuns(origin, rows, columns, cell)) {
        const auto& e = run->runCGPath().elements();
        auto line = std::make_shared<QXDocxTableLine>(e[0].points[0], e[1].points[0]);
        line->setInitRunPath(run);
        line->setAllRunPathArray({run});
        line->updateLineInfo();
        lines.push_back(line);
    }
    return lines;
}

QXDocxTablePointArray pointsAt(std::initializer_list<Point> positions)
{
    QXDocxTablePointArray points;
    for (Point p : positions)
        points.push_back(std::make_shared<QXDocxTablePoint>(3, p));
    return points;
}

TEST(QXDocxTableAreaTest, PointRowsGroupByYWithin5_1)
{
    const auto rows = QXDocxTableArea::SortTablePointsGroup(
        pointsAt({{100, 55}, {0, 0}, {50, 5}, {100, 0}, {0, 50}, {50, 50}, {0, 100}}));
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0].size(), 3u);
    EXPECT_EQ(rows[0][0]->point(), (Point{0, 0}));
    EXPECT_EQ(rows[0][1]->point(), (Point{50, 5}));
    EXPECT_EQ(rows[0][2]->point(), (Point{100, 0}));
    EXPECT_EQ(rows[1].size(), 3u);
    EXPECT_EQ(rows[2].size(), 1u);
    EXPECT_TRUE(QXDocxTableArea::SortTablePointsGroup({}).empty());
}

TEST(QXDocxTableAreaTest, LineCountAndSizeMakeACandidate)
{
    struct Case {
        const char* name;
        QXDocxTableLineArray lines;
        bool candidate;
    };
    const Case cases[] = {
        {"grid 2 x 2", gridLines({0, 0}, 2, 2, 50), true},
        {"rectangle", gridLines({0, 0}, 1, 1, 50), false},
        {"flat grid", gridLines({0, 0}, 2, 2, 2.9), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXDocxTableArea::initWithLines(c.lines)->isValidTableLines(), c.candidate) << c.name;
}

TEST(QXDocxTableAreaTest, Validity)
{
    // A 2 x 1 grid of lines: 6 crossings in two rows of three.
    QXDocxTableLineArray twoCells = gridLines({0, 0}, 1, 2, 50);
    // An axis with ticks: one row of points, no row of cells.
    QXDocxTableLineArray axis{pathLine({0, 100}, {300, 100})};
    for (int i = 0; i < 7; ++i)
        axis.push_back(pathLine({50.0 * i, 100}, {50.0 * i, 110}));
    // A rectangle with its top drawn twice: four corners only.
    QXDocxTableLineArray fourPoints = gridLines({0, 0}, 1, 1, 50);
    fourPoints.push_back(pathLine({0, 0}, {50, 0}));
    QXDocxTableLineArray mostlyShort = gridLines({0, 0}, 2, 2, 50);
    for (int i = 0; i < 7; ++i)
        mostlyShort.push_back(pathLine({200.0 + 10 * i, 0}, {200.0 + 10 * i, 4}));
    struct Case {
        const char* name;
        QXDocxTableLineArray lines;
        bool valid;
    };
    const Case cases[] = {
        {"two cells", twoCells, true},
        {"one row of points", axis, false},
        {"four points", fourPoints, false},
        {"most lines short", mostlyShort, false},
    };
    for (const Case& c : cases) {
        auto area = QXDocxTableArea::initWithLines(c.lines);
        EXPECT_EQ(area->isValidTableArea(), c.valid) << c.name;
    }
}

TEST(QXDocxTableAreaTest, HalfShortLinesAreDroppedAndTheRestStays)
{
    QXDocxTableLineArray lines = gridLines({0, 0}, 2, 2, 50);
    for (int i = 0; i < 6; ++i)
        lines.push_back(pathLine({300.0 + 10 * i, 0}, {300.0 + 10 * i, 4}));
    auto area = QXDocxTableArea::initWithLines(lines);
    EXPECT_TRUE(area->isValidTableArea());
    EXPECT_EQ(area->tableLines().size(), 6u);
    EXPECT_EQ(area->tableLines_removed().size(), 6u);
}

TEST(QXDocxTableAreaTest, CurveOverTheAreaIsAChart)
{
    auto area = QXDocxTableArea::initWithLines(gridLines({0, 0}, 2, 2, 50));
    Path series;
    series.moveTo({-10, 80});
    series.curveTo({20, 10}, {40, 90}, {60, 30});
    area->setAllRunPathArray_excluded({pathRun(series)});
    EXPECT_TRUE(area->isGraphChart());
    EXPECT_FALSE(area->isValidTableArea());
    Path small;
    small.moveTo({10, 10});
    small.curveTo({12, 12}, {14, 12}, {16, 10});
    area->setAllRunPathArray_excluded({pathRun(small)});
    EXPECT_FALSE(area->isGraphChart());
}

TEST(QXDocxTableAreaTest, JoinsAreasWithin5_1)
{
    auto a = QXDocxTableArea::initWithLines(gridLines({0, 0}, 2, 2, 50));
    auto b = QXDocxTableArea::initWithLines(gridLines({105, 0}, 2, 2, 50));
    auto c = QXDocxTableArea::initWithLines(gridLines({320, 0}, 2, 2, 50));
    auto d = QXDocxTableArea::initWithLines(gridLines({205, 0}, 2, 2, 50));
    const auto sets = QXDocxTableArea::JoinIntersectTableAreas({a, c, b, d});
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0], (QXDocxTableAreaArray{a, b, d}));
    EXPECT_EQ(sets[1], (QXDocxTableAreaArray{c}));
    EXPECT_EQ(QXDocxTableArea::FindIntersectTableAreas({a, c, b, d}), (QXDocxTableAreaArray{a, b, d}));
}

TEST(QXDocxTableAreaTest, TextWidensItsScanRange)
{
    auto area = QXDocxTableArea::initWithLines(gridLines({0, 0}, 2, 2, 50));
    auto t1 = std::make_shared<QXDocxRunText>();
    t1->setPdfScanIndex(40);
    t1->setPdfScanLength(3);
    auto t2 = std::make_shared<QXDocxRunText>();
    t2->setPdfScanIndex(20);
    t2->setPdfScanLength(1);
    EXPECT_TRUE(area->addRunText(t1));
    EXPECT_TRUE(area->addRunText(t2));
    EXPECT_TRUE(area->addRunText(t1));
    EXPECT_EQ(area->allRunTextArray().size(), 2u);
    EXPECT_EQ(area->minTextPDFScanIndex(), 20u);
    EXPECT_EQ(area->maxTextPDFScanIndex(), 43u);
}

} // namespace
} // namespace rz
