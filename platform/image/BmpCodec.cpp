// BMP, written and read directly. Written: 24-bit BI_RGB with a
// BITMAPINFOHEADER for opaque images, 32-bit BI_BITFIELDS with a
// BITMAPV4HEADER (alpha mask set) for images with alpha; rows bottom-up.
// Read: 1, 4, 8, 16, 24 and 32 bits per pixel, BI_RGB and BI_BITFIELDS,
// bottom-up or top-down; run-length compressed files are refused.
#include "platform/image/ImageCodecsInternal.h"

#include <cmath>
#include <cstring>
#include <new>

namespace rz::codec {

namespace {

constexpr uint32_t kBiRGB = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;

void put16(std::string& s, uint32_t v)
{
    s.push_back(static_cast<char>(v & 0xff));
    s.push_back(static_cast<char>((v >> 8) & 0xff));
}

void put32(std::string& s, uint32_t v)
{
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

uint32_t get16(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t get32(const unsigned char* p)
{
    return get16(p) | get16(p + 2) << 16;
}

int32_t getSigned32(const unsigned char* p)
{
    const uint32_t v = get32(p);
    return v <= 0x7fffffffu ? static_cast<int32_t>(v) : -static_cast<int32_t>(~v) - 1;
}

uint32_t bmpPixelsPerMetre(double dpi)
{
    const double v = std::round(dpi / 0.0254);
    if (v < 1)
        return 1;
    if (v > 2147483647.0)
        return 2147483647u;
    return static_cast<uint32_t>(v);
}

// One channel of a bit-field pixel: shift and width of the mask, and the
// value scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m = 0) : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1u))
            ++shift;
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1u))
            ++bits;
    }

    uint8_t value(uint32_t pixel) const
    {
        if (!bits)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        const uint32_t max = bits >= 32 ? 0xffffffffu : (1u << bits) - 1u;
        return static_cast<uint8_t>((static_cast<uint64_t>(v) * 255u + max / 2) / max);
    }
};

} // namespace

