// Texts and names a PDF can hand to the document writers: control
// characters, ill-formed UTF-8 and UTF-16, noncharacters, and font names in
// a single-byte encoding. Each comes with what markup may hold of it
// (markupSafeText in platform/text/Utf.h): ill-formed input as U+FFFD, one
// per byte or unit, and the forbidden characters left out.
#pragma once

#include <string>
#include <vector>

namespace rz::test {

#define RZ_FFFD "\xEF\xBF\xBD"

struct HostileUtf8 {
    const char* name;
    std::string text;
    std::string safe;
};

struct HostileUtf16 {
    const char* name;
    std::u16string text;
    std::string safe;
};

inline const std::vector<HostileUtf8>& hostileUtf8Texts()
{
    static const std::vector<HostileUtf8> texts = {
        {"C0 controls and NUL", std::string("a\x01" "b\x08" "c\x0B" "d\x0C" "e\x1B" "f\x1F" "g\0h", 15), "abcdefgh"},
        {"tab, line feed and carriage return", "a\tb\nc\rd", "a\tb\nc\rd"},
        {"DEL and C1 controls", "a\x7F" "b\xC2\x80" "c\xC2\x85" "d\xC2\x9F" "e", "abcde"},
        {"surrogates encoded in UTF-8", "x\xED\xA0\x80" "y\xED\xBF\xBF" "z",
         "x" RZ_FFFD RZ_FFFD RZ_FFFD "y" RZ_FFFD RZ_FFFD RZ_FFFD "z"},
        {"a surrogate pair encoded in UTF-8", "\xED\xA0\xBD\xED\xB8\x80",
         RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD},
        {"truncated sequences", "a\xE2\x82" " b\xF0\x9F\x98" " \xC3", "a" RZ_FFFD RZ_FFFD " b" RZ_FFFD RZ_FFFD RZ_FFFD " " RZ_FFFD},
        {"overlong forms of markup", "\xC0\xBC" "p\xE0\x80\xBE" "\xC1\xA6", RZ_FFFD RZ_FFFD "p" RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80" "\xF8\x88\x80\x80\x80",
         RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD},
        {"stray continuation bytes, FE and FF", "\x80\xBF\xFE\xFF", RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD},
        {"noncharacters", "a\xEF\xB7\x90" "b\xEF\xBF\xBE" "c\xEF\xBF\xBF" "d\xF0\x9F\xBF\xBF" "e\xF4\x8F\xBF\xBE" "f",
         "abcdef"},
        {"a Latin-1 font name", "Caf\xE9-Gras\xAE", "Caf" RZ_FFFD "-Gras" RZ_FFFD},
        {"bytes 0x80 to 0xFF of a WinAnsi name", "\x80\x81\x9F\xA0\xFF", RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD RZ_FFFD},
        {"markup syntax", "</style><script>&\"'{}\\;", "</style><script>&\"'{}\\;"},
        {"valid text is kept", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" RZ_FFFD "\xF4\x8F\xBF\xBD",
         "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" RZ_FFFD "\xF4\x8F\xBF\xBD"},
    };
    return texts;
}

inline const std::vector<HostileUtf16>& hostileUtf16Texts()
{
    static const std::vector<HostileUtf16> texts = {
        {"a lone high surrogate at the end", {u'a', 0xD800}, "a" RZ_FFFD},
        {"a lone low surrogate", {0xDC00, u'b'}, RZ_FFFD "b"},
        {"a pair in the wrong order", {0xDE00, 0xD83D}, RZ_FFFD RZ_FFFD},
        {"a pair", {0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {"controls", {0x0000, 0x0001, u'x', 0x001F, 0x007F, 0x0085, 0x009F, u'\t'}, "x\t"},
        {"noncharacters", {0xFFFE, u'y', 0xFFFF, 0xFDD0, 0xFDEF, 0xD83F, 0xDFFE}, "y"},
    };
    return texts;
}

#undef RZ_FFFD

} // namespace rz::test
