#include "pdfengine/fonts/QXPDFSimple8BitFont.h"

#include "pdfengine/fonts/BuiltinFontManager.h"
#include "pdfengine/fonts/FontLimits.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

// Writes UTF-8 text as UTF-16 units (at most uSize); answers the count.
int deliverText(std::string_view text, char16_t* u, int uSize)
{
    const std::u16string units = utf8ToUtf16(text);
    const int n = static_cast<int>(std::min<size_t>(units.size(), static_cast<size_t>(std::max(uSize, 0))));
    std::copy(units.begin(), units.begin() + n, u);
    return n;
}

// Writes one code point as UTF-16 units; answers the count.
int deliverCodePoint(char32_t c, char16_t* u, int uSize)
{
    if (uSize <= 0)
        return 0;
    if (c < 0x10000) {
        u[0] = static_cast<char16_t>(c);
        return 1;
    }
    if (c > 0x10FFFF || uSize < 2) {
        u[0] = 0xFFFD;
        return 1;
    }
    c -= 0x10000;
    u[0] = static_cast<char16_t>(0xD800 + (c >> 10));
    u[1] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return 2;
}

// An integer entry of a dictionary, also from a real (truncated); nothing
// when missing or not a finite number.
std::optional<long long> wholeNumber(const pdf::Object& dictionary, std::string_view key)
{
    const pdf::Object value = dictionary.get(key);
    if (const std::optional<long long> i = value.integer())
        return i;
    const std::optional<double> d = value.number();
    if (!d || !std::isfinite(*d) || std::fabs(*d) > 1e15)
        return std::nullopt;
    return static_cast<long long>(*d);
}

} // namespace

std::string glyphNameText(std::string_view name)
{
    std::string text;
    auto append = [&text](uint32_t unicode) {
        appendUtf8(text, unicode <= 0x10FFFF ? static_cast<char32_t>(unicode) : U'\uFFFD');
    };
    if (const uint32_t unicode = BuiltinFontWidths::nameToUnicodeID(name); unicode != 0) {
        append(unicode);
        return text;
    }
    // A variant ("a.sc", "one.oldstyle") stands for its base glyph.
    if (const size_t dot = name.find('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    // A ligature names its parts ("f_f_i", "T_h"); every part must be a
    // glyph name, otherwise the name is no text at all ("square", "g12").
    size_t pos = 0;
    while (pos <= name.size()) {
        size_t end = name.find('_', pos);
        if (end == std::string_view::npos)
            end = name.size();
        const std::string_view part = name.substr(pos, end - pos);
        if (!part.empty()) {
            const uint32_t unicode = BuiltinFontWidths::nameToUnicodeID(part);
            if (unicode == 0)
                return {};
            append(unicode);
        }
        pos = end + 1;
    }
    return text;
}

QXPDFFontCharProc::QXPDFFontCharProc(const pdf::Object& stream)
    : xObjectStream_(stream), xObjectDictionary_(stream.dictionary())
{
}

// QXPDFSimple8BitFont

std::shared_ptr<QXPDFFont> QXPDFSimple8BitFont::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFSimple8BitFont(*this));
}

bool QXPDFSimple8BitFont::initWithDictionary(const pdf::Object& dictionary,
                                             const std::string& objectKey)
{
    charWidths_.fill(0);
    differences_.clear();
    differenceNames_.clear();
    fontEncodingName_.clear();
    type3_charProcs_.clear();
    objectKey_ = objectKey;

    setBuiltinFontWithFontDictionary(dictionary);
    setFontDescriptorWithFontDictionary(dictionary);
    setSubtypeBaseFontName(dictionary);
    setCharProcsWithCharProcsArray(dictionary.get("CharProcs"));
    setEncodingWithFontDictionary(dictionary);
    if (!encodingSet_) {
        if (defaultsToWinAnsi()) {
            stringEncoding_ = kStringEncodingWindowsCP1252;
            fontEncodingName_ = "WinAnsiEncoding";
        } else {
            stringEncoding_ = kStringEncodingASCII;
            fontEncodingName_ = "StandardEncoding";
        }
    }
    setBuiltinEncodingFromProgram();
    setWidthsWithFontDictionary(dictionary);
    setToUnicodeWithFontDictionary(dictionary, 8);
    wMode_ = 0;
    updateFontSystemReplaceName();
    updateBankSpaceWidth();
    return true;
}

