#include "platform/text/TextBreaks.h"

#include <cstdint>
#include <memory>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace rz {

namespace {

enum class Unit { Word, Character };

std::vector<std::string> split(std::string_view text, Unit unit)
{
    std::vector<std::string> pieces;
    if (text.empty() || text.size() > static_cast<size_t>(INT32_MAX))
        return pieces;
    const icu::UnicodeString s = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        unit == Unit::Word ? icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status)
                           : icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it)
        return pieces;
    it->setText(s);
    int32_t start = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next()) {
        // Word segments that are spaces or punctuation carry the status
        // UBRK_WORD_NONE (0 to 99).
        if (unit == Unit::Word && it->getRuleStatus() < UBRK_WORD_NONE_LIMIT)
            continue;
        std::string piece;
        s.tempSubStringBetween(start, end).toUTF8String(piece);
        pieces.push_back(std::move(piece));
    }
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
