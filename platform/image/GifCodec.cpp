// GIF through giflib. Writing quantises to one palette of at most 256
// entries; reading gives the first frame on its logical screen. GIF has no
// field for a resolution.
#include "platform/image/ImageCodecsInternal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <unordered_map>

#include <gif_lib.h>

namespace rz::codec {

namespace {

constexpr int kCubeLevels = 6; // 6 x 6 x 6 colour cube
constexpr int kCubeStep = 51;  // 255 / (kCubeLevels - 1)
constexpr unsigned kAlphaThreshold = 128;

struct Palette {
    std::vector<GifColorType> colors;
    int transparentIndex = -1;
};

int writeToString(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::string*>(gif->UserData);
    try {
        out->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

struct GifReadSource {
    const char* data;
    size_t size;
    size_t offset;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* src = static_cast<GifReadSource*>(gif->UserData);
    if (length <= 0)
        return 0;
    const size_t n = std::min(static_cast<size_t>(length), src->size - src->offset);
    std::memcpy(out, src->data + src->offset, n);
    src->offset += n;
    return static_cast<int>(n);
}

uint32_t packColor(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

// Exact palette when the image has few enough colours; indices written to `indices`.
bool exactPalette(const Image& rgba, Palette& palette, std::vector<uint8_t>& indices)
{
    bool transparent = false;
    std::unordered_map<uint32_t, uint8_t> lookup;
    for (int y = 0; y < rgba.height(); ++y) {
        const uint8_t* p = rgba.row(y);
        for (int x = 0; x < rgba.width(); ++x, p += 4) {
            if (p[3] < kAlphaThreshold) {
                transparent = true;
                continue;
            }
            if (lookup.count(packColor(p)))
                continue;
            if (lookup.size() + (transparent ? 1 : 0) >= 256)
                return false;
            lookup.emplace(packColor(p), static_cast<uint8_t>(lookup.size()));
        }
    }
    if (lookup.size() + (transparent ? 1 : 0) > 256)
        return false;
    palette.colors.assign(lookup.size(), GifColorType{0, 0, 0});
    for (const auto& [color, index] : lookup)
        palette.colors[index] = GifColorType{static_cast<GifByteType>(color >> 16),
                                             static_cast<GifByteType>((color >> 8) & 0xff),
                                             static_cast<GifByteType>(color & 0xff)};
    if (transparent) {
        palette.transparentIndex = static_cast<int>(palette.colors.size());
        palette.colors.push_back(GifColorType{0, 0, 0});
    }
    size_t i = 0;
    for (int y = 0; y < rgba.height(); ++y) {
        const uint8_t* p = rgba.row(y);
        for (int x = 0; x < rgba.width(); ++x, p += 4)
            indices[i++] = p[3] < kAlphaThreshold ? static_cast<uint8_t>(palette.transparentIndex)
                                                  : lookup[packColor(p)];
    }
    return true;
}

bool hasTransparency(const Image& rgba)
{
    for (int y = 0; y < rgba.height(); ++y) {
        const uint8_t* p = rgba.row(y);
        for (int x = 0; x < rgba.width(); ++x)
            if (p[x * 4 + 3] < kAlphaThreshold)
                return true;
    }
    return false;
}

int clampByte(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// The fixed palette (colour cube, then a gray ramp) with Floyd-Steinberg
// error diffusion.
void fixedPalette(const Image& rgba, Palette& palette, std::vector<uint8_t>& indices)
{
    const bool transparent = hasTransparency(rgba);
    for (int r = 0; r < kCubeLevels; ++r)
        for (int g = 0; g < kCubeLevels; ++g)
            for (int b = 0; b < kCubeLevels; ++b)
                palette.colors.push_back(GifColorType{static_cast<GifByteType>(r * kCubeStep),
                                                      static_cast<GifByteType>(g * kCubeStep),
                                                      static_cast<GifByteType>(b * kCubeStep)});
    const int cubeSize = static_cast<int>(palette.colors.size());
    const int grays = 256 - cubeSize - (transparent ? 1 : 0);
    for (int i = 1; i <= grays; ++i) {
        const auto v = static_cast<GifByteType>((i * 255 + (grays + 1) / 2) / (grays + 1));
        palette.colors.push_back(GifColorType{v, v, v});
    }
    if (transparent) {
        palette.transparentIndex = static_cast<int>(palette.colors.size());
        palette.colors.push_back(GifColorType{0, 0, 0});
    }

    const int width = rgba.width();
    // Errors of this row and the next, three channels, with a guard column each side.
    std::vector<int> current(static_cast<size_t>(width + 2) * 3, 0), next(current.size(), 0);
    size_t i = 0;
    for (int y = 0; y < rgba.height(); ++y) {
        std::fill(next.begin(), next.end(), 0);
        const uint8_t* p = rgba.row(y);
        for (int x = 0; x < width; ++x, p += 4, ++i) {
            if (p[3] < kAlphaThreshold) {
                indices[i] = static_cast<uint8_t>(palette.transparentIndex);
                continue;
            }
            int want[3];
            for (int c = 0; c < 3; ++c)
                want[c] = clampByte(p[c] + current[static_cast<size_t>(x + 1) * 3 + c] / 16);
            int cube[3];
            for (int c = 0; c < 3; ++c)
                cube[c] = (want[c] + kCubeStep / 2) / kCubeStep;
            int best = (cube[0] * kCubeLevels + cube[1]) * kCubeLevels + cube[2];
            auto distance = [&](const GifColorType& col) {
                const int dr = want[0] - col.Red, dg = want[1] - col.Green, db = want[2] - col.Blue;
                return dr * dr + dg * dg + db * db;
            };
            if (grays > 0) {
                const int average = (want[0] + want[1] + want[2]) / 3;
                const int g = std::clamp((average * (grays + 1) + 127) / 255, 1, grays);
                const int grayIndex = cubeSize + g - 1;
                if (distance(palette.colors[static_cast<size_t>(grayIndex)]) <
                    distance(palette.colors[static_cast<size_t>(best)]))
                    best = grayIndex;
            }
            indices[i] = static_cast<uint8_t>(best);
            const GifColorType& chosen = palette.colors[static_cast<size_t>(best)];
            const int error[3] = {want[0] - chosen.Red, want[1] - chosen.Green, want[2] - chosen.Blue};
            for (int c = 0; c < 3; ++c) {
                current[static_cast<size_t>(x + 2) * 3 + c] += error[c] * 7;
                next[static_cast<size_t>(x) * 3 + c] += error[c] * 3;
                next[static_cast<size_t>(x + 1) * 3 + c] += error[c] * 5;
                next[static_cast<size_t>(x + 2) * 3 + c] += error[c];
            }
        }
        std::swap(current, next);
    }
}

} // namespace

std::optional<std::string> encodeGIF(const Image& source)
{
    if (source.isEmpty() || source.width() > 0xffff || source.height() > 0xffff)
        return std::nullopt;
    const Image rgba = source.converted(PixelFormat::RGBA8);
    if (rgba.isEmpty())
        return std::nullopt;

    std::string out;
    Palette palette;
    try {
        std::vector<uint8_t> indices(static_cast<size_t>(rgba.width()) * static_cast<size_t>(rgba.height()));
        if (!exactPalette(rgba, palette, indices)) {
            palette = Palette{};
            fixedPalette(rgba, palette, indices);
        }
        int mapSize = 2;
        while (mapSize < static_cast<int>(palette.colors.size()))
            mapSize *= 2;
        palette.colors.resize(static_cast<size_t>(mapSize), GifColorType{0, 0, 0});

        int error = 0;
        GifFileType* gif = EGifOpen(&out, writeToString, &error);
        if (!gif)
            return std::nullopt;
        ColorMapObject* map = GifMakeMapObject(mapSize, palette.colors.data());
        bool ok = map != nullptr;
        if (ok) {
            EGifSetGifVersion(gif, true);
            ok = EGifPutScreenDesc(gif, rgba.width(), rgba.height(), 8, 0, map) == GIF_OK;
        }
        if (ok && palette.transparentIndex >= 0) {
            GraphicsControlBlock gcb{};
            gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
            gcb.UserInputFlag = false;
            gcb.DelayTime = 0;
            gcb.TransparentColor = palette.transparentIndex;
            GifByteType extension[4];
            const size_t length = EGifGCBToExtension(&gcb, extension);
            ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
        }
        if (ok)
            ok = EGifPutImageDesc(gif, 0, 0, rgba.width(), rgba.height(), false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < rgba.height(); ++y)
            ok = EGifPutLine(gif, indices.data() + static_cast<size_t>(y) * static_cast<size_t>(rgba.width()),
                             rgba.width()) == GIF_OK;
        if (EGifCloseFile(gif, &error) != GIF_OK)
            ok = false;
        if (map)
            GifFreeMapObject(map);
        if (!ok)
            return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return out;
}

std::optional<Image> decodeGIF(std::string_view bytes, bool* complete)
{
    GifReadSource source{bytes.data(), bytes.size(), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, readFromMemory, &error);
    if (!gif)
        return std::nullopt;

    std::optional<Image> result;
    bool whole = true;
    int transparentIndex = -1;
    bool done = false;
    while (!done) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* extension = nullptr;
            if (DGifGetExtension(gif, &code, &extension) != GIF_OK)
                break;
            if (code == GRAPHICS_EXT_FUNC_CODE && extension && extension[0] >= 4) {
                GraphicsControlBlock gcb{};
                if (DGifExtensionToGCB(extension[0], extension + 1, &gcb) == GIF_OK)
                    transparentIndex = gcb.TransparentColor;
            }
            bool extensionOk = true;
            while (extension) {
                if (DGifGetExtensionNext(gif, &extension) != GIF_OK) {
                    extensionOk = false;
                    break;
                }
            }
            if (!extensionOk)
                break;
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            done = true;
            if (DGifGetImageDesc(gif) != GIF_OK)
                break;
            const GifImageDesc& desc = gif->Image;
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            if (!map || !isAcceptableImageSize(desc.Width, desc.Height))
                break;
            int canvasWidth = gif->SWidth, canvasHeight = gif->SHeight;
            if (!isAcceptableImageSize(canvasWidth, canvasHeight)) {
                canvasWidth = desc.Width;
                canvasHeight = desc.Height;
            }
            auto canvas = Image::make(canvasWidth, canvasHeight, PixelFormat::RGBA8);
            if (!canvas)
                break;
            std::vector<GifPixelType> line;
            try {
                line.resize(static_cast<size_t>(desc.Width));
            } catch (const std::bad_alloc&) {
                break;
            }
            bool anyTransparent = desc.Left > 0 || desc.Top > 0 || desc.Left + desc.Width < canvasWidth ||
                                  desc.Top + desc.Height < canvasHeight;
            static constexpr int kPassStart[4] = {0, 4, 2, 1};
            static constexpr int kPassStep[4] = {8, 8, 4, 2};
            const int passes = desc.Interlace ? 4 : 1;
            for (int pass = 0; pass < passes && whole; ++pass) {
                const int start = desc.Interlace ? kPassStart[pass] : 0;
                const int step = desc.Interlace ? kPassStep[pass] : 1;
                for (int y = start; y < desc.Height; y += step) {
                    if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) {
                        whole = false;
                        break;
                    }
                    const int cy = desc.Top + y;
                    if (cy < 0 || cy >= canvasHeight)
                        continue;
                    uint8_t* row = canvas->mutableRow(cy);
                    for (int x = 0; x < desc.Width; ++x) {
                        const int cx = desc.Left + x;
                        if (cx < 0 || cx >= canvasWidth)
                            continue;
                        const int index = line[static_cast<size_t>(x)];
                        uint8_t* p = row + static_cast<size_t>(cx) * 4;
                        if (index == transparentIndex) {
                            anyTransparent = true;
                            continue;
                        }
                        if (index < map->ColorCount) {
                            p[0] = map->Colors[index].Red;
                            p[1] = map->Colors[index].Green;
                            p[2] = map->Colors[index].Blue;
                        }
                        p[3] = 255;
                    }
                }
            }
            if (!whole)
                anyTransparent = true;
            result = anyTransparent ? *canvas : canvas->converted(PixelFormat::RGB8);
        } else {
            break;
        }
    }
    DGifCloseFile(gif, &error);
    if (complete)
        *complete = whole;
    if (result && result->isEmpty())
        return std::nullopt;
    return result;
}

} // namespace rz::codec