void QXPDFSimple8BitFont::setCharProcsWithCharProcsArray(const pdf::Object& charProcs)
{
    type3_charProcs_.clear();
    if (!charProcs.isDictionary())
        return;
    for (const std::string& key : charProcs.keys()) {
        const pdf::Object value = charProcs.get(key);
        QXPDFCharProcEntry entry;
        if (value.isStream()) {
            entry.kind = QXPDFCharProcEntry::Kind::Stream;
            entry.proc = std::make_shared<QXPDFFontCharProc>(value);
        } else if (std::optional<std::string> text = value.text()) {
            entry.kind = QXPDFCharProcEntry::Kind::Text;
            entry.value = std::move(*text);
        } else if (std::optional<std::string> name = value.name()) {
            entry.kind = QXPDFCharProcEntry::Kind::Name;
            entry.value = std::move(*name);
        } else {
            continue;
        }
        type3_charProcs_.emplace(key, std::move(entry));
    }
}

void QXPDFSimple8BitFont::setEncodingWithFontDictionary(const pdf::Object& dictionary)
{
    const pdf::Object encoding = dictionary.get("Encoding");
    if (!encoding.isNull())
        setEncodingWithEncodingObject(encoding);
}

void QXPDFSimple8BitFont::setEncodingWithEncodingObject(const pdf::Object& encoding)
{
    differences_.clear();
    differenceNames_.clear();
    if (const std::optional<std::string> name = encoding.name()) {
        fontEncodingName_ = *name;
        encodingSet_ = true;
        if (*name == "MacRomanEncoding" || *name == "MacExpertEncoding")
            stringEncoding_ = kStringEncodingMacOSRoman;
        else if (*name == "WinAnsiEncoding")
            stringEncoding_ = kStringEncodingWindowsCP1252;
        else if (*name == "StandardEncoding")
            stringEncoding_ = kStringEncodingASCII;
        else if (*name == "PDFDocEncoding")
            stringEncoding_ = kStringEncodingUnicode;
        else
            stringEncoding_ = kStringEncodingASCII;
        // The encoding whose glyph names give the standard fonts' widths.
        if (*name != "SymbolEncoding" && *name != "ZapfDingbatsEncoding")
            namedEncoding_ = pdfFontEncodingForName(*name);
        return;
    }
    if (encoding.isDictionary()) {
        // A /BaseEncoding dictionary is read for its name only: nesting
        // goes no deeper.
        const pdf::Object base = encoding.get("BaseEncoding");
        if (base.name())
            setEncodingWithEncodingObject(base);
        else if (base.isDictionary() && base.get("BaseEncoding").name())
            setEncodingWithEncodingObject(base.get("BaseEncoding"));
        setDifferencesWithDifferencesArray(encoding.get("Differences"));
    }
}

void QXPDFSimple8BitFont::setDifferencesWithDifferencesArray(const pdf::Object& array)
{
    differences_.clear();
    differenceNames_.clear();
    if (!array.isArray())
        return;
    long long code = 0;
    const size_t count = array.size();
    for (size_t i = 0; i < count; ++i) {
        const pdf::Object element = array.at(i);
        if (const std::optional<long long> number = element.integer()) {
            code = *number;
            continue;
        }
        if (const std::optional<double> real = element.number()) {
            code = std::isfinite(*real) && std::fabs(*real) < 1e9 ? static_cast<long long>(*real) : 256;
            continue;
        }
        if (!element.isName())
            continue;
        const std::optional<std::string> name = element.name();
        if (!name || !isValidUtf8(*name)) {
            // A name that cannot be read ends the walk with nothing kept.
            differences_.clear();
            differenceNames_.clear();
            return;
        }
        if (code >= 0 && code <= 255) {
            std::string text = glyphNameText(*name);
            const auto key = static_cast<uint32_t>(code);
            if (!text.empty())
                differences_[key] = std::move(text);
            differenceNames_[key] = *name;
        }
        if (code <= 255)
            ++code;
    }
}

const char* QXPDFSimple8BitFont::glyphNameForWidth(uint32_t code, const BuiltinFont* font) const
{
    if (code > 255)
        return nullptr;
    if (const auto it = differenceNames_.find(code); it != differenceNames_.end())
        return it->second.c_str();
    std::optional<PDFFontEncoding> encoding = namedEncoding_;
    if (!encoding && font) {
        // The standard font's own encoding (Symbol and ZapfDingbats have
        // their own; the others StandardEncoding).
        encoding = pdfFontEncodingForName(font->baseEncoding());
    }
    if (!encoding)
        encoding = pdfFontEncodingForName(fontEncodingName_);
    if (!encoding)
        encoding = PDFFontEncoding::Standard;
    return glyphNameForCode(*encoding, static_cast<uint8_t>(code));
}

