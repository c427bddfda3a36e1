#include "docx/layout/QXDocxPDFExporter.h"

#include "docx/graphics/QXDocxImageInfo.h"

#include "docx/graphics/QXDocxRunImage.h"
#include "docx/layout/QXDocxManager.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXDocxCounters.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/graphics/QXDocxImageInfo.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "docx/layout/QXDocxManager.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/outline/QXPDFOutLineManager.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/state/QXPDFFontCache.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "platform/image/ImageCodec.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <cstdio>
#include <array>
#include <numbers>
#include <filesystem>

namespace rz {

namespace {

// Main text is turned by less than this many degrees.
constexpr float kMainTextMaxRotation = 5.0f;
// Half the width of the bands around 90, 180 and 270 degrees that make a
// text box.
constexpr float kTextBoxAngleTolerance = 5.0f;
// A clip box narrower or lower than this hides the character (points).
constexpr double kMinClipSide = 1.0;
// A fill more transparent than this hides the character.
constexpr float kMinFillAlpha = 0.01f;
// Render mode of invisible text.
constexpr int kInvisibleRenderMode = 3;
// A text box line further than this beyond the previous one (along the
// box's line offset, points) closes the box.
constexpr double kTextBoxMaxLineOffset = 96.0;
// The room a text box keeps beyond its widest line besides the usual 10
// points: this part of the line's width, and at least this many points.
constexpr double kTextBoxLineEndRoomFraction = 0.1;
constexpr double kTextBoxLineEndRoom = 8.0;
// A character further along the line than this many space widths from the
// pen starts a box of its own: text far along the same line (a page
// number and a running title in the margin, the cells of a sideways table)
// is not one line of words.
constexpr double kTextBoxMaxGapSpaces = 4.0;
// The part of a line's pitch a text box adds across its lines.
constexpr double kTextBoxLineRoom = 0.5;
// A text box character this far (points) across the line from the pen
// starts a new paragraph line.
constexpr double kTextBoxNewLineOffset = 1.0;

bool isWhitespaceOrControl(char32_t c)
{
    return c < 0x21 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000 || c == 0x85;
}

// Nothing left once whitespace, line breaks and control characters go.
bool isBlankText(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();)
        if (!isWhitespaceOrControl(nextCodePoint(text, i)))
            return false;
    return true;
}

// Exactly one UTF-16 unit below 32 (a control character).
bool isSingleControl(std::string_view text)
{
    return text.size() == 1 && static_cast<unsigned char>(text[0]) < 32;
}

bool isFiniteInfo(const QXPDF_CTMInfo& info)
{
    return std::isfinite(info.xLeft) && std::isfinite(info.xRight) && std::isfinite(info.yTop) &&
           std::isfinite(info.yBottom) && std::isfinite(info.topLeft.x) && std::isfinite(info.topLeft.y) &&
           std::isfinite(info.bottomLeft.x) && std::isfinite(info.bottomLeft.y) && std::isfinite(info.yBase) &&
           std::isfinite(info.xBase);
}

// A direction that rounds to 360 is upright text skewed by less than half
// a degree the other way.
float uprightRotation(float rotation)
{
    return rotation == 360.0f ? 0.0f : rotation;
}

bool isTextBoxAngle(float rotation)
{
    for (const float right : {90.0f, 180.0f, 270.0f})
        if (rotation > right - kTextBoxAngleTolerance && rotation < right + kTextBoxAngleTolerance)
            return true;
    return false;
}

std::optional<Color> colorOf(const RGBAColor& c)
{
    return Color::rgb(c.red, c.green, c.blue, c.alpha);
}

void setAllFonts(QXDocx_RFonts& fonts, std::string_view name)
{
    QXDocxSetText(fonts.ascii, name);
    QXDocxSetText(fonts.hAnsi, name);
    QXDocxSetText(fonts.cs, name);
    QXDocxSetText(fonts.eastAsia, name);
}

} // namespace

QXDocxPDFExporter::QXDocxPDFExporter() = default;
QXDocxPDFExporter::~QXDocxPDFExporter() = default;

