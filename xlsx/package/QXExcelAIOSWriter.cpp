#include "xlsx/package/QXExcelAIOSWriter.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "converter/ooxml/QXPackagePart.h"
#include "xlsx/sheet/QXExcelPage.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace rz {

namespace {

template <typename T, typename Index>
void insertInOrder(std::vector<std::shared_ptr<T>>& list, std::shared_ptr<T> item, Index index)
{
    const auto at = std::find_if(list.begin(), list.end(),
                                 [&](const std::shared_ptr<T>& listed) { return index(*listed) > index(*item); });
    list.insert(at, std::move(item));
}

// The highest row and column a page reaches, its merges included.
size_t pageRows(const QXExcelPage& page)
{
    size_t highest = 0;
    for (const auto& row : page.sheetRows())
        highest = std::max(highest, row->rowIndex());
    for (const QXMergedCell& merge : page.mergeCells())
        highest = std::max(highest, merge.end().r);
    return highest;
}

size_t pageColumns(const QXExcelPage& page)
{
    size_t highest = 0;
    for (const auto& column : page.columns())
        highest = std::max(highest, column->columnIndex());
    for (const QXMergedCell& merge : page.mergeCells())
        highest = std::max(highest, merge.end().c);
    return highest;
}

[[noreturn]] void refuseSheetSize(const char* what, size_t needed, size_t limit)
{
    throw QXConversionException(std::string("The single sheet would need ") + std::to_string(needed) + " " + what +
                                "; a sheet holds at most " + std::to_string(limit));
}

void checkSize(size_t rows, size_t columns)
{
    if (rows > QXExcelUtilities::kMaxRows)
        refuseSheetSize("rows", rows, QXExcelUtilities::kMaxRows);
    if (columns > static_cast<size_t>(QXExcelUtilities::kMaxColumns))
        refuseSheetSize("columns", columns, static_cast<size_t>(QXExcelUtilities::kMaxColumns));
}

} // namespace

QXExcelAIOSWriter::QXExcelAIOSWriter(const std::string& rootFolder)
    : rootFolder_(rootFolder), sheetXMLPath_(rootFolder + "/xl/worksheets/sheet1.xml"),
      streamedRowsPath_(rootFolder + "/sheet1-rows.partial")
{
    if (std::filesystem::path(rootFolder).extension() == ".xlsx")
        QXPackagePart::makeFolder(rootFolder + "/xl/worksheets");
}

QXExcelAIOSWriter::~QXExcelAIOSWriter()
{
    streamedRows_.reset();
    std::error_code ignored;
    std::filesystem::remove(streamedRowsPath_, ignored);
}

void QXExcelAIOSWriter::noteMerge(const QXMergedCell& merge)
{
    highestRow_ = std::max(highestRow_, merge.end().r);
    highestColumn_ = std::max(highestColumn_, merge.end().c);
    mergeCells_.push_back(merge);
}

void QXExcelAIOSWriter::collectPageXMLToRow(QXExcelPage& page)
{
    // A merge may reach below the last row holding a cell: the next page
    // starts below both.
    const size_t offset = highestRow_;
    checkSize(offset + pageRows(page), pageColumns(page));

    if (columns_.empty()) {
        columns_ = page.columns();
    } else {
        for (const auto& column : page.columns()) {
            const auto same = std::find_if(columns_.begin(), columns_.end(), [&](const auto& listed) {
                return listed->columnIndex() == column->columnIndex();
            });
            if (same != columns_.end())
                (*same)->setWidth(std::max((*same)->frame().size.width, column->frame().size.width));
            else
                insertInOrder(columns_, column, [](const QXExcelColumn& c) { return c.columnIndex(); });
        }
    }
    for (const auto& column : columns_)
        highestColumn_ = std::max(highestColumn_, column->columnIndex());

    std::vector<std::shared_ptr<QXExcelRow>> rows = page.sheetRows();
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->rowIndex() < b->rowIndex(); });
    if (!rows.empty() && !streamedRows_)
        streamedRows_ = std::make_unique<XMLFileWriter>(streamedRowsPath_);
    for (const auto& row : rows) {
        row->setRowIndex(row->rowIndex() + offset);
        row->writeXML(*streamedRows_);
        highestRow_ = std::max(highestRow_, row->rowIndex());
    }
    for (QXMergedCell merge : page.mergeCells()) {
        merge.setStart({merge.start().r + offset, merge.start().c});
        merge.setEnd({merge.end().r + offset, merge.end().c});
        noteMerge(merge);
    }
}

void QXExcelAIOSWriter::collectPageXMLToColumn(QXExcelPage& page)
{
    const size_t offset = highestColumn_;
    checkSize(pageRows(page), offset + pageColumns(page));

    for (const auto& column : page.columns()) {
        column->setColumnIndex(column->columnIndex() + offset);
        highestColumn_ = std::max(highestColumn_, column->columnIndex());
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
    for (const auto& row : sheetRows_)
        highestRow_ = std::max(highestRow_, row->rowIndex());
    for (QXMergedCell merge : page.mergeCells()) {
        merge.setStart({merge.start().r, merge.start().c + offset});
        merge.setEnd({merge.end().r, merge.end().c + offset});
        noteMerge(merge);
    }
}

void QXExcelAIOSWriter::writeSheet(XMLFileWriter& writer)
{
    writer.setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    QXExcelPage::WriteWorksheetStart(writer, true, columns_);

    writer.writeStartElement("sheetData");
    writer.writeCloseStartElement();
    for (const auto& row : sheetRows_)
        row->writeXML(writer);
    if (streamedRows_) {
        streamedRows_->closeFile();
        streamedRows_.reset();
        std::ifstream rows(streamedRowsPath_, std::ios::binary);
        if (!rows)
            throw XMLWriterException("Can't read " + streamedRowsPath_);
        std::string chunk(1 << 16, '\0');
        while (rows) {
            rows.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            if (rows.gcount() > 0)
                writer.write(std::string_view(chunk.data(), static_cast<size_t>(rows.gcount())));
        }
        if (!rows.eof())
            throw XMLWriterException("Can't read " + streamedRowsPath_);
    }
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
    for (const char* side : {"left", "right", "top", "bottom", "header", "footer"})
        writer.writeAttribute(side, "0");
    writer.writeEndElement();
    writer.writeEndElement();
}

bool QXExcelAIOSWriter::writeSheetXML()
{
    bool written = true;
    try {
        QXPackagePart::writeXMLPart(sheetXMLPath_, [this](XMLFileWriter& writer) { writeSheet(writer); });
    } catch (const XMLWriterException&) {
        written = false;
    }
    streamedRows_.reset();
    std::error_code ignored;
    std::filesystem::remove(streamedRowsPath_, ignored);
    return written;
}

} // namespace rz
