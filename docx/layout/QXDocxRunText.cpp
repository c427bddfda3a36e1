#include "docx/layout/QXDocxRunText.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "converter/text/QXConverterUtilities.h"
#include "docx/layout/QXDocxLayoutLimits.h"
#include "docx/layout/QXDocxManager.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <unordered_map>

namespace rz {

namespace {

// White space and line breaks as the text system knows them.
bool isWhitespaceOrNewline(char32_t cp)
{
    switch (cp) {
    case U' ': case U'\t': case U'\n': case U'\v': case U'\f': case U'\r':
    case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
        return true;
    default:
        return cp >= 0x2000 && cp <= 0x200A;
    }
}

// Byte offset of the last code point of a non-empty UTF-8 text.
std::size_t lastCodePointStart(std::string_view text)
{
    std::size_t at = text.size() - 1;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80 && text.size() - at < 4)
        --at;
    return at;
}

// The installed face a word processor sets a bold or italic run of the
// family in, when there is one; else the family's name.
std::string styledFaceName(const std::string& family, bool bold, bool italic)
{
    if (!bold && !italic)
        return family;
    const std::string styled = family + (bold ? " Bold" : "") + (italic ? " Italic" : "");
    return QXPDFFontUtilities::SystemFontNameIsExist(styled) ? styled : family;
}

// Text widths measured by shaping are asked again and again (the width of
// a space in the run's face, and common words): they are kept per thread,
// the store emptied when it grows past this many entries.
constexpr std::size_t kMaxMeasuredWidths = 4096;

// The width of `text` in the installed face at the size, as
// QXPDFFontUtilities::SystemFontName measures it.
double measuredWidth(const std::string& face, float size, const std::string& text)
{
    thread_local std::unordered_map<std::string, double> widths;
    std::string key;
    key.reserve(face.size() + sizeof size + text.size() + 1);
    key.append(face).push_back('\0');
    key.append(reinterpret_cast<const char*>(&size), sizeof size);
    key.append(text);
    if (const auto found = widths.find(key); found != widths.end())
        return found->second;
    const double width = QXPDFFontUtilities::SystemFontName(face, size, text);
    if (widths.size() >= kMaxMeasuredWidths)
        widths.clear();
    widths.emplace(std::move(key), width);
    return width;
}

} // namespace

std::shared_ptr<QXDocxWriterObject> QXDocxRunText::copy() const
{
    return copyRunText();
}

QXDocxRunTextPtr QXDocxRunText::copyRunText() const
{
    return std::make_shared<QXDocxRunText>(*this);
}

void QXDocxRunText::setRunText(std::string_view text)
{
    runText_.assign(text);
    if (runText_.empty()) {
        isSpaceFirst_ = false;
        isSpaceLast_ = false;
        return;
    }
    if (runText_.front() == ' ')
        isSpaceFirst_ = true;
    if (runText_.back() == ' ')
        isSpaceLast_ = true;
}

void QXDocxRunText::updateToNewFontWidth(double width)
{
    drawnXRight_ = drawnXRight();
    textWidth_ = width;
    QXPDF_CTMInfo info = ctmInfo();
    info.frame.size.width = width;
    info.xRight = info.xLeft + width;
    setCtmInfo(info);
}

void QXDocxRunText::absorbBlankRunText(const QXDocxRunText& blank)
{
    const double drawn = std::max(drawnXRight(), blank.drawnXRight());
    setRunText(runText_ + " ");
    textWidth_ += blank.textWidth();
    QXPDF_CTMInfo info = ctmInfo();
    info.frame = info.frame.unionWith(blank.ctmInfo().frame);
    info.xRight = std::max(info.xRight, blank.ctmInfo().xRight);
    setCtmInfo(info);
    drawnXRight_ = drawn;
}

Rect QXDocxRunText::displayRect() const
{
    return ctmInfo().frame;
}

bool QXDocxRunText::isBankSpaceRunText() const
{
    if (rProperty().u != 0 || rProperty().strikethrough != 0)
        return false;
    return QXConverterUtilities::isBlankString(runText_);
}

bool QXDocxRunText::isDuplicateRunText(const QXDocxRunText& other) const
{
    if (runText_ != other.runText_)
        return false;
    if (!(std::fabs(ctmInfo().xLeft - other.ctmInfo().xLeft) <= docxlimits::kDuplicateMaxDeltaX))
        return false;
    if (!(std::fabs(ctmInfo().yBase - other.ctmInfo().yBase) <= docxlimits::kDuplicateMaxDeltaY))
        return false;
    return QXRPropertyIsEqual(rProperty(), other.rProperty());
}

double QXDocxRunText::addBlankSpaceTextBehind()
{
    setRunText(runText_ + " ");
    textWidth_ += spaceWidth_;
    setCtmInfo(QXCTMInfoOffsetX(ctmInfo(), spaceWidth_));
    return spaceWidth_;
}

