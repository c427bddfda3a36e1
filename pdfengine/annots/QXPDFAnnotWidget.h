// Widget annotations (form fields on the page): drawn through the
// appearance stream of their current state (/AS), like the base kind.
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

namespace rz {

class QXPDFFormXObject;

// A form field; nothing creates one from a document.
class QXPDFFormField {
public:
    QXPDFFormField() = default;
    explicit QXPDFFormField(const pdf::Object& /*dictionary*/) {}
    void initWithPDFDictionary(const pdf::Object& /*dictionary*/) {}
    void startParser() {}

    long type() const { return type_; }
    void setType(long v) { type_ = v; }

private:
    long type_ = 0;
};

class QXPDFAnnotWidget : public QXPDFAnnot {
public:
    QXPDFAnnotWidget() = default;
    std::shared_ptr<QXPDFAnnot> copy() const override;

    // None of these is filled by reading.
    const std::shared_ptr<QXPDFAction>& pdfAction() const { return pdfAction_; }
    void setPdfAction(std::shared_ptr<QXPDFAction> a) { pdfAction_ = std::move(a); }
    const std::shared_ptr<QXPDFFormXObject>& form() const { return form_; }
    void setForm(std::shared_ptr<QXPDFFormXObject> f) { form_ = std::move(f); }
    const std::shared_ptr<QXPDFFormField>& field() const { return field_; }
    void setField(std::shared_ptr<QXPDFFormField> f) { field_ = std::move(f); }
    long highlightMode() const { return highlightMode_; }
    void setHighlightMode(long v) { highlightMode_ = v; }

private:
    std::shared_ptr<QXPDFAction> pdfAction_;
    std::shared_ptr<QXPDFFormXObject> form_;
    std::shared_ptr<QXPDFFormField> field_;
    long highlightMode_ = 0;
};

} // namespace rz
