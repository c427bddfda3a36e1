// JPEG through libjpeg-turbo. libjpeg reports fatal errors through
// error_exit, which here jumps back to the setjmp of the calling function;
// the frames between setjmp and the jump hold no C++ objects.
#include "platform/image/ImageCodecsInternal.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <jpeglib.h>

namespace rz::codec {

namespace {

// A progressive JPEG may hold any number of scans, each a full pass over
// the image; a small damaged file can so take minutes to decode.
constexpr int kMaxJPEGScans = 500;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void silentOutput(j_common_ptr) {}

void limitScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJPEGScans)
        errorExit(cinfo);
}

void setUpErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentOutput;
}

bool resizeBuffer(std::vector<uint8_t>& buffer, size_t size)
{
    try {
        buffer.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The decode proper; returns false on a fatal error. `out` is filled as far
// as the data went.
bool runDecode(jpeg_decompress_struct* cinfo, ErrorManager* err, jpeg_progress_mgr* progress,
               std::string_view bytes, DecodedSamples* out)
{
    if (setjmp(err->jump))
        return false;
    jpeg_create_decompress(cinfo);
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        return false;

    out->adobeMarker = cinfo->saw_Adobe_marker;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        out->model = DecodedSamples::ColorModel::Gray;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        out->model = DecodedSamples::ColorModel::CMYK;
        break;
    case JCS_RGB:
    case JCS_YCbCr:
        cinfo->out_color_space = JCS_RGB;
        out->model = DecodedSamples::ColorModel::RGB;
        break;
    default:
        return false;
    }
    if (!isAcceptableImageSize(cinfo->image_width, cinfo->image_height))
        return false;

    jpeg_start_decompress(cinfo);
    const int components = cinfo->output_components;
    if (components != 1 && components != 3 && components != 4)
        return false;
    const size_t rowBytes = static_cast<size_t>(cinfo->output_width) * static_cast<size_t>(components);
    if (!resizeBuffer(out->samples, rowBytes * cinfo->output_height))
        return false;
    out->width = static_cast<int>(cinfo->output_width);
    out->height = static_cast<int>(cinfo->output_height);
    out->components = components;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->samples.data() + rowBytes * cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1)
            break;
    }
    if (cinfo->output_scanline < cinfo->output_height)
        out->complete = false;
    else
        jpeg_finish_decompress(cinfo);
    return true;
}

void writeSamples(jpeg_compress_struct* cinfo, const Image& image)
{
    for (int y = 0; y < image.height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(image.row(y));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
}

bool runEncode(jpeg_compress_struct* cinfo, ErrorManager* err, const Image& image, int quality,
               const double* dpi, unsigned char** buffer, unsigned long* size)
{
    if (setjmp(err->jump))
        return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = static_cast<JDIMENSION>(image.width());
    cinfo->image_height = static_cast<JDIMENSION>(image.height());
    const bool gray = image.format() == PixelFormat::Gray8;
    cinfo->input_components = gray ? 1 : 3;
    cinfo->in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    if (dpi) {
        cinfo->write_JFIF_header = TRUE;
        cinfo->density_unit = 1;
        cinfo->X_density = static_cast<UINT16>(dpi[0]);
        cinfo->Y_density = static_cast<UINT16>(dpi[1]);
    }
    jpeg_start_compress(cinfo, TRUE);
    writeSamples(cinfo, image);
    jpeg_finish_compress(cinfo);
    return true;
}

UINT16 densityValue(double dpi)
{
    const double v = std::round(dpi);
    if (v < 1)
        return 1;
    if (v > 65535)
        return 65535;
    return static_cast<UINT16>(v);
}

} // namespace

} // namespace rz::codec

namespace rz {

std::optional<DecodedSamples> decodeJPEG(std::string_view bytes)
{
    using namespace codec;
    if (bytes.size() < 4)
        return std::nullopt;
    DecodedSamples out;
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorManager err;
    setUpErrors(err);
    cinfo.err = &err.pub;
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    progress.progress_monitor = limitScans;
    const bool ok = runDecode(&cinfo, &err, &progress, bytes, &out);
    if (err.pub.num_warnings > 0)
        out.complete = false;
    jpeg_destroy_decompress(&cinfo);
    if (!ok || out.width == 0)
        return std::nullopt;
    return out;
}

} // namespace rz

namespace rz::codec {

std::optional<std::string> encodeJPEG(const Image& source, const ImageProperties& properties)
{
    if (source.isEmpty() || source.width() > JPEG_MAX_DIMENSION || source.height() > JPEG_MAX_DIMENSION)
        return std::nullopt;
    const Image image = source.format() == PixelFormat::Gray8 ? source : source.converted(PixelFormat::RGB8);
    if (image.isEmpty())
        return std::nullopt;

    double q = properties.quality.value_or(1.0);
    if (!std::isfinite(q))
        q = 1.0;
    const int quality = static_cast<int>(std::lround(std::clamp(q, 0.0, 1.0) * 100.0));
    double dpiX = 0, dpiY = 0;
    double density[2] = {0, 0};
    const bool withDpi = usableResolution(properties, &dpiX, &dpiY);
    if (withDpi) {
        density[0] = densityValue(dpiX);
        density[1] = densityValue(dpiY);
    }

    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorManager err;
    setUpErrors(err);
    cinfo.err = &err.pub;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = runEncode(&cinfo, &err, image, quality, withDpi ? density : nullptr, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    std::optional<std::string> result;
    if (ok && buffer && size > 0) {
        try {
            result.emplace(reinterpret_cast<const char*>(buffer), size);
        } catch (const std::bad_alloc&) {
        }
    }
    std::free(buffer);
    return result;
}

} // namespace rz::codec
