#include "platform/image/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace rz {

namespace {

struct Rgba {
    uint8_t r, g, b, a;
};

uint8_t div255(unsigned v)
{
    return static_cast<uint8_t>((v + 127) / 255);
}

uint8_t luminance(unsigned r, unsigned g, unsigned b)
{
    return static_cast<uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

Rgba readPixel(const uint8_t* p, PixelFormat format)
{
    switch (format) {
    case PixelFormat::Gray8:
        return {p[0], p[0], p[0], 255};
    case PixelFormat::RGB8:
        return {p[0], p[1], p[2], 255};
    case PixelFormat::RGBA8:
        return {p[0], p[1], p[2], p[3]};
    case PixelFormat::CMYK8: {
        const unsigned k = 255u - p[3];
        return {div255((255u - p[0]) * k), div255((255u - p[1]) * k), div255((255u - p[2]) * k), 255};
    }
    }
    return {0, 0, 0, 255};
}

void writePixel(uint8_t* p, PixelFormat format, Rgba c, uint8_t background)
{
    if (format != PixelFormat::RGBA8 && c.a != 255) {
        const unsigned a = c.a;
        const unsigned bg = background * (255u - a);
        c.r = div255(c.r * a + bg);
        c.g = div255(c.g * a + bg);
        c.b = div255(c.b * a + bg);
        c.a = 255;
    }
    switch (format) {
    case PixelFormat::Gray8:
        p[0] = luminance(c.r, c.g, c.b);
        break;
    case PixelFormat::RGB8:
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        break;
    case PixelFormat::RGBA8:
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = c.a;
        break;
    case PixelFormat::CMYK8: {
        const unsigned maxc = std::max({c.r, c.g, c.b});
        const unsigned k = 255u - maxc;
        if (maxc == 0) {
            p[0] = p[1] = p[2] = 0;
        } else {
            p[0] = static_cast<uint8_t>((maxc - c.r) * 255u / maxc);
            p[1] = static_cast<uint8_t>((maxc - c.g) * 255u / maxc);
            p[2] = static_cast<uint8_t>((maxc - c.b) * 255u / maxc);
        }
        p[3] = static_cast<uint8_t>(k);
        break;
    }
    }
}

} // namespace

int componentCount(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Gray8:
        return 1;
    case PixelFormat::RGB8:
        return 3;
    case PixelFormat::RGBA8:
    case PixelFormat::CMYK8:
        return 4;
    }
    return 4;
}

bool isAcceptableImageSize(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

std::optional<Image> Image::make(int width, int height, PixelFormat format)
{
    if (!isAcceptableImageSize(width, height))
        return std::nullopt;
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(rz::componentCount(format));
    try {
        std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(height));
        return make(width, height, format, std::move(pixels), rowBytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<Image> Image::make(int width, int height, PixelFormat format,
                                 std::vector<uint8_t> pixels, size_t bytesPerRow)
{
    if (!isAcceptableImageSize(width, height))
        return std::nullopt;
    const size_t minRow = static_cast<size_t>(width) * static_cast<size_t>(rz::componentCount(format));
    if (bytesPerRow < minRow || bytesPerRow > (size_t{1} << 40))
        return std::nullopt;
    if (pixels.size() / bytesPerRow < static_cast<size_t>(height))
        return std::nullopt;
    Image image;
    image.width_ = width;
    image.height_ = height;
    image.format_ = format;
    image.bytesPerRow_ = bytesPerRow;
    try {
        image.pixels_ = std::make_shared<std::vector<uint8_t>>(std::move(pixels));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return image;
}

const uint8_t* Image::row(int y) const
{
    if (!pixels_ || y < 0 || y >= height_)
        return nullptr;
    return pixels_->data() + static_cast<size_t>(y) * bytesPerRow_;
}

uint8_t* Image::mutableRow(int y)
{
    if (!pixels_ || y < 0 || y >= height_)
        return nullptr;
    if (pixels_.use_count() > 1)
        pixels_ = std::make_shared<std::vector<uint8_t>>(*pixels_);
    return pixels_->data() + static_cast<size_t>(y) * bytesPerRow_;
}

Image Image::converted(PixelFormat format, uint8_t background) const
{
    if (format == format_ || isEmpty())
        return *this;
    auto out = make(width_, height_, format);
    if (!out)
        return Image{};
    const int inComponents = componentCount();
    const int outComponents = out->componentCount();
    for (int y = 0; y < height_; ++y) {
        const uint8_t* src = row(y);
        uint8_t* dst = out->mutableRow(y);
        for (int x = 0; x < width_; ++x)
            writePixel(dst + static_cast<size_t>(x) * outComponents, format,
                       readPixel(src + static_cast<size_t>(x) * inComponents, format_), background);
    }
    return *out;
}

std::optional<Image> Image::cropped(const Rect& rect) const
{
    if (isEmpty() || rect.isNull())
        return std::nullopt;
    const Rect r = rect.standardized().integral().intersection(Rect(0, 0, width_, height_));
    if (r.isEmpty())
        return std::nullopt;
    const int x0 = static_cast<int>(r.minX());
    const int y0 = static_cast<int>(r.minY());
    const int w = static_cast<int>(r.width());
    const int h = static_cast<int>(r.height());
    if (x0 == 0 && y0 == 0 && w == width_ && h == height_)
        return *this;
    auto out = make(w, h, format_);
    if (!out)
        return std::nullopt;
    const size_t pixelBytes = static_cast<size_t>(componentCount());
    for (int y = 0; y < h; ++y)
        std::memcpy(out->mutableRow(y), row(y0 + y) + static_cast<size_t>(x0) * pixelBytes,
                    static_cast<size_t>(w) * pixelBytes);
    return out;
}

bool Image::samePixels(const Image& other) const
{
    if (width_ != other.width_ || height_ != other.height_ || format_ != other.format_)
        return false;
    const size_t used = static_cast<size_t>(width_) * static_cast<size_t>(componentCount());
    for (int y = 0; y < height_; ++y)
        if (std::memcmp(row(y), other.row(y), used) != 0)
            return false;
    return true;
}

} // namespace rz
