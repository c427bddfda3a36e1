#include "pdfengine/fonts/LegacyEncodings.h"

#include "pdfengine/fonts/BuiltinFontManager.h"
#include "pdfengine/fonts/FontDataTables.h"

namespace rz {

namespace {

const char* const* namesOf(PDFFontEncoding encoding)
{
    switch (encoding) {
    case PDFFontEncoding::Standard: return kStandardEncodingNames;
    case PDFFontEncoding::WinAnsi: return kWinAnsiEncodingNames;
    case PDFFontEncoding::MacRoman: return kMacRomanEncodingNames;
    case PDFFontEncoding::PDFDoc: return kPDFDocEncodingNames;
    case PDFFontEncoding::Symbol: return kSymbolEncodingNames;
    case PDFFontEncoding::ZapfDingbats: return kZapfDingbatsEncodingNames;
    }
    return kStandardEncodingNames;
}

std::optional<char32_t> fromTable(const uint16_t* table, uint8_t byte)
{
    const uint16_t value = table[byte];
    if (value == 0xFFFF)
        return std::nullopt;
    return static_cast<char32_t>(value);
}

} // namespace

std::optional<PDFFontEncoding> pdfFontEncodingForName(std::string_view name)
{
    if (name == "StandardEncoding")
        return PDFFontEncoding::Standard;
    if (name == "WinAnsiEncoding")
        return PDFFontEncoding::WinAnsi;
    if (name == "MacRomanEncoding")
        return PDFFontEncoding::MacRoman;
    if (name == "PDFDocEncoding")
        return PDFFontEncoding::PDFDoc;
    if (name == "SymbolEncoding")
        return PDFFontEncoding::Symbol;
    if (name == "ZapfDingbatsEncoding")
        return PDFFontEncoding::ZapfDingbats;
    return std::nullopt;
}

const char* glyphNameForCode(PDFFontEncoding encoding, uint8_t code)
{
    return namesOf(encoding)[code];
}

std::optional<char32_t> unicodeForCode(PDFFontEncoding encoding, uint8_t code)
{
    if (encoding == PDFFontEncoding::PDFDoc)
        return pdfDocEncodingToUnicode(code);
    const char* name = glyphNameForCode(encoding, code);
    if (!name)
        return std::nullopt;
    const uint32_t value = BuiltinFontWidths::nameToUnicodeID(name);
    if (value == 0)
        return std::nullopt;
    return static_cast<char32_t>(value);
}

std::optional<char32_t> decodeByteInStringEncoding(uint64_t stringEncoding, uint8_t byte)
{
    switch (stringEncoding) {
    case kStringEncodingASCII:
        if (byte < 0x80)
            return static_cast<char32_t>(byte);
        return std::nullopt;
    case kStringEncodingWindowsCP1252: return fromTable(kCP1252ToUnicode, byte);
    case kStringEncodingMacOSRoman: return fromTable(kMacOSRomanToUnicode, byte);
    default: return std::nullopt;
    }
}

std::optional<char32_t> pdfDocEncodingToUnicode(uint8_t byte)
{
    return fromTable(kPDFDocToUnicode, byte);
}

} // namespace rz
