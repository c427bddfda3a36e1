// One page of a spreadsheet conversion as a worksheet: its rows, columns,
// merged ranges and the items of its text cells, and the worksheet part it
// writes.
#pragma once

#include "xlsx/sheet/QXExcelCell.h"
#include "xlsx/sheet/QXExcelRunText.h"
#include "xlsx/sheet/QXMergedCell.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace rz {

class QXExcelTempRow;
class QXExcelTempColumn;

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

    // The page's text runs: as the exporter collects them, and after
    // typesetRunTexts() the merged runs with their grid positions.
    std::vector<std::shared_ptr<QXExcelRunText>>& allRunTextArray() { return allRunTextArray_; }
    const std::vector<std::shared_ptr<QXExcelRunText>>& allRunTextArray() const { return allRunTextArray_; }
    // Set from creation: the exporter collects characters only while it is.
    bool isCollectingRunText() const { return isCollectingRunText_; }
    void setIsCollectingRunText(bool v) { isCollectingRunText_ = v; }
    // The two band trees of the last typesetting (top level).
    const std::vector<std::shared_ptr<QXExcelTempRow>>& allTempRowArray() const { return allTempRowArray_; }
    const std::vector<std::shared_ptr<QXExcelTempColumn>>& allTempColumnArray() const { return allTempColumnArray_; }

    // Places the page's runs on the sheet grid: runs that belong together
    // are merged, each run gets a 1-based row and column and the number of
    // further empty rows and columns it spans. allRunTextArray() is left
    // ordered by xLeft (ties by yTop).
    void typesetRunTexts();

    // Steps of typesetRunTexts(), each on the page's runs and trees as they
    // stand. Stable sorts of the runs by xLeft / yTop (sorting by X then
    // by Y orders by yTop, ties by xLeft).
    void sortAllRunTextsByX();
    void sortAllRunTextsByY();
    // The top level of the row-first / column-first tree from the runs in
    // their current order.
    void creatTempRowsByY();
    void creatTempColumnsByX();
    // The runs of the leaves of a tree, in tree order.
    static std::vector<std::shared_ptr<QXExcelRunText>> collectAllRunTextsInArray(
        const std::vector<std::shared_ptr<QXExcelTempRow>>& rows);
    // Whether some run's baseline lies more than a point from the first's.
    static bool isRowsInRunTexts(const std::vector<std::shared_ptr<QXExcelRunText>>& runs);
    // The runs in groups of equal row (ordered by yTop, ties by xLeft) /
    // equal column (ordered by xLeft, ties by yTop), in order of first
    // appearance; and each group's least yTop / xLeft in single precision.
    std::vector<std::vector<std::shared_ptr<QXExcelRunText>>> creatRowArray() const;
    std::vector<std::vector<std::shared_ptr<QXExcelRunText>>> creatColumnArray() const;
    static std::vector<float> creatRowMinYTopArrayInRowArray(
        const std::vector<std::vector<std::shared_ptr<QXExcelRunText>>>& rows);
    static std::vector<float> creatColumnMinXLeftArrayInColumnArray(
        const std::vector<std::vector<std::shared_ptr<QXExcelRunText>>>& columns);
    // The first run of the page at that grid position, or none.
    std::shared_ptr<QXExcelRunText> runTextAtRow(size_t row, size_t column) const;
    // Row numbers over the row-first tree, column numbers over the
    // column-first tree (both from 1).
    void caculateRowNumber();
    void caculateColumnNumber();
    // A run of a column group (groups of equal column, ordered by their
    // first run from the left) that starts furthest right, right of the
    // group's narrowest right edge, and whose centre passes the next group's
    // left edge moves one column right, unless its row already has a run
    // in that column; passes repeat while runs move, up to pass 20.
    void correctColumnNumber(int pass);
    // Moves the run one column right, with the runs it would land on in its
    // row when their centres lie in the column after theirs; answers NO and
    // moves nothing when one of them does not, or when one of them or the
    // run has moved in this pass already.
    bool moveRunRight(const std::shared_ptr<QXExcelRunText>& run,
                      std::map<std::pair<size_t, size_t>, std::vector<std::shared_ptr<QXExcelRunText>>>& occupied,
                      const std::map<size_t, double>& columnLeft, std::set<const QXExcelRunText*>& movedInPass);
    // Each run's span over the following rows and columns its box reaches
    // into, up to the first occupied cell.
    void caculateRunTextMergeLength();

    // One item per occupied grid position, holding the runs placed there in
    // list order; items whose runs are all blank are dropped.
    static std::vector<std::shared_ptr<QXExcelStringItem>> getStringItemsFromRuns(
        const std::vector<std::shared_ptr<QXExcelRunText>>& runs);

    // The horizontal extent of a cell: x the left edge of its item's
    // column, width that column's width or, for an item spanning n further
    // columns, the summed widths of n columns from its own; y and height 0.
    // (0, 0, 0, 0) when the column is not in the list.
    static Rect getCellFrame(const QXExcelCell& cell, const std::vector<std::shared_ptr<QXExcelColumn>>& columns);

    // Builds the worksheet of the page from its runs: typesets them, makes
    // one cell per item (numbers recognised when the manager asks), merged
    // ranges, rows and columns. Replaces sheetRows(), columns() and
    // mergeCells(); text cells' items join stringItems().
    void creatSheet();

    // The page's text as CSV: one line per grid row up to the last row
    // holding text (empty rows give empty lines), fields separated by TAB,
    // one TAB per column step. A field holding TAB, CR, LF, ";", "," or a
    // double quote is quoted, its double quotes doubled. "" for a page
    // without text.
    std::string creatCSV();
    // One CSV field: the text as it is, or between double quotes with its
    // double quotes doubled when it holds TAB, CR, LF, ";", "," or '"'.
    static std::string csvField(const std::string& content);

    // The cell of an item whose runs have the texts `runTexts`. When the
    // manager asks for numbers and the item has exactly one run whose text
    // is a number, a numeric cell ("n") holding the number's value, its
    // custom format code (if any) registered with the document's style
    // registry. Otherwise a text cell: the item joins stringItems() and the
    // cell takes the document's next shared-string index.
    std::shared_ptr<QXExcelCell> createCellWithStringItem(const std::shared_ptr<QXExcelStringItem>& item,
                                                          const std::vector<std::string>& runTexts);
    // The same with the texts of the item's own runs.
    std::shared_ptr<QXExcelCell> createCellWithStringItem(const std::shared_ptr<QXExcelStringItem>& item);

    // Lays the page's cells out, their items placed on the grid and
    // measured: merged ranges for items that span (when `merging`; a range
    // that would overlap another or hide a text is left out, and its item
    // then counts as not spanning), rows with their heights and columns
    // with their widths, each holding its cells in the given order. Without
    // merging, rows and columns are renumbered 1, 2, 3... so the sheet has
    // no empty ones. Replaces sheetRows(), columns() and mergeCells().
    void layOutCells(const std::vector<std::shared_ptr<QXExcelCell>>& cells, bool merging);

    // Keeps the laid-out sheet within the rows and columns a spreadsheet
    // application opens: cells past the last row or column are left out
    // (with their rows and columns), and merged ranges end at the sheet's
    // edge (a range left with one cell goes). Answers how many cells were
    // left out.
    size_t limitToSheetSize();

    // Writes the worksheet part at sheetXMLPath(): first under a temporary
    // name beside it, renamed into place once complete, so a failed write
    // leaves no part behind. Only the first sheet is the selected tab.
    // Answers whether the part is in place.
    bool writeSheetXML() const;
    // Opens the worksheet element and writes what precedes its rows: the
    // sheet view (selected when `tabSelected`), the default sizes and the
    // columns.
    static void WriteWorksheetStart(XMLFileWriter& writer, bool tabSelected,
                                    const std::vector<std::shared_ptr<QXExcelColumn>>& columns);

private:
    void writeSheet(XMLFileWriter& writer) const;
    // Gives the cells their style indices (text cells from their item and
    // cell frame, numeric cells from their number). The style sheet fills
    // this in; until then cells keep style -1 (no style written).
    void applyCellStyles(const std::vector<std::shared_ptr<QXExcelCell>>& cells);

    std::string sheetXMLPath_;
    size_t pageNumber_ = 1;
    std::vector<std::shared_ptr<QXExcelStringItem>> stringItems_;
    std::vector<std::shared_ptr<QXExcelRow>> sheetRows_;
    std::vector<std::shared_ptr<QXExcelColumn>> columns_;
    std::vector<QXMergedCell> mergeCells_;
    QXExcelPageMargin pageMargin_;
    bool isCollectingRunText_ = true;
    std::vector<std::shared_ptr<QXExcelRunText>> allRunTextArray_;
    std::vector<std::shared_ptr<QXExcelTempRow>> allTempRowArray_;
    std::vector<std::shared_ptr<QXExcelTempColumn>> allTempColumnArray_;
};

} // namespace rz
