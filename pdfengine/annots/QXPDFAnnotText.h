// Text annotations (notes): read, never drawn.
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

namespace rz {

// The values of QXPDFAnnotText::iconType().
enum QXPDFTextAnnotationIconType : long {
    QXPDFTextAnnotationIconComment = 0,
    QXPDFTextAnnotationIconKey = 1,
    QXPDFTextAnnotationIconNote = 2,
    QXPDFTextAnnotationIconHelp = 3,
    QXPDFTextAnnotationIconNewParagraph = 4,
    QXPDFTextAnnotationIconParagraph = 5,
    QXPDFTextAnnotationIconInsert = 6,
    QXPDFTextAnnotationIconCross = 7,
    QXPDFTextAnnotationIconCircle = 8,
};

// The values of QXPDFAnnotText::state().
enum QXPDFAnnotTextState : long {
    QXPDFAnnotTextStateUnknown = 0,
    QXPDFAnnotTextStateMarked = 1,
    QXPDFAnnotTextStateUnmarked = 2,
    QXPDFAnnotTextStateAccepted = 3,
    QXPDFAnnotTextStateRejected = 4,
    QXPDFAnnotTextStateCancelled = 5,
    QXPDFAnnotTextStateCompleted = 6,
    QXPDFAnnotTextStateNone = 7,
};

class QXPDFAnnotText : public QXPDFAnnot {
public:
    QXPDFAnnotText() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    // Notes draw nothing, with or without an appearance stream.
    void startParser() override {}
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotText>(); }

    // An icon name as a QXPDFTextAnnotationIconType; Note (2) for others.
    static long PDFTextAnnotationIconTypeForName(const std::string& name);

    long iconType() const { return iconType_; }
    void setIconType(long v) { iconType_ = v; }
    // /Open.
    bool open() const { return open_; }
    void setOpen(bool v) { open_ = v; }
    // /State within its /StateModel: Marked/Unmarked for "Marked",
    // Accepted to None for "Review", 0 otherwise.
    long state() const { return state_; }
    void setState(long v) { state_ = v; }

private:
    long iconType_ = QXPDFTextAnnotationIconNote;
    bool open_ = false;
    long state_ = QXPDFAnnotTextStateUnknown;
};

} // namespace rz
