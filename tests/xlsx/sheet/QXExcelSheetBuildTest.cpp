// A page's runs into string items, cells, rows, columns and merges, and into
// CSV text.
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelPage.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace rz;

namespace {

std::shared_ptr<QXExcelRunText> sheetRun(std::string text, double x, double top, double width, double height = 10)
{
    auto r = std::make_shared<QXExcelRunText>();
    r->setText(std::move(text));
    r->rPr().rgbColor = "000000";
    QXPDF_CTMInfo& info = r->ctmInfo();
    info.xLeft = x;
    info.xRight = x + width;
    info.yTop = top;
    info.yBase = top + height * 0.8;
    info.yBottom = top + height;
    r->setTextWidth(width);
    return r;
}

std::shared_ptr<QXExcelRunText> sheetPlaced(std::string text, size_t row, size_t column)
{
    auto r = sheetRun(std::move(text), column * 100.0, row * 20.0, 30);
    r->setRowIndex(row);
    r->setColumnIndex(column);
    return r;
}

class QXExcelSheetBuildTest : public ::testing::Test {
protected:
    void SetUp() override { QXExcelManager::destory(); }
    void TearDown() override { QXExcelManager::destory(); }
};

} // namespace

TEST_F(QXExcelSheetBuildTest, ItemsJoinRunsOfOneGridPositionAndDropBlankOnes)
{
    const auto items = QXExcelPage::getStringItemsFromRuns({
        sheetPlaced("Net", 1, 1), sheetPlaced("  ", 1, 2), sheetPlaced("12", 2, 1), sheetPlaced(" sales", 1, 1), sheetPlaced("", 3, 3),
        sheetPlaced("\t", 3, 4),
    });
    std::vector<std::pair<std::string, std::pair<size_t, size_t>>> got;
    for (const auto& item : items)
        got.push_back({item->content(), {item->rowIndex(), item->columnIndex()}});
    // Blank means empty or spaces only; a TAB is content.
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::pair<size_t, size_t>>>{
                       {"Net sales", {1, 1}}, {"12", {2, 1}}, {"\t", {3, 4}}}));
}

TEST_F(QXExcelSheetBuildTest, ItemBoxAndSpans)
{
    QXExcelStringItem item;
    auto a = sheetRun("a", -20, 5, 30);
    auto b = sheetRun("b", -8, -4, 4);
    b->setRowLength(2);
    a->setColumnLength(1);
    item.runArray() = {a, b};
    item.calculatStringItemInfo();
    // Runs left of and above the page measure like any others.
    EXPECT_EQ(item.itemInfo().displayX, -20);
    EXPECT_EQ(item.itemInfo().displayY, -4);
    EXPECT_EQ(item.itemInfo().displayWidth, 30);
    EXPECT_EQ(item.itemInfo().displayHeight, 19);
    EXPECT_EQ(item.rowLength(), 2u);
    EXPECT_EQ(item.columnLength(), 1u);
}

TEST_F(QXExcelSheetBuildTest, SheetOfATable)
{
    QXExcelPage page;
    page.allRunTextArray() = {
        sheetRun("Name", 0, 0, 30), sheetRun("Qty", 100, 0, 20),
        sheetRun("Apple", 0, 20, 30), sheetRun("1,200", 100, 20, 25),
        sheetRun("Pear", 0, 40, 25), sheetRun("7", 100, 40, 5), sheetRun(" kg", 200, 40, 15),
        sheetRun("   ", 0, 60, 20),
    };
    page.creatSheet();

    ASSERT_EQ(page.sheetRows().size(), 3u);
    ASSERT_EQ(page.columns().size(), 3u);
    EXPECT_TRUE(page.mergeCells().empty());
    std::vector<std::string> cells;
    for (const auto& row : page.sheetRows()) {
        for (const auto& cell : row->cells())
            cells.push_back(QXExcelUtilities::cellReference(static_cast<long>(cell->columnIndex()), cell->rowIndex()) +
                            "=" + cell->dataType() + ":" + cell->cellValue());
    }
    // Shared strings are numbered in page order: column by column.
    EXPECT_EQ(cells, (std::vector<std::string>{"A1=s:0", "B1=s:3", "A2=s:1", "B2=n:1200", "A3=s:2", "B3=n:7",
                                               "C3=s:4"}));
    ASSERT_EQ(page.stringItems().size(), 5u);
    EXPECT_EQ(page.stringItems()[4]->content(), " kg");
    for (const auto& row : page.sheetRows())
        EXPECT_DOUBLE_EQ(row->frame().size.height, 13.5);
}

TEST_F(QXExcelSheetBuildTest, SpanningTextBecomesAMerge)
{
    // A title reaching across two columns above a two-column table.
    QXExcelPage page;
    page.allRunTextArray() = {
        sheetRun("Quarterly report", 0, 0, 160),
        sheetRun("Q1", 0, 20, 20), sheetRun("Q2", 120, 20, 20),
        sheetRun("10", 0, 40, 20), sheetRun("20", 120, 40, 20),
    };
    page.creatSheet();
    ASSERT_EQ(page.mergeCells().size(), 1u);
    EXPECT_EQ(page.mergeCells()[0].mergerCellInfo(), "A1:B1");

    // Without merging (format mode 1) there are no merges.
    QXExcelOptions options;
    options.setExcelFormatOption(1);
    QXExcelManager::sharedInstance().setOptions(options);
    QXExcelPage plain;
    plain.allRunTextArray() = {sheetRun("Quarterly report", 0, 0, 160), sheetRun("Q1", 0, 20, 20), sheetRun("Q2", 120, 20, 20)};
    plain.creatSheet();
    EXPECT_TRUE(plain.mergeCells().empty());
    EXPECT_EQ(plain.columns().size(), 2u);
}

