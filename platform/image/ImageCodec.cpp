#include "platform/image/ImageCodec.h"

#include "platform/image/ImageCodecsInternal.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <system_error>
#include <filesystem>

namespace rz {

namespace {

struct TypeName {
    const char* name;
    ImageType type;
};

constexpr TypeName kShortNames[] = {
    {"jpeg", ImageType::JPEG}, {"jpg", ImageType::JPEG},  {"png", ImageType::PNG},
    {"bmp", ImageType::BMP},   {"tiff", ImageType::TIFF}, {"tif", ImageType::TIFF},
    {"gif", ImageType::GIF},   {"tga", ImageType::TGA},   {"jp2", ImageType::JPEG2000},
};

constexpr TypeName kIdentifiers[] = {
    {"public.jpeg", ImageType::JPEG},
    {"public.png", ImageType::PNG},
    {"com.microsoft.bmp", ImageType::BMP},
    {"public.tiff", ImageType::TIFF},
    {"com.compuserve.gif", ImageType::GIF},
    {"com.truevision.tga-image", ImageType::TGA},
    {"public.jpeg-2000", ImageType::JPEG2000},
};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool startsWith(std::string_view bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < prefix.size())
        return false;
    size_t i = 0;
    for (unsigned char c : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != c)
            return false;
    return true;
}

} // namespace

std::optional<ImageType> imageTypeFromName(std::string_view name)
{
    for (const auto& entry : kShortNames)
        if (equalsIgnoringCase(name, entry.name))
            return entry.type;
    for (const auto& entry : kIdentifiers)
        if (name == entry.name)
            return entry.type;
    return std::nullopt;
}

const char* imageTypeIdentifier(ImageType type)
{
    for (const auto& entry : kIdentifiers)
        if (entry.type == type)
            return entry.name;
    return "";
}

std::optional<std::string> encodeImage(const Image& image, ImageType type, const ImageProperties& properties)
{
    if (image.isEmpty())
        return std::nullopt;
    switch (type) {
    case ImageType::JPEG:
        return codec::encodeJPEG(image, properties);
    case ImageType::PNG:
        return codec::encodePNG(image, properties);
    case ImageType::BMP:
        return codec::encodeBMP(image, properties);
    case ImageType::TIFF:
        return codec::encodeTIFF(image, properties);
    case ImageType::GIF:
        return codec::encodeGIF(image);
    case ImageType::TGA:
        return codec::encodeTGA(image);
    case ImageType::JPEG2000:
        return codec::encodeJPEG2000(image, properties);
    }
    return std::nullopt;
}

std::optional<ImageType> detectImageType(std::string_view bytes)
{
    if (startsWith(bytes, {0xff, 0xd8, 0xff}))
        return ImageType::JPEG;
    if (startsWith(bytes, {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a}))
        return ImageType::PNG;
    if (startsWith(bytes, {'I', 'I', 42, 0}) || startsWith(bytes, {'M', 'M', 0, 42}) ||
        startsWith(bytes, {'I', 'I', 43, 0}) || startsWith(bytes, {'M', 'M', 0, 43}))
        return ImageType::TIFF;
    if (startsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) || startsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'}))
        return ImageType::GIF;
    if (startsWith(bytes, {'B', 'M'}) && bytes.size() >= 18)
        return ImageType::BMP;
    if (startsWith(bytes, {0, 0, 0, 0x0c, 'j', 'P', ' ', ' ', 0x0d, 0x0a, 0x87, 0x0a}) ||
        startsWith(bytes, {0xff, 0x4f, 0xff, 0x51}))
        return ImageType::JPEG2000;
    return std::nullopt;
}

std::optional<Image> decodeImage(std::string_view bytes, bool* complete)
{
    if (complete)
        *complete = true;
    const auto type = detectImageType(bytes);
    if (!type)
        return std::nullopt;
    switch (*type) {
    case ImageType::JPEG: {
        auto samples = decodeJPEG(bytes);
        if (!samples)
            return std::nullopt;
        if (complete)
            *complete = samples->complete;
        return codec::imageFromSamples(*samples, samples->adobeMarker);
    }
    case ImageType::JPEG2000: {
        auto samples = decodeJPEG2000(bytes);
        if (!samples)
            return std::nullopt;
        if (complete)
            *complete = samples->complete;
        return codec::imageFromSamples(*samples, false);
    }
    case ImageType::PNG:
        return codec::decodePNG(bytes);
    case ImageType::TIFF:
        return codec::decodeTIFF(bytes);
    case ImageType::GIF:
        return codec::decodeGIF(bytes, complete);
    case ImageType::BMP:
        return codec::decodeBMP(bytes);
    case ImageType::TGA:
        break;
    }
    return std::nullopt;
}

std::optional<Image> readImageFile(const std::string& path, bool* complete)
{
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    // A compressed file cannot hold more than a fraction of an image of the
    // largest accepted size; larger files are not read into memory.
    if (ec || size == 0 || size > static_cast<std::uintmax_t>(kMaxImagePixels) * 4)
        return std::nullopt;
    std::string bytes;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        bytes.resize(static_cast<size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<size_t>(in.gcount()));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return decodeImage(bytes, complete);
}

namespace codec {

bool usableResolution(const ImageProperties& properties, double* dpiX, double* dpiY)
{
    if (!properties.dpiX || !properties.dpiY)
        return false;
    const double x = *properties.dpiX, y = *properties.dpiY;
    if (!std::isfinite(x) || !std::isfinite(y) || x <= 0 || y <= 0)
        return false;
    *dpiX = x;
    *dpiY = y;
    return true;
}

std::optional<Image> imageFromSamples(const DecodedSamples& samples, bool invertedCMYK)
{
    const int n = samples.components;
    const int colours = samples.hasAlpha ? n - 1 : n;
    if (n < 1 || colours < 1 || samples.width <= 0 || samples.height <= 0 ||
        samples.samples.size() < static_cast<size_t>(samples.width) * static_cast<size_t>(samples.height) *
                                     static_cast<size_t>(n))
        return std::nullopt;
    const bool cmyk = colours >= 4 && samples.model != DecodedSamples::ColorModel::RGB;
    const bool gray = colours < 3;
    PixelFormat format = PixelFormat::RGB8;
    if (samples.hasAlpha)
        format = PixelFormat::RGBA8;
    else if (gray)
        format = PixelFormat::Gray8;
    auto image = Image::make(samples.width, samples.height, format);
    if (!image)
        return std::nullopt;
    const int outComponents = image->componentCount();
    const uint8_t* src = samples.samples.data();
    for (int y = 0; y < samples.height; ++y) {
        uint8_t* dst = image->mutableRow(y);
        for (int x = 0; x < samples.width; ++x, src += n, dst += outComponents) {
            if (gray) {
                dst[0] = src[0];
                if (format == PixelFormat::RGBA8)
                    dst[1] = dst[2] = src[0];
            } else if (cmyk) {
                unsigned c = src[0], m = src[1], yy = src[2], k = src[3];
                if (invertedCMYK) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                dst[0] = static_cast<uint8_t>(((255 - c) * (255 - k) + 127) / 255);
                dst[1] = static_cast<uint8_t>(((255 - m) * (255 - k) + 127) / 255);
                dst[2] = static_cast<uint8_t>(((255 - yy) * (255 - k) + 127) / 255);
            } else {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
            if (format == PixelFormat::RGBA8)
                dst[3] = src[n - 1];
        }
    }
    return image;
}

} // namespace codec

} // namespace rz
