#include "pdfengine/annots/QXPDFAnnotCollection.h"

#include "pdfengine/annots/QXPDFAnnot.h"
#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"

namespace rz {

void QXPDFAnnotCollection::initWithPDFArray(const pdf::Object& annots, long pageIndex)
{
    annots_.clear();
    for (size_t i = 0; i < annots.size(); ++i) {
        const pdf::Object entry = annots.at(i);
        if (!entry.isDictionary())
            continue;
        if (auto annot = QXPDFAnnot::AnnotWithDictionary(entry)) {
            annot->setPageIndex(pageIndex);
            annots_.push_back(std::move(annot));
        }
    }
}

namespace {

// Pops the state pushed for one annotation, however its drawing ends.
class PushedState {
public:
    PushedState(QXPDFAnnotDelegate& delegate, const QXPDFRenderState& state) : delegate_(delegate)
    {
        delegate_.QXPDFAnnotPushRenderingState(state);
    }
    ~PushedState() { delegate_.QXPDFAnnotPopRenderingState(); }
    PushedState(const PushedState&) = delete;
    PushedState& operator=(const PushedState&) = delete;

private:
    QXPDFAnnotDelegate& delegate_;
};

// Clears an annotation's delegate once its drawing is over.
class DelegateScope {
public:
    DelegateScope(QXPDFAnnot& annot, QXPDFAnnotDelegate* delegate) : annot_(annot) { annot_.setDelegate(delegate); }
    ~DelegateScope() { annot_.setDelegate(nullptr); }
    DelegateScope(const DelegateScope&) = delete;
    DelegateScope& operator=(const DelegateScope&) = delete;

private:
    QXPDFAnnot& annot_;
};

} // namespace

void QXPDFAnnotCollection::startAllParser()
{
    if (!delegate_)
        return;
    for (size_t i = 0; i < annots_.size(); ++i) {
        QXPDFAnnot& annot = *annots_[i];
        const long index = long(i);
        annot.setPdfAnnotionIndex(index);
        if (annot.isHidden())
            continue;
        // Every annotation starts from the default state, whatever the
        // page content left behind.
        QXPDFRenderState state;
        state.setIsParseringAnnotion(true);
        state.setPdfAnnotionIndex(index);
        PushedState pushed(*delegate_, state);
        DelegateScope scope(annot, delegate_);
        annot.startParser();
    }
}

} // namespace rz
