#include "xlsx/sheet/QXExcelPage.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cstdio>
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

void QXExcelPage::writeSheet(XMLFileWriter& writer) const
{
    writer.setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    writer.writeStartElement("worksheet");
    writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());

    writer.writeStartElement("sheetViews");
    writer.writeStartElement("sheetView");
    if (pageNumber_ == 1)
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

    if (!columns_.empty()) {
        writer.writeStartElement("cols");
        for (const auto& column : columns_)
            column->writeXML(writer);
        writer.writeEndElement();
    }

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
