// The graphics and text state of the content interpreter, the stack of
// states that q and Q save and restore, and the clip entries the state
// collects.
//
// Exporters read the top state of the stack they handed to the parser while
// an event runs, and copy what they need: a state reference is valid only
// until the next push or pop.
#pragma once

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/color/QXPDFColor.h"
#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"
#include "platform/graphics/BitmapContext.h"

#include <memory>
#include <vector>

namespace rz {

class QXPDFColorSpace;
class QXPDFExtGState;
class QXPDFFont;
class QXPDFPattern;

// The values of QXPDFClipPath::clipType() and QXPDFRenderState::clip().
enum QXPDFClipType : int {
    QXPDFClipTypeNone = 0,
    QXPDFClipTypeNonZero = 1,
    QXPDFClipTypeEvenOdd = 2,
};

// One clip in force: the clip path in device space (user space through the
// CTM, without the page transform) in its stored element form.
class QXPDFClipPath {
public:
    QXPDFClipPath() = default;
    QXPDFClipPath(QXPathElementArray pathArray, int clipType)
        : pathArray_(std::move(pathArray)), clipType_(clipType)
    {
    }
    static std::shared_ptr<QXPDFClipPath> NewClipPathArray(QXPathElementArray pathArray, int clipType)
    {
        return std::make_shared<QXPDFClipPath>(std::move(pathArray), clipType);
    }

    const QXPathElementArray& pathArray() const { return pathArray_; }
    void setPathArray(QXPathElementArray a) { pathArray_ = std::move(a); }
    int clipType() const { return clipType_; }
    void setClipType(int t) { clipType_ = t; }
    // The path rebuilt from its elements (empty when they cannot be read).
    Path path() const;

private:
    QXPathElementArray pathArray_;
    int clipType_ = QXPDFClipTypeNone;
};

// Soft-mask kinds of QXPDFRenderState::softMaskBlendMode().
inline constexpr int kQXPDFSoftMaskAlpha = 3;
inline constexpr int kQXPDFSoftMaskLuminosity = 15;

class QXPDFRenderState {
public:
    QXPDFRenderState();
    // A copy carries every field but alphaFlag (which a copy has set). The
    // font, colour spaces and patterns are shared: they are never changed
    // once made, so sharing them is the same as copying them.
    QXPDFRenderState(const QXPDFRenderState& other);
    QXPDFRenderState& operator=(const QXPDFRenderState& other);
    std::unique_ptr<QXPDFRenderState> copy() const { return std::make_unique<QXPDFRenderState>(*this); }

    // Matrices.
    const Affine& lineMatrix() const { return lineMatrix_; }
    void setLineMatrix(const Affine& m) { lineMatrix_ = m; }
    const Affine& textMatrix() const { return textMatrix_; }
    void setTextMatrix(const Affine& m) { textMatrix_ = m; }
    const Affine& ctm() const { return ctm_; }
    void setCtm(const Affine& m) { ctm_ = m; }

    // Text state.
    double leading() const { return leading_; }
    void setLeading(double v) { leading_ = v; }
    double wordSpacing() const { return wordSpacing_; }
    void setWordSpacing(double v) { wordSpacing_ = v; }
    double characterSpacing() const { return characterSpacing_; }
    void setCharacterSpacing(double v) { characterSpacing_ = v; }
    // A factor: 1 is 100 %.
    double horizontalScaling() const { return horizontalScaling_; }
    void setHorizontalScaling(double v) { horizontalScaling_ = v; }
    double textRise() const { return textRise_; }
    void setTextRise(double v) { textRise_ = v; }
    // Null before the first Tf that names a known font.
    const std::shared_ptr<QXPDFFont>& font() const { return font_; }
    void setFont(std::shared_ptr<QXPDFFont> f) { font_ = std::move(f); }
    double fontSize() const { return fontSize_; }
    void setFontSize(double v) { fontSize_ = v; }
    int textRenderMode() const { return textRenderMode_; }
    void setTextRenderMode(int v) { textRenderMode_ = v; }

    // Colour. The spaces are never null in a state made here; setting null
    // makes the side read as black.
    const std::shared_ptr<const QXPDFColorSpace>& fillColorSpace() const { return fillColorSpace_; }
    void setFillColorSpace(std::shared_ptr<const QXPDFColorSpace> s) { fillColorSpace_ = std::move(s); }
    const std::shared_ptr<const QXPDFColorSpace>& strokeColorSpace() const { return strokeColorSpace_; }
    void setStrokeColorSpace(std::shared_ptr<const QXPDFColorSpace> s) { strokeColorSpace_ = std::move(s); }
    const QXPDFColor& fillColor() const { return fillColor_; }
    void setFillColor(const QXPDFColor& c) { fillColor_ = c; }
    const QXPDFColor& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const QXPDFColor& c) { strokeColor_ = c; }
    const std::shared_ptr<QXPDFPattern>& fillPattern() const { return fillPattern_; }
    void setFillPattern(std::shared_ptr<QXPDFPattern> p) { fillPattern_ = std::move(p); }
    const std::shared_ptr<QXPDFPattern>& strokePattern() const { return strokePattern_; }
    void setStrokePattern(std::shared_ptr<QXPDFPattern> p) { strokePattern_ = std::move(p); }

