// Path construction and painting, clipping, shadings, XObjects, forms,
// inline images, named graphics states and appearance streams.
#include "pdfengine/parser/QXPDFConentParser.h"

#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/base/QXRandomString.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFShading.h"
#include "pdfengine/parser/QXPDFConentParserInternal.h"
#include "pdfengine/state/QXPDFExtGState.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFShadingCollection.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "platform/core/Numbers.h"

#include <chrono>
#include <cstdio>

namespace rz {

using namespace qxparser;

namespace {

// Alphas below this paint nothing (the single-precision 0.01).
constexpr double kInvisibleAlpha = double(0.01f);

std::string secondsNow()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return formatFixed(double(std::chrono::duration_cast<std::chrono::seconds>(now).count()), 0);
}

// The form streams running on this thread, outermost first. It spans every
// parser of the thread, so a form reached again through a pattern cell or a
// soft mask (which run parsers of their own) is caught as well.
thread_local std::vector<pdf::Object> runningForms;

// The stream dictionary's XObject subtype.
std::string subtypeOf(const pdf::Object& stream)
{
    return stream.get("Subtype").name().value_or("");
}

} // namespace

// ---------------------------------------------------------------------------
// Path construction (user space)

void QXPDFConentParser::opMoveTo(const pdf::Object* a)
{
    currentRenderingState().mutableCgPath().moveTo({number(a[0]), number(a[1])});
}

void QXPDFConentParser::opLineTo(const pdf::Object* a)
{
    Path& path = currentRenderingState().mutableCgPath();
    const Point p{number(a[0]), number(a[1])};
    // A segment without a current point starts the path there.
    if (path.hasCurrentPoint())
        path.lineTo(p);
    else
        path.moveTo(p);
}

void QXPDFConentParser::opCurveTo(const pdf::Object* a)
{
    Path& path = currentRenderingState().mutableCgPath();
    const Point end{number(a[4]), number(a[5])};
    if (path.hasCurrentPoint())
        path.curveTo({number(a[0]), number(a[1])}, {number(a[2]), number(a[3])}, end);
    else
        path.moveTo(end);
}

void QXPDFConentParser::opCurveToV(const pdf::Object* a)
{
    Path& path = currentRenderingState().mutableCgPath();
    const Point end{number(a[2]), number(a[3])};
    if (path.hasCurrentPoint())
        path.curveTo(path.currentPoint(), {number(a[0]), number(a[1])}, end);
    else
        path.moveTo(end);
}

void QXPDFConentParser::opCurveToY(const pdf::Object* a)
{
    Path& path = currentRenderingState().mutableCgPath();
    const Point end{number(a[2]), number(a[3])};
    if (path.hasCurrentPoint())
        path.curveTo({number(a[0]), number(a[1])}, end, end);
    else
        path.moveTo(end);
}

void QXPDFConentParser::opClosePath(const pdf::Object*)
{
    Path& path = currentRenderingState().mutableCgPath();
    if (path.hasCurrentPoint())
        path.closeSubpath();
}

void QXPDFConentParser::opRectangle(const pdf::Object* a)
{
    Path& path = currentRenderingState().mutableCgPath();
    const double x = number(a[0]), y = number(a[1]), w = number(a[2]), h = number(a[3]);
    // As written: the direction of the sides matters to the nonzero rule.
    path.moveTo({x, y});
    path.lineTo({x + w, y});
    path.lineTo({x + w, y + h});
    path.lineTo({x, y + h});
    path.closeSubpath();
}

// ---------------------------------------------------------------------------
// Clipping and painting

void QXPDFConentParser::opClip(const pdf::Object*)
{
    currentRenderingState().setClip(QXPDFClipTypeNonZero);
}

void QXPDFConentParser::opClipEvenOdd(const pdf::Object*)
{
    currentRenderingState().setClip(QXPDFClipTypeEvenOdd);
}

void QXPDFConentParser::addClip(const Path& devicePath, int type)
{
    QXPDFRenderState& st = currentRenderingState();
    if (st.clipBezierPaths().size() >= kQXPDFMaxClipEntries) {
        warn(QXPDFWarning::kContent, "more than " + std::to_string(kQXPDFMaxClipEntries) +
                                         " clips in force; clip not added");
        return;
    }
    st.clipState(devicePath, type);
}

