#include "pdfengine/fonts/BuiltinFontManager.h"
#include "platform/text/Ascii.h"

#include <algorithm>
#include <cctype>
#include <mutex>

namespace rz {

namespace {

struct BuiltinFontRow {
    const char* name;
    const char* encoding;
    int ascent;
    int descent;
    int bbox[4];
};

// The standard fonts in table order (metrics in 1/1000 em).
constexpr BuiltinFontRow kBuiltinFontRows[kBuiltinFontCount] = {
    {"Courier", "StandardEncoding", 629, -157, {-23, -250, 715, 805}},
    {"Courier-Bold", "StandardEncoding", 629, -157, {-113, -250, 749, 801}},
    {"Courier-BoldOblique", "StandardEncoding", 629, -157, {-57, -250, 869, 801}},
    {"Courier-Oblique", "StandardEncoding", 629, -157, {-27, -250, 849, 805}},
    {"Helvetica", "StandardEncoding", 718, -207, {-166, -225, 1000, 931}},
    {"Helvetica-Bold", "StandardEncoding", 718, -207, {-170, -228, 1003, 962}},
    {"Helvetica-BoldOblique", "StandardEncoding", 718, -207, {-174, -228, 1114, 962}},
    {"Helvetica-Oblique", "StandardEncoding", 718, -207, {-170, -225, 1116, 931}},
    {"Symbol", "SymbolEncoding", 1010, -293, {-180, -293, 1090, 1010}},
    {"Times-Bold", "StandardEncoding", 683, -217, {-168, -218, 1000, 935}},
    {"Times-BoldItalic", "StandardEncoding", 683, -217, {-200, -218, 996, 921}},
    {"Times-Italic", "StandardEncoding", 683, -217, {-169, -217, 1010, 883}},
    {"Times-Roman", "StandardEncoding", 683, -217, {-168, -218, 1000, 898}},
    {"ZapfDingbats", "ZapfDingbatsEncoding", 820, -143, {-1, -143, 981, 820}},
};

// Substitutes by style: fixed pitch, sans, serif; each regular, italic,
// bold, bold italic. Values are indexes into the table above.
constexpr int kSubstituteIndexes[12] = {0, 3, 1, 2, 4, 7, 5, 6, 12, 11, 9, 10};

struct AliasRow {
    const char* alias;
    const char* name;
};

// Common names of the standard fonts, matched case-sensitively.
constexpr AliasRow kAliases[] = {
    {"Arial", "Helvetica"},
    {"Arial,Bold", "Helvetica-Bold"},
    {"Arial,BoldItalic", "Helvetica-BoldOblique"},
    {"Arial,Italic", "Helvetica-Oblique"},
    {"Arial-Bold", "Helvetica-Bold"},
    {"Arial-BoldItalic", "Helvetica-BoldOblique"},
    {"Arial-BoldItalicMT", "Helvetica-BoldOblique"},
    {"Arial-BoldMT", "Helvetica-Bold"},
    {"Arial-Italic", "Helvetica-Oblique"},
    {"Arial-ItalicMT", "Helvetica-Oblique"},
    {"ArialMT", "Helvetica"},
    {"Courier,Bold", "Courier-Bold"},
    {"Courier,BoldItalic", "Courier-BoldOblique"},
    {"Courier,Italic", "Courier-Oblique"},
    {"CourierNew", "Courier"},
    {"CourierNew,Bold", "Courier-Bold"},
    {"CourierNew,BoldItalic", "Courier-BoldOblique"},
    {"CourierNew,Italic", "Courier-Oblique"},
    {"CourierNew-Bold", "Courier-Bold"},
    {"CourierNew-BoldItalic", "Courier-BoldOblique"},
    {"CourierNew-Italic", "Courier-Oblique"},
    {"CourierNewPS-BoldItalicMT", "Courier-BoldOblique"},
    {"CourierNewPS-BoldMT", "Courier-Bold"},
    {"CourierNewPS-ItalicMT", "Courier-Oblique"},
    {"CourierNewPSMT", "Courier"},
    {"Helvetica,Bold", "Helvetica-Bold"},
    {"Helvetica,BoldItalic", "Helvetica-BoldOblique"},
    {"Helvetica,Italic", "Helvetica-Oblique"},
    {"Helvetica-BoldItalic", "Helvetica-BoldOblique"},
    {"Helvetica-Italic", "Helvetica-Oblique"},
    {"Symbol,Bold", "Symbol"},
    {"Symbol,BoldItalic", "Symbol"},
    {"Symbol,Italic", "Symbol"},
    {"TimesNewRoman", "Times-Roman"},
    {"TimesNewRoman,Bold", "Times-Bold"},
    {"TimesNewRoman,BoldItalic", "Times-BoldItalic"},
    {"TimesNewRoman,Italic", "Times-Italic"},
    {"TimesNewRoman-Bold", "Times-Bold"},
    {"TimesNewRoman-BoldItalic", "Times-BoldItalic"},
    {"TimesNewRoman-Italic", "Times-Italic"},
    {"TimesNewRomanPS", "Times-Roman"},
    {"TimesNewRomanPS-Bold", "Times-Bold"},
    {"TimesNewRomanPS-BoldItalic", "Times-BoldItalic"},
    {"TimesNewRomanPS-BoldItalicMT", "Times-BoldItalic"},
    {"TimesNewRomanPS-BoldMT", "Times-Bold"},
    {"TimesNewRomanPS-Italic", "Times-Italic"},
    {"TimesNewRomanPS-ItalicMT", "Times-Italic"},
    {"TimesNewRomanPSMT", "Times-Roman"},
    {"TimesNewRomanPSMT,Bold", "Times-Bold"},
    {"TimesNewRomanPSMT,BoldItalic", "Times-BoldItalic"},
    {"TimesNewRomanPSMT,Italic", "Times-Italic"},
};

// The glyph list indexed both ways, built once per process into two flat
// open-addressing tables (no allocation per entry): glyph name -> the first
// entry with that name, and value -> the first entry with that value.
class GlyphListIndex {
public:
    static const GlyphListIndex& shared()
    {
        // Lives for the whole process.
        static const GlyphListIndex* index = new GlyphListIndex();
        return *index;
    }

