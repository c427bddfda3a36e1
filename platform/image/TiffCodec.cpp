// TIFF through libtiff, over memory: bilevel CCITT Group 4 or 8-bit LZW
// images written; the first image of a file read through libtiff's RGBA
// interface (every photometric and compression libtiff knows).
#include "platform/image/ImageCodecsInternal.h"
#include "platform/image/TiffLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <new>

namespace rz::codec {

namespace {

// A file in memory for libtiff's client procedures: reads from `data`,
// writes into `out` (growing it as needed).
struct MemoryFile {
    const char* data = nullptr;
    size_t size = 0;
    std::string* out = nullptr;
    uint64_t position = 0;
    bool failed = false;

    size_t length() const { return out ? out->size() : size; }
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* f = static_cast<MemoryFile*>(handle);
    if (count <= 0 || f->position >= f->length())
        return 0;
    const uint64_t available = f->length() - f->position;
    const uint64_t n = std::min<uint64_t>(available, static_cast<uint64_t>(count));
    const char* src = f->out ? f->out->data() : f->data;
    std::memcpy(buffer, src + f->position, static_cast<size_t>(n));
    f->position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* f = static_cast<MemoryFile*>(handle);
    if (!f->out || count < 0 || f->failed)
        return -1;
    const uint64_t end = f->position + static_cast<uint64_t>(count);
    try {
        if (end > f->out->size())
            f->out->resize(static_cast<size_t>(end));
    } catch (const std::exception&) {
        f->failed = true;
        return -1;
    }
    std::memcpy(f->out->data() + f->position, buffer, static_cast<size_t>(count));
    f->position = end;
    return count;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* f = static_cast<MemoryFile*>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->position;
    else if (whence == SEEK_END)
        base = f->length();
    const uint64_t target = base + offset;
    // Reading may not seek past the data; writing may (the gap is zero-filled on write).
    if (!f->out && target > f->size)
        return static_cast<toff_t>(-1);
    if (target > (uint64_t{1} << 40))
        return static_cast<toff_t>(-1);
    f->position = target;
    return target;
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->length();
}

int mapProc(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapProc(thandle_t, void*, toff_t) {}

int silentHandler(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// Open options: messages dropped, and no single allocation beyond what the
// largest accepted image needs.
struct Options {
    // Null when libtiff cannot be loaded: then nothing opens.
    TIFFOpenOptions* options = tiffLibrary().loaded ? tiffLibrary().TIFFOpenOptionsAlloc() : nullptr;
    Options()
    {
        if (!options)
            return;
        tiffLibrary().TIFFOpenOptionsSetErrorHandlerExtR(options, silentHandler, nullptr);
        tiffLibrary().TIFFOpenOptionsSetWarningHandlerExtR(options, silentHandler, nullptr);
        tiffLibrary().TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kMaxImagePixels * 4));
    }
    ~Options()
    {
        if (options)
            tiffLibrary().TIFFOpenOptionsFree(options);
    }
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
};

TIFF* openMemory(MemoryFile* file, const char* mode, const Options& options)
{
    if (!options.options)
        return nullptr;
    return tiffLibrary().TIFFClientOpenExt("memory", mode, file, readProc, writeProc, seekProc, closeProc, sizeProc,
                             mapProc, unmapProc, options.options);
}

bool writeBilevel(TIFF* tif, const Image& source)
{
    const Image gray = source.converted(PixelFormat::Gray8);
    if (gray.isEmpty())
        return false;
    tiffLibrary().TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(gray.height()));
    std::vector<uint8_t> line(static_cast<size_t>(gray.width() + 7) / 8);
    for (int y = 0; y < gray.height(); ++y) {
        std::fill(line.begin(), line.end(), 0);
        const uint8_t* p = gray.row(y);
        for (int x = 0; x < gray.width(); ++x)
            if (p[x] < 128)
                line[static_cast<size_t>(x) / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
        if (tiffLibrary().TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(y), 0) < 0)
            return false;
    }
    return true;
}

bool writeColour(TIFF* tif, const Image& source)
{
    const Image image = source.format() == PixelFormat::CMYK8 ? source.converted(PixelFormat::RGB8) : source;
    if (image.isEmpty())
        return false;
    const int components = image.componentCount();
    tiffLibrary().TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, components);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, components == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    if (image.hasAlpha()) {
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        tiffLibrary().TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    tiffLibrary().TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, tiffLibrary().TIFFDefaultStripSize(tif, 0));
    for (int y = 0; y < image.height(); ++y)
        if (tiffLibrary().TIFFWriteScanline(tif, const_cast<uint8_t*>(image.row(y)), static_cast<uint32_t>(y), 0) < 0)
            return false;
    return true;
}

} // namespace

