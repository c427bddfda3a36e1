#include "platform/text/TextBidi.h"

#include "platform/text/IcuLibrary.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rz {

namespace {

bool isRightToLeftCodePoint(char32_t c)
{
    return (c >= 0x0590 && c <= 0x08FF) ||                 // Hebrew to Arabic Extended-A
           c == 0x200F || c == 0x202B || c == 0x202E || c == 0x2067 || // RLM, RLE, RLO, RLI
           (c >= 0xFB1D && c <= 0xFDFF) ||                 // Hebrew and Arabic presentation forms A
           (c >= 0xFE70 && c <= 0xFEFC) ||                 // Arabic presentation forms B
           (c >= 0x10800 && c <= 0x10FFF) || (c >= 0x1E800 && c <= 0x1EFFF);
}

bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The code point starting at `i` and the number of units it takes (an
// unpaired surrogate stands for itself).
char32_t codePointAt(std::u16string_view text, size_t i, size_t* units)
{
    const char16_t u = text[i];
    if (isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
        *units = 2;
        return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
    }
    *units = 1;
    return u;
}

// The code point ending just before `end` (end > 0).
char32_t codePointBefore(std::u16string_view text, size_t end)
{
    if (end >= 2 && isLowSurrogate(text[end - 1]) && isHighSurrogate(text[end - 2])) {
        size_t units = 0;
        return codePointAt(text, end - 2, &units);
    }
    return text[end - 1];
}

struct BidiCloser {
    void operator()(UBiDi* bidi) const { icuLibrary().ubidi_close(bidi); }
};

// Percent, currency and degree signs (European terminators) that touch a
// European number are read as part of it, as the forward algorithm does
// (its rule W5); the inverse algorithm would otherwise move "12.5%" to
// "%12.5" in right-to-left text. They become digits in the copy analysed.
void joinTerminatorsToNumbers(const IcuLibrary& icu, std::u16string& text)
{
    const auto direction = [&](char32_t c) { return icu.u_charDirection(static_cast<UChar32>(c)); };
    size_t i = 0;
    while (i < text.size()) {
        if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]) ||
            direction(text[i]) != U_EUROPEAN_NUMBER_TERMINATOR) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !isHighSurrogate(text[end]) && !isLowSurrogate(text[end]) &&
               direction(text[end]) == U_EUROPEAN_NUMBER_TERMINATOR)
            ++end;
        size_t units = 0;
        const bool numberBefore = i > 0 && direction(codePointBefore(text, i)) == U_EUROPEAN_NUMBER;
        const bool numberAfter = end < text.size() && direction(codePointAt(text, end, &units)) == U_EUROPEAN_NUMBER;
        if (numberBefore || numberAfter)
            for (size_t k = i; k < end; ++k)
                text[k] = u'0';
        i = end;
    }
}

// True when the piece holds nothing but combining marks.
bool isMarkPiece(const IcuLibrary& icu, std::u16string_view piece)
{
    if (piece.empty())
        return false;
    size_t units = 0;
    for (size_t i = 0; i < piece.size(); i += units) {
        const int type = icu.u_charType(static_cast<UChar32>(codePointAt(piece, i, &units)));
        if (type != U_NON_SPACING_MARK && type != U_ENCLOSING_MARK)
            return false;
    }
    return true;
}

// A combining mark drawn on a glyph (a vowel sign, a point) lies after its
// base in visual order; reversing a right-to-left run would put it before
// the base. Each piece of marks follows the piece before it in visual
// order, wherever that piece went; marks with no piece before them stay
// where the algorithm put them.
std::vector<BidiReadingPiece> keepMarksWithTheirBases(const IcuLibrary& icu,
                                                      const std::vector<std::u16string_view>& pieces,
                                                      std::vector<BidiReadingPiece> order)
{
    std::vector<bool> mark(pieces.size());
    std::vector<bool> attached(pieces.size());
    bool baseSeen = false;
    bool anyAttached = false;
    for (size_t p = 0; p < pieces.size(); ++p) {
        mark[p] = isMarkPiece(icu, pieces[p]);
        attached[p] = mark[p] && baseSeen;
        baseSeen = baseSeen || !mark[p];
        anyAttached = anyAttached || attached[p];
    }
    if (!anyAttached)
        return order;
    std::vector<BidiReadingPiece> result;
    result.reserve(order.size());
    for (const BidiReadingPiece& entry : order) {
        if (attached[entry.index])
            continue;
        result.push_back(entry);
        if (mark[entry.index])
            continue;
        for (size_t m = entry.index + 1; m < pieces.size() && mark[m]; ++m)
            result.push_back(BidiReadingPiece{m, 0});
    }
    return result;
}

} // namespace

