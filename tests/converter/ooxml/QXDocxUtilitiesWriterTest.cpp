// The WordprocessingML property writers: each writer's output for
// representative records as exact strings (every fragment also passes
// xmllint inside a w:document), the neutral values left out, the cell
// border rules, the grid's fixed capacity, numbers that are not finite, the
// deferred property writer, and one fragment read back by python-docx.
#include "converter/ooxml/QXDocxProperty.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <limits>

using namespace rz;
using test::writeWordprocessingML;

namespace {

const std::string kDefaultFonts =
    R"(<w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" w:eastAsia="Times New Roman"/>)";
const std::string kDefaultRPr =
    "<w:rPr>" + kDefaultFonts + R"(<w:sz w:val="24"/><w:szCs w:val="24"/><w:color w:val="000000"/><w:noProof/></w:rPr>)";

std::string fonts(const std::string& name)
{
    return "<w:rFonts w:ascii=\"" + name + "\" w:hAnsi=\"" + name + "\" w:cs=\"" + name + "\" w:eastAsia=\"" +
           name + "\"/>";
}

std::string border(const std::string& name, const std::string& val = "single", const std::string& size = "8")
{
    return "<w:" + name + " w:val=\"" + val + "\" w:sz=\"" + size + "\" w:space=\"0\" w:color=\"000000\"/>";
}

std::string rPrOf(const QXDocx_RPr& run)
{
    return writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteRProperty(run, w); });
}

std::string sectPrOf(const QXDocx_SectPr& section)
{
    return writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteSectProperty(section, w); });
}

std::string tcPrOf(const QXDocx_TcPr& cell, QXDocxRange columns, QXDocxRange rows, const QXDocx_TblPr& table)
{
    return writeWordprocessingML(
        [&](XMLFileWriter& w) { QXDocxUtilities::WriteTcProperty(cell, columns, rows, table, w); });
}

std::size_t occurrences(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

QXDocx_TblPr threeByThreeTable()
{
    QXDocx_TblPr table = QXDocxUtilities::defaultTblProperty();
    table.rowCount = 3;
    table.columnCount = 3;
    return table;
}

} // namespace

TEST(QXDocxUtilitiesWriterTest, RunProperties)
{
    EXPECT_EQ(rPrOf(QXDocxUtilities::defaultRProperty()), kDefaultRPr);

    QXDocx_RPr bold = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(bold.rFonts.ascii, "Helvetica Bold");
    bold.b = true;
    EXPECT_EQ(rPrOf(bold), "<w:rPr>" + fonts("Helvetica") +
                               R"(<w:sz w:val="24"/><w:szCs w:val="24"/><w:color w:val="000000"/>)"
                               R"(<w:b/><w:bCs/><w:noProof/></w:rPr>)");

    // Every optional element, in the writer's order.
    QXDocx_RPr full = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(full.rFonts.ascii, "Foo Bold Italic");
    full.b = true;
    full.i = true;
    full.sz = 6;
    full.szCs = 30;  // not used: the complex-script size follows sz
    full.scrpit = QXDocxScriptSuperscript;
    full.color = {255, 0, 0, 255};
    full.background = true;
    full.backgroundcolor = {255, 255, 0, 255};
    full.u = QXDocxUnderlineSingle;
    full.u_color = {0, 255, 0, 255};  // not used: the underline takes the text colour
    full.strikethrough = 1;
    full.spacing = -0.12f;
    full.w = 90;
    EXPECT_EQ(rPrOf(full),
              "<w:rPr>" + fonts("Foo") +
                  R"(<w:sz w:val="16"/><w:szCs w:val="12"/><w:color w:val="FF0000"/><w:highlight w:val="yellow"/>)"
                  R"(<w:b/><w:bCs/><w:i/><w:u w:val="single" w:color="FF0000"/><w:strike w:val="true"/>)"
                  R"(<w:vertAlign w:val="superscript"/><w:spacing w:val="-3"/><w:w w:val="90"/><w:noProof/></w:rPr>)");

    // No font name, a shading that is no highlight colour, spacing that
    // rounds to nothing, an oblique face without the italic flag.
    QXDocx_RPr plain = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(plain.rFonts.ascii, "");
    plain.sz = 7.5f;
    plain.background = true;
    plain.backgroundcolor = {250, 240, 230, 255};
    plain.spacing = 0.02f;
    EXPECT_EQ(rPrOf(plain), "<w:rPr>" + fonts("Arial Unicode MS") +
                                R"(<w:sz w:val="15"/><w:szCs w:val="15"/><w:color w:val="000000"/>)"
                                R"(<w:shd w:fill="FAF0E6" w:color="auto" w:val="clear"/><w:noProof/></w:rPr>)");
    QXDocxSetText(plain.rFonts.ascii, "Times Oblique");
    plain.background = false;
    plain.spacing = 0.03f;  // 0.6 twips rounds to 1
    EXPECT_NE(rPrOf(plain).find(fonts("Times Oblique")), std::string::npos);
    EXPECT_NE(rPrOf(plain).find(R"(<w:spacing w:val="1"/>)"), std::string::npos);
}

