// The document writer every flow-text format shares: a work folder, one page
// object per PDF page, the document-wide counters, and moving the finished
// output into place. The formats (QXTextWriter, QXHTMLRUZIzevudara,
// QXRTFRUZIzevudara) say which page and file writers they make and how the
// destination is assembled.
//
// The destination is written into the work folder and moved into place only
// when complete; a document that could not be written ends with a
// QXConversionException from packetZipFileIfNeed. The work folder is removed
// when the writer goes.
#pragma once

#include "converter/QXWorkFolder.h"
#include "converter/ooxml/QXDocxRecords.h"
#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/QXFlowPage.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rz {

class QXFlowDocumentWriter {
public:
    QXFlowDocumentWriter();
    virtual ~QXFlowDocumentWriter();
    QXFlowDocumentWriter(const QXFlowDocumentWriter&) = delete;
    QXFlowDocumentWriter& operator=(const QXFlowDocumentWriter&) = delete;

    // Makes the work folder for the destination and keeps the page count.
    void initWithPath(const std::string& path, std::int64_t numOfPages);
    // Opens the format's files and resets the document state.
    virtual void begainWriteDocument() = 0;
    // Resets the document-wide counters; no page begun yet.
    void setBegainDocxOptions();
    // Starts the next page: scan counter 0, a new page object of the format.
    void begainWritePage(Size pageSize);
    // The page lays out and writes its paragraphs.
    void endWritePage();
    virtual void endWriteDocument() {}
    // Completes the destination; raises QXConversionException when it could
    // not be written.
    virtual void packetZipFileIfNeed() = 0;

    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return workFolder_.path(); }
    std::int64_t docxNumOfPages() const { return docxNumOfPages_; }
    const QXDocx_DocPr& docxProperty() const { return docxProperty_; }
    const std::shared_ptr<QXFlowPage>& currentPage() const { return currentPage_; }
    std::int64_t currentDocxPageIndex() const { return currentDocxPageIndex_; }

    // Moves a finished file to `destination` (copying when the two lie on
    // different file systems); raises QXConversionException when it cannot.
    static void moveFileIntoPlace(const std::string& file, const std::string& destination);

protected:
    // A new page of the format, writing into the writer the pages use.
    virtual std::shared_ptr<QXFlowPage> newPage() = 0;
    virtual std::shared_ptr<QXFlowFileWriter> pageWriter() const = 0;
    // Raises QXConversionException naming the destination.
    [[noreturn]] void failWriting(const std::string& why) const;
    // Removes the work folder (and the temporary folder made for it).
    void removeWorkFolder();

private:
    std::string savedFilePath_;
    QXWorkFolder workFolder_;
    std::int64_t docxNumOfPages_ = 0;
    QXDocx_DocPr docxProperty_;
    std::shared_ptr<QXFlowPage> currentPage_;
    std::int64_t currentDocxPageIndex_ = 0;
};

} // namespace rz
