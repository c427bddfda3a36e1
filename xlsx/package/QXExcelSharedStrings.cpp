#include "xlsx/package/QXExcelSharedStrings.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/QXPackagePart.h"

#include <filesystem>

namespace rz {

QXExcelSharedStrings::QXExcelSharedStrings(const std::string& rootFolder)
{
    if (std::filesystem::path(rootFolder).extension() != ".xlsx")
        return;
    QXPackagePart::makeFolder(rootFolder + "/xl");
    partPath_ = rootFolder + "/xl/sharedStrings.xml";
    xmlWriter_ = std::make_unique<XMLFileWriter>(QXPackagePart::partialPath(partPath_));
}

void QXExcelSharedStrings::beginWrite()
{
    if (!xmlWriter_)
        return;
    xmlWriter_->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    xmlWriter_->writeStartElement("sst");
    xmlWriter_->writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());
    // Written before the first item, so an empty part is <sst ...></sst>
    // and items never land inside the start tag.
    xmlWriter_->writeCloseStartElement();
}

void QXExcelSharedStrings::writeStringItems()
{
    if (!xmlWriter_) {
        stringItems_.clear();
        return;
    }
    for (const auto& item : stringItems_) {
        if (item) {
            item->writeXMLWith(*xmlWriter_);
        } else {
            // Every counted item holds its place, so later indices stay right.
            xmlWriter_->writeStartElement("si");
            xmlWriter_->writeStartElement("t");
            xmlWriter_->writeEndElement();
            xmlWriter_->writeEndElement();
        }
        ++amountOfStringItems_;
    }
    stringItems_.clear();
}

void QXExcelSharedStrings::endWrite()
{
    if (!xmlWriter_)
        return;
    xmlWriter_->writeEndDocument();
    xmlWriter_.reset();
    QXPackagePart::renameIntoPlace(QXPackagePart::partialPath(partPath_), partPath_);
}

} // namespace rz
