#include "xlsx/sheet/QXExcelCellStyles.h"

#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelPage.h"

namespace rz::QXExcelCellStyles {

void applyCellStyles(const std::vector<std::shared_ptr<QXExcelCell>>& cells,
                     const std::vector<std::shared_ptr<QXExcelColumn>>& columns)
{
    QXExcelStyle& style = QXExcelManager::sharedInstance().excelStyle();
    for (const auto& cell : cells) {
        if (!cell || !cell->stringItem())
            continue;
        const QXExcelStringItem& item = *cell->stringItem();
        if (cell->isText()) {
            cell->setStyleIndex(style.getStyleIndex(item, QXExcelPage::getCellFrame(*cell, columns)));
            continue;
        }
        if (!cell->number() || item.runArray().empty() || !item.runArray().front())
            continue;
        const int32_t fill = style.getFillIdWithCellFrame(item.itemInfo().textBoxRect());
        cell->setStyleIndex(style.styleIndexFrom(*item.runArray().front(), *cell->number(), fill));
    }
}

void applyCellStyles(QXExcelPage& page)
{
    std::vector<std::shared_ptr<QXExcelCell>> cells;
    for (const auto& row : page.sheetRows())
        cells.insert(cells.end(), row->cells().begin(), row->cells().end());
    applyCellStyles(cells, page.columns());
}

} // namespace rz::QXExcelCellStyles
