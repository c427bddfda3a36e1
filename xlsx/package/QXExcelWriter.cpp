#include "xlsx/package/QXExcelWriter.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXDrawingTheme.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/QXPDFInfo.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "platform/core/Uuid.h"
#include "platform/text/Utf.h"
#include "converter/ooxml/QXPackagePart.h"
#include "xlsx/sheet/QXExcelManager.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace rz {

namespace part = QXPackagePart;

namespace {

using QXPackagePart::currentW3CDate;
using QXPackagePart::writeEmpty;
using QXPackagePart::writeTextElement;
using QXPackagePart::writeTextElementNS;

const std::string kRelationshipTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const std::string kCorePropertiesRelationship =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
const std::string kContentTypes = "http://schemas.openxmlformats.org/package/2006/content-types";
const std::string kExtendedProperties = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";

// Copies a folder tree; false at the first failure.
bool copyFolder(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    fs::copy(from, to, fs::copy_options::recursive, ec);
    return !ec;
}

} // namespace

QXExcelWriter::QXExcelWriter() = default;
QXExcelWriter::~QXExcelWriter() = default;

bool QXExcelWriter::isExcelConvert() const
{
    return fs::path(savedFilePath_).extension() == ".xlsx";
}

void QXExcelWriter::markFailed(const std::string& why)
{
    if (!failure_)
        failure_ = why;
}

void QXExcelWriter::initWithPath(const std::string& path, uint64_t numOfPages)
{
    savedFilePath_ = path;
    failure_.reset();
    workFolder_.create(path);
    const std::string& folder = workFolder_.path();
    if (folder.empty() || !fs::is_directory(folder))
        QXWorkFolder::failWriting(path, "no work folder could be made");
    currentPageIndex_ = 0;
    totalSheetPages_ = QXExcelManager::sharedInstance().isAllInOneSheetEnabled() ? 1 : numOfPages;
    try {
        sharedStrings_ = std::make_unique<QXExcelSharedStrings>(folder);
        aiosWriter_ = std::make_unique<QXExcelAIOSWriter>(folder);
    } catch (const XMLWriterException& error) {
        QXWorkFolder::failWriting(path, error.reason());
    }
}

void QXExcelWriter::begainWriteDocument()
{
    excelRelationships_.clear();
    for (uint64_t i = 1; i <= totalSheetPages_; ++i)
        excelRelationships_.push_back(
            {QXOpenXMLNameSpace::nameSpace_Rels_WorkSheet(), "worksheets/sheet" + formatUnsigned(i) + ".xml"});
    excelRelationships_.push_back({kRelationshipTypes + "theme", "theme/theme1.xml"});
    excelRelationships_.push_back({kRelationshipTypes + "styles", "styles.xml"});
    excelRelationships_.push_back({kRelationshipTypes + "sharedStrings", "sharedStrings.xml"});
    currentPageIndex_ = 0;
    if (sharedStrings_) {
        try {
            sharedStrings_->beginWrite();
        } catch (const XMLWriterException& error) {
            markFailed(error.reason());
        }
    }
}

void QXExcelWriter::begainWritePage(Size pageSize)
{
    if (currentPageIndex_ == 0)
        slideSize_ = pageSize;
    ++currentPageIndex_;
    // A page that failed after its cells took shared-string indices never
    // wrote its items: the next index is the count actually written.
    if (sharedStrings_)
        QXExcelManager::sharedInstance().setAmountOfStringItems(sharedStrings_->amountOfStringItems());
    currentPage_ = std::make_shared<QXExcelPage>(workFolder_.path(), currentPageIndex_);
}

void QXExcelWriter::endWritePage()
{
    if (!currentPage_)
        return;
    const std::shared_ptr<QXExcelPage> page = std::move(currentPage_);
    currentPage_.reset();
    if (failure_)
        throw QXConversionException(*failure_);
    if (isExcelConvert())
        endWriteSheetPage(*page);
    else
        endWriteCSVPage(*page);
}

