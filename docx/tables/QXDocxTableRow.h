// One table row: its corners, its cells left to right, and its row
// properties ("trPr": height and rule).
#pragma once

#include "docx/tables/QXDocxTableCell.h"

namespace rz {

class QXDocxTableRow;
using QXDocxTableRowPtr = std::shared_ptr<QXDocxTableRow>;

class QXDocxTableRow : public QXDocxTableRect {
public:
    QXDocxTableRow(const QXDocxTableCorner& topLeft, const QXDocxTableCorner& topRight,
                   const QXDocxTableCorner& bottomLeft, const QXDocxTableCorner& bottomRight);

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    QXDocxTable* superTable() const { return superTable_; }
    void setSuperTable(QXDocxTable* table) { superTable_ = table; }
    const QXDocx_TrPr& trProperty() const { return trProperty_; }
    void setTrProperty(const QXDocx_TrPr& value) { trProperty_ = value; }
    std::vector<QXDocxTableCellPtr>& tableCellArray() { return tableCellArray_; }
    const std::vector<QXDocxTableCellPtr>& tableCellArray() const { return tableCellArray_; }
    std::int64_t rowIndex() const { return rowIndex_; }
    void setRowIndex(std::int64_t value) { rowIndex_ = value; }

    // Union of the cells' text bounds; zero without texts.
    Rect allRunTextBounds() const;
    // The first sample paragraph of the cells, cached.
    QXDocxParagraphPtr defaultParagraph();
    // The nearest cell (before `cell` first, nearest first, then after it)
    // whose display cell has laid-out text, as that display cell.
    QXDocxTableCell* sampleDisplayTableCell(const QXDocxTableCell* cell);

    // Borders from the cells, height and height rule.
    void createXMLProperty() override;
    // One "tr" with its cells; nothing for a row without cells.
    void writeWithXMLWriter(XMLFileWriter& writer) override;

private:
    QXDocxTable* superTable_ = nullptr;
    QXDocx_TrPr trProperty_;
    std::vector<QXDocxTableCellPtr> tableCellArray_;
    std::int64_t rowIndex_ = 0;
    QXDocxParagraphPtr defaultParagraph_;
};

} // namespace rz
