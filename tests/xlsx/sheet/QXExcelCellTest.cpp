// Cells, rows and columns as worksheet elements, and the merges a sheet may
// carry without overlapping or hiding text.
#include "converter/ooxml/XMLFileWriter.h"
#include "tests/support/PdfWriter.h"
#include "xlsx/sheet/QXExcelCell.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelRunText.h"
#include "xlsx/sheet/QXMergedCell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace rz;

namespace {

// What `write` puts into a fresh writer, without line breaks or indentation.
std::string written(const std::function<void(XMLFileWriter&)>& write)
{
    const std::string path = rz::test::makeTempDir() + "/cell.xml";
    std::string text;
    {
        XMLFileWriter writer(path);
        writer.setIndentation("");
        writer.setLineBreak("");
        write(writer);
        text = writer.toString();
    }
    std::filesystem::remove(path);
    return text;
}

std::shared_ptr<QXExcelCell> cellAt(size_t row, size_t column, std::string value, std::string type = "s")
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

TEST(QXExcelCellTest, CellElements)
{
    auto number = cellAt(3, 28, "1234.56", "n");
    number->setStyleIndex(4);
    EXPECT_EQ(written([&](XMLFileWriter& w) { number->writeXML(w); }),
              R"(<c r="AB3" s="4" t="n"><v>1234.56</v></c>)");
    auto empty = cellAt(1, 1, "-1");
    EXPECT_EQ(written([&](XMLFileWriter& w) { empty->writeXML(w); }), R"(<c r="A1" t="s"/>)");
}

TEST(QXExcelCellTest, RowWritesItsCellsInColumnOrder)
{
    QXExcelManager::destory();
    QXExcelRow row;
    row.cells() = {cellAt(2, 3, "0"), cellAt(2, 1, "1"), cellAt(2, 27, "2"), cellAt(2, 2, "3")};
    row.setRowIndex(5);
    row.setHeight(13.5);
    const std::string xml = written([&](XMLFileWriter& w) { row.writeXML(w); });
    EXPECT_EQ(xml, R"(<row r="5" spans="1:1" ht="14.85" customHeight="1">)"
                   R"(<c r="A5" t="s"><v>1</v></c><c r="B5" t="s"><v>3</v></c>)"
                   R"(<c r="C5" t="s"><v>0</v></c><c r="AA5" t="s"><v>2</v></c></row>)");

    QXExcelOptions options;
    options.setExcelFormatOption(1);
    QXExcelManager::sharedInstance().setOptions(options);
    EXPECT_NE(written([&](XMLFileWriter& w) { row.writeXML(w); }).find(R"(ht="13.5")"), std::string::npos);
    QXExcelManager::destory();
}

TEST(QXExcelCellTest, ColumnElementAndRenumbering)
{
    QXExcelColumn column;
    column.cells() = {cellAt(1, 4, "0"), cellAt(7, 4, "1")};
    column.setColumnIndex(2);
    column.setWidth(60);
    for (const auto& cell : column.cells())
        EXPECT_EQ(cell->columnIndex(), 2u);
    EXPECT_EQ(written([&](XMLFileWriter& w) { column.writeXML(w); }),
              R"(<col min="2" max="2" width="22" customWidth="1"/>)");
}

TEST(QXExcelCellTest, RowHeightsAndColumnWidthsStayWithinTheApplicationsLimits)
{
    QXExcelManager::destory();
    // Heights in points before the factor 1.1; at most 409 points written.
    const std::pair<double, const char*> heights[] = {
        {13.5, "14.85"}, {371.8, "408.98"}, {371.9, "409.00"}, {5000, "409.00"}};
    for (const auto& [height, expected] : heights) {
        QXExcelRow row;
        row.setHeight(height);
        EXPECT_NE(written([&](XMLFileWriter& w) { row.writeXML(w); }).find(std::string("ht=\"") + expected + "\""),
                  std::string::npos)
            << height;
    }
    // Widths in points; a third of them times 1.1 is written, at most 255.
    const std::pair<double, const char*> widths[] = {{60, "22"}, {694, "254"}, {696, "255"}, {1e7, "255"}};
    for (const auto& [width, expected] : widths) {
        QXExcelColumn column;
        column.setColumnIndex(1);
        column.setWidth(width);
        EXPECT_EQ(written([&](XMLFileWriter& w) { column.writeXML(w); }),
                  std::string(R"(<col min="1" max="1" width=")") + expected + R"(" customWidth="1"/>)")
            << width;
    }
}

TEST(QXExcelCellTest, SharedStringIsCutToTheLongestTextACellHolds)
{
    QXExcelManager::destory();
    const auto run = [](std::string text) {
        auto made = std::make_shared<QXExcelRunText>();
        made->setText(std::move(text));
        return made;
    };
    // 32,765 units, then "b" (32,766), then a character of two units that
    // would pass the limit: the text ends after "b"; later runs are left out.
    const std::string twoUnits = "\xF0\x9F\x98\x80"; // U+1F600
    QXExcelStringItem item;
    item.runArray() = {run(std::string(32765, 'a')), run("b" + twoUnits + "c"), run("zzz")};
    const std::string xml = written([&](XMLFileWriter& w) { item.writeXMLWith(w); });
    EXPECT_NE(xml.find(">" + std::string(32765, 'a') + "</t>"), std::string::npos);
    EXPECT_NE(xml.find(">b</t></r></si>"), std::string::npos);
    EXPECT_EQ(xml.find("zzz"), std::string::npos);
    EXPECT_EQ(xml.find(twoUnits), std::string::npos);

    // A text that fits is written whole.
    QXExcelStringItem small;
    small.runArray() = {run("x" + twoUnits), run("y")};
    const std::string whole = written([&](XMLFileWriter& w) { small.writeXMLWith(w); });
    EXPECT_NE(whole.find(">x" + twoUnits + "</t>"), std::string::npos);
    EXPECT_NE(whole.find(">y</t>"), std::string::npos);
}

TEST(QXExcelCellTest, TextBoxRectRoundsHalfAwayFromZero)
{
    QXExcelStringItemInfo info{10.5, -2.5, 3.25, 4.75};
    const Rect rect = info.textBoxRect();
    EXPECT_EQ(rect.origin.x, 11);
    EXPECT_EQ(rect.origin.y, -3);
    EXPECT_EQ(rect.size.width, 3.25);
    EXPECT_EQ(rect.size.height, 4.75);
}

TEST(QXExcelCellTest, MergesNeverOverlapNorHideText)
{
    const std::vector<QXMergedCell> merges = {
        QXMergedCell({2, 2}, {3, 4}), // text at B2 only
        QXMergedCell({3, 4}, {4, 5}), // shares D3 with the first
        QXMergedCell({5, 3}, {6, 4}), // covers D6
        QXMergedCell({8, 1}, {8, 1}), // a single cell
        QXMergedCell({8, 2}, {9, 2}), // kept
    };
    const std::vector<QXPoint> texts = {{2, 2}, {5, 3}, {6, 4}, {8, 2}};
    std::vector<std::string> kept;
    for (const QXMergedCell& merge : QXMergedCell::soundMerges(merges, texts))
        kept.push_back(merge.mergerCellInfo());
    EXPECT_EQ(kept, (std::vector<std::string>{"B2:D3", "B8:B9"}));

    // Without the text at D6, C5:D6 is kept; B2:D3 would hide a text at
    // C3, so it is left out and D3:E4 no longer overlaps a kept range.
    const std::vector<QXPoint> others = {{2, 2}, {3, 3}, {5, 3}, {8, 2}};
    kept.clear();
    for (const QXMergedCell& merge : QXMergedCell::soundMerges(merges, others))
        kept.push_back(merge.mergerCellInfo());
    EXPECT_EQ(kept, (std::vector<std::string>{"D3:E4", "C5:D6", "B8:B9"}));
}
