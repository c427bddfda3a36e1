#include "pdfengine/fonts/QXPDFType0Font.h"

#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "platform/pdf/PdfObject.h"

#include <algorithm>

namespace rz {

namespace {

// The collection a descendant names, or the Identity collection without one.
constexpr const char* kDefaultCollection = "Adobe-Identity-0";

} // namespace

void QXPDFType0Font::ownTables()
{
    QXPDFFont::ownTables();
    if (extToCIDMap_)
        extToCIDMap_ = std::make_shared<QXPDFCodeToCIDMap>(*extToCIDMap_);
    for (auto& descendant : descendantFonts_)
        if (descendant)
            descendant = std::static_pointer_cast<QXPDFCIDTypeFont>(descendant->copy());
    // The descriptor is the first descendant's, in the copy as in the original.
    if (!descendantFonts_.empty() && descendantFonts_.front())
        fontDescriptor_ = descendantFonts_.front()->fontDescriptor();
}

void QXPDFType0Font::setSharedObjectKey(const std::string& objectKey)
{
    QXPDFFont::setSharedObjectKey(objectKey);
    // The descendants carry the font's key: light copies of them carry the new one.
    for (auto& descendant : descendantFonts_)
        if (descendant)
            descendant = std::static_pointer_cast<QXPDFCIDTypeFont>(descendant->copyWithObjectKey(objectKey));
}

std::shared_ptr<QXPDFFont> QXPDFType0Font::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFType0Font(*this));
}

std::shared_ptr<QXPDFCIDTypeFont> QXPDFType0Font::cidTypeFont() const
{
    return descendantFonts_.empty() ? nullptr : descendantFonts_.front();
}

bool QXPDFType0Font::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    objectKey_ = objectKey;
    setDescendantFontsWithDictionary(dictionary);
    setSubtypeBaseFontName(dictionary);
    setFontDescriptorWithCIDTypeFont();

    const std::shared_ptr<QXPDFCIDTypeFont> cidFont = cidTypeFont();
    const std::string collection = cidFont ? cidFont->cidSystemInfo() : std::string(kDefaultCollection);
    QXPDFCodeToCIDMapCache cache;
    const pdf::Object encoding = dictionary.get("Encoding");
    if (const std::optional<std::string> name = encoding.name()) {
        cMapName_ = *name;
        // Predefined maps are parsed once per process.
        extToCIDMap_ = QXPDFCodeToCIDMap::predefined(collection, cMapName_);
    } else if (encoding.isStream()) {
        // An embedded CMap (its own usecmap chain is bounded by the reader).
        extToCIDMap_ = QXPDFCodeToCIDMap::parse(&cache, collection, encoding);
        if (extToCIDMap_)
            cMapName_ = extToCIDMap_->cMapName();
    }
    if (!extToCIDMap_)
        return false;
    wMode_ = extToCIDMap_->wMode() == 1 ? 1 : 0;

    if (cidFont)
        extToUnicodeMap_ = cidFont->extToUnicodeMap();

    setExtendFontFileWithFontDictionary(dictionary);
    setToUnicodeWithFontDictionary(dictionary, 16);
    // A composite font may hold any script: its fallback stays the face
    // meant to cover them all.
    updateFontSystemReplaceName(false);
    updateBankSpaceWidth();
    return true;
}

void QXPDFType0Font::setDescendantFontsWithDictionary(const pdf::Object& dictionary)
{
    descendantFonts_.clear();
    const pdf::Object descendants = dictionary.get("DescendantFonts");
    if (!descendants.isArray())
        return;
    const size_t count = descendants.size();
    for (size_t i = 0; i < count; ++i) {
        const pdf::Object entry = descendants.at(i);
        if (!entry.isDictionary() || entry.sameObject(dictionary))
            continue;
        std::shared_ptr<QXPDFCIDTypeFont> font = QXPDFCIDTypeFont::CIDFontWithDictionary(entry, objectKey_, naming_);
        if (!font)
            continue;
        fontDescriptor_ = font->fontDescriptor();
        descendantFonts_.push_back(std::move(font));
    }
}

void QXPDFType0Font::setFontDescriptorWithCIDTypeFont()
{
    if (const std::shared_ptr<QXPDFCIDTypeFont> font = cidTypeFont())
        fontDescriptor_ = font->fontDescriptor();
}

