// The sheet grid: row and column bands, the merging of runs that belong
// together, row and column numbers, the column correction, spans and cell
// frames.
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelPage.h"
#include "xlsx/sheet/QXExcelSortUtilities.h"
#include "xlsx/sheet/QXExcelTempColumn.h"
#include "xlsx/sheet/QXExcelTempRow.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace rz;

namespace {

// A run `width` wide and `height` high at (x, top), its baseline at 80% of
// its height.
std::shared_ptr<QXExcelRunText> gridRun(std::string text, double x, double top, double width, double height = 10,
                                    std::string color = "000000")
{
    auto r = std::make_shared<QXExcelRunText>();
    r->setText(std::move(text));
    r->rPr().rgbColor = std::move(color);
    QXPDF_CTMInfo& info = r->ctmInfo();
    info.xLeft = x;
    info.xRight = x + width;
    info.yTop = top;
    info.yBase = top + height * 0.8;
    info.yBottom = top + height;
    r->setTextWidth(width);
    return r;
}

std::shared_ptr<QXExcelRunText> gridPlaced(std::string text, size_t row, size_t column, double x, double top,
                                       double width, double height = 10)
{
    auto r = gridRun(std::move(text), x, top, width, height);
    r->setRowIndex(row);
    r->setColumnIndex(column);
    return r;
}

struct Placement {
    std::string text;
    size_t row;
    size_t column;
    bool operator==(const Placement&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placement& p)
{
    return out << p.text << "@" << p.row << "," << p.column;
}

// The page's runs after typesetting, as (text, row, column) in page order.
std::vector<Placement> typeset(std::vector<std::shared_ptr<QXExcelRunText>> runs)
{
    QXExcelPage page;
    page.allRunTextArray() = std::move(runs);
    page.typesetRunTexts();
    std::vector<Placement> result;
    for (const auto& r : page.allRunTextArray())
        result.push_back({r->text(), r->rowIndex(), r->columnIndex()});
    return result;
}

class QXExcelGridTest : public ::testing::Test {
protected:
    void SetUp() override { QXExcelManager::destory(); }
    void TearDown() override { QXExcelManager::destory(); }
    static void setOverlapOption(int option)
    {
        QXExcelOptions options;
        options.setOverlapText(option);
        QXExcelManager::sharedInstance().setOptions(options);
    }
};

} // namespace

TEST_F(QXExcelGridTest, RowBandReachesToTheLowestBaseline)
{
    // The first run's baseline lies at 8: a run starting above it joins the
    // band, one starting on it does not.
    struct Case {
        double top;
        size_t bandSize;
    };
    for (const Case& c : {Case{7.99, 2}, Case{8, 1}}) {
        const QXExcelRunTexts runs = {gridRun("a", 0, 0, 10), gridRun("b", 50, c.top, 10)};
        EXPECT_EQ(QXExcelSortUtilities::FindRunTextsCrossedInHeight(runs).size(), c.bandSize) << c.top;
    }
    // A member that reaches lower lets later runs in.
    const QXExcelRunTexts chain = {gridRun("a", 0, 0, 10), gridRun("b", 50, 7, 10), gridRun("c", 90, 14, 10)};
    EXPECT_EQ(QXExcelSortUtilities::FindRunTextsCrossedInHeight(chain).size(), 3u);
}

TEST_F(QXExcelGridTest, RunsOfOneRowMergeByGapAndOption)
{
    // The second run starts `gap` after the first one's right edge (20).
    struct Case {
        int option;
        double gap;
        bool merges;
    };
    const Case cases[] = {
        {0, 1.5, true},  {0, -2.9, true},  {0, 2, false},  {0, -3, false},
        {2, 1.5, true},  {2, -1.9, true},  {2, -2, false}, {2, 2, false},
        {1, 2.9, true},  {1, -15, true},   {1, 3, false},
    };
    for (const Case& c : cases) {
        setOverlapOption(c.option);
        const auto placedRuns = typeset({gridRun("12", 0, 0, 20), gridRun("34", 20 + c.gap, 0, 20)});
        EXPECT_EQ(placedRuns.size(), c.merges ? 1u : 2u) << "option " << c.option << " gap " << c.gap;
        if (c.merges) {
            EXPECT_EQ(placedRuns.front().text, "1234");
        }
    }
    // Another colour, or another baseline, keeps runs apart.
    setOverlapOption(0);
    EXPECT_EQ(typeset({gridRun("12", 0, 0, 20), gridRun("34", 21, 0, 20, 10, "ff0000")}).size(), 2u);
    EXPECT_EQ(typeset({gridRun("12", 0, 0, 20), gridRun("34", 21, 1, 20)}).size(), 2u);
}

TEST_F(QXExcelGridTest, MergedRunTakesTheUnionOfTheBoxes)
{
    const auto first = gridRun("12", 0, 0, 20);
    const auto second = gridRun("34", 21, -1, 20, 12);
    const auto merged = QXExcelSortUtilities::MergeRunTextsInWidth({first, second});
    EXPECT_EQ(merged, first);
    EXPECT_EQ(merged->text(), "1234");
    EXPECT_EQ(merged->ctmInfo().yTop, -1);
    EXPECT_EQ(merged->ctmInfo().yBottom, 11);
    EXPECT_EQ(merged->ctmInfo().xRight, 41);
    EXPECT_EQ(merged->textWidth(), 41);
}

TEST_F(QXExcelGridTest, StackedRunsOfOneColumnMerge)
{
    // The second run starts 1.9 points below the first one's bottom and
    // overlaps it across by more than a point.
    struct Case {
        const char* first;
        const char* color;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"Total", "000000", {"Total amount"}},
        {"合计", "000000", {"合计amount"}},
        {"Total", "ff0000", {"Total", "amount"}},
    };
    for (const Case& c : cases) {
        const QXExcelRunTexts runs = {gridRun(c.first, 0, 0, 40), gridRun("amount", 10, 11.9, 40, 10, c.color)};
        const QXExcelRunTexts group = QXExcelSortUtilities::FindRunTextsMergedInHeight(runs);
        std::vector<std::string> texts;
        if (group.size() >= 2) {
            texts.push_back(QXExcelSortUtilities::MergeRunTextsInHeight(group)->text());
        } else {
            for (const auto& r : runs)
                texts.push_back(r->text());
        }
        EXPECT_EQ(texts, c.texts) << c.first << " " << c.color;
    }
    // Inside a row band held together by a tall run on the left, the two
    // lines on the right become one cell.
    const auto result = typeset({gridRun("Label", 0, 0, 30, 24), gridRun("Total", 100, 0, 40), gridRun("amount", 100, 11.9, 40)});
    EXPECT_EQ(result, (std::vector<Placement>{{"Label", 1, 1}, {"Total amount", 1, 2}}));
}

