#include "xlsx/sheet/QXExcelCell.h"

#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "platform/text/Utf.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rz {

namespace {

// A row height or column width as a spreadsheet application takes it: at
// most `largest`, never negative; a length that is not a number at all is
// written as the largest.
double writtenLength(double length, double largest)
{
    if (std::isnan(length))
        return largest;
    return std::clamp(length, 0.0, largest);
}

} // namespace

Rect QXExcelStringItemInfo::textBoxRect() const
{
    return Rect(std::round(displayX), std::round(displayY), displayWidth, displayHeight);
}

std::string QXExcelStringItem::content() const
{
    std::string text;
    for (const auto& run : runArray_)
        text += run->text();
    return text;
}

double QXExcelStringItem::maxFontSize() const
{
    double size = runArray_.empty() ? maxFontSize_ : 12;
    for (const auto& run : runArray_)
        size = std::max(size, run->rPr().sz);
    return std::max(size, 12.0);
}

double QXExcelStringItem::textWidth() const
{
    double width = 0;
    for (const auto& run : runArray_)
        width += run->textWidth();
    return width;
}

QXExcelRunTextProperty QXExcelStringItem::runProperty() const
{
    return runArray_.empty() ? QXExcelRunTextProperty() : runArray_.front()->rPr();
}

bool QXExcelStringItem::isAttributeRunText() const
{
    if (runArray_.size() < 2)
        return false;
    const QXExcelRunTextProperty& first = runArray_.front()->rPr();
    return std::any_of(runArray_.begin() + 1, runArray_.end(),
                       [&](const auto& run) { return !run->rPr().isEqualToRPr(first); });
}

bool QXExcelStringItem::containRunText(const QXExcelRunText& run) const
{
    return run.columnIndex() == columnIndex_ && run.rowIndex() == rowIndex_;
}

void QXExcelStringItem::calculatStringItemInfo()
{
    // An item without runs keeps its box; the extremes start past every
    // coordinate, so runs lying left of or above the page measure right.
    if (runArray_.empty())
        return;
    double minX = std::numeric_limits<double>::max();
    double minY = std::numeric_limits<double>::max();
    double maxX = std::numeric_limits<double>::lowest();
    double maxY = std::numeric_limits<double>::lowest();
    for (const auto& run : runArray_) {
        const QXPDF_CTMInfo& info = run->ctmInfo();
        minX = std::min(minX, info.xLeft);
        minY = std::min(minY, info.yTop);
        maxX = std::max(maxX, info.xRight);
        maxY = std::max(maxY, info.yBottom);
        rowLength_ = std::max(rowLength_, run->rowLength());
        columnLength_ = std::max(columnLength_, run->columnLength());
    }
    itemInfo_.displayX = minX;
    itemInfo_.displayY = minY;
    itemInfo_.displayWidth = maxX - minX;
    itemInfo_.displayHeight = maxY - minY;
}

void QXExcelStringItem::writeXMLWith(XMLFileWriter& writer) const
{
    writer.writeStartElement("si");
    size_t room = QXExcelUtilities::kMaxCellCharacters;
    for (const auto& run : runArray_) {
        if (room == 0)
            break;
        const size_t units = utf16Length(run->text());
        if (units <= room) {
            run->writeXMLWith(writer);
            room -= units;
        } else {
            run->writeXMLWith(writer, prefixUtf16Units(run->text(), room));
            room = 0;
        }
    }
    writer.writeEndElement();
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
                                    : formatFixed(writtenLength(frame_.size.height * 1.1,
                                                                                QXExcelUtilities::kMaxRowHeight),
                                                                  2));
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
    writer.writeAttribute("width", formatFixed(writtenLength(frame_.size.width / 3 * 1.1,
                                                             QXExcelUtilities::kMaxColumnWidth),
                                               0));
    writer.writeAttribute("customWidth", customWidth_ ? "1" : "0");
    writer.writeEndElement();
}

} // namespace rz
