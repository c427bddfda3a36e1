// One page of a spreadsheet conversion as a worksheet: its rows, columns,
// merged ranges and the items of its text cells, and the worksheet part it
// writes.
#pragma once

#include "xlsx/sheet/QXExcelCell.h"
#include "xlsx/sheet/QXMergedCell.h"

#include <memory>
#include <string>
#include <vector>

namespace rz {

struct QXExcelPageMargin {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    double header = 0;
    double footer = 0;
};

class QXExcelPage {
public:
    QXExcelPage() = default;
    // The worksheet of page `pageNumber` (1-based) of the package folder:
    // "<folder>/xl/worksheets/sheet<pageNumber>.xml".
    QXExcelPage(const std::string& packageFolder, size_t pageNumber);

    const std::string& sheetXMLPath() const { return sheetXMLPath_; }
    void setSheetXMLPath(std::string path) { sheetXMLPath_ = std::move(path); }
    size_t pageNumber() const { return pageNumber_; }
    void setPageNumber(size_t n) { pageNumber_ = n; }
    std::vector<std::shared_ptr<QXExcelStringItem>>& stringItems() { return stringItems_; }
    std::vector<std::shared_ptr<QXExcelRow>>& sheetRows() { return sheetRows_; }
    const std::vector<std::shared_ptr<QXExcelRow>>& sheetRows() const { return sheetRows_; }
    std::vector<std::shared_ptr<QXExcelColumn>>& columns() { return columns_; }
    const std::vector<std::shared_ptr<QXExcelColumn>>& columns() const { return columns_; }
    std::vector<QXMergedCell>& mergeCells() { return mergeCells_; }
    const std::vector<QXMergedCell>& mergeCells() const { return mergeCells_; }
    const QXExcelPageMargin& pageMargin() const { return pageMargin_; }
    void setPageMargin(const QXExcelPageMargin& margin) { pageMargin_ = margin; }

    // The cell of an item whose runs have the texts `runTexts`. When the
    // manager asks for numbers and the item has exactly one run whose text
    // is a number, a numeric cell ("n") holding the number's value, its
    // custom format code (if any) registered with the document's style
    // registry. Otherwise a text cell: the item joins stringItems() and the
    // cell takes the document's next shared-string index.
    std::shared_ptr<QXExcelCell> createCellWithStringItem(const std::shared_ptr<QXExcelStringItem>& item,
                                                          const std::vector<std::string>& runTexts);

    // Lays the page's cells out, their items placed on the grid and
    // measured: merged ranges for items that span (when `merging`; a range
    // that would overlap another or hide a text is left out, and its item
    // then counts as not spanning), rows with their heights and columns
    // with their widths, each holding its cells in the given order. Without
    // merging, rows and columns are renumbered 1, 2, 3... so the sheet has
    // no empty ones. Replaces sheetRows(), columns() and mergeCells().
    void layOutCells(const std::vector<std::shared_ptr<QXExcelCell>>& cells, bool merging);

    // Writes the worksheet part at sheetXMLPath(): first under a temporary
    // name beside it, renamed into place once complete, so a failed write
    // leaves no part behind. Only the first sheet is the selected tab.
    // Answers whether the part is in place.
    bool writeSheetXML() const;

private:
    void writeSheet(XMLFileWriter& writer) const;

    std::string sheetXMLPath_;
    size_t pageNumber_ = 1;
    std::vector<std::shared_ptr<QXExcelStringItem>> stringItems_;
    std::vector<std::shared_ptr<QXExcelRow>> sheetRows_;
    std::vector<std::shared_ptr<QXExcelColumn>> columns_;
    std::vector<QXMergedCell> mergeCells_;
    QXExcelPageMargin pageMargin_;
};

} // namespace rz
