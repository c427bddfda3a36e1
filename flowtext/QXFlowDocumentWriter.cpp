#include "flowtext/QXFlowDocumentWriter.h"

#include "converter/ooxml/QXDocxCounters.h"

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
    savedFilePath_ = path;
    docxNumOfPages_ = numOfPages;
    workFolder_.create(path);
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
    QXWorkFolder::failWriting(savedFilePath_, why);
}

void QXFlowDocumentWriter::moveFileIntoPlace(const std::string& file, const std::string& destination)
{
    QXWorkFolder::moveFileIntoPlace(file, destination);
}

void QXFlowDocumentWriter::removeWorkFolder()
{
    workFolder_.remove();
}

} // namespace rz
