#include "flowtext/QXFlowTextPDFExporter.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXDocxCounters.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/state/QXPDFFontCache.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/text/Utf.h"

#include <cmath>

namespace rz {

namespace {

// The turn of a character counted for the main-text test: a direction that
// rounds to 360 is upright text skewed by less than half a degree.
float uprightRotation(float rotation)
{
    return rotation == 360.0f ? 0.0f : rotation;
}

// Text with something to see: a character other than a space or a control.
bool isVisibleText(std::string_view text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u > 0x20 && u != 0x7F)
            return true;
    }
    return false;
}

bool isFiniteGeometry(const QXPDF_CTMInfo& info)
{
    return std::isfinite(info.topLeft.x) && std::isfinite(info.topLeft.y) && std::isfinite(info.bottomLeft.x) &&
           std::isfinite(info.bottomLeft.y) && std::isfinite(info.fontSize.width);
}

} // namespace

void QXFlowTextCharState::takeGeometry(const QXPDFRenderState& state)
{
    display.textMatrix = state.textMatrix();
    display.ctm = state.ctm();
    display.fontSize = state.fontSize();
    display.horizontalScaling = state.horizontalScaling();
    display.textRise = state.textRise();
    textRenderMode = state.textRenderMode();
}

void QXFlowTextCharState::takeFont(const QXPDFFont& font)
{
    hasFont = true;
    display.ascent = font.ascent();
    display.descent = font.descent();
    widthOfSpace = font.widthOfSpace();
    fontName = font.fontName() ? std::string_view(*font.fontName()) : std::string_view();
    fontFamilyName = font.fontFamilyName() ? std::string_view(*font.fontFamilyName()) : std::string_view();
    hasDescriptor = false;
    descriptorBold = false;
    descriptorItalic = false;
    if (const QXPDFFontDescriptor* descriptor = font.fontDescriptor().get()) {
        hasDescriptor = true;
        descriptorBold = descriptor->isBold();
        descriptorItalic = descriptor->isItalic();
    }
}

QXFlowTextPDFExporter::~QXFlowTextPDFExporter() = default;

void QXFlowTextPDFExporter::begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>&)
{
    writer_.reset();
    writer_ = newDocumentWriter();
    writer_->initWithPath(destPath, static_cast<std::int64_t>(numberOfPagesToConvert()));
    writer_->begainWriteDocument();
    fontCache_ = std::make_shared<QXPDFFontCache>(fontNaming());
    isShouldCancel_ = false;
}

bool QXFlowTextPDFExporter::convertPDFPage(const pdf::Page& page)
{
    if (!page.isValid() || !writer_)
        return false;
    beginPage(QXPDFUtilities::MediaBoxOfPDFPage(page), page.rotationAngle());
    interpretPage(page);

    // Text drawn sideways (a landscape table set on a portrait page) or
    // upside down is dropped above; when it is most of the page, the page
    // is read again turned back by the text's angle.
    if (const int sideways = sidewaysTextRotation(); sideways != 0 && !isShouldCancel()) {
        const int turned = currentPageRotationAngle_ + 360 - sideways;
        turnPage(QXPDFUtilities::GetPDFPageRect(page, 0, turned), turned);
        interpretPage(page);
    }

    endPage();
    return true;
}

void QXFlowTextPDFExporter::interpretPage(const pdf::Page& page)
{
    QXPDFConentParser parser(page);
    parser.setDelegate(this);
    parser.setRenderingStateStack(renderingStateStack_);
    parser.setIsParserAnnots(0);
    parser.setFontCache(fontCache_);
    parser.startParser();
}

void QXFlowTextPDFExporter::endConvertPDF(const std::shared_ptr<pdf::Document>&)
{
    releaseDocumentFonts();
    if (!writer_)
        throw QXConversionException("The document was never begun.");
    writer_->endWriteDocument();
    writer_->packetZipFileIfNeed();
}

