// The plain-text document writer: every page's text goes into one UTF-8
// work file, which becomes the destination when the document is complete.
#pragma once

#include "flowtext/QXFlowDocumentWriter.h"
#include "flowtext/text/QXTextFileWriter.h"

#include <memory>

namespace rz {

class QXTextWriter : public QXFlowDocumentWriter {
public:
    QXTextWriter() = default;

    // Opens the work file "content.txt" in the work folder and resets the
    // document-wide counters.
    void begainWriteDocument() override;
    // Closes the work file and moves it to the destination; raises
    // QXConversionException when a write failed or the move is impossible.
    void packetZipFileIfNeed() override;

    // The file writer the pages write into (null before the document begins).
    const std::shared_ptr<QXTextFileWriter>& textFileWriter() const { return documentWriter_; }

protected:
    std::shared_ptr<QXFlowPage> newPage() override;
    std::shared_ptr<QXFlowFileWriter> pageWriter() const override;

private:
    std::shared_ptr<QXTextFileWriter> documentWriter_;
    std::string workFilePath_;
};

} // namespace rz
