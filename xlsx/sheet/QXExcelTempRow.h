// A horizontal band of runs while a page is typeset. Its children are the
// column bands it splits into; a band without children is a leaf.
#pragma once

#include "xlsx/sheet/QXExcelSortUtilities.h"

#include <memory>
#include <vector>

namespace rz {

class QXExcelTempColumn;

class QXExcelTempRow {
public:
    QXExcelTempRow() = default;
    explicit QXExcelTempRow(QXExcelRunTexts runs) : runTexts_(std::move(runs)) {}

    QXExcelRunTexts& runTexts() { return runTexts_; }
    const QXExcelRunTexts& runTexts() const { return runTexts_; }
    std::vector<std::shared_ptr<QXExcelTempColumn>>& tempCells() { return tempCells_; }
    const std::vector<std::shared_ptr<QXExcelTempColumn>>& tempCells() const { return tempCells_; }
    bool isLeaf() const { return tempCells_.empty(); }

    void sortRunTextsByX();
    void sortRunTextsByY();
    // Runs on one baseline that touch or nearly touch become one run.
    void mergeRunTextsStringByX();
    // The column bands of the runs (in their current order) as children.
    void creatTempColumnsByX();

    // The row-first tree below a top-level row: merge across, split into
    // columns, each column merged down and split into rows (creatCell).
    void creatTempCell1();
    // The column-first tree below a row of a top-level column: split into
    // columns, each split into leaf rows (creatRow).
    void creatTempCell2();
    // Split into leaf columns.
    void creatCell();

    // The runs of the leaves below, in child order (a leaf's own runs).
    QXExcelRunTexts collectAllRunTexts() const;

private:
    QXExcelRunTexts runTexts_;
    std::vector<std::shared_ptr<QXExcelTempColumn>> tempCells_;
};

// Splits sorted runs into bands by the given sweep, in order.
template <typename Band, typename Sweep>
std::vector<std::shared_ptr<Band>> QXExcelMakeBands(const QXExcelRunTexts& runs, Sweep sweep)
{
    std::vector<std::shared_ptr<Band>> bands;
    QXExcelRunTexts rest = runs;
    while (!rest.empty()) {
        QXExcelRunTexts band = sweep(rest);
        rest = QXExcelSortUtilities::RemoveRunTexts(rest, band);
        bands.push_back(std::make_shared<Band>(std::move(band)));
    }
    return bands;
}

} // namespace rz
