#include "xlsx/sheet/QXExcelCell.h"

#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include <algorithm>
#include <cmath>

namespace rz {

Rect QXExcelStringItemInfo::textBoxRect() const
{
    return Rect(std::round(displayX), std::round(displayY), displayWidth, displayHeight);
}

void QXExcelCell::writeXML(XMLFileWriter& writer) const
{
    writer.writeStartElement("c");
    writer.writeAttribute("r", QXExcelUtilities::cellReference(static_cast<long>(columnIndex()), rowIndex()));
    if (styleIndex_ != -1)
        writer.writeAttribute("s", formatInteger(styleIndex_));
    writer.writeAttribute("t", dataType_);
    if (cellValue_ != "-1") {
        writer.writeStartElement("v");
        writer.writeCharacters(cellValue_);
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

void QXExcelRow::setRowIndex(size_t index)
{
    rowIndex_ = index;
    for (const auto& cell : cells_) {
        if (cell && cell->stringItem())
            cell->stringItem()->setRowIndex(index);
    }
}

void QXExcelRow::writeXML(XMLFileWriter& writer) const
{
    writer.writeStartElement("row");
    writer.writeAttribute("r", formatUnsigned(rowIndex_));
    writer.writeAttribute("spans", spans_);
    writer.writeAttribute("ht", QXExcelManager::sharedInstance().isNeedDefaultRowHeight()
                                    ? std::string("13.5")
                                    : formatFixed(frame_.size.height * 1.1, 2));
    writer.writeAttribute("customHeight", customHeight_ ? "1" : "0");
    // Spreadsheet readers expect a row's cells in column order.
    std::vector<const QXExcelCell*> ordered;
    ordered.reserve(cells_.size());
    for (const auto& cell : cells_) {
        if (cell)
            ordered.push_back(cell.get());
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const QXExcelCell* a, const QXExcelCell* b) {
        return a->columnIndex() < b->columnIndex();
    });
    for (const QXExcelCell* cell : ordered)
        cell->writeXML(writer);
    writer.writeEndElement();
}

void QXExcelColumn::setColumnIndex(size_t index)
{
    columnIndex_ = index;
    for (const auto& cell : cells_) {
        if (cell && cell->stringItem())
            cell->stringItem()->setColumnIndex(index);
    }
}

void QXExcelColumn::writeXML(XMLFileWriter& writer) const
{
    writer.writeStartElement("col");
    writer.writeAttribute("min", formatUnsigned(columnIndex_));
    writer.writeAttribute("max", formatUnsigned(columnIndex_));
    writer.writeAttribute("width", formatFixed(frame_.size.width / 3 * 1.1, 0));
    writer.writeAttribute("customWidth", customWidth_ ? "1" : "0");
    writer.writeEndElement();
}

} // namespace rz
