// A horizontal band of runs while a page is typeset. Its children are the
// column bands it splits into; a band without children is a leaf.
#pragma once

#include "xlsx/sheet/QXExcelSortUtilities.h"

#include <algorithm>
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

// Splits runs into bands by the given sweep, in order: the band of the first
// run left, taken out, until no run is left. On a list sorted by the sweep's
// near edge every band is a run of neighbours in the list (once a run starts
// at or past the band's far edge so do all after it), which `contiguous`
// tells apart in one pass; the bands are the same either way.
template <typename Band, typename Sweep, typename Near, typename Far>
std::vector<std::shared_ptr<Band>> QXExcelMakeBands(const QXExcelRunTexts& runs, Sweep sweep, Near nearEdge,
                                                    Far farEdge)
{
    std::vector<std::shared_ptr<Band>> bands;
    const bool sorted = std::is_sorted(runs.begin(), runs.end(),
                                       [&](const auto& a, const auto& b) { return nearEdge(*a) < nearEdge(*b); });
    if (sorted) {
        size_t i = 0;
        while (i < runs.size()) {
            QXExcelRunTexts band{runs[i]};
            double far = farEdge(*runs[i]);
            for (++i; i < runs.size() && nearEdge(*runs[i]) < far; ++i) {
                band.push_back(runs[i]);
                far = std::max(far, farEdge(*runs[i]));
            }
            bands.push_back(std::make_shared<Band>(std::move(band)));
        }
        return bands;
    }
    QXExcelRunTexts rest = runs;
    while (!rest.empty()) {
        QXExcelRunTexts band = sweep(rest);
        rest = QXExcelSortUtilities::RemoveRunTexts(rest, band);
        bands.push_back(std::make_shared<Band>(std::move(band)));
    }
    return bands;
}

// Row bands (by yTop, reaching to the lowest baseline) and column bands (by
// xLeft, reaching to the furthest right edge).
template <typename Band>
std::vector<std::shared_ptr<Band>> QXExcelMakeRowBands(const QXExcelRunTexts& runs)
{
    return QXExcelMakeBands<Band>(
        runs, QXExcelSortUtilities::FindRunTextsCrossedInHeight,
        [](const QXExcelRunText& r) { return r.ctmInfo().yTop; },
        [](const QXExcelRunText& r) { return r.ctmInfo().yBase; });
}

template <typename Band>
std::vector<std::shared_ptr<Band>> QXExcelMakeColumnBands(const QXExcelRunTexts& runs)
{
    return QXExcelMakeBands<Band>(
        runs, QXExcelSortUtilities::FindRunTextsCrossedInWidth,
        [](const QXExcelRunText& r) { return r.ctmInfo().xLeft; },
        [](const QXExcelRunText& r) { return r.ctmInfo().xRight; });
}

} // namespace rz