std::string QXExcelWriter::csvFileBytes(std::string_view utf8Text)
{
    const std::u16string units = utf8ToUtf16(utf8Text);
    std::string bytes;
    bytes.reserve(2 + units.size() * 2);
    bytes.push_back(static_cast<char>(0xFF));
    bytes.push_back(static_cast<char>(0xFE));
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

void QXExcelWriter::endWriteCSVPage(QXExcelPage& page)
{
    const std::string text = page.creatCSV();
    if (text.empty())
        return;
    const std::string path = workFolder_.path() + "/Table " + formatUnsigned(currentPageIndex_) + ".csv";
    try {
        part::writeBytesPart(path, csvFileBytes(text));
    } catch (const XMLWriterException& error) {
        // A folder missing one of its tables would pass for complete.
        markFailed(error.reason());
        throw QXConversionException(error.reason());
    }
}

void QXExcelWriter::endWriteSheetPage(QXExcelPage& page)
{
    QXExcelManager& manager = QXExcelManager::sharedInstance();
    try {
        page.creatSheet();
    } catch (...) {
        manager.setAmountOfStringItems(sharedStrings_->amountOfStringItems());
        throw;
    }
    try {
        auto& waiting = sharedStrings_->stringItems();
        waiting.insert(waiting.end(), page.stringItems().begin(), page.stringItems().end());
        sharedStrings_->writeStringItems();
    } catch (const XMLWriterException& error) {
        // Cells of later pages would point at the wrong strings.
        markFailed(error.reason());
        throw QXConversionException(error.reason());
    }
    if (manager.isAllInOneSheetEnabled()) {
        // The single sheet keeps the page's cells to the end of the
        // document; their texts are in the shared strings already and
        // their styles given, so their runs go now.
        for (const auto& row : page.sheetRows())
            for (const auto& cell : row->cells())
                if (cell && cell->stringItem())
                    cell->stringItem()->runArray().clear();
        page.allRunTextArray().clear();
        page.stringItems().clear();
        try {
            if (manager.isAllInOneSheetAddToRow())
                aiosWriter_->collectPageXMLToRow(page);
            else
                aiosWriter_->collectPageXMLToColumn(page);
        } catch (const QXConversionException& error) {
            markFailed(error.what());
            throw;
        }
        return;
    }
    if (!page.writeSheetXML())
        throw QXConversionException("Can't write the sheet of page " + formatUnsigned(currentPageIndex_) + ".");
}

void QXExcelWriter::writeMissingSheets(const std::string& folder)
{
    const uint64_t sheets = QXExcelManager::sharedInstance().isAllInOneSheetEnabled() ? 0 : totalSheetPages_;
    for (uint64_t i = 1; i <= sheets; ++i) {
        QXExcelPage empty(folder, i);
        if (fs::exists(empty.sheetXMLPath()))
            continue;
        if (!empty.writeSheetXML())
            throw XMLWriterException("Can't write " + empty.sheetXMLPath());
    }
}

void QXExcelWriter::writeRels(const std::string& folder)
{
    part::writeXMLPart(folder + "/_rels/.rels", [](XMLFileWriter& writer) {
        writer.writeStartElement("Relationships");
        writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_Rels());
        writeEmpty(writer, "Relationship",
                   {{"Id", "rId1"}, {"Type", kRelationshipTypes + "officeDocument"}, {"Target", "xl/workbook.xml"}});
        writeEmpty(writer, "Relationship",
                   {{"Id", "rId2"}, {"Type", kCorePropertiesRelationship}, {"Target", "docProps/core.xml"}});
        writeEmpty(writer, "Relationship",
                   {{"Id", "rId3"},
                    {"Type", kRelationshipTypes + "extended-properties"},
                    {"Target", "docProps/app.xml"}});
        writer.writeEndElement();
    });
}

