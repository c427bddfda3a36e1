#include "docx/tables/QXDocxTable.h"

#include "converter/ooxml/QXDocxCounters.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/tables/QXDocxTableLimits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace rz {

namespace {

// A whole number of twentieths of a point, within the signed 32-bit range.
std::string twipsText(double points)
{
    double twips = std::isfinite(points) ? std::round(points * 20) : 0;
    twips = std::clamp(twips, -2147483648.0, 2147483647.0);
    return std::to_string(static_cast<long long>(twips));
}

std::string pointsText(double points)
{
    const double value = std::isfinite(points) ? std::round(points) : 0;
    return std::to_string(static_cast<long long>(std::clamp(value, -2147483648.0, 2147483647.0)));
}

} // namespace

QXDocxTable::QXDocxTable()
    : sectProperty_(QXDocxUtilities::defaultSectPropertyHiden()),
      tblGridProperty_(QXDocxUtilities::defaultTblGridProperty()),
      tblProperty_(QXDocxUtilities::defaultTblProperty())
{
}

std::shared_ptr<QXDocxWriterObject> QXDocxTable::copy() const
{
    return std::make_shared<QXDocxTable>(*this);
}

QXDocxParagraphPtr QXDocxTable::defaultParagraph()
{
    if (defaultParagraph_)
        return defaultParagraph_;
    for (const QXDocxTableRowPtr& row : tableRowArray_) {
        if (QXDocxParagraphPtr paragraph = row->defaultParagraph()) {
            defaultParagraph_ = paragraph;
            break;
        }
    }
    return defaultParagraph_;
}

QXDocxTableCell* QXDocxTable::firstTableCell() const
{
    if (tableRowArray_.empty() || tableRowArray_.front()->tableCellArray().empty())
        return nullptr;
    return tableRowArray_.front()->tableCellArray().front().get();
}

QXDocxTableCell* QXDocxTable::lastTableCell() const
{
    if (tableRowArray_.empty() || tableRowArray_.back()->tableCellArray().empty())
        return nullptr;
    return tableRowArray_.back()->tableCellArray().back().get();
}

bool QXDocxTable::hasCells() const
{
    return std::any_of(tableRowArray_.begin(), tableRowArray_.end(),
                       [](const QXDocxTableRowPtr& row) { return !row->tableCellArray().empty(); });
}

void QXDocxTable::changeXMLPropertyTextWrappingToNone()
{
    tblProperty_.tblpPr = QXDocxUtilities::defaultTblpProperty();
    isWrappingToFloatTextBox_ = false;
    tblProperty_.tblpPr.vertAnchor = QXDocxAnchorNone;
    tblProperty_.tblpPr.horzAnchor = QXDocxAnchorNone;
    tblProperty_.jc = QXDocxHorizontalAlignmentLeft;
    tblProperty_.tblInd = {static_cast<float>(bounds_.origin.x - sectProperty_.pgMar.left), QXDocxWidthDxa};
}

void QXDocxTable::changeXMLPropertyTextWrappingToAround()
{
    tblProperty_.tblpPr = QXDocxUtilities::defaultTblpProperty();
    isWrappingToFloatTextBox_ = false;
    tblProperty_.tblpPr.vertAnchor = QXDocxAnchorPage;
    tblProperty_.tblpPr.horzAnchor = QXDocxAnchorPage;
    double x = bounds_.origin.x;
    double y = bounds_.origin.y;
    if (superTable_ != nullptr) {
        x -= sectProperty_.pgMar.left;
        y -= sectProperty_.pgMar.top;
    }
    tblProperty_.tblpPr.tblpX = static_cast<float>(x);
    tblProperty_.tblpPr.tblpY = static_cast<float>(y);
    tblProperty_.jc = QXDocxHorizontalAlignmentLeft;
    tblProperty_.tblInd = {0, QXDocxWidthDxa};
}

void QXDocxTable::changeXMLPropertyTextWrappingToFloatTextBox()
{
    tblProperty_.tblpPr = QXDocxUtilities::defaultTblpProperty();
    isWrappingToFloatTextBox_ = true;
    tblProperty_.tblpPr.vertAnchor = QXDocxAnchorNone;
    tblProperty_.tblpPr.horzAnchor = QXDocxAnchorNone;
    tblProperty_.jc = QXDocxHorizontalAlignmentLeft;
    tblProperty_.tblInd = {tblProperty_.tblBorders.left.sz, QXDocxWidthDxa};
}

