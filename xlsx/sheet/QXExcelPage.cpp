#include "xlsx/sheet/QXExcelPage.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "xlsx/sheet/QXExcelCellStyles.h"
#include "xlsx/sheet/QXExcelGridLimits.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelSortUtilities.h"
#include "xlsx/sheet/QXExcelTempColumn.h"
#include "xlsx/sheet/QXExcelTempRow.h"
#include "xlsx/sheet/QXExcelUtilities.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>
#include <limits>
#include <map>
#include <filesystem>
#include <system_error>

namespace rz {

QXExcelPage::QXExcelPage(const std::string& packageFolder, size_t pageNumber)
    : sheetXMLPath_(packageFolder + "/xl/worksheets/sheet" + formatUnsigned(pageNumber) + ".xml"),
      pageNumber_(pageNumber)
{
}

namespace {

// Runs whose geometry is not finite cannot be placed (nor ordered).
bool hasFiniteGeometry(const QXExcelRunText& run)
{
    const QXPDF_CTMInfo& info = run.ctmInfo();
    return std::isfinite(info.xLeft) && std::isfinite(info.xRight) && std::isfinite(info.yTop) &&
           std::isfinite(info.yBase) && std::isfinite(info.yBottom) && std::isfinite(run.textWidth());
}

// Row numbers over the row-first tree. A leaf's runs share the start row,
// or, when their baselines differ by more than the tolerance, take one row
// each counted from its last run up; `max` ends one past the last row used.
void numberLeafRows(const QXExcelRunTexts& runs, size_t& max, size_t start)
{
    if (runs.empty())
        return;
    const bool severalRows = QXExcelPage::isRowsInRunTexts(runs);
    size_t current = start;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        (*it)->setRowIndex(current);
        max = std::max(max, current + 1);
        if (severalRows)
            ++current;
    }
}

void numberColumnsSideBySide(const std::vector<std::shared_ptr<QXExcelTempColumn>>& columns, size_t& max,
                             size_t start);

// Rows one below the other: each starts where the rows above ended.
void numberRowsStacked(const std::vector<std::shared_ptr<QXExcelTempRow>>& rows, size_t& max, size_t start)
{
    size_t current = start;
    for (const auto& row : rows) {
        if (row->isLeaf())
            numberLeafRows(row->runTexts(), max, current);
        else
            numberColumnsSideBySide(row->tempCells(), max, current);
        current = max;
    }
}

// Columns side by side: each starts at the same row; the rows used are
// those of the tallest.
void numberColumnsSideBySide(const std::vector<std::shared_ptr<QXExcelTempColumn>>& columns, size_t& max,
                             size_t start)
{
    size_t largest = max;
    for (const auto& column : columns) {
        size_t own = max;
        if (column->isLeaf())
            numberLeafRows(column->runTexts(), own, start);
        else
            numberRowsStacked(column->tempRows(), own, start);
        largest = std::max(largest, own);
    }
    max = largest;
}

// Column numbers over the column-first tree: the runs of a leaf take
// consecutive columns in their order.
void numberLeafColumns(const QXExcelRunTexts& runs, size_t& max, size_t start)
{
    size_t current = start;
    for (const auto& run : runs) {
        run->setColumnIndex(current);
        ++current;
        max = std::max(max, current);
    }
}

void numberRowsOneAboveOther(const std::vector<std::shared_ptr<QXExcelTempRow>>& rows, size_t& max, size_t start);

// Columns side by side: each starts where the columns before it ended.
void numberColumnsInOrder(const std::vector<std::shared_ptr<QXExcelTempColumn>>& columns, size_t& max,
                          size_t start)
{
    size_t current = start;
    for (const auto& column : columns) {
        if (column->isLeaf())
            numberLeafColumns(column->runTexts(), max, current);
        else
            numberRowsOneAboveOther(column->tempRows(), max, current);
        current = max;
    }
}

// Rows one above the other: each starts at the same column; the columns
// used are those of the widest.
void numberRowsOneAboveOther(const std::vector<std::shared_ptr<QXExcelTempRow>>& rows, size_t& max, size_t start)
{
    size_t largest = max;
    for (const auto& row : rows) {
        size_t own = max;
        if (row->isLeaf())
            numberLeafColumns(row->runTexts(), own, start);
        else
            numberColumnsInOrder(row->tempCells(), own, start);
        largest = std::max(largest, own);
    }
    max = largest;
}

// The least of `value` over each group, in single precision.
template <typename Value>
std::vector<float> groupMinima(const std::vector<QXExcelRunTexts>& groups, Value value)
{
    std::vector<float> minima;
    minima.reserve(groups.size());
    for (const auto& group : groups) {
        double least = value(*group.front());
        for (const auto& run : group)
            least = std::min(least, value(*run));
        minima.push_back(static_cast<float>(least));
    }
    return minima;
}

// Runs ordered by yTop, ties by xLeft (sorted by X, then by Y).
QXExcelRunTexts sortedByXThenY(const QXExcelRunTexts& runs)
{
    return QXExcelSortUtilities::SortRunTextsByY(QXExcelSortUtilities::SortRunTextsByX(runs));
}

// Runs ordered by xLeft, ties by yTop (sorted by Y, then by X).
QXExcelRunTexts sortedByYThenX(const QXExcelRunTexts& runs)
{
    return QXExcelSortUtilities::SortRunTextsByX(QXExcelSortUtilities::SortRunTextsByY(runs));
}

} // namespace

