// JPEG 2000 through openjpeg, over memory. Written: a JP2 file (reversible
// 5/3 wavelet, one layer), lossless at quality 1 and cut to a target
// fidelity below it; no resolution box. Read: JP2 files and raw J2K
// codestreams.
#include "platform/image/ImageCodecsInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include <openjpeg.h>

namespace rz::codec {

namespace {

constexpr unsigned char kJP2Signature[12] = {0, 0, 0, 0x0c, 'j', 'P', ' ', ' ', 0x0d, 0x0a, 0x87, 0x0a};
// More components than any colour model with alpha needs is taken as damage.
constexpr OPJ_UINT32 kMaxComponents = 16;
// Below quality 1 the code stream is cut where the image reaches a peak
// signal-to-noise ratio (dB) rising linearly with the quality from the
// first value (quality 0: blocky but legible) to the second (just below 1:
// no visible loss). The reversible wavelet keeps every cut no larger than
// the lossless file.
constexpr float kLowestQualityPSNR = 25.0f;
constexpr float kHighestQualityPSNR = 60.0f;

struct MemoryStream {
    const unsigned char* data = nullptr;
    size_t size = 0;
    std::string* out = nullptr;
    size_t position = 0;
    bool failed = false;
};

OPJ_SIZE_T readProc(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (s->position >= s->size)
        return static_cast<OPJ_SIZE_T>(-1);
    const size_t n = std::min(static_cast<size_t>(count), s->size - s->position);
    std::memcpy(buffer, s->data + s->position, n);
    s->position += n;
    return n;
}

bool growTo(MemoryStream* s, size_t end)
{
    if (end <= s->out->size())
        return true;
    try {
        s->out->resize(end);
        return true;
    } catch (const std::exception&) {
        s->failed = true;
        return false;
    }
}

OPJ_SIZE_T writeProc(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (!s->out || !growTo(s, s->position + count))
        return static_cast<OPJ_SIZE_T>(-1);
    std::memcpy(s->out->data() + s->position, buffer, count);
    s->position += count;
    return count;
}

OPJ_OFF_T skipProc(OPJ_OFF_T count, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (count < 0) {
        if (static_cast<size_t>(-count) > s->position)
            return -1;
        s->position -= static_cast<size_t>(-count);
        return count;
    }
    if (s->out) {
        if (!growTo(s, s->position + static_cast<size_t>(count)))
            return -1;
        s->position += static_cast<size_t>(count);
        return count;
    }
    const size_t n = std::min(static_cast<size_t>(count), s->size - std::min(s->position, s->size));
    s->position += n;
    return n == 0 && count > 0 ? -1 : static_cast<OPJ_OFF_T>(n);
}

OPJ_BOOL seekProc(OPJ_OFF_T offset, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (offset < 0)
        return OPJ_FALSE;
    if (s->out) {
        if (!growTo(s, static_cast<size_t>(offset)))
            return OPJ_FALSE;
    } else if (static_cast<size_t>(offset) > s->size) {
        return OPJ_FALSE;
    }
    s->position = static_cast<size_t>(offset);
    return OPJ_TRUE;
}

void quietHandler(const char*, void*) {}

void countingHandler(const char*, void* user)
{
    ++*static_cast<int*>(user);
}

opj_stream_t* makeStream(MemoryStream* memory, bool input)
{
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE);
    if (!stream)
        return nullptr;
    opj_stream_set_user_data(stream, memory, nullptr);
    if (input) {
        opj_stream_set_user_data_length(stream, memory->size);
        opj_stream_set_read_function(stream, readProc);
    } else {
        opj_stream_set_write_function(stream, writeProc);
    }
    opj_stream_set_skip_function(stream, skipProc);
    opj_stream_set_seek_function(stream, seekProc);
    return stream;
}

uint8_t toByte(OPJ_INT32 value, const opj_image_comp_t& comp)
{
    int64_t v = value;
    if (comp.sgnd)
        v += int64_t{1} << (comp.prec - 1);
    const int64_t max = (int64_t{1} << comp.prec) - 1;
    v = std::clamp<int64_t>(v, 0, max);
    if (comp.prec == 8)
        return static_cast<uint8_t>(v);
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
}

uint8_t clampByte(double v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// Samples of the decoded image, interleaved at the first component's size.
bool collectSamples(const opj_image_t* image, DecodedSamples* out)
{
    const OPJ_UINT32 n = image->numcomps;
    if (n == 0 || n > kMaxComponents || !image->comps)
        return false;
    const opj_image_comp_t& first = image->comps[0];
    for (OPJ_UINT32 c = 0; c < n; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        if (!comp.data || comp.w == 0 || comp.h == 0 || comp.prec < 1 || comp.prec > 31 || comp.dx == 0 ||
            comp.dy == 0)
            return false;
    }
    if (!isAcceptableImageSize(first.w, first.h))
        return false;
    out->width = static_cast<int>(first.w);
    out->height = static_cast<int>(first.h);
    out->components = static_cast<int>(n);
    try {
        out->samples.resize(static_cast<size_t>(first.w) * first.h * n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (OPJ_UINT32 c = 0; c < n; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        const bool same = comp.w == first.w && comp.h == first.h;
        for (OPJ_UINT32 y = 0; y < first.h; ++y) {
            const OPJ_UINT32 sy = same ? y : std::min<OPJ_UINT32>(
                static_cast<OPJ_UINT32>(static_cast<uint64_t>(y) * first.dy / comp.dy), comp.h - 1);
            uint8_t* dst = out->samples.data() + (static_cast<size_t>(y) * first.w) * n + c;
            for (OPJ_UINT32 x = 0; x < first.w; ++x) {
                const OPJ_UINT32 sx = same ? x : std::min<OPJ_UINT32>(
                    static_cast<OPJ_UINT32>(static_cast<uint64_t>(x) * first.dx / comp.dx), comp.w - 1);
                dst[static_cast<size_t>(x) * n] = toByte(comp.data[static_cast<size_t>(sy) * comp.w + sx], comp);
            }
        }
    }
    out->hasAlpha = n >= 2 && image->comps[n - 1].alpha != 0;
    const OPJ_UINT32 colours = out->hasAlpha ? n - 1 : n;
    switch (image->color_space) {
    case OPJ_CLRSPC_GRAY:
        out->model = DecodedSamples::ColorModel::Gray;
        break;
    case OPJ_CLRSPC_SRGB:
        out->model = DecodedSamples::ColorModel::RGB;
        break;
    case OPJ_CLRSPC_CMYK:
        out->model = DecodedSamples::ColorModel::CMYK;
        break;
    case OPJ_CLRSPC_SYCC:
        if (colours >= 3) {
            for (size_t i = 0; i + n <= out->samples.size(); i += n) {
                const double yy = out->samples[i];
                const double cb = out->samples[i + 1] - 128.0;
                const double cr = out->samples[i + 2] - 128.0;
                out->samples[i] = clampByte(yy + 1.402 * cr);
                out->samples[i + 1] = clampByte(yy - 0.344136 * cb - 0.714136 * cr);
                out->samples[i + 2] = clampByte(yy + 1.772 * cb);
            }
            out->model = DecodedSamples::ColorModel::RGB;
        }
        break;
    default:
        out->model = colours == 1   ? DecodedSamples::ColorModel::Gray
                     : colours == 3 ? DecodedSamples::ColorModel::RGB
                     : colours == 4 ? DecodedSamples::ColorModel::CMYK
                                    : DecodedSamples::ColorModel::Other;
        break;
    }
    return true;
}

int resolutionsFor(int width, int height)
{
    int levels = 1;
    const int smaller = std::min(width, height);
    while (levels < 6 && (1 << levels) <= smaller)
        ++levels;
    return levels;
}

} // namespace

std::optional<std::string> encodeJPEG2000(const Image& source, const ImageProperties& properties)
{
    if (source.isEmpty())
        return std::nullopt;
    const Image image = source.format() == PixelFormat::CMYK8 ? source.converted(PixelFormat::RGB8) : source;
    if (image.isEmpty())
        return std::nullopt;
    const int n = image.componentCount();
    const auto width = static_cast<OPJ_UINT32>(image.width());
    const auto height = static_cast<OPJ_UINT32>(image.height());

    opj_image_cmptparm_t parameters[4];
    std::memset(parameters, 0, sizeof parameters);
    for (int c = 0; c < n; ++c) {
        parameters[c].dx = parameters[c].dy = 1;
        parameters[c].w = width;
        parameters[c].h = height;
        parameters[c].prec = 8;
        parameters[c].sgnd = 0;
    }
    opj_image_t* opjImage = opj_image_create(static_cast<OPJ_UINT32>(n), parameters,
                                             n == 1 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB);
    if (!opjImage)
        return std::nullopt;
    opjImage->x0 = opjImage->y0 = 0;
    opjImage->x1 = width;
    opjImage->y1 = height;
    if (image.hasAlpha())
        opjImage->comps[3].alpha = 1;
    for (int c = 0; c < n; ++c) {
        OPJ_INT32* dst = opjImage->comps[c].data;
        for (OPJ_UINT32 y = 0; y < height; ++y) {
            const uint8_t* src = image.row(static_cast<int>(y));
            for (OPJ_UINT32 x = 0; x < width; ++x)
                dst[static_cast<size_t>(y) * width + x] = src[static_cast<size_t>(x) * n + c];
        }
    }

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    double quality = properties.quality.value_or(1.0);
    if (!std::isfinite(quality))
        quality = 1.0;
    quality = std::clamp(quality, 0.0, 1.0);
    settings.tcp_numlayers = 1;
    if (quality < 1.0) {
        settings.cp_fixed_quality = 1;
        settings.tcp_distoratio[0] =
            kLowestQualityPSNR + static_cast<float>(quality) * (kHighestQualityPSNR - kLowestQualityPSNR);
    } else {
        settings.tcp_rates[0] = 0; // lossless
        settings.cp_disto_alloc = 1;
    }
    settings.irreversible = 0;
    settings.numresolution = resolutionsFor(image.width(), image.height());
    settings.tcp_mct = n >= 3 ? 1 : 0;

    std::string out;
    MemoryStream memory;
    memory.out = &out;
    bool ok = false;
    opj_codec_t* codec = opj_create_compress(OPJ_CODEC_JP2);
    opj_stream_t* stream = makeStream(&memory, false);
    if (codec && stream) {
        opj_set_info_handler(codec, quietHandler, nullptr);
        opj_set_warning_handler(codec, quietHandler, nullptr);
        opj_set_error_handler(codec, quietHandler, nullptr);
        ok = opj_setup_encoder(codec, &settings, opjImage) && opj_start_compress(codec, opjImage, stream) &&
             opj_encode(codec, stream) && opj_end_compress(codec, stream);
    }
    if (stream)
        opj_stream_destroy(stream);
    if (codec)
        opj_destroy_codec(codec);
    opj_image_destroy(opjImage);
    if (!ok || memory.failed || out.empty())
        return std::nullopt;
    return out;
}

} // namespace rz::codec

namespace rz {

std::optional<DecodedSamples> decodeJPEG2000(std::string_view bytes)
{
    using namespace codec;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const bool jp2 = bytes.size() >= sizeof kJP2Signature && std::memcmp(data, kJP2Signature, sizeof kJP2Signature) == 0;
    const bool j2k = bytes.size() >= 4 && data[0] == 0xff && data[1] == 0x4f && data[2] == 0xff && data[3] == 0x51;
    if (!jp2 && !j2k)
        return std::nullopt;

    MemoryStream memory;
    memory.data = data;
    memory.size = bytes.size();
    opj_codec_t* codec = opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_stream_t* stream = makeStream(&memory, true);
    opj_image_t* image = nullptr;
    int warnings = 0;
    std::optional<DecodedSamples> result;
    if (codec && stream) {
        opj_set_info_handler(codec, quietHandler, nullptr);
        opj_set_warning_handler(codec, countingHandler, &warnings);
        opj_set_error_handler(codec, quietHandler, nullptr);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        if (opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) && image) {
            const int64_t width = static_cast<int64_t>(image->x1) - image->x0;
            const int64_t height = static_cast<int64_t>(image->y1) - image->y0;
            const bool sane = image->numcomps >= 1 && image->numcomps <= kMaxComponents &&
                              isAcceptableImageSize(width, height) &&
                              width * height * image->numcomps <= kMaxImagePixels * 4;
            if (sane && opj_decode(codec, stream, image)) {
                const bool ended = opj_end_decompress(codec, stream);
                DecodedSamples samples;
                if (collectSamples(image, &samples)) {
                    samples.complete = ended && warnings == 0;
                    result = std::move(samples);
                }
            }
        }
    }
    if (image)
        opj_image_destroy(image);
    if (stream)
        opj_stream_destroy(stream);
    if (codec)
        opj_destroy_codec(codec);
    return result;
}

} // namespace rz
