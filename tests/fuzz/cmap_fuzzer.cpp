// Fuzz target for CMap text: the tokenizer, ToUnicode maps of every code
// width, and encoding CMaps, each then queried over the input's own bytes.
// fuzz-link: rz_pdfengine_fonts
#include "pdfengine/fonts/QXPDFCMapTokenizer.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    rz::QXPDFCMapTokenizer tokenizer(text);
    std::string token;
    size_t tokens = 0;
    while (tokenizer.getToken(token))
        ++tokens;

    for (int nBits : {8, 16, 32}) {
        const auto map = rz::QXPDFCharCodeToUnicode::parseCMap(text, nBits);
        uint32_t u[16];
        for (uint32_t code = 0; code < 300; ++code)
            map->mapToUnicode(code, u, 16);
        for (size_t i = 0; i + 1 < size && i < 64; ++i)
            map->mapToUnicode(static_cast<uint32_t>(data[i] << 8 | data[i + 1]), u, 2);
        map->spaceCIDCode();
    }

    rz::QXPDFCodeToCIDMapCache cache;
    const auto cmap = rz::QXPDFCodeToCIDMap::parse(&cache, "Adobe-Japan1-6", "Fuzz-H", text);
    if (cmap) {
        size_t pos = 0;
        while (pos < size) {
            uint32_t code = 0;
            int used = 0;
            cmap->getCID(data + pos, size - pos, code, used);
            if (used <= 0)
                break;
            pos += static_cast<size_t>(used);
        }
    }
    (void)tokens;
    return 0;
}