    // Transparency and overprint.
    int blendMode() const { return blendMode_; }
    void setBlendMode(int v) { blendMode_ = v; }
    bool fillOverprint() const { return fillOverprint_; }
    void setFillOverprint(bool v) { fillOverprint_ = v; }
    bool strokeOverprint() const { return strokeOverprint_; }
    void setStrokeOverprint(bool v) { strokeOverprint_ = v; }
    short overprintMode() const { return overprintMode_; }
    void setOverprintMode(short v) { overprintMode_ = v; }
    bool strokeAdjust() const { return strokeAdjust_; }
    void setStrokeAdjust(bool v) { strokeAdjust_ = v; }
    bool alphaFlag() const { return alphaFlag_; }
    void setAlphaFlag(bool v) { alphaFlag_ = v; }
    double strokeAlpha() const { return strokeAlpha_; }
    void setStrokeAlpha(double v) { strokeAlpha_ = v; }
    double fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(double v) { fillAlpha_ = v; }
    // Set while a soft-mask group form of an ExtGState is drawn (and any
    // form it draws): events sent under it are the mask's, not content.
    bool isParseringExtGState() const { return isParseringExtGState_; }
    void setIsParseringExtGState(bool v) { isParseringExtGState_ = v; }
    // Exporters clear it once they have used the mask.
    bool haveSoftMask() const { return haveSoftMask_; }
    void setHaveSoftMask(bool v) { haveSoftMask_ = v; }
    // kQXPDFSoftMaskAlpha, kQXPDFSoftMaskLuminosity or 0.
    int softMaskBlendMode() const { return softMaskBlendMode_; }
    void setSoftMaskBlendMode(int v) { softMaskBlendMode_ = v; }

    // Line style.
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double v) { lineWidth_ = v; }
    int lineJoinStyle() const { return lineJoinStyle_; }
    void setLineJoinStyle(int v) { lineJoinStyle_ = v; }
    // 0 butt, 1 round, 2 square.
    int lineCapStyle() const { return lineCapStyle_; }
    void setLineCapStyle(int v) { lineCapStyle_ = v; }
    double lineFlatness() const { return lineFlatness_; }
    void setLineFlatness(double v) { lineFlatness_ = v; }
    double lineMiterLimit() const { return lineMiterLimit_; }
    void setLineMiterLimit(double v) { lineMiterLimit_ = v; }
    // Empty for a solid line.
    const std::vector<double>& lineDashPattern() const;
    void setLineDashPattern(std::vector<double> v);
    double lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(double v) { lineDashPhase_ = v; }
    bool usesEvenOddFillRule() const { return usesEvenOddFillRule_; }
    void setUsesEvenOddFillRule(bool v) { usesEvenOddFillRule_ = v; }
    long beginMarkedContent() const { return beginMarkedContent_; }
    void setBeginMarkedContent(long v) { beginMarkedContent_ = v; }

    // The path under construction (user space); during a path event the
    // painted path in device space.
    const Path& cgPath() const;
    Path& mutableCgPath();
    void setCgPath(const Path* path) { setCgPath(path ? *path : Path()); }
    void setCgPath(Path path);
    // The pending clip: a QXPDFClipType.
    int clip() const { return clip_; }
    void setClip(int v) { clip_ = v; }
    // Every clip in force, oldest first.
    const std::vector<std::shared_ptr<const QXPDFClipPath>>& clipBezierPaths() const;
    void setClipBezierPaths(std::vector<std::shared_ptr<const QXPDFClipPath>> v);

    // Marks of annotation drawing.
    bool isParseringAnnotion() const { return isParseringAnnotion_; }
    void setIsParseringAnnotion(bool v) { isParseringAnnotion_ = v; }
    long pdfAnnotionIndex() const { return pdfAnnotionIndex_; }
    void setPdfAnnotionIndex(long v) { pdfAnnotionIndex_ = v; }

    // textMatrix = m, and lineMatrix too when `replaceLineMatrix`.
    void setTextMatrix(bool replaceLineMatrix, const Affine& m);
    // textMatrix = translation by (tx, ty) applied before textMatrix.
    void translateTextPosition(double tx, double ty);
    // lineMatrix = translation by (indent, leading) applied before
    // lineMatrix; textMatrix = lineMatrix; leading = −leading when `save`.
    void newLineWithLeading(double leading, double indent, bool save);
    void newLineWithLeading(double leading, bool save) { newLineWithLeading(leading, 0, save); }
    // newLineWithLeading(−leading, NO).
    void newLine();

    // Text rendering modes 4 to 7 (text that adds to the clip).
    bool isStateTextClip() const { return textRenderMode_ >= 4 && textRenderMode_ <= 7; }
    // Appends a clip entry of the kind for a device-space path; nothing for
    // kind 0 or an empty path.
    void clipState(const Path& path, int type);
    // Applies the entries of a parsed ExtGState that are present.
    void setGraphicState(const QXPDFExtGState& state);

    // The colours through their spaces; all zero without a space.
    QXPDFRGB currentFillRGBColor() const;
    QXPDFRGB currentStrokeRGBColor() const;
    // A colour through a device space chosen by its length (1 gray, 3 RGB,
    // 4 CMYK); all zero for any other length.
    static QXPDFRGB RGBColorForPDFColor(const QXPDFColor& color);
    // Device RGB, components 0..1, alpha 1; opaque black without a space.
    RGBAColor currentFillColor() const;
    RGBAColor currentStrokeColor() const;
    double currentFillAlpha() const { return fillAlpha_; }
    double currentStrokeAlpha() const { return strokeAlpha_; }
    // The font size as the text matrix scales it (the length of the
    // matrix's y axis times the size's magnitude: a negative size turns the
    // glyphs, it does not make them smaller).
    double getTransformedFontSize() const;