TEST(QXDocxUtilitiesWriterTest, ParagraphProperties)
{
    QXDocx_PPr paragraph = QXDocxUtilities::defaultPProperty();
    paragraph.outlineLvl = 2;
    paragraph.numPr = {1, 3};
    paragraph.spacing.before = 6;
    paragraph.spacing.after = -2;
    paragraph.spacing.line = 14;
    QXDocxSetText(paragraph.spacing.lineRule, "auto");
    paragraph.spacing.word1LineHeight = 12;
    paragraph.ind = {18, 36, 0};
    paragraph.jc = QXDocxJustificationBoth;
    QXDocx_Tabs tabs;
    QXDocx_Tab left;
    QXDocxSetText(left.val, "left");
    left.pos = 72;
    QXDocx_Tab right;
    QXDocxSetText(right.val, "right");
    QXDocxSetText(right.leader, "dot");  // leaders are not written
    right.pos = 144.5f;
    tabs.tab = {left, right};

    const std::string written = writeWordprocessingML([&](XMLFileWriter& w) {
        QXDocxUtilities::WritePProperty(paragraph, QXDocxUtilities::defaultRProperty(),
                                        QXDocxUtilities::defaultSectPropertyHiden(), tabs, w);
    });
    // "auto" spacing of 14 points over a 12-point line: 280 240ths.
    // The children in the schema's order: numPr, tabs, spacing, ind, jc,
    // outlineLvl, rPr.
    EXPECT_EQ(written, R"(<w:pPr><w:numPr><w:ilvl w:val="1"/><w:numId w:val="3"/></w:numPr>)"
                       R"(<w:tabs><w:tab w:val="left" w:pos="1440"/><w:tab w:val="right" w:pos="2890"/></w:tabs>)"
                       R"(<w:spacing w:before="120" w:after="0" w:line="280" w:lineRule="auto"/>)"
                       R"(<w:ind w:firstLine="360" w:left="720" w:right="0"/><w:jc w:val="both"/><w:outlineLvl w:val="2"/>)" +
                           kDefaultRPr + "</w:pPr>");

    // A heading deeper than the schema's levels takes the deepest one.
    QXDocx_PPr deep = QXDocxUtilities::defaultPProperty();
    deep.outlineLvl = 14;
    const std::string deepWritten = writeWordprocessingML([&](XMLFileWriter& w) {
        QXDocxUtilities::WritePProperty(deep, QXDocxUtilities::defaultRProperty(),
                                        QXDocxUtilities::defaultSectPropertyHiden(), QXDocxUtilities::defaultTabsProperty(),
                                        w);
    });
    EXPECT_NE(deepWritten.find(R"(<w:outlineLvl w:val="8"/>)"), std::string::npos) << deepWritten;

    // "auto" without a line height falls back to exact spacing; a right
    // indent is written when positive; an unknown justification is left
    // out; the section follows the mark's run properties when it is to be
    // written.
    QXDocx_PPr second = QXDocxUtilities::defaultPProperty();
    QXDocxSetText(second.spacing.lineRule, "auto");
    second.ind.right = 10;
    second.ind.firstLine = -0.01f;  // -0.2 twips
    second.jc = 9;
    QXDocx_SectPr section = QXDocxUtilities::defaultSectPropertyHiden();
    section.shouldWrite = true;
    const std::string withSection = writeWordprocessingML([&](XMLFileWriter& w) {
        QXDocxUtilities::WritePProperty(second, QXDocxUtilities::defaultRProperty(), section,
                                        QXDocxUtilities::defaultTabsProperty(), w);
    });
    EXPECT_EQ(withSection,
              R"(<w:pPr><w:spacing w:before="0" w:after="0" w:line="240" w:lineRule="exact"/>)"
              R"(<w:ind w:firstLine="0" w:left="0" w:right="200"/>)" +
                  kDefaultRPr +
                  R"(<w:sectPr><w:type w:val="continuous"/><w:pgSz w:w="11560" w:h="12800"/>)"
                  R"(<w:pgMar w:top="1260" w:right="0" w:bottom="0" w:left="0" w:header="0" w:footer="0" w:gutter="0"/>)"
                  R"(</w:sectPr></w:pPr>)");

    // The blank paragraph holds only its properties, without tab stops.
    const std::string blank = writeWordprocessingML([&](XMLFileWriter& w) {
        QXDocxUtilities::Write1BlankParagraphWithProperty(paragraph, QXDocxUtilities::defaultRProperty(),
                                                          QXDocxUtilities::defaultSectPropertyHiden(), w);
    });
    EXPECT_EQ(blank.rfind("<w:p><w:pPr><w:numPr>", 0), 0u) << blank;
    EXPECT_EQ(blank.find("<w:tabs>"), std::string::npos);
    EXPECT_EQ(blank.substr(blank.size() - 14), "</w:pPr></w:p>");
}

