// The events of the content interpreter. Every event is optional: the
// defaults do nothing. The first argument is always the sending parser;
// during an event the top state of the parser's render-state stack is the
// state of the operation that caused it, and a delegate reads everything
// else it needs (matrices, font, colours, line style, clips) from there.
// Events sent while that state's isParseringExtGState() is set come from a
// soft-mask group: they shape the alpha of what is painted under the mask
// and are never page content.
#pragma once

#include "pdfengine/color/QXPDFColor.h"
#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"

#include <memory>
#include <string>

namespace rz {

class QXPDFConentParser;
class QXPDFImageXObject;
class QXPDFShading;

class QXPDFConentParserDelegate {
public:
    virtual ~QXPDFConentParserDelegate() = default;

    // A free-text box an annotation reports, forwarded unchanged: box,
    // text, font name, font colour, font size, alignment, whether the
    // border is stroked and the box filled.
    virtual void QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        QXPDFConentParser& /*parser*/, const Rect& /*box*/, const std::string& /*text*/,
        const std::string& /*fontName*/, const QXPDFColor& /*fontColor*/, double /*fontSize*/,
        long /*alignment*/, bool /*borderStroke*/, bool /*borderFill*/)
    {
    }

    // One shown character that decodes to text (UTF-8), sent while the text
    // matrix still stands at its origin. `textOffset` is its displacement
    // times the font size (no spacing, no scaling).
    virtual void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& /*parser*/,
                                                          const std::string& /*text*/, Size /*textOffset*/)
    {
    }

    // A painted path in device space (user space through the CTM, without
    // the page transform); none of its painted sides uses a pattern. Also
    // the paths annotations report. The top state's cgPath is this path.
    virtual void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& /*parser*/, const Path& /*path*/,
                                                           bool /*stroke*/, bool /*fill*/)
    {
    }

    // A painted path of which the stroked or the filled side uses a Pattern
    // colour space; each flag says whether that side uses a pattern.
    virtual void QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& /*parser*/,
                                                                  const Path& /*path*/, bool /*stroke*/,
                                                                  bool /*fill*/)
    {
    }

    // The sh operator; null when the name is unknown or the shading unusable.
    virtual void QXPDFConentParser_didScanPaintShading(QXPDFConentParser& /*parser*/,
                                                       const std::shared_ptr<QXPDFShading>& /*shading*/)
    {
    }

    // An image drawn by Do, an inline image or an image appearance stream,
    // already extracted to its file; the top state's CTM places it.
    virtual void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& /*parser*/,
                                                       const std::shared_ptr<QXPDFImageXObject>& /*image*/)
    {
    }
};

} // namespace rz