void QXPDFType0Font::getCIDWidths(uint32_t cid, double* dx, double* dy, double* ox, double* oy) const
{
    const std::shared_ptr<QXPDFCIDTypeFont> font = cidTypeFont();
    if (!font) {
        *dx = *dy = *ox = *oy = 0;
        return;
    }
    font->getCIDWidths(cid, wMode_, dx, dy, ox, oy);
}

int QXPDFType0Font::getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u, int uSize,
                                int* uLen, double* dx, double* dy, double* ox, double* oy) const
{
    *code = 0;
    *uLen = 0;
    *dx = *dy = *ox = *oy = 0;
    if (len <= 0 || !s)
        return 0;

    uint32_t rawCode = 0;
    int used = 1;
    const uint32_t cid = extToCIDMap_->getCID(s, static_cast<size_t>(len), rawCode, used);
    // Whatever the map says, the string moves on by 1 to len bytes.
    used = std::clamp(used, 1, len);
    *code = cid != 0 ? cid : s[0];

    uint32_t units[kCharUnitCapacity] = {};
    const int capacity = std::clamp(uSize, 0, kCharUnitCapacity);
    int n = 0;
    bool mapped = false;
    if (embToUnicodeMap_) {
        uint32_t raw = 0;
        for (int i = 0; i < used && i < 4; ++i)
            raw = raw << 8 | s[i];
        n = embToUnicodeMap_->mapToUnicode(raw, units, capacity);
        mapped = true;
    } else if (extToUnicodeMap_) {
        n = extToUnicodeMap_->mapToUnicode(cid, units, capacity);
        mapped = true;
    }
    if (mapped && n > 0) {
        for (int i = 0; i < n; ++i)
            u[i] = static_cast<char16_t>(units[i]);
        *uLen = n;
    } else if (capacity > 0) {
        u[0] = static_cast<char16_t>(*code);
        *uLen = 1;
    }
    getCIDWidths(*code, dx, dy, ox, oy);
    return used;
}

uint32_t QXPDFType0Font::spaceCode() const
{
    uint32_t code = 0;
    if (embToUnicodeMap_)
        code = embToUnicodeMap_->spaceCIDCode();
    if (code == 0 && extToUnicodeMap_)
        code = extToUnicodeMap_->spaceCIDCode();
    return code;
}

double QXPDFType0Font::widthOfSpace() const
{
    uint32_t code = spaceCode();
    if (code == 0)
        code = 32;
    double dx = 0, dy = 0, ox = 0, oy = 0;
    getCIDWidths(code, &dx, &dy, &ox, &oy);
    if (dx > 0 && dx < 1)
        return dx;
    return spaceWidthFallback(dx);
}

void QXPDFType0Font::updateBankSpaceWidth()
{
    const uint32_t code = spaceCode();
    if (code == 0) {
        bankSpaceCharWidth_ = 0;
        return;
    }
    const double w = embFontWidthForCode(code);
    if (w > 0 && w <= 1) {
        bankSpaceCharWidth_ = w;
        return;
    }
    double dx = 0, dy = 0, ox = 0, oy = 0;
    getCIDWidths(code, &dx, &dy, &ox, &oy);
    if (dx > 0 && dx <= 1)
        bankSpaceCharWidth_ = dx;
}

double QXPDFType0Font::embFontWidthForCode(uint32_t code) const
{
    const std::shared_ptr<QXPDFCIDTypeFont> font = cidTypeFont();
    if (!font || !fontDescriptor_ || !fontDescriptor_->embFont())
        return 0;
    const uint32_t glyph = font->glyphForCID(code);
    if (glyph > 0xFFFF)
        return 0;
    return fontDescriptor_->embFontWidthForGlyphCode(static_cast<uint16_t>(glyph));
}

double QXPDFType0Font::ascent() const
{
    return fontDescriptor_ ? fontDescriptor_->ascent() : QXPDFFont::ascent();
}

double QXPDFType0Font::descent() const
{
    return fontDescriptor_ ? fontDescriptor_->descent() : QXPDFFont::descent();
}

Rect QXPDFType0Font::fontBBox() const
{
    return fontDescriptor_ ? fontDescriptor_->fontBBox() : QXPDFFont::fontBBox();
}

} // namespace rz