    const GlyphNameEntry* entryForName(std::string_view name) const
    {
        for (size_t slot = hashName(name) & mask_;; slot = (slot + 1) & mask_) {
            const uint32_t i = byName_[slot];
            if (i == 0)
                return nullptr;
            if (name == kGlyphNameList[i - 1].name)
                return &kGlyphNameList[i - 1];
        }
    }

    const GlyphNameEntry* entryForValue(uint16_t value) const
    {
        for (size_t slot = hashValue(value) & mask_;; slot = (slot + 1) & mask_) {
            const uint32_t i = byValue_[slot];
            if (i == 0)
                return nullptr;
            if (kGlyphNameList[i - 1].unicode == value)
                return &kGlyphNameList[i - 1];
        }
    }

private:
    GlyphListIndex()
    {
        size_t size = 16;
        while (size < kGlyphNameListCount + kGlyphNameListCount / 2)
            size *= 2;
        mask_ = size - 1;
        byName_.assign(size, 0);
        byValue_.assign(size, 0);
        for (size_t i = 0; i < kGlyphNameListCount; ++i) {
            const GlyphNameEntry& e = kGlyphNameList[i];
            if (!entryForName(e.name))
                insert(byName_, hashName(e.name), i);
            if (!entryForValue(e.unicode))
                insert(byValue_, hashValue(e.unicode), i);
        }
    }

    void insert(std::vector<uint32_t>& slots, size_t hash, size_t entry) const
    {
        size_t slot = hash & mask_;
        while (slots[slot] != 0)
            slot = (slot + 1) & mask_;
        slots[slot] = static_cast<uint32_t>(entry + 1);
    }