TEST(QXDocxUtilitiesWriterTest, SectionProperties)
{
    QXDocx_SectPr section = QXDocxUtilities::defaultSectPropertyHiden();
    section.type = 0;
    section.pgSz = {842, 595};
    section.pgMar = {36, 36, 36, 36, 18, 18, 9};
    section.offsetFrom = 2;
    section.pgBorders.top = {QXDocxBorderSingle, 0.3f, {0, 0, 0, 255}, false, 40};
    section.pgBorders.left = {QXDocxBorderDouble, 1.5f, {0, 0, 255, 255}, true, 4};
    section.pgBorders.right = {30, -1, {0, 0, 0, 255}, false, -3};
    section.cols.num = 3;
    section.cols.sep = true;
    section.cols.col = {{200, 10}, {150, 0}};  // fewer than the count
    QXDocxSetText(section.docGrid.type, "lines");
    section.docGrid.linePitch = 15.6f;
    section.vAlign = QXDocxVerticalAlignmentBottom;  // not written

    // A border of 0.3 points and space 40 writes sz 2 and space 31.
    EXPECT_EQ(sectPrOf(section),
              R"(<w:sectPr><w:pgSz w:w="16840" w:h="11900" w:orient="landscape"/>)"
              R"(<w:pgMar w:top="720" w:right="720" w:bottom="720" w:left="720" w:header="360" w:footer="360" w:gutter="0"/>)"
              R"(<w:pgBorders w:offsetFrom="page"><w:top w:val="single" w:sz="2" w:space="31" w:color="000000"/>)"
              R"(<w:left w:val="double" w:sz="12" w:space="4" w:color="0000FF" w:shadow="true"/>)" +
                  border("bottom", "none", "0") + border("right", "none", "0") +
                  R"(</w:pgBorders><w:cols w:sep="0" w:num="3" w:equalWidth="0"><w:col w:w="4000" w:space="200"/>)"
                  R"(<w:col w:w="3000"/></w:cols><w:docGrid w:type="lines" w:linePitch="312"/></w:sectPr>)");

    // Equal-width columns: their space, or the flag alone.
    QXDocx_SectPr equal = QXDocxUtilities::defaultSectPropertyHiden();
    equal.type = QXDocxSectionTypeNextPage;
    equal.cols.num = 2;
    equal.cols.equalWidth = 1;
    equal.cols.space = 12;
    EXPECT_NE(sectPrOf(equal).find(R"(<w:type w:val="nextPage"/>)"), std::string::npos);
    EXPECT_NE(sectPrOf(equal).find(R"(<w:cols w:num="2" w:space="240"/>)"), std::string::npos);
    equal.cols.space = 0;
    EXPECT_NE(sectPrOf(equal).find(R"(<w:cols w:num="2" w:equalWidth="true"/>)"), std::string::npos);
}