void QXDocxTable::convertToXMLProperty()
{
    changeXMLPropertyTextWrappingToAround();
    tblProperty_.tblBorders = QXDocxUtilities::defaultTableBorders();
    tblProperty_.rowCount = 0;
    tblProperty_.columnCount = 0;
    gridColArray_.clear();
    if (!tableRowArray_.empty()) {
        // The grid is as wide as the widest row (normally every row, and so
        // the first, has the same cells).
        const QXDocxTableRowPtr* widest = &tableRowArray_.front();
        for (const QXDocxTableRowPtr& row : tableRowArray_) {
            if (row->tableCellArray().size() > (*widest)->tableCellArray().size())
                widest = &row;
        }
        for (const QXDocxTableCellPtr& cell : (*widest)->tableCellArray())
            gridColArray_.push_back(static_cast<float>(cell->bounds().size.width));
        tblProperty_.rowCount = static_cast<std::int32_t>(tableRowArray_.size());
        tblProperty_.columnCount = static_cast<std::int32_t>(gridColArray_.size());
        tblGridProperty_.gridCount = tblProperty_.columnCount;
        std::fill(std::begin(tblGridProperty_.gridCol), std::end(tblGridProperty_.gridCol), 0.0f);
        std::copy_n(gridColArray_.begin(), std::min<std::size_t>(gridColArray_.size(), kQXDocxMaxGridColumns),
                    tblGridProperty_.gridCol);
    }
    for (const QXDocxTableRowPtr& row : tableRowArray_) {
        for (const QXDocxTableCellPtr& cell : row->tableCellArray())
            cell->createXMLProperty();
        row->createXMLProperty();
    }
    optimizeXMLProperty();
}

void QXDocxTable::optimizeXMLProperty()
{
    createMergeCellsGroup();
    for (const QXDocxTableRowPtr& row : tableRowArray_) {
        for (const QXDocxTableCellPtr& cell : row->tableCellArray())
            cell->createParagraphArrayIfNeed();
    }
    for (const QXDocxTableCellGroupPtr& group : cellGroupArray_)
        group->createParagraphArrayIfNeed();

    const QXDocxTableCell* first = firstTableCell();
    const QXDocxTableCell* last = lastTableCell();
    if (first != nullptr) {
        tblProperty_.tblBorders.top = first->tcProperty().tcBorders.top;
        tblProperty_.tblBorders.left = first->tcProperty().tcBorders.left;
        tblProperty_.tblBorders.right = last != nullptr ? last->tcProperty().tcBorders.right : QXDocx_Border{};
        tblProperty_.tblBorders.bottom = last != nullptr ? last->tcProperty().tcBorders.bottom : QXDocx_Border{};
        const QXDocx_Border single = QXDocxUtilities::defaultBorder_SingleLine();
        if (last != nullptr && QXTableBorderIsDrawn(last->tcProperty().tcBorders.left))
            tblProperty_.tblBorders.insideV = last->tcProperty().tcBorders.left;
        else if (QXTableBorderIsDrawn(first->tcProperty().tcBorders.right))
            tblProperty_.tblBorders.insideV = first->tcProperty().tcBorders.right;
        else
            tblProperty_.tblBorders.insideV = single;
        if (last != nullptr && QXTableBorderIsDrawn(last->tcProperty().tcBorders.top))
            tblProperty_.tblBorders.insideH = last->tcProperty().tcBorders.top;
        else if (QXTableBorderIsDrawn(first->tcProperty().tcBorders.bottom))
            tblProperty_.tblBorders.insideH = first->tcProperty().tcBorders.bottom;
        else
            tblProperty_.tblBorders.insideH = single;
    }
}

void QXDocxTable::createMergeCellsGroup()
{
    QXDocxTableCellRows rows;
    for (const QXDocxTableRowPtr& row : tableRowArray_) {
        for (const QXDocxTableCellPtr& cell : row->tableCellArray())
            cell->setSuperTableCellGroup(nullptr);
        rows.push_back(row->tableCellArray());
    }
    cellGroupArray_.clear();
    std::size_t cellCount = 0;
    bool anyDrawn = false;
    for (const auto& row : rows) {
        cellCount += row.size();
        for (const QXDocxTableCellPtr& cell : row) {
            const QXDocx_Borders& b = cell->tcProperty().tcBorders;
            anyDrawn = anyDrawn || b.top.val >= QXDocxBorderSingle || b.left.val >= QXDocxBorderSingle ||
                       b.bottom.val >= QXDocxBorderSingle || b.right.val >= QXDocxBorderSingle;
        }
    }
    // Lines that cross inside made this region a table: when none of them
    // is seen as drawn (white rules over filled boxes), no missing line
    // tells which cells belong together, and the cells stay apart.
    if (!anyDrawn)
        rows.clear();
    for (const QXDocxTableCellRows& block : QXDocxTableCellGroup::FindAllRowGroupCells(rows)) {
        // A block of every cell would undo the table.
        std::size_t blockCells = 0;
        for (const auto& row : block)
            blockCells += row.size();
        if (blockCells == cellCount && block.size() >= 2 && !block.front().empty() && block.front().size() >= 2)
            continue;
        cellGroupArray_.push_back(std::make_shared<QXDocxTableCellGroup>(block, this));
    }
    for (const QXDocxRunTextPtr& text : allRunTextArray_) {
        const Rect rect = text->displayRect();
        for (const QXDocxTableCellGroupPtr& group : cellGroupArray_) {
            if (group->bounds().insetBy(-kQXTableGroupTextGrowth, -kQXTableGroupTextGrowth).contains(rect))
                group->addRunTextIfNeed(text);
        }
    }
}

