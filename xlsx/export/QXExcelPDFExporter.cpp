#include "xlsx/export/QXExcelPDFExporter.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXHexColor.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/state/QXPDFFontCache.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelStyle.h"

#include <cmath>

namespace rz {

namespace {

bool isFiniteInfo(const QXPDF_CTMInfo& info)
{
    return std::isfinite(info.topLeft.x) && std::isfinite(info.topLeft.y) && std::isfinite(info.bottomLeft.x) &&
           std::isfinite(info.bottomLeft.y) && std::isfinite(info.yBase) && std::isfinite(info.xLeft);
}

// The angle a run is stored with: upright within 5 degrees is 0, within 5
// degrees of 90 or 270 that angle; mirrored text keeps its own.
float snappedAngle(const QXPDF_CTMInfo& info)
{
    const float r = info.rotation;
    if (info.flip != 0)
        return r;
    if (r < 5)
        return 0;
    if (r > 85 && r < 95)
        return 90;
    if (r > 265 && r < 275)
        return 270;
    return r;
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

bool isBlack(const QXPDFRGB& rgb)
{
    return rgb.r <= 10 && rgb.g <= 10 && rgb.b <= 10;
}

bool isSlanted(const Affine& t)
{
    const double q = std::fabs((t.a + t.c) / (t.b + t.d));
    return q > 1.1 || q < 0.9;
}

} // namespace

QXExcelPDFExporter::QXExcelPDFExporter() = default;
QXExcelPDFExporter::~QXExcelPDFExporter() = default;

void QXExcelPDFExporter::begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>&)
{
    QXExcelManager::sharedInstance();
    QXExcelManager::reset();
    runTextCount_ = 0;
    lastFont_ = RegisteredFont{};
    pdfWriter_.reset();
    pdfWriter_ = std::make_unique<QXExcelWriter>();
    pdfWriter_->initWithPath(destPath, numberOfPagesToConvert());
    pdfWriter_->begainWriteDocument();
    fontCache_ = std::make_shared<QXPDFFontCache>();
    isShouldCancel_ = false;
}

bool QXExcelPDFExporter::convertPDFPage(const pdf::Page& page)
{
    if (!page.isValid() || !pdfWriter_)
        return false;
    // After a failure that made the document unsound no page is written.
    if (pdfWriter_->failure())
        throw QXConversionException(*pdfWriter_->failure());
    beginPage(QXPDFUtilities::MediaBoxOfPDFPage(page), page.rotationAngle());
    interpretPage(page);
    if (const int sideways = sidewaysTextRotation(); sideways != 0 && !isShouldCancel()) {
        const int turned = currentPageRotationAngle_ + 360 - sideways;
        turnPage(QXPDFUtilities::GetPDFPageRect(page, 0, turned), turned);
        interpretPage(page);
    }
    renderingStateStack_.reset();
    endPage();
    return true;
}

void QXExcelPDFExporter::interpretPage(const pdf::Page& page)
{
    QXPDFConentParser parser(page);
    parser.setDelegate(this);
    parser.setRenderingStateStack(renderingStateStack_);
    parser.setIsParserAnnots(0);
    parser.setFontCache(fontCache_);
    parser.startParser();
}

void QXExcelPDFExporter::endConvertPDF(const std::shared_ptr<pdf::Document>& document)
{
    fontCache_.reset();
    if (!pdfWriter_)
        throw QXConversionException("The document was never begun.");
    pdfWriter_->endWriteDocument();
    pdfWriter_->packetZipFileIfNeed(document);
}

void QXExcelPDFExporter::cleanConvertPDF()
{
    fontCache_.reset();
    // Nothing was completed; the work folder goes with the writer.
    pdfWriter_.reset();
}

void QXExcelPDFExporter::beginPage(const Rect& mediaBox, int rotation)
{
    setUpPage(mediaBox, rotation);
    if (pdfWriter_)
        pdfWriter_->begainWritePage(mediaBox.size);
}

void QXExcelPDFExporter::turnPage(const Rect& mediaBox, int rotation)
{
    setUpPage(mediaBox, rotation);
    if (pdfWriter_ && pdfWriter_->currentPage())
        pdfWriter_->currentPage()->allRunTextArray().clear();
}

int QXExcelPDFExporter::sidewaysTextRotation() const
{
    for (int k = 0; k < 3; ++k)
        if (turnedCharacters_[k] > countedCharacters_ / 2)
            return 90 * (k + 1);
    return 0;
}

void QXExcelPDFExporter::setUpPage(const Rect& mediaBox, int rotation)
{
    int r = rotation % 360;
    if (r < 0)
        r += 360;
    currentPageRotationAngle_ = r;
    currentPageMediaBox_ = mediaBox;
    currentPageTransform_ = QXExportPageTransform(r, mediaBox.size.width, mediaBox.size.height);
    renderingStateStack_ = std::make_shared<QXPDFRenderStateStack>();
    isNotScanTextYet_ = true;
    lastPropertyValid_ = false;
    countedCharacters_ = 0;
    for (uint64_t& count : turnedCharacters_)
        count = 0;
}

void QXExcelPDFExporter::endPage()
{
    if (pdfWriter_)
        pdfWriter_->endWritePage();
}

void QXExcelPDFExporter::QXPDFConentParser_didScanText_textOffset(QXPDFConentParser&, const std::string& text,
                                                                  Size textOffset)
{
    if (isShouldCancel())
        return;
    if (!pdfWriter_ || !pdfWriter_->currentPage() || !pdfWriter_->currentPage()->isCollectingRunText())
        return;
    const QXPDFRenderState* top =
        renderingStateStack_ && renderingStateStack_->depth() > 0 ? &renderingStateStack_->topRenderingState() : nullptr;
    // The text of a soft-mask group only shapes the mask.
    if (top != nullptr && top->isParseringExtGState())
        return;
    collectRunText(text, textOffset, top);
}

QXDisplayTextState QXExcelPDFExporter::displayState(const QXPDFRenderState* state) const
{
    return QXDisplayTextState::of(state);
}

void QXExcelPDFExporter::collectRunText(std::string_view text, Size textOffset, const QXPDFRenderState* state)
{
    if (text.empty() || !pdfWriter_ || !pdfWriter_->currentPage())
        return;
    if (isNotScanTextYet_ && text.size() == 1 && static_cast<unsigned char>(text[0]) < 33)
        return;

    const QXDisplayTextState display = displayState(state);
    const double size = display.glyphSize();
    const Affine current = QXCurrentDisplayTextTransform(display, currentPageTransform_);
    QXPDF_CTMInfo info = QXMakeCTMInfo(size, display.ascent, display.descent, current);
    if (!isFiniteInfo(info))
        return;
    const float angle = snappedAngle(info);
    if (info.flip == 0 && info.rotation < 5)
        isNotScanTextYet_ = false;
    if (isVisibleText(text)) {
        ++countedCharacters_;
        if (info.flip == 0)
            for (int k = 0; k < 3; ++k)
                if (std::fabs(info.rotation - 90.0f * static_cast<float>(k + 1)) < 5.0f)
                    ++turnedCharacters_[k];
    }

    double wordSpace = 0;
    if (state != nullptr && state->font()) {
        const double width =
            state->font()->widthOfSpace() * state->fontSize() * std::fabs(state->horizontalScaling());
        wordSpace = QXConvertToDisplaySpaceWidth(display, currentPageTransform_, width).width;
        if (!std::isfinite(wordSpace))
            wordSpace = 0;
    }
    const QXPDF_CTMInfo next = QXMakeCTMInfo(size, display.ascent, display.descent,
                                             QXNextDisplayTextTransform(display, currentPageTransform_, textOffset));
    const double xr = next.topLeft.x;
    if (!std::isfinite(xr))
        return;

    bool propertyChanged = false;
    const QXExcelRunTextProperty& rPr = runProperty(state, current, propertyChanged);
    const double textWidth = (angle == 90 || angle == 270) ? std::fabs(info.bottomLeft.y - info.topLeft.y)
                                                                 : std::fabs(xr - info.topLeft.x);
    const size_t scanIndex = runTextCount_++;

    // Most characters continue the run before them: they join it without a
    // run of their own being made.
    auto& runs = pdfWriter_->currentPage()->allRunTextArray();
    if (!runs.empty() && runs.back() &&
        joinRun(*runs.back(), info.yBase, info.xLeft, xr, rPr, text, textWidth, wordSpace)) {
        if (propertyChanged)
            registerRunFont(rPr);
        return;
    }

    auto run = std::make_shared<QXExcelRunText>();
    run->setPdfScanIndex(scanIndex);
    run->setRPr(rPr);
    run->setText(std::string(text));
    info.rotation = angle;
    info.xRight = xr;
    info.frame.size.width = xr - info.xLeft;
    run->setCtmInfo(info);
    run->setTextWidth(textWidth);
    runs.push_back(run);
    registerRunFont(run->rPr());
}

const QXExcelRunTextProperty& QXExcelPDFExporter::runProperty(const QXPDFRenderState* state, const Affine& display,
                                                             bool& changed)
{
    PropertyKey key;
    if (state != nullptr && state->font()) {
        key.font = state->font().get();
        key.a = display.a;
        key.b = display.b;
        key.c = display.c;
        key.d = display.d;
        key.glyphSize = std::fabs(state->fontSize());
        key.textRenderMode = state->textRenderMode();
        key.fill = state->currentFillRGBColor();
    }
    changed = !lastPropertyValid_ || !(key == lastPropertyKey_);
    if (changed) {
        lastProperty_ = currentRProperty(state);
        lastPropertyKey_ = key;
        lastPropertyFont_ = state != nullptr ? state->font() : nullptr;
        lastPropertyValid_ = true;
    }
    return lastProperty_;
}

bool QXExcelPDFExporter::joinRun(QXExcelRunText& last, double yBase, double xLeft, double xRight,
                                 const QXExcelRunTextProperty& rPr, std::string_view text, double textWidth,
                                 double wordSpace)
{
    if (std::fabs(yBase - last.ctmInfo().yBase) >= kJoinTolerance)
        return false;
    const double gap = xLeft - last.ctmInfo().xRight;
    // Touching is tried first: a gap under a point never takes a space.
    if (std::fabs(gap) < kJoinTolerance) {
        if (!last.rPr().isEqualToRPr(rPr))
            return false;
        last.text().append(text);
        last.setTextWidth(last.textWidth() + textWidth);
    } else if (std::fabs(gap - wordSpace) < kJoinTolerance) {
        if (!last.rPr().isEqualToRPr(rPr))
            return false;
        last.text().push_back(' ');
        last.text().append(text);
        last.setTextWidth(last.textWidth() + wordSpace + textWidth);
    } else {
        return false;
    }
    last.ctmInfo().xRight = xRight;
    return true;
}

void QXExcelPDFExporter::addToAllRunTextArray(const std::shared_ptr<QXExcelRunText>& run, double wordSpace)
{
    if (!pdfWriter_ || !pdfWriter_->currentPage() || !run)
        return;
    auto& runs = pdfWriter_->currentPage()->allRunTextArray();
    const QXPDF_CTMInfo& info = run->ctmInfo();
    if (!runs.empty() && runs.back() &&
        joinRun(*runs.back(), info.yBase, info.xLeft, info.xRight, run->rPr(), run->text(), run->textWidth(),
                wordSpace))
        return;
    runs.push_back(run);
}

QXExcelRunTextProperty QXExcelPDFExporter::currentRProperty(const QXPDFRenderState* state) const
{
    QXExcelRunTextProperty rPr;
    if (state == nullptr || !state->font())
        return rPr;
    const QXPDFFont& font = *state->font();
    const QXDisplayTextState display = displayState(state);
    const Affine t = QXCurrentDisplayTextTransform(display, currentPageTransform_);
    const double size = static_cast<float>(display.glyphSize() * std::hypot(t.a, t.b));
    rPr.sz = std::isfinite(size) && size > 5.0 ? size : 5.0;

    const std::string fontName = font.fontName().value_or(std::string());
    const std::string familyName = font.fontFamilyName().value_or(std::string());
    rPr.rFont = !fontName.empty() ? fontName : (!familyName.empty() ? familyName : kUnknownFontName);
    rPr.family = !familyName.empty() ? familyName : (!fontName.empty() ? fontName : kUnknownFontName);

    const std::string baseName = font.baseFontName_New().value_or(std::string());
    const QXPDFFontDescriptor* descriptor = font.fontDescriptor().get();
    const int mode = state->textRenderMode();
    rPr.b = QXPDFFontUtilities::isBoldFontName(baseName) || (descriptor != nullptr && descriptor->isBold()) ||
            mode == 2 || mode == 6;
    rPr.i = QXPDFFontUtilities::isItalicFontName(baseName) || (descriptor != nullptr && descriptor->isItalic()) ||
            isSlanted(t);
    if (font.fontSystemReplaceName() && !font.fontSystemReplaceName()->empty())
        rPr.rFont_replace = *font.fontSystemReplaceName();
    const QXPDFRGB fill = state->currentFillRGBColor();
    rPr.rgbColor = QXHexColor::hexFromChannels(fill.r, fill.g, fill.b);
    return rPr;
}

void QXExcelPDFExporter::registerRunFont(const QXExcelRunTextProperty& rPr)
{
    RegisteredFont& last = lastFont_;
    if (last.valid && last.rFont == rPr.rFont && last.rFont_replace == rPr.rFont_replace && last.sz == rPr.sz &&
        last.b == rPr.b && last.i == rPr.i && last.rgbColor == rPr.rgbColor)
        return;
    if (!last.valid || last.rFont != rPr.rFont || last.rFont_replace != rPr.rFont_replace) {
        last.name = rPr.rFont;
        if (!QXPDFFontUtilities::SystemFontNameIsExist(rPr.rFont) &&
            QXPDFFontUtilities::SystemFontNameIsExist(rPr.rFont_replace))
            last.name = rPr.rFont_replace;
    }
    last.rFont = rPr.rFont;
    last.rFont_replace = rPr.rFont_replace;
    last.sz = rPr.sz;
    last.b = rPr.b;
    last.i = rPr.i;
    last.rgbColor = rPr.rgbColor;
    last.valid = true;

    QXExcel_Font record = QXExcelStyle::defaultExcelFont();
    if (!last.name.empty())
        record.name = QXExcelStyle::fontNameForRecord(last.name);
    record.sz = rPr.sz;
    record.b = rPr.b;
    record.i = rPr.i;
    QXExcelStyleFont font;
    font.setFont(record);
    font.setRgbColor(rPr.rgbColor);
    QXExcelManager::sharedInstance().excelStyle().collectFonts(font);
}

void QXExcelPDFExporter::QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser&, const Path& path, bool,
                                                                   bool fill)
{
    if (isShouldCancel() || !QXExcelManager::sharedInstance().isNeedCollectCGPaths())
        return;
    if (path.isEmpty())
        return;
    const Path display = path.transformed(currentPageTransform_);
    if (isFillCandidate(display.boundingBox(), fill) && QXExcelManager::sharedInstance().isNeedCollectFills()) {
        const QXPDFRenderState* top = renderingStateStack_ && renderingStateStack_->depth() > 0
                                          ? &renderingStateStack_->topRenderingState()
                                          : nullptr;
        if (top != nullptr)
            collectFills(display, top->currentFillRGBColor());
    }
}

bool QXExcelPDFExporter::isFillCandidate(const Rect& box, bool fill)
{
    if (!fill || box.isNull() || box.isInfinite())
        return false;
    return box.width() >= kMinFillSide && box.height() >= kMinFillSide;
}

void QXExcelPDFExporter::collectFills(const Path& displayPath, const QXPDFRGB& fillColor)
{
    if (isBlack(fillColor))
        return;
    const Rect box = displayPath.boundingBox();
    if (box.isNull() || box.isInfinite())
        return;
    const Color color = Color::rgb(fillColor.r / 255.0, fillColor.g / 255.0, fillColor.b / 255.0);
    QXExcelManager::sharedInstance().excelStyle().collectFills(QXExcelStyleFill(box.standardized(), color));
}

} // namespace rz
