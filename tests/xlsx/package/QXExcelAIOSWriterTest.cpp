// The single sheet of all pages: pages renumbered below or beside the ones
// before (merges with them, past a merge that reaches further than the
// last cell), rows and columns kept in order, and the largest sheet never
// passed.
#include "xlsx/package/QXExcelAIOSWriter.h"

#include "converter/QXError.h"
#include "xlsx/sheet/QXExcelPage.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace rz {
namespace {

// A page whose cells sit at the given (row, column) positions, each row and
// column with one height or width.
QXExcelPage pageWithCells(const std::vector<QXPoint>& positions, double size = 20)
{
    QXExcelPage page;
    std::map<size_t, std::shared_ptr<QXExcelRow>> rows;
    std::map<size_t, std::shared_ptr<QXExcelColumn>> columns;
    for (const QXPoint& p : positions) {
        auto item = std::make_shared<QXExcelStringItem>();
        item->setRowIndex(p.r);
        item->setColumnIndex(p.c);
        auto cell = std::make_shared<QXExcelCell>(item);
        auto& row = rows[p.r];
        if (!row) {
            row = std::make_shared<QXExcelRow>();
            row->setRowIndex(p.r);
            row->setFrame(Rect(0, 0, 0, size));
        }
        row->cells().push_back(cell);
        auto& column = columns[p.c];
        if (!column) {
            column = std::make_shared<QXExcelColumn>();
            column->setColumnIndex(p.c);
            column->setFrame(Rect(0, 0, size, 0));
        }
        column->cells().push_back(cell);
    }
    for (auto& [index, row] : rows)
        page.sheetRows().push_back(row);
    for (auto& [index, column] : columns)
        page.columns().push_back(column);
    return page;
}

std::vector<size_t> rowIndices(const QXExcelAIOSWriter& writer)
{
    std::vector<size_t> out;
    for (const auto& row : writer.sheetRows())
        out.push_back(row->rowIndex());
    return out;
}

std::vector<size_t> columnIndices(const QXExcelAIOSWriter& writer)
{
    std::vector<size_t> out;
    for (const auto& column : writer.columns())
        out.push_back(column->columnIndex());
    return out;
}

// The row numbers of the written sheet, in order.
std::vector<size_t> writtenRows(const QXExcelAIOSWriter& writer)
{
    std::ifstream in(writer.sheetXMLPath());
    std::stringstream text;
    text << in.rdbuf();
    const std::string xml = text.str();
    std::vector<size_t> rows;
    const std::regex row("<row r=\"([0-9]+)\"");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), row); it != std::sregex_iterator(); ++it)
        rows.push_back(std::stoul((*it)[1]));
    return rows;
}

TEST(QXExcelAIOSWriterTest, BelowShiftsRowsAndMergesAndWidensColumns)
{
    QXExcelAIOSWriter writer(test::makeTempDir() + "/below.xlsx");
    QXExcelPage first = pageWithCells({{1, 1}, {2, 2}, {3, 1}});
    writer.collectPageXMLToRow(first);
    QXExcelPage second = pageWithCells({{1, 1}, {2, 2}}, 50);
    second.mergeCells().emplace_back(QXPoint{1, 1}, QXPoint{2, 1});
    const auto secondCell = second.sheetRows()[1]->cells()[0];
    writer.collectPageXMLToRow(second);

    EXPECT_EQ(writer.highestRow(), 5u);
    EXPECT_EQ(columnIndices(writer), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(writer.columns()[1]->frame().size.width, 50);
    ASSERT_EQ(writer.mergeCells().size(), 1u);
    EXPECT_EQ(writer.mergeCells()[0].mergerCellInfo(), "A4:A5");
    EXPECT_EQ(secondCell->rowIndex(), 5u);
    EXPECT_EQ(secondCell->columnIndex(), 2u);

    // A merge reaching past the last row with a cell: the next page starts
    // below it.
    QXExcelPage third = pageWithCells({{1, 1}});
    third.mergeCells().emplace_back(QXPoint{1, 1}, QXPoint{3, 1});
    writer.collectPageXMLToRow(third);
    QXExcelPage fourth = pageWithCells({{1, 2}});
    writer.collectPageXMLToRow(fourth);
    EXPECT_EQ(writer.highestRow(), 9u);
    ASSERT_TRUE(writer.writeSheetXML());
    EXPECT_EQ(writtenRows(writer), (std::vector<size_t>{1, 2, 3, 4, 5, 6, 9}));
    if (test::runCommand("command -v xmllint >/dev/null 2>&1") == 0) {
        EXPECT_EQ(test::runCommand("xmllint --noout '" + writer.sheetXMLPath() + "'"), 0);
    }
}

TEST(QXExcelAIOSWriterTest, BesideShiftsColumnsAndJoinsRowsInOrder)
{
    QXExcelAIOSWriter writer(test::makeTempDir() + "/beside.xlsx");
    QXExcelPage first = pageWithCells({{1, 1}, {3, 2}});
    writer.collectPageXMLToColumn(first);
    QXExcelPage second = pageWithCells({{1, 1}, {2, 3}, {4, 1}}, 40);
    const auto rowFour = second.sheetRows()[2]->cells()[0];
    writer.collectPageXMLToColumn(second);

    EXPECT_EQ(columnIndices(writer), (std::vector<size_t>{1, 2, 3, 5}));
    EXPECT_EQ(rowIndices(writer), (std::vector<size_t>{1, 2, 3, 4}));
    EXPECT_EQ(writer.sheetRows()[0]->cells().size(), 2u);
    EXPECT_EQ(writer.sheetRows()[0]->frame().size.height, 40);
    EXPECT_EQ(rowFour->columnIndex(), 3u);
    EXPECT_EQ(rowFour->rowIndex(), 4u);
}

TEST(QXExcelAIOSWriterTest, TheLargestSheetIsNeverPassed)
{
    QXExcelAIOSWriter writer(test::makeTempDir() + "/large.xlsx");
    QXExcelPage tall = pageWithCells({{QXExcelUtilities::kMaxRows - 1, 1}});
    writer.collectPageXMLToRow(tall);
    QXExcelPage twoMore = pageWithCells({{1, 1}, {2, 1}});
    EXPECT_THROW(writer.collectPageXMLToRow(twoMore), QXConversionException);
    QXExcelPage oneMore = pageWithCells({{1, 1}});
    EXPECT_NO_THROW(writer.collectPageXMLToRow(oneMore));
    EXPECT_EQ(writer.highestRow(), QXExcelUtilities::kMaxRows);

    QXExcelAIOSWriter wide(test::makeTempDir() + "/wide.xlsx");
    QXExcelPage left = pageWithCells({{1, static_cast<size_t>(QXExcelUtilities::kMaxColumns)}});
    wide.collectPageXMLToColumn(left);
    QXExcelPage right = pageWithCells({{1, 1}});
    EXPECT_THROW(wide.collectPageXMLToColumn(right), QXConversionException);
    EXPECT_EQ(columnIndices(wide), std::vector<size_t>{static_cast<size_t>(QXExcelUtilities::kMaxColumns)});
}

} // namespace
} // namespace rz
