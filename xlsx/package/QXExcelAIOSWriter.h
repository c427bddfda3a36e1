// All pages in one sheet: each page's rows, columns and merged ranges,
// once its sheet is built, are taken over and renumbered in place, either
// below the pages before it (rows shifted) or beside them (columns
// shifted), and written as "xl/worksheets/sheet1.xml" at the end of the
// document.
//
// A page that would take the sheet past the largest sheet a spreadsheet
// application opens (QXExcelUtilities::kMaxRows rows, kMaxColumns columns)
// is refused with QXConversionException before anything of it is taken.
#pragma once

#include "xlsx/sheet/QXExcelCell.h"
#include "xlsx/sheet/QXMergedCell.h"

#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXExcelPage;

class QXExcelAIOSWriter {
public:
    // For a folder named "*.xlsx" creates its "xl/worksheets" folder; the
    // sheet goes to "<folder>/xl/worksheets/sheet1.xml".
    explicit QXExcelAIOSWriter(const std::string& rootFolder);

    // The page below the rows collected: its rows (and merges) move down by
    // the highest row index collected; its columns widen the collected
    // columns of the same index or are taken in.
    void collectPageXMLToRow(QXExcelPage& page);
    // The page to the right of the columns collected: its columns (and
    // merges) move right by the highest column index collected; its rows
    // join the collected rows of the same index (height the greater, cells
    // appended) or are taken in.
    void collectPageXMLToColumn(QXExcelPage& page);
    // Writes the collected sheet (an empty one when no page was collected);
    // false when the part could not be written.
    bool writeSheetXML() const;

    const std::string& sheetXMLPath() const { return sheetXMLPath_; }
    const std::vector<std::shared_ptr<QXExcelColumn>>& columns() const { return columns_; }
    const std::vector<std::shared_ptr<QXExcelRow>>& sheetRows() const { return sheetRows_; }
    const std::vector<QXMergedCell>& mergeCells() const { return mergeCells_; }

private:
    std::string rootFolder_;
    std::string sheetXMLPath_;
    std::vector<std::shared_ptr<QXExcelColumn>> columns_;
    std::vector<std::shared_ptr<QXExcelRow>> sheetRows_;
    std::vector<QXMergedCell> mergeCells_;
};

} // namespace rz
