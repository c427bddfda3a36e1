// How an annotation talks to the interpreter that draws it: the state it
// draws with, and the drawings it reports. The content parser is the one
// implementer; every method is optional.
#pragma once

#include "pdfengine/color/QXPDFColor.h"
#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>

namespace rz {

class QXPDFAnnot;
class QXPDFImageXObject;
class QXPDFRenderState;
class QXPDFShading;

class QXPDFAnnotDelegate {
public:
    virtual ~QXPDFAnnotDelegate() = default;

    // Pushes a copy of the state; it becomes the current state.
    virtual void QXPDFAnnotPushRenderingState(const QXPDFRenderState& /*state*/) {}
    // Pops the state pushed for the annotation.
    virtual void QXPDFAnnotPopRenderingState() {}
    // The current state, which the annotation fills before a drawing of its
    // own; null when the implementer keeps none.
    virtual QXPDFRenderState* QXPDFAnnotCurrentRenderingState() { return nullptr; }

    virtual void QXPDFAnnot_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        const std::shared_ptr<QXPDFAnnot>& /*annot*/, const Rect& /*box*/, const std::string& /*text*/,
        const std::string& /*fontName*/, const QXPDFColor& /*fontColor*/, double /*fontSize*/,
        long /*alignment*/, bool /*borderStroke*/, bool /*borderFill*/)
    {
    }
    // Interpret this appearance stream; `streamKey` names it in identifiers.
    virtual void QXPDFAnnot_didScanStream_streamKey(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                                   const pdf::Object& /*stream*/,
                                                   const std::string& /*streamKey*/)
    {
    }
    virtual void QXPDFAnnot_didScanText_textOffset(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                                  const std::string& /*text*/, Size /*textOffset*/)
    {
    }
    // A path the annotation made itself, painted with the current state.
    virtual void QXPDFAnnot_didScanPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                                   const Path& /*path*/, bool /*stroke*/, bool /*fill*/)
    {
    }
    virtual void QXPDFAnnot_didScanPatternPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                                          const Path& /*path*/, bool /*stroke*/, bool /*fill*/)
    {
    }
    virtual void QXPDFAnnot_didScanPaintShading(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                               const std::shared_ptr<QXPDFShading>& /*shading*/)
    {
    }
    virtual void QXPDFAnnot_didScanXObjectImage(const std::shared_ptr<QXPDFAnnot>& /*annot*/,
                                               const std::shared_ptr<QXPDFImageXObject>& /*image*/)
    {
    }
};

} // namespace rz
