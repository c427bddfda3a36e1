// Image extraction: the image half of the engine's utilities. An image
// stream (raw samples, JPEG or JPEG 2000 data) with its colour space,
// decode array and masks becomes an image file that exporters read by path:
// PNG with alpha when a soft mask, a stencil mask (/Mask stream) or a
// colour-key mask applies, JPEG otherwise. Colours are read through the
// engine's own colour spaces (Separation and DeviceN through their tint
// transforms).
//
// Stream dictionary keys, the abbreviation accepted where one is given:
// /Width (/W), /Height (/H), /BitsPerComponent (/BPC; 1 for image masks,
// from the codestream for JPEG 2000 when absent), /ColorSpace (/CS),
// /Decode (/D), /ImageMask (/IM), /Interpolate (/I), /Intent, /SMask, /Mask.
//
// Bad data fails the image, never the process: sizes are checked against
// kMaxImagePixels before anything is allocated, short sample data is padded
// with zeros, indexed lookups are clamped onto a zero-padded table, and
// JPEG or JPEG 2000 data that does not decode gives no image (and no file).
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/image/Image.h"
#include "platform/pdf/PdfObject.h"

#include <optional>
#include <string>

namespace rz {

// Quality of the JPEG files written for images without masks.
inline constexpr float kQXPDFImageJPEGQuality = 0.92f;
// Resolution written into every image file, in dots per inch.
inline constexpr double kQXPDFImageResolution = 72;

// Rendering intents by their /Intent name.
enum QXPDFRenderingIntent : int {
    QXPDFRenderingIntentDefault = 0,
    QXPDFRenderingIntentAbsoluteColorimetric = 1,
    QXPDFRenderingIntentRelativeColorimetric = 2,
    QXPDFRenderingIntentPerceptual = 3,
    QXPDFRenderingIntentSaturation = 4,
};

class QXPDFImageExtraction {
public:
    // A fresh cache path for the stream: "IMG_<UUID>" with ".png" (raw
    // samples), ".jpeg" (JPEG), ".jp2" (JPEG 2000) or ".raw", or
    // "IMG_Masked_<UUID>.png" when the dictionary has /SMask or /Mask, made
    // unique with a further "-<UUID>" before the extension. The first form
    // places it in the current job's temporary folder
    // (QXPDFPathUtilities::homeTmpFolder()), the second in `folder`.
    // The extension is only a name: the file's content follows the rules of
    // extractPDFStream.
    static std::string UUIDImagePathForStream(const pdf::Object& stream);
    static std::string UUIDImagePathForStream(const pdf::Object& stream, const std::string& folder);

    // Decodes the image stream and writes it to `path` (its folder is
    // created): PNG when a mask applied, else JPEG at `jpegQuality`, both at
    // kQXPDFImageResolution. `colorSpaces` is a /ColorSpace resource
    // dictionary (or null) in which a /ColorSpace name that is not a device
    // name is looked up. With `isMaskStream` the stream is read as a mask:
    // its own masks are not applied. True when the file was written.
    static bool extractPDFStream(const pdf::Object& stream, const pdf::Object& colorSpaces,
                                 const std::string& path, float jpegQuality, bool isMaskStream);

    // Writes a soft or stencil mask stream as a gray image file named
    // "SMask.<ext>" (made unique) in the current job's temporary folder, or
    // in `folder`; answers the path whether or not the write succeeded.
    static std::string extractPDFMaskStream(const pdf::Object& maskStream);
    static std::string extractPDFMaskStream(const pdf::Object& maskStream, const std::string& folder);

    // The source seen through the mask: nothing without a source, the
    // source itself without a mask; otherwise an RGBA image as wide as the
    // wider and as high as the higher of the two, the source and the mask
    // (its gray level as coverage: white opaque, black transparent) each
    // stretched over it. `transform` maps the canvas (pixels, origin
    // bottom-left) before both are drawn; the identity leaves it unchanged.
    static std::optional<Image> MaskSourceImage(const std::optional<Image>& source,
                                                const std::optional<Image>& mask,
                                                const Affine& transform);

    // The image of the stream as extractPDFStream would write it: RGBA
    // when a mask applied, else RGB (Gray for gray spaces and masks);
    // nothing when it cannot be decoded. `masked` (when given) says whether
    // a mask applied.
    static std::optional<Image> imageWithPDFStream(const pdf::Object& stream,
                                                   const pdf::Object& colorSpaces, bool isMaskStream,
                                                   bool* masked = nullptr);

    // The rendering intent of an /Intent name (0 for anything unknown).
    static int renderingIntentWithName(const std::string& name);
};

} // namespace rz