TEST(QXDocxUtilitiesWriterTest, TableProperties)
{
    const std::string defaultTable = writeWordprocessingML(
        [](XMLFileWriter& w) { QXDocxUtilities::WriteTblProperty(QXDocxUtilities::defaultTblProperty(), w); });
    // Children in the schema's order.
    EXPECT_EQ(defaultTable,
              R"(<w:tblPr><w:tblStyle w:val="TableGrid"/><w:tblW w:type="auto" w:w="0"/><w:jc w:val="left"/>)"
              "<w:tblBorders>" +
                  border("top") + border("left") + border("bottom") + border("right") + border("insideH") +
                  border("insideV") +
                  R"(</w:tblBorders><w:tblLayout w:type="fixed"/>)"
                  R"(<w:tblCellMar><w:top w:type="dxa" w:w="0"/><w:left w:type="dxa" w:w="0"/>)"
                  R"(<w:bottom w:type="dxa" w:w="0"/><w:right w:type="dxa" w:w="0"/></w:tblCellMar>)"
                  R"(<w:tblLook w:val="01E0"/></w:tblPr>)");

    QXDocx_TblPr table = QXDocxUtilities::defaultTblProperty();
    table.tblpPr.leftFromText = 9;
    table.tblpPr.vertAnchor = QXDocxAnchorText;
    table.tblpPr.horzAnchor = QXDocxAnchorMargin;
    table.tblpPr.tblpX = 100;
    table.tblpPr.tblpY = -0.05f;
    QXDocxSetText(table.tblCaption, "Prices");
    QXDocxSetText(table.tblStyle, "表");  // one character: not written
    table.jc = QXDocxHorizontalAlignmentCenter;
    table.tblW = {50, QXDocxWidthPct};
    table.tblInd = {5.5f, QXDocxWidthDxa};
    table.tblBorders = QXDocxUtilities::defaultPageBordersNone();
    table.tblBorders.insideV.val = QXDocxBorderNil;
    table.shd = {{250, 240, 230, 255}, {1, 2, 3, 255}, QXDocxShadingClear};
    table.tblCellMar.left.type = QXDocxWidthNil;
    table.tblCellSpacing = {2, QXDocxWidthDxa};
    table.tblLayout = QXDocxTableLayoutAutofit;
    table.tblLook = {};
    table.tblLook.firstRow = true;
    table.tblLook.noVBand = true;
    table.tblStyleColBandSize = 1;
    const std::string written =
        writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteTblProperty(table, w); });
    EXPECT_EQ(written,
              R"(<w:tblPr><w:tblpPr w:leftFromText="180" w:rightFromText="0" w:topFromText="0" w:bottomFromText="0" )"
              R"(w:vertAnchor="text" w:horzAnchor="margin" w:tblpX="2000" w:tblpY="-1"/>)"
              R"(<w:tblStyleColBandSize w:val="1"/><w:tblW w:type="pct" w:w="1000"/><w:jc w:val="center"/>)"
              R"(<w:tblCellSpacing w:type="dxa" w:w="40"/><w:tblInd w:type="dxa" w:w="110"/>)"
              R"(<w:shd w:val="clear" w:color="auto" w:fill="FAF0E6"/><w:tblLayout w:type="autofit"/>)"
              R"(<w:tblLook w:firstRow="true" w:noVBand="true"/><w:tblCaption w:val="Prices"/></w:tblPr>)");

    // Another pattern takes the shading's colour; an out-of-range pattern
    // its fallback.
    table.shd.val = QXDocxShadingSolid;
    EXPECT_NE(writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteTblProperty(table, w); })
                  .find(R"(<w:shd w:val="solid" w:color="010203" w:fill="FAF0E6"/>)"),
              std::string::npos);
    table.shd.val = 11;
    EXPECT_NE(writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteTblProperty(table, w); })
                  .find(R"(<w:shd w:val="start")"),
              std::string::npos);
}

