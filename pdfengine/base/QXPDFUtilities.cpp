#include "pdfengine/base/QXPDFUtilities.h"

#include "platform/core/Uuid.h"
#include "platform/image/ImageCodec.h"
#include "platform/text/Utf.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <system_error>

namespace rz {

namespace {

// Degrees into 0..359: whole turns added to a negative angle, the rest
// reduced modulo 360. 64-bit so that the most negative int cannot overflow.
int normalizedRotation(int angle)
{
    long long a = angle;
    if (a < 0)
        a += 360 * ((359 - a) / 360);
    if (a > 359)
        a %= 360;
    return static_cast<int>(a);
}

const Rect kA4Page(0, 0, 595, 842);

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// The file path a URL string names: a "file:" URL (host empty or
// "localhost", percent escapes decoded) or a plain absolute or relative
// path. Empty for any other scheme.
std::string pathFromURLString(const std::string& url)
{
    if (url.empty())
        return {};
    if (!startsWithIgnoringCase(url, "file:")) {
        const size_t colon = url.find(':');
        const size_t slash = url.find('/');
        if (colon != std::string::npos && (slash == std::string::npos || colon < slash))
            return {}; // another scheme
        return url;
    }
    std::string_view rest = std::string_view(url).substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return {};
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !(host.size() == 9 && startsWithIgnoringCase(host, "localhost")))
            return {};
        rest.remove_prefix(slash);
    }
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && hexValue(rest[i + 1]) >= 0 && hexValue(rest[i + 2]) >= 0) {
            path.push_back(static_cast<char>(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2])));
            i += 2;
        } else {
            path.push_back(rest[i]);
        }
    }
    if (path.empty() || path.find('\0') != std::string::npos)
        return {};
    return path;
}

std::optional<std::string> nameOrText(const pdf::Object& object)
{
    if (const auto name = object.name()) {
        if (name->empty() || !isValidUtf8(*name))
            return std::nullopt;
        return name;
    }
    if (object.isString()) {
        auto text = object.text();
        if (!text || text->empty())
            return std::nullopt;
        return text;
    }
    return std::nullopt;
}

bool numberOf(const pdf::Object& object, double* value)
{
    double v = 0;
    if (object.isInteger()) {
        const auto i = object.integer();
        if (!i)
            return false;
        v = static_cast<double>(static_cast<float>(*i));
    } else if (object.isReal()) {
        const auto r = object.number();
        if (!r)
            return false;
        v = *r;
    } else {
        return false;
    }
    if (value)
        *value = v;
    return true;
}

// Writes the bytes beside the destination, then moves them into place.
bool writeFileAtomically(const std::string& path, const std::string& bytes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    if (fs::is_directory(target, ec))
        return false;
    const fs::path temporary = target.string() + ".part-" + makeUuidString();
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

void printError(const char* line)
{
    std::fputs(line, stderr);
    std::fflush(stderr);
}

} // namespace

Rect QXPDFUtilities::GetPDFPageRect(const pdf::Page& page, int pdfBox, int rotationAngle)
{
    Rect box = Rect::null();
    if (pdfBox >= 0 && pdfBox <= 4)
        box = page.boxRect(static_cast<pdf::Box>(pdfBox));
    if (box.isInfinite() || box.isNull() || box.isEmpty())
        box = kA4Page;
    const int rotation = normalizedRotation(rotationAngle);
    if (rotation == 90 || rotation == 270)
        return Rect(box.origin.y, box.origin.x, box.size.height, box.size.width);
    return box;
}

Rect QXPDFUtilities::MediaBoxOfPDFPage(const pdf::Page& page)
{
    return GetPDFPageRect(page, 0, page.rotationAngle());
}

Rect QXPDFUtilities::CropBoxOfPDFPage(const pdf::Page& page)
{
    return GetPDFPageRect(page, 1, page.rotationAngle());
}

bool QXPDFUtilities::GetNumberWithPDFDictionary(const pdf::Object& dictionary, std::string_view key, double* value)
{
    if (!dictionary.isDictionary() && !dictionary.isStream())
        return false;
    return numberOf(dictionary.get(key), value);
}

