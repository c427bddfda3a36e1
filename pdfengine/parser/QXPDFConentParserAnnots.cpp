// The parser's side of a page's annotations: the collection made from the
// page's /Annots after the content, the lookup exporters use inside an
// annotation's events, and the appearance streams annotations hand back.
#include "pdfengine/parser/QXPDFConentParser.h"

#include "pdfengine/annots/QXPDFAnnot.h"
#include "pdfengine/annots/QXPDFAnnotCollection.h"
#include "pdfengine/parser/QXPDFConentParserInternal.h"

namespace rz {

std::shared_ptr<QXPDFAnnotCollection> QXPDFConentParser::annotCollectionWithDict(const pdf::Object& dict)
{
    const pdf::Object annots = dict.get("Annots");
    if (!annots.isArray())
        return nullptr;
    return std::make_shared<QXPDFAnnotCollection>(annots, pageIndex_);
}

void QXPDFConentParser::runAnnotations()
{
    try {
        annotCollection_ = annotCollectionWithDict(contentDict_);
    } catch (const std::exception& e) {
        warn(QXPDFWarning::kException, std::string("annotations: ") + e.what());
        annotCollection_.reset();
    }
    if (!annotCollection_)
        return;
    annotCollection_->setDelegate(this);
    try {
        annotCollection_->startAllParser();
    } catch (...) {
        // A delegate's exception ends the page's run and reaches the caller
        // of startParser once the run is over.
        if (!context_->delegateException)
            context_->delegateException = std::current_exception();
    }
    annotCollection_->setDelegate(nullptr);
}

std::shared_ptr<QXPDFAnnot> QXPDFConentParser::annotForPDFAnnotionIndex(long index) const
{
    if (annotCollection_)
        for (const auto& annot : annotCollection_->annots())
            if (annot->pdfAnnotionIndex() == index)
                return annot;
    // The parser of an appearance stream (and of the forms it draws) has no
    // collection of its own: it knows the annotation it draws.
    if (contentAnnot_ && contentAnnot_->pdfAnnotionIndex() == index)
        return contentAnnot_;
    return nullptr;
}

void QXPDFConentParser::QXPDFAnnot_didScanStream_streamKey(const std::shared_ptr<QXPDFAnnot>& annot,
                                                           const pdf::Object& stream,
                                                           const std::string& streamKey)
{
    if (annot)
        drawAppearanceStream(stream, streamKey, annot->bounds(), annot);
}

} // namespace rz
