// The worksheet part of a page: its elements in order, what an empty page
// writes, the selected tab, and no part left behind by a failed write.
#include "tests/support/PdfWriter.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelPage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace rz;

namespace {

class QXExcelPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QXExcelManager::destory();
        folder_ = rz::test::makeTempDir();
        std::filesystem::create_directories(folder_ / "xl" / "worksheets");
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder_);
        QXExcelManager::destory();
    }
    static std::string read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::filesystem::path folder_;
};

std::shared_ptr<QXExcelCell> sheetCellAt(size_t row, size_t column, std::string value, std::string type)
{
    auto item = std::make_shared<QXExcelStringItem>();
    item->setRowIndex(row);
    item->setColumnIndex(column);
    auto cell = std::make_shared<QXExcelCell>(item);
    cell->setCellValue(std::move(value));
    cell->setDataType(std::move(type));
    return cell;
}

} // namespace

TEST_F(QXExcelPageTest, WorksheetWithColumnsRowsAndMerges)
{
    QXExcelPage page(folder_.string(), 1);
    auto row = std::make_shared<QXExcelRow>();
    row->cells() = {sheetCellAt(2, 4, "1234.56", "n"), sheetCellAt(2, 2, "0", "s")};
    row->setRowIndex(2);
    row->setHeight(20);
    page.sheetRows().push_back(row);
    auto column = std::make_shared<QXExcelColumn>();
    column->setColumnIndex(2);
    column->setWidth(90);
    page.columns().push_back(column);
    page.mergeCells().push_back(QXMergedCell({2, 2}, {3, 3}));
    ASSERT_TRUE(page.writeSheetXML());

    const std::string xml = read(page.sheetXMLPath());
    EXPECT_EQ(page.sheetXMLPath(), (folder_ / "xl/worksheets/sheet1.xml").string());
    const char* inOrder[] = {
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>)",
        R"(<worksheet)",
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")",
        R"(<sheetView tabSelected="1" workbookViewId="0">)",
        R"(<selection activeCell="A1" sqref="A1"/>)",
        R"(<sheetFormatPr defaultRowHeight="18.000000" defaultColWidth="15.000000"/>)",
        R"(<col min="2" max="2" width="33" customWidth="1"/>)",
        R"(<row r="2" spans="1:1" ht="22.00" customHeight="1">)",
        R"(<c r="B2" t="s"><v>0</v></c>)",
        R"(<c r="D2" t="n"><v>1234.56</v></c>)",
        R"(<mergeCells><mergeCell ref="B2:C3"/></mergeCells>)",
        R"(<pageMargins left="0" right="0" top="0" bottom="0" header="0" footer="0"/>)",
        R"(</worksheet>)",
    };
    size_t at = 0;
    // The writer indents; compare without the line breaks and tabs.
    std::string compact;
    for (char ch : xml) {
        if (ch != '\n' && ch != '\r' && ch != '\t')
            compact.push_back(ch);
    }
    for (const char* expected : inOrder) {
        const size_t found = compact.find(expected, at);
        ASSERT_NE(found, std::string::npos) << expected << "\nin\n" << compact;
        at = found;
    }
    EXPECT_FALSE(std::filesystem::exists(page.sheetXMLPath() + ".partial"));
}

TEST_F(QXExcelPageTest, EmptyPageAndLaterSheets)
{
    QXExcelPage page(folder_.string(), 3);
    ASSERT_TRUE(page.writeSheetXML());
    const std::string xml = read(folder_ / "xl/worksheets/sheet3.xml");
    EXPECT_NE(xml.find("<sheetData/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<pageMargins"), std::string::npos);
    for (const char* absent : {"<cols", "<mergeCells", "tabSelected"})
        EXPECT_EQ(xml.find(absent), std::string::npos) << absent << "\n" << xml;
}