void QXExcelWriter::writeContentTypes(const std::string& folder)
{
    part::writeXMLPart(folder + "/[Content_Types].xml", [this](XMLFileWriter& writer) {
        writer.writeStartElement("Types");
        writer.writeAttribute("xmlns", kContentTypes);
        writeEmpty(writer, "Default", {{"Extension", "xml"}, {"ContentType", "application/xml"}});
        writeEmpty(writer, "Default", {{"Extension", "jpeg"}, {"ContentType", "image/jpeg"}});
        writeEmpty(writer, "Default", {{"Extension", "png"}, {"ContentType", "image/png"}});
        writeEmpty(writer, "Default",
                   {{"Extension", "rels"}, {"ContentType", "application/vnd.openxmlformats-package.relationships+xml"}});
        static const std::pair<const char*, const char*> kOverrides[] = {
            {"/xl/sharedStrings.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"},
            {"/xl/styles.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"},
            {"/xl/theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml"},
            {"/xl/workbook.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"},
            {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
            {"/docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
        };
        for (const auto& [name, type] : kOverrides)
            writeEmpty(writer, "Override", {{"PartName", name}, {"ContentType", type}});
        for (uint64_t i = 1; i <= totalSheetPages_; ++i)
            writeEmpty(writer, "Override",
                       {{"PartName", "/xl/worksheets/sheet" + formatUnsigned(i) + ".xml"},
                        {"ContentType", "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"}});
        writer.writeEndElement();
    });
}

void QXExcelWriter::writeDocPropsApp(const std::string& folder)
{
    part::writeXMLPart(folder + "/docProps/app.xml", [this](XMLFileWriter& writer) {
        const std::string& vt = QXOpenXMLNameSpace::nameSpace_vt();
        writer.setPrefix("vt", vt);
        writer.writeStartElement("Properties");
        writer.writeAttribute("xmlns", kExtendedProperties);
        writeTextElement(writer, "Application", "Microsoft Excel");
        writeTextElement(writer, "DocSecurity", "0");
        writeTextElement(writer, "ScaleCrop", "false");
        writer.writeStartElement("HeadingPairs");
        writer.writeStartElementWithNamespace(vt, "vector");
        writer.writeAttribute("size", "2");
        writer.writeAttribute("baseType", "variant");
        writer.writeStartElementWithNamespace(vt, "variant");
        writeTextElementNS(writer, vt, "lpstr", "worksheet");
        writer.writeEndElement();
        writer.writeStartElementWithNamespace(vt, "variant");
        writeTextElementNS(writer, vt, "i4", formatUnsigned(totalSheetPages_));
        writer.writeEndElement();
        writer.writeEndElement();
        writer.writeEndElement();
        writer.writeStartElement("TitlesOfParts");
        writer.writeStartElementWithNamespace(vt, "vector");
        writer.writeAttribute("size", formatUnsigned(totalSheetPages_));
        writer.writeAttribute("baseType", "lpstr");
        for (uint64_t i = 1; i <= totalSheetPages_; ++i)
            writeTextElementNS(writer, vt, "lpstr", "Sheet " + formatUnsigned(i));
        writer.writeEndElement();
        writer.writeEndElement();
        writeTextElement(writer, "Company", pdfInfo_ ? pdfInfo_->creator() : std::string());
        writeTextElement(writer, "Manager", pdfInfo_ ? pdfInfo_->producer() : std::string());
        writeTextElement(writer, "LinksUpToDate", "false");
        writeTextElement(writer, "SharedDoc", "false");
        writeTextElement(writer, "HyperlinksChanged", "false");
        writeTextElement(writer, "AppVersion", "12.0000");
        writer.writeEndElement();
    });
}

void QXExcelWriter::writeDocPropsCore(const std::string& folder)
{
    const std::string& cp = QXOpenXMLNameSpace::nameSpace_cp();
    const std::string& dc = QXOpenXMLNameSpace::nameSpace_dc();
    const QXPDFInfo info = pdfInfo_ ? *pdfInfo_ : QXPDFInfo();
    QXPackagePart::writeCoreProperties(folder + "/docProps/core.xml", {{dc, "title", info.title()},
                                                                       {dc, "subject", info.subject()},
                                                                       {dc, "creator", info.author()},
                                                                       {cp, "keywords", info.keywords()},
                                                                       {dc, "description", info.note()},
                                                                       {cp, "lastModifiedBy", kApplicationName}});
}

void QXExcelWriter::writeWorkbookRels(const std::string& folder)
{
    sheetIdsList_.clear();
    part::writeXMLPart(folder + "/xl/_rels/workbook.xml.rels", [this](XMLFileWriter& writer) {
        writer.writeStartElement("Relationships");
        writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_Rels());
        for (size_t i = 0; i < excelRelationships_.size(); ++i) {
            const std::string id = "rId" + formatUnsigned(i + 1);
            if (excelRelationships_[i].type == QXOpenXMLNameSpace::nameSpace_Rels_WorkSheet())
                sheetIdsList_.push_back(id);
            writeEmpty(writer, "Relationship",
                       {{"Id", id}, {"Type", excelRelationships_[i].type}, {"Target", excelRelationships_[i].target}});
        }
        writer.writeEndElement();
    });
}

void QXExcelWriter::writeWorkbook(const std::string& folder)
{
    part::writeXMLPart(folder + "/xl/workbook.xml", [this](XMLFileWriter& writer) {
        const std::string& r = QXOpenXMLNameSpace::nameSpace_r();
        writer.setPrefix("r", r);
        writer.writeStartElement("workbook");
        writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());
        writeEmpty(writer, "fileVersion",
                   {{"appName", "xl"}, {"lastEdited", "4"}, {"lowestEdited", "4"}, {"rupBuild", "4506"}});
        writeEmpty(writer, "workbookPr", {{"defaultThemeVersion", "124226"}});
        writer.writeStartElement("bookViews");
        writeEmpty(writer, "workbookView",
                   {{"xWindow", "240"},
                    {"yWindow", "15"},
                    {"windowWidth", "11670"},
                    {"windowHeight", "9480"},
                    {"activeTab", "0"}});
        writer.writeEndElement();
        writer.writeStartElement("sheets");
        for (size_t i = 0; i < sheetIdsList_.size(); ++i) {
            writer.writeStartElement("sheet");
            writer.writeAttribute("name", "Sheet " + formatUnsigned(i + 1));
            writer.writeAttribute("sheetId", formatUnsigned(i + 1));
            writer.writeAttributeWithNamespace(r, "id", sheetIdsList_[i]);
            writer.writeEndElement();
        }
        writer.writeEndElement();
        writeEmpty(writer, "calcPr", {{"calcId", "125725"}});
        writer.writeEndElement();
    });
}

