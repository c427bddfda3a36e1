// Image files: writing an Image in the output formats, recognising a file's
// format by its bytes, and reading it back.
//
// Writers: JPEG (libjpeg-turbo), PNG (libpng), TIFF (libtiff), GIF (giflib),
// JPEG 2000 (openjpeg, JP2 container), BMP and TGA (written directly).
// Readers: JPEG, PNG, TIFF, GIF, BMP and JPEG 2000 (JP2 or raw codestream).
//
// Resolution where the format can hold it: JPEG (JFIF density, whole dots
// per inch), PNG (pHYs, pixels per metre), TIFF (X/YResolution per inch),
// BMP (pixels per metre). GIF, TGA and JPEG 2000 files carry none.
#pragma once

#include "platform/image/Image.h"

#include <optional>
#include <string>
#include <string_view>

namespace rz {

enum class ImageType { JPEG, PNG, BMP, TIFF, GIF, TGA, JPEG2000 };

// The type for a file-type name ("jpeg", "jpg", "png", "bmp", "tiff", "tif",
// "gif", "tga", "jp2", any letter case) or a uniform type identifier
// ("public.jpeg", "public.png", "com.microsoft.bmp", "public.tiff",
// "com.compuserve.gif", "com.truevision.tga-image", "public.jpeg-2000").
std::optional<ImageType> imageTypeFromName(std::string_view name);
// The uniform type identifier of a type (listed above).
const char* imageTypeIdentifier(ImageType type);

// What a writer stores besides the pixels; an unset value is not written.
struct ImageProperties {
    // Resolution in dots per inch; written only when both are set, positive
    // and finite.
    std::optional<double> dpiX;
    std::optional<double> dpiY;
    // Lossy compression quality 0 (smallest) to 1 (best), JPEG and JPEG 2000
    // only. JPEG maps it to libjpeg's 0..100; JPEG 2000 is lossless at 1 and
    // below it cut to a fidelity that falls with the quality. Unset, or not
    // finite, means 1.
    std::optional<double> quality;
    // TIFF only: one bit per pixel (luminance threshold at one half, over
    // white), CCITT Group 4 compression. Otherwise TIFF is 8-bit with LZW.
    bool bilevel = false;
};

// The file's bytes, or nothing when the image cannot be encoded (empty, or
// larger than the format allows).
//
// JPEG, BMP (24-bit) and TGA (24-bit) have no alpha in this writer: an RGBA
// image is composited over white. PNG, GIF (one transparent index for
// alpha below one half), BMP and TGA (32-bit) and JPEG 2000 keep alpha.
// GIF: an image of at most 256 colours (255 with transparency) keeps them
// exactly; any other is mapped to a fixed palette of a 6x6x6 colour cube
// and a gray ramp with Floyd-Steinberg dithering.
std::optional<std::string> encodeImage(const Image& image, ImageType type,
                                       const ImageProperties& properties = {});

// The format recognised from the leading bytes; TGA has no signature and
// is never recognised.
std::optional<ImageType> detectImageType(std::string_view bytes);

// Decodes the first image of a file held in memory, the format recognised
// by its bytes. Formats: Gray8 for gray files without alpha, RGB8 for
// colour without alpha, RGBA8 (straight alpha) otherwise; CMYK JPEG and
// JPEG 2000 are converted to RGB (Adobe-inverted JPEG samples un-inverted
// first). `complete` (when given) is false when the data ended early or
// was damaged but enough decoded to give an image (JPEG, GIF and JPEG 2000
// give such partial images; the rest fail instead).
std::optional<Image> decodeImage(std::string_view bytes, bool* complete = nullptr);
// The same for a file; nothing when it cannot be read.
std::optional<Image> readImageFile(const std::string& path, bool* complete = nullptr);

// Samples of a JPEG or JPEG 2000 stream as coded, for callers that apply
// their own colour space (PDF's DCTDecode and JPXDecode data).
struct DecodedSamples {
    enum class ColorModel { Gray, RGB, CMYK, Other };

    int width = 0;
    int height = 0;
    // Components per pixel, interleaved, 8 bits each, rows top to bottom.
    int components = 0;
    std::vector<uint8_t> samples;
    // What the file says its components are: JPEG by its component count and
    // markers (YCbCr and YCCK are converted to RGB and CMYK); JPEG 2000 by
    // its colour specification (sYCC converted to RGB), else by the count.
    ColorModel model = ColorModel::Other;
    // JPEG: an Adobe APP14 marker was present. With 4 components this means
    // the samples are stored inverted (0 = full ink), as Adobe writes them;
    // the samples here are left as stored.
    bool adobeMarker = false;
    // JPEG 2000: the last component is an alpha channel.
    bool hasAlpha = false;
    // False when the data ended early or was damaged part-way.
    bool complete = true;
};

// Baseline, progressive, gray, RGB (YCbCr), CMYK and YCCK JPEG.
std::optional<DecodedSamples> decodeJPEG(std::string_view bytes);
// A JP2 file or a raw J2K codestream; components of other bit depths are
// scaled to 8 bits, subsampled components are repeated to the full size.
std::optional<DecodedSamples> decodeJPEG2000(std::string_view bytes);

} // namespace rz
