// A merged block of cells: a rectangle of neighbouring cells whose inner
// borders are not drawn and whose shading agrees, written as one cell that
// spans columns ("gridSpan") and rows ("vMerge" restart, then continuation
// cells in the later rows).
#pragma once

#include "docx/tables/QXDocxTableCell.h"

namespace rz {

class QXDocxTableCellGroup;
using QXDocxTableCellGroupPtr = std::shared_ptr<QXDocxTableCellGroup>;
using QXDocxTableCellRows = std::vector<std::vector<QXDocxTableCellPtr>>;

class QXDocxTableCellGroup : public QXDocxTableCell {
public:
    // The group of one found block (rows of cells, each ordered by
    // column), belonging to `table`: corners, outer borders, ranges, spans
    // and merges; each member points to the group. The group holds the
    // texts and nested tables of all its members.
    QXDocxTableCellGroup(const QXDocxTableCellRows& rows, QXDocxTable* table);

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    const QXDocxTableCellRows& tableRowArray() const { return tableRowArray_; }

    // Set when the group is made.
    void createXMLProperty() override {}
    void optimizeXMLProperty() override {}

    // The continuation cell of the vertical merge in a later row.
    void writeRowMergeEndWithXMLWriter(XMLFileWriter& writer);

    // Blocks of two or more cells that may merge, each as rows of cells;
    // empty when there is none.
    static std::vector<QXDocxTableCellRows> FindAllRowGroupCells(const QXDocxTableCellRows& rows);
    // Side-by-side cells with no drawn border between them and equal
    // shading at the ends.
    static bool ValidateBorderInsideForXGroupCellArray(const std::vector<QXDocxTableCellPtr>& cells);
    // Stacked rows with no drawn border between them and equal shading at
    // the corners.
    static bool ValidateBorderInsideForYGroupCellArray(const QXDocxTableCellRows& rows);
    // The outer borders of a block, from defaultCellBorders.
    static QXDocx_Borders BordersWithRowArray(const QXDocxTableCellRows& rows, const QXDocx_TblPr& tblProperty);

private:
    QXDocxTableCellRows tableRowArray_;
};

} // namespace rz
