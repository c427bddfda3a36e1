#include "pdfengine/images/QXPDFImageExtraction.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/color/CGColorSpace.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFICCBasedColorSpace.h"
#include "pdfengine/color/QXPDFSeparationColorSpace.h"
#include "pdfengine/images/QXPDFImageLimits.h"
#include "platform/core/Uuid.h"
#include "platform/image/ImageCodec.h"
#include "platform/pdf/StreamDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <vector>

namespace rz {

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- dictionary

// The value of a key or of its abbreviation.
pdf::Object entry(const pdf::Object& dict, const char* key, const char* abbreviation)
{
    if (dict.hasKey(key))
        return dict.get(key);
    if (abbreviation)
        return dict.get(abbreviation);
    return pdf::Object();
}

bool isDeviceName(const std::string& name)
{
    return name == "DeviceGray" || name == "G" || name == "DeviceRGB" || name == "RGB" ||
           name == "DeviceCMYK" || name == "CMYK" || name == "Pattern";
}

// ---------------------------------------------------------------- colour

// How samples of an image become pixels.
struct ImageColor {
    // The engine's space (null for image masks and for JPEG 2000 colours
    // taken from the codestream).
    std::shared_ptr<QXPDFColorSpace> space;
    // The drawing side's space the conversion uses (null for Separation,
    // DeviceN and image masks, which convert through the engine).
    CGColorSpaceRef cg;
    size_t components = 0;
    bool indexed = false;
    // Gray output: gray spaces and masks.
    bool gray = false;
    bool imageMask = false;
};

// [/Indexed base hival lookup] read leniently: hival clamped into 0..255,
// the lookup table padded with zeros to (hival + 1) × base components.
CGColorSpaceRef lenientIndexed(const pdf::Object& array)
{
    if (!array.isArray() || array.size() < 4)
        return nullptr;
    const auto base = QXPDFColorSpace::ColorSpaceWithObject(array.at(1), "QXPDFImageXObject");
    if (!base)
        return nullptr;
    const CGColorSpaceRef baseCG = base->CGColorSpace();
    if (!baseCG)
        return nullptr;
    const auto hivalNumber = array.at(2).number();
    if (!hivalNumber || !std::isfinite(*hivalNumber))
        return nullptr;
    const int hival = static_cast<int>(std::clamp(*hivalNumber, 0.0, 255.0));
    const pdf::Object table = array.at(3);
    std::string bytes;
    if (table.isString())
        bytes = *table.stringBytes();
    else if (table.isStream())
        bytes = table.streamData().bytes;
    const size_t needed = static_cast<size_t>(hival + 1) * baseCG->numberOfComponents();
    bytes.resize(needed, '\0');
    return cg::ColorSpace::indexed(baseCG, hival, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
}

// The colour of an image from its /ColorSpace object; `colorSpaces` is the
// resource dictionary for names. False when the space is unusable.
bool colorFromObject(const pdf::Object& object, const pdf::Object& colorSpaces, ImageColor* out)
{
    pdf::Object csObject = object;
    std::shared_ptr<QXPDFColorSpace> space = QXPDFColorSpace::ColorSpaceWithObject(csObject, "QXPDFImageXObject");
    if (!space && csObject.isName() && colorSpaces.isDictionary()) {
        const std::string name = *csObject.name();
        if (!isDeviceName(name) && colorSpaces.hasKey(name)) {
            csObject = colorSpaces.get(name);
            space = QXPDFColorSpace::ColorSpaceWithObject(csObject, "QXPDFImageXObject");
        }
    }
    if (!space)
        return false;
    out->space = space;
    switch (space->getMode()) {
    case QXPDFColorSpaceModeIndexed:
        out->indexed = true;
        out->components = 1;
        out->cg = lenientIndexed(csObject);
        return out->cg != nullptr;
    case QXPDFColorSpaceModeSeparation:
    case QXPDFColorSpaceModeDeviceN:
        out->components = static_cast<size_t>(std::max<long>(space->getNComps(), 0));
        return out->components > 0;
    case QXPDFColorSpaceModePattern:
        return false;
    default:
        break;
    }
    out->cg = space->CGColorSpace();
    if (!out->cg)
        return false;
    out->components = out->cg->numberOfComponents();
    const auto mode = space->getMode();
    out->gray = mode == QXPDFColorSpaceModeDeviceGray || mode == QXPDFColorSpaceModeCalGray ||
                (mode == QXPDFColorSpaceModeICCBased && out->components == 1);
    return out->components > 0 && out->components <= static_cast<size_t>(kQXPDFMaxColorComponents);
}

ImageColor deviceColor(size_t components)
{
    ImageColor c;
    c.components = components;
    if (components == 1) {
        c.cg = cg::ColorSpace::deviceGray();
        c.gray = true;
    } else if (components == 4) {
        c.cg = cg::ColorSpace::deviceCMYK();
    } else {
        c.cg = cg::ColorSpace::deviceRGB();
    }
    return c;
}

// ---------------------------------------------------------------- samples

// An image's samples as rows of `components` values of `bits` bits each,
// rows starting on a byte boundary. Reads past the end give zeros.
class SampleRows {
public:
    SampleRows(const std::string& data, int width, size_t components, int bits)
        : data_(data), width_(width), components_(components), bits_(bits),
          rowBytes_((static_cast<size_t>(width) * components * static_cast<size_t>(bits) + 7) / 8)
    {
    }

    // Raw values of row y (width × components of them).
    void rawRow(int y, std::vector<std::uint16_t>& out) const
    {
        const size_t count = static_cast<size_t>(width_) * components_;
        out.resize(count);
        const size_t start = static_cast<size_t>(y) * rowBytes_;
        const auto byteAt = [&](size_t i) -> unsigned {
            const size_t at = start + i;
            return at < data_.size() ? static_cast<unsigned char>(data_[at]) : 0u;
        };
        switch (bits_) {
        case 8:
            for (size_t i = 0; i < count; ++i)
                out[i] = static_cast<std::uint16_t>(byteAt(i));
            break;
        case 16:
            for (size_t i = 0; i < count; ++i)
                out[i] = static_cast<std::uint16_t>((byteAt(2 * i) << 8) | byteAt(2 * i + 1));
            break;
        default: {
            const unsigned mask = (1u << bits_) - 1;
            size_t bit = 0;
            for (size_t i = 0; i < count; ++i, bit += static_cast<size_t>(bits_)) {
                const unsigned byte = byteAt(bit / 8);
                const unsigned shift = 8 - static_cast<unsigned>(bits_) - static_cast<unsigned>(bit % 8);
                out[i] = static_cast<std::uint16_t>((byte >> shift) & mask);
            }
            break;
        }
        }
    }

private:
    const std::string& data_;
    int width_;
    size_t components_;
    int bits_;
    size_t rowBytes_;
};

// A raw value of `bits` bits scaled to 8 bits.
inline std::uint8_t toByte(std::uint16_t raw, int bits)
{
    switch (bits) {
    case 1:
        return raw ? 255 : 0;
    case 2:
        return static_cast<std::uint8_t>(raw * 85);
    case 4:
        return static_cast<std::uint8_t>(raw * 17);
    case 16:
        return static_cast<std::uint8_t>(raw >> 8);
    default:
        return static_cast<std::uint8_t>(raw);
    }
}

// ---------------------------------------------------------------- conversion

// Turns rows of raw samples into RGB (or gray) pixels.
class PixelConverter {
public:
    PixelConverter(const ImageColor& color, int bits, const std::vector<double>& decode)
        : color_(color), bits_(bits), decode_(decode)
    {
        const size_t n = color_.components;
        if (n == 1)
            buildTable();
    }

    size_t outputComponents() const { return color_.gray || color_.imageMask ? 1 : 3; }

    // `raw` holds count × components values; `out` receives count pixels.
    void convert(const std::uint16_t* raw, size_t count, std::uint8_t* out)
    {
        const size_t n = color_.components;
        const size_t outN = outputComponents();
        if (n == 1) {
            const int shift = bits_ == 16 ? 8 : 0;
            for (size_t p = 0; p < count; ++p) {
                const std::uint8_t* t = &table_[3 * (raw[p] >> shift)];
                if (outN == 1) {
                    out[p] = t[0];
                } else {
                    out[3 * p] = t[0];
                    out[3 * p + 1] = t[1];
                    out[3 * p + 2] = t[2];
                }
            }
            return;
        }
        bytes_.resize(count * n);
        for (size_t i = 0; i < count * n; ++i)
            bytes_[i] = toByte(raw[i], bits_);
        if (color_.cg) {
            if (outN == 3) {
                color_.cg->convertRow8ToRGB8(bytes_.data(), count, out, decode_.empty() ? nullptr : decode_.data());
            } else {
                rgb_.resize(count * 3);
                color_.cg->convertRow8ToRGB8(bytes_.data(), count, rgb_.data(),
                                             decode_.empty() ? nullptr : decode_.data());
                for (size_t p = 0; p < count; ++p)
                    out[p] = rgb_[3 * p + 1];
            }
            return;
        }
        // Separation and DeviceN through the tint transform, remembering
        // the colours already converted.
        for (size_t p = 0; p < count; ++p) {
            const std::uint8_t* s = &bytes_[p * n];
            std::uint64_t key = 0;
            const bool keyed = n <= 8;
            if (keyed) {
                for (size_t i = 0; i < n; ++i)
                    key = (key << 8) | s[i];
                const auto it = memo_.find(key);
                if (it != memo_.end()) {
                    std::memcpy(out + 3 * p, it->second.data(), 3);
                    continue;
                }
            }
            QXPDFColor color;
            color.isNull = 0;
            color.length = static_cast<std::int32_t>(n);
            for (size_t i = 0; i < n; ++i)
                color.c[i] = QXPDFColorComponentFromOperand(decodeValue(i, s[i], 255));
            const QXPDFRGB rgb = color_.space->getRGB(color);
            const std::array<std::uint8_t, 3> px{static_cast<std::uint8_t>(rgb.r), static_cast<std::uint8_t>(rgb.g),
                                                 static_cast<std::uint8_t>(rgb.b)};
            std::memcpy(out + 3 * p, px.data(), 3);
            if (keyed && memo_.size() < kQXPDFMaxTintTransformCache)
                memo_.emplace(key, px);
        }
    }

private:
    // The value of sample `s` (of `maxRaw` levels) of component i.
    double decodeValue(size_t i, double s, double maxRaw) const
    {
        double lo = 0, hi = 1;
        if (2 * i + 1 < decode_.size()) {
            lo = decode_[2 * i];
            hi = decode_[2 * i + 1];
        } else if (color_.cg) {
            color_.cg->componentRange(i, &lo, &hi);
        }
        return lo + s * (hi - lo) / maxRaw;
    }

    // One-component images: the colour of each raw value (8-bit and less)
    // or of each high byte (16-bit).
    void buildTable()
    {
        const int keyBits = bits_ == 16 ? 8 : bits_;
        const int levels = 1 << keyBits;
        const double maxRaw = levels - 1;
        table_.assign(3 * 256, 0);
        for (int s = 0; s < levels; ++s) {
            std::uint8_t* t = &table_[3 * static_cast<size_t>(s)];
            if (color_.imageMask) {
                // 0 paints (black), 1 leaves the page (white), after /Decode.
                const double v = decodeValue(0, s, maxRaw);
                t[0] = t[1] = t[2] = v >= 0.5 ? 255 : 0;
                continue;
            }
            const double v = decodeValue(0, s, maxRaw);
            if (color_.cg) {
                const auto rgb = color_.cg->toRGB(&v);
                for (int k = 0; k < 3; ++k)
                    t[k] = static_cast<std::uint8_t>(std::lround(std::clamp(rgb[k], 0.0, 1.0) * 255));
            } else {
                QXPDFColor color;
                color.isNull = 0;
                color.length = 1;
                color.c[0] = QXPDFColorComponentFromOperand(v);
                const QXPDFRGB rgb = color_.space->getRGB(color);
                t[0] = static_cast<std::uint8_t>(rgb.r);
                t[1] = static_cast<std::uint8_t>(rgb.g);
                t[2] = static_cast<std::uint8_t>(rgb.b);
            }
            if (color_.gray) // the gray level itself, not a luminance
                t[0] = t[1];
        }
    }

    const ImageColor& color_;
    int bits_;
    std::vector<double> decode_;
    std::vector<std::uint8_t> table_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint8_t> rgb_;
    std::unordered_map<std::uint64_t, std::array<std::uint8_t, 3>> memo_;
};

// ---------------------------------------------------------------- masks

// The colour-key ranges of a /Mask array for n components: [min max] pairs
// of raw sample values; nothing unless it holds 2n numbers.
std::optional<std::vector<double>> colorKeyRanges(const pdf::Object& mask, size_t components)
{
    if (!mask.isArray() || components == 0)
        return std::nullopt;
    const size_t used = std::min(mask.size(), kQXPDFMaxColorKeyNumbers);
    if (used < 2 * components)
        return std::nullopt;
    std::vector<double> ranges(2 * components);
    for (size_t i = 0; i < 2 * components; ++i) {
        const auto v = mask.at(i).number();
        if (!v || !std::isfinite(*v))
            return std::nullopt;
        ranges[i] = *v;
    }
    return ranges;
}

bool inColorKey(const std::uint16_t* raw, size_t components, const std::vector<double>& ranges)
{
    for (size_t i = 0; i < components; ++i)
        if (raw[i] < ranges[2 * i] || raw[i] > ranges[2 * i + 1])
            return false;
    return true;
}

// Component `k` of an image at (u, v) in 0..1 canvas units (y up),
// interpolated between the four nearest pixels.
double sampleBilinear(const Image& image, int k, double u, double v)
{
    const int w = image.width(), h = image.height();
    const int n = image.componentCount();
    const double fx = std::clamp(u * w - 0.5, 0.0, w - 1.0);
    const double fy = std::clamp((1 - v) * h - 0.5, 0.0, h - 1.0);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    const double ax = fx - x0, ay = fy - y0;
    const auto at = [&](int x, int y) { return static_cast<double>(image.row(y)[x * n + k]); };
    return (at(x0, y0) * (1 - ax) + at(x1, y0) * ax) * (1 - ay) + (at(x0, y1) * (1 - ax) + at(x1, y1) * ax) * ay;
}

// ---------------------------------------------------------------- decoding

struct Decoded {
    Image image;       // RGB8 or Gray8
    std::optional<Image> keyAlpha; // colour-key coverage (Gray8), when one applies
};

// Decodes the samples of an image stream (no soft or stencil mask applied).
std::optional<Decoded> decodeImageStream(const pdf::Object& stream, const pdf::Object& colorSpaces,
                                         bool isMaskStream)
{
    if (!stream.isStream())
        return std::nullopt;
    const pdf::Object dict = stream.dictionary();
    const auto width = entry(dict, "Width", "W").integer();
    const auto height = entry(dict, "Height", "H").integer();
    if (!width || !height || !isAcceptableImageSize(*width, *height) ||
        *width * *height > kQXPDFMaxExtractedImagePixels)
        return std::nullopt;
    const bool imageMask = entry(dict, "ImageMask", "IM").boolean().value_or(false);
    const pdf::Object bpcObject = entry(dict, "BitsPerComponent", "BPC");
    std::optional<long long> bpc = bpcObject.integer();
    if (imageMask)
        bpc = 1;

    pdf::StreamData data = stream.streamData();
    int w = static_cast<int>(*width);
    int h = static_cast<int>(*height);
    std::string samples;
    int bits = 0;
    ImageColor color;
    const pdf::Object csObject = entry(dict, "ColorSpace", "CS");

    if (data.format == pdf::StreamFormat::Raw) {
        if (!bpc || (*bpc != 1 && *bpc != 2 && *bpc != 4 && *bpc != 8 && *bpc != 16))
            return std::nullopt;
        bits = static_cast<int>(*bpc);
        if (imageMask) {
            color.components = 1;
            color.imageMask = true;
            color.gray = true;
        } else if (!csObject.isNull()) {
            if (!colorFromObject(csObject, colorSpaces, &color))
                return std::nullopt;
        } else {
            color = deviceColor(bits == 1 ? 1 : 3);
        }
        samples = std::move(data.bytes);
    } else {
        // JPEG and JPEG 2000: the codestream fixes the size and depth.
        std::optional<DecodedSamples> decoded;
        if (data.format == pdf::StreamFormat::JPEGEncoded) {
            if (!bpc && !imageMask)
                return std::nullopt;
            decoded = decodeJPEG(data.bytes);
        } else {
            decoded = decodeJPEG2000(data.bytes);
        }
        if (!decoded || !isAcceptableImageSize(decoded->width, decoded->height) ||
            static_cast<long long>(decoded->width) * decoded->height > kQXPDFMaxExtractedImagePixels ||
            decoded->components < 1)
            return std::nullopt;
        w = decoded->width;
        h = decoded->height;
        bits = 8;
        size_t n = static_cast<size_t>(decoded->components);
        // An alpha channel of a JPEG 2000 image is not a colour component.
        if (decoded->hasAlpha && n > 1) {
            const size_t m = n - 1;
            std::vector<std::uint8_t> stripped(static_cast<size_t>(w) * h * m);
            for (size_t p = 0, count = static_cast<size_t>(w) * h; p < count; ++p)
                std::memcpy(&stripped[p * m], &decoded->samples[p * n], m);
            decoded->samples = std::move(stripped);
            n = m;
        }
        if (imageMask) {
            color.components = 1;
            color.imageMask = true;
            color.gray = true;
        } else if (csObject.isNull() || !colorFromObject(csObject, colorSpaces, &color) ||
                   color.components != n) {
            // The codestream's own colours.
            color = deviceColor(n);
            if (n != 1 && n != 3 && n != 4)
                return std::nullopt;
        }
        if (color.imageMask && n != 1)
            return std::nullopt;
        samples.assign(reinterpret_cast<const char*>(decoded->samples.data()), decoded->samples.size());
    }

    const size_t n = color.components;
    std::vector<double> decode;
    const pdf::Object decodeObject = entry(dict, "Decode", "D");
    if (decodeObject.isArray() && decodeObject.size() >= 2 * n) {
        decode.resize(2 * n);
        for (size_t i = 0; i < 2 * n; ++i) {
            const auto v = decodeObject.at(i).number();
            if (!v || !std::isfinite(*v)) {
                decode.clear();
                break;
            }
            decode[i] = *v;
        }
    }
    if (decode.empty() && color.indexed) {
        // Indices run over 0 .. 2^bits − 1 (a 16-bit index by its high byte).
        decode = {0, static_cast<double>((1 << std::min(bits, 8)) - 1)};
    }

    std::optional<std::vector<double>> key;
    if (!imageMask && !isMaskStream)
        key = colorKeyRanges(dict.get("Mask"), n);

    PixelConverter converter(color, bits, decode);
    const size_t outN = converter.outputComponents();
    auto image = Image::make(w, h, outN == 1 ? PixelFormat::Gray8 : PixelFormat::RGB8);
    if (!image)
        return std::nullopt;
    std::optional<Image> keyAlpha;
    if (key) {
        keyAlpha = Image::make(w, h, PixelFormat::Gray8);
        if (!keyAlpha)
            return std::nullopt;
    }
    const SampleRows rows(samples, w, n, bits);
    std::vector<std::uint16_t> raw;
    for (int y = 0; y < h; ++y) {
        rows.rawRow(y, raw);
        converter.convert(raw.data(), static_cast<size_t>(w), image->mutableRow(y));
        if (keyAlpha) {
            std::uint8_t* alpha = keyAlpha->mutableRow(y);
            for (int x = 0; x < w; ++x)
                alpha[x] = inColorKey(&raw[static_cast<size_t>(x) * n], n, *key) ? 0 : 255;
        }
    }
    return Decoded{std::move(*image), std::move(keyAlpha)};
}

// The coverage of a soft mask (its gray levels) or of a stencil mask (its
// painted samples), as a gray image.
std::optional<Image> maskCoverage(const pdf::Object& maskStream, bool stencil)
{
    auto decoded = decodeImageStream(maskStream, pdf::Object(), true);
    if (!decoded)
        return std::nullopt;
    Image gray = decoded->image.isMonochrome() ? decoded->image : decoded->image.converted(PixelFormat::Gray8);
    if (stencil) {
        // A stencil mask paints (lets the image show) where its samples,
        // after /Decode, are 0, which the decoder gives as black.
        for (int y = 0; y < gray.height(); ++y) {
            std::uint8_t* row = gray.mutableRow(y);
            for (int x = 0; x < gray.width(); ++x)
                row[x] = static_cast<std::uint8_t>(255 - row[x]);
        }
    }
    return gray;
}

// The source with a coverage image as its alpha channel (sizes equal).
Image withAlpha(const Image& source, const Image& coverage)
{
    auto out = Image::make(source.width(), source.height(), PixelFormat::RGBA8);
    if (!out)
        return source;
    const Image rgb = source.format() == PixelFormat::RGB8 ? source : source.converted(PixelFormat::RGB8);
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* s = rgb.row(y);
        const std::uint8_t* a = coverage.row(y);
        std::uint8_t* d = out->mutableRow(y);
        for (int x = 0; x < rgb.width(); ++x) {
            d[4 * x] = s[3 * x];
            d[4 * x + 1] = s[3 * x + 1];
            d[4 * x + 2] = s[3 * x + 2];
            d[4 * x + 3] = a[x];
        }
    }
    return std::move(*out);
}

std::string extensionForFormat(pdf::StreamFormat format)
{
    switch (format) {
    case pdf::StreamFormat::Raw:
        return "png";
    case pdf::StreamFormat::JPEGEncoded:
        return "jpeg";
    case pdf::StreamFormat::JPEG2000:
        return "jp2";
    }
    return "raw";
}

pdf::StreamFormat formatOfStream(const pdf::Object& stream)
{
    return pdf::streamFormat(stream.dictionary());
}

std::string parentFolder(const std::string& path)
{
    return fs::path(path).parent_path().string();
}

} // namespace