std::optional<std::string> encodeBMP(const Image& source, const ImageProperties& properties)
{
    if (source.isEmpty())
        return std::nullopt;
    const bool alpha = source.hasAlpha();
    const Image image = alpha ? source : source.converted(PixelFormat::RGB8);
    if (image.isEmpty())
        return std::nullopt;
    const uint64_t width = static_cast<uint64_t>(image.width());
    const uint64_t height = static_cast<uint64_t>(image.height());
    const uint64_t stride = alpha ? width * 4 : (width * 3 + 3) & ~uint64_t{3};
    const uint32_t headerSize = alpha ? kV4HeaderSize : kInfoHeaderSize;
    const uint64_t dataSize = stride * height;
    const uint64_t fileSize = kFileHeaderSize + headerSize + dataSize;
    if (fileSize > 0xffffffffu || width > 0x7fffffffu || height > 0x7fffffffu)
        return std::nullopt;

    double dpiX = 72, dpiY = 72;
    const bool withDpi = usableResolution(properties, &dpiX, &dpiY);

    std::string out;
    try {
        out.reserve(static_cast<size_t>(fileSize));
        out += "BM";
        put32(out, static_cast<uint32_t>(fileSize));
        put32(out, 0);
        put32(out, kFileHeaderSize + headerSize);

        put32(out, headerSize);
        put32(out, static_cast<uint32_t>(width));
        put32(out, static_cast<uint32_t>(height)); // positive: bottom-up rows
        put16(out, 1);
        put16(out, alpha ? 32 : 24);
        put32(out, alpha ? kBiBitfields : kBiRGB);
        put32(out, static_cast<uint32_t>(dataSize));
        put32(out, withDpi ? bmpPixelsPerMetre(dpiX) : 0);
        put32(out, withDpi ? bmpPixelsPerMetre(dpiY) : 0);
        put32(out, 0); // colours used
        put32(out, 0); // important colours
        if (alpha) {
            put32(out, 0x00ff0000u); // red
            put32(out, 0x0000ff00u); // green
            put32(out, 0x000000ffu); // blue
            put32(out, 0xff000000u); // alpha
            put32(out, 0x73524742u); // colour space 'sRGB'
            out.append(36 + 12, '\0'); // endpoints and gamma, unused with sRGB
        }
        for (uint64_t row = 0; row < height; ++row) {
            const uint8_t* p = image.row(static_cast<int>(height - 1 - row));
            const size_t start = out.size();
            for (uint64_t x = 0; x < width; ++x) {
                if (alpha) {
                    out.push_back(static_cast<char>(p[x * 4 + 2]));
                    out.push_back(static_cast<char>(p[x * 4 + 1]));
                    out.push_back(static_cast<char>(p[x * 4]));
                    out.push_back(static_cast<char>(p[x * 4 + 3]));
                } else {
                    out.push_back(static_cast<char>(p[x * 3 + 2]));
                    out.push_back(static_cast<char>(p[x * 3 + 1]));
                    out.push_back(static_cast<char>(p[x * 3]));
                }
            }
            out.append(static_cast<size_t>(stride) - (out.size() - start), '\0');
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return out;
}

std::optional<Image> decodeBMP(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    if (size < kFileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    const uint32_t pixelOffset = get32(data + 10);
    const uint32_t headerSize = get32(data + 14);
    if (headerSize < 12 || headerSize > size - kFileHeaderSize)
        return std::nullopt;
    const unsigned char* h = data + kFileHeaderSize;

    int64_t width = 0, height = 0;
    uint32_t bpp = 0, compression = kBiRGB, colorsUsed = 0;
    size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        width = get16(h + 4);
        height = static_cast<int16_t>(get16(h + 6));
        bpp = get16(h + 10);
        paletteEntrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        width = getSigned32(h + 4);
        height = getSigned32(h + 8);
        bpp = get16(h + 14);
        compression = get32(h + 16);
        colorsUsed = get32(h + 32);
    } else {
        return std::nullopt;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (!isAcceptableImageSize(width, height))
        return std::nullopt;

    // Bit-field masks: inside the header from version 2 on, else right after it.
    uint32_t masks[4] = {0, 0, 0, 0};
    size_t afterHeader = kFileHeaderSize + headerSize;
    if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
        if (bpp != 16 && bpp != 32)
            return std::nullopt;
        const int count = compression == kBiAlphaBitfields ? 4 : 3;
        const unsigned char* m = nullptr;
        if (headerSize >= kInfoHeaderSize + 12) {
            m = h + kInfoHeaderSize;
        } else {
            if (size - afterHeader < static_cast<size_t>(count) * 4)
                return std::nullopt;
            m = data + afterHeader;
            afterHeader += static_cast<size_t>(count) * 4;
        }
        for (int i = 0; i < count; ++i)
            masks[i] = get32(m + 4 * i);
        if (headerSize >= kInfoHeaderSize + 16)
            masks[3] = get32(h + kInfoHeaderSize + 12);
    } else if (compression == kBiRGB) {
        if (bpp == 16) {
            masks[0] = 0x7c00;
            masks[1] = 0x03e0;
            masks[2] = 0x001f;
        } else if (bpp == 32) {
            masks[0] = 0x00ff0000u;
            masks[1] = 0x0000ff00u;
            masks[2] = 0x000000ffu;
        }
    } else {
        return std::nullopt;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;

    // Palette.
    uint8_t palette[256][3] = {};
    uint32_t paletteSize = 0;
    if (bpp <= 8) {
        paletteSize = colorsUsed ? colorsUsed : (1u << bpp);
        if (paletteSize > 256)
            paletteSize = 256;
        if (afterHeader > size || (size - afterHeader) / paletteEntrySize < paletteSize)
            return std::nullopt;
        for (uint32_t i = 0; i < paletteSize; ++i) {
            const unsigned char* e = data + afterHeader + i * paletteEntrySize;
            palette[i][0] = e[2];
            palette[i][1] = e[1];
            palette[i][2] = e[0];
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (pixelOffset > size || (size - pixelOffset) / stride < static_cast<uint64_t>(height))
        return std::nullopt;

    const bool alpha = masks[3] != 0;
    auto image = Image::make(static_cast<int>(width), static_cast<int>(height),
                             alpha ? PixelFormat::RGBA8 : PixelFormat::RGB8);
    if (!image)
        return std::nullopt;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alphaChannel(masks[3]);
    const int components = alpha ? 4 : 3;
    for (int64_t y = 0; y < height; ++y) {
        const unsigned char* src = data + pixelOffset + stride * static_cast<uint64_t>(topDown ? y : height - 1 - y);
        uint8_t* dst = image->mutableRow(static_cast<int>(y));
        for (int64_t x = 0; x < width; ++x) {
            uint8_t* p = dst + x * components;
            if (bpp <= 8) {
                const uint32_t perByte = 8 / bpp;
                const uint32_t byte = src[x / perByte];
                const uint32_t shift = 8 - bpp - static_cast<uint32_t>(x % perByte) * bpp;
                const uint32_t index = (byte >> shift) & ((1u << bpp) - 1u);
                if (index < paletteSize)
                    std::memcpy(p, palette[index], 3);
            } else if (bpp == 24) {
                p[0] = src[x * 3 + 2];
                p[1] = src[x * 3 + 1];
                p[2] = src[x * 3];
            } else {
                const uint32_t pixel = bpp == 16 ? get16(src + x * 2) : get32(src + x * 4);
                p[0] = red.value(pixel);
                p[1] = green.value(pixel);
                p[2] = blue.value(pixel);
                if (alpha)
                    p[3] = alphaChannel.value(pixel);
            }
        }
    }
    return image;
}

} // namespace rz::codec