TEST(QXDocxUtilitiesWriterTest, GridKeepsToItsCapacity)
{
    const auto gridOf = [](const QXDocx_TblGrid& grid) {
        return writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteTblGridProperty(grid, w); });
    };
    EXPECT_EQ(gridOf(QXDocxUtilities::defaultTblGridProperty()), R"(<w:tblGrid><w:gridCol w:w="1280"/></w:tblGrid>)");

    QXDocx_TblGrid grid;
    for (int i = 0; i < kQXDocxMaxGridColumns; ++i)
        grid.gridCol[i] = static_cast<float>(i + 1);
    grid.gridCount = 0;
    EXPECT_EQ(gridOf(grid), "");
    grid.gridCount = -5;
    EXPECT_EQ(gridOf(grid), "");
    grid.gridCount = 2;
    EXPECT_EQ(gridOf(grid), R"(<w:tblGrid><w:gridCol w:w="20"/><w:gridCol w:w="40"/></w:tblGrid>)");

    // A count beyond the 64 entries writes the 64 and reads nothing past them.
    grid.gridCount = 1000;
    const std::string full = gridOf(grid);
    EXPECT_EQ(occurrences(full, "<w:gridCol "), 64u);
    EXPECT_NE(full.find(R"(<w:gridCol w:w="1280"/></w:tblGrid>)"), std::string::npos);
}

TEST(QXDocxUtilitiesWriterTest, RowProperties)
{
    const auto trPrOf = [](const QXDocx_TrPr& row) {
        return writeWordprocessingML([&](XMLFileWriter& w) { QXDocxUtilities::WriteTrProperty(row, w); });
    };
    EXPECT_EQ(trPrOf(QXDocxUtilities::defaultTrProperty()),
              R"(<w:trPr><w:trHeight w:val="0" w:hRule="exact"/></w:trPr>)");

    QXDocx_TrPr row = QXDocxUtilities::defaultTrProperty();
    row.cantSplit = row.hidden = row.tblHeader = true;
    row.jc = QXDocxHorizontalAlignmentCenter;
    row.trHeight = {QXDocxHeightRuleAtLeast, 14.4f};
    row.tblCellSpacing = {1, QXDocxWidthDxa};
    row.top = QXDocxUtilities::defaultBorder_SingleLine();  // row borders are not written
    EXPECT_EQ(trPrOf(row), R"(<w:trPr><w:cantSplit w:val="true"/><w:hidden w:val="true"/><w:tblHeader w:val="true"/>)"
                           R"(<w:jc w:val="center"/><w:trHeight w:val="288" w:hRule="atLeast"/>)"
                           R"(<w:tblCellSpacing w:type="dxa" w:w="20"/></w:trPr>)");

    row = QXDocxUtilities::defaultTrProperty();
    row.trHeight.hRule = QXDocxHeightRuleAuto;
    row.tblCellSpacing = {5, QXDocxWidthNil};
    EXPECT_EQ(trPrOf(row), "<w:trPr/>");
}

TEST(QXDocxUtilitiesWriterTest, CellProperties)
{
    const QXDocx_TblPr table = threeByThreeTable();
    // A cell in the middle whose borders equal the table's.
    EXPECT_EQ(tcPrOf(QXDocxUtilities::defaultTcProperty(), {1, 1}, {1, 1}, table), "<w:tcPr/>");

    QXDocx_TcPr cell = QXDocxUtilities::defaultTcProperty();
    cell.gridSpan = 2;
    cell.hideMark = cell.noWrap = cell.tcFitText = true;
    cell.tcBorders.top = QXDocxUtilities::defaultBorder_None();
    cell.tcBorders.right.val = QXDocxBorderDouble;
    cell.tcBorders.insideH = QXDocxUtilities::defaultBorder_SingleLine();
    cell.tcBorders.tl2br = QXDocxUtilities::defaultBorder_SingleLine();
    cell.shd = {{255, 0, 0, 255}, {0, 0, 0, 255}, QXDocxShadingPct10};
    cell.tcMar = QXDocxUtilities::defaultMargins();
    cell.tcMar.top.w = cell.tcMar.left.w = cell.tcMar.bottom.w = cell.tcMar.right.w = 5.4f;
    cell.vAlign = QXDocxVerticalAlignmentCenter;
    cell.tcW = {100, QXDocxWidthDxa};
    cell.vMerge = QXDocxVerticalMergeEnd;
    // The last column, rows 1 and 2 (the bottom row included).
    EXPECT_EQ(tcPrOf(cell, {2, 1}, {1, 2}, table),
              R"(<w:tcPr><w:tcW w:w="2000" w:type="dxa"/><w:gridSpan w:val="2"/><w:vMerge/><w:tcBorders>)" +
                  border("top", "none", "0") + border("right", "double") + border("insideH") + border("tl2br") +
                  R"(</w:tcBorders><w:shd w:fill="FF0000" w:color="000000" w:val="pct10"/><w:noWrap w:val="true"/>)"
                  R"(<w:tcMar><w:top w:type="dxa" w:w="108"/><w:left w:type="dxa" w:w="108"/>)"
                  R"(<w:bottom w:type="dxa" w:w="108"/><w:right w:type="dxa" w:w="108"/></w:tcMar>)"
                  R"(<w:tcFitText w:val="true"/><w:vAlign w:val="center"/><w:hideMark w:val="true"/></w:tcPr>)");

    cell = QXDocxUtilities::defaultTcProperty();
    cell.vMerge = QXDocxVerticalMergeRestart;
    EXPECT_EQ(tcPrOf(cell, {0, 1}, {0, 1}, table), R"(<w:tcPr><w:vMerge w:val="restart"/></w:tcPr>)");
}

