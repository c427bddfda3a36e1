#include "pptx/export/QXPPTXPDFExporter.h"

#include "converter/QXError.h"
#include "docx/graphics/QXLineUtilites.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/state/QXPDFFontCache.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "converter/ooxml/QXHexColor.h"
#include "platform/image/ImageCodec.h"
#include "pptx/slide/QXPPTXShape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <system_error>

namespace rz {

namespace {

bool isFinitePoint(Point p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool isFiniteInfo(const QXPDF_CTMInfo& info)
{
    return isFinitePoint(info.topLeft) && isFinitePoint(info.bottomLeft) && std::isfinite(info.fontSize.height);
}

Color colorOf(const RGBAColor& c)
{
    return Color::rgb(c.red, c.green, c.blue, c.alpha);
}

bool isSlanted(const Affine& t)
{
    const double q = std::fabs((t.a + t.c) / (t.b + t.d));
    return q > 1.1 || q < 0.9;
}

bool isSideways(double rotation)
{
    return rotation == 90 || rotation == 270;
}

// A single space or control character (one UTF-8 byte below 33).
bool isLoneBlank(std::string_view text)
{
    return text.size() == 1 && static_cast<unsigned char>(text[0]) < 33;
}

bool isUsableRect(const Rect& r)
{
    return !r.isNull() && !r.isInfinite() && std::isfinite(r.origin.x) && std::isfinite(r.origin.y) &&
           std::isfinite(r.size.width) && std::isfinite(r.size.height);
}

} // namespace

QXPPTXPDFExporter::QXPPTXPDFExporter() = default;
QXPPTXPDFExporter::~QXPPTXPDFExporter() = default;

double QXPPTXPDFExporter::snappedRotation(double r)
{
    if (r < 5)
        return 0;
    if (r > 85 && r < 95)
        return 90;
    if (r > 265 && r < 275)
        return 270;
    return r;
}

std::int64_t QXPPTXPDFExporter::spacesInGap(double dx, double spaceWidth)
{
    if (!(spaceWidth > 0) || !std::isfinite(spaceWidth) || !std::isfinite(dx))
        return 0;
    const float ratio = static_cast<float>(dx / spaceWidth);
    float quotient = std::floor(ratio);
    // Word gaps squeezed below a whole space (justified lines, words placed
    // one by one) still part the words.
    if (quotient < 1 && ratio >= kMinWordGap)
        quotient = 1;
    if (!(quotient >= 1))
        return 0;
    return std::min<std::int64_t>(kMaxInsertedSpaces, static_cast<std::int64_t>(std::min(quotient, 1e6f)));
}

void QXPPTXPDFExporter::begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>&)
{
    pdfWriter_.reset();
    pdfWriter_ = std::make_unique<QXPPTXWriter>();
    pdfWriter_->initWithPath(destPath, static_cast<std::int64_t>(numberOfPagesToConvert()));
    pdfWriter_->begainWriteDocument();
    fontCache_ = std::make_shared<QXPDFFontCache>();
    lastPropertyValid_ = false;
    lastPropertyFont_.reset();
    isShouldCancel_ = false;
}

bool QXPPTXPDFExporter::convertPDFPage(const pdf::Page& page)
{
    if (!page.isValid() || !pdfWriter_)
        return false;
    if (pdfWriter_->failure())
        throw QXConversionException(*pdfWriter_->failure());
    setUpPage(QXPDFUtilities::MediaBoxOfPDFPage(page), QXPDFUtilities::CropBoxOfPDFPage(page), page.rotationAngle());
    beginPage();
    {
        QXPDFConentParser parser(page);
        parser.setDelegate(this);
        parser.setRenderingStateStack(renderingStateStack_);
        parser.setIsParserAnnots(0);
        parser.setFontCache(fontCache_);
        parser.startParser();
    }
    renderingStateStack_.reset();
    endPage();
    return true;
}

void QXPPTXPDFExporter::endConvertPDF(const std::shared_ptr<pdf::Document>&)
{
    fontCache_.reset();
    lastPropertyFont_.reset();
    if (!pdfWriter_)
        throw QXConversionException("The document was never begun.");
    pdfWriter_->packetPPTXFile();
}

void QXPPTXPDFExporter::cleanConvertPDF()
{
    fontCache_.reset();
    lastPropertyFont_.reset();
    pdfWriter_.reset();
}

void QXPPTXPDFExporter::setUpPage(const Rect& mediaBox, const Rect& cropBox, int rotation)
{
    int r = rotation % 360;
    if (r < 0)
        r += 360;
    currentPageRotationAngle_ = r;
    currentPageMediaBox_ = mediaBox;
    Rect crop = cropBox;
    if (!(crop.size.width > 0) || !(crop.size.height > 0) || !std::isfinite(crop.size.width) ||
        !std::isfinite(crop.size.height) || !std::isfinite(crop.origin.x) || !std::isfinite(crop.origin.y)) {
        const std::string why = "The page has no usable size.";
        if (pdfWriter_)
            pdfWriter_->markFailed(why);
        throw QXConversionException(why);
    }
    // The content moves by the box's true origin; the stored box starts at
    // 0 whatever its origin was.
    Affine transform = concat(Affine::makeTranslation(-crop.origin.x, -crop.origin.y),
                              QXExportPageTransform(r, crop.size.width, crop.size.height));
    crop.origin.x = std::max(0.0, crop.origin.x);
    crop.origin.y = std::max(0.0, crop.origin.y);

    // Size clamp: display space is scaled about its top-left corner.
    const float longer = static_cast<float>(std::max(crop.size.width, crop.size.height));
    const float shorter = static_cast<float>(std::min(crop.size.width, crop.size.height));
    double s = 1;
    if (longer > kMaxSlideSide)
        s = kMaxSlideSide / longer;
    else if (shorter < kMinSlideSide)
        s = kMinSlideSide / shorter;
    if (s != 1) {
        transform = concat(transform, Affine::makeScale(s, s));
        crop.size.width *= s;
        crop.size.height *= s;
    }
    currentPageCropBox_ = crop;
    currentPageTransform_ = transform;
    renderingStateStack_ = std::make_shared<QXPDFRenderStateStack>();
    isNotScanTextYet_ = true;
    resetNextChar();
    nextCharFontSize_ = mainTextFontSize_ = 1;
    nextCharTransform_ = mainTextTransform_ = Affine::identity();
}

void QXPPTXPDFExporter::beginPage()
{
    if (pdfWriter_)
        pdfWriter_->begainWritePage(currentPageCropBox_.size);
}

void QXPPTXPDFExporter::endPage()
{
    endTextBoxWritingIfNeed();
    if (pdfWriter_)
        pdfWriter_->endWritePage();
}

const QXPDFRenderState* QXPPTXPDFExporter::topState() const
{
    return renderingStateStack_ && renderingStateStack_->depth() > 0 ? &renderingStateStack_->topRenderingState()
                                                                      : nullptr;
}

QXDisplayTextState QXPPTXPDFExporter::displayState(const QXPDFRenderState* state) const
{
    return QXDisplayTextState::of(state);
}

void QXPPTXPDFExporter::resetNextChar()
{
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;
}

// --- Text ---

void QXPPTXPDFExporter::QXPDFConentParser_didScanText_textOffset(QXPDFConentParser&, const std::string& text,
                                                                 Size textOffset)
{
    if (isShouldCancel())
        return;
    const QXPDFRenderState* top = topState();
    // The text of a soft-mask group only shapes the mask.
    if (top != nullptr && top->isParseringExtGState())
        return;
    scanText(text, textOffset, top);
}

void QXPPTXPDFExporter::scanText(std::string_view text, Size textOffset, const QXPDFRenderState* state)
{
    if (text.empty() || !pdfWriter_ || !pdfWriter_->currentPage())
        return;
    if (pdfWriter_->currentPage()->isUsingTextBox)
        usingPPTXTextBox(text, textOffset, state);
    else
        newPPTXTextBox(text, textOffset, state);
}

void QXPPTXPDFExporter::newPPTXTextBox(std::string_view text, Size textOffset, const QXPDFRenderState* state)
{
    if (isLoneBlank(text))
        return;
    const QXDisplayTextState display = displayState(state);
    const QXPDF_CTMInfo c = QXMakeCTMInfo(display.glyphSize(), display.ascent, display.descent,
                                          QXCurrentDisplayTextTransform(display, currentPageTransform_));
    if (!isFiniteInfo(c))
        return;
    QXPPTXPage& page = *pdfWriter_->currentPage();
    QXPPTXTextBoxInfo info;
    info.displayX = c.topLeft.x;
    info.displayY = c.topLeft.y;
    info.displayWidth = std::fabs(currentPageCropBox_.size.width - c.topLeft.x - 10);
    info.displayHeight = std::fabs(currentPageCropBox_.size.height - c.topLeft.y - 10);
    info.stroked = false;
    info.filled = false;
    info.strokeweight = 1;
    if (state != nullptr) {
        info.strokeDashPattern = state->lineDashPattern();
        info.strokeDashPhase = static_cast<std::int64_t>(std::isfinite(state->lineDashPhase()) ? state->lineDashPhase() : 0);
        info.strokecolor = colorOf(state->currentStrokeColor());
        info.fillcolor = colorOf(state->currentFillColor());
    }
    info.rotation = snappedRotation(c.rotation);
    page.isUsingTextBox = true;
    page.cachedTextBoxInfo = info;
    page.cachedTextBoxParagraphs.clear();
    page.cachedTextBoxNewParagraph();
    QXPPTX_PPr& p = page.cachedTextBoxLastParagraph().pProperty;
    p.marL = 0;
    p.lnSpc = c.fontSize.height;
    p.tabList = {0, "l"};
    isNotScanTextYet_ = false;
    appendPPTXTextBox(text, textOffset, 0, state);
}

void QXPPTXPDFExporter::usingPPTXTextBox(std::string_view text, Size textOffset, const QXPDFRenderState* state)
{
    QXPPTXPage& page = *pdfWriter_->currentPage();
    const QXDisplayTextState display = displayState(state);
    const Affine current = QXCurrentDisplayTextTransform(display, currentPageTransform_);
    const QXPDF_CTMInfo c = QXMakeCTMInfo(display.glyphSize(), display.ascent, display.descent, current);
    if (!isFiniteInfo(c))
        return;
    const double r = snappedRotation(c.rotation);
    const Point bl = c.bottomLeft;
    const double x = c.topLeft.x;
    const double h = c.fontSize.height;
    const Point n = nextCharCTMInfo_.bottomLeft;

    if (page.cachedTextBoxInfo.rotation != r) {
        endTextBoxWritingIfNeed();
        newPPTXTextBox(text, textOffset, state);
        return;
    }

    // One space along the baseline, in display points.
    double s = 0;
    if (state != nullptr && state->font()) {
        const double width = state->font()->widthOfSpace() * state->fontSize();
        const Affine next = QXNextDisplayTextTransform(display, currentPageTransform_, Size{width, 0});
        s = std::hypot(next.tx - current.tx, next.ty - current.ty);
        if (!std::isfinite(s))
            s = 0;
    }

    double dx = 0, dy = 0;
    if (r == 90) {
        dx = bl.y - n.y;
        dy = bl.x - n.x;
    } else if (r == 270) {
        dx = n.y - bl.y;
        dy = bl.x - n.x;
    } else {
        dx = bl.x - n.x;
        dy = bl.y - n.y;
    }

    // How far along its lines the character starts from the box's corner
    // (for an upright box, X minus the box's left edge).
    const QXPPTXTextBoxInfo& box = page.cachedTextBoxInfo;
    const double turn = r * std::numbers::pi / 180;
    const double ux = r == 90 || r == 270 ? 0 : std::cos(turn);
    const double uy = r == 90 ? 1 : r == 270 ? -1 : std::sin(turn);
    const double along = (c.topLeft.x - box.displayX) * ux + (c.topLeft.y - box.displayY) * uy;
    const double indent = r == 0 ? x - box.displayX : along;
    if (dy >= h) {
        if (dy < kNewBoxDistance && indent >= 0) {
            newParagraph(text, textOffset, indent, dy, state);
            return;
        }
    } else if (dy > -h) {
        if (dx >= -s) {
            const std::int64_t spaces = spacesInGap(dx, s);
            if (spaces >= 1) {
                std::string spaced(static_cast<size_t>(spaces), ' ');
                spaced.append(text);
                appendPPTXTextBox(spaced, textOffset, static_cast<double>(spaces) * s, state);
            } else {
                appendPPTXTextBox(text, textOffset, 0, state);
            }
        } else {
            newParagraph(text, textOffset, std::max(0.0, indent), dy, state);
        }
        return;
    }
    // A new box.
    endTextBoxWritingIfNeed();
    resetNextChar();
    newPPTXTextBox(text, textOffset, state);
}

void QXPPTXPDFExporter::newParagraph(std::string_view text, Size textOffset, double marL, double lnSpc,
                                     const QXPDFRenderState* state)
{
    QXPPTXPage& page = *pdfWriter_->currentPage();
    page.cachedTextBoxNewParagraph();
    QXPPTX_PPr& p = page.cachedTextBoxLastParagraph().pProperty;
    p.marL = std::max(0.0, marL);
    p.lnSpc = lnSpc;
    p.tabList = {0, "l"};
    appendPPTXTextBox(text, textOffset, 0, state);
}

void QXPPTXPDFExporter::appendPPTXTextBox(std::string_view text, Size textOffset, double blankWidth,
                                          const QXPDFRenderState* state)
{
    QXPPTXPage& page = *pdfWriter_->currentPage();
    const QXDisplayTextState display = displayState(state);
    const QXPDF_CTMInfo c = QXMakeCTMInfo(display.glyphSize(), display.ascent, display.descent,
                                          QXCurrentDisplayTextTransform(display, currentPageTransform_));
    QXPPTXParagraph& paragraph = page.cachedTextBoxLastParagraph();
    QXPPTXRun* run = paragraph.lastRunText();
    const QXPPTX_RunPr& rPr = runProperty(state);
    if (run != nullptr && pptxPropertyRecordsEqual(run->rProperty, rPr)) {
        run->text.append(text);
    } else {
        auto made = std::make_shared<QXPPTXRun>();
        made->pdfScanIndex = QXPPTXRun::nextScanIndex();
        made->rProperty = rPr;
        made->text.assign(text);
        run = made.get();
        paragraph.runArray.push_back(std::move(made));
        paragraph.pProperty.lnSpc = std::max(paragraph.pProperty.lnSpc, c.fontSize.height);
    }
    nextCharTransform_ = QXNextDisplayTextTransform(display, currentPageTransform_, textOffset);
    nextCharFontSize_ = state != nullptr ? state->fontSize() : 0;
    nextCharCTMInfo_ = QXMakeCTMInfo(display.glyphSize(), display.ascent, display.descent, nextCharTransform_);
    double advance = isSideways(page.cachedTextBoxInfo.rotation) ? nextCharCTMInfo_.topLeft.y - c.topLeft.y
                                                                  : nextCharCTMInfo_.topLeft.x - c.topLeft.x;
    advance = std::isfinite(advance) ? std::fabs(advance) : 0;
    run->textWidth += advance + blankWidth;
}

const QXPPTX_RunPr& QXPPTXPDFExporter::runProperty(const QXPDFRenderState* state)
{
    PropertyKey key;
    if (state != nullptr && state->font()) {
        const Affine t = QXCurrentDisplayTextTransform(displayState(state), currentPageTransform_);
        const QXPDFRGB fill = state->currentFillRGBColor();
        key.font = state->font().get();
        key.a = t.a;
        key.b = t.b;
        key.c = t.c;
        key.d = t.d;
        key.glyphSize = std::fabs(state->fontSize());
        key.textRenderMode = state->textRenderMode();
        key.r = fill.r;
        key.g = fill.g;
        key.bl = fill.b;
    }
    if (!lastPropertyValid_ || !(key == lastPropertyKey_)) {
        lastProperty_ = currentRProperty(state);
        lastPropertyKey_ = key;
        lastPropertyFont_ = state != nullptr ? state->font() : nullptr;
        lastPropertyValid_ = true;
    }
    return lastProperty_;
}

QXPPTX_RunPr QXPPTXPDFExporter::currentRProperty(const QXPDFRenderState* state) const
{
    QXPPTX_RunPr rPr = QXPPTXUtilities::defaultRunProperty();
    if (state == nullptr || !state->font())
        return rPr;
    const QXPDFFont& font = *state->font();
    const QXDisplayTextState display = displayState(state);
    const Affine t = QXCurrentDisplayTextTransform(display, currentPageTransform_);
    const float size =
        static_cast<float>(QXTransformScaleXY(display.glyphSize(), display.ascent, display.descent, t).width);
    rPr.sz = std::isfinite(size) && size > 5.0f ? size : 5.0f;

    const std::string fontName = font.fontName().value_or(std::string());
    const std::string familyName = font.fontFamilyName().value_or(std::string());
    std::string typeface = !fontName.empty() ? fontName : (!familyName.empty() ? familyName : kUnknownFontName);
    const std::string replace = font.fontSystemReplaceName().value_or(std::string());
    if (!replace.empty() && !QXPDFFontUtilities::SystemFontNameIsExist(typeface) &&
        QXPDFFontUtilities::SystemFontNameIsExist(replace))
        typeface = replace;

    const std::string baseName = font.baseFontName_New().value_or(std::string());
    const QXPDFFontDescriptor* descriptor = font.fontDescriptor().get();
    const int mode = state->textRenderMode();
    rPr.b = QXPDFFontUtilities::isBoldFontName(baseName) || (descriptor != nullptr && descriptor->isBold()) ||
            mode == 2 || mode == 6;
    rPr.i = QXPDFFontUtilities::isItalicFontName(baseName) || (descriptor != nullptr && descriptor->isItalic()) ||
            isSlanted(t);
    rPr.latin.typeface = rPr.cs.typeface = typeface;
    rPr.latin.typeface_replace = rPr.cs.typeface_replace = replace;
    const QXPDFRGB fill = state->currentFillRGBColor();
    rPr.rgbColor = QXHexColor::hexFromChannels(fill.r, fill.g, fill.b);
    return rPr;
}

void QXPPTXPDFExporter::endTextBoxWritingIfNeed()
{
    if (!pdfWriter_ || !pdfWriter_->currentPage())
        return;
    QXPPTXPage& page = *pdfWriter_->currentPage();
    if (!page.isUsingTextBox)
        return;
    const double w = page.cachedTextBoxWidthMax() + kTextBoxExtraWidth;
    const double ht = page.cachedTextBoxHeight();
    QXPPTXTextBoxInfo info = page.cachedTextBoxInfo;
    if (isSideways(info.rotation)) {
        info.displayWidth = ht;
        info.displayHeight = w;
    } else {
        info.displayWidth = w;
        info.displayHeight = ht;
    }
    auto box = std::make_shared<QXPPTXTextbox>();
    box->spInfo = info;
    box->paragraphs = std::move(page.cachedTextBoxParagraphs);
    page.sharepsArr.push_back(std::move(box));
    page.isUsingTextBox = false;
    page.cachedTextBoxInfo = QXPPTXTextBoxInfo{};
    page.cachedTextBoxParagraphs.clear();
}

// --- Paths ---

void QXPPTXPDFExporter::QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser&, const Path& path, bool stroke,
                                                                  bool fill)
{
    const QXPDFRenderState* top = topState();
    if (isShouldCancel() || top == nullptr || top->isParseringExtGState())
        return;
    scanPath(path, stroke, fill, *top);
}

