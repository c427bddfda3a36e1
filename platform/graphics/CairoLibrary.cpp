#include "platform/graphics/CairoLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const CairoLibrary& cairoLibrary()
{
    static const CairoLibrary lib =
        SharedLibrary::loadTable<CairoLibrary>(RZ_CAIRO_LIBRARY, [](const SharedLibrary& library, CairoLibrary& table) {
            bool all = true;
#define RZ_LOAD(name) all = library.load(table.name, "cairo_" #name) && all;
            RZ_CAIRO_FUNCTIONS(RZ_LOAD)
#undef RZ_LOAD
            return all;
        });
    return lib;
}

} // namespace rz
