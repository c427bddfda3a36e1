// UTF-8 / UTF-16 conversions. Text is UTF-8 std::string; where lengths are
// counted in UTF-16 units, std::u16string is used.
#pragma once

#include <string>
#include <string_view>

namespace rz {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view s);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view s);
// Number of UTF-16 units the UTF-8 text takes (after replacement).
size_t utf16Length(std::string_view s);
// Appends one code point as UTF-8 (invalid ones as U+FFFD).
void appendUtf8(std::string& out, char32_t cp);
// Appends one code point as UTF-16 (invalid ones as U+FFFD).
void appendUtf16(std::u16string& out, char32_t cp);
// Decodes the code point at `i` and advances `i`; invalid input gives U+FFFD
// and advances by one byte.
char32_t nextCodePoint(std::string_view s, size_t& i);
// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view s);
// The first `units` UTF-16 units of the text, never splitting a pair.
std::string prefixUtf16Units(std::string_view s, size_t units);
// Decodes the code point at `i` and advances `i`: a well-formed pair is one
// code point, an unpaired surrogate gives U+FFFD.
char32_t nextCodePoint(std::u16string_view s, size_t& i);

// --- Text for markup (HTML, XML, RTF) ---
//
// Every text and name the writers put into a document passes through these,
// so that the document is well-formed UTF-8 holding no character its readers
// reject. Ill-formed input (a byte that starts no valid sequence, a truncated
// sequence, an overlong form, a surrogate encoded in UTF-8, a code beyond
// U+10FFFF, an unpaired UTF-16 surrogate) becomes U+FFFD, one per byte or
// unit as nextCodePoint reads it; code points no markup may hold are left out.

// True for what no markup document may hold: the C0 controls but tab, line
// feed and carriage return (XML 1.0 forbids them), DEL and the C1 controls,
// surrogates, and the noncharacters U+FDD0..U+FDEF and U+xFFFE, U+xFFFF of
// every plane (HTML reports them as parse errors).
bool isForbiddenInMarkup(char32_t cp);

// Calls f(cp) for each code point of the text that markup may hold, in order.
template <typename F>
void forEachMarkupCodePoint(std::string_view s, F&& f)
{
    for (size_t i = 0; i < s.size();) {
        const char32_t cp = nextCodePoint(s, i);
        if (!isForbiddenInMarkup(cp))
            f(cp);
    }
}

template <typename F>
void forEachMarkupCodePoint(std::u16string_view s, F&& f)
{
    for (size_t i = 0; i < s.size();) {
        const char32_t cp = nextCodePoint(s, i);
        if (!isForbiddenInMarkup(cp))
            f(cp);
    }
}

// The text as well-formed UTF-8 holding only what markup may hold; nothing
// is escaped.
std::string markupSafeText(std::string_view s);
std::string markupSafeText(std::u16string_view s);

} // namespace rz
