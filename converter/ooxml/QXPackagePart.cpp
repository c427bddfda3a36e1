#include "converter/ooxml/QXPackagePart.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/QXZipArchive.h"
#include "converter/ooxml/XMLFileWriter.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace rz::QXPackagePart {

std::string partialPath(const std::string& path)
{
    return path + ".partial";
}

void makeFolder(const std::string& folder)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder))
        throw XMLWriterException("Can't create the folder " + folder + (ec ? ": " + ec.message() : std::string()));
}

void renameIntoPlace(const std::string& partial, const std::string& path)
{
    std::error_code ec;
    fs::rename(partial, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw XMLWriterException("Can't write " + path + ": " + ec.message());
    }
}

void writeXMLPart(const std::string& path, const std::function<void(XMLFileWriter&)>& body)
{
    makeFolder(fs::path(path).parent_path().string());
    const std::string partial = partialPath(path);
    try {
        XMLFileWriter writer(partial);
        writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        body(writer);
        writer.writeEndDocument();
    } catch (...) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw;
    }
    renameIntoPlace(partial, path);
}

void writeBytesPart(const std::string& path, std::string_view bytes)
{
    makeFolder(fs::path(path).parent_path().string());
    const std::string partial = partialPath(path);
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            throw XMLWriterException("Can't write " + path);
        }
    }
    renameIntoPlace(partial, path);
}

void writeEmpty(XMLFileWriter& writer, std::string_view name,
                std::initializer_list<std::pair<std::string_view, std::string_view>> attributes)
{
    writer.writeStartElement(name);
    for (const auto& [attribute, value] : attributes)
        writer.writeAttribute(attribute, value);
    writer.writeEndElement();
}

void writeEmptyNS(XMLFileWriter& writer, const std::string& ns, std::string_view name,
                  std::initializer_list<std::pair<std::string_view, std::string_view>> attributes)
{
    writer.writeStartElementWithNamespace(ns, name);
    for (const auto& [attribute, value] : attributes)
        writer.writeAttribute(attribute, value);
    writer.writeEndElement();
}

void writeTextElement(XMLFileWriter& writer, std::string_view name, std::string_view text)
{
    writer.writeStartElement(name);
    writer.writeCharacters(text);
    writer.writeEndElement();
}

void writeTextElementNS(XMLFileWriter& writer, const std::string& ns, std::string_view name, std::string_view text)
{
    writer.writeStartElementWithNamespace(ns, name);
    writer.writeCharacters(text);
    writer.writeEndElement();
}

std::string currentW3CDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void packFolder(const std::string& folder, const std::string& zipPath, std::initializer_list<const char*> entries,
                const std::vector<HeldPart>& held)
{
    QXZipArchive zip;
    if (!zip.CreateZipFile2(zipPath))
        throw XMLWriterException("the package could not be created");
    for (const char* entry : entries) {
        const std::string path = folder + "/" + entry;
        const bool added = fs::is_directory(path) ? zip.addFolderToZip(path, entry) : zip.addFileToZip(path, entry);
        if (!added)
            throw XMLWriterException(std::string("the package entry ") + entry + " could not be added");
    }
    for (const HeldPart& part : held)
        if (!zip.addBytesToZip(part.bytes, part.name))
            throw XMLWriterException("the package entry " + part.name + " could not be added");
    if (!zip.CloseZipFile2())
        throw XMLWriterException("the package could not be completed");
}

void writeCoreProperties(const std::string& path, const std::vector<CoreProperty>& properties)
{
    writeXMLPart(path, [&](XMLFileWriter& writer) {
        const std::string& cp = QXOpenXMLNameSpace::nameSpace_cp();
        const std::string& dcterms = QXOpenXMLNameSpace::nameSpace_dcterms();
        const std::string& xsi = QXOpenXMLNameSpace::nameSpace_xsi();
        writer.setPrefix("cp", cp);
        writer.setPrefix("dc", QXOpenXMLNameSpace::nameSpace_dc());
        writer.setPrefix("dcterms", dcterms);
        writer.setPrefix("dcmitype", QXOpenXMLNameSpace::nameSpace_dcmitype());
        writer.setPrefix("xsi", xsi);
        writer.writeStartElementWithNamespace(cp, "coreProperties");
        for (const CoreProperty& property : properties)
            writeTextElementNS(writer, property.ns, property.name, property.text);
        const std::string now = currentW3CDate();
        for (const char* name : {"created", "modified"}) {
            writer.writeStartElementWithNamespace(dcterms, name);
            writer.writeAttributeWithNamespace(xsi, "type", "dcterms:W3CDTF");
            writer.writeCharacters(now);
            writer.writeEndElement();
        }
        writer.writeEndElement();
    });
}

} // namespace rz::QXPackagePart