QXDocxRunTextPtr QXDocxRunText::splitBlackSpaceRunTextBehind()
{
    if (pdfScanLength() < 2)
        return nullptr;

    const double blank = spaceWidth_;
    double outside = 0;
    if (!runText_.empty()) {
        const std::size_t last = lastCodePointStart(runText_);
        std::size_t at = last;
        if (isWhitespaceOrNewline(nextCodePoint(runText_, at))) {
            // Only the text changes: a flag keeps its value until the text
            // is empty.
            setRunText(std::string_view(runText_).substr(0, last));
            updateToNewFontWidth(textWidth_ - blank);
            outside = blank;
        }
    }

    const std::uint64_t lastIndex = pdfScanIndex() + pdfScanLength() - 1;
    setPdfScanLength(pdfScanLength() - 1);

    auto split = std::make_shared<QXDocxRunText>();
    split->setIsAnnotion(isAnnotion());
    split->setPdfScanIndex_BegainText(pdfScanIndex_BegainText_);
    split->setPdfScanIndex_ShowText(pdfScanIndex_ShowText_);
    split->setSpaceWidth(blank);
    split->setPdfScanIndex(lastIndex);
    split->setPdfScanLength(1);
    split->setRunText(" ");
    split->setTextWidth(blank);
    split->setInsideSpacing(0);
    split->setOutsideSpacing(outside);
    QXDocx_RPr property = rProperty();
    property.spacing = 0;
    split->setRProperty(property);

    QXPDF_CTMInfo info = ctmInfo();
    const Rect frame = info.frame;
    const double x = frame.origin.x + frame.size.width;
    info.frame = Rect(x, frame.origin.y, blank, frame.size.height);
    info.xLeft = x;
    info.xRight = x + blank;
    info.yTop = frame.origin.y;
    info.yDescent = frame.origin.y + frame.size.height;
    info.yBottom = info.yDescent;
    info.topLeft = Point{x, frame.origin.y};
    info.bottomLeft = Point{x, frame.origin.y + frame.size.height};
    split->setCtmInfo(info);
    return split;
}

double QXDocxRunText::doubleBottomLine() const
{
    const Rect& frame = ctmInfo().frame;
    const double lineHeight = wordSingleLineHeight_ > 0 ? wordSingleLineHeight_ : frame.height();
    return frame.minY() + docxlimits::kDoubleBottomLineHeights * lineHeight + docxlimits::kDoubleBottomLineExtra;
}

void QXDocxRunText::optimizePropertyAtStart(bool replaceFonts)
{
    QXDocx_RPr property = rProperty();
    const float originalSize = property.sz;
    float size = originalSize;
    double blank = spaceWidth_;
    // A size that is not positive has nothing to rescale: dividing by it
    // would make the widths and the spacing NaN or infinite.
    if (std::isfinite(originalSize) && originalSize > 0) {
        size = static_cast<float>(std::floor(originalSize / docxlimits::kFontSizeStep) * docxlimits::kFontSizeStep);
        const double ratio = static_cast<double>(size) / static_cast<double>(originalSize);
        blank = ratio * spaceWidth_;
        insideSpacing_ += (1 - ratio) * textWidth_;
    }

    std::string fontName(QXDocxText(property.rFonts.ascii));
    if (replaceFonts) {
        const std::string replaceName(QXDocxText(property.rFonts_replace.ascii));
        bool measure = false;
        if (!fontName.empty() && QXPDFFontUtilities::SystemFontNameIsExist(fontName)) {
            measure = true;
        } else if (!replaceName.empty() && QXPDFFontUtilities::SystemFontNameIsExist(replaceName)) {
            measure = true;
            fontName = replaceName;
            property.rFonts = property.rFonts_replace;
        }
        if (measure) {
            // A bold or italic run is set in the family's bold or italic
            // face, which is wider or narrower than the regular one.
            const std::string face = styledFaceName(fontName, property.b, property.i);
            const double width = measuredWidth(face, size, runText_);
            if (width > 0)
                updateToNewFontWidth(width);
            const double space = measuredWidth(face, size, " ");
            if (space > 0)
                blank = space;
        }
    }

    spaceWidth_ = blank;
    property.sz = size;
    property.szCs = size;
    property.spacing = static_cast<float>(insideSpacing_);
    setRProperty(property);

    if (fontName.empty() || !QXPDFFontUtilities::SystemFontNameIsExist(fontName))
        return;
    const double height = QXDocxManager::WordLineHeight(fontName);
    if (height > 0) {
        wordSingleLineHeight_ = height * size;
        wordSingleLineBlankTop_ =
            std::max(0.0, height * size * QXDocxManager::WordLineAscentFactor(fontName) - size);
    } else {
        wordSingleLineHeight_ = 0;
        wordSingleLineBlankTop_ = 0;
    }
}