TEST(QXDocxUtilitiesWriterTest, CellBordersAreMeasuredAgainstTheBorderThatApplies)
{
    // Outer borders of 2 points, inside borders of 1.
    QXDocx_TblPr table = threeByThreeTable();
    for (QXDocx_Border* side : {&table.tblBorders.top, &table.tblBorders.left, &table.tblBorders.bottom,
                                &table.tblBorders.right})
        side->sz = 2;
    QXDocx_TcPr outer = QXDocxUtilities::defaultTcProperty();
    for (QXDocx_Border* side : {&outer.tcBorders.top, &outer.tcBorders.left, &outer.tcBorders.bottom,
                                &outer.tcBorders.right})
        side->sz = 2;
    const QXDocx_TcPr inner = QXDocxUtilities::defaultTcProperty();

    struct Case {
        const QXDocx_TcPr* cell;
        QXDocxRange columns, rows;
        bool equal;
    };
    const Case cases[] = {
        {&outer, {0, 3}, {0, 3}, true},    // the whole table
        {&inner, {1, 1}, {1, 1}, true},    // the middle
        {&outer, {1, 1}, {1, 1}, false},   // outer sizes inside
        {&inner, {0, 3}, {0, 3}, false},   // inner sizes on the edge
        {&inner, {1, 1}, {0, 1}, false},   // top row: top against the table's top
        {&inner, {1, 1}, {2, 1}, false},   // bottom row: bottom against the table's bottom
        {&inner, {1, 1}, {1, UINT64_MAX}, true},  // a length past the table is no bottom row
        {&inner, {UINT64_MAX, 2}, {1, 1}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXDocxUtilities::IsBorderEqualTcProperty(*c.cell, c.columns, c.rows, table), c.equal)
            << c.columns.location << "," << c.columns.length << " " << c.rows.location << "," << c.rows.length;
        const bool wroteBorders =
            tcPrOf(*c.cell, c.columns, c.rows, table).find("<w:tcBorders>") != std::string::npos;
        EXPECT_EQ(wroteBorders, !c.equal);
    }

    // Only the sides that differ are written: the top row's inner top.
    const std::string topRow = tcPrOf(inner, {1, 1}, {0, 1}, table);
    EXPECT_EQ(topRow, "<w:tcPr><w:tcBorders>" + border("top") + "</w:tcBorders></w:tcPr>");

    // A cell's own inside border or a diagonal alone makes the borders differ.
    QXDocx_TcPr diagonal = inner;
    diagonal.tcBorders.tr2bl = QXDocxUtilities::defaultBorder_SingleLine();
    EXPECT_EQ(tcPrOf(diagonal, {1, 1}, {1, 1}, table),
              "<w:tcPr><w:tcBorders>" + border("tr2bl") + "</w:tcBorders></w:tcPr>");
    QXDocx_TcPr insideV = inner;
    insideV.tcBorders.insideV.val = QXDocxBorderNil;
    EXPECT_EQ(tcPrOf(insideV, {1, 1}, {1, 1}, table),
              "<w:tcPr><w:tcBorders>" + border("insideV", "nil", "0") + "</w:tcBorders></w:tcPr>");
}

