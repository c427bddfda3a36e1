// The table model built from crossing points: rows and cells, their edges,
// texts handed to cells, merged blocks and what the table writes.
#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/tables/QXDocxTableSource.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/layout/DocxTestRuns.h"
#include "tests/docx/tables/QXDocxTableTestSupport.h"

#include <gtest/gtest.h>

#include <regex>

namespace rz {
namespace {

using test::fullGrid;
using test::TestGrid;

std::string written(QXDocxTable& table)
{
    return test::writeWordprocessingML([&](XMLFileWriter& writer) { table.writeWithXMLWriter(writer); });
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(QXDocxTableModelTest, ThreeByThreePointsGiveTwoByTwoCells)
{
    const auto table = fullGrid({0, 100, 200}, {0, 30, 60}).source().createTable();
    ASSERT_EQ(table->tableRowArray().size(), 2u);
    for (const auto& row : table->tableRowArray())
        ASSERT_EQ(row->tableCellArray().size(), 2u);
    const auto& cell = table->tableRowArray()[1]->tableCellArray()[1];
    EXPECT_EQ(cell->rowRange().location, 1u);
    EXPECT_EQ(cell->rowRange().length, 1u);
    EXPECT_EQ(cell->columnRange().location, 1u);
    EXPECT_EQ(cell->columnRange().length, 1u);
    EXPECT_EQ(cell->pointTopLeft().point, (Point{100, 30}));
    EXPECT_EQ(cell->pointBottomRight().point, (Point{200, 60}));
    EXPECT_EQ(cell->bounds(), Rect(100, 30, 100, 30));

    table->convertToXMLProperty();
    for (const auto& row : table->tableRowArray()) {
        for (const auto& c : row->tableCellArray()) {
            const QXDocx_Borders& b = c->tcProperty().tcBorders;
            EXPECT_EQ(b.top.val, QXDocxBorderSingle);
            EXPECT_EQ(b.left.val, QXDocxBorderSingle);
            EXPECT_EQ(b.bottom.val, QXDocxBorderSingle);
            EXPECT_EQ(b.right.val, QXDocxBorderSingle);
        }
    }
    EXPECT_TRUE(table->cellGroupArray().empty());
    const std::string xml = written(*table);
    EXPECT_EQ(count(xml, "<w:tbl>"), 1u);
    EXPECT_EQ(count(xml, "<w:tr>"), 2u);
    EXPECT_EQ(count(xml, "<w:tc>"), 4u);
    EXPECT_EQ(count(xml, "<w:gridCol "), 2u);
}

TEST(QXDocxTableModelTest, NoTableWithoutRowsAndNoRowWithoutCells)
{
    struct Case {
        const char* name;
        std::vector<std::vector<QXDocxTableCorner>> points;
        std::size_t rows;
    };
    const QXDocxTableCorner p{{0, 0}, 0, {}};
    const QXDocxTableCorner q{{0, 20}, 0, {}};
    const Case cases[] = {
        {"no points", {}, 0},
        {"one point row", {{p, p, p}}, 0},
        {"rows of one point", {{p}, {q}}, 1},
    };
    for (const Case& c : cases) {
        QXDocxTableSource area;
        area.tablePoints = c.points;
        const auto table = area.createTable();
        EXPECT_EQ(table->tableRowArray().size(), c.rows) << c.name;
        table->convertToXMLProperty();
        EXPECT_FALSE(table->hasCells()) << c.name;
        EXPECT_EQ(written(*table), "") << c.name;
    }
}

TEST(QXDocxTableModelTest, LineThatIsTopAndBottomStaysTheBottom)
{
    const auto line = test::rulingLine({0, 0.25}, {100, 0.25});
    const QXDocxTableCorner tl{{0, 0}, 0, {line}};
    const QXDocxTableCorner tr{{100, 0}, 0, {line}};
    const QXDocxTableCorner bl{{0, 0.5}, 0, {line}};
    const QXDocxTableCorner br{{100, 0.5}, 0, {line}};
    QXDocxTableCell cell(tl, tr, bl, br);
    EXPECT_TRUE(cell.borderTop().tableLines().empty());
    ASSERT_EQ(cell.borderBottom().tableLines().size(), 1u);
    EXPECT_EQ(cell.borderBottom().tableLines()[0], line);
}

TEST(QXDocxTableModelTest, TextGoesToTheCellItOverlapsMost)
{
    struct Case {
        const char* name;
        Rect text;
        int cell; // -1: none
    };
    const Case cases[] = {
        {"inside the first cell", Rect(10, 10, 30, 12), 0},
        {"60 in the first, 40 in the second", Rect(40, 10, 100, 12), 0},
        {"half and half: the first of equals", Rect(50, 10, 100, 12), 0},
        {"spilling below, larger part right", Rect(80, 38, 100, 20), 1},
        {"mostly outside the table", Rect(80, 45, 100, 20), -1},
    };
    for (const Case& c : cases) {
        QXDocxTableSource area = fullGrid({0, 100, 200}, {0, 50}).source();
        const auto run = test::textAt("x", c.text);
        area.allRunTextArray = {run};
        const auto table = area.createTable();
        const auto& cells = table->tableRowArray()[0]->tableCellArray();
        for (int i = 0; i < 2; ++i) {
            const bool holds = !cells[i]->allRunTextArray().empty();
            EXPECT_EQ(holds, i == c.cell) << c.name << " cell " << i;
        }
        // The table lists only what its cells took; the rest stays on the
        // page.
        EXPECT_EQ(table->allRunTextArray().size(), c.cell >= 0 ? 1u : 0u) << c.name;
    }
}

// Rows 0 to 2 of two columns; the middle line stops after the first row
// and the line between the second and third rows is missing.
TestGrid spanningGrid()
{
    TestGrid grid{{0, 100, 200}, {0, 20, 40, 60}, {}};
    for (double y : {0.0, 20.0, 60.0})
        grid.addHorizontal(y, 0, 200);
    grid.addVertical(0, 0, 60);
    grid.addVertical(200, 0, 60);
    grid.addVertical(100, 0, 20);
    return grid;
}

TEST(QXDocxTableModelTest, BlockOverRowsTwoAndThreeSpansAndMerges)
{
    QXDocxTableSource area = spanningGrid().source();
    // Mostly in the block's last cell, but reaching past the table's edge.
    const auto spilling = test::textAt("spill", Rect(150, 45, 60, 10), 3);
    area.allRunTextArray = {test::textAt("top", Rect(10, 4, 30, 10), 1), spilling};
    const auto table = area.createTable();
    table->convertToXMLProperty();

    ASSERT_EQ(table->cellGroupArray().size(), 1u);
    const auto& group = table->cellGroupArray()[0];
    EXPECT_EQ(group->rowRange().location, 1u);
    EXPECT_EQ(group->rowRange().length, 2u);
    EXPECT_EQ(group->columnRange().length, 2u);
    EXPECT_EQ(group->tcProperty().gridSpan, 2);
    EXPECT_EQ(group->tcProperty().vMerge, QXDocxVerticalMergeRestart);
    // The block keeps the text its member held.
    ASSERT_EQ(group->allRunTextArray().size(), 1u);
    EXPECT_EQ(group->allRunTextArray()[0], spilling);

    const std::string xml = written(*table);
    const std::regex rows("<w:tr>.*?</w:tr>");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), rows); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    ASSERT_EQ(found.size(), 3u) << xml;
    EXPECT_EQ(count(found[0], "<w:tc>"), 2u);
    EXPECT_EQ(count(found[1], "<w:tc>"), 1u);
    EXPECT_EQ(count(found[1], "<w:gridSpan w:val=\"2\"/>"), 1u);
    EXPECT_EQ(count(found[1], "<w:vMerge w:val=\"restart\"/>"), 1u);
    EXPECT_EQ(count(found[2], "<w:tc>"), 1u);
    EXPECT_EQ(count(found[2], "<w:gridSpan w:val=\"2\"/>"), 1u);
    EXPECT_EQ(count(found[2], "<w:vMerge/>"), 1u);
}

TEST(QXDocxTableModelTest, BlocksNeedMissingLinesAndEqualShading)
{
    // Two cells with no line between them but different fills stay apart.
    TestGrid grid{{0, 100, 200}, {0, 40}, {}};
    grid.addHorizontal(0, 0, 200);
    grid.addHorizontal(40, 0, 200);
    grid.addVertical(0, 0, 40);
    grid.addVertical(200, 0, 40);
    QXDocxTableSource area = grid.source();
    area.allRunPathArray.push_back(test::fillPath(Rect(0, 0, 100, 40), Color::rgb(1, 0, 0, 1), 0));
    area.allRunPathArray.push_back(test::fillPath(Rect(100, 0, 100, 40), Color::rgb(0, 0, 1, 1), 0));
    const auto shaded = area.createTable();
    shaded->convertToXMLProperty();
    EXPECT_TRUE(shaded->cellGroupArray().empty());
    const auto& cells = shaded->tableRowArray()[0]->tableCellArray();
    EXPECT_EQ(cells[0]->tcProperty().shd.val, QXDocxShadingClear);
    EXPECT_EQ(cells[0]->tcProperty().shd.fill, (QXDocx_Color{255, 0, 0, 255}));
    EXPECT_EQ(cells[1]->tcProperty().shd.fill, (QXDocx_Color{0, 0, 255, 255}));

    // Without the fills the two cells merge into one spanning cell.
    const auto plain = grid.source().createTable();
    plain->convertToXMLProperty();
    ASSERT_EQ(plain->cellGroupArray().size(), 1u);
    EXPECT_EQ(plain->cellGroupArray()[0]->tcProperty().gridSpan, 2);
    EXPECT_EQ(plain->cellGroupArray()[0]->tcProperty().vMerge, QXDocxVerticalMergeNil);
}

TEST(QXDocxTableModelTest, NestedTablesSitInTheCellHoldingTheirCorner)
{
    QXDocxTableSource area = fullGrid({0, 100, 200}, {0, 100}).source();
    // Its top-left corner lies on the edge the two cells share.
    QXDocxTableSource inner = fullGrid({100, 150, 190}, {10, 50, 90}).source();
    inner.allRunTextArray = {test::textAt("inner", Rect(110, 20, 30, 12), 2)};
    // A nested region without cells gives its texts to the outer table.
    QXDocxTableSource broken;
    broken.tablePoints = {{{{10, 10}, 0, {}}, {{60, 10}, 0, {}}}};
    broken.bounds = Rect(10, 10, 50, 80);
    const auto lost = test::textAt("kept", Rect(20, 40, 30, 12), 3);
    broken.allRunTextArray = {lost};
    area.allSubAreaArray = {inner, broken};

    const auto table = area.createTable();
    ASSERT_EQ(table->allSubTableArray().size(), 1u);
    const auto& nested = table->allSubTableArray()[0];
    EXPECT_EQ(nested->superTable(), table.get());
    const auto& cells = table->tableRowArray()[0]->tableCellArray();
    EXPECT_TRUE(cells[0]->allSubTableArray().empty());
    ASSERT_EQ(cells[1]->allSubTableArray().size(), 1u);
    ASSERT_EQ(cells[0]->allRunTextArray().size(), 1u);
    EXPECT_EQ(cells[0]->allRunTextArray()[0], lost);
    EXPECT_EQ(nested->tableRowArray()[0]->tableCellArray()[0]->allRunTextArray().size(), 1u);

    table->convertToXMLProperty();
    const std::string xml = written(*table);
    EXPECT_EQ(count(xml, "<w:tbl>"), 2u);
    // A cell ends with a paragraph, also after a nested table.
    EXPECT_EQ(count(xml, "</w:tbl><w:p>"), 1u) << xml;
}

TEST(QXDocxTableModelTest, RowHeightIsExactWhenTextSpills)
{
    struct Case {
        const char* name;
        Rect text;
        std::int32_t rule;
    };
    const Case cases[] = {
        {"text inside", Rect(10, 5, 50, 12), QXDocxHeightRuleAtLeast},
        {"text 9 points past the side", Rect(150, 5, 59, 12), QXDocxHeightRuleAtLeast},
        {"text 11 points past the side", Rect(150, 5, 61, 12), QXDocxHeightRuleExact},
        {"text past the bottom", Rect(10, 15, 50, 12), QXDocxHeightRuleExact},
        {"no text", Rect(), QXDocxHeightRuleExact},
    };
    for (const Case& c : cases) {
        QXDocxTableSource area = fullGrid({0, 100, 200}, {0, 28}).source();
        if (c.text.size.width > 0)
            area.allRunTextArray = {test::textAt("x", c.text)};
        const auto table = area.createTable();
        table->convertToXMLProperty();
        const QXDocx_TrPr& row = table->tableRowArray()[0]->trProperty();
        EXPECT_EQ(row.trHeight.hRule, c.rule) << c.name;
        EXPECT_FLOAT_EQ(row.trHeight.val, 28) << c.name;
    }
    // "atLeast" rows are written less their top border, never below 5.
    QXDocxTableSource lowArea = fullGrid({0, 100}, {0, 5.5}).source();
    lowArea.allRunTextArray = {test::textAt("x", Rect(10, 1.5, 20, 1))};
    const auto low = lowArea.createTable();
    low->convertToXMLProperty();
    QXDocxTableSource tallArea = fullGrid({0, 100}, {0, 28}).source();
    tallArea.allRunTextArray = {test::textAt("x", Rect(10, 5, 50, 12))};
    const auto tall = tallArea.createTable();
    tall->convertToXMLProperty();
    EXPECT_NE(written(*low).find("<w:trHeight w:val=\"100\" w:hRule=\"atLeast\"/>"), std::string::npos);
    EXPECT_NE(written(*tall).find("<w:trHeight w:val=\"540\" w:hRule=\"atLeast\"/>"), std::string::npos);
}

TEST(QXDocxTableModelTest, WhiteFillShadesOnlyOffAWhitePage)
{
    struct Case {
        const char* name;
        bool whitePage;
        std::int32_t val;
    };
    for (const Case& c : {Case{"white page", true, QXDocxShadingNil}, Case{"coloured page", false, QXDocxShadingClear}}) {
        QXDocxTableSource area = fullGrid({0, 100}, {0, 40}).source();
        area.allRunPathArray.push_back(test::fillPath(Rect(0, 0, 100, 40), Color::rgb(1, 1, 1, 1), 0));
        const auto table = area.createTable();
        table->setIsPageWhiteBackground(c.whitePage);
        table->convertToXMLProperty();
        EXPECT_EQ(table->firstTableCell()->tcProperty().shd.val, c.val) << c.name;
    }
}

TEST(QXDocxTableModelTest, InsideBordersDefaultToSingle)
{
    // Only the outer frame is drawn: the two cells merge, and the table's
    // inside borders fall back to single lines.
    TestGrid grid{{0, 100, 200}, {0, 40}, {}};
    grid.addHorizontal(0, 0, 200);
    grid.addHorizontal(40, 0, 200);
    grid.addVertical(0, 0, 40);
    grid.addVertical(200, 0, 40);
    const auto table = grid.source().createTable();
    table->convertToXMLProperty();
    EXPECT_EQ(table->tblProperty().tblBorders.insideV.val, QXDocxBorderSingle);
    EXPECT_EQ(table->tblProperty().tblBorders.insideH.val, QXDocxBorderSingle);
    EXPECT_EQ(table->tblProperty().tblBorders.top.val, QXDocxBorderSingle);
}

TEST(QXDocxTableModelTest, WrappingModesPlaceTheTable)
{
    QXDocx_SectPr sect = QXDocxUtilities::defaultSectPropertyHiden();
    sect.pgMar.left = 50;
    sect.pgMar.top = 40;
    const auto table = fullGrid({72, 172}, {100, 130, 160}).source().createTable();
    table->setSectProperty(sect);
    table->convertToXMLProperty();

    const QXDocx_TblpPr& around = table->tblProperty().tblpPr;
    EXPECT_EQ(around.horzAnchor, QXDocxAnchorPage);
    EXPECT_EQ(around.vertAnchor, QXDocxAnchorPage);
    EXPECT_FLOAT_EQ(around.tblpX, 72);
    EXPECT_FLOAT_EQ(around.tblpY, 100);

    QXDocxTable outer;
    table->setSuperTable(&outer);
    table->changeXMLPropertyTextWrappingToAround();
    EXPECT_FLOAT_EQ(table->tblProperty().tblpPr.tblpX, 22);
    EXPECT_FLOAT_EQ(table->tblProperty().tblpPr.tblpY, 60);
    table->setSuperTable(nullptr);

    // No wrapping: indented from the margin, the margins shared by the rows.
    table->changeXMLPropertyTextWrappingToNone();
    EXPECT_EQ(table->tblProperty().tblpPr.horzAnchor, QXDocxAnchorNone);
    EXPECT_FLOAT_EQ(table->tblProperty().tblInd.w, 22);
    table->setTextWrappingToNoneMarginTop(10);
    table->setTextWrappingToNoneMarginBottom(20);
    const std::string none = written(*table);
    EXPECT_EQ(count(none, "<w:trHeight w:val=\"900\" w:hRule=\"exact\"/>"), 2u) << none;
    EXPECT_EQ(none.find("tblpPr"), std::string::npos);

    // In a floating text box: the table inside a VML text box.
    table->changeXMLPropertyTextWrappingToFloatTextBox();
    EXPECT_TRUE(table->isWrappingToFloatTextBox());
    const std::string box = test::writeWordprocessingML([&](XMLFileWriter& writer) {
        writer.setPrefix("v", QXDocxPackageNames::kVML);
        writer.setPrefix("o", QXDocxPackageNames::kOffice);
        writer.setPrefix("w10", QXDocxPackageNames::kWord10);
        writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        table->writeWithXMLWriter(writer);
        writer.writeEndElement();
    });
    EXPECT_NE(box.find("<w:txbxContent><w:tbl>"), std::string::npos) << box;
    EXPECT_NE(box.find("</w:tbl></w:txbxContent></v:textbox><w10:wrap type=\"none\">"), std::string::npos) << box;
    EXPECT_NE(box.find("margin-left:71pt;width:102pt;height:62pt;"), std::string::npos) << box;
    // Written twice, the rows keep their heights.
    EXPECT_EQ(count(box, "<w:trHeight w:val=\"900\" w:hRule=\"exact\"/>"), 2u) << box;
}

TEST(QXDocxTableModelTest, MoreThanSixtyFourColumnsGetAWideEnoughGrid)
{
    std::vector<double> xs;
    for (int i = 0; i <= 70; ++i)
        xs.push_back(10.0 * i);
    const auto table = fullGrid(xs, {0, 20}).source().createTable();
    table->convertToXMLProperty();
    EXPECT_EQ(table->gridColArray().size(), 70u);
    EXPECT_EQ(table->tblProperty().columnCount, 70);
    const std::string xml = written(*table);
    EXPECT_EQ(count(xml, "<w:gridCol "), 70u);
    EXPECT_EQ(count(xml, "<w:tc>"), 70u);
}

} // namespace
} // namespace rz