void QXDocxPDFExporter::begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>& document)
{
    pdfWriter_.reset();
    pdfWriter_ = std::make_unique<QXDocxWriter>();
    pdfWriter_->initWithPath(destPath, static_cast<std::int64_t>(numberOfPagesToConvert()));
    pdfWriter_->begainWriteDocument();
    isShouldCancel_ = false;
    begainReadDocument(document);
}

void QXDocxPDFExporter::begainReadDocument(const std::shared_ptr<pdf::Document>& document)
{
    fontCache_ = std::make_shared<QXPDFFontCache>(QXPDFFontNaming::MatchInstalled);
    propertyFont_.reset();
    packagedImagePaths_.clear();
    if (document)
        QXPDFOutLineManager::sharedInstance().reLoadOutline(document);
}

void QXDocxPDFExporter::setPdfWriter(std::unique_ptr<QXDocxWriter> writer)
{
    pdfWriter_ = std::move(writer);
}

bool QXDocxPDFExporter::interpretPDFPage(const pdf::Page& page)
{
    if (!page.isValid() || !pdfWriter_)
        return false;
    setUpCurrentPageInfo(page, 0);
    isNotScanTextYet_ = true;
    reDoContentPDFParser(page);
    // A page whose text sits mostly in sideways text boxes is read again,
    // turned so that the text runs left to right; only that pass is kept.
    if (const std::shared_ptr<QXDocxPage> first = this->page(); first && !isShouldCancel()) {
        if (const std::int64_t rotation = first->autoRotationOfPDFPage(); rotation > 0) {
            setUpCurrentPageInfo(page, static_cast<int>(rotation));
            reDoContentPDFParser(page);
        }
    }
    return true;
}

bool QXDocxPDFExporter::convertPDFPage(const pdf::Page& page)
{
    try {
        if (!interpretPDFPage(page))
            return false;
    } catch (...) {
        // A page that could not be read is dropped, and the next one keeps
        // its own place in the document.
        if (pdfWriter_)
            pdfWriter_->abandonPage();
        throw;
    }
    pdfWriter_->endWritePage();
    return true;
}

void QXDocxPDFExporter::endConvertPDF(const std::shared_ptr<pdf::Document>&)
{
    releaseDocumentFonts();
    if (!pdfWriter_)
        throw QXConversionException("The document was never begun.");
    pdfWriter_->endWriteDocument();
    pdfWriter_->packetZipFileIfNeed();
    pdfWriter_.reset();
}

void QXDocxPDFExporter::cleanConvertPDF()
{
    releaseDocumentFonts();
    pdfWriter_.reset();
}

void QXDocxPDFExporter::releaseDocumentFonts()
{
    fontCache_.reset();
    propertyFont_.reset();
    packagedImagePaths_.clear();
}

std::shared_ptr<QXDocxPage> QXDocxPDFExporter::page() const
{
    return pdfWriter_ ? pdfWriter_->currentPage() : nullptr;
}

void QXDocxPDFExporter::setUpCurrentPageInfo(const pdf::Page& page, int extraAngle)
{
    int rotation = (page.rotationAngle() - extraAngle) % 360;
    if (rotation < 0)
        rotation += 360;
    setUpPageBoxes(QXPDFUtilities::GetPDFPageRect(page, 0, rotation), QXPDFUtilities::GetPDFPageRect(page, 1, rotation),
                   rotation);
}

void QXDocxPDFExporter::setUpPageBoxes(const Rect& mediaBox, const Rect& cropBox, int rotation)
{
    rotation %= 360;
    if (rotation < 0)
        rotation += 360;
    currentPageRotationAngle_ = rotation;
    currentPageMediaBox_ = mediaBox;
    Rect crop = cropBox;
    crop.origin.x = std::max(0.0, crop.origin.x);
    crop.origin.y = std::max(0.0, crop.origin.y);
    Affine transform = concat(Affine::makeTranslation(-crop.origin.x, -crop.origin.y),
                              QXExportPageTransform(rotation, crop.size.width, crop.size.height));

    // Size clamp. The page is scaled about its top-left corner in display
    // space, so the crop box's top-left stays at the origin whatever the
    // rotation and crop origin.
    const float longer = static_cast<float>(std::max(crop.size.width, crop.size.height));
    const float shorter = static_cast<float>(std::min(crop.size.width, crop.size.height));
    float s = 1.0f;
    if (longer > kMaxPageSide)
        s = kMaxPageSide / longer;
    else if (shorter < kMinPageSide && shorter > 0)
        s = kMinPageSide / shorter;
    if (s != 1.0f && std::isfinite(s)) {
        transform = concat(transform, Affine::makeScale(s, s));
        crop.size.width *= s;
        crop.size.height *= s;
    }
    currentPageCropBox_ = crop;
    currentPageTransform_ = transform;
}