bool hasRightToLeftText(std::u16string_view text)
{
    size_t units = 0;
    for (size_t i = 0; i < text.size(); i += units) {
        // Everything below Hebrew is left to right or neutral.
        if (text[i] < 0x0590) {
            units = 1;
            continue;
        }
        if (isRightToLeftCodePoint(codePointAt(text, i, &units)))
            return true;
    }
    return false;
}

std::vector<BidiReadingPiece> readingOrderOfVisualLine(const std::vector<std::u16string_view>& pieces)
{
    bool rightToLeft = false;
    size_t length = 0;
    for (const std::u16string_view piece : pieces) {
        rightToLeft = rightToLeft || hasRightToLeftText(piece);
        length += piece.size();
    }
    if (!rightToLeft || length > static_cast<size_t>(INT32_MAX))
        return {};
    const IcuLibrary& icu = icuLibrary();
    if (!icu.loaded)
        return {};

    // The line as one text, each unit knowing its piece.
    std::u16string text;
    text.reserve(length);
    std::vector<size_t> owner;
    owner.reserve(length);
    for (size_t p = 0; p < pieces.size(); ++p) {
        text.append(pieces[p]);
        owner.insert(owner.end(), pieces[p].size(), p);
    }

    // The line's direction: that of most strongly directed characters.
    size_t leftToRight = 0;
    size_t rightToLeftCount = 0;
    size_t units = 0;
    for (size_t i = 0; i < text.size(); i += units) {
        switch (icu.u_charDirection(static_cast<UChar32>(codePointAt(text, i, &units)))) {
        case U_LEFT_TO_RIGHT:
            ++leftToRight;
            break;
        case U_RIGHT_TO_LEFT:
        case U_RIGHT_TO_LEFT_ARABIC:
            ++rightToLeftCount;
            break;
        default:
            break;
        }
    }
    const UBiDiLevel level = rightToLeftCount > leftToRight ? 1 : 0;
    joinTerminatorsToNumbers(icu, text);

    UErrorCode status = U_ZERO_ERROR;
    const auto n = static_cast<int32_t>(text.size());
    std::unique_ptr<UBiDi, BidiCloser> bidi(icu.ubidi_openSized(n, 0, &status));
    if (U_FAILURE(status) || !bidi)
        return {};
    // Visual text to logical; a number drawn left to right stays as drawn.
    icu.ubidi_setReorderingMode(bidi.get(), UBIDI_REORDER_INVERSE_NUMBERS_AS_L);
    icu.ubidi_setPara(bidi.get(), text.data(), n, level, nullptr, &status);
    if (U_FAILURE(status) || icu.ubidi_getResultLength(bidi.get()) != n)
        return {};
    std::vector<int32_t> map(text.size());
    icu.ubidi_getVisualMap(bidi.get(), map.data(), &status);
    if (U_FAILURE(status))
        return {};

    // Each piece where its first unit comes out.
    std::vector<BidiReadingPiece> order;
    order.reserve(pieces.size());
    std::vector<bool> placed(pieces.size(), false);
    for (const int32_t source : map) {
        if (source < 0 || source >= n)
            continue;
        const size_t piece = owner[static_cast<size_t>(source)];
        if (placed[piece])
            continue;
        placed[piece] = true;
        BidiReadingPiece entry{piece, 0};
        const std::u16string_view own = pieces[piece];
        if (!own.empty() && (icu.ubidi_getLevelAt(bidi.get(), source) & 1) != 0) {
            const char32_t c = codePointAt(own, 0, &units);
            const auto mirror = static_cast<char32_t>(icu.u_charMirror(static_cast<UChar32>(c)));
            if (units == own.size() && mirror != c)
                entry.mirroredChar = mirror;
        }
        order.push_back(entry);
    }
    // Nothing is left out, whatever the map held.
    for (size_t p = 0; p < pieces.size(); ++p)
        if (!placed[p])
            order.push_back(BidiReadingPiece{p, 0});
    return keepMarksWithTheirBases(icu, pieces, std::move(order));
}

} // namespace rz
