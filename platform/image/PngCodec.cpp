// PNG through libpng. libpng reports errors by longjmp to the setjmp in the
// function that drives it; the frames in between hold no C++ objects.
#include "platform/image/ImageCodecsInternal.h"

#include <cmath>
#include <cstring>
#include <new>

#include <png.h>

namespace rz::codec {

namespace {

struct PngReadSource {
    const unsigned char* data;
    size_t size;
    size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto* src = static_cast<PngReadSource*>(png_get_io_ptr(png));
    if (length > src->size - src->offset)
        png_error(png, "read past end of data");
    std::memcpy(out, src->data + src->offset, length);
    src->offset += length;
}

void silentWarning(png_structp, png_const_charp) {}

[[noreturn]] void failWithJump(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

struct DecodeState {
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    PixelFormat format = PixelFormat::RGB8;
};

bool allocate(DecodeState& state, size_t rowBytes)
{
    try {
        state.pixels.resize(rowBytes * state.height);
        state.rows.resize(state.height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (png_uint_32 y = 0; y < state.height; ++y)
        state.rows[y] = state.pixels.data() + rowBytes * y;
    return true;
}

bool runDecode(png_structp png, png_infop info, PngReadSource* source, DecodeState* state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, readFromMemory);
    png_set_user_limits(png, static_cast<png_uint_32>(kMaxImageSide), static_cast<png_uint_32>(kMaxImageSide));
    png_read_info(png, info);

    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &state->width, &state->height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (!isAcceptableImageSize(state->width, state->height))
        return false;

    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (transparency)
        png_set_tRNS_to_alpha(png);
    const bool gray = colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
    const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    if (gray && alpha)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    state->format = gray && !alpha ? PixelFormat::Gray8 : (alpha ? PixelFormat::RGBA8 : PixelFormat::RGB8);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != static_cast<size_t>(state->width) * static_cast<size_t>(componentCount(state->format)))
        return false;
    if (!allocate(*state, rowBytes))
        return false;
    png_read_image(png, state->rows.data());
    png_read_end(png, nullptr);
    return true;
}

struct WriteTarget {
    std::string* out;
    bool failed;
};

void writeToMemory(png_structp png, png_bytep data, size_t length)
{
    auto* target = static_cast<WriteTarget*>(png_get_io_ptr(png));
    try {
        target->out->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        target->failed = true;
    }
    if (target->failed)
        png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

bool runEncode(png_structp png, png_infop info, WriteTarget* target, const Image* image,
               const png_uint_32* pixelsPerMetre)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, target, writeToMemory, flushNothing);
    int colorType = PNG_COLOR_TYPE_RGB;
    if (image->format() == PixelFormat::Gray8)
        colorType = PNG_COLOR_TYPE_GRAY;
    else if (image->format() == PixelFormat::RGBA8)
        colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->width()), static_cast<png_uint_32>(image->height()),
                 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (pixelsPerMetre)
        png_set_pHYs(png, info, pixelsPerMetre[0], pixelsPerMetre[1], PNG_RESOLUTION_METER);
    // Two cheap row filters and a middle compression level: files a little
    // larger than libpng's exhaustive defaults, written several times
    // faster (pictures of every page go through here).
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB | PNG_FILTER_UP);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < image->height(); ++y)
        png_write_row(png, image->row(y));
    png_write_end(png, info);
    return true;
}

png_uint_32 pixelsPerMetre(double dpi)
{
    const double v = std::round(dpi / 0.0254);
    if (v < 1)
        return 1;
    if (v > 2147483647.0)
        return 2147483647u;
    return static_cast<png_uint_32>(v);
}

} // namespace

std::optional<Image> decodePNG(std::string_view bytes)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failWithJump, silentWarning);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    PngReadSource source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
    DecodeState state;
    const bool ok = runDecode(png, info, &source, &state);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok)
        return std::nullopt;
    const size_t rowBytes = static_cast<size_t>(state.width) * static_cast<size_t>(componentCount(state.format));
    return Image::make(static_cast<int>(state.width), static_cast<int>(state.height), state.format,
                       std::move(state.pixels), rowBytes);
}

std::optional<std::string> encodePNG(const Image& source, const ImageProperties& properties)
{
    if (source.isEmpty())
        return std::nullopt;
    const Image image = source.format() == PixelFormat::CMYK8 ? source.converted(PixelFormat::RGB8) : source;
    if (image.isEmpty())
        return std::nullopt;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failWithJump, silentWarning);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return std::nullopt;
    }
    std::string out;
    WriteTarget target{&out, false};
    double dpiX = 0, dpiY = 0;
    png_uint_32 ppm[2] = {0, 0};
    const bool withDpi = usableResolution(properties, &dpiX, &dpiY);
    if (withDpi) {
        ppm[0] = pixelsPerMetre(dpiX);
        ppm[1] = pixelsPerMetre(dpiY);
    }
    const bool ok = runEncode(png, info, &target, &image, withDpi ? ppm : nullptr);
    png_destroy_write_struct(&png, &info);
    if (!ok || target.failed)
        return std::nullopt;
    return out;
}

} // namespace rz::codec