void QXPPTXPDFExporter::scanPath(const Path& path, bool stroke, bool fill, const QXPDFRenderState& state)
{
    if (!pdfWriter_ || !pdfWriter_->currentPage() || path.isEmpty())
        return;
    const Affine toDisplay = concat(state.ctm(), currentPageTransform_);
    double w = QXLineUtilites::LineWidthApplyTransform(state.lineWidth(), toDisplay);
    if (!std::isfinite(w))
        w = 0.1;
    w = std::max(0.1, w);
    if (!state.clipBezierPaths().empty()) {
        Rect bound;
        const std::optional<Path> visible = ClipPathInContextSize(currentPageCropBox_.size, path, w,
                                                                  currentPageTransform_, state.clipBezierPaths(), &bound);
        if (!visible || visible->isEmpty())
            return;
    }
    const Path display = path.transformed(currentPageTransform_);
    Rect b = display.pathBoundingBox();
    if (!isUsableRect(b))
        return;
    if (b.size.width < 0.0001) {
        b.origin.x -= w / 2;
        b.size.width = w;
    } else if (b.size.height < 0.0001) {
        b.origin.y -= w / 2;
        b.size.height = w;
    }
    // A white page background is no shape (display space: the page starts
    // at the origin).
    const RGBAColor fillColor = state.currentFillColor();
    if (fill && !stroke && fillColor.red == 1 && fillColor.green == 1 && fillColor.blue == 1 && b.origin.x < 1 &&
        b.origin.y < 1 && b.size.width > currentPageCropBox_.size.width - 1 &&
        b.size.height > currentPageCropBox_.size.height - 1)
        return;

    QXPPTXFreeformInfo info;
    info.displayX = b.origin.x;
    info.displayY = b.origin.y;
    info.displayWidth = b.size.width;
    info.displayHeight = b.size.height;
    info.fillAlpha_ = static_cast<float>(state.currentFillAlpha());
    info.strokeAlpha_ = static_cast<float>(state.currentStrokeAlpha());
    info.stroked = stroke;
    info.filled = fill;
    info.strokeweight = w;
    // The dashes in display points, like the width.
    const double scale = std::sqrt(std::fabs(toDisplay.a * toDisplay.d - toDisplay.b * toDisplay.c));
    for (const double v : state.lineDashPattern())
        info.strokeDashPattern.push_back(std::isfinite(v * scale) ? v * scale : 0);
    info.strokeDashPhase = static_cast<std::int64_t>(std::isfinite(state.lineDashPhase()) ? state.lineDashPhase() : 0);
    info.lineCap = state.lineCapStyle();
    info.strokecolor = stroke ? colorOf(state.currentStrokeColor()) : QXHexColor::whiteCGColor();
    info.fillcolor = fill ? colorOf(fillColor) : QXHexColor::whiteCGColor();

    endTextBoxWritingIfNeed();
    resetNextChar();

    auto shape = std::make_shared<QXPPTXFreeform>();
    shape->runCGPath = display;
    shape->spInfo = info;
    shape->paragraphs.push_back(std::make_shared<QXPPTXParagraph>());
    pdfWriter_->currentPage()->sharepsArr.push_back(std::move(shape));
}

