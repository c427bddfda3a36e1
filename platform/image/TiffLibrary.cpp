#include "platform/image/TiffLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

namespace {

TiffLibrary loadTiff()
{
    static const SharedLibrary library(RZ_TIFF_LIBRARY);
    TiffLibrary lib;
    bool all = library.isOpen();
#define RZ_TIFF_LOAD(name) all = library.load(lib.name, #name) && all;
    RZ_TIFF_FUNCTIONS(RZ_TIFF_LOAD)
#undef RZ_TIFF_LOAD
    lib.loaded = all;
    return lib;
}

} // namespace

const TiffLibrary& tiffLibrary()
{
    static const TiffLibrary lib = loadTiff();
    return lib;
}

} // namespace rz
