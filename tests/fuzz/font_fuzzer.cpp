// Fuzz target for PDF fonts: a font dictionary with its streams (embedded
// program, ToUnicode, CMap, CIDToGIDMap, ...) is built into a one-page PDF,
// made into a font and asked for everything the text showing and the
// exporters read, over a shown string.
//
// Input: sections separated by lines "%%--". Section 0 is the font
// dictionary in PDF syntax; "@1", "@2", ... in it stand for references to
// the streams of sections 1, 2, .... Each stream section is one line of
// extra stream dictionary entries (may be empty) followed by the stream
// data. The last section (after the streams) is the string to show;
// without one, the dictionary's own bytes are shown.
// fuzz-link: rz_pdfengine_fonts rz_test_support
#include "pdfengine/fonts/QXPDFCIDTypeFont.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFSimple8BitFont.h"
#include "pdfengine/fonts/QXPDFType0Font.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kSeparator = "\n%%--\n";
constexpr size_t kMaxStreams = 8;

std::vector<std::string> sections(std::string_view data)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (true) {
        const size_t at = data.find(kSeparator, pos);
        if (at == std::string_view::npos) {
            parts.emplace_back(data.substr(pos));
            return parts;
        }
        parts.emplace_back(data.substr(pos, at - pos));
        pos = at + kSeparator.size();
    }
}

void exercise(const rz::QXPDFFont& font, const std::string& shown)
{
    const auto* s = reinterpret_cast<const uint8_t*>(shown.data());
    int len = static_cast<int>(shown.size());
    double sum = 0;
    while (len > 0) {
        uint32_t code = 0;
        char16_t u[rz::QXPDFFont::kCharUnitCapacity];
        int uLen = 0;
        double dx = 0, dy = 0, ox = 0, oy = 0;
        const int used = font.getNextChar(s, len, &code, u, rz::QXPDFFont::kCharUnitCapacity, &uLen,
                                          &dx, &dy, &ox, &oy);
        if (used < 1 || used > len || uLen < 0 || uLen > rz::QXPDFFont::kCharUnitCapacity)
            __builtin_trap();
        for (int i = 0; i < uLen; ++i)
            sum += u[i];
        sum += dx + dy + ox + oy + font.embFontWidthForCode(code);
        s += used;
        len -= used;
    }
    sum += font.widthOfSpace() + font.bankSpaceCharWidth() + font.ascent() + font.descent() +
           font.height() + font.fontBBox().size.width;
    if (const auto& descriptor = font.fontDescriptor()) {
        sum += descriptor->embFontWidthForBankSpace() + descriptor->embFontWidthForGlyphCode(1) +
               descriptor->embFontRectForString("Ag").size.width;
    }
    if (const auto* type0 = dynamic_cast<const rz::QXPDFType0Font*>(&font)) {
        if (const auto cid = type0->cidTypeFont())
            sum += cid->glyphForCID(3);
    }
    (void)sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts =
        sections(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string dictionary = parts[0];
    // The last section is the shown string when there is one after the dictionary.
    const bool hasString = parts.size() >= 2;
    const size_t streams = hasString ? std::min(parts.size() - 2, kMaxStreams) : 0;
    const std::string shown = hasString ? parts.back() : parts[0];

    rz::test::PdfWriter writer;
    for (size_t i = 0; i < streams; ++i) {
        const std::string& part = parts[i + 1];
        const size_t newline = part.find('\n');
        const std::string entries = newline == std::string::npos ? std::string() : part.substr(0, newline);
        const std::string body = newline == std::string::npos ? part : part.substr(newline + 1);
        const int number = writer.addStream(entries, body);
        const std::string placeholder = "@" + std::to_string(i + 1);
        const std::string ref = std::to_string(number) + " 0 R";
        for (size_t at = dictionary.find(placeholder); at != std::string::npos;
             at = dictionary.find(placeholder, at + ref.size()))
            dictionary.replace(at, placeholder.size(), ref);
    }
    const int font = writer.add(dictionary);
    const int content = writer.addStream("", "BT ET");
    const int pages = writer.reserve();
    const int page = writer.add("<< /Type /Page /Parent " + std::to_string(pages) +
                                " 0 R /MediaBox [0 0 10 10] /Contents " + std::to_string(content) +
                                " 0 R /Resources << /Font << /F " + std::to_string(font) + " 0 R >> >> >>");
    writer.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    const int catalog = writer.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");

    const auto doc = rz::pdf::Document::openData(writer.build(catalog));
    if (!doc || doc->pageCount() < 1)
        return 0;
    const rz::pdf::Object dict = doc->page(1).resources().get("Font").get("F");
    const std::shared_ptr<rz::QXPDFFont> made = rz::QXPDFFont::FontWithDictionary(dict, "F");
    if (!made)
        return 0;
    exercise(*made, shown);
    if (const std::shared_ptr<rz::QXPDFFont> copy = made->copy())
        exercise(*copy, shown);
    return 0;
}