TEST_F(QXExcelGridTest, RowsAndColumnsOfATable)
{
    const auto result = typeset({
        gridRun("Name", 0, 0, 30), gridRun("Qty", 100, 0, 20), gridRun("Price", 200, 0, 30),
        gridRun("Apple", 0, 20, 30), gridRun("12", 105, 20, 10), gridRun("0.50", 200, 20, 25),
        gridRun("Pear", 0, 40, 25), gridRun("7", 105, 40, 5),
    });
    EXPECT_EQ(result, (std::vector<Placement>{
                          {"Name", 1, 1}, {"Apple", 2, 1}, {"Pear", 3, 1}, {"Qty", 1, 2}, {"12", 2, 2},
                          {"7", 3, 2}, {"Price", 1, 3}, {"0.50", 2, 3}}));
    EXPECT_TRUE(typeset({}).empty());
}

TEST_F(QXExcelGridTest, RunsWithoutAPlaceAreLeftOut)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<const char*, void (*)(QXExcelRunText&, double)> fields[] = {
        {"xLeft", [](QXExcelRunText& r, double v) { r.ctmInfo().xLeft = v; }},
        {"xRight", [](QXExcelRunText& r, double v) { r.ctmInfo().xRight = v; }},
        {"yTop", [](QXExcelRunText& r, double v) { r.ctmInfo().yTop = v; }},
        {"yBase", [](QXExcelRunText& r, double v) { r.ctmInfo().yBase = v; }},
        {"yBottom", [](QXExcelRunText& r, double v) { r.ctmInfo().yBottom = v; }},
        {"textWidth", [](QXExcelRunText& r, double v) { r.setTextWidth(v); }},
    };
    for (const auto& [name, set] : fields) {
        for (double bad : {nan, inf, -inf}) {
            auto broken = gridRun("broken", 50, 0, 20);
            set(*broken, bad);
            EXPECT_EQ(typeset({gridRun("kept", 0, 0, 20), broken, gridRun("also", 100, 0, 20)}),
                      (std::vector<Placement>{{"kept", 1, 1}, {"also", 1, 2}}))
                << name << " " << bad;
        }
    }
}

