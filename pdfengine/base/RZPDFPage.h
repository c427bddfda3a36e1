// An object interface over a PDF page.
#pragma once

#include "pdfengine/base/RZPDFValue.h"
#include "platform/geometry/Geometry.h"
#include "platform/pdf/PdfDocument.h"

#include <functional>
#include <memory>

namespace rz {

class RZPDFDocument;

class RZPDFPage {
public:
    // initWithCGPDFPage:
    explicit RZPDFPage(pdf::Page page);

    Rect rectForBox(pdf::Box box) const;
    Affine drawingTransformForBox(pdf::Box box, const Rect& rect, int rotationAngle,
                                  bool preserveAspectRatio) const;
    // A new document wrapper over the page's document.
    std::shared_ptr<RZPDFDocument> document() const;
    // 1-based.
    long pageNumber() const;
    int rotationAngle() const;
    RZPDFDictionary dictionary() const;
    const pdf::Page& CGPDFPage() const { return page_; }

    friend bool operator==(const RZPDFPage& a, const RZPDFPage& b)
    {
        return a.page_.document() == b.page_.document() && a.page_.pageNumber() == b.page_.pageNumber();
    }
    size_t hash() const
    {
        return std::hash<const void*>()(page_.document().get()) ^ size_t(page_.pageNumber());
    }

private:
    pdf::Page page_;
};

} // namespace rz

template <>
struct std::hash<rz::RZPDFPage> {
    size_t operator()(const rz::RZPDFPage& p) const { return p.hash(); }
};