void QXPDFConentParser::applyPendingClip()
{
    QXPDFRenderState& st = currentRenderingState();
    if (st.clip() == QXPDFClipTypeNone)
        return;
    addClip(st.cgPath().transformed(st.ctm()), st.clip());
}

void QXPDFConentParser::endCurrentPath(const Path* devicePath)
{
    // The clip marked by W or W* takes effect once the path is painted (or
    // ended with n), for what is drawn after.
    QXPDFRenderState& st = currentRenderingState();
    if (st.clip() != QXPDFClipTypeNone) {
        if (devicePath)
            addClip(*devicePath, st.clip());
        else
            applyPendingClip();
    }
    st.setCgPath(Path());
    st.setClip(QXPDFClipTypeNone);
}

void QXPDFConentParser::paintCurrentPath(bool stroke, bool fill)
{
    QXPDFRenderState& st = currentRenderingState();
    if (st.isStateTextClip()) {
        endCurrentPath(nullptr);
        return;
    }
    const bool strokeHidden = st.currentStrokeAlpha() < kInvisibleAlpha;
    const bool fillHidden = st.currentFillAlpha() < kInvisibleAlpha;
    if ((stroke && fill && strokeHidden && fillHidden) || (stroke && !fill && strokeHidden) ||
        (fill && !stroke && fillHidden)) {
        endCurrentPath(nullptr);
        return;
    }
    Path device = st.cgPath().transformed(st.ctm());
    if (device.isEmpty()) {
        endCurrentPath(&device);
        return;
    }
    st.setCgPath(device);
    const bool strokePattern =
        stroke && st.strokeColorSpace() && st.strokeColorSpace()->getMode() == QXPDFColorSpaceModePattern;
    const bool fillPattern =
        fill && st.fillColorSpace() && st.fillColorSpace()->getMode() == QXPDFColorSpaceModePattern;
    if (strokePattern || fillPattern)
        sendPatternPath(device, strokePattern, fillPattern);
    else
        sendPath(device, stroke, fill);
    endCurrentPath(&device);
}

void QXPDFConentParser::opStroke(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(false);
    paintCurrentPath(true, false);
}

void QXPDFConentParser::opCloseStroke(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(false);
    opClosePath(nullptr);
    paintCurrentPath(true, false);
}

void QXPDFConentParser::opFill(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(false);
    paintCurrentPath(false, true);
}

void QXPDFConentParser::opFillEvenOdd(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(true);
    paintCurrentPath(false, true);
}

void QXPDFConentParser::opFillStroke(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(false);
    paintCurrentPath(true, true);
}

void QXPDFConentParser::opFillStrokeEvenOdd(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(true);
    paintCurrentPath(true, true);
}

void QXPDFConentParser::opCloseFillStroke(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(false);
    opClosePath(nullptr);
    paintCurrentPath(true, true);
}

void QXPDFConentParser::opCloseFillStrokeEvenOdd(const pdf::Object*)
{
    currentRenderingState().setUsesEvenOddFillRule(true);
    opClosePath(nullptr);
    paintCurrentPath(true, true);
}

void QXPDFConentParser::opEndPath(const pdf::Object*)
{
    endCurrentPath(nullptr);
}

// ---------------------------------------------------------------------------
// Shadings, XObjects, inline images, ExtGState

void QXPDFConentParser::opShading(const pdf::Object* a)
{
    const std::string name = *a[0].name();
    std::shared_ptr<QXPDFShading> shading = shadingCollection_ ? shadingCollection_->objectNamed(name) : nullptr;
    if (!shading)
        warn(QXPDFWarning::kResource, "sh: unknown shading " + name);
    sendShading(shading);
}

void QXPDFConentParser::opXObject(const pdf::Object* a)
{
    if (currentRenderingState().isStateTextClip())
        return;
    const std::string name = *a[0].name();
    std::shared_ptr<QXPDFXObject> x = xObjectCollection_ ? xObjectCollection_->xObjectWithNamed(name) : nullptr;
    if (!x) {
        warn(QXPDFWarning::kResource, "Do: unknown XObject " + name);
        return;
    }
    doXObject(x);
}

void QXPDFConentParser::reportImage(const std::shared_ptr<QXPDFImageXObject>& image)
{
    image->setExtractionSource(pdf::Object(), context_->imageCache);
    sendImage(image);
}

