#include "pdfengine/annots/QXPDFAnnotMarkup.h"

namespace rz {

void QXPDFAnnotMarkup::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnot::initWithPDFDictionary(dictionary);
    label_ = stringOf(dictionary, "T");
    creationDate_ = stringOf(dictionary, "CreationDate");
    subject_ = stringOf(dictionary, "Subj");
    replyTo_ = dictionary.get("RT").name() == std::optional<std::string>("Group") ? QXPDFAnnotReplyTypeGroup
                                                                                 : QXPDFAnnotReplyTypeReply;
    exData_ = ParseAnnotExternalData(dictionary.get("ExData"));
}

long QXPDFAnnotMarkup::ParseAnnotExternalData(const pdf::Object& dictionary)
{
    return dictionary.isDictionary() && dictionary.get("Subtype").name() == std::optional<std::string>("Markup3D")
               ? 1
               : 0;
}

} // namespace rz
