#include "pdfengine/fonts/QXPDFFont.h"
#include "platform/text/Ascii.h"

#include "pdfengine/fonts/BuiltinFontManager.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/fonts/QXPDFSimple8BitFont.h"
#include "pdfengine/fonts/QXPDFType0Font.h"
#include "platform/pdf/PdfObject.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <exception>
#include <new>

namespace rz {

namespace {

// Names that stand for no name: "unknown", "null" and "font0000" in any case.
bool isPlaceholderName(std::string_view name)
{
    const std::string lower = asciiLower(name);
    return lower.find("unknown") != std::string::npos || lower.find("null") != std::string::npos ||
           lower.find("font0000") != std::string::npos;
}

} // namespace

std::shared_ptr<QXPDFFont> QXPDFFont::FontWithDictionary(const pdf::Object& dictionary,
                                                         const std::string& objectKey, QXPDFFontNaming naming)
{
    try {
        // /Type must name a font; a dictionary that leaves it out (some
        // producers do) is still read, as its text would be lost otherwise.
        if (!dictionary.isDictionary())
            return nullptr;
        if (const pdf::Object type = dictionary.get("Type"); !type.isNull() && type.name() != "Font")
            return nullptr;
        const std::optional<std::string> subtype = dictionary.get("Subtype").name();
        if (!subtype)
            return nullptr;
        std::shared_ptr<QXPDFFont> font;
        if (*subtype == "Type0")
            font.reset(new QXPDFType0Font());
        else if (*subtype == "Type1")
            font.reset(new QXPDFType1Font());
        else if (*subtype == "MMType1")
            font.reset(new QXPDFMMType1Font());
        else if (*subtype == "Type3")
            font.reset(new QXPDFType3Font());
        else if (*subtype == "TrueType")
            font.reset(new QXPDFTrueTypeFont());
        else
            return nullptr;
        font->naming_ = naming;
        if (!font->initWithDictionary(dictionary, objectKey))
            return nullptr;
        return font;
    } catch (const std::exception&) {
        // Damaged data or an allocation that cannot be met fails this font only.
        return nullptr;
    }
}

QXPDFFont::QXPDFFont() = default;
QXPDFFont::~QXPDFFont() = default;

std::shared_ptr<QXPDFFont> QXPDFFont::copyWithZone() const
{
    std::shared_ptr<QXPDFFont> copy = shareWithZone();
    copy->ownTables();
    return copy;
}

std::shared_ptr<QXPDFFont> QXPDFFont::copyWithObjectKey(const std::string& objectKey) const
{
    std::shared_ptr<QXPDFFont> copy = shareWithZone();
    copy->setSharedObjectKey(objectKey);
    return copy;
}

std::shared_ptr<QXPDFFont> QXPDFFont::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFFont(*this));
}

void QXPDFFont::ownTables()
{
    if (embToUnicodeMap_)
        embToUnicodeMap_ = std::make_shared<QXPDFCharCodeToUnicode>(*embToUnicodeMap_);
    if (fontDescriptor_)
        fontDescriptor_ = std::make_shared<QXPDFFontDescriptor>(*fontDescriptor_);
}

void QXPDFFont::setSharedObjectKey(const std::string& objectKey)
{
    objectKey_ = objectKey;
}

bool QXPDFFont::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    objectKey_ = objectKey;
    stringEncoding_ = kStringEncodingASCII;
    wMode_ = 0;
    bankSpaceCharWidth_ = 0;
    setFontDescriptorWithFontDictionary(dictionary);
    setSubtypeBaseFontName(dictionary);
    setBuiltinFontWithFontDictionary(dictionary);
    setWidthsWithFontDictionary(dictionary);
    setToUnicodeWithFontDictionary(dictionary, 8);
    updateFontSystemReplaceName();
    return true;
}

int QXPDFFont::getNextChar(const uint8_t* /*s*/, int len, uint32_t* /*code*/, char16_t* /*u*/,
                           int /*uSize*/, int* /*uLen*/, double* /*dx*/, double* /*dy*/,
                           double* /*ox*/, double* /*oy*/) const
{
    return len > 0 ? 1 : 0;
}

double QXPDFFont::embFontWidthForCode(uint32_t /*code*/) const
{
    return 0;
}

double QXPDFFont::widthOfSpace() const
{
    return 1.0;
}

double QXPDFFont::ascent() const
{
    return 0.95;
}

double QXPDFFont::descent() const
{
    return -0.35;
}

Rect QXPDFFont::fontBBox() const
{
    return Rect(0.95, -0.35, 1, 1);
}

const std::map<std::string, std::string>& QXPDFFont::ligatures() const
{
    static const std::map<std::string, std::string> kLigatures = {
        {"ff", "64256"}, {"fi", "64257"}, {"fl", "64258"}, {"ae", "230"}, {"oe", "339"}};
    return kLigatures;
}

const QXPDFCharProcEntry* QXPDFFont::charProcForKey(const std::string& /*key*/) const
{
    return nullptr;
}

void QXPDFFont::setWidthsWithFontDictionary(const pdf::Object& /*dictionary*/) {}