// --- Images ---

void QXPPTXPDFExporter::QXPDFConentParser_didScanXObjectImage(QXPDFConentParser&,
                                                              const std::shared_ptr<QXPDFImageXObject>& image)
{
    const QXPDFRenderState* top = topState();
    // What a soft-mask group draws only shapes the mask.
    if (!image || isShouldCancel() || top == nullptr || top->isParseringExtGState())
        return;
    scanImageFile(image->cachedImagePath(), *top);
}

void QXPPTXPDFExporter::scanImageFile(const std::string& file, const QXPDFRenderState& state)
{
    if (file.empty() || !pdfWriter_ || !pdfWriter_->currentPage())
        return;
    const Affine t = concat(state.ctm(), currentPageTransform_);
    endTextBoxWritingIfNeed();
    resetNextChar();
    QXPPTXImageInfo info = QXPPTXImageInfo::initWithTransform(t, state.currentFillAlpha());
    if (!isUsableRect(info.displayRect()) || !(info.displayWidth > 0) || !(info.displayHeight > 0))
        return;
    bool cut = !state.clipBezierPaths().empty();
    if (cut) {
        // The clip's box, found without drawing: an image outside it is not
        // seen, an image inside it needs no cutting.
        const Rect box = ClipRectInContextSize(currentPageCropBox_.size, currentPageTransform_, state.clipBezierPaths());
        if (box.isNull() || box.isEmpty())
            return;
        const Rect shown = box.applying(currentPageTransform_);
        const Rect image = info.displayRect();
        if (!shown.intersects(image))
            return;
        cut = !shown.insetBy(-kClipTolerance, -kClipTolerance).contains(image);
    }
    std::optional<std::string> id;
    std::string title = std::filesystem::path(file).filename().string();
    if (cut) {
        const std::optional<Image> loaded = QXPDFUtilities::CGImageWithContentsOfFile(file);
        if (!loaded) {
            std::fprintf(stderr, "didScanXObjectImage: image with path is null:%s!\n", file.c_str());
        } else {
            Rect clip(0, 0, info.displayWidth, info.displayHeight);
            const std::optional<Image> clipped =
                ClipImageInContextSize(currentPageCropBox_.size, *loaded, Affine::makeScale(2, 2),
                                       currentPageTransform_, t, info.displayRect(), state.clipBezierPaths(), &clip);
            if (clipped && !clipped->isEmpty() && isUsableRect(clip) && clip.size.width > 0 && clip.size.height > 0) {
                id = pdfWriter_->collectRenderedImage(*clipped, 144);
                if (id) {
                    title = "Clip.png";
                    info.displayX = clip.origin.x;
                    info.displayY = clip.origin.y;
                    info.displayWidth = clip.size.width;
                    info.displayHeight = clip.size.height;
                    info.pixelWidth = clipped->width();
                    info.pixelHeight = clipped->height();
                    info.horizontalResolution = std::round(clipped->width() * 72.0 / clip.size.width);
                    info.verticalResolution = std::round(clipped->height() * 72.0 / clip.size.height);
                    info.flipX = info.flipY = false;
                    info.rotation = 0;
                }
            }
        }
    }
    // The whole image when it needs no cutting, or could not be cut.
    if (!id)
        id = pdfWriter_->collectImageWithPath(file);
    if (!id)
        return;
    auto shape = std::make_shared<QXPPTXPicture>();
    info.imageID = *id;
    info.imageTitle = title;
    shape->runImageID = *id;
    shape->pictInfo = info;
    pdfWriter_->currentPage()->sharepsArr.push_back(std::move(shape));
}

