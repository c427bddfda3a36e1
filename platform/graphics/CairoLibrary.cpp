#include "platform/graphics/CairoLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

namespace {

CairoLibrary loadCairo()
{
    static const SharedLibrary library(RZ_CAIRO_LIBRARY);
    CairoLibrary lib;
    bool all = library.isOpen();
#define RZ_CAIRO_LOAD(name) all = library.load(lib.name, "cairo_" #name) && all;
    RZ_CAIRO_FUNCTIONS(RZ_CAIRO_LOAD)
#undef RZ_CAIRO_LOAD
    lib.loaded = all;
    return lib;
}

} // namespace

const CairoLibrary& cairoLibrary()
{
    static const CairoLibrary lib = loadCairo();
    return lib;
}

} // namespace rz