void QXExcelPage::typesetRunTexts()
{
    QXExcelRunTexts runs;
    runs.reserve(allRunTextArray_.size());
    for (const auto& run : allRunTextArray_) {
        if (!run || !hasFiniteGeometry(*run))
            continue;
        // Spans are measured afresh.
        run->setRowLength(0);
        run->setColumnLength(0);
        runs.push_back(run);
    }
    allRunTextArray_ = std::move(runs);

    // Row-first tree, with the merging of runs that belong together.
    sortAllRunTextsByX();
    sortAllRunTextsByY();
    creatTempRowsByY();
    for (const auto& row : allTempRowArray_)
        row->creatTempCell1();
    allRunTextArray_ = collectAllRunTextsInArray(allTempRowArray_);

    // Column-first tree over the merged runs.
    sortAllRunTextsByY();
    sortAllRunTextsByX();
    creatTempColumnsByX();
    for (const auto& column : allTempColumnArray_)
        column->creatTempRow2();

    caculateRowNumber();
    caculateColumnNumber();
    correctColumnNumber(0);
    caculateRunTextMergeLength();
}

void QXExcelPage::sortAllRunTextsByX()
{
    allRunTextArray_ = QXExcelSortUtilities::SortRunTextsByX(allRunTextArray_);
}

void QXExcelPage::sortAllRunTextsByY()
{
    allRunTextArray_ = QXExcelSortUtilities::SortRunTextsByY(allRunTextArray_);
}

void QXExcelPage::creatTempRowsByY()
{
    allTempRowArray_ = QXExcelMakeRowBands<QXExcelTempRow>(allRunTextArray_);
}

void QXExcelPage::creatTempColumnsByX()
{
    allTempColumnArray_ = QXExcelMakeColumnBands<QXExcelTempColumn>(allRunTextArray_);
}

QXExcelRunTexts QXExcelPage::collectAllRunTextsInArray(const std::vector<std::shared_ptr<QXExcelTempRow>>& rows)
{
    QXExcelRunTexts runs;
    for (const auto& row : rows) {
        QXExcelRunTexts below = row->collectAllRunTexts();
        runs.insert(runs.end(), below.begin(), below.end());
    }
    return runs;
}

bool QXExcelPage::isRowsInRunTexts(const QXExcelRunTexts& runs)
{
    if (runs.empty())
        return false;
    const double base = runs.front()->ctmInfo().yBase;
    return std::any_of(runs.begin(), runs.end(), [&](const auto& run) {
        return std::fabs(run->ctmInfo().yBase - base) > excelgrid::kLeafRowBaselineTolerance;
    });
}

std::vector<QXExcelRunTexts> QXExcelPage::creatRowArray() const
{
    return QXExcelSortUtilities::SplitByRowIndex(sortedByXThenY(allRunTextArray_));
}

