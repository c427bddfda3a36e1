// A vertical band of runs while a page is typeset. Its children are the
// row bands it splits into; a band without children is a leaf.
#pragma once

#include "xlsx/sheet/QXExcelSortUtilities.h"

#include <memory>
#include <vector>

namespace rz {

class QXExcelTempRow;

class QXExcelTempColumn {
public:
    QXExcelTempColumn() = default;
    explicit QXExcelTempColumn(QXExcelRunTexts runs) : runTexts_(std::move(runs)) {}

    QXExcelRunTexts& runTexts() { return runTexts_; }
    const QXExcelRunTexts& runTexts() const { return runTexts_; }
    std::vector<std::shared_ptr<QXExcelTempRow>>& tempRows() { return tempRows_; }
    const std::vector<std::shared_ptr<QXExcelTempRow>>& tempRows() const { return tempRows_; }
    bool isLeaf() const { return tempRows_.empty(); }

    void sortRunTextsByX();
    void sortRunTextsByY();
    // Stacked runs of one column that nearly touch become one run.
    void mergeRunTextsStringByY();
    // The row bands of the runs (in their current order) as children.
    void creatTempRowsByY();

    // The row-first tree below a column of a top-level row: merge down,
    // split into rows, each split into leaf columns (creatCell).
    void creatTempRow1();
    // The column-first tree below a top-level column: split into rows, each
    // split into columns of leaf rows (creatTempCell2).
    void creatTempRow2();
    // Split into leaf rows.
    void creatRow();

    // The runs of the leaves below, in child order (a leaf's own runs).
    QXExcelRunTexts collectAllRunTexts() const;

private:
    QXExcelRunTexts runTexts_;
    std::vector<std::shared_ptr<QXExcelTempRow>> tempRows_;
};

} // namespace rz