TEST(QXDocxUtilitiesWriterTest, NumbersThatAreNotFiniteAreNeverWritten)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    QXDocx_RPr run = QXDocxUtilities::defaultRProperty();
    run.sz = nan;
    run.spacing = -inf;
    run.w = inf;
    run.scrpit = QXDocxScriptSubscript;
    const std::string runXml = rPrOf(run);
    EXPECT_EQ(runXml, "<w:rPr>" + kDefaultFonts +
                          R"(<w:color w:val="000000"/><w:vertAlign w:val="subscript"/><w:noProof/></w:rPr>)");

    QXDocx_SectPr section = QXDocxUtilities::defaultSectPropertyHiden();
    section.pgSz = {inf, nan};
    section.pgMar.top = -inf;
    section.pgMar.left = 1e30f;  // beyond what readers take: clamped
    section.offsetFrom = 1;
    section.pgBorders.top = {QXDocxBorderSingle, nan, {}, false, inf};
    const std::string sectionXml = sectPrOf(section);
    EXPECT_NE(sectionXml.find(R"(<w:pgSz w:w="0" w:h="0"/>)"), std::string::npos);
    EXPECT_NE(sectionXml.find(R"(w:top="0" w:right="0" w:bottom="0" w:left="2147483647")"), std::string::npos);
    EXPECT_NE(sectionXml.find(R"(<w:top w:val="single" w:sz="0" w:space="31")"), std::string::npos);

    QXDocx_PPr paragraph = QXDocxUtilities::defaultPProperty();
    paragraph.spacing.line = nan;
    QXDocxSetText(paragraph.spacing.lineRule, "auto");
    paragraph.spacing.word1LineHeight = 12;
    paragraph.spacing.before = nan;
    QXDocx_Tabs tabs;
    tabs.tab.resize(1);
    tabs.tab[0].pos = inf;
    const std::string paragraphXml = writeWordprocessingML([&](XMLFileWriter& w) {
        QXDocxUtilities::WritePProperty(paragraph, run, section, tabs, w);
    });
    EXPECT_NE(paragraphXml.find(R"(<w:spacing w:before="0" w:after="0" w:line="0" w:lineRule="auto"/>)"),
              std::string::npos);

    QXDocx_TblPr table = QXDocxUtilities::defaultTblProperty();
    table.tblInd.w = nan;
    table.tblW.w = inf;
    QXDocx_TcPr cell = QXDocxUtilities::defaultTcProperty();
    cell.tcW.w = nan;
    QXDocx_TblGrid grid;
    grid.gridCount = 1;
    grid.gridCol[0] = nan;
    QXDocx_TrPr row = QXDocxUtilities::defaultTrProperty();
    row.trHeight.val = -inf;
    const std::string tableXml = writeWordprocessingML([&](XMLFileWriter& w) {
        QXDocxUtilities::WriteTblProperty(table, w);
        QXDocxUtilities::WriteTblGridProperty(grid, w);
        QXDocxUtilities::WriteTrProperty(row, w);
        QXDocxUtilities::WriteTcProperty(cell, {0, 1}, {0, 1}, table, w);
    });
    EXPECT_EQ(tableXml.find("<w:tblInd"), std::string::npos);
    EXPECT_EQ(tableXml.find("<w:tcW"), std::string::npos);

    run.sz = inf;
    const std::string style = QXDocxUtilities::TextPathStyleForRProperty(run);
    EXPECT_EQ(style, "font-family:Times New Roman;v-text-kern:t;mso-text-shadow:auto");

    for (std::string text : {runXml, sectionXml, paragraphXml, tableXml, style}) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    }
}

TEST(QXDocxUtilitiesWriterTest, TextPathStyle)
{
    QXDocx_RPr run = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(run.rFonts.ascii, "Helvetica Bold");
    run.b = run.i = true;
    run.sz = 12.3f;
    EXPECT_EQ(QXDocxUtilities::TextPathStyleForRProperty(run),
              "font-family:Helvetica Bold;font-weight:bold;font-style:italic;font-size:25pt;"
              "v-text-kern:t;mso-text-shadow:auto");
}

