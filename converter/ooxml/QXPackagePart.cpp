#include "converter/ooxml/QXPackagePart.h"

#include "converter/ooxml/XMLFileWriter.h"

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

} // namespace rz::QXPackagePart
