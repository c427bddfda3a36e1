#include "platform/graphics/CairoLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const CairoLibrary& cairoLibrary()
{
    static const CairoLibrary lib =
        RZ_SHARED_LIBRARY_TABLE(CairoLibrary, RZ_CAIRO_LIBRARY, RZ_CAIRO_FUNCTIONS, "cairo_");
    return lib;
}

} // namespace rz
