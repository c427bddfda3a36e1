// The character state of the RTF writer, its starting values, and the
// escaping of font names for the font table.
#pragma once

#include <string>
#include <string_view>

namespace rz {

// The character attributes last written into the body.
struct QXRTF_State {
    float fontSize = 0;               // half-points
    int fontIndex = 0;                // -1: nothing written yet in this document
    int foregroundColorIndex = 0;     // -1 at the start
    int backgroundColorIndex = 0;
    struct {
        unsigned bold : 1;
        unsigned italic : 1;
    } flags{0, 0};
    int underline = 0;
    int superscript = 0;
    int alignment = 0;
    int firstLineIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
};

class QXRTFUtilities {
public:
    // Font size -1, font -1, text colour -1, background 0, nothing else set.
    static QXRTF_State defaultStateProperty();

    // A font name (UTF-8) as font-table text: "\", "{" and "}" after a
    // backslash, characters outside ASCII as "\uN?" (N the signed 16-bit
    // value of each UTF-16 unit), control characters, noncharacters and ";"
    // (which would end the name) left out, ill-formed UTF-8 as U+FFFD
    // (forEachMarkupCodePoint). Empty when nothing printable is left.
    static std::string rtfFontName(std::string_view name);
    // The signed 16-bit value RTF writes for a UTF-16 unit in \uN.
    static int rtfUnicodeValue(char16_t unit);
};

} // namespace rz