std::vector<QXExcelRunTexts> QXExcelPage::creatColumnArray() const
{
    return QXExcelSortUtilities::SplitByColumnIndex(sortedByYThenX(allRunTextArray_));
}

std::vector<float> QXExcelPage::creatRowMinYTopArrayInRowArray(const std::vector<QXExcelRunTexts>& rows)
{
    return groupMinima(rows, [](const QXExcelRunText& r) { return r.ctmInfo().yTop; });
}

std::vector<float> QXExcelPage::creatColumnMinXLeftArrayInColumnArray(const std::vector<QXExcelRunTexts>& columns)
{
    return groupMinima(columns, [](const QXExcelRunText& r) { return r.ctmInfo().xLeft; });
}

std::shared_ptr<QXExcelRunText> QXExcelPage::runTextAtRow(size_t row, size_t column) const
{
    for (const auto& run : allRunTextArray_) {
        if (run->rowIndex() == row && run->columnIndex() == column)
            return run;
    }
    return nullptr;
}

void QXExcelPage::caculateRowNumber()
{
    size_t max = 0;
    numberRowsStacked(allTempRowArray_, max, 1);
}

void QXExcelPage::caculateColumnNumber()
{
    size_t max = 0;
    numberColumnsInOrder(allTempColumnArray_, max, 1);
}

void QXExcelPage::correctColumnNumber(int pass)
{
    // Passes repeat while runs move, up to the last pass.
    for (;; ++pass) {
        const std::vector<QXExcelRunTexts> groups = creatColumnArray();
        if (groups.size() < 2)
            return;
        bool moved = false;
        // The runs at each grid position, each column's left edge as the
        // pass found it, and the runs moved in this pass (a run moves at
        // most one column a pass).
        std::map<std::pair<size_t, size_t>, QXExcelRunTexts> occupied;
        std::set<const QXExcelRunText*> movedInPass;
        std::map<size_t, double> columnLeft;
        for (const auto& run : allRunTextArray_) {
            occupied[{run->rowIndex(), run->columnIndex()}].push_back(run);
            auto [it, added] = columnLeft.emplace(run->columnIndex(), run->ctmInfo().xLeft);
            if (!added)
                it->second = std::min(it->second, run->ctmInfo().xLeft);
        }
        for (size_t g = 0; g + 1 < groups.size(); ++g) {
            const QXExcelRunTexts& group = groups[g];
            const double minRight = QXExcelSortUtilities::GetMinxRightInRunTexts(group);
            const double maxLeft = QXExcelSortUtilities::GetMaxxLeftInRunTexts(group);
            const double nextLeft = QXExcelSortUtilities::GetMinxLeftInRunTexts(groups[g + 1]);
            for (const auto& run : group) {
                const double left = run->ctmInfo().xLeft;
                if (left >= maxLeft && left + run->textWidth() * 0.5 > nextLeft && left > minRight)
                    moved = moveRunRight(run, occupied, columnLeft, movedInPass) || moved;
            }
        }
        if (!moved || pass >= excelgrid::kLastColumnCorrectionPass)
            return;
    }
}

bool QXExcelPage::moveRunRight(const std::shared_ptr<QXExcelRunText>& run,
                               std::map<std::pair<size_t, size_t>, QXExcelRunTexts>& occupied,
                               const std::map<size_t, double>& columnLeft,
                               std::set<const QXExcelRunText*>& movedInPass)
{
    // The run and the runs it would land on, position by position along its
    // row: each of those moves along only when its centre lies right of the
    // left edge of the column after its own; one that does not keeps the
    // whole chain where it is, as two texts must not share one cell.
    if (movedInPass.count(run.get()))
        return false;
    const size_t row = run->rowIndex();
    QXExcelRunTexts chain{run};
    size_t column = run->columnIndex() + 1;
    for (;;) {
        const auto here = occupied.find({row, column});
        if (here == occupied.end())
            break;
        const auto next = columnLeft.find(column + 1);
        for (const auto& holder : here->second) {
            if (next == columnLeft.end() || movedInPass.count(holder.get()) ||
                !(holder->ctmInfo().xLeft + holder->textWidth() * 0.5 > next->second))
                return false;
        }
        chain.insert(chain.end(), here->second.begin(), here->second.end());
        ++column;
    }
    // From the right end on, so no position is left holding two texts.
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const std::shared_ptr<QXExcelRunText>& moving = *it;
        auto& from = occupied[{row, moving->columnIndex()}];
        std::erase(from, moving);
        if (from.empty())
            occupied.erase({row, moving->columnIndex()});
        moving->setColumnIndex(moving->columnIndex() + 1);
        occupied[{row, moving->columnIndex()}].push_back(moving);
        movedInPass.insert(moving.get());
    }
    return true;
}

