// The PDF font family: the factory that turns a /Font resource into a font
// object, the decoding contract the text showing uses once per character,
// and what exporters read of a font (names, style, metrics, space width).
// The one-byte fonts are in QXPDFSimple8BitFont.h, the composite fonts in
// QXPDFType0Font.h and QXPDFCIDTypeFont.h.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rz {

namespace pdf {
class Object;
}

class BuiltinFont;
class QXPDFCharCodeToUnicode;
class QXPDFFontDescriptor;
struct QXPDFCharProcEntry;

// How a font's names are settled. MatchInstalled looks each name up among
// the installed fonts (fontName becomes the installed face's full name, the
// family the installed family), for the formats that name fonts in their
// output. AsWritten keeps the names the PDF writes, chooses no replacement
// font and never loads the installed-font listing: for output that names
// no font.
enum class QXPDFFontNaming { MatchInstalled, AsWritten };

class QXPDFFont {
public:
    // Units the text showing offers getNextChar (a mapping has at most 8,
    // so 16 always suffices).
    static constexpr int kCharUnitCapacity = 16;

    // The font of a /Font dictionary: /Type must be the name "Font";
    // /Subtype "Type0", "Type1", "MMType1", "Type3" or "TrueType" chooses the
    // class. nullptr for any other dictionary, any other subtype, or a font
    // that cannot be built (a composite font without a usable CMap).
    // `objectKey` is the font's key in the page's /Font resources.
    static std::shared_ptr<QXPDFFont> FontWithDictionary(
        const pdf::Object& dictionary, const std::string& objectKey,
        QXPDFFontNaming naming = QXPDFFontNaming::MatchInstalled);

    virtual ~QXPDFFont();
    // An independent copy: names, maps, widths and descriptor are copied
    // (the descriptor's embedded font is shared).
    std::shared_ptr<QXPDFFont> copyWithZone() const;
    std::shared_ptr<QXPDFFont> copy() const { return copyWithZone(); }
    // The same font under another key of a /Font resource dictionary: a
    // light copy that shares every decoded table (maps, descriptor, font
    // program, CMap, descendants) with this font. Fonts do not change once
    // built, so pages may share them; a page that names a shared font
    // differently gets one of these to carry its own key.
    std::shared_ptr<QXPDFFont> copyWithObjectKey(const std::string& objectKey) const;

    // Decodes the next character of a shown string. s: the bytes from the
    // current position; len: bytes left. Out: code (the character code, or
    // the CID of a composite font), u (UTF-16 units, at most uSize are
    // written) and uLen (units written, 0 when the character has no
    // Unicode), dx/dy (displacement in text space units before font size and
    // horizontal scaling), ox/oy (vertical-writing origin offset). Answers
    // the number of bytes used: at least 1 whenever len > 0, never more than
    // len; 0 only for len <= 0. Pointers may not be null.
    virtual int getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u, int uSize,
                            int* uLen, double* dx, double* dy, double* ox, double* oy) const;

    // Width of a character code in the embedded font program (size 1); 0
    // without one.
    virtual double embFontWidthForCode(uint32_t code) const;
    // Width of a space in text space units: the font's own when it lies in
    // (0, 1), else from the descriptor, else 1.0 for fixed-pitch and 0.5 for
    // proportional fonts.
    virtual double widthOfSpace() const;
    // Ascent (0.95 by default) and descent (-0.35 by default) in text space
    // units; height = ascent - descent.
    virtual double ascent() const;
    virtual double descent() const;
    double height() const { return ascent() - descent(); }
    // The font box: origin = lower-left corner, size = upper-right corner.
    virtual Rect fontBBox() const;
    // Ligature letters -> decimal code point text ("fi" -> "64257", ...).
    const std::map<std::string, std::string>& ligatures() const;
    // A Type 3 glyph procedure by glyph name; nullptr for other fonts.
    virtual const QXPDFCharProcEntry* charProcForKey(const std::string& key) const;

    // The key in the page's /Font resources.
    const std::string& objectKey() const { return objectKey_; }
    // /Subtype.
    const std::string& subtype() const { return subtype_; }
    // /BaseFont as written.
    const std::string& baseFontName() const { return baseFontName_; }
    // The base name without placeholder names; the PDF's own font name.
    const std::optional<std::string>& baseFontName_New() const { return baseFontName_New_; }
    // The base name without its subset prefix, or the installed font that matches it.
    const std::optional<std::string>& fontName() const { return fontName_; }
    // The installed family of fontName, else the family part cut from it.
    const std::optional<std::string>& fontFamilyName() const { return fontFamilyName_; }
    // The installed font chosen for output.
    const std::optional<std::string>& fontSystemReplaceName() const { return fontSystemReplaceName_; }
    // 0 horizontal, 1 vertical.
    int wMode() const { return wMode_; }
    // Width of the font's own space character in text space units; 0 when unknown.
    double bankSpaceCharWidth() const { return bankSpaceCharWidth_; }
    // The /ToUnicode map, or nullptr.
    const std::shared_ptr<QXPDFCharCodeToUnicode>& embToUnicodeMap() const { return embToUnicodeMap_; }
    // The descriptor (for a composite font, its first descendant's), or nullptr.
    const std::shared_ptr<QXPDFFontDescriptor>& fontDescriptor() const { return fontDescriptor_; }
    // The standard font whose name equals fontName, or nullptr.
    const std::shared_ptr<const BuiltinFont>& builtinFont() const { return builtinFont_; }
    // Platform string encoding that turns one byte into text
    // (LegacyEncodings.h: 1 ASCII, 12 WinAnsi, 30 Mac Roman, 10 none).
    uint64_t stringEncoding() const { return stringEncoding_; }