TEST_F(QXExcelPageTest, FailedWriteLeavesNoPart)
{
    QXExcelPage page((folder_ / "missing").string(), 1);
    EXPECT_FALSE(page.writeSheetXML());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));

    // A directory in the part's place: the rename fails and nothing is left.
    QXExcelPage blocked(folder_.string(), 2);
    std::filesystem::create_directories(blocked.sheetXMLPath() + "/inside");
    EXPECT_FALSE(blocked.writeSheetXML());
    EXPECT_FALSE(std::filesystem::exists(blocked.sheetXMLPath() + ".partial"));
    EXPECT_TRUE(std::filesystem::is_directory(blocked.sheetXMLPath()));
}

namespace {

struct Placed {
    size_t row, column, rowLength, columnLength;
    double x, y, width, height;
};

std::vector<std::shared_ptr<QXExcelCell>> placedCells(std::initializer_list<Placed> places)
{
    std::vector<std::shared_ptr<QXExcelCell>> cells;
    for (const Placed& p : places) {
        auto item = std::make_shared<QXExcelStringItem>();
        item->setRowIndex(p.row);
        item->setColumnIndex(p.column);
        item->setRowLength(p.rowLength);
        item->setColumnLength(p.columnLength);
        item->itemInfo() = QXExcelStringItemInfo{p.x, p.y, p.width, p.height};
        cells.push_back(std::make_shared<QXExcelCell>(item));
    }
    return cells;
}

std::vector<std::string> mergeTexts(const QXExcelPage& page)
{
    std::vector<std::string> texts;
    for (const QXMergedCell& merge : page.mergeCells())
        texts.push_back(merge.mergerCellInfo());
    return texts;
}

} // namespace

TEST_F(QXExcelPageTest, SpanningItemMergesAndLeavesRowAndColumnMeasures)
{
    QXExcelPage page;
    // B2 spans 2 rows and 3 columns; F2 and B5 sit beside and below it.
    page.layOutCells(placedCells({
                         {2, 2, 1, 2, 100, 50, 300, 40},
                         {2, 6, 0, 0, 420, 52, 60, 16},
                         {5, 2, 0, 0, 100, 120, 50, 14},
                     }),
                     true);
    EXPECT_EQ(mergeTexts(page), (std::vector<std::string>{"B2:D3"}));
    ASSERT_EQ(page.sheetRows().size(), 2u);
    EXPECT_EQ(page.sheetRows()[0]->rowIndex(), 2u);
    // Row 2 takes its height from F2 (52 + 16 - 50), not from the spanning B2.
    EXPECT_DOUBLE_EQ(page.sheetRows()[0]->frame().size.height, 18);
    EXPECT_EQ(page.sheetRows()[1]->rowIndex(), 5u);
    ASSERT_EQ(page.columns().size(), 2u);
    EXPECT_EQ(page.columns()[0]->columnIndex(), 2u);
    // Column B is as wide as B5, not as the merged text.
    EXPECT_DOUBLE_EQ(page.columns()[0]->frame().size.width, 50);
    EXPECT_EQ(page.columns()[1]->columnIndex(), 6u);
}

TEST_F(QXExcelPageTest, RowOfOnlySpanningCellsTakesTheLeastHeight)
{
    QXExcelPage page;
    page.layOutCells(placedCells({{1, 1, 1, 0, 0, 10, 40, 60}, {1, 2, 2, 0, 50, 10, 40, 60}}), true);
    ASSERT_EQ(page.sheetRows().size(), 1u);
    EXPECT_DOUBLE_EQ(page.sheetRows()[0]->frame().size.height, 13.5);
    EXPECT_EQ(mergeTexts(page), (std::vector<std::string>{"A1:A2", "B1:B3"}));
}

TEST_F(QXExcelPageTest, OverlappingRangeIsLeftOutAndItsTextKeepsItsCell)
{
    QXExcelPage page;
    // A1 would span into B1, which holds a text of its own.
    page.layOutCells(placedCells({{1, 1, 0, 1, 0, 0, 80, 12}, {1, 2, 0, 0, 90, 0, 30, 12}}), true);
    EXPECT_TRUE(page.mergeCells().empty());
    ASSERT_EQ(page.columns().size(), 2u);
    EXPECT_DOUBLE_EQ(page.columns()[0]->frame().size.width, 80);
}

