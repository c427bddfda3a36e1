// Helpers of the annotation tests: fixture documents with annotations, and
// a delegate that stands in for the content parser and records what the
// annotations send.
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"
#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/pdf/PdfDocument.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rz::test {

// A one-page document: catalog 1 (with `catalogExtra`), page tree 2, page 3
// with /Annots `annots` (PDF syntax), content 4. `objects` adds numbered
// objects (5 and up); a body "stream <entries>\n<data>" makes a stream.
std::string annotPdf(const std::string& annots, const std::map<int, std::string>& objects = {},
                     const std::string& content = {}, const std::string& catalogExtra = {});

std::shared_ptr<pdf::Document> openPdf(const std::string& bytes);

// The annotation the factory makes of a dictionary (PDF syntax; it may
// refer to `objects`); null when it refuses it.
std::shared_ptr<QXPDFAnnot> annotWith(const std::string& dictionary, const std::map<int, std::string>& objects = {});

// What an annotation sent, with the state it was sent in.
struct AnnotEvent {
    std::string kind; // "path", "textbox" or "stream"
    Path path;
    bool stroke = false;
    bool fill = false;
    Rect box;
    std::string text;
    std::string fontName;
    QXPDFColor fontColor;
    double fontSize = 0;
    long alignment = 0;
    std::string streamKey;
    pdf::Object stream;
    std::shared_ptr<QXPDFRenderState> state;
};

class RecordingAnnotDelegate : public QXPDFAnnotDelegate {
public:
    std::vector<AnnotEvent> events;
    QXPDFRenderStateStack stack;

    void QXPDFAnnotPushRenderingState(const QXPDFRenderState& state) override;
    void QXPDFAnnotPopRenderingState() override;
    QXPDFRenderState* QXPDFAnnotCurrentRenderingState() override;
    void QXPDFAnnot_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        const std::shared_ptr<QXPDFAnnot>& annot, const Rect& box, const std::string& text,
        const std::string& fontName, const QXPDFColor& fontColor, double fontSize, long alignment,
        bool borderStroke, bool borderFill) override;
    void QXPDFAnnot_didScanStream_streamKey(const std::shared_ptr<QXPDFAnnot>& annot, const pdf::Object& stream,
                                           const std::string& streamKey) override;
    void QXPDFAnnot_didScanPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>& annot, const Path& path,
                                           bool stroke, bool fill) override;
};

// Draws the annotations through a collection with the delegate; answers
// what they sent.
std::vector<AnnotEvent> drawAnnots(const std::vector<std::shared_ptr<QXPDFAnnot>>& annots);
std::vector<AnnotEvent> drawAnnot(const std::shared_ptr<QXPDFAnnot>& annot);

// A colour value of components already scaled to 0..255.
QXPDFColor colorOf(std::vector<int> components);

} // namespace rz::test
