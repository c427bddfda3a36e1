#include "converter/QXWorkFolder.h"

#include "converter/QXError.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "platform/core/Uuid.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace rz {

QXWorkFolder::~QXWorkFolder()
{
    remove();
}

void QXWorkFolder::create(const std::string& destination)
{
    remove();
    parent_ = QXPDFPathUtilities::tempFolder();
    std::string name = fs::path(destination).filename().string();
    if (name.empty() || name == "." || name == "..")
        name = "document";
    path_ = QXPDFPathUtilities::getNewPathby(parent_ + "/" + name);
    QXPDFPathUtilities::createFolderIfNeed(path_);
}

void QXWorkFolder::remove()
{
    std::error_code ec;
    if (!path_.empty())
        fs::remove_all(path_, ec);
    if (!parent_.empty())
        fs::remove(parent_, ec); // only when nothing else is in it
    path_.clear();
    parent_.clear();
}

void QXWorkFolder::assemble(const std::string& destination, const std::function<void(const std::string&)>& build)
{
    try {
        if (path_.empty())
            failWriting(destination, "the document was never begun");
        build(path_);
    } catch (const XMLWriterException& error) {
        remove();
        failWriting(destination, error.reason());
    } catch (const fs::filesystem_error& error) {
        remove();
        failWriting(destination, error.what());
    } catch (...) {
        remove();
        throw;
    }
    remove();
}

void QXWorkFolder::failWriting(const std::string& destination, const std::string& why)
{
    throw QXConversionException("Can't write the document " + destination + ": " + why);
}

void QXWorkFolder::moveFileIntoPlace(const std::string& file, const std::string& destination)
{
    std::error_code ec;
    fs::rename(file, destination, ec);
    if (!ec)
        return;
    // Another file system: copy beside the destination, then rename over it,
    // so the destination never holds a partial file.
    const fs::path target(destination);
    std::string partialName = ".";
    partialName.append(target.filename().string()).append("-").append(makeUuidString());
    const fs::path partial = target.parent_path() / partialName;
    std::error_code copyError;
    fs::copy_file(file, partial, fs::copy_options::overwrite_existing, copyError);
    if (!copyError)
        fs::rename(partial, target, copyError);
    if (copyError) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        failWriting(destination, copyError.message());
    }
    fs::remove(file, ec);
}

} // namespace rz