bool QXPDFUtilities::GetNumberWithPDFArray(const pdf::Object& array, size_t index, double* value)
{
    if (!array.isArray() || index >= array.size())
        return false;
    return numberOf(array.at(index), value);
}

std::optional<std::string> QXPDFUtilities::GetStringWithPDFDictionary(const pdf::Object& dictionary,
                                                                      std::string_view key)
{
    if (!dictionary.isDictionary() && !dictionary.isStream())
        return std::nullopt;
    return nameOrText(dictionary.get(key));
}

std::optional<std::string> QXPDFUtilities::GetStringWithPDFArray(const pdf::Object& array, size_t index)
{
    if (!array.isArray() || index >= array.size())
        return std::nullopt;
    return nameOrText(array.at(index));
}

std::unique_ptr<BitmapContext> QXPDFUtilities::CreateARGBBitmapContextSize(Size size)
{
    auto context = BitmapContext::create(size.width, size.height, BitmapFormat::ARGB);
    if (!context)
        printError("Context not created!");
    return context;
}

std::optional<Image> QXPDFUtilities::CGImageWithContentsOfFile(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    return readImageFile(path);
}

std::optional<Image> QXPDFUtilities::CGImageWithContentsOfFile_DeviceGray(const std::string& path)
{
    auto image = CGImageWithContentsOfFile(path);
    if (!image || image->isMonochrome())
        return image;
    // Drawn into a black gray bitmap: colour over black, then luminance.
    Image gray = image->converted(PixelFormat::Gray8, 0);
    if (gray.isEmpty())
        return std::nullopt;
    return gray;
}

Affine QXPageRotationTransform(int rotation, double width, double height)
{
    Affine t = Affine::identity();
    t = translate(t, 0, height);
    t = scale(t, 1, -1);
    switch (normalizedRotation(rotation)) {
    case 90:
        t = translate(t, 0, height);
        t = rotate(t, -std::numbers::pi / 2);
        break;
    case 180:
        t = translate(t, width, height);
        t = rotate(t, std::numbers::pi);
        break;
    case 270:
        t = translate(t, width, 0);
        t = rotate(t, std::numbers::pi / 2);
        break;
    default:
        break;
    }
    return t;
}

const std::vector<double>& QXPopScannerNumbers(pdf::Scanner& scanner, size_t count)
{
    static thread_local std::vector<double> buffer;
    buffer.assign(count, 0.0);
    size_t popped = 0;
    while (popped < count) {
        double value = 0;
        if (!scanner.popNumber(&value))
            break;
        buffer[popped++] = value;
    }
    if (popped <= 1)
        for (size_t i = 1; i < count; ++i)
            buffer[i] = buffer[0];
    return buffer;
}

std::optional<Image> QXImageFromURLString(const std::string& urlString)
{
    const std::string path = pathFromURLString(urlString);
    if (path.empty())
        return std::nullopt;
    return QXPDFUtilities::CGImageWithContentsOfFile(path);
}

bool QXWriteImageToURL(const std::optional<Image>& image, const std::string& url, const std::string& type,
                       double xdpi, double ydpi, float quality)
{
    const std::string path = pathFromURLString(url);
    const auto imageType = imageTypeFromName(type);
    if (!image || image->isEmpty() || path.empty() || !imageType) {
        printError("Couldn't create image destination!\n");
        return false;
    }
    ImageProperties properties;
    if (*imageType != ImageType::JPEG2000) {
        properties.dpiX = xdpi;
        properties.dpiY = ydpi;
    }
    if (*imageType == ImageType::JPEG || *imageType == ImageType::JPEG2000)
        properties.quality = quality;
    if (*imageType == ImageType::TIFF)
        properties.bilevel = true;
    const auto bytes = encodeImage(*image, *imageType, properties);
    if (!bytes || !writeFileAtomically(path, *bytes)) {
        printError("Couldn't write image to file!\n");
        return false;
    }
    return true;
}

} // namespace rz
