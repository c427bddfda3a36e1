#include "pdfengine/fonts/FontconfigLibrary.h"

#include "platform/core/SharedLibrary.h"

namespace rz {

const FontconfigLibrary& fontconfigLibrary()
{
    static const FontconfigLibrary lib =
        RZ_SHARED_LIBRARY_TABLE(FontconfigLibrary, RZ_FONTCONFIG_LIBRARY, RZ_FONTCONFIG_FUNCTIONS, "Fc");
    return lib;
}

} // namespace rz
