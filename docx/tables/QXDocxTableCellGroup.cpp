#include "docx/tables/QXDocxTableCellGroup.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/tables/QXDocxTable.h"
#include "docx/tables/QXDocxTableLimits.h"
#include "docx/tables/QXDocxTableRow.h"

#include <algorithm>
#include <list>
#include <map>

namespace rz {

namespace {

QXDocxTableCorner cornerOrEmpty(const QXDocxTableCellRows& rows, bool last, bool right, bool bottom)
{
    if (rows.empty() || rows.front().empty())
        return {};
    const std::vector<QXDocxTableCellPtr>& row = last ? rows.back() : rows.front();
    const QXDocxTableCellPtr& cell = right ? row.back() : row.front();
    if (bottom)
        return right ? cell->pointBottomRight() : cell->pointBottomLeft();
    return right ? cell->pointTopRight() : cell->pointTopLeft();
}

} // namespace

QXDocxTableCellGroup::QXDocxTableCellGroup(const QXDocxTableCellRows& rows, QXDocxTable* table)
    : QXDocxTableCell(cornerOrEmpty(rows, false, false, false), cornerOrEmpty(rows, false, true, false),
                      cornerOrEmpty(rows, true, false, true), cornerOrEmpty(rows, true, true, true)),
      tableRowArray_(rows)
{
    if (rows.empty() || rows.front().empty())
        return;
    const QXDocxTableCellPtr& first = rows.front().front();
    const QXDocxTableCellPtr& last = rows.back().back();
    borderTop_ = first->borderTop();
    borderLeft_ = first->borderLeft();
    borderBottom_ = last->borderBottom();
    borderRight_ = last->borderRight();
    columnRange_ = {first->columnRange().location, rows.front().size()};
    rowRange_ = {first->rowRange().location, rows.size()};
    superTableRow_ = first->superTableRow();

    for (const std::vector<QXDocxTableCellPtr>& row : rows) {
        for (const QXDocxTableCellPtr& cell : row) {
            for (const QXDocxTablePtr& sub : cell->allSubTableArray()) {
                if (std::find(allSubTableArray_.begin(), allSubTableArray_.end(), sub) == allSubTableArray_.end())
                    allSubTableArray_.push_back(sub);
            }
            // The block keeps every text its members held.
            for (const QXDocxRunTextPtr& text : cell->allRunTextArray())
                addRunTextIfNeed(text);
            cell->setSuperTableCellGroup(this);
            QXDocx_TcPr property = cell->tcProperty();
            property.vMerge = QXDocxVerticalMergeNil;
            cell->setTcProperty(property);
        }
    }

    const QXDocx_TblPr tblProperty = table != nullptr ? table->tblProperty() : QXDocxUtilities::defaultTblProperty();
    tcProperty_ = first->tcProperty();
    tcProperty_.tcBorders = BordersWithRowArray(rows, tblProperty);
    float width = 0;
    for (const QXDocxTableCellPtr& cell : rows.front())
        width += cell->tcProperty().tcW.w;
    tcProperty_.tcW = {width, QXDocxWidthDxa};
    tcProperty_.vMerge = QXDocxVerticalMergeNil;
    tcProperty_.gridSpan = 0;

    const QXDocx_Border none = QXDocxUtilities::defaultBorder_None();
    if (rows.front().size() >= 2) {
        tcProperty_.gridSpan = static_cast<std::int32_t>(rows.front().size());
        for (const std::vector<QXDocxTableCellPtr>& row : rows) {
            for (std::size_t i = 1; i < row.size(); ++i) {
                QXDocx_TcPr property = row[i]->tcProperty();
                property.tcBorders.left = none;
                row[i]->setTcProperty(property);
            }
        }
    }
    if (rows.size() >= 2) {
        tcProperty_.vMerge = QXDocxVerticalMergeRestart;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            for (const QXDocxTableCellPtr& cell : rows[r]) {
                QXDocx_TcPr property = cell->tcProperty();
                property.tcBorders.top = none;
                cell->setTcProperty(property);
            }
        }
    }
}

