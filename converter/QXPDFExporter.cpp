#include "converter/QXPDFExporter.h"

namespace rz {

void QXPDFExporter::begainConvertPDF(const std::string&, const std::shared_ptr<pdf::Document>&) {}

bool QXPDFExporter::convertPDFPage(const pdf::Page&)
{
    return false;
}

void QXPDFExporter::endConvertPDF(const std::shared_ptr<pdf::Document>&) {}

void QXPDFExporter::cleanConvertPDF() {}

void QXPDFExporter::cancelConvertPDF() {}

Affine QXPDFExporter::CGAffineTransformFromRect(const Rect& from, const Rect& to)
{
    const double sx = from.size.width != 0 ? to.size.width / from.size.width : 1;
    const double sy = from.size.height != 0 ? to.size.height / from.size.height : 1;
    Affine t = Affine::makeTranslation(-from.origin.x, -from.origin.y);
    t = concat(t, Affine::makeScale(sx, sy));
    return concat(t, Affine::makeTranslation(to.origin.x, to.origin.y));
}

} // namespace rz