TEST_F(QXExcelGridTest, TypesettingTwiceGivesTheSameGrid)
{
    QXExcelPage page;
    // The tall run reaches into the row of "b" (top 25) over an empty cell,
    // and no further.
    page.allRunTextArray() = {gridRun("big", 0, 0, 50, 30), gridRun("b", 200, 25, 20), gridRun("c", 200, 40, 20)};
    page.typesetRunTexts();
    const size_t rowLength = page.allRunTextArray()[0]->rowLength();
    EXPECT_EQ(rowLength, 1u);
    page.typesetRunTexts();
    EXPECT_EQ(page.allRunTextArray()[0]->rowLength(), rowLength);
}

TEST_F(QXExcelGridTest, RunsOfALeafOnTwoBaselines)
{
    // Two runs overlapping across and down: baselines 0.8 point apart are
    // one row; 1.2 points apart two, the leaf's last run taking the first.
    struct Case {
        double shift;
        size_t rowOfA;
        size_t rowOfB;
    };
    for (const Case& c : {Case{0.8, 1, 1}, Case{1.2, 2, 1}}) {
        QXExcelPage page;
        page.allRunTextArray() = {gridRun("A", 0, 0, 50), gridRun("B", 10, c.shift, 50)};
        page.typesetRunTexts();
        ASSERT_EQ(page.allRunTextArray().size(), 2u);
        EXPECT_EQ(page.allRunTextArray()[0]->text(), "A");
        EXPECT_EQ(page.allRunTextArray()[0]->rowIndex(), c.rowOfA) << c.shift;
        EXPECT_EQ(page.allRunTextArray()[1]->rowIndex(), c.rowOfB) << c.shift;
    }
}

TEST_F(QXExcelGridTest, ColumnCorrection)
{
    // A wide run of column 1 whose centre passes column 2's left edge moves
    // into column 2.
    {
        QXExcelPage page;
        page.allRunTextArray() = {gridPlaced("a", 1, 1, 0, 0, 30), gridPlaced("wide", 2, 1, 50, 20, 60),
                                  gridPlaced("b", 1, 2, 70, 0, 30)};
        page.correctColumnNumber(0);
        EXPECT_EQ(page.allRunTextArray()[0]->columnIndex(), 1u);
        EXPECT_EQ(page.allRunTextArray()[1]->columnIndex(), 2u);
    }
    // Never into a cell its row holds, where the texts would run together:
    // the text there moves along when its centre lies in the column after
    // its own (d of row 1 starts column 3 at 120), else nothing moves.
    struct Holder {
        bool thirdColumn;
        size_t wideColumn;
        size_t cColumn;
    };
    for (const Holder& h : {Holder{false, 1, 2}, Holder{true, 2, 3}}) {
        QXExcelPage page;
        page.allRunTextArray() = {gridPlaced("a", 1, 1, 0, 0, 30), gridPlaced("wide", 2, 1, 50, 20, 60),
                                  gridPlaced("b", 1, 2, 70, 0, 30), gridPlaced("c", 2, 2, 120, 20, 30)};
        if (h.thirdColumn)
            page.allRunTextArray().push_back(gridPlaced("d", 1, 3, 120, 0, 30));
        page.correctColumnNumber(0);
        EXPECT_EQ(page.allRunTextArray()[1]->columnIndex(), h.wideColumn) << h.thirdColumn;
        EXPECT_EQ(page.allRunTextArray()[3]->columnIndex(), h.cColumn) << h.thirdColumn;
    }
    // A run that would keep moving (a narrow run at the left of each of 30
    // columns) stops after pass 20: 21 moves from column 1.
    {
        QXExcelPage page;
        for (size_t c = 1; c <= 30; ++c)
            page.allRunTextArray().push_back(gridPlaced("s", c, c, 0, c * 20.0, 1));
        const auto wide = gridPlaced("wide", 40, 1, 10, 1000, 990);
        page.allRunTextArray().push_back(wide);
        page.correctColumnNumber(0);
        EXPECT_EQ(wide->columnIndex(), 22u);
    }
}

TEST_F(QXExcelGridTest, SpansStopAtOccupiedCells)
{
    // A tall run in row 1 reaches below the top of row 2 (15); a wide run
    // reaches past the left edge of column 2 (100).
    struct Case {
        const char* what;
        bool cellBelowTaken;
        bool cellRightTaken;
        size_t rowLength;
        size_t columnLength;
    };
    const Case cases[] = {
        {"free", false, false, 1, 1},
        {"below taken", true, false, 0, 1},
        {"right taken", false, true, 1, 0},
    };
    for (const Case& c : cases) {
        QXExcelPage page;
        const auto big = gridPlaced("big", 1, 1, 0, 0, 120, 30);
        page.allRunTextArray() = {big, gridPlaced("next row", 2, 3, 300, 15, 20), gridPlaced("next col", 3, 2, 100, 60, 20)};
        if (c.cellBelowTaken)
            page.allRunTextArray().push_back(gridPlaced("below", 2, 1, 0, 40, 20));
        if (c.cellRightTaken)
            page.allRunTextArray().push_back(gridPlaced("right", 1, 2, 130, 0, 20));
        page.caculateRunTextMergeLength();
        EXPECT_EQ(big->rowLength(), c.rowLength) << c.what;
        EXPECT_EQ(big->columnLength(), c.columnLength) << c.what;
    }
}