void QXDocxPDFExporter::beginPagePass(std::int64_t pdfPageNumber)
{
    if (!pdfWriter_)
        return;
    pdfWriter_->begainWritePage(currentPageCropBox_.size, pdfPageNumber);
    nextCharFontSize_ = 1.0;
    mainTextFontSize_ = 1.0;
    nextCharTransform_ = Affine::identity();
    mainTextTransform_ = Affine::identity();
    const std::shared_ptr<QXDocxPage> current = page();
    current->setCurrentPageCropBox(currentPageCropBox_);
    current->setCurrentPageMediaBox(currentPageMediaBox_);
    current->setCurrentPageRotationAngle(currentPageRotationAngle_);
    current->setCurrentPageTransform(currentPageTransform_);
}

void QXDocxPDFExporter::reDoContentPDFParser(const pdf::Page& pdfPage)
{
    beginPagePass(pdfPage.pageNumber());
    renderingStateStack_ = std::make_shared<QXPDFRenderStateStack>();
    {
        QXPDFConentParser parser(pdfPage);
        parser.setIsParserAnnots(moreOptions_ ? moreOptions_->isParserAnnots() : 1);
        parser.setDelegate(this);
        parser.setRenderingStateStack(renderingStateStack_);
        parser.setFontCache(fontCache_);
        contentParser_ = &parser;
        try {
            parser.startParser();
        } catch (...) {
            contentParser_ = nullptr;
            renderingStateStack_.reset();
            throw;
        }
        contentParser_ = nullptr;
    }
    renderingStateStack_.reset();
    current_ = CharState{};
    endTextBoxWritingIfNeed();
    endTextPathWritingIfNeed();
}

void QXDocxPDFExporter::QXPDFConentParser_didScanText_textOffset(QXPDFConentParser&, const std::string& text,
                                                                 Size textOffset)
{
    QXPDFRenderState* top = renderingStateStack_ && renderingStateStack_->depth() > 0
                                ? &renderingStateStack_->topRenderingState()
                                : nullptr;
    scanText(text, textOffset, top);
}

void QXDocxPDFExporter::takeState(const QXPDFRenderState* state)
{
    current_ = CharState{};
    current_.state = state;
    if (state != nullptr) {
        current_.display = QXDisplayTextState::of(state);
        current_.font = state->font().get();
    }
    current_.displayTransform = currentDisplayTextTransform();
    current_.info = QXMakeCTMInfo(current_.display.glyphSize(), current_.display.ascent, current_.display.descent,
                                  current_.displayTransform);
}

void QXDocxPDFExporter::scanText(std::string_view text, Size textOffset, const QXPDFRenderState* state)
{
    if (text.empty() || !page())
        return;
    if (state != nullptr) {
        // Text of a soft-mask group shapes the mask's alpha; it is not
        // page content.
        if (state->isParseringExtGState())
            return;
        if (!state->clipBezierPaths().empty()) {
            const Rect clip =
                ClipRectInContextSize(currentPageCropBox_.size, currentPageTransform_, state->clipBezierPaths());
            if (!(clip.size.width >= kMinClipSide) || !(clip.size.height >= kMinClipSide))
                return;
        }
        if (static_cast<float>(state->currentFillAlpha()) < kMinFillAlpha)
            return;
        if (state->textRenderMode() == kInvisibleRenderMode)
            return;
    }
    if (isShouldCancel())
        return;
    // Blanks before the page's first main text are dropped, except within
    // an open text box or text path, where they separate its words.
    const std::shared_ptr<QXDocxPage> current = page();
    const bool inDrawnText = current->isUsingTextBox() || current->isUsingTextPath();
    if (isNotScanTextYet_ && !inDrawnText ? isBlankText(text) : isSingleControl(text))
        return;

    takeState(state);
    if (current->isUsingTextBox())
        usingDocxTextBox(text, textOffset);
    else if (current->isUsingTextPath())
        usingDocxTextPath(text, textOffset);
    else
        usingDocxMainText(text, textOffset);
}