TEST(QXDocxUtilitiesWriterTest, DeferredPropertyWriter)
{
    QXDocx_SectPr section = QXDocxUtilities::defaultSectPropertyHiden();
    section.shouldWrite = true;
    section.pgSz = {612, 792};
    const std::string sectionXml = sectPrOf(section);

    const auto sectionWriter = QXDocxProperty::NewWriteSectProperty(section);
    EXPECT_EQ(sectionWriter->propertyWriteType(), QXDocxProperty::WriteSection);
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { sectionWriter->writeWithXMLWriter(w); }), sectionXml);

    QXDocx_RPr mark = QXDocxUtilities::defaultRProperty();
    mark.sz = 5;
    const auto blank =
        QXDocxProperty::NewWrite1BlankParagraphWithProperty(QXDocxUtilities::defaultPProperty(), mark, section);
    const std::string blankXml = writeWordprocessingML([&](XMLFileWriter& w) { blank->writeWithXMLWriter(w); });
    EXPECT_EQ(blankXml, R"(<w:p><w:pPr><w:spacing w:before="0" w:after="0" w:line="240" w:lineRule="exact"/>)"
                        R"(<w:ind w:firstLine="0" w:left="0" w:right="0"/><w:jc w:val="left"/><w:rPr>)" +
                            kDefaultFonts +
                            R"(<w:sz w:val="10"/><w:szCs w:val="10"/><w:color w:val="000000"/><w:noProof/></w:rPr>)" +
                            sectionXml + "</w:pPr></w:p>");

    // A copy keeps the write type and the records.
    const auto copied = std::dynamic_pointer_cast<QXDocxProperty>(blank->copy());
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied.get(), blank.get());
    EXPECT_EQ(copied->propertyWriteType(), QXDocxProperty::WriteBlankParagraph);
    EXPECT_EQ(copied->rProperty().sz, 5);
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { copied->writeWithXMLWriter(w); }), blankXml);

    // A new writer, or one of another type, writes nothing.
    QXDocxProperty idle;
    EXPECT_EQ(idle.propertyWriteType(), QXDocxProperty::WriteNothing);
    EXPECT_EQ(QXDocxText(idle.pProperty().pStyle), "null");
    EXPECT_FALSE(idle.sectProperty().shouldWrite);
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { idle.writeWithXMLWriter(w); }), "");
    idle.setPropertyWriteType(7);
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { idle.writeWithXMLWriter(w); }), "");
}

// python-docx, as a user's script would, reads the paragraph and run
// properties back: auto line spacing as a multiple, spacing in points, the
// run's font, size, bold, highlight, underline and colour.
TEST(QXDocxUtilitiesWriterTest, PythonDocxReadsTheProperties)
{
    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python3-docx is not installed";

    QXDocx_PPr paragraph = QXDocxUtilities::defaultPProperty();
    paragraph.spacing.before = 6;
    paragraph.spacing.line = 18;
    QXDocxSetText(paragraph.spacing.lineRule, "auto");
    paragraph.spacing.word1LineHeight = 12;
    paragraph.jc = QXDocxJustificationCenter;
    QXDocx_RPr run = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(run.rFonts.ascii, "Helvetica Bold");
    run.b = true;
    run.sz = 11;
    run.color = {0x12, 0x34, 0x56, 255};
    run.background = true;
    run.backgroundcolor = {0, 255, 255, 255};
    run.u = QXDocxUnderlineSingle;

    bool ran = false;
    const std::string out = test::readFirstParagraphWithPythonDocx(
        [&](XMLFileWriter& writer) {
            const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
            writer.writeStartElementWithNamespace(w, "p");
            QXDocxUtilities::WritePProperty(paragraph, run, QXDocxUtilities::defaultSectPropertyHiden(),
                                            QXDocxUtilities::defaultTabsProperty(), writer);
            writer.writeStartElementWithNamespace(w, "r");
            QXDocxUtilities::WriteRProperty(run, writer);
            writer.writeStartElementWithNamespace(w, "t");
            writer.writeCharacters("x");
        },
        "f = p.paragraph_format\n"
        "r = p.runs[0].font\n"
        "print(round(f.line_spacing, 3), f.space_before.pt, f.alignment,\n"
        "      r.name, r.size.pt, r.bold, r.highlight_color, r.underline, r.color.rgb)\n", ran);
    ASSERT_TRUE(ran) << out;
    EXPECT_EQ(out, "1.5 6.0 CENTER (1) Helvetica 11.0 True TURQUOISE (3) True 123456\n");
}