TEST_F(QXExcelSheetBuildTest, EmptyPageBuildsNothing)
{
    QXExcelPage page;
    page.allRunTextArray() = {sheetRun(" ", 0, 0, 5)};
    page.creatSheet();
    EXPECT_TRUE(page.sheetRows().empty());
    EXPECT_TRUE(page.columns().empty());
    EXPECT_TRUE(page.stringItems().empty());
    QXExcelPage csv;
    csv.allRunTextArray() = {sheetRun(" ", 0, 0, 5)};
    EXPECT_EQ(csv.creatCSV(), "");
    EXPECT_EQ(QXExcelPage().creatCSV(), "");
}

TEST_F(QXExcelSheetBuildTest, CsvRowsAndColumns)
{
    // Row 2 fills columns 1 to 3; row 1 holds columns 1 and 3 only; the
    // runs arrive right to left.
    QXExcelPage page;
    page.allRunTextArray() = {
        sheetRun("third", 200, 0, 30), sheetRun("first", 0, 0, 30),
        sheetRun("c", 200, 20, 10), sheetRun("b", 100, 20, 10), sheetRun("a", 0, 20, 10),
    };
    EXPECT_EQ(page.creatCSV(), "first\t\tthird\na\tb\tc\n");
}

TEST_F(QXExcelSheetBuildTest, CsvFieldQuoting)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain text", "plain text"},
        {"1,234.56", "\"1,234.56\""},
        {"a;b", "\"a;b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a,\"b\"", "\"a,\"\"b\"\"\""},
        {"tab\there", "\"tab\there\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"", ""},
    };
    for (const auto& [content, field] : cases)
        EXPECT_EQ(QXExcelPage::csvField(content), field) << content;
}

TEST_F(QXExcelSheetBuildTest, SheetStaysWithinTheLargestSheet)
{
    const auto cellAt = [](size_t row, size_t column, size_t columnLength) {
        auto item = std::make_shared<QXExcelStringItem>();
        item->setRowIndex(row);
        item->setColumnIndex(column);
        item->setColumnLength(columnLength);
        return std::make_shared<QXExcelCell>(item);
    };
    QXExcelPage page;
    page.layOutCells({cellAt(1, 16385, 0), cellAt(2, 1, 16389), cellAt(1048577, 1, 0), cellAt(3, 16384, 5)}, true);
    EXPECT_EQ(page.limitToSheetSize(), 2u);
    std::vector<std::string> merges;
    for (const auto& merge : page.mergeCells())
        merges.push_back(merge.mergerCellInfo());
    // A range that would end past the last column ends at XFD; one left
    // with a single cell goes.
    EXPECT_EQ(merges, std::vector<std::string>{"A2:XFD2"});
    std::vector<size_t> rows;
    for (const auto& row : page.sheetRows())
        rows.push_back(row->rowIndex());
    EXPECT_EQ(rows, (std::vector<size_t>{2, 3}));
    std::vector<size_t> columns;
    for (const auto& column : page.columns())
        columns.push_back(column->columnIndex());
    EXPECT_EQ(columns, (std::vector<size_t>{1, 16384}));
}

TEST_F(QXExcelSheetBuildTest, ScatteredTextGivesASoundSheet)
{
    // Runs of mixed sizes scattered over a page, overlapping here and there:
    // every grid position holds at most one cell, rows come in ascending
    // order, and merged ranges neither overlap nor hide another cell.
    unsigned seed = 777;
    const auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 16) % static_cast<unsigned>(range));
    };
    QXExcelPage page;
    for (int i = 0; i < 400; ++i)
        page.allRunTextArray().push_back(sheetRun("t" + std::to_string(i), next(560), next(780), 5 + next(120),
                                                  6 + next(20)));
    page.creatSheet();

    std::set<std::pair<size_t, size_t>> positions;
    size_t previousRow = 0;
    for (const auto& row : page.sheetRows()) {
        EXPECT_GT(row->rowIndex(), previousRow);
        previousRow = row->rowIndex();
        for (const auto& cell : row->cells()) {
            EXPECT_EQ(cell->rowIndex(), row->rowIndex());
            EXPECT_TRUE(positions.emplace(cell->rowIndex(), cell->columnIndex()).second)
                << "two cells at " << cell->rowIndex() << "," << cell->columnIndex();
        }
    }
    ASSERT_FALSE(page.mergeCells().empty());
    const auto& merges = page.mergeCells();
    for (size_t i = 0; i < merges.size(); ++i) {
        for (size_t j = i + 1; j < merges.size(); ++j)
            EXPECT_FALSE(merges[i].isCross(merges[j])) << merges[i].mergerCellInfo() << " " << merges[j].mergerCellInfo();
        for (const auto& [row, column] : positions) {
            if (merges[i].contains(row, column)) {
                EXPECT_EQ(QXPoint({row, column}), merges[i].start()) << merges[i].mergerCellInfo();
            }
        }
    }
}
