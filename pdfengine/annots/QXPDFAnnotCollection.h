// The annotations of one page and their drawing after the page content.
#pragma once

#include "platform/pdf/PdfObject.h"

#include <memory>
#include <vector>

namespace rz {

class QXPDFAnnot;
class QXPDFAnnotDelegate;

class QXPDFAnnotCollection {
public:
    QXPDFAnnotCollection() = default;
    // The annotations of a page's /Annots array, in order: entries that are
    // no dictionary, or that the factory refuses, are skipped without a gap.
    QXPDFAnnotCollection(const pdf::Object& annots, long pageIndex) { initWithPDFArray(annots, pageIndex); }
    void initWithPDFArray(const pdf::Object& annots, long pageIndex);

    // Draws every annotation in order through the delegate (nothing without
    // one). Annotation i gets a new default render state marked
    // isParseringAnnotion with pdfAnnotionIndex i, pushed for its drawing
    // and popped afterwards (also when the drawing throws). Hidden and
    // NoView annotations keep their index but are not drawn.
    void startAllParser();

    const std::vector<std::shared_ptr<QXPDFAnnot>>& annots() const { return annots_; }
    void setAnnots(std::vector<std::shared_ptr<QXPDFAnnot>> a) { annots_ = std::move(a); }
    QXPDFAnnotDelegate* delegate() const { return delegate_; }
    void setDelegate(QXPDFAnnotDelegate* d) { delegate_ = d; }

private:
    std::vector<std::shared_ptr<QXPDFAnnot>> annots_;
    QXPDFAnnotDelegate* delegate_ = nullptr;
};

} // namespace rz