void QXExcelPage::caculateRunTextMergeLength()
{
    const std::vector<float> rowTops = creatRowMinYTopArrayInRowArray(creatRowArray());
    const std::vector<float> columnLefts = creatColumnMinXLeftArrayInColumnArray(creatColumnArray());

    // The occupied grid positions (what runTextAtRow answers, looked up
    // in a set); spans change no position.
    std::set<std::pair<size_t, size_t>> occupied;
    for (const auto& run : allRunTextArray_)
        occupied.emplace(run->rowIndex(), run->columnIndex());
    const auto isFree = [&](size_t row, size_t column) { return occupied.count({row, column}) == 0; };

    for (const auto& run : allRunTextArray_) {
        // A span grows over the following rows (columns) the run reaches
        // into, until an occupied cell blocks it.
        for (size_t j = run->rowIndex(); j < rowTops.size(); ++j) {
            if (!(run->ctmInfo().yBottom > rowTops[j]))
                break;
            if (!isFree(run->rowIndex() + run->rowLength() + 1, run->columnIndex()))
                break;
            run->setRowLength(run->rowLength() + 1);
        }
        for (size_t k = run->columnIndex(); k < columnLefts.size(); ++k) {
            if (!(run->ctmInfo().xRight > columnLefts[k]))
                break;
            if (!isFree(run->rowIndex(), run->columnIndex() + run->columnLength() + 1))
                break;
            run->setColumnLength(run->columnLength() + 1);
        }
    }
}

Rect QXExcelPage::getCellFrame(const QXExcelCell& cell, const std::vector<std::shared_ptr<QXExcelColumn>>& columns)
{
    if (!cell.stringItem())
        return Rect();
    const size_t first = cell.stringItem()->columnIndex();
    const size_t length = cell.stringItem()->columnLength();
    double x = 0;
    double width = 0;
    bool found = false;
    for (const auto& column : columns) {
        if (column->columnIndex() == first && !found) {
            x = column->frame().origin.x;
            found = true;
            if (length < 1)
                width = column->frame().size.width;
        }
        if (length >= 1 && column->columnIndex() >= first && column->columnIndex() < first + length)
            width += column->frame().size.width;
    }
    return Rect(x, 0, width, 0);
}

std::vector<std::shared_ptr<QXExcelStringItem>> QXExcelPage::getStringItemsFromRuns(
    const std::vector<std::shared_ptr<QXExcelRunText>>& runs)
{
    std::vector<std::shared_ptr<QXExcelStringItem>> items;
    std::map<std::pair<size_t, size_t>, size_t> byPosition;
    for (const auto& run : runs) {
        if (!run)
            continue;
        auto [it, added] = byPosition.emplace(std::make_pair(run->rowIndex(), run->columnIndex()), items.size());
        if (added) {
            auto item = std::make_shared<QXExcelStringItem>();
            item->setRowIndex(run->rowIndex());
            item->setColumnIndex(run->columnIndex());
            items.push_back(std::move(item));
        }
        items[it->second]->runArray().push_back(run);
    }
    std::vector<std::shared_ptr<QXExcelStringItem>> kept;
    for (auto& item : items) {
        const auto& itemRuns = item->runArray();
        if (std::any_of(itemRuns.begin(), itemRuns.end(),
                        [](const auto& run) { return !QXExcelManager::isBlankSpace(run->text()); }))
            kept.push_back(std::move(item));
    }
    return kept;
}