double QXDocxPDFExporter::bucketedAngle(float rotation)
{
    const float r = uprightRotation(rotation);
    if (r < kMainTextMaxRotation)
        return 0;
    for (const float right : {90.0f, 180.0f, 270.0f})
        if (r > right - kTextBoxAngleTolerance && r < right + kTextBoxAngleTolerance)
            return right;
    return r;
}

void QXDocxPDFExporter::usingDocxMainText(std::string_view text, Size textOffset)
{
    const QXPDF_CTMInfo& info = current_.info;
    if (info.flip != 0) {
        newDocxTextPath(text, textOffset);
        return;
    }
    const float rotation = uprightRotation(info.rotation);
    if (!(rotation < kMainTextMaxRotation)) {
        if (isTextBoxAngle(rotation))
            newDocxTextBox(text, textOffset);
        else
            newDocxTextPath(text, textOffset);
        return;
    }

    // Outside the page (or beyond any number): dropped.
    if (!isFiniteInfo(info) || info.xLeft < 0 || info.yTop < 0 || info.xRight > currentPageCropBox_.size.width ||
        info.yBottom > currentPageCropBox_.size.height)
        return;
    isNotScanTextYet_ = false;

    double spaceWidth = 0;
    if (current_.font != nullptr && current_.font->bankSpaceCharWidth() > 0)
        spaceWidth = convertToDisplaySpaceWidth(current_.display.fontSize * current_.font->bankSpaceCharWidth()).width;

    movePen(textOffset);
    mainTextTransform_ = nextCharTransform_;
    mainTextFontSize_ = nextCharFontSize_;
    mainTextCTMInfo_ = nextCharCTMInfo_;

    const QXDocxRunTextPtr run = newRunText();
    QXPDF_CTMInfo runInfo = info;
    runInfo.flip = 0;
    runInfo.rotation = 0;
    runInfo.xRight = nextCharCTMInfo_.topLeft.x;
    runInfo.frame.size.width = nextCharCTMInfo_.topLeft.x - info.xLeft;
    run->setCtmInfo(runInfo);
    run->setTextWidth(runInfo.frame.size.width);
    run->setRProperty(currentRProperty());
    run->setRunText(text);
    run->setSpaceWidth(spaceWidth);
    page()->allRunTextArray().push_back(std::move(run));
}

QXDocxRunTextPtr QXDocxPDFExporter::newRunText() const
{
    auto run = std::make_shared<QXDocxRunText>();
    if (current_.state != nullptr) {
        run->setIsAnnotion(current_.state->isParseringAnnotion());
        run->setPdfAnnotionIndex(current_.state->pdfAnnotionIndex());
    }
    const std::uint64_t scanIndex = QXDocxScanCounter++;
    run->setPdfScanIndex(scanIndex);
    run->setTextScanIndex(scanIndex);
    if (contentParser_ != nullptr) {
        run->setPdfScanIndex_BegainText(contentParser_->scanOperatorIndex_BegainText());
        run->setPdfScanIndex_ShowText(contentParser_->scanOperatorIndex_ShowText());
    }
    return run;
}

void QXDocxPDFExporter::movePen(Size textOffset)
{
    nextCharTransform_ = nextDisplayTextTransform(textOffset);
    nextCharFontSize_ = current_.display.glyphSize();
    nextCharCTMInfo_ = QXMakeCTMInfo(nextCharFontSize_, current_.display.ascent, current_.display.descent,
                                     nextCharTransform_);
}

