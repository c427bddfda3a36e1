// Metrics of the fourteen standard PDF fonts, their common aliases and the
// style substitutes, and the glyph-name <-> Unicode lists.
#pragma once

#include "pdfengine/fonts/FontDataTables.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

// The widths of one standard font, hashed by glyph name. Copies share the
// static entries and own only their buckets.
class BuiltinFontWidths {
public:
    BuiltinFontWidths() = default;
    // Hashes `size` static entries; entries are pushed at the head of their
    // bucket's chain in table order.
    BuiltinFontWidths(const BFontWidth* bFontWidth, int size);

    // Width (1/1000 em) of the glyph of that exact name.
    bool getString(std::string_view string, int& toWidth) const;
    // Width of the glyph that unicodeIDToName() names for the value.
    bool getCharacter(uint32_t character, int& toWidth) const;
    // Width of "space".
    bool widthOfSpace(int& width) const;
    // Bucket of a name: h = h * 17 + byte (unsigned 32-bit), modulo the bucket count.
    int hash(std::string_view name) const;

    // Number of buckets (equal to the number of entries).
    int widthsCount() const { return static_cast<int>(buckets_.size()); }

    // Glyph name -> Unicode value: the glyph list, else "uni" followed by four
    // hex digits or by a decimal number; 0 for any other name.
    static uint32_t nameToUnicodeID(std::string_view name);
    // Unicode value (low 16 bits) -> glyph name: ".notdef" for 0, else the
    // preferred name, else the first name of the glyph list, else "uni" and
    // four lower-case hex digits.
    static std::string unicodeIDToName(uint32_t unicodeID);

private:
    const BFontWidth* entries_ = nullptr;
    std::vector<int> buckets_; // chain head per bucket, -1 when empty
    std::vector<int> next_;    // chain link per entry, -1 at the end
};

// One standard font. Ascent, descent and box are in text space units; the
// box holds lower-left x, lower-left y as origin and upper-right x, upper-right
// y as size, as font descriptors keep it.
class BuiltinFont {
public:
    BuiltinFont() = default;
    BuiltinFont(std::string fontName, std::string encoding, double ascent, double descent,
                const Rect& bbox, BuiltinFontWidths widths);
    static std::shared_ptr<BuiltinFont> BuiltinFontWithFontName(
        const std::string& fontName, const std::string& encoding, double ascent, double descent,
        const Rect& bbox, const BuiltinFontWidths& widths);

    const std::string& fontName() const { return fontName_; }
    const std::string& baseEncoding() const { return baseEncoding_; }
    double ascent() const { return ascent_; }
    double descent() const { return descent_; }
    const Rect& bbox() const { return bbox_; }
    const BuiltinFontWidths& fontWidths() const { return fontWidths_; }
    void setFontWidths(BuiltinFontWidths widths) { fontWidths_ = std::move(widths); }

private:
    std::string fontName_;
    std::string baseEncoding_;
    double ascent_ = 0;
    double descent_ = 0;
    Rect bbox_;
    BuiltinFontWidths fontWidths_;
};

// The process-wide manager of the standard fonts. Made once, on first use,
// under a lock; read-only afterwards, so lookups need no lock.
class BuiltinFontManager {
public:
    static const BuiltinFontManager& sharedManager();

    // The standard font for a name or one of its aliases (spaces become "-";
    // aliases are matched case-sensitively, standard names in any case).
    std::shared_ptr<const BuiltinFont> findBuildinFont(std::string_view name) const;
    // The fourteen fonts in table order.
    const std::vector<std::shared_ptr<const BuiltinFont>>& fontsArray() const { return fontsArray_; }
    // The twelve style substitutes: index = (fixed 0 / sans 4 / serif 8)
    // + (bold 2) + (italic 1).
    const std::vector<std::shared_ptr<const BuiltinFont>>& fontsSubstArray() const
    {
        return fontsSubstArray_;
    }

    BuiltinFontManager(const BuiltinFontManager&) = delete;
    BuiltinFontManager& operator=(const BuiltinFontManager&) = delete;

private:
    BuiltinFontManager();
    void addWidthsAtIndex(int index, const BFontWidth* bFontWidth, int size);

    std::vector<std::shared_ptr<BuiltinFont>> fonts_;
    std::vector<std::shared_ptr<const BuiltinFont>> fontsArray_;
    std::vector<std::shared_ptr<const BuiltinFont>> fontsSubstArray_;
};

} // namespace rz
