#include "platform/image/TiffLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const TiffLibrary& tiffLibrary()
{
    static const TiffLibrary lib =
        RZ_SHARED_LIBRARY_TABLE(TiffLibrary, RZ_TIFF_LIBRARY, RZ_TIFF_FUNCTIONS, "");
    return lib;
}

} // namespace rz