void QXPDFConentParser::doXObject(const std::shared_ptr<QXPDFXObject>& xObject)
{
    if (!xObject)
        return;
    if (auto image = std::dynamic_pointer_cast<QXPDFImageXObject>(xObject)) {
        if (contentStreamType_ == QXPDFContentStreamTypeAppearance && contentAnnot_) {
            // The collection's object is shared with other runs: the image
            // reported for an annotation is a copy that names it.
            image->setExtractionSource(pdf::Object(), context_->imageCache);
            image = std::make_shared<QXPDFImageXObject>(*image);
            image->setAnnot(contentAnnot_);
        }
        reportImage(image);
        return;
    }
    if (auto form = std::dynamic_pointer_cast<QXPDFFormXObject>(xObject)) {
        if (contentStreamType_ == QXPDFContentStreamTypeAppearance)
            form->setAnnot(contentAnnot_);
        QXPDFRenderStateStack& stack = *renderingStateStack();
        const size_t depth = stack.depth();
        form->setCtm(stack.pushRenderingState().ctm());
        try {
            parseFormXObject(*form, contentStreamType_);
        } catch (...) {
            stack.restoreDepth(depth);
            throw;
        }
        stack.restoreDepth(depth);
        return;
    }
    // A PostScript XObject draws nothing.
}

void QXPDFConentParser::parseFormXObject(QXPDFFormXObject& form, long streamType)
{
    const pdf::Object& stream = form.xObjectStream();
    std::vector<pdf::Object>& chain = runningForms;
    if (chain.size() >= size_t(kQXPDFMaxFormDepth)) {
        warn(QXPDFWarning::kForm, "form " + form.objectID() + " nested more than " +
                                      std::to_string(kQXPDFMaxFormDepth) + " deep; not drawn");
        return;
    }
    for (const pdf::Object& running : chain)
        if (running.sameObject(stream)) {
            warn(QXPDFWarning::kForm, "form " + form.objectID() + " draws itself; not drawn again");
            return;
        }
    if (form.formType() != 1) {
        warn(QXPDFWarning::kForm, "form " + form.objectID() + " of unknown type " +
                                      std::to_string(form.formType()) + "; not drawn");
        return;
    }

    QXPDFRenderState& st = currentRenderingState();
    st.setCtm(concat(form.matrixTransform(), st.ctm()));

    const pdf::Object formResources = form.xObjectDictionary().get("Resources");
    auto content = std::make_shared<const pdf::ContentStream>(
        stream, formResources.isDictionary() ? formResources : pdf::Object(), contentStream_.get());
    QXPDFConentParser child(form.xObjectDictionary(), content, context_);
    child.isChildRun_ = true;
    child.setIsParserAnnots(0);
    child.setInheritedResources(resources_);
    child.setPageIndex(pageIndex_);
    child.setContentAnnot(form.annot());
    child.setContentStreamType(streamType);
    child.setDelegate(delegate_);
    child.setRenderingStateStack(renderingStateStack());
    child.setFormDepth(int(chain.size()) + 1);

    chain.push_back(stream);
    try {
        child.startParser();
    } catch (...) {
        chain.pop_back();
        throw;
    }
    chain.pop_back();
    if (context_->delegateException)
        throw AbortRun{};
}

void QXPDFConentParser::opInlineImage(const pdf::Object*)
{
    const std::vector<pdf::Object>& operands = scanner_->operands();
    if (operands.empty() || !operands.back().isStream()) {
        std::fputs("Couldn't create stream from inline image!\n", stderr);
        operatorError(*scanner_, QXPDFWarning::kImage, "EI: no inline image");
        return;
    }
    const pdf::Object& stream = operands.back();
    if (!stream.dictionary().isDictionary()) {
        std::fputs("Couldn't get dict from inline image stream!\n", stderr);
        warn(QXPDFWarning::kImage, "inline image without dictionary");
        return;
    }
    if (currentRenderingState().isStateTextClip())
        return;
    auto image = std::make_shared<QXPDFImageXObject>();
    image->initWithStream(stream);
    image->setObjectID("EI-" + secondsNow() + "-" + QXRandomString::Random4BigLetter());
    image->parseImage(stream, currentColorSpaceDict(), context_->imageCache);
    sendImage(image);
}

