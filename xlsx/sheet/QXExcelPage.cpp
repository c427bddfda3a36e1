#include "xlsx/sheet/QXExcelPage.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rz {

QXExcelPage::QXExcelPage(const std::string& packageFolder, size_t pageNumber)
    : sheetXMLPath_(packageFolder + "/xl/worksheets/sheet" + formatUnsigned(pageNumber) + ".xml"),
      pageNumber_(pageNumber)
{
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
