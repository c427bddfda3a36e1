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

} // namespace rz