void QXFlowTextPDFExporter::cleanConvertPDF()
{
    releaseDocumentFonts();
    // The destination was never written; the writer's work folder goes now
    // rather than with the exporter.
    writer_.reset();
}

void QXFlowTextPDFExporter::releaseDocumentFonts()
{
    fontCache_.reset();
    fontFields_ = FontFields{};
}

void QXFlowTextPDFExporter::beginPage(const Rect& mediaBox, int rotation)
{
    setUpPage(mediaBox, rotation);
    if (writer_)
        writer_->begainWritePage(mediaBox.size);
}

void QXFlowTextPDFExporter::turnPage(const Rect& mediaBox, int rotation)
{
    setUpPage(mediaBox, rotation);
    QXDocxScanCounter = 0;
    if (!writer_ || !writer_->currentPage())
        return;
    QXFlowPage& page = *writer_->currentPage();
    page.allRunTextArray().clear();
    QXDocx_SectPr section = page.sectProperty();
    section.pgSz.w = static_cast<float>(mediaBox.size.width);
    section.pgSz.h = static_cast<float>(mediaBox.size.height);
    page.setSectProperty(section);
}

void QXFlowTextPDFExporter::setUpPage(const Rect& mediaBox, int rotation)
{
    int r = rotation % 360;
    if (r < 0)
        r += 360;
    currentPageRotationAngle_ = r;
    currentPageMediaBox_ = mediaBox;
    currentPageTransform_ = QXExportPageTransform(r, mediaBox.size.width, mediaBox.size.height);
    // The record of the last character taken stays what it was; it is made
    // now from the values reset below.
    nextCharCTMInfo();
    nextCharFontSize_ = 1.0;
    mainTextFontSize_ = 1.0;
    nextCharTransform_ = Affine::identity();
    mainTextTransform_ = Affine::identity();
    renderingStateStack_ = std::make_shared<QXPDFRenderStateStack>();
    fillColor_ = FillColor{};
    isNotScanTextYet_ = true;
    countedCharacters_ = 0;
    for (std::uint64_t& count : turnedCharacters_)
        count = 0;
}

int QXFlowTextPDFExporter::sidewaysTextRotation() const
{
    for (int k = 0; k < 3; ++k)
        if (turnedCharacters_[k] > countedCharacters_ / 2)
            return 90 * (k + 1);
    return 0;
}

void QXFlowTextPDFExporter::endPage()
{
    if (writer_)
        writer_->endWritePage();
}

void QXFlowTextPDFExporter::QXPDFConentParser_didScanText_textOffset(QXPDFConentParser&, const std::string& text,
                                                                     Size textOffset)
{
    if (isShouldCancel())
        return;
    const QXPDFRenderState* top =
        renderingStateStack_ && renderingStateStack_->depth() > 0 ? &renderingStateStack_->topRenderingState() : nullptr;
    // The text of a soft-mask group shapes the mask's alpha; it is not
    // page content.
    if (top != nullptr && top->isParseringExtGState())
        return;
    QXFlowTextCharState state;
    if (top != nullptr) {
        // The font's fields and the fill colour come from what the previous
        // characters already read when they are unchanged.
        if (const std::shared_ptr<QXPDFFont>& font = top->font()) {
            if (fontFields_.font != font) {
                fontFields_.font = font;
                fontFields_.fields = QXFlowTextCharState();
                fontFields_.fields.takeFont(*font);
            }
            state = fontFields_.fields;
        }
        state.takeGeometry(*top);
        const std::shared_ptr<const QXPDFColorSpace>& space = top->fillColorSpace();
        if (!fillColor_.valid || fillColor_.space != space || !(fillColor_.color == top->fillColor())) {
            fillColor_.space = space;
            fillColor_.color = top->fillColor();
            fillColor_.rgb = top->currentFillRGBColor();
            fillColor_.valid = true;
        }
        state.fillRed = fillColor_.rgb.r;
        state.fillGreen = fillColor_.rgb.g;
        state.fillBlue = fillColor_.rgb.b;
    }
    usingDocxMainText(text, textOffset, state);
}

