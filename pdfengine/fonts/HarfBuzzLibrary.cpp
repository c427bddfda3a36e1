#include "pdfengine/fonts/HarfBuzzLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const HarfBuzzLibrary& harfBuzzLibrary()
{
    static const HarfBuzzLibrary lib =
        RZ_SHARED_LIBRARY_TABLE(HarfBuzzLibrary, RZ_HARFBUZZ_LIBRARY, RZ_HARFBUZZ_FUNCTIONS, "hb_");
    return lib;
}

} // namespace rz
