#include "flowtext/QXFlowDocumentWriter.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXDocxCounters.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "platform/core/Uuid.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace rz {

QXFlowDocumentWriter::QXFlowDocumentWriter()
{
    QXDocxSetText(docxProperty_.view, "page");
    docxProperty_.zoom = 100.0f;
}

QXFlowDocumentWriter::~QXFlowDocumentWriter()
{
    removeWorkFolder();
}

void QXFlowDocumentWriter::initWithPath(const std::string& path, std::int64_t numOfPages)
{
    removeWorkFolder();
    savedFilePath_ = path;
    docxNumOfPages_ = numOfPages;
    workFolderParent_ = QXPDFPathUtilities::tempFolder();
    std::string name = fs::path(path).filename().string();
    if (name.empty() || name == "." || name == "..")
        name = "document";
    savedWorkFolder_ = QXPDFPathUtilities::getNewPathby(workFolderParent_ + "/" + name);
    QXPDFPathUtilities::createFolderIfNeed(savedWorkFolder_);
}

void QXFlowDocumentWriter::setBegainDocxOptions()
{
    QXDocxResetDocumentCounters();
    currentDocxPageIndex_ = 0;
}

void QXFlowDocumentWriter::begainWritePage(Size pageSize)
{
    QXDocxScanCounter = 0;
    currentPage_.reset();
    ++currentDocxPageIndex_;
    currentPage_ = newPage();
    currentPage_->initWithXMLWriter(pageWriter(), pageSize, currentDocxPageIndex_ >= docxNumOfPages_);
    currentPage_->begainWritePage(currentDocxPageIndex_);
}

void QXFlowDocumentWriter::endWritePage()
{
    if (currentPage_)
        currentPage_->endWritePage(currentDocxPageIndex_);
}

void QXFlowDocumentWriter::failWriting(const std::string& why) const
{
    throw QXConversionException("Can't write the document " + savedFilePath_ + ": " + why);
}

void QXFlowDocumentWriter::moveFileIntoPlace(const std::string& file, const std::string& destination)
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
        throw QXConversionException("Can't write the document " + destination + ": " + copyError.message());
    }
    fs::remove(file, ec);
}

void QXFlowDocumentWriter::removeWorkFolder()
{
    std::error_code ec;
    if (!savedWorkFolder_.empty())
        fs::remove_all(savedWorkFolder_, ec);
    if (!workFolderParent_.empty())
        fs::remove(workFolderParent_, ec); // only when nothing else is in it
    savedWorkFolder_.clear();
    workFolderParent_.clear();
}

} // namespace rz
