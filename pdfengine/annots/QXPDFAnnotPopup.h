// Pop-up annotations: drawn through their appearance stream only. A
// parent's /Popup is read as one of these (without a pop-up of its own).
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

namespace rz {

class QXPDFAnnotPopup : public QXPDFAnnot {
public:
    QXPDFAnnotPopup() = default;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotPopup>(); }

    // The pop-up of another annotation: its /Popup entry is not followed.
    static std::shared_ptr<QXPDFAnnotPopup> PopupOfParent(const pdf::Object& dictionary)
    {
        auto popup = std::make_shared<QXPDFAnnotPopup>();
        popup->readsPopup_ = false;
        popup->initWithPDFDictionary(dictionary);
        return popup;
    }

    // Never filled by reading.
    bool isOpen() const { return isOpen_; }
    void setIsOpen(bool v) { isOpen_ = v; }

private:
    bool isOpen_ = false;
};

} // namespace rz
