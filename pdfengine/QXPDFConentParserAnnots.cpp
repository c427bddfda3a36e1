// The parser's side of a page's annotations: the collection made from the
// page's /Annots after the content, and the appearance streams annotations
// hand back. The annotation model (QXPDFAnnot, QXPDFAnnotCollection) plugs
// in here; until it is part of the build a page has no annotations.
#include "pdfengine/QXPDFConentParser.h"

#include "pdfengine/QXPDFConentParserInternal.h"

namespace rz {

std::shared_ptr<QXPDFAnnotCollection> QXPDFConentParser::annotCollectionWithDict(const pdf::Object& /*dict*/)
{
    return nullptr;
}

void QXPDFConentParser::runAnnotations()
{
    annotCollection_ = annotCollectionWithDict(contentDict_);
}

std::shared_ptr<QXPDFAnnot> QXPDFConentParser::annotForPDFAnnotionIndex(long /*index*/) const
{
    return nullptr;
}

void QXPDFConentParser::QXPDFAnnot_didScanStream_streamKey(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                                           const pdf::Object& /*stream*/,
                                                           const std::string& /*streamKey*/)
{
    // With the annotation model: drawAppearanceStream(stream, streamKey,
    // annot->bounds(), annot).
}

} // namespace rz