void QXPDFSimple8BitFont::setWidthsFromBuiltinFont(const BuiltinFont& font, bool substitute)
{
    const BuiltinFontWidths& widths = font.fontWidths();
    int width = 0;
    if (widths.widthOfSpace(width))
        charWidths_[32] = width * 0.001;
    for (uint32_t code = 0; code < 256; ++code) {
        const char* name = glyphNameForWidth(code, substitute ? nullptr : &font);
        if (!name)
            continue;
        if (widths.getString(name, width)) {
            charWidths_[code] = width * 0.001;
        } else if (const uint32_t unicode = BuiltinFontWidths::nameToUnicodeID(name);
                   unicode != 0 && widths.getCharacter(unicode, width)) {
            // A name outside the font's table ("uni0041", "Alpha" in a
            // Latin font) through its Unicode value.
            charWidths_[code] = width * 0.001;
        }
    }
}

void QXPDFSimple8BitFont::setWidthsWithFontDictionary(const pdf::Object& dictionary)
{
    const double missing = fontDescriptor_ ? fontDescriptor_->missingWidth() : 0.0;
    charWidths_.fill(missing);

    if (builtinFont_)
        setWidthsFromBuiltinFont(*builtinFont_, false);

    const pdf::Object widths = dictionary.get("Widths");
    if (widths.isArray()) {
        long long firstChar = wholeNumber(dictionary, "FirstChar").value_or(0);
        long long lastChar = wholeNumber(dictionary, "LastChar").value_or(255);
        if (firstChar < 0 || firstChar > 255)
            firstChar = 0;
        if (lastChar > 255)
            lastChar = 255;
        const long long n = std::min<long long>(static_cast<long long>(widths.size()),
                                                lastChar - firstChar + 1);
        const double scale = widthScale();
        for (long long i = 0; i < n; ++i) {
            const long long slot = firstChar + i;
            if (slot >= kCharWidthSlots)
                break;
            const std::optional<double> w = widths.at(static_cast<size_t>(i)).number();
            if (w && std::isfinite(*w))
                charWidths_[static_cast<size_t>(slot)] = *w * scale;
        }
        return;
    }
    if (builtinFont_)
        return;

    // A substitute by style.
    int index = 0;
    if (fontDescriptor_) {
        index = fontDescriptor_->isFixedWidth() ? 0 : fontDescriptor_->isSerif() ? 8 : 4;
        if (fontDescriptor_->isBold())
            index += 2;
        if (fontDescriptor_->isItalic())
            index += 1;
    }
    const auto& substitutes = BuiltinFontManager::sharedManager().fontsSubstArray();
    if (index < static_cast<int>(substitutes.size()) && substitutes[static_cast<size_t>(index)])
        setWidthsFromBuiltinFont(*substitutes[static_cast<size_t>(index)], true);
}

int QXPDFSimple8BitFont::getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u,
                                     int uSize, int* uLen, double* dx, double* dy, double* ox,
                                     double* oy) const
{
    *uLen = 0;
    *dx = *dy = *ox = *oy = 0;
    if (len <= 0 || !s) {
        *code = 0;
        return 0;
    }
    const uint32_t c = s[0];
    *code = c;
    const std::string* encodingText = textForCode(c);
    if (embToUnicodeMap_) {
        uint32_t units[QXPDFFont::kCharUnitCapacity] = {};
        const int n = embToUnicodeMap_->mapToUnicode(c, units, std::clamp(uSize, 0, kCharUnitCapacity));
        if (n > 0) {
            for (int i = 0; i < n; ++i)
                u[i] = static_cast<char16_t>(units[i]);
            *uLen = n;
        } else if (encodingText) {
            *uLen = deliverText(*encodingText, u, uSize);
        }
    } else {
        int n = 0;
        if (encodingText && !encodingText->empty()) {
            n = deliverText(*encodingText, u, uSize);
        } else if (const std::optional<char32_t> decoded =
                       decodeByteInStringEncoding(stringEncoding_, static_cast<uint8_t>(c))) {
            n = deliverCodePoint(*decoded, u, uSize);
        }
        if (n == 0 && uSize > 0) {
            u[0] = static_cast<char16_t>(c);
            n = 1;
        }
        *uLen = n;
    }
    *dx = charWidths_[c];
    return 1;
}

const std::string* QXPDFSimple8BitFont::textForCode(uint32_t code) const
{
    if (const auto it = differences_.find(code); it != differences_.end())
        return &it->second;
    if (differenceNames_.count(code) == 0) {
        if (const auto it = builtinEncodingText_.find(code); it != builtinEncodingText_.end())
            return &it->second;
    }
    return nullptr;
}

