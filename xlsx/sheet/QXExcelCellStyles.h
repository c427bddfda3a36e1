// The style indices of a built sheet's cells: text cells take the cell
// format of their item and cell extent, numeric cells that of their number,
// font and fill (QXExcelStyle of the shared manager).
#pragma once

#include "xlsx/sheet/QXExcelCell.h"

#include <memory>
#include <vector>

namespace rz {

class QXExcelPage;

namespace QXExcelCellStyles {

// Gives each cell its style index; `columns` are the sheet's columns (for
// the extent of text cells). Applying twice gives the same indices.
void applyCellStyles(const std::vector<std::shared_ptr<QXExcelCell>>& cells,
                     const std::vector<std::shared_ptr<QXExcelColumn>>& columns);
// The same for every cell of the page's rows.
void applyCellStyles(QXExcelPage& page);

} // namespace QXExcelCellStyles
} // namespace rz
