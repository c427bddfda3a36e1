#include "platform/image/TiffLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const TiffLibrary& tiffLibrary()
{
    static const TiffLibrary lib =
        SharedLibrary::loadTable<TiffLibrary>(RZ_TIFF_LIBRARY, [](const SharedLibrary& library, TiffLibrary& table) {
            bool all = true;
#define RZ_LOAD(name) all = library.load(table.name, #name) && all;
            RZ_TIFF_FUNCTIONS(RZ_LOAD)
#undef RZ_LOAD
            return all;
        });
    return lib;
}

} // namespace rz