// ---------------------------------------------------------------- public

std::string QXPDFImageExtraction::UUIDImagePathForStream(const pdf::Object& stream)
{
    return UUIDImagePathForStream(stream, QXPDFPathUtilities::homeTmpFolder());
}

std::string QXPDFImageExtraction::UUIDImagePathForStream(const pdf::Object& stream, const std::string& folder)
{
    const pdf::Object dict = stream.dictionary();
    std::string name;
    if (dict.hasKey("SMask") || dict.hasKey("Mask"))
        name = "IMG_Masked_" + makeUuidString() + ".png";
    else
        name = "IMG_" + makeUuidString() + "." + extensionForFormat(formatOfStream(stream));
    return QXPDFPathUtilities::getUUIDPathBy(folder + "/" + name);
}

std::optional<Image> QXPDFImageExtraction::imageWithPDFStream(const pdf::Object& stream,
                                                              const pdf::Object& colorSpaces,
                                                              bool isMaskStream, bool* masked)
{
    if (masked)
        *masked = false;
    auto decoded = decodeImageStream(stream, colorSpaces, isMaskStream);
    if (!decoded)
        return std::nullopt;
    Image image = std::move(decoded->image);
    const pdf::Object dict = stream.dictionary();
    const bool imageMask = entry(dict, "ImageMask", "IM").boolean().value_or(false);
    if (isMaskStream || imageMask)
        return image;

    const pdf::Object smask = dict.get("SMask");
    const pdf::Object mask = dict.get("Mask");
    std::optional<Image> coverage;
    bool maskStreamFound = false;
    if (smask.isStream()) {
        maskStreamFound = true;
        coverage = maskCoverage(smask, false);
    } else if (mask.isStream()) {
        maskStreamFound = true;
        coverage = maskCoverage(mask, true);
    }
    if (maskStreamFound) {
        if (masked)
            *masked = true;
        // A mask that does not decode leaves the image whole (still as PNG).
        if (!coverage)
            return image;
        return MaskSourceImage(image, coverage, Affine::identity());
    }
    if (decoded->keyAlpha) {
        if (masked)
            *masked = true;
        return withAlpha(image, *decoded->keyAlpha);
    }
    return image;
}