const QXDocx_RPr& QXDocxPDFExporter::fontRunProperty() const
{
    const std::shared_ptr<QXPDFFont>& font = current_.state->font();
    if (propertyFont_ == font)
        return propertyOfFont_;
    propertyFont_ = font;
    QXDocx_RPr& r = propertyOfFont_;
    r = QXDocxUtilities::defaultRProperty();
    const std::string_view name =
        font->fontName() && !font->fontName()->empty() ? std::string_view(*font->fontName()) : kUnknownFontName;
    setAllFonts(r.rFonts, name);
    setAllFonts(r.rFonts_replace, font->fontSystemReplaceName() ? std::string_view(*font->fontSystemReplaceName())
                                                                : std::string_view());
    const std::string_view baseName =
        font->baseFontName_New() ? std::string_view(*font->baseFontName_New()) : std::string_view();
    const QXPDFFontDescriptor* descriptor = font->fontDescriptor().get();
    r.b = QXPDFFontUtilities::isBoldFontName(baseName) || (descriptor != nullptr && descriptor->isBold());
    r.i = QXPDFFontUtilities::isItalicFontName(baseName) || (descriptor != nullptr && descriptor->isItalic());
    r.scrpit = 0;
    r.spacing = 0;
    r.w = 100;
    r.u = 0;
    r.noProof = true;
    return r;
}

QXDocx_RPr QXDocxPDFExporter::currentRProperty() const
{
    if (current_.state == nullptr || !current_.state->font())
        return QXDocxUtilities::defaultRProperty();
    QXDocx_RPr r = fontRunProperty();
    const int mode = current_.state->textRenderMode();
    r.b = r.b || mode == 2 || mode == 6;
    if (!r.i) {
        // Slanted text: the glyphs' upright axis is not square to their
        // baseline. The angle is taken from the baseline, so text turned
        // sideways or upside down (text boxes, text paths) is not slanted.
        float angle = QXTransformTextAngle(current_.displayTransform) -
                      QXTransformRotationAngle(current_.displayTransform);
        angle = std::fmod(angle + 720.0f, 360.0f);
        if (QXTransformIsMirrored(current_.displayTransform))
            angle = 360.0f - angle;
        r.i = angle < 88.0f || angle > 92.0f;
    }
    const float size = static_cast<float>(
        QXTransformScaleXY(current_.display.glyphSize(), 0, 0, current_.displayTransform).width);
    r.sz = std::isfinite(size) ? std::max(size, static_cast<float>(kQXMinDisplayFontSize))
                               : static_cast<float>(kQXMinDisplayFontSize);
    const QXPDFRGB rgb = current_.state->currentFillRGBColor();
    r.color = QXDocx_Color{rgb.r, rgb.g, rgb.b, 255};
    return r;
}

bool QXDocxPDFExporter::isContentCurrentEmpty() const
{
    const std::shared_ptr<QXDocxPage> current = page();
    return !current || (current->allRunTextBoxArray().empty() && current->allRunTextPathArray().empty() &&
                        current->allRunImageArray().empty() && current->allRunPathArray().empty());
}

Affine QXDocxPDFExporter::currentDisplayTextTransform() const
{
    return QXCurrentDisplayTextTransform(current_.display, currentPageTransform_);
}

Affine QXDocxPDFExporter::nextDisplayTextTransform(Size offset) const
{
    return QXNextDisplayTextTransform(current_.display, currentPageTransform_, offset);
}

Size QXDocxPDFExporter::convertToDisplaySpaceWidth(double width) const
{
    return QXConvertToDisplaySpaceWidth(current_.display, currentPageTransform_, width);
}

void QXDocxPDFExporter::backToMainText(std::string_view text, Size textOffset)
{
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;
    usingDocxMainText(text, textOffset);
}

// --- Pictures ---

// --- Text boxes ---

