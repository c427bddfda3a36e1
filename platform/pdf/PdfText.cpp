// PDF text strings: PDFDocEncoding, UTF-16BE and UTF-8 forms to UTF-8.
#include "platform/pdf/PdfObject.h"
#include "platform/text/Utf.h"

namespace rz::pdf {

namespace {

constexpr char32_t kUndefined = 0xFFFD;

// 0x18..0x1F: spacing accents.
constexpr char32_t kAccents[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};

// 0x80..0xA0: punctuation, ligatures and letters outside Latin-1.
constexpr char32_t kHigh[33] = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
    0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
    0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, kUndefined, 0x20AC,
};

char32_t pdfDocCodePoint(unsigned char c)
{
    if (c >= 0x18 && c <= 0x1F)
        return kAccents[c - 0x18];
    if (c >= 0x80 && c <= 0xA0)
        return kHigh[c - 0x80];
    if (c == 0x7F || c == 0xAD)
        return kUndefined;
    return c;
}

} // namespace

std::string pdfDocEncodingToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes)
        appendUtf8(out, pdfDocCodePoint(static_cast<unsigned char>(ch)));
    return out;
}

std::string pdfTextToUtf8(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        // A trailing odd byte is not a unit and is dropped.
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(char16_t((static_cast<unsigned char>(bytes[i]) << 8) |
                                     static_cast<unsigned char>(bytes[i + 1])));
        return utf16ToUtf8(units);
    }
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        const std::string_view body = bytes.substr(3);
        std::string out;
        out.reserve(body.size());
        for (size_t i = 0; i < body.size();)
            appendUtf8(out, nextCodePoint(body, i));
        return out;
    }
    return pdfDocEncodingToUtf8(bytes);
}

} // namespace rz::pdf
