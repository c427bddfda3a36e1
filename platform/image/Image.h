// A decoded raster image: the program's stand-in for a platform image.
//
// Pixels are 8 bits per component, rows top to bottom, components
// interleaved. RGBA8 is straight (non-premultiplied) alpha. CMYK8 holds ink
// amounts (0 = no ink) and is an input format only: writers convert it to
// RGB first. The pixel buffer is shared between copies and copied on the
// first write through a mutable accessor, so an Image is a cheap value.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace rz {

// Largest pixel count an image may have. 2^28 pixels are 1 GiB as RGBA and
// cover a full A3 page at 1200 dpi; anything larger read from a file is
// taken as damage and refused before a buffer is allocated.
inline constexpr long long kMaxImagePixels = 1LL << 28;
// Largest width or height; keeps row sizes and pixel offsets well inside
// 32-bit arithmetic of the codec libraries.
inline constexpr long long kMaxImageSide = 1LL << 18;

enum class PixelFormat { Gray8, RGB8, RGBA8, CMYK8 };

int componentCount(PixelFormat format);

// True when width and height are positive and within the caps above.
bool isAcceptableImageSize(long long width, long long height);

class Image {
public:
    // An empty (0 by 0) image.
    Image() = default;

    // A new image of the size with every byte zero; nothing when the size is
    // not acceptable or the memory cannot be had.
    static std::optional<Image> make(int width, int height, PixelFormat format);
    // An image over the given rows; nothing when the size is not acceptable
    // or `pixels` is shorter than `bytesPerRow` x `height`, or a row is
    // shorter than width x components.
    static std::optional<Image> make(int width, int height, PixelFormat format,
                                     std::vector<uint8_t> pixels, size_t bytesPerRow);

    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat format() const { return format_; }
    int componentCount() const { return rz::componentCount(format_); }
    size_t bytesPerRow() const { return bytesPerRow_; }
    bool hasAlpha() const { return format_ == PixelFormat::RGBA8; }
    // One colour component (gray), as a device-gray image has.
    bool isMonochrome() const { return format_ == PixelFormat::Gray8; }

    // Row `y` (0 = top).
    const uint8_t* row(int y) const;
    // Row `y`, unshared first when another Image holds the same buffer.
    uint8_t* mutableRow(int y);

    // The image in another format: gray from RGB by luminance
    // (0.299, 0.587, 0.114); alpha dropped by compositing over `background`
    // (a gray level); CMYK converted naively (R = (255 - C)(255 - K)/255 ...).
    Image converted(PixelFormat format, uint8_t background = 255) const;
    // The part inside `rect` in pixel coordinates with the origin at the
    // top-left corner; the rectangle is made integral and clipped to the
    // image. Nothing when no pixel is left.
    std::optional<Image> cropped(const Rect& rect) const;

    // Same size, format and pixel values (row padding ignored).
    bool samePixels(const Image& other) const;

private:
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::RGBA8;
    size_t bytesPerRow_ = 0;
    std::shared_ptr<std::vector<uint8_t>> pixels_;
};

} // namespace rz