std::shared_ptr<QXDocxWriterObject> QXDocxTableCellGroup::copy() const
{
    return std::make_shared<QXDocxTableCellGroup>(*this);
}

void QXDocxTableCellGroup::writeRowMergeEndWithXMLWriter(XMLFileWriter& writer)
{
    QXDocx_TcPr property = tcProperty_;
    property.vMerge = QXDocxVerticalMergeEnd;
    property.tcBorders.top = QXDocxUtilities::defaultBorder_None();
    QXDocxTable* table = superTable();
    const QXDocx_TblPr tblProperty = table != nullptr ? table->tblProperty() : QXDocxUtilities::defaultTblProperty();

    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "tc");
    QXDocxUtilities::WriteTcProperty(property, columnRange_, rowRange_, tblProperty, writer);
    writer.writeStartElementWithNamespace(w, "p");
    writer.writeStartElementWithNamespace(w, "pPr");
    writer.writeStartElementWithNamespace(w, "rPr");
    for (const char* name : {"sz", "szCs"}) {
        writer.writeStartElementWithNamespace(w, name);
        writer.writeAttributeWithNamespace(w, "val", "5");
        writer.writeEndElementWithNamespace(w, name);
    }
    writer.writeEndElementWithNamespace(w, "rPr");
    writer.writeEndElementWithNamespace(w, "pPr");
    writer.writeEndElementWithNamespace(w, "p");
    writer.writeEndElementWithNamespace(w, "tc");
}

bool QXDocxTableCellGroup::ValidateBorderInsideForXGroupCellArray(const std::vector<QXDocxTableCellPtr>& cells)
{
    if (cells.size() < 2)
        return false;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const QXDocx_Borders& borders = cells[i]->tcProperty().tcBorders;
        if (i + 1 < cells.size() && QXTableBorderIsDrawn(borders.right))
            return false;
        if (i > 0 && QXTableBorderIsDrawn(borders.left))
            return false;
    }
    return QXShadingIsEqual(cells.front()->tcProperty().shd, cells.back()->tcProperty().shd);
}

bool QXDocxTableCellGroup::ValidateBorderInsideForYGroupCellArray(const QXDocxTableCellRows& rows)
{
    if (rows.size() < 2)
        return false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (const QXDocxTableCellPtr& cell : rows[r]) {
            const QXDocx_Borders& borders = cell->tcProperty().tcBorders;
            if (r + 1 < rows.size() && QXTableBorderIsDrawn(borders.bottom))
                return false;
            if (r > 0 && QXTableBorderIsDrawn(borders.top))
                return false;
        }
    }
    if (rows.front().empty() || rows.back().empty())
        return false;
    return QXShadingIsEqual(rows.front().front()->tcProperty().shd, rows.back().back()->tcProperty().shd);
}

