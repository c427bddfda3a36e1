#include "xlsx/sheet/QXExcelTempColumn.h"

#include "xlsx/sheet/QXExcelTempRow.h"

namespace rz {

void QXExcelTempColumn::sortRunTextsByX()
{
    runTexts_ = QXExcelSortUtilities::SortRunTextsByX(runTexts_);
}

void QXExcelTempColumn::sortRunTextsByY()
{
    runTexts_ = QXExcelSortUtilities::SortRunTextsByY(runTexts_);
}

void QXExcelTempColumn::mergeRunTextsStringByY()
{
    QXExcelRunTexts kept;
    for (const QXExcelRunTexts& group : QXExcelSortUtilities::GroupRunTextsMergedInHeight(runTexts_))
        kept.push_back(group.size() >= 2 ? QXExcelSortUtilities::MergeRunTextsInHeight(group) : group.front());
    runTexts_ = std::move(kept);
}

void QXExcelTempColumn::creatTempRowsByY()
{
    tempRows_ = QXExcelMakeRowBands<QXExcelTempRow>(runTexts_);
}

void QXExcelTempColumn::creatTempRow1()
{
    sortRunTextsByY();
    mergeRunTextsStringByY();
    creatTempRowsByY();
    for (const auto& row : tempRows_)
        row->creatCell();
}

void QXExcelTempColumn::creatTempRow2()
{
    sortRunTextsByY();
    creatTempRowsByY();
    for (const auto& row : tempRows_)
        row->creatTempCell2();
}

void QXExcelTempColumn::creatRow()
{
    sortRunTextsByY();
    creatTempRowsByY();
}

QXExcelRunTexts QXExcelTempColumn::collectAllRunTexts() const
{
    if (isLeaf())
        return runTexts_;
    QXExcelRunTexts runs;
    for (const auto& row : tempRows_) {
        QXExcelRunTexts below = row->collectAllRunTexts();
        runs.insert(runs.end(), below.begin(), below.end());
    }
    return runs;
}

} // namespace rz