void QXPDFSimple8BitFont::setBuiltinEncodingFromProgram()
{
    builtinEncodingText_.clear();
    if (encodingSet_ || !usesProgramEncoding() || !fontDescriptor_ || !fontDescriptor_->embFont())
        return;
    const std::vector<std::string> names = fontDescriptor_->embFont()->builtinEncodingGlyphNames();
    for (size_t code = 0; code < names.size() && code < 256; ++code) {
        if (names[code].empty() || names[code] == ".notdef")
            continue;
        std::string text = glyphNameText(names[code]);
        if (!text.empty())
            builtinEncodingText_.emplace(static_cast<uint32_t>(code), std::move(text));
    }
}

double QXPDFSimple8BitFont::embFontWidthForCode(uint32_t code) const
{
    if (!fontDescriptor_ || !fontDescriptor_->embFont() || code > 0xFFFF)
        return 0;
    return fontDescriptor_->embFontWidthForCharCode(static_cast<char16_t>(code));
}

double QXPDFSimple8BitFont::widthOfSpace() const
{
    const double w = charWidths_[32];
    if (w > 0 && w < 1)
        return w;
    return spaceWidthFallback(w);
}

void QXPDFSimple8BitFont::updateBankSpaceWidth()
{
    // Code 32 is the font's space only when its encoding does not put
    // another glyph there (TeX's math and symbol fonts hold letters at 32):
    // a letter's width taken for the blank's would glue words together.
    const std::string* text = textForCode(32);
    if (text && *text != " " && *text != "\u00a0")
        return;
    // In the program's own encoding a code the program leaves out (a
    // subset's unused glyph) says nothing of a space either.
    if (!text && !encodingSet_ && !builtinEncodingText_.empty())
        return;
    double w = embFontWidthForCode(32);
    if (!(w > 0 && w <= 1))
        w = charWidths_[32];
    if (w > 0 && w <= 1)
        bankSpaceCharWidth_ = w;
}

double QXPDFSimple8BitFont::ascent() const
{
    if (fontDescriptor_)
        return fontDescriptor_->ascent();
    if (builtinFont_)
        return builtinFont_->ascent();
    return QXPDFFont::ascent();
}

double QXPDFSimple8BitFont::descent() const
{
    if (fontDescriptor_)
        return fontDescriptor_->descent();
    if (builtinFont_)
        return builtinFont_->descent();
    return QXPDFFont::descent();
}

Rect QXPDFSimple8BitFont::fontBBox() const
{
    if (fontDescriptor_ && fontDescriptor_->embFontNum() != 0)
        return fontDescriptor_->fontBBox();
    if (builtinFont_)
        return builtinFont_->bbox();
    if (fontDescriptor_)
        return fontDescriptor_->fontBBox();
    return QXPDFFont::fontBBox();
}

const QXPDFCharProcEntry* QXPDFSimple8BitFont::charProcForKey(const std::string& key) const
{
    const auto it = type3_charProcs_.find(key);
    return it == type3_charProcs_.end() ? nullptr : &it->second;
}

// The kinds.

std::shared_ptr<QXPDFFont> QXPDFType1Font::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFType1Font(*this));
}

std::shared_ptr<QXPDFFont> QXPDFMMType1Font::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFMMType1Font(*this));
}

std::shared_ptr<QXPDFFont> QXPDFTrueTypeFont::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFTrueTypeFont(*this));
}

std::shared_ptr<QXPDFFont> QXPDFType1CFont::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFType1CFont(*this));
}

std::shared_ptr<QXPDFFont> QXPDFType3Font::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFType3Font(*this));
}

bool QXPDFType3Font::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    const pdf::Object matrix = dictionary.get("FontMatrix");
    if (matrix.isArray() && matrix.size() == 6) {
        double v[6] = {};
        bool usable = true;
        for (size_t i = 0; i < 6 && usable; ++i) {
            const std::optional<double> n = matrix.at(i).number();
            usable = n && std::isfinite(*n) && std::fabs(*n) < 1e6;
            if (usable)
                v[i] = *n;
        }
        if (usable && v[0] != 0)
            fontMatrix_ = Affine{v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    return QXPDFSimple8BitFont::initWithDictionary(dictionary, objectKey);
}

double QXPDFType3Font::widthScale() const
{
    return fontMatrix_.a;
}

int QXPDFType3Font::getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u, int uSize,
                                int* uLen, double* dx, double* dy, double* ox, double* oy) const
{
    return QXPDFSimple8BitFont::getNextChar(s, len, code, u, uSize, uLen, dx, dy, ox, oy);
}

} // namespace rz