protected:
    QXPDFFont();
    // Copy constructors of the family share the tables behind pointers
    // (shareWithZone); ownTables then gives a copy tables of its own.
    QXPDFFont(const QXPDFFont& other) = default;
    QXPDFFont& operator=(const QXPDFFont&) = delete;

    // A copy of the same kind made by its copy constructor: every table
    // behind a pointer is shared with this font.
    virtual std::shared_ptr<QXPDFFont> shareWithZone() const;
    // Replaces the shared tables of a copy by copies of its own: the
    // ToUnicode map and the descriptor here.
    virtual void ownTables();
    // Sets the key of a light copy (composite fonts also re-key their
    // descendants).
    virtual void setSharedObjectKey(const std::string& objectKey);

    // Builds the font from its dictionary; false when no font can be made.
    virtual bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey);

    // Subtype and the names (baseFontName_New, fontName, fontFamilyName).
    void setSubtypeBaseFontName(const pdf::Object& dictionary);
    void setBuiltinFontWithFontDictionary(const pdf::Object& dictionary);
    void setExtendFontFileWithFontDictionary(const pdf::Object& dictionary);
    void setFontDescriptorWithFontDictionary(const pdf::Object& dictionary);
    virtual void setWidthsWithFontDictionary(const pdf::Object& dictionary);
    void setToUnicodeWithFontDictionary(const pdf::Object& dictionary, int nBits);
    // The replacement book's font for fontName, else for the descriptor's
    // PostScript name, else for its full name; empty when none.
    std::string findReplaceNameByKeyword() const;
    // Settles fontSystemReplaceName. With byKind, a font the style fallback
    // names a face that is not installed gets the installed face of that
    // kind from the replacement book.
    void updateFontSystemReplaceName(bool byKind = true);
    virtual void updateBankSpaceWidth();
    // The installed-font lookups under this font's naming: nothing is
    // installed for a font named AsWritten.
    std::string installedFontName(std::string_view name) const;
    std::string installedFamilyName(std::string_view name) const;
    bool installedFontExists(std::string_view name) const;

    // Width of a space from the descriptor, or the 1.0 / 0.5 fallback, when
    // the font's own width `w` is not inside (0, 1).
    double spaceWidthFallback(double w) const;

    QXPDFFontNaming naming_ = QXPDFFontNaming::MatchInstalled;
    std::string objectKey_;
    std::string subtype_;
    std::string baseFontName_;
    std::optional<std::string> baseFontName_New_;
    std::optional<std::string> fontName_;
    std::optional<std::string> fontFamilyName_;
    std::optional<std::string> fontSystemReplaceName_;
    int wMode_ = 0;
    double bankSpaceCharWidth_ = 0;
    std::shared_ptr<QXPDFCharCodeToUnicode> embToUnicodeMap_;
    std::shared_ptr<QXPDFFontDescriptor> fontDescriptor_;
    std::shared_ptr<const BuiltinFont> builtinFont_;
    uint64_t stringEncoding_ = 1;
};

// Unicode helpers of the text showing.

// Writes a code point as UTF-8 (1-4 bytes) and answers the bytes written;
// 0 above U+10FFFF or when the buffer is too small.
int QXEncodeUTF8(uint32_t codePoint, char* buffer, size_t size);
// Writes a code point up to U+FFFF as two bytes, high first; 0 otherwise.
int QXEncodeUCS2(uint32_t codePoint, uint8_t* buffer, size_t size);
// True for the space characters of text (0x20, 0x1680, 0x180E,
// 0x2000-0x2004, 0x2009, 0x200A, 0x202F, 0x205F, 0x3000, 0x09, 0x0A-0x0D,
// 0x85, 0xA0, 0x2028, 0x2029); only the low 16 bits are tested.
bool QXIsUnicodeSpace(uint32_t unit);
// True for the sequences QXNormalizeUnicodeSequence collapses.
bool QXIsNormalizableSequence(const char16_t* units, int count);
// U+002D U+00AD U+2010 becomes U+2010; U+0009 U+000D U+0020 U+00A0 becomes
// U+0020; anything else is left alone.
void QXNormalizeUnicodeSequence(char16_t* units, int* count);

} // namespace rz
