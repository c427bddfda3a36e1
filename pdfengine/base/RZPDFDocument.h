// An object interface over a PDF document: pages by number, enumeration
// over the pages, unlocking and the permission queries.
#pragma once

#include "pdfengine/base/RZPDFPage.h"
#include "platform/pdf/PdfDocument.h"

#include <iterator>
#include <memory>
#include <optional>
#include <string>

namespace rz {

class RZPDFDocument {
public:
    // initWithCGPDFDocument: (nothing for no document).
    static std::shared_ptr<RZPDFDocument> initWithCGPDFDocument(std::shared_ptr<pdf::Document> document);
    // initWithContentsOfURL: (a file path) and initWithData:; nothing when
    // the bytes do not open as a PDF document.
    static std::shared_ptr<RZPDFDocument> initWithContentsOfURL(const std::string& path);
    static std::shared_ptr<RZPDFDocument> initWithData(std::string bytes);

    explicit RZPDFDocument(std::shared_ptr<pdf::Document> document);

    // 1-based; nothing out of range.
    std::optional<RZPDFPage> pageAtIndex(long pageNumber) const;
    long pageCount() const;

    // The password as UTF-8.
    bool unlockWithPassword(const std::string& password);
    bool allowsCopying() const;
    bool allowsPrinting() const;
    bool isEncrypted() const;
    bool isUnlocked() const;
    const std::shared_ptr<pdf::Document>& CGPDFDocument() const { return doc_; }

    // Enumeration over pages 1 to pageCount, one page per step.
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RZPDFPage;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = RZPDFPage;
        iterator(const RZPDFDocument* d, long n) : d_(d), n_(n) {}
        RZPDFPage operator*() const { return *d_->pageAtIndex(n_); }
        iterator& operator++()
        {
            ++n_;
            return *this;
        }
        bool operator==(const iterator& o) const { return n_ == o.n_; }
        bool operator!=(const iterator& o) const { return n_ != o.n_; }

    private:
        const RZPDFDocument* d_;
        long n_;
    };
    iterator begin() const { return {this, 1}; }
    iterator end() const { return {this, pageCount() + 1}; }

    friend bool operator==(const RZPDFDocument& a, const RZPDFDocument& b) { return a.doc_ == b.doc_; }

private:
    std::shared_ptr<pdf::Document> doc_;
};

} // namespace rz