bool QXPDFImageExtraction::extractPDFStream(const pdf::Object& stream, const pdf::Object& colorSpaces,
                                            const std::string& path, float jpegQuality, bool isMaskStream)
{
    if (!stream.isStream() || path.empty())
        return false;
    QXPDFPathUtilities::createFolderIfNeed(parentFolder(path));
    bool masked = false;
    const auto image = imageWithPDFStream(stream, colorSpaces, isMaskStream, &masked);
    if (!image)
        return false;
    return QXWriteImageToURL(image, path, masked ? "public.png" : "public.jpeg", kQXPDFImageResolution,
                             kQXPDFImageResolution, jpegQuality);
}

std::string QXPDFImageExtraction::extractPDFMaskStream(const pdf::Object& maskStream)
{
    return extractPDFMaskStream(maskStream, QXPDFPathUtilities::homeTmpFolder());
}

std::string QXPDFImageExtraction::extractPDFMaskStream(const pdf::Object& maskStream, const std::string& folder)
{
    const std::string path = QXPDFPathUtilities::getUUIDPathBy(
        folder + "/SMask." + extensionForFormat(formatOfStream(maskStream)));
    extractPDFStream(maskStream, pdf::Object(), path, 1.0f, true);
    return path;
}

std::optional<Image> QXPDFImageExtraction::MaskSourceImage(const std::optional<Image>& source,
                                                           const std::optional<Image>& mask,
                                                           const Affine& transform)
{
    if (!source || source->isEmpty())
        return std::nullopt;
    if (!mask || mask->isEmpty())
        return source;
    const int width = std::max(source->width(), mask->width());
    const int height = std::max(source->height(), mask->height());
    auto out = Image::make(width, height, PixelFormat::RGBA8);
    if (!out)
        return std::nullopt;
    const Image rgb = source->format() == PixelFormat::RGB8 ? *source : source->converted(PixelFormat::RGB8);
    const Image gray = mask->isMonochrome() ? *mask : mask->converted(PixelFormat::Gray8);
    const bool plain = transform.isIdentity();
    const Affine inverse = invert(transform);
    const bool sameSource = rgb.width() == width && rgb.height() == height;
    const bool sameMask = gray.width() == width && gray.height() == height;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* d = out->mutableRow(y);
        for (int x = 0; x < width; ++x) {
            // The pixel centre in canvas units, y up, before the transform.
            Point p{x + 0.5, height - y - 0.5};
            if (!plain)
                p = apply(p, inverse);
            const double u = p.x / width, v = p.y / height;
            if (!(u >= 0 && u < 1 && v > 0 && v <= 1)) {
                std::memset(d + 4 * x, 0, 4);
                continue;
            }
            if (plain && sameSource) {
                std::memcpy(d + 4 * x, rgb.row(y) + 3 * x, 3);
            } else {
                for (int k = 0; k < 3; ++k)
                    d[4 * x + k] = static_cast<std::uint8_t>(std::lround(sampleBilinear(rgb, k, u, v)));
            }
            d[4 * x + 3] = plain && sameMask ? gray.row(y)[x]
                                             : static_cast<std::uint8_t>(std::lround(sampleBilinear(gray, 0, u, v)));
        }
    }
    return out;
}

int QXPDFImageExtraction::renderingIntentWithName(const std::string& name)
{
    if (name == "AbsoluteColorimetric")
        return QXPDFRenderingIntentAbsoluteColorimetric;
    if (name == "RelativeColorimetric")
        return QXPDFRenderingIntentRelativeColorimetric;
    if (name == "Perceptual")
        return QXPDFRenderingIntentPerceptual;
    if (name == "Saturation")
        return QXPDFRenderingIntentSaturation;
    return QXPDFRenderingIntentDefault;
}

} // namespace rz
