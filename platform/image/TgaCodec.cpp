// Truevision TGA, written directly: uncompressed true-colour (type 2),
// 24-bit BGR or 32-bit BGRA with 8 alpha bits, rows from the top. The
// format has no field for a resolution.
#include "platform/image/ImageCodecsInternal.h"

#include <new>

namespace rz::codec {

std::optional<std::string> encodeTGA(const Image& source)
{
    if (source.isEmpty() || source.width() > 0xffff || source.height() > 0xffff)
        return std::nullopt;
    const bool alpha = source.hasAlpha();
    const Image image = alpha ? source : source.converted(PixelFormat::RGB8);
    if (image.isEmpty())
        return std::nullopt;
    const int components = alpha ? 4 : 3;
    std::string out;
    try {
        out.reserve(18 + static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()) *
                             static_cast<size_t>(components));
        const unsigned char header[18] = {
            0, // no image ID
            0, // no colour map
            2, // uncompressed true-colour
            0, 0, 0, 0, 0, // colour map specification
            0, 0, 0, 0, // x and y origin
            static_cast<unsigned char>(image.width() & 0xff), static_cast<unsigned char>(image.width() >> 8),
            static_cast<unsigned char>(image.height() & 0xff), static_cast<unsigned char>(image.height() >> 8),
            static_cast<unsigned char>(alpha ? 32 : 24),
            static_cast<unsigned char>(0x20 | (alpha ? 8 : 0)), // top-left origin, alpha bits
        };
        out.append(reinterpret_cast<const char*>(header), sizeof header);
        for (int y = 0; y < image.height(); ++y) {
            const uint8_t* p = image.row(y);
            for (int x = 0; x < image.width(); ++x, p += components) {
                out.push_back(static_cast<char>(p[2]));
                out.push_back(static_cast<char>(p[1]));
                out.push_back(static_cast<char>(p[0]));
                if (alpha)
                    out.push_back(static_cast<char>(p[3]));
            }
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return out;
}

} // namespace rz::codec
