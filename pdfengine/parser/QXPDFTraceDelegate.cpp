#include "pdfengine/parser/QXPDFTraceDelegate.h"

#include "pdfengine/base/QXPDFTraceFormat.h"
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/color/QXPDFShading.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/images/QXPDFImageCache.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "platform/core/Numbers.h"

namespace rz {

namespace {

std::string rgbText(const QXPDFRGB& c)
{
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

std::string rectText(const Rect& r)
{
    using T = QXPDFTraceDelegate;
    return T::number(r.minX()) + "," + T::number(r.minY()) + "," + T::number(r.width()) + "," +
           T::number(r.height());
}

std::string point(Point p)
{
    return QXPDFTraceDelegate::number(p.x) + " " + QXPDFTraceDelegate::number(p.y);
}

} // namespace

std::string QXPDFTraceDelegate::number(double v)
{
    return QXPDFTraceNumber(v);
}

std::string QXPDFTraceDelegate::matrix(const Affine& m)
{
    return "[" + number(m.a) + " " + number(m.b) + " " + number(m.c) + " " + number(m.d) + " " + number(m.tx) +
           " " + number(m.ty) + "]";
}

std::string QXPDFTraceDelegate::pathText(const Path& path, size_t maxElements)
{
    std::string out;
    size_t n = 0;
    for (const PathElement& e : path.elements()) {
        if (n == maxElements) {
            out += " ...+" + std::to_string(path.elements().size() - n);
            break;
        }
        if (n++)
            out += ' ';
        switch (e.type) {
        case PathElementType::MoveToPoint: out += "M " + point(e.points[0]); break;
        case PathElementType::AddLineToPoint: out += "L " + point(e.points[0]); break;
        case PathElementType::AddQuadCurveToPoint: out += "Q " + point(e.points[0]) + " " + point(e.points[1]); break;
        case PathElementType::AddCurveToPoint:
            out += "C " + point(e.points[0]) + " " + point(e.points[1]) + " " + point(e.points[2]);
            break;
        case PathElementType::CloseSubpath: out += "Z"; break;
        }
    }
    return out;
}

std::string QXPDFTraceDelegate::clipBox(const QXPDFRenderState& state)
{
    const auto& clips = state.clipBezierPaths();
    if (clips.empty())
        return "none";
    Rect box = Rect::infinite();
    for (const auto& clip : clips)
        box = box.intersection(clip->path().pathBoundingBox());
    if (box.isNull() || box.isEmpty())
        return "empty";
    return rectText(box);
}

void QXPDFTraceDelegate::add(std::string line, const QXPDFRenderState& state)
{
    if (!state.clipBezierPaths().empty())
        line += " clip=" + clipBox(state);
    if (state.isParseringAnnotion())
        line += " annot=" + std::to_string(state.pdfAnnotionIndex());
    if (state.isParseringExtGState())
        line += " smask";
    lines_.push_back(std::move(line));
}

void QXPDFTraceDelegate::QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
    QXPDFConentParser& parser, const Rect& box, const std::string& text, const std::string& fontName,
    const QXPDFColor& fontColor, double fontSize, long alignment, bool borderStroke, bool borderFill)
{
    add("textbox box=" + rectText(box) + " text=" + QXPDFTraceQuoted(text) + " font=" + fontName +
            " size=" + number(fontSize) + " rgb=" + rgbText(QXPDFRenderState::RGBColorForPDFColor(fontColor)) +
            " align=" + std::to_string(alignment) + " border=" + (borderStroke ? "1" : "0") +
            " filled=" + (borderFill ? "1" : "0"),
        parser.currentRenderingState());
}

void QXPDFTraceDelegate::QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser,
                                                                 const std::string& text, Size textOffset)
{
    const QXPDFRenderState& st = parser.currentRenderingState();
    const Point at = apply(apply(Point{0, st.textRise()}, st.textMatrix()), st.ctm());
    add("text " + QXPDFTraceQuoted(text) + " font=" + (st.font() ? st.font()->objectKey() : std::string("-")) +
            " size=" + number(st.fontSize()) + " at=" + number(at.x) + "," + number(at.y) +
            " tm=" + matrix(st.textMatrix()) + " ctm=" + matrix(st.ctm()) + " off=" + number(textOffset.width) +
            "," + number(textOffset.height) + " rgb=" + rgbText(st.currentFillRGBColor()) +
            " mode=" + std::to_string(st.textRenderMode()),
        st);
}

