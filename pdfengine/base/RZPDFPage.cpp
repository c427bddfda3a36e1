#include "pdfengine/base/RZPDFPage.h"

#include "pdfengine/base/RZPDFDocument.h"

namespace rz {

RZPDFPage::RZPDFPage(pdf::Page page) : page_(std::move(page)) {}

Rect RZPDFPage::rectForBox(pdf::Box box) const
{
    return page_.boxRect(box);
}

Affine RZPDFPage::drawingTransformForBox(pdf::Box box, const Rect& rect, int rotationAngle,
                                         bool preserveAspectRatio) const
{
    return page_.drawingTransform(box, rect, rotationAngle, preserveAspectRatio);
}

std::shared_ptr<RZPDFDocument> RZPDFPage::document() const
{
    // The wrapper may unlock the document; the page only reads it.
    return RZPDFDocument::initWithCGPDFDocument(std::const_pointer_cast<pdf::Document>(page_.document()));
}

long RZPDFPage::pageNumber() const
{
    return page_.pageNumber();
}

int RZPDFPage::rotationAngle() const
{
    return page_.rotationAngle();
}

RZPDFDictionary RZPDFPage::dictionary() const
{
    return RZPDFDictionary(page_.dictionary());
}

} // namespace rz