void QXDocxRunText::writeWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "r");

    double spacing = insideSpacing_ + outsideSpacing_;
    const std::size_t characters = utf16Length(runText_);
    if (characters >= 2)
        spacing /= static_cast<double>(characters);
    QXDocx_RPr property = rProperty();
    property.spacing = std::isfinite(spacing) ? static_cast<float>(spacing) : 0.0f;
    QXDocxUtilities::WriteRProperty(property, writer);

    // A soft hyphen is written as Word's optional hyphen element between
    // the text elements of the pieces around it.
    constexpr std::string_view kSoftHyphen = "\u00AD";
    const std::string_view text = runText_;
    std::size_t from = 0;
    for (;;) {
        const std::size_t hyphen = text.find(kSoftHyphen, from);
        const std::string_view piece = text.substr(from, hyphen == std::string_view::npos ? hyphen : hyphen - from);
        if (!piece.empty() || (from == 0 && hyphen == std::string_view::npos)) {
            writer.writeStartElementWithNamespace(w, "t");
            // Word processors drop white space at either end of a text
            // element unless it is marked as kept: a run of blanks between
            // two words would vanish, and the words run together.
            if (!piece.empty() && (isWhitespaceOrNewline(static_cast<unsigned char>(piece.front())) ||
                                   isWhitespaceOrNewline(static_cast<unsigned char>(piece.back()))))
                writer.writeAttribute("xml:space", "preserve");
            writer.writeCharacters(piece);
            writer.writeEndElement();
        }
        if (hyphen == std::string_view::npos)
            break;
        writer.writeEmptyElementWithNamespace(w, "softHyphen");
        from = hyphen + kSoftHyphen.size();
    }
    writer.writeEndElement();
}

void QXDocxRunText::UpdateRunTextArrayPDFScanIndex(QXDocxRunTextArray& runs)
{
    SortRunArrayByPDFScanIndex(runs);
    std::uint64_t index = 0;
    for (const QXDocxRunTextPtr& run : runs) {
        run->setTextScanIndex(index++);
        run->setTextScanLength(1);
    }
}

Rect QXDocxRunText::FrameOfRunTextArray(const QXDocxRunTextArray& runs)
{
    if (runs.empty())
        return Rect::zero();
    Rect frame = runs.front()->displayRect();
    for (std::size_t i = 1; i < runs.size(); ++i)
        frame = frame.unionWith(runs[i]->displayRect());
    return frame;
}

QXDocxRunTextPtr QXDocxRunText::FindBottomAfterRunText(const QXDocxRunTextArray& runs)
{
    QXDocxRunTextPtr found;
    for (const QXDocxRunTextPtr& run : runs) {
        if (!found || run->doubleBottomLine() > found->doubleBottomLine())
            found = run;
    }
    return found;
}

QXDocxRunTextPtr QXDocxRunText::FindMinBaseLineRunText(const QXDocxRunTextArray& runs)
{
    QXDocxRunTextPtr found;
    for (const QXDocxRunTextPtr& run : runs) {
        if (!found || run->ctmInfo().yBase < found->ctmInfo().yBase)
            found = run;
    }
    return found;
}

QXDocxRunTextArray QXDocxRunText::CollectSameBaseLineRunTexts(const QXDocxRunTextArray& runs)
{
    QXDocxRunTextArray same;
    if (runs.empty())
        return same;
    const double base = runs.front()->ctmInfo().yBase;
    same.push_back(runs.front());
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (std::fabs(runs[i]->ctmInfo().yBase - base) < docxlimits::kSameBaseLineTolerance)
            same.push_back(runs[i]);
    }
    return same;
}

QXDocxRunTextArray QXDocxRunText::FindSameAnnotionRunText(const QXDocxRunTextArray& runs)
{
    if (runs.size() <= 1)
        return runs;
    const QXDocxRunTextPtr& first = runs.front();
    QXDocxRunTextArray same{first};
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (runs[i]->isAnnotion() && runs[i]->pdfAnnotionIndex() == first->pdfAnnotionIndex())
            same.push_back(runs[i]);
    }
    return same;
}

std::vector<QXDocxRunTextArray> QXDocxRunText::FindGroupSameAnnotionRunText(QXDocxRunTextArray& runs)
{
    std::vector<QXDocxRunTextArray> groups;
    while (!runs.empty()) {
        QXDocxRunTextArray group = FindSameAnnotionRunText(runs);
        std::erase_if(runs, [&](const QXDocxRunTextPtr& run) {
            return std::find(group.begin(), group.end(), run) != group.end();
        });
        groups.push_back(std::move(group));
    }
    return groups;
}

} // namespace rz