TEST_F(QXExcelPageTest, WithoutMergingRowsAndColumnsAreRenumbered)
{
    QXExcelPage page;
    auto cells = placedCells({
        {1, 2, 0, 0, 0, 0, 30, 12},
        {3, 5, 1, 1, 0, 20, 30, 12},
        {6, 2, 0, 0, 0, 40, 30, 12},
    });
    page.layOutCells(cells, false);
    EXPECT_TRUE(page.mergeCells().empty());
    std::vector<std::pair<size_t, size_t>> positions;
    for (const auto& cell : cells)
        positions.emplace_back(cell->rowIndex(), cell->columnIndex());
    EXPECT_EQ(positions, (std::vector<std::pair<size_t, size_t>>{{1, 1}, {2, 2}, {3, 1}}));
    ASSERT_EQ(page.sheetRows().size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(page.sheetRows()[i]->rowIndex(), i + 1);
}

TEST_F(QXExcelPageTest, WithoutMergingLargeTextNarrowsItsColumn)
{
    QXExcelPage page;
    auto cells = placedCells({{1, 1, 0, 0, 0, 0, 200, 30}, {2, 1, 0, 0, 0, 40, 100, 12}});
    cells[0]->stringItem()->setMaxFontSize(24);
    page.layOutCells(cells, false);
    ASSERT_EQ(page.columns().size(), 1u);
    EXPECT_DOUBLE_EQ(page.columns()[0]->frame().size.width, 100);
}

TEST_F(QXExcelPageTest, CellsAreNumbersOrTakeTheNextSharedString)
{
    QXExcelManager& manager = QXExcelManager::sharedInstance();
    QXExcelManager::reset();
    QXExcelPage first;
    QXExcelPage second;
    auto item = [] { return std::make_shared<QXExcelStringItem>(); };

    const auto label = first.createCellWithStringItem(item(), {"Total"});
    const auto amount = first.createCellWithStringItem(item(), {"$1,200"});
    const auto split = first.createCellWithStringItem(item(), {"12", "34"});
    const auto percent = second.createCellWithStringItem(item(), {"3.5%"});
    const auto later = second.createCellWithStringItem(item(), {"10 20"});
    const auto sameFormat = second.createCellWithStringItem(item(), {"$7"});

    EXPECT_TRUE(label->isText());
    EXPECT_EQ(label->dataType(), "s");
    EXPECT_EQ(label->cellValue(), "0");
    EXPECT_FALSE(amount->isText());
    EXPECT_EQ(amount->dataType(), "n");
    EXPECT_EQ(amount->cellValue(), "1200");
    ASSERT_TRUE(amount->number());
    EXPECT_EQ(amount->number()->numID(), 164);
    // Two runs are never read as one number.
    EXPECT_EQ(split->cellValue(), "1");
    EXPECT_EQ(percent->cellValue(), "0.035");
    EXPECT_EQ(percent->number()->numID(), 10);
    // The shared-string index runs across the pages of the document.
    EXPECT_EQ(later->cellValue(), "2");
    EXPECT_EQ(sameFormat->number()->numID(), 164);
    EXPECT_EQ(first.stringItems().size(), 2u);
    EXPECT_EQ(second.stringItems().size(), 1u);
    EXPECT_EQ(manager.amountOfStringItems(), 3u);
    EXPECT_EQ(manager.excelStyle().numFmtsArr().size(), 1u);
    EXPECT_EQ(first.createCellWithStringItem(nullptr, {"1"}), nullptr);

    // Without number recognition every cell is text.
    QXExcelOptions options;
    options.setExcelFormatOption(2);
    manager.setOptions(options);
    EXPECT_TRUE(second.createCellWithStringItem(item(), {"42"})->isText());
}