void QXDocxPDFExporter::newDocxTextBox(std::string_view text, Size textOffset)
{
    if (isSingleControl(text))
        return;
    const QXPDF_CTMInfo& info = current_.info;
    if (!isFiniteInfo(info))
        return;
    const std::shared_ptr<QXDocxPage> current = page();
    auto box = std::make_shared<QXDocxTextBoxInfo>();
    box->setDisplayX(info.topLeft.x);
    box->setDisplayY(info.topLeft.y);
    box->setDisplayWidth(std::fabs(current->sectProperty().pgSz.w - info.topLeft.x));
    box->setDisplayHeight(std::fabs(current->sectProperty().pgSz.h - info.topLeft.y));
    box->setStroked(false);
    box->setFilled(false);
    box->setStrokeweight(1);
    if (current_.state != nullptr) {
        box->setStrokeDashPattern(current_.state->lineDashPattern());
        box->setStrokeDashPhase(static_cast<std::int64_t>(current_.state->lineDashPhase()));
        box->setStrokecolor(colorOf(current_.state->currentStrokeColor()));
        box->setFillcolor(colorOf(current_.state->currentFillColor()));
    }
    box->setRotation(bucketedAngle(info.rotation));

    current->setIsUsingTextBox(true);
    current->setCachedTextBoxInfo(box);
    current->setCachedTextBoxParagraphs({});
    const QXDocxParagraphPtr paragraph = current->cachedTextBoxNewParagraph();
    QXDocx_PPr p = QXDocxUtilities::defaultPProperty();
    p.spacing.before = 0;
    p.spacing.after = 0;
    p.spacing.line = static_cast<float>(info.fontSize.height);
    QXDocxSetText(p.spacing.lineRule, "exact");
    p.ind.firstLine = 0;
    p.ind.left = 0;
    p.jc = 0;
    paragraph->setPProperty(p);
    appendDocxTextBox(text, textOffset);
}

void QXDocxPDFExporter::usingDocxTextBox(std::string_view text, Size textOffset)
{
    const std::shared_ptr<QXDocxPage> current = page();
    const std::shared_ptr<QXDocxTextBoxInfo> box = current->cachedTextBoxInfo();
    const QXPDF_CTMInfo& info = current_.info;
    const double bucket = bucketedAngle(info.rotation);
    if (!box || bucket != box->rotation()) {
        endTextBoxWritingIfNeed();
        if (bucket == 90 || bucket == 270)
            newDocxTextBox(text, textOffset);
        else
            backToMainText(text, textOffset);
        return;
    }

    const QXPDF_CTMInfo& pen = nextCharCTMInfo_;
    // The space width along the box's baseline: the display length of a
    // space's advance (its horizontal extent alone is nothing for text
    // turned sideways, and no gap would then become spaces).
    double spaceWidth = 1.0;
    if (current_.font != nullptr) {
        const Affine from = currentDisplayTextTransform();
        const Affine to = nextDisplayTextTransform(Size{current_.display.fontSize * current_.font->widthOfSpace(), 0});
        spaceWidth = std::hypot(to.tx - from.tx, to.ty - from.ty);
    }
    double gap = 0;
    double offset = 0;
    // The gap runs along the text from the pen to the character: down the
    // page at 90 degrees, up at 270, leftwards at 180 (measured the other
    // way, every blank between two words would close the box or be lost).
    if (bucket == 90) {
        gap = info.bottomLeft.y - pen.bottomLeft.y;
        offset = info.xBase - pen.xBase;
    } else if (bucket == 270) {
        gap = pen.bottomLeft.y - info.bottomLeft.y;
        offset = pen.xBase - info.xBase;
    } else {
        gap = pen.bottomLeft.x - info.bottomLeft.x;
        offset = info.yBase - pen.yBase;
    }

    if (offset > kTextBoxNewLineOffset) {
        if (offset < kTextBoxMaxLineOffset && box->displayX() <= info.topLeft.x) {
            const QXDocxParagraphPtr paragraph = current->cachedTextBoxNewParagraph();
            QXDocx_PPr p = QXDocxUtilities::defaultPProperty();
            p.spacing.before = 0;
            p.spacing.after = 0;
            p.spacing.line = static_cast<float>(offset);
            QXDocxSetText(p.spacing.lineRule, "exact");
            p.ind.firstLine = 0;
            p.ind.left = static_cast<float>(info.topLeft.x - box->displayX());
            p.jc = 0;
            paragraph->setPProperty(p);
            appendDocxTextBox(text, textOffset);
            return;
        }
    } else if (gap >= -spaceWidth && gap <= kTextBoxMaxGapSpaces * spaceWidth && offset > -kTextBoxNewLineOffset) {
        const float spaces = std::floor(static_cast<float>(gap / spaceWidth));
        if (spaces > 0 && spaces < 1000) {
            std::string joined(static_cast<std::size_t>(spaces), ' ');
            joined.append(text);
            appendDocxTextBox(joined, textOffset);
        } else {
            appendDocxTextBox(text, textOffset);
        }
        return;
    }
    endTextBoxWritingIfNeed();
    backToMainText(text, textOffset);
}

