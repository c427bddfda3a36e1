#include "pdfengine/fonts/HarfBuzzLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

namespace {

HarfBuzzLibrary loadHarfBuzz()
{
    static const SharedLibrary library(RZ_HARFBUZZ_LIBRARY);
    HarfBuzzLibrary lib;
    bool all = library.isOpen();
#define RZ_HARFBUZZ_LOAD(name) all = library.load(lib.name, "hb_" #name) && all;
    RZ_HARFBUZZ_FUNCTIONS(RZ_HARFBUZZ_LOAD)
#undef RZ_HARFBUZZ_LOAD
    lib.loaded = all;
    return lib;
}

} // namespace

const HarfBuzzLibrary& harfBuzzLibrary()
{
    static const HarfBuzzLibrary lib = loadHarfBuzz();
    return lib;
}

} // namespace rz
