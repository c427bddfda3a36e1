// libtiff's functions, taken from the library the first time a TIFF is
// read or written (page images, CCITT fax streams) rather than linked:
// libtiff pulls in half a dozen codec libraries that most conversions never
// use.
#pragma once

#include <tiffio.h>

namespace rz {

#define RZ_TIFF_FUNCTIONS(X) \
    X(TIFFClientOpenExt) \
    X(TIFFClose) \
    X(TIFFDefaultStripSize) \
    X(TIFFGetField) \
    X(TIFFGetFieldDefaulted) \
    X(TIFFOpenOptionsAlloc) \
    X(TIFFOpenOptionsFree) \
    X(TIFFOpenOptionsSetErrorHandlerExtR) \
    X(TIFFOpenOptionsSetMaxSingleMemAlloc) \
    X(TIFFOpenOptionsSetWarningHandlerExtR) \
    X(TIFFRGBAImageOK) \
    X(TIFFReadRGBAImageOriented) \
    X(TIFFReadScanline) \
    X(TIFFScanlineSize) \
    X(TIFFSetField) \
    X(TIFFWriteDirectory) \
    X(TIFFWriteScanline)

struct TiffLibrary {
#define RZ_TIFF_MEMBER(name) decltype(&::name) name = nullptr;
    RZ_TIFF_FUNCTIONS(RZ_TIFF_MEMBER)
#undef RZ_TIFF_MEMBER
    // False when the library or one of the functions could not be loaded:
    // then no TIFF can be opened.
    bool loaded = false;
};

// The library, loaded on the first call and kept for the life of the process.
const TiffLibrary& tiffLibrary();

} // namespace rz
