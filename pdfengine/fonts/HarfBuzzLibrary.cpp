#include "pdfengine/fonts/HarfBuzzLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const HarfBuzzLibrary& harfBuzzLibrary()
{
    static const HarfBuzzLibrary lib =
        SharedLibrary::loadTable<HarfBuzzLibrary>(RZ_HARFBUZZ_LIBRARY, [](const SharedLibrary& library, HarfBuzzLibrary& table) {
            bool all = true;
#define RZ_LOAD(name) all = library.load(table.name, "hb_" #name) && all;
            RZ_HARFBUZZ_FUNCTIONS(RZ_LOAD)
#undef RZ_LOAD
            return all;
        });
    return lib;
}

} // namespace rz