void QXPDFConentParser::opExtGState(const pdf::Object* a)
{
    const std::string name = *a[0].name();
    std::shared_ptr<QXPDFExtGState> state = extGStateCollection_ ? extGStateCollection_->objectNamed(name) : nullptr;
    if (!state) {
        warn(QXPDFWarning::kResource, "gs: unknown graphics state " + name);
        return;
    }
    currentRenderingState().setGraphicState(*state);
    if (const auto& mask = state->gStateValue().SMaskXObject) {
        // The soft-mask group is drawn like a form, its events marked: they
        // shape the mask and are no page content. A group drawn inside
        // another leaves the outer group's mark as it was.
        const bool outer = currentRenderingState().isParseringExtGState();
        currentRenderingState().setIsParseringExtGState(true);
        try {
            doXObject(mask);
        } catch (...) {
            currentRenderingState().setIsParseringExtGState(outer);
            throw;
        }
        currentRenderingState().setIsParseringExtGState(outer);
    }
}

// ---------------------------------------------------------------------------
// Appearance streams

Affine QXPDFConentParser::appearanceMatrix(const Rect& bbox, const Affine& matrix, const Rect& annotRect)
{
    if (bbox.isNull())
        return Affine::makeTranslation(annotRect.minX(), annotRect.minY());
    const Rect box = bbox.applying(matrix);
    const Rect target = annotRect.standardized();
    const double sx = box.width() > 0 ? target.width() / box.width() : 1;
    const double sy = box.height() > 0 ? target.height() / box.height() : 1;
    // Scale about the box's corner, then move the corner onto the rectangle's.
    return {sx, 0, 0, sy, target.minX() - box.minX() * sx, target.minY() - box.minY() * sy};
}

void QXPDFConentParser::drawAppearanceStream(const pdf::Object& stream, const std::string& streamKey,
                                             const Rect& annotRect, const std::shared_ptr<QXPDFAnnot>& annot)
{
    if (!stream.isStream())
        return;
    try {
        drawAppearance(stream, streamKey, annotRect, annot);
    } catch (const AbortRun&) {
        rethrowDelegateException();
    }
}

void QXPDFConentParser::drawAppearance(const pdf::Object& stream, const std::string& streamKey,
                                       const Rect& annotRect, const std::shared_ptr<QXPDFAnnot>& annot)
{
    const std::string subtype = subtypeOf(stream);
    if (subtype == "Image") {
        auto image = std::make_shared<QXPDFImageXObject>();
        image->initWithStream(stream);
        image->setObjectID("Annot-EI-" + secondsNow() + "-" + QXRandomString::Random4BigLetter());
        image->parseImage(stream, currentColorSpaceDict(), context_->imageCache);
        image->setAnnot(annot);
        // An image's unit square is placed on the annotation's rectangle,
        // as a form's box is.
        const Rect r = annotRect.standardized();
        QXPDFRenderStateStack& stack = *renderingStateStack();
        const size_t depth = stack.depth();
        QXPDFRenderState& st = stack.pushRenderingState();
        if (!r.isNull())
            st.setCtm(concat(Affine{r.size.width, 0, 0, r.size.height, r.origin.x, r.origin.y}, st.ctm()));
        try {
            sendImage(image);
        } catch (...) {
            stack.restoreDepth(depth);
            throw;
        }
        stack.restoreDepth(depth);
    } else if (subtype == "Form") {
        auto form = std::make_shared<QXPDFFormXObject>();
        form->initWithStream(stream);
        form->setObjectID("Annot-Form-" + streamKey + "-" + secondsNow() + "-" + QXRandomString::Random4BigLetter());
        form->setAnnot(annot);
        QXPDFRenderStateStack& stack = *renderingStateStack();
        const size_t depth = stack.depth();
        QXPDFRenderState& st = stack.pushRenderingState();
        form->setCtm(st.ctm());
        Path clip;
        clip.addRect(annotRect.standardized(), &st.ctm());
        addClip(clip, QXPDFClipTypeNonZero);
        st.setCtm(concat(appearanceMatrix(form->bbox(), form->matrixTransform(), annotRect), st.ctm()));
        try {
            parseFormXObject(*form, QXPDFContentStreamTypeAppearance);
        } catch (...) {
            stack.restoreDepth(depth);
            throw;
        }
        stack.restoreDepth(depth);
    }
    // "PS" and other subtypes draw nothing.
}

} // namespace rz