void QXDocxTable::writeGrid(XMLFileWriter& writer) const
{
    if (gridColArray_.size() <= static_cast<std::size_t>(kQXDocxMaxGridColumns)) {
        QXDocxUtilities::WriteTblGridProperty(tblGridProperty_, writer);
        return;
    }
    // Wider than the grid record holds: every column is written.
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "tblGrid");
    for (float width : gridColArray_) {
        writer.writeStartElementWithNamespace(w, "gridCol");
        writer.writeAttributeWithNamespace(w, "w", twipsText(width));
        writer.writeEndElementWithNamespace(w, "gridCol");
    }
    writer.writeEndElementWithNamespace(w, "tblGrid");
}

void QXDocxTable::writeWithXMLWriter(XMLFileWriter& writer)
{
    if (!hasCells())
        return;
    if (isWrappingToFloatTextBox_)
        writeTextBoxStartWithXMLWriter(writer);

    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "tbl");
    QXDocxUtilities::WriteTblProperty(tblProperty_, writer);
    writeGrid(writer);
    // Without wrapping the rows share the margins of the space the table
    // stands in; the rows' own heights are kept, so that writing again
    // gives the same table.
    std::vector<QXDocx_TrPr> kept;
    if (tblProperty_.tblpPr.horzAnchor == QXDocxAnchorNone && !tableRowArray_.empty()) {
        const double share = (textWrappingToNoneMarginTop_ + textWrappingToNoneMarginBottom_) /
                             static_cast<double>(tableRowArray_.size());
        if (std::isfinite(share) && share != 0) {
            for (const QXDocxTableRowPtr& row : tableRowArray_) {
                QXDocx_TrPr property = row->trProperty();
                kept.push_back(property);
                property.trHeight.val = static_cast<float>(property.trHeight.val + share);
                row->setTrProperty(property);
            }
        }
    }
    for (const QXDocxTableRowPtr& row : tableRowArray_)
        row->writeWithXMLWriter(writer);
    for (std::size_t i = 0; i < kept.size(); ++i)
        tableRowArray_[i]->setTrProperty(kept[i]);
    writer.writeEndElementWithNamespace(w, "tbl");

    if (isWrappingToFloatTextBox_)
        writeTextBoxEndWithXMLWriter(writer);
}

void QXDocxTable::writeTextBoxStartWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    const std::string vml(QXDocxPackageNames::kVML);
    const std::string office(QXDocxPackageNames::kOffice);
    writer.writeStartElementWithNamespace(w, "r");
    writer.writeStartElementWithNamespace(w, "rPr");
    writer.writeEndElementWithNamespace(w, "rPr");
    writer.writeStartElementWithNamespace(w, "pict");
    writer.writeStartElementWithNamespace(vml, "shape");
    writer.writeAttribute("id", "TextBox 1");
    writer.writeAttributeWithNamespace(office, "spid", "_x0000_t202");
    writer.writeAttribute("type", "#_x0000_t202");

    const double dx = tblProperty_.tblBorders.left.sz;
    const double dy = tblProperty_.tblBorders.top.sz;
    const Rect box = bounds_.insetBy(-dx, -dy);
    const std::int64_t z = -(QXDocxFrontZIndexCounter++);
    double top = box.origin.y;
    std::string relation = "page";
    if (const QXDocxParagraphPtr relative = textBoxRelativeParagraph_.lock()) {
        top -= relative->contentFrame().origin.y;
        relation = "paragraph";
    }
    std::string style = "position:absolute;left:0;text-align:left;";
    style += "margin-left:" + pointsText(box.origin.x) + "pt;";
    style += "width:" + pointsText(box.size.width) + "pt;";
    style += "height:" + pointsText(box.size.height) + "pt;";
    style += "z-index:" + std::to_string(z) + ";";
    style += "mso-position-horizontal-relative:page;";
    style += "margin-top:" + pointsText(top) + "pt;";
    style += "mso-position-vertical-relative:" + relation + ";";
    style += "v-text-anchor:top";
    writer.writeAttribute("style", style);
    writer.writeAttribute("filled", "false");
    writer.writeAttribute("stroked", "false");
    writer.writeStartElementWithNamespace(vml, "textbox");
    writer.writeAttribute("inset", "0,0,0,0");
    writer.writeStartElementWithNamespace(w, "txbxContent");
}

void QXDocxTable::writeTextBoxEndWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    const std::string vml(QXDocxPackageNames::kVML);
    const std::string word10(QXDocxPackageNames::kWord10);
    writer.writeEndElementWithNamespace(w, "txbxContent");
    writer.writeEndElementWithNamespace(vml, "textbox");
    writer.writeStartElementWithNamespace(word10, "wrap");
    writer.writeAttribute("type", "none");
    writer.writeEndElementWithNamespace(word10, "wrap");
    writer.writeEndElementWithNamespace(vml, "shape");
    writer.writeEndElementWithNamespace(w, "pict");
    writer.writeEndElementWithNamespace(w, "r");
}

} // namespace rz