void QXExcelPage::creatSheet()
{
    typesetRunTexts();
    const bool merging = QXExcelManager::sharedInstance().isNeedMergeCells();
    const auto items = getStringItemsFromRuns(allRunTextArray_);
    std::vector<std::shared_ptr<QXExcelCell>> cells;
    cells.reserve(items.size());
    for (const auto& item : items) {
        item->calculatStringItemInfo();
        cells.push_back(createCellWithStringItem(item));
    }
    layOutCells(cells, merging);
    if (const size_t leftOut = limitToSheetSize())
        std::fprintf(stderr, "Sheet %zu: %zu cells lie beyond the last row or column of a sheet and are left out\n",
                     pageNumber_, leftOut);
    applyCellStyles(cells);
}

size_t QXExcelPage::limitToSheetSize()
{
    const size_t maxRows = QXExcelUtilities::kMaxRows;
    const size_t maxColumns = static_cast<size_t>(QXExcelUtilities::kMaxColumns);
    size_t leftOut = 0;
    std::vector<std::shared_ptr<QXExcelRow>> rows;
    for (const auto& row : sheetRows_) {
        auto& cells = row->cells();
        const size_t before = cells.size();
        if (row->rowIndex() > maxRows) {
            cells.clear();
        } else {
            std::erase_if(cells, [&](const auto& cell) { return cell->columnIndex() > maxColumns; });
        }
        leftOut += before - cells.size();
        if (!cells.empty())
            rows.push_back(row);
    }
    sheetRows_ = std::move(rows);

    std::vector<std::shared_ptr<QXExcelColumn>> columns;
    for (const auto& column : columns_) {
        if (column->columnIndex() > maxColumns)
            continue;
        std::erase_if(column->cells(), [&](const auto& cell) { return cell->rowIndex() > maxRows; });
        if (!column->cells().empty())
            columns.push_back(column);
    }
    columns_ = std::move(columns);

    std::vector<QXMergedCell> merges;
    for (QXMergedCell merge : mergeCells_) {
        if (merge.start().r > maxRows || merge.start().c > maxColumns)
            continue;
        merge.setEnd({std::min(merge.end().r, maxRows), std::min(merge.end().c, maxColumns)});
        if (!(merge.start() == merge.end()))
            merges.push_back(merge);
    }
    mergeCells_ = std::move(merges);
    return leftOut;
}

void QXExcelPage::applyCellStyles(const std::vector<std::shared_ptr<QXExcelCell>>& /*cells*/)
{
    // Text cells take the format of their item and extent, numeric cells
    // that of their number, font and fill; only the cells the sheet keeps
    // (those in its rows) are styled.
    QXExcelCellStyles::applyCellStyles(*this);
}

std::string QXExcelPage::creatCSV()
{
    typesetRunTexts();
    const auto items = getStringItemsFromRuns(allRunTextArray_);
    size_t lastRow = 0;
    for (const auto& item : items)
        lastRow = std::max(lastRow, item->rowIndex());
    if (items.empty() || lastRow == 0)
        return std::string();

    std::map<size_t, std::vector<std::shared_ptr<QXExcelStringItem>>> rows;
    for (const auto& item : items)
        rows[item->rowIndex()].push_back(item);

    std::string csv;
    for (size_t r = 1; r <= lastRow; ++r) {
        auto it = rows.find(r);
        if (it != rows.end()) {
            // Fields in column order, one TAB per column step.
            auto& rowItems = it->second;
            std::stable_sort(rowItems.begin(), rowItems.end(),
                             [](const auto& a, const auto& b) { return a->columnIndex() < b->columnIndex(); });
            size_t previous = 1;
            for (const auto& item : rowItems) {
                if (previous < item->columnIndex())
                    csv.append(item->columnIndex() - previous, '\t');
                csv += csvField(item->content());
                previous = std::max(previous, item->columnIndex());
            }
        }
        csv += '\n';
    }
    return csv;
}

