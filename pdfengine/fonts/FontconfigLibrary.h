// Fontconfig's functions, taken from the library the first time the
// installed fonts are listed rather than linked: converting to plain text
// never lists them, and a program that links fontconfig pays for loading it
// (and expat) on every start.
#pragma once

#include <fontconfig/fontconfig.h>

namespace rz {

// The fontconfig functions the project calls, without their "Fc" prefix.
#define RZ_FONTCONFIG_FUNCTIONS(X) \
    X(Init) \
    X(PatternCreate) \
    X(PatternDestroy) \
    X(PatternGetString) \
    X(PatternGetInteger) \
    X(PatternGetBool) \
    X(ObjectSetBuild) \
    X(ObjectSetDestroy) \
    X(FontList) \
    X(FontSetDestroy)

struct FontconfigLibrary {
#define RZ_FONTCONFIG_MEMBER(name) decltype(&::Fc##name) name = nullptr;
    RZ_FONTCONFIG_FUNCTIONS(RZ_FONTCONFIG_MEMBER)
#undef RZ_FONTCONFIG_MEMBER
    // False when the library or one of the functions could not be loaded:
    // then no font is installed.
    bool loaded = false;
};

// The library, loaded on the first call and kept for the life of the process.
const FontconfigLibrary& fontconfigLibrary();

} // namespace rz