    static size_t hashName(std::string_view name)
    {
        uint32_t h = 2166136261u; // FNV-1a
        for (char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }
    static size_t hashValue(uint16_t value) { return value * 2654435761u >> 7; }

    size_t mask_ = 0;
    std::vector<uint32_t> byName_;  // entry index + 1, 0 when free
    std::vector<uint32_t> byValue_; // entry index + 1, 0 when free
};

// The preferred name of a value (the preferred list is sorted by value).
const char* preferredGlyphName(uint16_t value)
{
    const GlyphNameEntry* begin = kPreferredGlyphNameList;
    const GlyphNameEntry* end = begin + kPreferredGlyphNameListCount;
    const GlyphNameEntry* it = std::lower_bound(
        begin, end, value, [](const GlyphNameEntry& e, uint16_t v) { return e.unicode < v; });
    return it != end && it->unicode == value ? it->name : nullptr;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------
// BuiltinFontWidths

BuiltinFontWidths::BuiltinFontWidths(const BFontWidth* bFontWidth, int size)
{
    if (!bFontWidth || size <= 0)
        return;
    entries_ = bFontWidth;
    buckets_.assign(static_cast<size_t>(size), -1);
    next_.assign(static_cast<size_t>(size), -1);
    for (int i = 0; i < size; ++i) {
        const int h = hash(bFontWidth[i].name);
        next_[static_cast<size_t>(i)] = buckets_[static_cast<size_t>(h)];
        buckets_[static_cast<size_t>(h)] = i;
    }
}

int BuiltinFontWidths::hash(std::string_view name) const
{
    if (buckets_.empty())
        return 0;
    uint32_t h = 0;
    for (char c : name)
        h = h * 17u + static_cast<unsigned char>(c);
    return static_cast<int>(h % static_cast<uint32_t>(buckets_.size()));
}

bool BuiltinFontWidths::getString(std::string_view string, int& toWidth) const
{
    if (buckets_.empty())
        return false;
    for (int i = buckets_[static_cast<size_t>(hash(string))]; i >= 0; i = next_[static_cast<size_t>(i)]) {
        if (string == entries_[i].name) {
            toWidth = entries_[i].width;
            return true;
        }
    }
    return false;
}

bool BuiltinFontWidths::getCharacter(uint32_t character, int& toWidth) const
{
    return getString(unicodeIDToName(character), toWidth);
}

bool BuiltinFontWidths::widthOfSpace(int& width) const
{
    return getString("space", width);
}

uint32_t BuiltinFontWidths::nameToUnicodeID(std::string_view name)
{
    if (const GlyphNameEntry* entry = GlyphListIndex::shared().entryForName(name))
        return entry->unicode;
    if (name.size() < 3 || name.substr(0, 3) != "uni")
        return 0;
    const std::string_view rest = name.substr(3);
    if (rest.empty())
        return 0;
    uint32_t value = 0;
    if (rest.size() == 4) {
        for (char c : rest) {
            const int d = hexDigitValue(c);
            if (d < 0)
                return 0;
            value = value * 16 + static_cast<uint32_t>(d);
        }
        return value;
    }
    for (char c : rest) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value > 0x10FFFF)
            return 0;
    }
    return value;
}

std::string BuiltinFontWidths::unicodeIDToName(uint32_t unicodeID)
{
    const uint32_t u = unicodeID & 0xFFFF;
    if (u == 0)
        return ".notdef";
    if (const char* name = preferredGlyphName(static_cast<uint16_t>(u)))
        return name;
    if (const GlyphNameEntry* entry = GlyphListIndex::shared().entryForValue(static_cast<uint16_t>(u)))
        return entry->name;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "uni";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(u >> shift) & 0xF];
    return out;
}

// ---------------------------------------------------------------------------
// BuiltinFont

BuiltinFont::BuiltinFont(std::string fontName, std::string encoding, double ascent, double descent,
                         const Rect& bbox, BuiltinFontWidths widths)
    : fontName_(std::move(fontName)),
      baseEncoding_(std::move(encoding)),
      ascent_(ascent),
      descent_(descent),
      bbox_(bbox),
      fontWidths_(std::move(widths))
{
}

std::shared_ptr<BuiltinFont> BuiltinFont::BuiltinFontWithFontName(
    const std::string& fontName, const std::string& encoding, double ascent, double descent,
    const Rect& bbox, const BuiltinFontWidths& widths)
{
    return std::make_shared<BuiltinFont>(fontName, encoding, ascent, descent, bbox, widths);
}

// ---------------------------------------------------------------------------
// BuiltinFontManager

const BuiltinFontManager& BuiltinFontManager::sharedManager()
{
    static std::once_flag once;
    static BuiltinFontManager* manager = nullptr;
    // The manager lives for the whole process.
    std::call_once(once, [] { manager = new BuiltinFontManager(); });
    return *manager;
}

BuiltinFontManager::BuiltinFontManager()
{
    for (const BuiltinFontRow& row : kBuiltinFontRows) {
        const Rect box(row.bbox[0] * 0.001, row.bbox[1] * 0.001, row.bbox[2] * 0.001,
                       row.bbox[3] * 0.001);
        fonts_.push_back(BuiltinFont::BuiltinFontWithFontName(
            row.name, row.encoding, row.ascent * 0.001, row.descent * 0.001, box, {}));
    }
    for (int i = 0; i < kBuiltinFontCount; ++i) {
        const BuiltinFontWidthTable& table = kBuiltinFontWidthTables[i];
        addWidthsAtIndex(i, table.widths, table.count);
    }
    fontsArray_.assign(fonts_.begin(), fonts_.end());
    for (int index : kSubstituteIndexes)
        fontsSubstArray_.push_back(fonts_[static_cast<size_t>(index)]);
}

void BuiltinFontManager::addWidthsAtIndex(int index, const BFontWidth* bFontWidth, int size)
{
    if (index < 0 || index >= static_cast<int>(fonts_.size()))
        return;
    fonts_[static_cast<size_t>(index)]->setFontWidths(BuiltinFontWidths(bFontWidth, size));
}

std::shared_ptr<const BuiltinFont> BuiltinFontManager::findBuildinFont(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    std::string key(name);
    std::replace(key.begin(), key.end(), ' ', '-');
    for (const AliasRow& alias : kAliases) {
        if (key == alias.alias) {
            key = alias.name;
            break;
        }
    }
    const std::string lower = asciiLower(key);
    for (const auto& font : fontsArray_) {
        if (asciiLower(font->fontName()) == lower)
            return font;
    }
    return nullptr;
}

} // namespace rz
