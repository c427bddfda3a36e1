// Text boundaries by ICU's break rules, over UTF-8 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rz {

// The words of a text in order: the segments that the word-break rules
// mark as words (letters, numbers, kana, ideographs); spaces and
// punctuation between them are left out.
std::vector<std::string> splitWords(std::string_view text);

// Every user-perceived character (extended grapheme cluster) in order,
// spaces and punctuation included.
std::vector<std::string> splitComposedCharacters(std::string_view text);

} // namespace rz