void QXPDFFont::updateBankSpaceWidth() {}

void QXPDFFont::setSubtypeBaseFontName(const pdf::Object& dictionary)
{
    if (std::optional<std::string> subtype = dictionary.get("Subtype").name())
        subtype_ = std::move(*subtype);
    const std::optional<std::string> base = dictionary.get("BaseFont").name();
    if (!base)
        return;
    // The name's bytes as UTF-8; bytes that are not UTF-8 give no name.
    baseFontName_ = isValidUtf8(*base) ? *base : std::string();
    baseFontName_New_ = baseFontName_;
    fontName_.reset();
    fontFamilyName_.reset();

    if (baseFontName_New_ && isPlaceholderName(*baseFontName_New_))
        baseFontName_New_.reset();
    if ((!baseFontName_New_ || baseFontName_New_->empty()) && fontDescriptor_) {
        if (!fontDescriptor_->embPostScriptName().empty())
            baseFontName_New_ = fontDescriptor_->embPostScriptName();
        else if (!fontDescriptor_->embFullName().empty())
            baseFontName_New_ = fontDescriptor_->embFullName();
        if (baseFontName_New_ && isPlaceholderName(*baseFontName_New_))
            baseFontName_New_.reset();
    }

    if (baseFontName_New_ && !baseFontName_New_->empty()) {
        const std::string& name = *baseFontName_New_;
        if (const size_t at = name.find("+."); at != std::string::npos)
            fontName_ = name.substr(at + 2);
        else if (const size_t plus = name.find('+'); plus != std::string::npos)
            fontName_ = name.substr(plus + 1);
        else
            fontName_ = name;
    }

    std::string installed = fontName_ ? installedFontName(*fontName_) : std::string();
    if (!installed.empty()) {
        fontName_ = installed;
    } else if (fontDescriptor_) {
        for (const std::string* candidate :
             {&fontDescriptor_->embPostScriptName(), &fontDescriptor_->embFullName()}) {
            installed = installedFontName(*candidate);
            if (!installed.empty()) {
                fontName_ = installed;
                baseFontName_New_ = *candidate;
                break;
            }
        }
    }

    if (fontName_) {
        std::string family = installedFamilyName(*fontName_);
        fontFamilyName_ = family.empty() ? QXPDFFontUtilities::FamilyNameCut(*fontName_) : family;
    }
}

std::string QXPDFFont::installedFontName(std::string_view name) const
{
    return naming_ == QXPDFFontNaming::MatchInstalled ? QXPDFFontUtilities::FontNameInComputer(name) : std::string();
}

std::string QXPDFFont::installedFamilyName(std::string_view name) const
{
    return naming_ == QXPDFFontNaming::MatchInstalled ? QXPDFFontUtilities::FamilyNameInComputer(name)
                                                      : std::string();
}

bool QXPDFFont::installedFontExists(std::string_view name) const
{
    return naming_ == QXPDFFontNaming::MatchInstalled && QXPDFFontUtilities::SystemFontNameIsExist(name);
}

void QXPDFFont::setBuiltinFontWithFontDictionary(const pdf::Object& dictionary)
{
    if (!fontName_ || baseFontName_.empty())
        setSubtypeBaseFontName(dictionary);
    builtinFont_ = fontName_ ? BuiltinFontManager::sharedManager().findBuildinFont(*fontName_) : nullptr;
}

void QXPDFFont::setExtendFontFileWithFontDictionary(const pdf::Object& dictionary)
{
    // The names are all this needs; no program is kept apart from the descriptor's.
    if (!fontName_ || baseFontName_.empty())
        setSubtypeBaseFontName(dictionary);
}

void QXPDFFont::setFontDescriptorWithFontDictionary(const pdf::Object& dictionary)
{
    const pdf::Object descriptor = dictionary.get("FontDescriptor");
    if (descriptor.isDictionary())
        fontDescriptor_ = QXPDFFontDescriptor::initWithPDFDictionary(descriptor);
}

void QXPDFFont::setToUnicodeWithFontDictionary(const pdf::Object& dictionary, int nBits)
{
    const pdf::Object stream = dictionary.get("ToUnicode");
    if (stream.isStream())
        embToUnicodeMap_ = QXPDFCharCodeToUnicode::parseCMap(stream, nBits);
}

std::string QXPDFFont::findReplaceNameByKeyword() const
{
    std::string name;
    if (fontName_)
        name = QXPDFFontUtilities::ReplaceFontNameInFontBook(*fontName_);
    if (name.empty() && fontDescriptor_)
        name = QXPDFFontUtilities::ReplaceFontNameInFontBook(fontDescriptor_->embPostScriptName());
    if (name.empty() && fontDescriptor_)
        name = QXPDFFontUtilities::ReplaceFontNameInFontBook(fontDescriptor_->embFullName());
    return name;
}

