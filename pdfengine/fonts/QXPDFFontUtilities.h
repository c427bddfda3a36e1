// Font names and installed fonts: style words in names, name normalisation,
// lookups in the font book and the replacement book, and measuring text in
// platform fonts.
#pragma once

#include "pdfengine/fonts/PlatformFont.h"
#include "pdfengine/fonts/QXInstalledFonts.h"
#include "platform/geometry/Geometry.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rz {

// The replacement book: installed font name -> PDF font names and keywords,
// in the book's own order.
using QXFontReplaceBook = std::vector<std::pair<std::string, std::vector<std::string>>>;

class QXPDFFontUtilities {
public:
    // Style words ("bold", "-w7", "heavy", ... / "italic", "oblique", ...)
    // in the lower-cased name; false for an empty name.
    static bool isBoldFontName(std::string_view name);
    static bool isItalicFontName(std::string_view name);
    // A font of pictographs or symbols by its name (Wingdings, Webdings,
    // Symbol, the dingbats, Marlett, MT Extra): no text face stands in for
    // its glyphs.
    static bool isSymbolFontName(std::string_view name);

    // The book of the installed fonts (built once per process, on the first
    // call; it measures every installed face). The lookups below without a
    // book answer from name indexes of the same book and open no font.
    static const QXFontBook& GetFontBook();
    static const QXFontBook& GetFontBookInThisDevice();
    // The replacement book of the resources (FontBook_Replace.txt), read
    // once; nullptr when it is missing.
    static const QXFontReplaceBook* GetFontBook_Replace();
    // Parses the text form of a replacement book: "[Installed Name]" opens
    // an entry, each other non-empty line is one PDF font name or keyword,
    // "#" starts a comment line.
    static QXFontReplaceBook ParseFontBook_Replace(std::string_view text);

    // Lower-cased name without the characters of `removed`.
    static std::string NormalizedFontName(std::string_view name, std::string_view removed);
    static constexpr std::string_view kFaceNameSeparators = "+- ,.";
    static constexpr std::string_view kFamilyNameSeparators = "- ,.";

    // The full name of the first face whose normalised full, Word or
    // PostScript name equals the normalised name (face separators); empty
    // when none.
    static std::string FontNameInComputer(std::string_view name);
    static std::string FontNameExistInFontBook(std::string_view name);
    static std::string FontNameExistInFontBook(const QXFontBook& book, std::string_view name);
    // With the family separators: a family whose normalised name equals the
    // name's, else the full name of the first matching face of that family;
    // empty when none.
    static std::string FamilyNameInComputer(std::string_view name);
    static std::string FamilyNameExistInFontBook(std::string_view name);
    static std::string FamilyNameExistInFontBook(const QXFontBook& book, std::string_view name);
    // The part before the first "-", else before the first ",", else before
    // the first "+.", else before the first "+", else the whole name.
    static std::string FamilyNameCut(std::string_view name);
    // The installed font the replacement book gives for a name; empty for no
    // name, no book, a name holding "null", or no matching entry.
    static std::string ReplaceFontNameInFontBook(std::string_view name);
    static std::string ReplaceFontNameInFontBook(const QXFontReplaceBook* book,
                                                 std::string_view name);

    // Whether an installed font has that PostScript, full or family name.
    static bool SystemFontNameIsExist(std::string_view name);
    // The full name of that installed font; empty when there is none.
    static std::string SystemFontFullNameForFontName(std::string_view name);
    // Typeset width of a string in an installed font at a size (points); 0
    // when the font is not installed or a character has no glyph.
    static double SystemFontName(std::string_view fontName, double fontSize,
                                 std::string_view widthOfString);

    // Measuring in a platform font: sums of advances x size / units per em;
    // 0 without a font. Characters are UTF-16 units (a surrogate pair is one
    // character); any character without a glyph makes the width 0.
    static double CGFontWidthOfGlyphs(const PlatformFont* font, double fontSize,
                                      const uint16_t* glyphs, size_t length);
    static double CGFontWidthOfCharacters(const PlatformFont* font, double fontSize,
                                          const char16_t* characters, size_t length);
    static double CGFontWidthOfGlyphCode(const PlatformFont* font, double fontSize, uint16_t glyph);
    static double CGFontWidthOfCharCode(const PlatformFont* font, double fontSize,
                                        char16_t charCode);
    // A UTF-8 string, measured character by character as above.
    static double CGFontWidthOfString(const PlatformFont* font, double fontSize,
                                      std::string_view string);
    // (width of the string, capHeight x size / units per em).
    static Size CGFontSizeOfString(const PlatformFont* font, double fontSize,
                                   std::string_view string);
};

} // namespace rz