void QXExcelWriter::packPackage(const std::string& zipPath)
{
    QXPackagePart::packFolder(workFolder_.path(), zipPath, {"_rels", "[Content_Types].xml", "docProps", "xl"});
}

void QXExcelWriter::moveCSVFolderIntoPlace()
{
    const fs::path from(workFolder_.path());
    const fs::path to(savedFilePath_);
    std::error_code ec;
    // A claim left by the caller (an empty folder or an empty file) is
    // taken over; anything else at the destination is never overwritten.
    if (fs::is_directory(fs::symlink_status(to, ec)) && fs::is_empty(to, ec)) {
        fs::remove(to, ec);
    } else if (fs::is_regular_file(fs::symlink_status(to, ec)) && fs::file_size(to, ec) == 0) {
        fs::remove(to, ec);
    } else if (fs::exists(fs::symlink_status(to, ec))) {
        QXWorkFolder::failWriting(savedFilePath_, "something is in the way");
    }
    ec.clear();
    fs::rename(from, to, ec);
    if (!ec)
        return;
    // Another file system: copy beside the destination, then rename, so the
    // destination never holds a partial folder.
    std::string partialName = ".";
    partialName.append(to.filename().string()).append("-").append(makeUuidString());
    const fs::path partial = to.parent_path() / partialName;
    if (!copyFolder(from, partial)) {
        fs::remove_all(partial, ec);
        QXWorkFolder::failWriting(savedFilePath_, "the tables could not be copied");
    }
    fs::rename(partial, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        QXWorkFolder::failWriting(savedFilePath_, ec.message());
    }
}

void QXExcelWriter::packetZipFileIfNeed(const std::shared_ptr<pdf::Document>& document)
{
    workFolder_.assemble(savedFilePath_, [&](const std::string& folder) {
        if (failure_)
            QXWorkFolder::failWriting(savedFilePath_, *failure_);
        if (!isExcelConvert()) {
            moveCSVFolderIntoPlace();
            return;
        }
        pdfInfo_ = QXPDFInfo::initWithCGPDFDocument(document);
        part::makeFolder(folder + "/xl/worksheets");
        writeMissingSheets(folder);
        writeRels(folder);
        writeContentTypes(folder);
        writeDocPropsApp(folder);
        writeDocPropsCore(folder);
        writeWorkbookRels(folder);
        sharedStrings_->endWrite();
        QXExcelManager::sharedInstance().excelStyle().writeStyleTo(folder);
        part::writeBytesPart(folder + "/xl/theme/theme1.xml", QXDrawingTheme::theme1("Sheets"));
        writeWorkbook(folder);
        if (QXExcelManager::sharedInstance().isAllInOneSheetEnabled() && !aiosWriter_->writeSheetXML())
            throw XMLWriterException("Can't write " + aiosWriter_->sheetXMLPath());
        // The package is made inside the work folder, beside the entries it
        // holds, and moved into place only when complete.
        const std::string zipPath = folder + "/package.xlsx";
        packPackage(zipPath);
        QXWorkFolder::moveFileIntoPlace(zipPath, savedFilePath_);
    });
}

} // namespace rz