void QXPDFFont::updateFontSystemReplaceName(bool byKind)
{
    // A font named as written is never replaced by another.
    if (naming_ == QXPDFFontNaming::AsWritten)
        return;
    const std::string name = fontName_.value_or(std::string());
    if (!name.empty() && installedFontExists(name)) {
        const std::string full = QXPDFFontUtilities::SystemFontFullNameForFontName(name);
        if (!full.empty())
            fontName_ = full;
        fontSystemReplaceName_ = fontName_;
        return;
    }
    const std::string family = fontFamilyName_.value_or(std::string());
    if (family.empty() || !installedFontExists(family)) {
        std::string replacement = findReplaceNameByKeyword();
        if (replacement.empty()) {
            if (!fontDescriptor_)
                replacement = "Arial Unicode MS";
            else if (fontDescriptor_->isFixedWidth() && fontDescriptor_->isSerif())
                replacement = "Courier";
            else if (fontDescriptor_->isFixedWidth())
                replacement = "Consolas";
            else if (fontDescriptor_->isSerif())
                replacement = "Times";
            else
                replacement = "Arial Unicode MS";
            // Where that face is missing, the replacement book names the
            // installed face of its kind, so the text is set (and measured)
            // in a face that is there. A symbol font keeps its own name: no
            // text face has its glyphs.
            if (byKind && !installedFontExists(replacement) && !QXPDFFontUtilities::isSymbolFontName(name)) {
                std::string installed = QXPDFFontUtilities::ReplaceFontNameInFontBook(replacement);
                if (!installed.empty() && installedFontExists(installed))
                    replacement = std::move(installed);
            }
        }
        fontSystemReplaceName_ = replacement;
        return;
    }
    if (fontDescriptor_ && QXPDFFontUtilities::isBoldFontName(name))
        fontDescriptor_->setFontBold(true);
    if (fontDescriptor_ && QXPDFFontUtilities::isItalicFontName(name))
        fontDescriptor_->setFontItalic(true);
    const std::string full = QXPDFFontUtilities::SystemFontFullNameForFontName(family);
    fontSystemReplaceName_ = full.empty() ? family : full;
}

double QXPDFFont::spaceWidthFallback(double w) const
{
    if (fontDescriptor_) {
        w = fontDescriptor_->embFontWidthForBankSpace();
        if (w <= 0) {
            w = 1;
            for (double candidate : {fontDescriptor_->missingWidth(), fontDescriptor_->averageWidth(),
                                     fontDescriptor_->maxWidth(),
                                     fontDescriptor_->fontBBox().size.width}) {
                if (candidate > 0)
                    w = std::min(w, candidate);
            }
        }
    }
    if (w > 0 && w < 1)
        return w;
    return fontDescriptor_ && fontDescriptor_->isFixedWidth() ? 1.0 : 0.5;
}

// Unicode helpers of the text showing.

int QXEncodeUTF8(uint32_t codePoint, char* buffer, size_t size)
{
    if (!buffer || codePoint > 0x10FFFF)
        return 0;
    int n = codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    if (size < static_cast<size_t>(n))
        return 0;
    auto* out = reinterpret_cast<unsigned char*>(buffer);
    switch (n) {
    case 1:
        out[0] = static_cast<unsigned char>(codePoint);
        break;
    case 2:
        out[0] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        break;
    case 3:
        out[0] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        break;
    default:
        out[0] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
        out[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        break;
    }
    return n;
}

int QXEncodeUCS2(uint32_t codePoint, uint8_t* buffer, size_t size)
{
    if (!buffer || codePoint > 0xFFFF || size < 2)
        return 0;
    buffer[0] = static_cast<uint8_t>(codePoint >> 8);
    buffer[1] = static_cast<uint8_t>(codePoint & 0xFF);
    return 2;
}

bool QXIsUnicodeSpace(uint32_t unit)
{
    const uint32_t u = unit & 0xFFFF;
    return u == 0x20 || u == 0x1680 || u == 0x180E || (u >= 0x2000 && u <= 0x2004) || u == 0x2009 ||
           u == 0x200A || u == 0x202F || u == 0x205F || u == 0x3000 || u == 0x09 ||
           (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0xA0 || u == 0x2028 || u == 0x2029;
}

namespace {

constexpr char16_t kHyphenSequence[] = {0x2D, 0xAD, 0x2010};
constexpr char16_t kSpaceSequence[] = {0x09, 0x0D, 0x20, 0xA0};

template <size_t N>
bool sameUnits(const char16_t* units, int count, const char16_t (&sequence)[N])
{
    return count == static_cast<int>(N) && std::equal(sequence, sequence + N, units);
}

} // namespace

bool QXIsNormalizableSequence(const char16_t* units, int count)
{
    if (!units)
        return false;
    return sameUnits(units, count, kHyphenSequence) || sameUnits(units, count, kSpaceSequence);
}

void QXNormalizeUnicodeSequence(char16_t* units, int* count)
{
    if (!units || !count)
        return;
    if (sameUnits(units, *count, kHyphenSequence)) {
        units[0] = 0x2010;
        *count = 1;
    } else if (sameUnits(units, *count, kSpaceSequence)) {
        units[0] = 0x20;
        *count = 1;
    }
}

} // namespace rz
