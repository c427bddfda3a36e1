#include "platform/text/TextBreaks.h"

#include "platform/text/IcuLibrary.h"
#include "platform/text/Utf.h"

#include <cstdint>

namespace rz {

namespace {

enum class Unit { Word, Character };

std::vector<std::string> split(std::string_view text, Unit unit)
{
    std::vector<std::string> pieces;
    if (text.empty() || text.size() > static_cast<size_t>(INT32_MAX))
        return pieces;
    const IcuLibrary& icu = icuLibrary();
    if (!icu.loaded)
        return pieces;
    const std::u16string s = utf8ToUtf16(text);
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* it = icu.ubrk_open(unit == Unit::Word ? UBRK_WORD : UBRK_CHARACTER, "", s.data(),
                                       static_cast<int32_t>(s.size()), &status);
    if (U_FAILURE(status) || !it) {
        if (it)
            icu.ubrk_close(it);
        return pieces;
    }
    int32_t start = icu.ubrk_first(it);
    for (int32_t end = icu.ubrk_next(it); end != UBRK_DONE; start = end, end = icu.ubrk_next(it)) {
        // Word segments that are spaces or punctuation carry the status
        // UBRK_WORD_NONE (0 to 99).
        if (unit == Unit::Word && icu.ubrk_getRuleStatus(it) < UBRK_WORD_NONE_LIMIT)
            continue;
        pieces.push_back(utf16ToUtf8(std::u16string_view(s).substr(static_cast<size_t>(start),
                                                                   static_cast<size_t>(end - start))));
    }
    icu.ubrk_close(it);
    return pieces;
}

} // namespace

std::vector<std::string> splitWords(std::string_view text)
{
    return split(text, Unit::Word);
}

std::vector<std::string> splitComposedCharacters(std::string_view text)
{
    return split(text, Unit::Character);
}

} // namespace rz
