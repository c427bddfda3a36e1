// Link annotations: drawn through their appearance stream only. Their
// targets are not read here (outline items carry theirs, see
// QXPDFOutLineManager).
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

namespace rz {

class QXPDFDestination;

class QXPDFAnnotLink : public QXPDFAnnot {
public:
    QXPDFAnnotLink() = default;
    std::shared_ptr<QXPDFAnnot> copy() const override;

    // Neither is filled by reading.
    const std::shared_ptr<QXPDFDestination>& destination() const { return destination_; }
    void setDestination(std::shared_ptr<QXPDFDestination> d) { destination_ = std::move(d); }
    const std::string& URL() const { return URL_; }
    void setURL(std::string u) { URL_ = std::move(u); }

private:
    std::shared_ptr<QXPDFDestination> destination_;
    std::string URL_;
};

} // namespace rz
