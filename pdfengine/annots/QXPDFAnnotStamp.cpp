#include "pdfengine/annots/QXPDFAnnotStamp.h"

namespace rz {

void QXPDFAnnotStamp::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnot::initWithPDFDictionary(dictionary);
    icon_ = stringOf(dictionary, "Name");
    if (icon_.empty())
        icon_ = "Draft";
}

void QXPDFAnnotStamp::startParser()
{
    drawAppearanceStream(icon_);
}

} // namespace rz
