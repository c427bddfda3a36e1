// Helpers the engine and every exporter share: page boxes and the page
// rotation transform, operand popping for the colour operators, tolerant
// number and string getters over PDF objects, bitmap contexts, loading
// images from files and writing images in the output formats.
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/Image.h"
#include "platform/pdf/ContentScanner.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXPDFUtilities {
public:
    // The page's box (`pdfBox` 0 media, 1 crop; 2 to 4 bleed, trim, art)
    // for a rotation in degrees (any integer, normalised into 0..359). An
    // infinite, null or empty box becomes the A4 page (0, 0, 595, 842); for
    // 90 and 270 the origin's x and y and the width and height are swapped.
    static Rect GetPDFPageRect(const pdf::Page& page, int pdfBox, int rotationAngle);
    // GetPDFPageRect with the media (crop) box and the page's own rotation.
    static Rect MediaBoxOfPDFPage(const pdf::Page& page);
    static Rect CropBoxOfPDFPage(const pdf::Page& page);

    // The key's integer value (through single precision, so exact up to
    // 16,777,216) or real value; false when it holds neither. `value` may be
    // null (then only the answer is given).
    static bool GetNumberWithPDFDictionary(const pdf::Object& dictionary, std::string_view key, double* value);
    static bool GetNumberWithPDFArray(const pdf::Object& array, size_t index, double* value);
    // The key's name (when it is valid UTF-8), else its string decoded as
    // PDF text; nothing when it holds neither or the result is empty.
    static std::optional<std::string> GetStringWithPDFDictionary(const pdf::Object& dictionary,
                                                                 std::string_view key);
    static std::optional<std::string> GetStringWithPDFArray(const pdf::Object& array, size_t index);

    // An RGB bitmap with alpha of the size (each side truncated to whole
    // pixels), transparent, origin bottom-left. On failure prints
    // "Context not created!" (no line break) to standard error and gives nothing.
    static std::unique_ptr<BitmapContext> CreateARGBBitmapContextSize(Size size);

    // The first image of the file; nothing for an empty path, a missing or
    // unreadable file. The format is found from the bytes.
    static std::optional<Image> CGImageWithContentsOfFile(const std::string& path);
    // The same, as a gray image without alpha: gray images unchanged, any
    // other drawn over black and reduced to its luminance.
    static std::optional<Image> CGImageWithContentsOfFile_DeviceGray(const std::string& path);
};

// The transform from a page's PDF space to its display space for a rotation
// in degrees (normalised into 0..359) and a page width and height:
// 90 maps (x, y) to (y, x), 180 to (width - x, y), 270 to
// (width - y, height - x), and 0 and every other angle to (x, height - y).
Affine QXPageRotationTransform(int rotation, double width, double height);

// Pops up to `count` numbers off the scanner's operand stack into a buffer
// of `count` zeros, the last operand into the first slot. When nothing, or
// only one number, could be popped, the first slot is copied into every
// slot. The buffer is replaced at the next call (one per thread).
const std::vector<double>& QXPopScannerNumbers(pdf::Scanner& scanner, size_t count);

// The image of the file a URL names ("file://" URL, with percent escapes,
// or a plain path); nothing for other schemes or files that do not load.
std::optional<Image> QXImageFromURLString(const std::string& urlString);

// Writes the image to the file a URL names ("file://" URL or plain path)
// in the format of `type` (a type identifier such as "public.png" or
// "com.truevision.tga-image", or a name such as "png"). JPEG gets the
// resolution and the quality (0 to 1); JPEG 2000 the quality only; TIFF the
// resolution, one bit per pixel and CCITT Group 4; the others the
// resolution. A missing image, an unusable URL or an unknown type prints
// "Couldn't create image destination!\n"; a failed encoding or write prints
// "Couldn't write image to file!\n" and leaves no file behind. The file is
// replaced only once complete.
bool QXWriteImageToURL(const std::optional<Image>& image, const std::string& url, const std::string& type,
                       double xdpi, double ydpi, float quality);

} // namespace rz
