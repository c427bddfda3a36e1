#include "docx/layout/QXDocxWriter.h"

#include "converter/ooxml/QXDocxCounters.h"

namespace rz {

QXDocxWriter::QXDocxWriter() = default;
QXDocxWriter::~QXDocxWriter() = default;

void QXDocxWriter::initWithPath(const std::string& path, std::int64_t numOfPages)
{
    savedFilePath_ = path;
    docxNumOfPages_ = numOfPages;
}

void QXDocxWriter::setBegainDocxOptions()
{
    QXDocxResetDocumentCounters();
    currentDocxPageIndex_ = 1;
}

void QXDocxWriter::begainWriteDocument()
{
    setBegainDocxOptions();
}

void QXDocxWriter::begainWritePage(Size pageSize, std::int64_t pdfPageIndex)
{
    QXDocxScanCounter = 0;
    currentPage_.reset();
    currentPage_ = std::make_shared<QXDocxPage>(documentWriter_, pageSize, currentDocxPageIndex_ == 1,
                                                currentDocxPageIndex_ >= docxNumOfPages_);
    currentPage_->setDocxWriter(this);
    currentPage_->setPdfPageIndex(pdfPageIndex);
    currentPage_->begainWritePage(currentDocxPageIndex_);
}

void QXDocxWriter::endWritePage()
{
    if (currentPage_)
        currentPage_->endWritePage(currentDocxPageIndex_);
    currentPage_.reset();
    ++currentDocxPageIndex_;
}

void QXDocxWriter::endWriteDocument() {}

void QXDocxWriter::packetZipFileIfNeed() {}

} // namespace rz
