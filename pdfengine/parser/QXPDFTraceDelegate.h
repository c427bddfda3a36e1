// A delegate that writes each parser event as one normalised line: the
// kind, its text or path, font and size, matrices, colours and the box of
// the clips in force, numbers with at most three decimals. Its output on
// small fixtures is the interpreter's golden test; `rzinspect --trace`
// prints it for a page.
#pragma once

#include "pdfengine/base/QXPDFTraceFormat.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"
#include "platform/pdf/PdfDocument.h"

#include <string>
#include <vector>

namespace rz {

class QXPDFRenderState;

class QXPDFTraceDelegate : public QXPDFConentParserDelegate {
public:
    // The lines so far, one per event.
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }

    // A number with at most three decimals, without trailing zeros ("12",
    // "8.004", "-0.5"; never "-0").
    static std::string number(double v);
    static std::string matrix(const Affine& m);
    // The path as "M x y L x y C ... Q ... Z", at most `maxElements`
    // elements followed by "...+N".
    static std::string pathText(const Path& path, size_t maxElements = 24);
    // The box common to every clip of the state: "none" without clips,
    // "empty" when they share nothing.
    static std::string clipBox(const QXPDFRenderState& state);

    // Runs a page (content, then annotations when `annotations`) and
    // answers its trace: one line per event, then one line per warning
    // ("warning <category>: <message>"). Images are extracted into a
    // temporary folder that is removed before returning.
    static std::vector<std::string> tracePage(const pdf::Page& page, bool annotations = true);

    void QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        QXPDFConentParser& parser, const Rect& box, const std::string& text, const std::string& fontName,
        const QXPDFColor& fontColor, double fontSize, long alignment, bool borderStroke,
        bool borderFill) override;
    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser, const std::string& text,
                                                  Size textOffset) override;
    void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                   bool fill) override;
    void QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& parser, const Path& path,
                                                          bool stroke, bool fill) override;
    void QXPDFConentParser_didScanPaintShading(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFShading>& shading) override;
    void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFImageXObject>& image) override;

private:
    void add(std::string line, const QXPDFRenderState& state);

    std::vector<std::string> lines_;
};

} // namespace rz