Affine QXFlowTextPDFExporter::currentDisplayTextTransform(const QXFlowTextCharState& state) const
{
    return QXCurrentDisplayTextTransform(state.display, currentPageTransform_);
}

Affine QXFlowTextPDFExporter::nextDisplayTextTransform(const QXFlowTextCharState& state, Size offset) const
{
    return QXNextDisplayTextTransform(state.display, currentPageTransform_, offset);
}

Size QXFlowTextPDFExporter::convertToDisplaySpaceWidth(const QXFlowTextCharState& state, double width) const
{
    return QXConvertToDisplaySpaceWidth(state.display, currentPageTransform_, width);
}

void QXFlowTextPDFExporter::usingDocxMainText(std::string_view text, Size textOffset, const QXFlowTextCharState& state)
{
    if (isShouldCancel() || text.empty())
        return;
    if (isNotScanTextYet_ && text.size() == 1 && static_cast<unsigned char>(text[0]) < 33)
        return;

    // The glyph size goes with the display transforms, which carry the
    // font size's sign; advances are in text space, where it stays.
    const double fontSize = state.display.glyphSize();
    const double ascent = state.display.ascent;
    const double descent = state.display.descent;
    const Affine display = currentDisplayTextTransform(state);
    QXPDF_CTMInfo info = QXMakeCTMInfo(fontSize, ascent, descent, display);
    if (isVisibleText(text)) {
        ++countedCharacters_;
        if (info.flip == 0) {
            for (int k = 0; k < 3; ++k)
                if (std::fabs(info.rotation - 90.0f * static_cast<float>(k + 1)) < kMainTextMaxRotation)
                    ++turnedCharacters_[k];
        }
    }
    if (info.flip != 0 || !(uprightRotation(info.rotation) < kMainTextMaxRotation))
        return;
    const Affine next = nextDisplayTextTransform(state, textOffset);
    // The x of the next record's top-left corner is its transform's origin.
    const double textWidth = std::fabs(next.tx - info.topLeft.x);
    // A character the page cannot place (coordinates beyond any number) is dropped.
    if (!isFiniteGeometry(info) || !std::isfinite(textWidth))
        return;

    isNotScanTextYet_ = false;
    // convertToDisplaySpaceWidth, with the display transform already made.
    const double spaceWidth =
        QXTextDisplayRect(fontSize, ascent, descent, display,
                          nextDisplayTextTransform(state, Size{state.widthOfSpace * state.display.fontSize, 0}))
            .size.width;

    QXFlowRunTextRef run = newRunText();
    run->setPdfScanIndex(QXDocxScanCounter++);
    info.flip = 0;
    info.rotation = 0;
    run->setCtmInfo(info);
    if (!state.hasFont) {
        run->setSharedRProperty(nullptr); // the default run property
    } else {
        const QXDocx_RPr& font = fontRunProperty(state);
        const CharacterStyle style = characterStyle(state, display, info, font);
        if (!lastRunProperty_ || lastRunPropertyGeneration_ != fontProperty_.generation ||
            !(style == CharacterStyle::of(*lastRunProperty_))) {
            auto property = std::make_shared<QXDocx_RPr>(font);
            style.applyTo(*property);
            lastRunProperty_ = std::move(property);
            lastRunPropertyGeneration_ = fontProperty_.generation;
        }
        run->setSharedRProperty(lastRunProperty_);
    }
    run->setRunText(utf8ToUtf16(text));
    run->setSpaceWidth(spaceWidth);

    nextCharTransform_ = next;
    nextCharFontSize_ = fontSize;
    nextCharAscent_ = ascent;
    nextCharDescent_ = descent;
    nextCharCTMInfoMade_ = false;
    mainTextTransform_ = nextCharTransform_;
    mainTextFontSize_ = nextCharFontSize_;
    run->setTextWidth(textWidth);

    if (writer_ && writer_->currentPage())
        writer_->currentPage()->allRunTextArray().push_back(std::move(run));
}

