// The parts of the DOCX package other than the streamed main part, and the
// packing of the work folder into the output file.
#include "converter/QXError.h"
#include "converter/ooxml/MediaContentType.h"
#include "converter/ooxml/QXDocxCounters.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/QXPackagePart.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxPackageTemplates.h"
#include "docx/layout/QXDocxWriter.h"

#include "converter/ooxml/MediaContentType.h"
#include "platform/text/Ascii.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>
#include <unordered_map>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace rz {

namespace names = QXDocxPackageNames;

namespace {

// Creates `folder` and the folders above it; raises when it cannot.
void makeFolder(const std::string& folder)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder))
        throw XMLWriterException("Can't create the folder " + folder +
                                 (ec ? ": " + ec.message() : std::string()));
}

// A new part at `path` with its XML declaration written.
std::unique_ptr<XMLFileWriter> startPart(const std::string& path)
{
    makeFolder(fs::path(path).parent_path().string());
    auto writer = std::make_unique<XMLFileWriter>(path);
    writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    return writer;
}

void writeEmptyWithAttributes(XMLFileWriter& writer, std::string_view name,
                              std::initializer_list<std::pair<std::string_view, std::string_view>> attributes)
{
    writer.writeStartElement(name);
    for (const auto& [attribute, value] : attributes)
        writer.writeAttribute(attribute, value);
    writer.writeEndElement();
}

// Writes a fixed part as it is, through a file beside it renamed into place.
void writeTemplate(const std::string& path, std::string_view text)
{
    makeFolder(fs::path(path).parent_path().string());
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out)
            throw XMLWriterException("Can't write " + path);
    }
    std::error_code ec;
    fs::rename(partial, path, ec);
    if (ec)
        throw XMLWriterException("Can't write " + path + ": " + ec.message());
}

// Moves `from` to `to`, copying across file systems.
bool moveFile(const std::string& from, const std::string& to)
{
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec)
        return true;
    ec.clear();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
        return false;
    fs::remove(from, ec);
    return true;
}

} // namespace

