#include "xlsx/package/QXExcelAIOSWriter.h"

#include "converter/QXError.h"
#include "xlsx/package/QXExcelPackagePart.h"
#include "xlsx/sheet/QXExcelPage.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include <algorithm>
#include <filesystem>

namespace rz {

namespace {

template <typename T, typename Index>
void insertInOrder(std::vector<std::shared_ptr<T>>& list, std::shared_ptr<T> item, Index index)
{
    const auto at = std::find_if(list.begin(), list.end(),
                                 [&](const std::shared_ptr<T>& listed) { return index(*listed) > index(*item); });
    list.insert(at, std::move(item));
}

size_t highestRow(const std::vector<std::shared_ptr<QXExcelRow>>& rows)
{
    size_t highest = 0;
    for (const auto& row : rows)
        highest = std::max(highest, row->rowIndex());
    return highest;
}

size_t highestColumn(const std::vector<std::shared_ptr<QXExcelColumn>>& columns)
{
    size_t highest = 0;
    for (const auto& column : columns)
        highest = std::max(highest, column->columnIndex());
    return highest;
}

size_t highestMergeRow(const std::vector<QXMergedCell>& merges)
{
    size_t highest = 0;
    for (const QXMergedCell& merge : merges)
        highest = std::max(highest, merge.end().r);
    return highest;
}

size_t highestMergeColumn(const std::vector<QXMergedCell>& merges)
{
    size_t highest = 0;
    for (const QXMergedCell& merge : merges)
        highest = std::max(highest, merge.end().c);
    return highest;
}

[[noreturn]] void refuseSheetSize(const char* what, size_t needed, size_t limit)
{
    throw QXConversionException(std::string("The single sheet would need ") + std::to_string(needed) + " " + what +
                                "; a sheet holds at most " + std::to_string(limit));
}

} // namespace

QXExcelAIOSWriter::QXExcelAIOSWriter(const std::string& rootFolder)
    : rootFolder_(rootFolder), sheetXMLPath_(rootFolder + "/xl/worksheets/sheet1.xml")
{
    if (std::filesystem::path(rootFolder).extension() == ".xlsx")
        QXExcelPackagePart::makeFolder(rootFolder + "/xl/worksheets");
}

void QXExcelAIOSWriter::collectPageXMLToRow(QXExcelPage& page)
{
    // A merge may reach below the last row holding a cell: the next page
    // starts below both.
    const size_t offset = std::max(highestRow(sheetRows_), highestMergeRow(mergeCells_));
    const size_t needed = offset + std::max(highestRow(page.sheetRows()), highestMergeRow(page.mergeCells()));
    if (needed > QXExcelUtilities::kMaxRows)
        refuseSheetSize("rows", needed, QXExcelUtilities::kMaxRows);
    const size_t columnsNeeded = std::max(highestColumn(page.columns()), highestMergeColumn(page.mergeCells()));
    if (columnsNeeded > static_cast<size_t>(QXExcelUtilities::kMaxColumns))
        refuseSheetSize("columns", columnsNeeded, static_cast<size_t>(QXExcelUtilities::kMaxColumns));

    if (columns_.empty()) {
        columns_ = page.columns();
    } else {
        for (const auto& column : page.columns()) {
            const auto same = std::find_if(columns_.begin(), columns_.end(), [&](const auto& listed) {
                return listed->columnIndex() == column->columnIndex();
            });
            if (same != columns_.end()) {
                (*same)->setWidth(std::max((*same)->frame().size.width, column->frame().size.width));
            } else {
                insertInOrder(columns_, column, [](const QXExcelColumn& c) { return c.columnIndex(); });
            }
        }
    }
    for (const auto& row : page.sheetRows()) {
        row->setRowIndex(row->rowIndex() + offset);
        sheetRows_.push_back(row);
    }
    for (QXMergedCell merge : page.mergeCells()) {
        merge.setStart({merge.start().r + offset, merge.start().c});
        merge.setEnd({merge.end().r + offset, merge.end().c});
        mergeCells_.push_back(merge);
    }
}

void QXExcelAIOSWriter::collectPageXMLToColumn(QXExcelPage& page)
{
    const size_t offset = std::max(highestColumn(columns_), highestMergeColumn(mergeCells_));
    const size_t needed = offset + std::max(highestColumn(page.columns()), highestMergeColumn(page.mergeCells()));
    if (needed > static_cast<size_t>(QXExcelUtilities::kMaxColumns))
        refuseSheetSize("columns", needed, static_cast<size_t>(QXExcelUtilities::kMaxColumns));
    const size_t rowsNeeded = std::max(highestRow(page.sheetRows()), highestMergeRow(page.mergeCells()));
    if (rowsNeeded > QXExcelUtilities::kMaxRows)
        refuseSheetSize("rows", rowsNeeded, QXExcelUtilities::kMaxRows);

    for (const auto& column : page.columns()) {
        column->setColumnIndex(column->columnIndex() + offset);
        columns_.push_back(column);
    }
    if (sheetRows_.empty()) {
        sheetRows_ = page.sheetRows();
    } else {
        for (const auto& row : page.sheetRows()) {
            const auto same = std::find_if(sheetRows_.begin(), sheetRows_.end(),
                                           [&](const auto& listed) { return listed->rowIndex() == row->rowIndex(); });
            if (same != sheetRows_.end()) {
                (*same)->setHeight(std::max((*same)->frame().size.height, row->frame().size.height));
                for (const auto& cell : row->cells())
                    (*same)->cells().push_back(cell);
            } else {
                insertInOrder(sheetRows_, row, [](const QXExcelRow& r) { return r.rowIndex(); });
            }
        }
    }
    for (QXMergedCell merge : page.mergeCells()) {
        merge.setStart({merge.start().r, merge.start().c + offset});
        merge.setEnd({merge.end().r, merge.end().c + offset});
        mergeCells_.push_back(merge);
    }
}

bool QXExcelAIOSWriter::writeSheetXML() const
{
    QXExcelPage sheet(rootFolder_, 1);
    sheet.setSheetXMLPath(sheetXMLPath_);
    sheet.sheetRows() = sheetRows_;
    sheet.columns() = columns_;
    sheet.mergeCells() = mergeCells_;
    return sheet.writeSheetXML();
}

} // namespace rz
