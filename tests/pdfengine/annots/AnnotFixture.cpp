#include "AnnotFixture.h"

#include "pdfengine/annots/QXPDFAnnotCollection.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

namespace rz::test {

std::string annotPdf(const std::string& annots, const std::map<int, std::string>& objects,
                     const std::string& content, const std::string& catalogExtra)
{
    PdfWriter w;
    w.set(1, "<< /Type /Catalog /Pages 2 0 R " + catalogExtra + " >>");
    w.set(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    w.set(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << >> /Annots " +
                 (annots.empty() ? std::string("[]") : annots) + " >>");
    w.setStream(4, "", content);
    for (const auto& [number, body] : objects) {
        if (body.rfind("stream ", 0) == 0) {
            const size_t eol = body.find('\n');
            const std::string dict = body.substr(7, eol == std::string::npos ? std::string::npos : eol - 7);
            w.setStream(number, dict, eol == std::string::npos ? std::string() : body.substr(eol + 1));
        } else {
            w.set(number, body);
        }
    }
    return w.build(1);
}

std::shared_ptr<pdf::Document> openPdf(const std::string& bytes)
{
    auto doc = pdf::Document::openData(bytes);
    EXPECT_TRUE(doc) << "fixture did not open";
    return doc;
}

std::shared_ptr<QXPDFAnnot> annotWith(const std::string& dictionary, const std::map<int, std::string>& objects)
{
    std::map<int, std::string> all = objects;
    all[99] = dictionary;
    const auto doc = openPdf(annotPdf("[99 0 R]", all));
    if (!doc)
        return nullptr;
    // Handles keep the parsed file alive after the document goes.
    return QXPDFAnnot::AnnotWithDictionary(doc->page(1).dictionary().get("Annots").at(0));
}

void RecordingAnnotDelegate::QXPDFAnnotPushRenderingState(const QXPDFRenderState& state)
{
    stack.pushRenderingState(state.copy());
}

void RecordingAnnotDelegate::QXPDFAnnotPopRenderingState()
{
    stack.popRenderingState();
}

QXPDFRenderState* RecordingAnnotDelegate::QXPDFAnnotCurrentRenderingState()
{
    return &stack.topRenderingState();
}

void RecordingAnnotDelegate::QXPDFAnnot_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
    const std::shared_ptr<QXPDFAnnot>&, const Rect& box, const std::string& text, const std::string& fontName,
    const QXPDFColor& fontColor, double fontSize, long alignment, bool borderStroke, bool borderFill)
{
    AnnotEvent e;
    e.kind = "textbox";
    e.box = box;
    e.text = text;
    e.fontName = fontName;
    e.fontColor = fontColor;
    e.fontSize = fontSize;
    e.alignment = alignment;
    e.stroke = borderStroke;
    e.fill = borderFill;
    e.state = std::make_shared<QXPDFRenderState>(stack.topRenderingState());
    events.push_back(std::move(e));
}

void RecordingAnnotDelegate::QXPDFAnnot_didScanStream_streamKey(const std::shared_ptr<QXPDFAnnot>&,
                                                                const pdf::Object& stream,
                                                                const std::string& streamKey)
{
    AnnotEvent e;
    e.kind = "stream";
    e.stream = stream;
    e.streamKey = streamKey;
    e.state = std::make_shared<QXPDFRenderState>(stack.topRenderingState());
    events.push_back(std::move(e));
}

void RecordingAnnotDelegate::QXPDFAnnot_didScanPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>&,
                                                                const Path& path, bool stroke, bool fill)
{
    AnnotEvent e;
    e.kind = "path";
    e.path = path;
    e.stroke = stroke;
    e.fill = fill;
    e.state = std::make_shared<QXPDFRenderState>(stack.topRenderingState());
    events.push_back(std::move(e));
}

std::vector<AnnotEvent> drawAnnots(const std::vector<std::shared_ptr<QXPDFAnnot>>& annots)
{
    RecordingAnnotDelegate recorder;
    QXPDFAnnotCollection collection;
    collection.setAnnots(annots);
    collection.setDelegate(&recorder);
    const size_t depth = recorder.stack.depth();
    collection.startAllParser();
    EXPECT_EQ(recorder.stack.depth(), depth);
    return recorder.events;
}

std::vector<AnnotEvent> drawAnnot(const std::shared_ptr<QXPDFAnnot>& annot)
{
    if (!annot)
        return {};
    return drawAnnots({annot});
}

QXPDFColor colorOf(std::vector<int> components)
{
    QXPDFColor c;
    c.length = int(components.size());
    c.isNull = 0;
    for (size_t i = 0; i < components.size(); ++i)
        c.c[i] = components[i];
    return c;
}

} // namespace rz::test