void QXDocxWriter::docxWriteRels(const std::string& folder)
{
    auto writer = startPart(folder + "/_rels/.rels");
    const std::string prefix(names::kRelationshipTypePrefix);
    writer->writeStartElement("Relationships");
    writer->writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_Rels());
    writeEmptyWithAttributes(*writer, "Relationship",
                             {{"Id", "rId1"}, {"Type", prefix + "extended-properties"}, {"Target", "docProps/app.xml"}});
    writeEmptyWithAttributes(*writer, "Relationship",
                             {{"Id", "rId2"}, {"Type", names::kCorePropertiesRelationship}, {"Target", "docProps/core.xml"}});
    writeEmptyWithAttributes(*writer, "Relationship",
                             {{"Id", "rId3"}, {"Type", prefix + "officeDocument"}, {"Target", "word/document.xml"}});
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteDocPropsApp(const std::string& folder)
{
    auto writer = startPart(folder + "/docProps/app.xml");
    writer->setPrefix("vt", QXOpenXMLNameSpace::nameSpace_vt());
    writer->writeStartElement("Properties");
    writer->writeAttribute("xmlns", names::kExtendedProperties);
    static const std::pair<const char*, const char*> kProperties[] = {
        {"Template", "Normal.dotm"},  {"TotalTime", "0"},        {"Application", "Microsoft Office Word"},
        {"DocSecurity", "0"},         {"ScaleCrop", "false"},    {"Company", ""},
        {"LinksUpToDate", "false"},   {"SharedDoc", "false"},    {"HyperlinksChanged", "false"},
    };
    for (const auto& [name, value] : kProperties) {
        writer->writeStartElement(name);
        if (*value)
            writer->writeCharacters(std::string_view(value));
        writer->writeEndElement();
    }
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteDocPropsCore(const std::string& folder)
{
    auto writer = startPart(folder + "/docProps/core.xml");
    writer->setPrefix("cp", QXOpenXMLNameSpace::nameSpace_cp());
    writer->setPrefix("dc", QXOpenXMLNameSpace::nameSpace_dc());
    writer->setPrefix("dcterms", QXOpenXMLNameSpace::nameSpace_dcterms());
    writer->setPrefix("dcmitype", QXOpenXMLNameSpace::nameSpace_dcmitype());
    writer->setPrefix("xsi", QXOpenXMLNameSpace::nameSpace_xsi());
    writer->writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_cp(), "coreProperties");
    writer->writeEndElement();
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteContentTypes(const std::string& folder)
{
    auto writer = startPart(folder + "/[Content_Types].xml");
    writer->writeStartElement("Types");
    writer->writeAttribute("xmlns", names::kContentTypes);
    writeEmptyWithAttributes(*writer, "Default",
                             {{"Extension", "rels"}, {"ContentType", "application/vnd.openxmlformats-package.relationships+xml"}});
    writeEmptyWithAttributes(*writer, "Default", {{"Extension", "xml"}, {"ContentType", "application/xml"}});
    std::vector<std::pair<std::string, std::string>> overrides = {
        {"/docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
        {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
        {"/word/document.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
        {"/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"},
        {"/word/settings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"},
        {"/word/theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml"},
        {"/word/fontTable.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml"},
        {"/word/webSettings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml"},
    };
    for (const auto& [part, type] : overrides)
        writeEmptyWithAttributes(*writer, "Override", {{"PartName", part}, {"ContentType", type}});
    std::map<std::string, std::string> defaults = {
        {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"jp2", "image/jp2"}, {"png", "image/png"}};
    for (const auto& [extension, type] : defaults)
        writeEmptyWithAttributes(*writer, "Default", {{"Extension", extension}, {"ContentType", type}});
    // Every media part is declared as what its bytes hold: by its
    // extension's default when that agrees, else by a default for a new
    // extension, else by an override of its own.
    std::map<std::string, std::string> sources; // relationship id -> media file
    for (const auto& [path, id] : docxMediaIds_)
        sources.emplace(id, path);
    for (const Relationship& relationship : docxRelationships_) {
        if (relationship.target.rfind("media/", 0) != 0)
            continue;
        std::string extension = fs::path(relationship.target).extension().string();
        extension = extension.size() < 2 ? std::string() : asciiLower(extension.substr(1));
        const auto source = sources.find(relationship.id);
        const std::string type = mediaContentTypeOfFile(source == sources.end() ? std::string() : source->second,
                                                        extension);
        if (!extension.empty()) {
            const auto [declared, added] = defaults.emplace(extension, type);
            if (added) {
                writeEmptyWithAttributes(*writer, "Default", {{"Extension", extension}, {"ContentType", type}});
                continue;
            }
            if (declared->second == type)
                continue;
        }
        writeEmptyWithAttributes(*writer, "Override",
                                 {{"PartName", "/word/" + relationship.target}, {"ContentType", type}});
    }
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteWordMedia(const std::string& folder)
{
    const std::string media = folder + "/word/media";
    makeFolder(media);
    std::unordered_map<std::string_view, const Relationship*> byId;
    byId.reserve(docxRelationships_.size());
    for (const Relationship& relationship : docxRelationships_)
        byId.emplace(relationship.id, &relationship);
    for (const auto& entry : docxMediaCollection_) {
        const std::string& path = entry->first;
        const auto relationship = byId.find(entry->second);
        if (relationship == byId.end())
            continue;
        // The main part names this image already: a package without it
        // would be broken.
        if (!moveFile(path, folder + "/word/" + relationship->second->target))
            throw XMLWriterException("Can't package the image " + path);
    }
}

void QXDocxWriter::docxWriteWordRels(const std::string& folder)
{
    auto writer = startPart(folder + "/word/_rels/document.xml.rels");
    writer->writeStartElement("Relationships");
    writer->writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_Rels());
    for (const Relationship& relationship : docxRelationships_)
        writeEmptyWithAttributes(*writer, "Relationship",
                                 {{"Id", relationship.id},
                                  {"Type", std::string(names::kRelationshipTypePrefix) + relationship.type},
                                  {"Target", relationship.target}});
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteWordFontTable(const std::string& folder)
{
    auto writer = startPart(folder + "/word/fontTable.xml");
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer->setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    writer->setPrefix("w", w);
    writer->writeStartElementWithNamespace(w, "fonts");
    for (const FontEntry& font : docxFontTable_) {
        writer->writeStartElementWithNamespace(w, "font");
        writer->writeAttributeWithNamespace(w, "name", font.altName);
        const std::pair<const char*, const std::string*> values[] = {
            {"altName", &font.altName}, {"charset", &font.charset}, {"family", &font.family}, {"pitch", &font.pitch}};
        for (const auto& [name, value] : values) {
            writer->writeStartElementWithNamespace(w, name);
            writer->writeAttributeWithNamespace(w, "val", *value);
            writer->writeEndElement();
        }
        writer->writeEndElement();
    }
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteWordSettings(const std::string& folder)
{
    auto writer = startPart(folder + "/word/settings.xml");
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer->setPrefix("o", names::kOffice);
    writer->setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    writer->setPrefix("m", names::kMath);
    writer->setPrefix("v", names::kVML);
    writer->setPrefix("w10", names::kWord10);
    writer->setPrefix("w", w);
    writer->setPrefix("sl", names::kSchemaLibrary);
    writer->writeStartElementWithNamespace(w, "settings");
    static const std::pair<const char*, const char*> kValues[] = {
        {"defaultTabStop", "720"},
        {"drawingGridHorizontalSpacing", "110"},
        {"displayHorizontalDrawingGridEvery", "2"},
        {"characterSpacingControl", "doNotCompress"},
    };
    writer->writeStartElementWithNamespace(w, "zoom");
    writer->writeAttributeWithNamespace(w, "percent", "120");
    writer->writeEndElement();
    for (const auto& [name, value] : kValues) {
        writer->writeStartElementWithNamespace(w, name);
        writer->writeAttributeWithNamespace(w, "val", value);
        writer->writeEndElement();
    }
    writer->writeStartElementWithNamespace(w, "compat");
    writer->writeEmptyElementWithNamespace(w, "ulTrailSpace");
    writer->writeEmptyElementWithNamespace(w, "useFELayout");
    writer->writeEndElement();
    writer->writeEndDocument();
}

void QXDocxWriter::docxWriteWordStyles(const std::string& folder)
{
    writeTemplate(folder + "/word/styles.xml", QXDocxPackageTemplates::styles());
}

void QXDocxWriter::docxWriteWordTheme1(const std::string& folder)
{
    writeTemplate(folder + "/word/theme/theme1.xml", QXDocxPackageTemplates::theme1());
}

void QXDocxWriter::docxWriteWordWebSettings(const std::string& folder)
{
    writeTemplate(folder + "/word/webSettings.xml", QXDocxPackageTemplates::webSettings());
}

void QXDocxWriter::packPackage(const std::string& zipPath)
{
    QXPackagePart::packFolder(workFolder_.path(), zipPath, {"_rels", "[Content_Types].xml", "docProps", "word"});
}

void QXDocxWriter::packetZipFileIfNeed()
{
    workFolder_.assemble(savedFilePath_, [this](const std::string& folder) {
        if (!documentWriter_)
            failWriting("the document was never begun");
        if (documentWriter_->isOpen())
            failWriting("the document was never ended");
        makeFolder(folder + "/word");
        docxWriteRels(folder);
        docxWriteDocPropsApp(folder);
        docxWriteDocPropsCore(folder);
        docxWriteContentTypes(folder);
        docxWriteWordMedia(folder);
        docxWriteWordRels(folder);
        docxWriteWordFontTable(folder);
        docxWriteWordSettings(folder);
        docxWriteWordStyles(folder);
        docxWriteWordTheme1(folder);
        // No stylesWithEffects part: the markup version written is 2006.
        docxWriteWordWebSettings(folder);
        // The package is made inside the work folder, beside the four
        // entries it holds, and moved into place only when complete.
        const std::string zipPath = folder + "/package.docx";
        packPackage(zipPath);
        QXWorkFolder::moveFileIntoPlace(zipPath, savedFilePath_);
    });
}

} // namespace rz
