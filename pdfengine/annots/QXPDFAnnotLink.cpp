#include "pdfengine/annots/QXPDFAnnotLink.h"

#include "pdfengine/annots/QXPDFAction.h"

namespace rz {

std::shared_ptr<QXPDFAnnot> QXPDFAnnotLink::copy() const
{
    auto a = std::static_pointer_cast<QXPDFAnnotLink>(copyOfKind<QXPDFAnnotLink>());
    if (destination_)
        a->destination_ = std::make_shared<QXPDFDestination>(*destination_);
    return a;
}

} // namespace rz