std::string QXExcelPage::csvField(const std::string& content)
{
    if (content.find_first_of("\t\r\n;,\"") == std::string::npos)
        return content;
    std::string field = "\"";
    for (char c : content) {
        if (c == '"')
            field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::shared_ptr<QXExcelCell> QXExcelPage::createCellWithStringItem(const std::shared_ptr<QXExcelStringItem>& item)
{
    if (!item)
        return nullptr;
    std::vector<std::string> texts;
    texts.reserve(item->runArray().size());
    for (const auto& run : item->runArray())
        texts.push_back(run->text());
    return createCellWithStringItem(item, texts);
}

std::shared_ptr<QXExcelCell> QXExcelPage::createCellWithStringItem(const std::shared_ptr<QXExcelStringItem>& item,
                                                                   const std::vector<std::string>& runTexts)
{
    if (!item)
        return nullptr;
    auto cell = std::make_shared<QXExcelCell>(item);
    QXExcelManager& manager = QXExcelManager::sharedInstance();
    if (manager.isNeedValidNumbers() && runTexts.size() == 1) {
        QXExcelNumber number(runTexts.front(), manager.thousandSepartor());
        if (number.isNumber()) {
            if (number.numID() == -1)
                number.setNumID(manager.excelStyle().collectNumberFormat(number.formatCode()));
            cell->setCellValue(number.readNumber());
            cell->setDataType("n");
            cell->setNumber(std::move(number));
            return cell;
        }
    }
    stringItems_.push_back(item);
    const size_t index = manager.amountOfStringItems();
    manager.setAmountOfStringItems(index + 1);
    cell->setCellValue(formatUnsigned(index));
    cell->setIsText(true);
    return cell;
}

void QXExcelPage::layOutCells(const std::vector<std::shared_ptr<QXExcelCell>>& cells, bool merging)
{
    std::vector<std::shared_ptr<QXExcelCell>> placed;
    for (const auto& cell : cells) {
        if (cell && cell->stringItem())
            placed.push_back(cell);
    }

    std::vector<QXMergedCell> merges;
    if (merging) {
        std::vector<QXMergedCell> wanted;
        std::vector<QXPoint> texts;
        for (const auto& cell : placed) {
            const QXExcelStringItem& item = *cell->stringItem();
            texts.push_back({item.rowIndex(), item.columnIndex()});
            if (item.rowLength() != 0 || item.columnLength() != 0)
                wanted.emplace_back(QXPoint{item.rowIndex(), item.columnIndex()},
                                    QXPoint{item.rowIndex() + item.rowLength(),
                                            item.columnIndex() + item.columnLength()});
        }
        merges = QXMergedCell::soundMerges(wanted, texts);
    }
    // An item whose range was left out, or that nothing merges, takes only
    // its own cell: its box then counts toward its row and column.
    for (const auto& cell : placed) {
        QXExcelStringItem& item = *cell->stringItem();
        const bool kept = std::any_of(merges.begin(), merges.end(), [&](const QXMergedCell& merge) {
            return merge.start() == QXPoint{item.rowIndex(), item.columnIndex()};
        });
        if (!kept) {
            item.setRowLength(0);
            item.setColumnLength(0);
        }
    }

    std::map<size_t, std::vector<std::shared_ptr<QXExcelCell>>> byRow;
    std::map<size_t, std::vector<std::shared_ptr<QXExcelCell>>> byColumn;
    for (const auto& cell : placed) {
        byRow[cell->rowIndex()].push_back(cell);
        byColumn[cell->columnIndex()].push_back(cell);
    }
    byRow.erase(0);
    byColumn.erase(0);

    std::vector<std::shared_ptr<QXExcelRow>> rows;
    for (auto& [index, rowCells] : byRow) {
        double top = std::numeric_limits<double>::max();
        double bottom = 0;
        for (const auto& cell : rowCells) {
            const QXExcelStringItem& item = *cell->stringItem();
            top = std::min(top, item.itemInfo().displayY);
            if (item.rowLength() == 0)
                bottom = std::max(bottom, item.itemInfo().displayY + item.itemInfo().displayHeight);
        }
        auto row = std::make_shared<QXExcelRow>();
        row->cells() = std::move(rowCells);
        row->setRowIndex(index);
        row->setFrame(Rect(0, top, 0, std::max(bottom - top, 13.5)));
        rows.push_back(std::move(row));
    }

    std::vector<std::shared_ptr<QXExcelColumn>> columns;
    for (auto& [index, columnCells] : byColumn) {
        double left = std::numeric_limits<double>::max();
        double right = 0;
        double widest = -std::numeric_limits<double>::max();
        double fontMax = 12;
        for (const auto& cell : columnCells) {
            const QXExcelStringItem& item = *cell->stringItem();
            left = std::min(left, item.itemInfo().displayX);
            if (item.columnLength() == 0)
                right = std::max(right, item.itemInfo().displayX + item.itemInfo().displayWidth);
            if (item.itemInfo().displayWidth > widest) {
                widest = item.itemInfo().displayWidth;
                fontMax = std::max(fontMax, item.maxFontSize());
            }
        }
        double width = std::max(right - left, 20.0);
        if (!merging)
            width = std::max(12 / fontMax * width, 20.0);
        auto column = std::make_shared<QXExcelColumn>();
        column->cells() = std::move(columnCells);
        column->setColumnIndex(index);
        column->setFrame(Rect(left, 0, width, 0));
        columns.push_back(std::move(column));
    }

    if (!merging) {
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i]->setRowIndex(i + 1);
        for (size_t i = 0; i < columns.size(); ++i)
            columns[i]->setColumnIndex(i + 1);
    }

    sheetRows_ = std::move(rows);
    columns_ = std::move(columns);
    mergeCells_ = std::move(merges);
}

void QXExcelPage::WriteWorksheetStart(XMLFileWriter& writer, bool tabSelected,
                                      const std::vector<std::shared_ptr<QXExcelColumn>>& columns)
{
    writer.writeStartElement("worksheet");
    writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());

    writer.writeStartElement("sheetViews");
    writer.writeStartElement("sheetView");
    if (tabSelected)
        writer.writeAttribute("tabSelected", "1");
    writer.writeAttribute("workbookViewId", "0");
    writer.writeStartElement("selection");
    writer.writeAttribute("activeCell", "A1");
    writer.writeAttribute("sqref", "A1");
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();

    writer.writeStartElement("sheetFormatPr");
    writer.writeAttribute("defaultRowHeight", "18.000000");
    writer.writeAttribute("defaultColWidth", "15.000000");
    writer.writeEndElement();

    if (!columns.empty()) {
        writer.writeStartElement("cols");
        for (const auto& column : columns)
            column->writeXML(writer);
        writer.writeEndElement();
    }
}