TEST_F(QXExcelGridTest, CellFrameCoversItsColumns)
{
    std::vector<std::shared_ptr<QXExcelColumn>> columns;
    for (size_t i = 1; i <= 3; ++i) {
        auto column = std::make_shared<QXExcelColumn>();
        column->setColumnIndex(i);
        column->setFrame(Rect(i * 100.0, 0, 40 + i, 0));
        columns.push_back(column);
    }
    struct Case {
        size_t column;
        size_t length;
        Rect frame;
    };
    const Case cases[] = {
        {2, 0, Rect(200, 0, 42, 0)},
        {2, 1, Rect(200, 0, 42, 0)},
        {1, 2, Rect(100, 0, 41 + 42, 0)},
        {5, 0, Rect(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        auto item = std::make_shared<QXExcelStringItem>();
        item->setColumnIndex(c.column);
        item->setColumnLength(c.length);
        EXPECT_EQ(QXExcelPage::getCellFrame(QXExcelCell(item), columns), c.frame) << c.column << "+" << c.length;
    }
}

TEST_F(QXExcelGridTest, OneWalkFindsTheBandsAndGroupsOfTheSweep)
{
    // Runs scattered over a small area, sorted as typesetting sorts them:
    // the bands and merge groups found in one walk are those of taking the
    // first run's band (group) out again and again.
    unsigned seed = 12345;
    const auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 16) % static_cast<unsigned>(range)) / 4;
    };
    const auto scatter = [&](int xRange, int yRange) {
        QXExcelRunTexts runs;
        for (int i = 0; i < 300; ++i)
            runs.push_back(gridRun("r", next(xRange), next(yRange), 1 + next(60), 4 + next(40),
                                   next(8) < 1 ? "ff0000" : "000000"));
        return runs;
    };

    const auto bySweep = [](QXExcelRunTexts rest, auto sweep) {
        std::vector<QXExcelRunTexts> groups;
        while (!rest.empty()) {
            groups.push_back(sweep(rest));
            rest = QXExcelSortUtilities::RemoveRunTexts(rest, groups.back());
        }
        return groups;
    };
    const auto runsOf = [](const auto& bands) {
        std::vector<QXExcelRunTexts> groups;
        for (const auto& band : bands)
            groups.push_back(band->runTexts());
        return groups;
    };

    // Sparse runs give many bands, dense ones many merge groups.
    const QXExcelRunTexts sparse = scatter(20000, 20000);
    const QXExcelRunTexts sparseByY = QXExcelSortUtilities::SortRunTextsByY(sparse);
    const QXExcelRunTexts sparseByX = QXExcelSortUtilities::SortRunTextsByX(sparse);
    EXPECT_EQ(runsOf(QXExcelMakeRowBands<QXExcelTempRow>(sparseByY)),
              bySweep(sparseByY, QXExcelSortUtilities::FindRunTextsCrossedInHeight));
    EXPECT_EQ(runsOf(QXExcelMakeColumnBands<QXExcelTempColumn>(sparseByX)),
              bySweep(sparseByX, QXExcelSortUtilities::FindRunTextsCrossedInWidth));

    const QXExcelRunTexts dense = scatter(2000, 400);
    const QXExcelRunTexts byY = QXExcelSortUtilities::SortRunTextsByY(dense);
    const QXExcelRunTexts byX = QXExcelSortUtilities::SortRunTextsByX(dense);
    for (int option : {0, 1, 2}) {
        EXPECT_EQ(QXExcelSortUtilities::GroupRunTextsMergedInWidth(byX, option),
                  bySweep(byX, [&](const QXExcelRunTexts& rest) {
                      return QXExcelSortUtilities::FindRunTextsMergedInWidth(rest, option);
                  }))
            << "option " << option;
    }
    EXPECT_EQ(QXExcelSortUtilities::GroupRunTextsMergedInHeight(byY),
              bySweep(byY, QXExcelSortUtilities::FindRunTextsMergedInHeight));
}