std::optional<std::string> encodeTIFF(const Image& image, const ImageProperties& properties)
{
    if (image.isEmpty())
        return std::nullopt;
    std::string out;
    MemoryFile file;
    file.out = &out;
    const Options options;
    TIFF* tif = openMemory(&file, "w", options);
    if (!tif)
        return std::nullopt;
    tiffLibrary().TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width()));
    tiffLibrary().TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height()));
    tiffLibrary().TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    tiffLibrary().TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    double dpiX = 0, dpiY = 0;
    if (usableResolution(properties, &dpiX, &dpiY)) {
        tiffLibrary().TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(dpiX));
        tiffLibrary().TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(dpiY));
        tiffLibrary().TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    bool ok = properties.bilevel ? writeBilevel(tif, image) : writeColour(tif, image);
    if (ok && !tiffLibrary().TIFFWriteDirectory(tif))
        ok = false;
    tiffLibrary().TIFFClose(tif);
    if (!ok || file.failed || out.empty())
        return std::nullopt;
    return out;
}

std::optional<Image> decodeTIFF(std::string_view bytes)
{
    MemoryFile file;
    file.data = bytes.data();
    file.size = bytes.size();
    const Options options;
    TIFF* tif = openMemory(&file, "rm", options);
    if (!tif)
        return std::nullopt;
    std::optional<Image> result;
    uint32_t width = 0, height = 0;
    uint16_t photometric = PHOTOMETRIC_RGB, samplesPerPixel = 1, extraCount = 0;
    uint16_t* extraTypes = nullptr;
    char message[1024] = {};
    tiffLibrary().TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    tiffLibrary().TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    tiffLibrary().TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    tiffLibrary().TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    tiffLibrary().TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    if (isAcceptableImageSize(width, height) && tiffLibrary().TIFFRGBAImageOK(tif, message)) {
        std::vector<uint32_t> raster;
        bool allocated = true;
        try {
            raster.resize(static_cast<size_t>(width) * height);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
        if (allocated && tiffLibrary().TIFFReadRGBAImageOriented(tif, width, height, raster.data(), ORIENTATION_TOPLEFT, 1)) {
            const bool gray = (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) &&
                              samplesPerPixel == 1;
            const bool alpha = extraCount > 0;
            const PixelFormat format = gray ? PixelFormat::Gray8 : (alpha ? PixelFormat::RGBA8 : PixelFormat::RGB8);
            result = Image::make(static_cast<int>(width), static_cast<int>(height), format);
            if (result) {
                const int components = result->componentCount();
                for (uint32_t y = 0; y < height; ++y) {
                    uint8_t* dst = result->mutableRow(static_cast<int>(y));
                    const uint32_t* src = raster.data() + static_cast<size_t>(y) * width;
                    for (uint32_t x = 0; x < width; ++x) {
                        const uint32_t px = src[x];
                        const unsigned r = TIFFGetR(px), g = TIFFGetG(px), b = TIFFGetB(px), a = TIFFGetA(px);
                        uint8_t* p = dst + static_cast<size_t>(x) * components;
                        if (gray) {
                            p[0] = static_cast<uint8_t>(r);
                        } else if (!alpha) {
                            p[0] = static_cast<uint8_t>(r);
                            p[1] = static_cast<uint8_t>(g);
                            p[2] = static_cast<uint8_t>(b);
                        } else {
                            // libtiff hands out premultiplied samples.
                            auto straight = [a](unsigned c) {
                                return static_cast<uint8_t>(a ? std::min(255u, (c * 255u + a / 2) / a) : 0u);
                            };
                            p[0] = straight(r);
                            p[1] = straight(g);
                            p[2] = straight(b);
                            p[3] = static_cast<uint8_t>(a);
                        }
                    }
                }
            }
        }
    }
    tiffLibrary().TIFFClose(tif);
    return result;
}

} // namespace rz::codec
