// All pages in one sheet: each page's rows, columns and merged ranges,
// once its sheet is built, are taken over and renumbered in place, either
// below the pages before it (rows shifted) or beside them (columns
// shifted), and written as "xl/worksheets/sheet1.xml" at the end of the
// document.
//
// Pages below one another never change the rows collected before them:
// their rows are written out as they come (to a file beside the package
// parts) and only the columns and merges are kept, so memory does not grow
// with the page count. Pages beside one another join rows, which are kept.
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
class XMLFileWriter;

class QXExcelAIOSWriter {
public:
    // For a folder named "*.xlsx" creates its "xl/worksheets" folder; the
    // sheet goes to "<folder>/xl/worksheets/sheet1.xml".
    explicit QXExcelAIOSWriter(const std::string& rootFolder);
    ~QXExcelAIOSWriter();
    QXExcelAIOSWriter(const QXExcelAIOSWriter&) = delete;
    QXExcelAIOSWriter& operator=(const QXExcelAIOSWriter&) = delete;

    // The page below the rows collected: its rows (and merges) move down by
    // the highest row index collected; its columns widen the collected
    // columns of the same index or are taken in.
    void collectPageXMLToRow(QXExcelPage& page);
    // The page to the right of the columns collected: its columns (and
    // merges) move right by the highest column index collected; its rows
    // join the collected rows of the same index (height the greater, cells
    // appended) or are taken in.
    void collectPageXMLToColumn(QXExcelPage& page);
    // Writes the collected sheet (an empty one when no page was collected)
    // under a temporary name renamed into place; false when the part could
    // not be written.
    bool writeSheetXML();

    const std::string& sheetXMLPath() const { return sheetXMLPath_; }
    const std::vector<std::shared_ptr<QXExcelColumn>>& columns() const { return columns_; }
    // The rows kept (pages beside one another; rows of pages below one
    // another are written out at once).
    const std::vector<std::shared_ptr<QXExcelRow>>& sheetRows() const { return sheetRows_; }
    const std::vector<QXMergedCell>& mergeCells() const { return mergeCells_; }
    // The highest row and column index collected so far, merges included.
    size_t highestRow() const { return highestRow_; }
    size_t highestColumn() const { return highestColumn_; }

private:
    void writeSheet(XMLFileWriter& writer);
    void noteMerge(const QXMergedCell& merge);

    std::string rootFolder_;
    std::string sheetXMLPath_;
    // The rows written out so far, in sheetData form.
    std::string streamedRowsPath_;
    std::unique_ptr<XMLFileWriter> streamedRows_;
    size_t highestRow_ = 0;
    size_t highestColumn_ = 0;
    std::vector<std::shared_ptr<QXExcelColumn>> columns_;
    std::vector<std::shared_ptr<QXExcelRow>> sheetRows_;
    std::vector<QXMergedCell> mergeCells_;
};

} // namespace rz
