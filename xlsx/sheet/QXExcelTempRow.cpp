#include "xlsx/sheet/QXExcelTempRow.h"

#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelTempColumn.h"

namespace rz {

void QXExcelTempRow::sortRunTextsByX()
{
    runTexts_ = QXExcelSortUtilities::SortRunTextsByX(runTexts_);
}

void QXExcelTempRow::sortRunTextsByY()
{
    runTexts_ = QXExcelSortUtilities::SortRunTextsByY(runTexts_);
}

void QXExcelTempRow::mergeRunTextsStringByX()
{
    const int32_t option = QXExcelManager::sharedInstance().OverlapTextOption();
    QXExcelRunTexts kept;
    for (const QXExcelRunTexts& group : QXExcelSortUtilities::GroupRunTextsMergedInWidth(runTexts_, option))
        kept.push_back(group.size() >= 2 ? QXExcelSortUtilities::MergeRunTextsInWidth(group) : group.front());
    runTexts_ = std::move(kept);
}

void QXExcelTempRow::creatTempColumnsByX()
{
    tempCells_ = QXExcelMakeColumnBands<QXExcelTempColumn>(runTexts_);
}

void QXExcelTempRow::creatTempCell1()
{
    sortRunTextsByX();
    mergeRunTextsStringByX();
    creatTempColumnsByX();
    for (const auto& column : tempCells_)
        column->creatTempRow1();
}

void QXExcelTempRow::creatTempCell2()
{
    sortRunTextsByX();
    creatTempColumnsByX();
    for (const auto& column : tempCells_)
        column->creatRow();
}

void QXExcelTempRow::creatCell()
{
    sortRunTextsByX();
    creatTempColumnsByX();
}

QXExcelRunTexts QXExcelTempRow::collectAllRunTexts() const
{
    if (isLeaf())
        return runTexts_;
    QXExcelRunTexts runs;
    for (const auto& column : tempCells_) {
        QXExcelRunTexts below = column->collectAllRunTexts();
        runs.insert(runs.end(), below.begin(), below.end());
    }
    return runs;
}

} // namespace rz
