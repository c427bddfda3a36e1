// Rubber-stamp annotations: drawn through their appearance stream only,
// named by their icon.
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

namespace rz {

class QXPDFAnnotStamp : public QXPDFAnnot {
public:
    QXPDFAnnotStamp() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    // The base drawing with the icon name as the stream key.
    void startParser() override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotStamp>(); }

    // /Name; "Draft" when absent or empty.
    const std::string& icon() const { return icon_; }
    void setIcon(std::string v) { icon_ = std::move(v); }

private:
    std::string icon_ = "Draft";
};

} // namespace rz
