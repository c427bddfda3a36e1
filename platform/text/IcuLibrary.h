// ICU's C functions the engine calls, taken from the library the first
// time they are needed rather than linked: plain-text conversion needs
// none of them, and a program that links ICU pays for loading and
// relocating it on every start.
#pragma once

#include <unicode/ubidi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/usprep.h>
#include <unicode/ustring.h>

#include <optional>
#include <string>
#include <string_view>

namespace rz {

// ICU's names carry its version ("u_charType" is "u_charType_72" in the
// library); the headers rename them, and so does this list.
#define RZ_ICU_FUNCTIONS(X) \
    X(u_charType) \
    X(u_charDirection) \
    X(u_charMirror) \
    X(u_strToLower) \
    X(ubrk_open) \
    X(ubrk_close) \
    X(ubrk_first) \
    X(ubrk_next) \
    X(ubrk_getRuleStatus) \
    X(ubidi_openSized) \
    X(ubidi_close) \
    X(ubidi_setReorderingMode) \
    X(ubidi_setPara) \
    X(ubidi_getLevelAt) \
    X(ubidi_getResultLength) \
    X(ubidi_getVisualMap) \
    X(usprep_openByType) \
    X(usprep_prepare) \
    X(usprep_close)

struct IcuLibrary {
#define RZ_ICU_MEMBER(name) decltype(&::name) name = nullptr;
    RZ_ICU_FUNCTIONS(RZ_ICU_MEMBER)
#undef RZ_ICU_MEMBER
    // False when the library or one of the functions could not be loaded.
    bool loaded = false;
};

// The library, loaded on the first call and kept for the life of the process.
const IcuLibrary& icuLibrary();

// The general category of a code point (UCharCategory); U_UNASSIGNED when
// ICU cannot be loaded.
int unicodeCharType(char32_t c);

// The UTF-8 text lower-cased by the root locale's rules; ASCII text without
// ICU, and any text unchanged when ICU cannot be loaded.
std::string lowerCasedText(std::string_view text);

// The UTF-8 text prepared by SASLprep (the password profile of stringprep,
// unassigned code points allowed): characters that map to nothing, such as
// the soft hyphen, dropped, other spaces made U+0020, and the rest in NFKC.
// Nothing for text that is not UTF-8, that holds a prohibited character
// (control characters among them) or mixes directions wrongly, and when ICU
// cannot be loaded.
std::optional<std::string> saslPreparedText(std::string_view text);

} // namespace rz
