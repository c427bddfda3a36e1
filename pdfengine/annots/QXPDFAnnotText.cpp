#include "pdfengine/annots/QXPDFAnnotText.h"

#include <utility>

namespace rz {

long QXPDFAnnotText::PDFTextAnnotationIconTypeForName(const std::string& name)
{
    static constexpr std::pair<const char*, long> kIcons[] = {
        {"Comment", QXPDFTextAnnotationIconComment},
        {"Key", QXPDFTextAnnotationIconKey},
        {"Note", QXPDFTextAnnotationIconNote},
        {"Help", QXPDFTextAnnotationIconHelp},
        {"NewParagraph", QXPDFTextAnnotationIconNewParagraph},
        {"Paragraph", QXPDFTextAnnotationIconParagraph},
        {"Insert", QXPDFTextAnnotationIconInsert},
        {"Cross", QXPDFTextAnnotationIconCross},
        {"Circle", QXPDFTextAnnotationIconCircle},
    };
    for (const auto& [n, icon] : kIcons)
        if (name == n)
            return icon;
    return QXPDFTextAnnotationIconNote;
}

namespace {

long stateForName(const std::string& name)
{
    static constexpr std::pair<const char*, long> kStates[] = {
        {"Marked", QXPDFAnnotTextStateMarked},
        {"Unmarked", QXPDFAnnotTextStateUnmarked},
        {"Accepted", QXPDFAnnotTextStateAccepted},
        {"Rejected", QXPDFAnnotTextStateRejected},
        {"Cancelled", QXPDFAnnotTextStateCancelled},
        {"Completed", QXPDFAnnotTextStateCompleted},
        {"None", QXPDFAnnotTextStateNone},
    };
    for (const auto& [n, state] : kStates)
        if (name == n)
            return state;
    return QXPDFAnnotTextStateUnknown;
}

} // namespace

void QXPDFAnnotText::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnot::initWithPDFDictionary(dictionary);
    open_ = dictionary.get("Open").boolean().value_or(false);
    iconType_ = PDFTextAnnotationIconTypeForName(stringOf(dictionary, "Name"));
    state_ = QXPDFAnnotTextStateUnknown;
    if (!dictionary.hasKey("StateModel"))
        return;
    const std::string model = stringOf(dictionary, "StateModel");
    if (dictionary.hasKey("State"))
        state_ = stateForName(stringOf(dictionary, "State"));
    if (model == "Marked") {
        if (state_ == QXPDFAnnotTextStateUnknown)
            state_ = QXPDFAnnotTextStateMarked;
        else if (state_ >= QXPDFAnnotTextStateAccepted)
            state_ = QXPDFAnnotTextStateUnknown;
    } else if (model == "Review") {
        if (state_ == QXPDFAnnotTextStateUnknown)
            state_ = QXPDFAnnotTextStateNone;
        else if (state_ <= QXPDFAnnotTextStateUnmarked)
            state_ = QXPDFAnnotTextStateUnknown;
    } else {
        state_ = QXPDFAnnotTextStateUnknown;
    }
}

} // namespace rz
