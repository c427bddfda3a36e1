// Single-byte encodings of PDF fonts (code -> glyph name) and the platform
// code pages that turn one byte into text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rz {

// The encodings PDF names and the built-in encodings of the symbol fonts.
enum class PDFFontEncoding {
    Standard,     // "StandardEncoding"
    WinAnsi,      // "WinAnsiEncoding"
    MacRoman,     // "MacRomanEncoding"
    PDFDoc,       // "PDFDocEncoding"
    Symbol,       // "SymbolEncoding", built into Symbol
    ZapfDingbats, // "ZapfDingbatsEncoding", built into ZapfDingbats
};

// The encoding of that name, or nothing.
std::optional<PDFFontEncoding> pdfFontEncodingForName(std::string_view name);
// The glyph name of a code, or nullptr when the encoding has none there.
const char* glyphNameForCode(PDFFontEncoding encoding, uint8_t code);
// The Unicode value of a code through its glyph name; nothing when the code
// has no glyph or the glyph name has no Unicode value.
std::optional<char32_t> unicodeForCode(PDFFontEncoding encoding, uint8_t code);

// Platform string-encoding numbers a font uses to turn one byte into text.
inline constexpr uint64_t kStringEncodingASCII = 1;
inline constexpr uint64_t kStringEncodingUnicode = 10; // two-byte: no single byte decodes
inline constexpr uint64_t kStringEncodingWindowsCP1252 = 12;
inline constexpr uint64_t kStringEncodingMacOSRoman = 30;

// One byte decoded in a string encoding: ASCII (bytes below 0x80),
// Windows-1252 (with the euro sign at 0x80; its five unused codes fail),
// Mac OS Roman; nothing when the byte does not decode or the encoding is
// another one.
std::optional<char32_t> decodeByteInStringEncoding(uint64_t stringEncoding, uint8_t byte);

// PDFDocEncoding: the Unicode value of a byte, or nothing where it is undefined.
std::optional<char32_t> pdfDocEncodingToUnicode(uint8_t byte);

} // namespace rz