void QXDocxPDFExporter::appendDocxTextBox(std::string_view text, Size textOffset)
{
    const std::shared_ptr<QXDocxPage> current = page();
    const QXDocxParagraphPtr paragraph = current->cachedTextBoxLastParagraph();
    const std::shared_ptr<QXDocxTextBoxInfo> box = current->cachedTextBoxInfo();
    if (!paragraph || !box)
        return;
    const QXPDF_CTMInfo info = current_.info;
    const QXDocx_RPr property = currentRProperty();
    // The paragraph's last run so far (the paragraph is still being filled,
    // so its write groups do not exist yet).
    QXDocxRunTextPtr run;
    if (!paragraph->lineArray().empty() && !paragraph->lineArray().back()->runTextArray().empty())
        run = paragraph->lineArray().back()->runTextArray().back();
    if (run && QXRPropertyIsEqual(run->rProperty(), property)) {
        run->setRunText(run->runText() + std::string(text));
    } else {
        run = newRunText();
        run->setRProperty(property);
        run->setRunText(text);
        paragraph->addRunTextArray({run});
        QXDocx_PPr p = paragraph->pProperty();
        if (info.fontSize.height > p.spacing.line)
            p.spacing.line = static_cast<float>(info.fontSize.height);
        paragraph->setPProperty(p);
    }

    movePen(textOffset);
    const QXPDF_CTMInfo& next = nextCharCTMInfo_;
    const double rotation = box->rotation();
    double advance = 0;
    // A sideways box reaches across its lines to the glyph tops: the right
    // edge of text turned by 90 degrees, the left edge of text turned by
    // 270 (the tops lie an ascent away from the baseline).
    if (rotation == 90) {
        box->setDisplayX(std::isnan(box->displayX()) ? next.xAscent : std::max(next.xAscent, box->displayX()));
        advance = std::fabs(next.topLeft.y - info.topLeft.y);
    } else if (rotation == 270) {
        box->setDisplayX(std::isnan(box->displayX()) ? next.xAscent : std::min(next.xAscent, box->displayX()));
        advance = std::fabs(next.topLeft.y - info.topLeft.y);
    } else {
        advance = std::fabs(next.topLeft.x - info.topLeft.x);
    }
    if (std::isfinite(advance))
        run->setTextWidth(run->textWidth() + advance);
}

void QXDocxPDFExporter::endTextBoxWritingIfNeed()
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current || !current->isUsingTextBox())
        return;
    const std::shared_ptr<QXDocxTextBoxInfo> box = current->cachedTextBoxInfo();
    if (box) {
        // Along its lines a box keeps 10 points beyond the widest line and
        // a little more for readers that set the text in other fonts or
        // keep an inset of their own (LibreOffice wraps the last word of a
        // line that only just fits, and hides the wrapped line). The room
        // is at the far end of the lines, so the text stays in place.
        const double widest = current->cachedTextBoxWidthMax();
        const double room = std::max(kTextBoxLineEndRoom, kTextBoxLineEndRoomFraction * widest);
        const double width = widest + 10 + (std::isfinite(room) ? room : 0);
        const double height = current->cachedTextBoxHeight();
        // Across its lines a box keeps room for half a line more than the
        // line pitches: word processors lay out text only in a box at least
        // as deep as a line of its font (LibreOffice stacks the characters
        // of a sideways box an exact line pitch deep one per line, and cuts
        // the glyphs of a level one). The room is on the far side of the
        // last line, so the text stays where it was drawn.
        const QXDocxParagraphPtr last = current->cachedTextBoxLastParagraph();
        const double lineRoom = last ? kTextBoxLineRoom * last->pProperty().spacing.line : 0;
        const double depth = height + (std::isfinite(lineRoom) ? lineRoom : 0);
        if (box->rotation() != 90 && box->rotation() != 270) {
            box->setDisplayWidth(width);
            box->setDisplayHeight(depth);
        } else {
            box->setDisplayWidth(depth);
            box->setDisplayHeight(width);
        }
        if (const QXDocxParagraphPtr lastParagraph = current->cachedTextBoxLastParagraph())
            lastParagraph->resolvePProperty();
        auto run = std::make_shared<QXDocxRunTextBox>();
        // The state current at closing; none at the end of a pass.
        if (renderingStateStack_ && renderingStateStack_->depth() > 0) {
            const QXPDFRenderState& state = renderingStateStack_->topRenderingState();
            run->setIsAnnotion(state.isParseringAnnotion());
            run->setPdfAnnotionIndex(state.pdfAnnotionIndex());
        }
        run->setPdfScanIndex(QXDocxScanCounter++);
        run->setPictZIndex(QXDocxFrontZIndexCounter++);
        run->setParagraphArray(current->cachedTextBoxParagraphs());
        run->setPictInfo(box);
        current->allRunTextBoxArray().push_back(std::move(run));
    }
    current->setIsUsingTextBox(false);
    current->setCachedTextBoxInfo(nullptr);
    current->setCachedTextBoxParagraphs({});
}