private:
    Affine lineMatrix_;
    Affine textMatrix_;
    Affine ctm_;
    double leading_ = 0;
    double wordSpacing_ = 0;
    double characterSpacing_ = 0;
    double horizontalScaling_ = 1.0;
    double textRise_ = 0;
    std::shared_ptr<QXPDFFont> font_;
    double fontSize_ = 0;
    std::shared_ptr<const QXPDFColorSpace> fillColorSpace_;
    std::shared_ptr<const QXPDFColorSpace> strokeColorSpace_;
    QXPDFColor fillColor_;
    QXPDFColor strokeColor_;
    std::shared_ptr<QXPDFPattern> fillPattern_;
    std::shared_ptr<QXPDFPattern> strokePattern_;
    int blendMode_ = 0;
    bool fillOverprint_ = false;
    bool strokeOverprint_ = false;
    short overprintMode_ = 0;
    bool strokeAdjust_ = false;
    int textRenderMode_ = 0;
    bool alphaFlag_ = true;
    double strokeAlpha_ = 1.0;
    double fillAlpha_ = 1.0;
    bool isParseringExtGState_ = false;
    bool haveSoftMask_ = false;
    int softMaskBlendMode_ = 0;
    double lineWidth_ = 1.0;
    int lineJoinStyle_ = 0;
    int lineCapStyle_ = 0;
    double lineFlatness_ = double(0.6f);
    double lineMiterLimit_ = 10.0;
    // The path, dash array and clip list are shared between a state and its
    // copies until one of them changes (copies are made at every q).
    std::shared_ptr<const std::vector<double>> lineDashPattern_;
    double lineDashPhase_ = 0;
    bool usesEvenOddFillRule_ = false;
    long beginMarkedContent_ = 0;
    std::shared_ptr<Path> cgPath_;
    int clip_ = QXPDFClipTypeNone;
    using ClipList = std::vector<std::shared_ptr<const QXPDFClipPath>>;
    std::shared_ptr<ClipList> clipBezierPaths_;
    bool isParseringAnnotion_ = false;
    long pdfAnnotionIndex_ = 0;
};

// The states of q and Q; the top is the last. Never empty when read
// through topRenderingState().
class QXPDFRenderStateStack {
public:
    // One default state.
    QXPDFRenderStateStack();
    QXPDFRenderStateStack(const QXPDFRenderStateStack&) = delete;
    QXPDFRenderStateStack& operator=(const QXPDFRenderStateStack&) = delete;

    // Empties the stack and pushes one default state.
    void reset();
    // The last state; a default state is appended first when the stack is empty.
    QXPDFRenderState& topRenderingState();
    // Appends a copy of the last state (a default state when empty) and returns it.
    QXPDFRenderState& pushRenderingState();
    // Appends the given state itself (a default one when null) and returns it.
    QXPDFRenderState& pushRenderingState(std::unique_ptr<QXPDFRenderState> state);
    // Removes the last state and hands it back; null when the stack is empty.
    std::unique_ptr<QXPDFRenderState> popRenderingState();
    // Pops until `depth` states remain (nothing when fewer are there).
    void restoreDepth(size_t depth);
    size_t depth() const { return stack_.size(); }
    const std::vector<std::unique_ptr<QXPDFRenderState>>& stack() const { return stack_; }

private:
    std::vector<std::unique_ptr<QXPDFRenderState>> stack_;
};

} // namespace rz
