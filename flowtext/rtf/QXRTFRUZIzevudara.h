// The RTF document writer: the body is streamed page by page into a content
// file in the work folder; at the end the destination is written: the RTF
// header, the font and colour tables of every font and colour the body
// used, an information group, then the body.
#pragma once

#include "flowtext/QXFlowDocumentWriter.h"
#include "flowtext/rtf/QXRTFFileWriter.h"

#include <memory>
#include <string>

namespace rz {

class QXRTFRUZIzevudara : public QXFlowDocumentWriter {
public:
    QXRTFRUZIzevudara() = default;

    // Opens the content file "content.rtf" and the document's work file,
    // resets the document-wide counters and the font and colour tables.
    void begainWriteDocument() override;
    // Writes the document and moves it to the destination; raises
    // QXConversionException when something could not be written.
    void packetZipFileIfNeed() override;

    const std::shared_ptr<QXRTFFileWriter>& documentWriter() const { return documentWriter_; }
    const std::shared_ptr<QXRTFFileWriter>& contentWriter() const { return contentWriter_; }

protected:
    std::shared_ptr<QXFlowPage> newPage() override;
    std::shared_ptr<QXFlowFileWriter> pageWriter() const override { return contentWriter_; }

private:
    std::shared_ptr<QXRTFFileWriter> documentWriter_;
    std::shared_ptr<QXRTFFileWriter> contentWriter_;
    std::string contentPath_;
    std::string documentPath_;
};

} // namespace rz