// --- Text paths ---

void QXDocxPDFExporter::newDocxTextPath(std::string_view text, Size textOffset)
{
    const QXPDF_CTMInfo& info = current_.info;
    if (!isFiniteInfo(info))
        return;
    auto path = std::make_shared<QXDocxTextPathInfo>();
    path->setDisplayX(info.topLeft.x);
    path->setDisplayY(info.topLeft.y);
    path->setDisplayWidth(info.fontSize.width);
    path->setDisplayHeight(info.fontSize.height);
    path->setStroked(false);
    path->setFilled(true);
    path->setStrokeweight(1);
    if (current_.state != nullptr) {
        path->setStrokecolor(colorOf(current_.state->currentStrokeColor()));
        path->setFillcolor(colorOf(current_.state->currentFillColor()));
    }
    path->setRotation(info.rotation);
    path->setFlipY(info.flip != 0);
    path->setTrim(true);
    path->setFitpath(false);
    path->setRProperty(currentRProperty());
    const std::shared_ptr<QXDocxPage> current = page();
    current->setIsUsingTextPath(true);
    current->setCachedTextPathInfo(path);
    current->setCachedTextPathString({});
    appendDocxTextPath(text, textOffset);
}

void QXDocxPDFExporter::appendDocxTextPath(std::string_view text, Size textOffset)
{
    page()->cachedTextPathString().append(text);
    movePen(textOffset);
}

void QXDocxPDFExporter::usingDocxTextPath(std::string_view text, Size textOffset)
{
    const std::shared_ptr<QXDocxTextPathInfo> path = page()->cachedTextPathInfo();
    const QXPDF_CTMInfo& info = current_.info;
    const QXPDF_CTMInfo& pen = nextCharCTMInfo_;
    if (path) {
        const float direction =
            QXSegmentAngleDegrees(path->displayX(), path->displayY(), info.topLeft.x, info.topLeft.y);
        if (pen.flip == info.flip && info.rotation == pen.rotation && direction == info.rotation) {
            appendDocxTextPath(text, textOffset);
            return;
        }
    }
    endTextPathWritingIfNeed();
    backToMainText(text, textOffset);
}

void QXDocxPDFExporter::endTextPathWritingIfNeed()
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current || !current->isUsingTextPath())
        return;
    if (const std::shared_ptr<QXDocxTextPathInfo> path = current->cachedTextPathInfo()) {
        const double x0 = path->displayX();
        const double y0 = path->displayY();
        const double dx = nextCharCTMInfo_.topLeft.x - x0;
        const double dy = nextCharCTMInfo_.topLeft.y - y0;
        const double length = std::sqrt(dx * dx + dy * dy);
        path->setDisplayWidth(length);
        path->setDisplayX(x0 + dx / 2 - length / 2);
        path->setDisplayY(y0 + dy / 2);
        auto run = std::make_shared<QXDocxRunTextPath>();
        run->setPdfScanIndex(QXDocxScanCounter++);
        run->setPictZIndex(QXDocxFrontZIndexCounter++);
        run->setRunText(current->cachedTextPathString());
        run->setPictInfo(path);
        run->setRProperty(path->rProperty());
        current->allRunTextPathArray().push_back(std::move(run));
    }
    current->setIsUsingTextPath(false);
    current->setCachedTextPathInfo(nullptr);
    current->setCachedTextPathString({});
}

} // namespace rz