void QXExcelPage::writeSheet(XMLFileWriter& writer) const
{
    writer.setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    WriteWorksheetStart(writer, pageNumber_ == 1, columns_);

    writer.writeStartElement("sheetData");
    for (const auto& row : sheetRows_)
        row->writeXML(writer);
    writer.writeEndElement();

    if (!mergeCells_.empty()) {
        writer.writeStartElement("mergeCells");
        for (const QXMergedCell& merge : mergeCells_) {
            writer.writeStartElement("mergeCell");
            writer.writeAttribute("ref", merge.mergerCellInfo());
            writer.writeEndElement();
        }
        writer.writeEndElement();
    }

    writer.writeStartElement("pageMargins");
    writer.writeAttribute("left", formatFixed(pageMargin_.left, 0));
    writer.writeAttribute("right", formatFixed(pageMargin_.right, 0));
    writer.writeAttribute("top", formatFixed(pageMargin_.top, 0));
    writer.writeAttribute("bottom", formatFixed(pageMargin_.bottom, 0));
    writer.writeAttribute("header", formatFixed(pageMargin_.header, 0));
    writer.writeAttribute("footer", formatFixed(pageMargin_.footer, 0));
    writer.writeEndElement();

    writer.writeEndDocument();
}

bool QXExcelPage::writeSheetXML() const
{
    if (sheetXMLPath_.empty())
        return false;
    const std::string partial = sheetXMLPath_ + ".partial";
    std::error_code ignored;
    try {
        XMLFileWriter writer(partial);
        writeSheet(writer);
    } catch (const XMLWriterException&) {
        std::filesystem::remove(partial, ignored);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, sheetXMLPath_, error);
    if (error) {
        std::filesystem::remove(partial, ignored);
        return false;
    }
    return true;
}

} // namespace rz
