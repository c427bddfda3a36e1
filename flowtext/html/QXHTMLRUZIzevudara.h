// The HTML document writer: the body is streamed page by page into a
// content file in the work folder; at the end the destination is written:
// an HTML 4 header, the style sheet of every paragraph and span class the
// body used, then the body.
#pragma once

#include "flowtext/QXFlowDocumentWriter.h"
#include "flowtext/html/QXHTMLFileWriter.h"

#include <memory>
#include <string>

namespace rz {

class QXHTMLRUZIzevudara : public QXFlowDocumentWriter {
public:
    QXHTMLRUZIzevudara() = default;

    // Opens the content file "content.html" and the document's work file,
    // resets the document-wide counters and the CSS registry.
    void begainWriteDocument() override;
    // Writes the document and moves it to the destination; raises
    // QXConversionException when something could not be written.
    void packetZipFileIfNeed() override;

    const std::shared_ptr<QXHTMLFileWriter>& documentWriter() const { return documentWriter_; }
    const std::shared_ptr<QXHTMLFileWriter>& contentWriter() const { return contentWriter_; }

protected:
    std::shared_ptr<QXFlowPage> newPage() override;
    std::shared_ptr<QXFlowFileWriter> pageWriter() const override { return contentWriter_; }

private:
    std::shared_ptr<QXHTMLFileWriter> documentWriter_;
    std::shared_ptr<QXHTMLFileWriter> contentWriter_;
    std::string contentPath_;
    std::string documentPath_;
};

} // namespace rz
