#include "flowtext/text/QXTextWriter.h"

#include "flowtext/text/QXTextPage.h"

namespace rz {

void QXTextWriter::begainWriteDocument()
{
    if (documentWriter_)
        documentWriter_->closeFile();
    documentWriter_ = std::make_shared<QXTextFileWriter>();
    workFilePath_ = savedWorkFolder() + "/content.txt";
    documentWriter_->openPath(workFilePath_);
    setBegainDocxOptions();
}

std::shared_ptr<QXFlowPage> QXTextWriter::newPage()
{
    return std::make_shared<QXTextPage>();
}

std::shared_ptr<QXFlowFileWriter> QXTextWriter::pageWriter() const
{
    return documentWriter_;
}

void QXTextWriter::packetZipFileIfNeed()
{
    if (!documentWriter_)
        failWriting("the document was never begun");
    documentWriter_->closeFile();
    if (documentWriter_->failed()) {
        removeWorkFolder();
        failWriting("the text could not be written");
    }
    try {
        moveFileIntoPlace(workFilePath_, savedFilePath());
    } catch (...) {
        removeWorkFolder();
        throw;
    }
    removeWorkFolder();
}

} // namespace rz
