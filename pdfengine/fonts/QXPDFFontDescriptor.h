// A /FontDescriptor: metrics in text space units, style flags, the font's
// own names and the embedded font program, loaded for measuring.
#pragma once

#include "pdfengine/fonts/PlatformFont.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rz {

namespace pdf {
class Object;
}

class QXPDFFontDescriptor {
public:
    // Flag bits of /Flags.
    static constexpr uint64_t kFlagFixedPitch = 1u << 0;
    static constexpr uint64_t kFlagSerif = 1u << 1;
    static constexpr uint64_t kFlagSymbolic = 1u << 2;
    static constexpr uint64_t kFlagScript = 1u << 3;
    static constexpr uint64_t kFlagNonSymbolic = 1u << 5;
    static constexpr uint64_t kFlagItalic = 1u << 6;
    static constexpr uint64_t kFlagAllCap = 1u << 16;
    static constexpr uint64_t kFlagSmallCap = 1u << 17;
    static constexpr uint64_t kFlagForceBold = 1u << 18;

    static constexpr std::string_view kUnknownSubType = "Unknown embedded font type";
    static constexpr std::string_view kUnknownFullName = "Unknown embedded font full name";
    static constexpr std::string_view kUnknownPostScriptName =
        "Unknown embedded font postscript name";

    // The descriptor of a dictionary whose /Type is the name
    // "FontDescriptor"; nullptr otherwise.
    static std::shared_ptr<QXPDFFontDescriptor> initWithPDFDictionary(const pdf::Object& dictionary);

    QXPDFFontDescriptor() = default;
    // A copy carries every field and shares the embedded font.
    QXPDFFontDescriptor(const QXPDFFontDescriptor&) = default;
    QXPDFFontDescriptor& operator=(const QXPDFFontDescriptor&) = default;

    // Advance of a character at size 1 (advance / units per em); 0 without
    // an embedded font or when the character has no glyph. The character is
    // found through the font's Unicode map, then its (3,0) symbol map at
    // 0xF000 + the character, then its Mac Roman map.
    double embFontWidthForCharCode(char16_t charCode) const;
    // Advance of a glyph at size 1; 0 without an embedded font.
    double embFontWidthForGlyphCode(uint16_t glyphCode) const;
    // embFontWidthForCharCode of the space.
    double embFontWidthForBankSpace() const;
    // (advance of the UTF-8 string, capHeight x size / units per em); the
    // zero rectangle without an embedded font.
    Rect embFontRectForString(std::string_view string, double fontSize) const;
    Rect embFontRectForString(std::string_view string) const { return embFontRectForString(string, 1); }

    void setEmbFont(std::shared_ptr<PlatformFont> font) { embFont_ = std::move(font); }
    void setFontBold(bool bold);
    void setFontItalic(bool italic);

    bool isFixedWidth() const { return flags_ & kFlagFixedPitch; }
    bool isSerif() const { return flags_ & kFlagSerif; }
    bool isSymbolic() const { return flags_ & kFlagSymbolic; }
    bool isScriptor() const { return flags_ & kFlagScript; }
    bool isNonSymbolic() const { return flags_ & kFlagNonSymbolic; }
    bool isItalic() const { return flags_ & kFlagItalic; }
    bool isAllCap() const { return flags_ & kFlagAllCap; }
    bool isSmallCap() const { return flags_ & kFlagSmallCap; }
    bool isBold() const { return flags_ & kFlagForceBold; }

    // /Descent x 0.001, never above 0; -0.35 when absent or 0.
    double descent() const { return descent_; }
    // /Ascent x 0.001; 0.95 when absent or 0.
    double ascent() const { return ascent_; }
    // As written (glyph space units).
    double leading() const { return leading_; }
    double capHeight() const { return capHeight_; }
    double xHeight() const { return xHeight_; }
    // x 0.001.
    double averageWidth() const { return averageWidth_; }
    double maxWidth() const { return maxWidth_; }
    double missingWidth() const { return missingWidth_; }
    // As written.
    double verticalStemWidth() const { return verticalStemWidth_; }
    double horizontalStemHeigth() const { return horizontalStemHeigth_; }
    double italicAngle() const { return italicAngle_; }
    // /FontBBox x 0.001: origin = (llx, lly), size = (urx, ury); the zero
    // rectangle unless /FontBBox has exactly four elements.
    const Rect& fontBBox() const { return fontBBox_; }
    // /Flags; 2 (serif) when absent.
    uint64_t flags() const { return flags_; }
    const std::optional<std::string>& fontName() const { return fontName_; }
    const std::optional<std::string>& fontFamily() const { return fontFamily_; }
    const std::shared_ptr<PlatformFont>& embFont() const { return embFont_; }
    // 0 none, 1 /FontFile, 2 /FontFile2, 3 /FontFile3.
    int64_t embFontNum() const { return embFontNum_; }
    const std::string& embFontSubType() const { return embFontSubType_; }
    const std::string& embFullName() const { return embFullName_; }
    const std::string& embPostScriptName() const { return embPostScriptName_; }

private:
    bool read(const pdf::Object& dictionary);

    double descent_ = 0;
    double ascent_ = 0;
    double leading_ = 0;
    double capHeight_ = 0;
    double xHeight_ = 0;
    double averageWidth_ = 0;
    double maxWidth_ = 0;
    double missingWidth_ = 0;
    double verticalStemWidth_ = 0;
    double horizontalStemHeigth_ = 0;
    double italicAngle_ = 0;
    Rect fontBBox_;
    uint64_t flags_ = kFlagSerif;
    std::optional<std::string> fontName_;
    std::optional<std::string> fontFamily_;
    std::shared_ptr<PlatformFont> embFont_;
    int64_t embFontNum_ = 0;
    std::string embFontSubType_{kUnknownSubType};
    std::string embFullName_{kUnknownFullName};
    std::string embPostScriptName_{kUnknownPostScriptName};
};

} // namespace rz
