// The per-format encoders and decoders behind ImageCodec.h (library-internal).
#pragma once

#include "platform/image/ImageCodec.h"

#include <optional>
#include <string>
#include <string_view>

namespace rz::codec {

std::optional<std::string> encodeJPEG(const Image& image, const ImageProperties& properties);
std::optional<std::string> encodePNG(const Image& image, const ImageProperties& properties);
std::optional<std::string> encodeBMP(const Image& image, const ImageProperties& properties);
std::optional<std::string> encodeTIFF(const Image& image, const ImageProperties& properties);
std::optional<std::string> encodeGIF(const Image& image);
std::optional<std::string> encodeTGA(const Image& image);
std::optional<std::string> encodeJPEG2000(const Image& image, const ImageProperties& properties);

std::optional<Image> decodePNG(std::string_view bytes);
std::optional<Image> decodeBMP(std::string_view bytes);
std::optional<Image> decodeTIFF(std::string_view bytes);
std::optional<Image> decodeGIF(std::string_view bytes, bool* complete);

// An image of the decoded samples: gray, RGB, RGB plus alpha, CMYK
// converted to RGB (un-inverted first when `invertedCMYK`).
std::optional<Image> imageFromSamples(const DecodedSamples& samples, bool invertedCMYK);

// Resolution in dots per inch when both values are usable.
bool usableResolution(const ImageProperties& properties, double* dpiX, double* dpiY);

} // namespace rz::codec