void QXPDFTraceDelegate::QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path,
                                                                  bool stroke, bool fill)
{
    const QXPDFRenderState& st = parser.currentRenderingState();
    std::string line = std::string("path S=") + (stroke ? "1" : "0") + " F=" + (fill ? "1" : "0");
    if (fill)
        line += std::string(" eo=") + (st.usesEvenOddFillRule() ? "1" : "0") +
                " frgb=" + rgbText(st.currentFillRGBColor());
    if (stroke) {
        line += " srgb=" + rgbText(st.currentStrokeRGBColor()) + " lw=" + number(st.lineWidth());
        if (!st.lineDashPattern().empty()) {
            line += " dash=[";
            for (size_t i = 0; i < st.lineDashPattern().size(); ++i)
                line += (i ? " " : "") + number(st.lineDashPattern()[i]);
            line += "] phase=" + number(st.lineDashPhase());
        }
    }
    if (st.fillAlpha() < 1 || st.strokeAlpha() < 1)
        line += " alpha=" + number(st.fillAlpha()) + "," + number(st.strokeAlpha());
    if (st.blendMode() != 0)
        line += " bm=" + std::to_string(st.blendMode());
    add(line + " d=\"" + pathText(path) + "\"", st);
}

void QXPDFTraceDelegate::QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& parser,
                                                                         const Path& path, bool stroke, bool fill)
{
    const QXPDFRenderState& st = parser.currentRenderingState();
    auto name = [](const std::shared_ptr<QXPDFPattern>& p) { return p ? p->objectKey() : std::string("-"); };
    add(std::string("patternpath S=") + (stroke ? "1" : "0") + " F=" + (fill ? "1" : "0") +
            " spat=" + name(st.strokePattern()) + " fpat=" + name(st.fillPattern()) + " d=\"" + pathText(path) +
            "\"",
        st);
}

void QXPDFTraceDelegate::QXPDFConentParser_didScanPaintShading(QXPDFConentParser& parser,
                                                              const std::shared_ptr<QXPDFShading>& shading)
{
    const QXPDFRenderState& st = parser.currentRenderingState();
    add("shading name=" + (shading ? shading->objectKey() : std::string("-")) +
            " type=" + (shading ? std::to_string(shading->type()) : std::string("-")) + " ctm=" + matrix(st.ctm()),
        st);
}

void QXPDFTraceDelegate::QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& parser,
                                                              const std::shared_ptr<QXPDFImageXObject>& image)
{
    const QXPDFRenderState& st = parser.currentRenderingState();
    // Inline and appearance images carry a time and random letters: only
    // their kind is stable.
    std::string id = image->objectID();
    for (const char* prefix : {"Annot-EI-", "EI-"})
        if (id.rfind(prefix, 0) == 0) {
            id = std::string(prefix) + "*";
            break;
        }
    add("image id=" + id + " px=" + number(image->pixelSize().width) + "x" + number(image->pixelSize().height) +
            " ctm=" + matrix(st.ctm()) + " file=" + (image->cachedImagePath().empty() ? "no" : "yes"),
        st);
}

std::vector<std::string> QXPDFTraceDelegate::tracePage(const pdf::Page& page, bool annotations)
{
    QXPDFTraceDelegate trace;
    auto cache = std::make_shared<QXPDFImageCache>();
    QXPDFConentParser parser(page);
    parser.setDelegate(&trace);
    parser.setRenderingStateStack(std::make_shared<QXPDFRenderStateStack>());
    parser.setIsParserAnnots(annotations ? 1 : 0);
    parser.setImageCache(cache);
    parser.startParser();
    std::vector<std::string> lines = trace.lines();
    for (const QXPDFParserWarning& w : parser.warnings().list())
        lines.push_back("warning " + w.category + ": " + w.message);
    return lines;
}

} // namespace rz
