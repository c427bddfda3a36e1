#include "pdfengine/base/RZPDFDocument.h"

namespace rz {

std::shared_ptr<RZPDFDocument> RZPDFDocument::initWithCGPDFDocument(std::shared_ptr<pdf::Document> document)
{
    if (!document)
        return nullptr;
    return std::make_shared<RZPDFDocument>(std::move(document));
}

std::shared_ptr<RZPDFDocument> RZPDFDocument::initWithContentsOfURL(const std::string& path)
{
    return initWithCGPDFDocument(pdf::Document::open(path));
}

std::shared_ptr<RZPDFDocument> RZPDFDocument::initWithData(std::string bytes)
{
    return initWithCGPDFDocument(pdf::Document::openData(std::move(bytes)));
}

RZPDFDocument::RZPDFDocument(std::shared_ptr<pdf::Document> document) : doc_(std::move(document)) {}

std::optional<RZPDFPage> RZPDFDocument::pageAtIndex(long pageNumber) const
{
    if (!doc_ || pageNumber < 1 || pageNumber > pageCount())
        return std::nullopt;
    return RZPDFPage(doc_->page(int(pageNumber)));
}

long RZPDFDocument::pageCount() const
{
    return doc_ ? doc_->pageCount() : 0;
}

bool RZPDFDocument::unlockWithPassword(const std::string& password)
{
    return doc_ && doc_->unlockWithPassword(password);
}

bool RZPDFDocument::allowsCopying() const
{
    return doc_ && doc_->allowsCopying();
}

bool RZPDFDocument::allowsPrinting() const
{
    return doc_ && doc_->allowsPrinting();
}

bool RZPDFDocument::isEncrypted() const
{
    return doc_ && doc_->isEncrypted();
}

bool RZPDFDocument::isUnlocked() const
{
    return doc_ && doc_->isUnlocked();
}

} // namespace rz