void QXPPTXPDFExporter::addRenderedPicture(const std::optional<Image>& image, const Rect& clip,
                                           const std::string& stem, double dpi, bool resolutions)
{
    if (!image || image->isEmpty() || !isUsableRect(clip) || !(clip.size.width > 0) || !(clip.size.height > 0))
        return;
    const std::optional<std::string> id = pdfWriter_->collectRenderedImage(*image, dpi);
    if (!id)
        return;
    QXPPTXImageInfo info;
    info.displayX = clip.origin.x;
    info.displayY = clip.origin.y;
    info.displayWidth = clip.size.width;
    info.displayHeight = clip.size.height;
    info.pixelWidth = image->width();
    info.pixelHeight = image->height();
    if (resolutions) {
        info.horizontalResolution = std::round(image->width() * 72.0 / clip.size.width);
        info.verticalResolution = std::round(image->height() * 72.0 / clip.size.height);
    }
    info.imageID = *id;
    info.imageTitle = stem + ".png";
    info.opacity = 1;
    auto shape = std::make_shared<QXPPTXPicture>();
    shape->runImageID = *id;
    shape->pictInfo = info;
    pdfWriter_->currentPage()->sharepsArr.push_back(std::move(shape));
}

void QXPPTXPDFExporter::QXPDFConentParser_didScanPaintShading(QXPDFConentParser&,
                                                              const std::shared_ptr<QXPDFShading>& shading)
{
    const QXPDFRenderState* top = topState();
    if (!shading || isShouldCancel() || top == nullptr || top->isParseringExtGState() || !pdfWriter_ ||
        !pdfWriter_->currentPage())
        return;
    Rect clip;
    const std::optional<Image> image =
        DrawShadingInContextSize(currentPageCropBox_.size, concat(top->ctm(), currentPageTransform_),
                                 Affine::makeScale(2, 2), currentPageTransform_, top->clipBezierPaths(), &clip, shading);
    addRenderedPicture(image, clip, "Shading", 72, true);
}

void QXPPTXPDFExporter::QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser&, const Path& path,
                                                                         bool stroke, bool fill)
{
    const QXPDFRenderState* top = topState();
    if (isShouldCancel() || top == nullptr || top->isParseringExtGState() || !pdfWriter_ ||
        !pdfWriter_->currentPage() || path.isEmpty())
        return;
    Rect clip;
    const std::optional<Image> image = DrawPatternInContextSize(
        currentPageCropBox_.size, concat(top->ctm(), currentPageTransform_), Affine::makeScale(2, 2),
        currentPageTransform_, top->clipBezierPaths(), &clip, path, top->fillPattern(), top->strokePattern(), stroke,
        fill, false);
    addRenderedPicture(image, clip, "Pattern", 72, false);
}

} // namespace rz
