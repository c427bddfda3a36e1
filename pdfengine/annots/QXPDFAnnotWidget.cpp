#include "pdfengine/annots/QXPDFAnnotWidget.h"

#include "pdfengine/annots/QXPDFAction.h"

namespace rz {

std::shared_ptr<QXPDFAnnot> QXPDFAnnotWidget::copy() const
{
    auto a = std::static_pointer_cast<QXPDFAnnotWidget>(copyOfKind<QXPDFAnnotWidget>());
    if (pdfAction_)
        a->pdfAction_ = pdfAction_->copy();
    if (field_)
        a->field_ = std::make_shared<QXPDFFormField>(*field_);
    return a;
}

} // namespace rz