const QXPDF_CTMInfo& QXFlowTextPDFExporter::nextCharCTMInfo() const
{
    if (!nextCharCTMInfoMade_) {
        nextCharCTMInfo_ = QXMakeCTMInfo(nextCharFontSize_, nextCharAscent_, nextCharDescent_, nextCharTransform_);
        nextCharCTMInfoMade_ = true;
    }
    return nextCharCTMInfo_;
}

bool QXFlowTextPDFExporter::isSlanted(const Affine& t)
{
    const double q = std::fabs((t.a + t.c) / (t.b + t.d));
    return q > 1.1 || q < 0.9;
}

const QXDocx_RPr& QXFlowTextPDFExporter::fontRunProperty(const QXFlowTextCharState& state) const
{
    FontProperty& cached = fontProperty_;
    if (cached.valid && cached.fontName == state.fontName && cached.fontFamilyName == state.fontFamilyName &&
        cached.hasDescriptor == state.hasDescriptor && cached.descriptorBold == state.descriptorBold &&
        cached.descriptorItalic == state.descriptorItalic)
        return cached.property;

    ++cached.generation;
    cached.fontName = state.fontName;
    cached.fontFamilyName = state.fontFamilyName;
    cached.hasDescriptor = state.hasDescriptor;
    cached.descriptorBold = state.descriptorBold;
    cached.descriptorItalic = state.descriptorItalic;
    QXDocx_RPr& r = cached.property;
    r = QXDocxUtilities::defaultRProperty();
    const std::string_view family = state.fontFamilyName.empty() ? kFallbackFontName : state.fontFamilyName;
    QXDocxSetText(r.rFonts.ascii, family);
    QXDocxSetText(r.rFonts.hAnsi, family);
    QXDocxSetText(r.rFonts.cs, family);
    QXDocxSetText(r.rFonts.eastAsia, family);
    const std::string_view name = state.fontName.empty() ? kFallbackFontName : state.fontName;
    r.b = QXPDFFontUtilities::isBoldFontName(name) || (state.hasDescriptor && state.descriptorBold);
    r.i = QXPDFFontUtilities::isItalicFontName(name) || (state.hasDescriptor && state.descriptorItalic);
    r.spacing = 0;
    r.w = 100;
    r.u = 0;
    r.scrpit = 0;
    r.noProof = true;
    cached.valid = true;
    return r;
}

QXDocx_RPr QXFlowTextPDFExporter::currentRProperty(const QXFlowTextCharState& state) const
{
    if (!state.hasFont)
        return QXDocxUtilities::defaultRProperty();
    const Affine display = currentDisplayTextTransform(state);
    return runProperty(state, display,
                       QXMakeCTMInfo(state.display.glyphSize(), state.display.ascent, state.display.descent, display));
}

QXFlowTextPDFExporter::CharacterStyle QXFlowTextPDFExporter::characterStyle(const QXFlowTextCharState& state,
                                                                           const Affine& display,
                                                                           const QXPDF_CTMInfo& info,
                                                                           const QXDocx_RPr& font) const
{
    CharacterStyle style;
    style.b = font.b || (renderModeMakesBold() && (state.textRenderMode == 2 || state.textRenderMode == 6));
    style.i = font.i || isSlanted(display);
    style.sz = static_cast<float>(info.fontSize.width);
    style.color = QXDocx_Color{state.fillRed, state.fillGreen, state.fillBlue, 255};
    return style;
}

QXDocx_RPr QXFlowTextPDFExporter::runProperty(const QXFlowTextCharState& state, const Affine& display,
                                              const QXPDF_CTMInfo& info) const
{
    if (!state.hasFont)
        return QXDocxUtilities::defaultRProperty();
    const QXDocx_RPr& font = fontRunProperty(state);
    QXDocx_RPr r = font;
    characterStyle(state, display, info, font).applyTo(r);
    return r;
}

} // namespace rz