std::vector<QXDocxTableCellRows> QXDocxTableCellGroup::FindAllRowGroupCells(const QXDocxTableCellRows& rows)
{
    // Horizontal runs, row by row.
    std::list<std::vector<QXDocxTableCellPtr>> runs;
    for (const std::vector<QXDocxTableCellPtr>& row : rows) {
        std::size_t next = 0;
        while (next < row.size()) {
            std::vector<QXDocxTableCellPtr> run{row[next]};
            std::uint64_t expected = row[next]->columnRange().location + 1;
            ++next;
            while (next < row.size() && row[next]->columnRange().location == expected) {
                run.push_back(row[next]);
                if (!ValidateBorderInsideForXGroupCellArray(run)) {
                    run.pop_back();
                    break;
                }
                ++expected;
                ++next;
            }
            runs.push_back(std::move(run));
        }
    }

    // Runs of equal length and first column stacked downwards. A row's
    // runs never share a first cell, so the run below a stack is found by
    // its row and column.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::list<std::vector<QXDocxTableCellPtr>>::iterator> starts;
    for (auto it = runs.begin(); it != runs.end(); ++it)
        starts.emplace(std::make_pair(it->front()->rowRange().location, it->front()->columnRange().location), it);
    std::vector<QXDocxTableCellRows> groups;
    while (!runs.empty()) {
        QXDocxTableCellRows stack{runs.front()};
        const QXDocxTableCellPtr& head = stack.front().front();
        starts.erase({head->rowRange().location, head->columnRange().location});
        runs.pop_front();
        std::uint64_t expectedRow = head->rowRange().location + 1;
        const std::uint64_t column = head->columnRange().location;
        for (;;) {
            const auto below = starts.find({expectedRow, column});
            if (below == starts.end() || below->second->size() != stack.front().size())
                break;
            stack.push_back(*below->second);
            if (!ValidateBorderInsideForYGroupCellArray(stack)) {
                stack.pop_back();
                break;
            }
            runs.erase(below->second);
            starts.erase(below);
            ++expectedRow;
        }
        if (stack.size() >= 2 || stack.front().size() >= 2) {
            std::vector<QXDocxTableCellPtr> cells;
            for (const auto& run : stack)
                cells.insert(cells.end(), run.begin(), run.end());
            std::stable_sort(cells.begin(), cells.end(), [](const QXDocxTableCellPtr& a, const QXDocxTableCellPtr& b) {
                if (a->rowRange().location != b->rowRange().location)
                    return a->rowRange().location < b->rowRange().location;
                return a->columnRange().location < b->columnRange().location;
            });
            QXDocxTableCellRows block;
            for (const QXDocxTableCellPtr& cell : cells) {
                if (block.empty() || block.back().front()->rowRange().location != cell->rowRange().location)
                    block.emplace_back();
                block.back().push_back(cell);
            }
            groups.push_back(std::move(block));
        }
    }
    return groups;
}

QXDocx_Borders QXDocxTableCellGroup::BordersWithRowArray(const QXDocxTableCellRows& rows,
                                                         const QXDocx_TblPr& tblProperty)
{
    QXDocx_Borders borders = QXDocxUtilities::defaultCellBorders();
    if (rows.empty() || rows.front().empty() || rows.back().empty())
        return borders;
    const QXDocxTableCellPtr& first = rows.front().front();
    const QXDocxTableCellPtr& last = rows.back().back();
    const auto lastRow = static_cast<std::uint64_t>(std::max(tblProperty.rowCount - 1, 0));
    const auto lastColumn = static_cast<std::uint64_t>(std::max(tblProperty.columnCount - 1, 0));

    // On the table's edge a side takes the first drawn border along it when
    // its own is not drawn; inside, the first undrawn one wins.
    const auto pick = [](QXDocx_Border& side, bool onEdge, const std::vector<QXDocx_Border>& along) {
        for (const QXDocx_Border& border : along) {
            if (onEdge ? (!QXTableBorderIsDrawn(side) && QXTableBorderIsDrawn(border)) : !QXTableBorderIsDrawn(border)) {
                side = border;
                return;
            }
        }
    };
    std::vector<QXDocx_Border> tops, bottoms, lefts, rights;
    for (const QXDocxTableCellPtr& cell : rows.front())
        tops.push_back(cell->tcProperty().tcBorders.top);
    for (const QXDocxTableCellPtr& cell : rows.back())
        bottoms.push_back(cell->tcProperty().tcBorders.bottom);
    for (const std::vector<QXDocxTableCellPtr>& row : rows) {
        lefts.push_back(row.front()->tcProperty().tcBorders.left);
        rights.push_back(row.back()->tcProperty().tcBorders.right);
    }
    borders.top = first->tcProperty().tcBorders.top;
    borders.left = first->tcProperty().tcBorders.left;
    borders.bottom = last->tcProperty().tcBorders.bottom;
    borders.right = last->tcProperty().tcBorders.right;
    pick(borders.top, first->rowRange().location == 0, tops);
    pick(borders.left, first->columnRange().location == 0, lefts);
    pick(borders.bottom, last->rowRange().location == lastRow, bottoms);
    pick(borders.right, last->columnRange().location == lastColumn, rights);
    return borders;
}

} // namespace rz
