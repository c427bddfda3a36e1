// Helpers of the image-extraction tests: one-page PDFs that draw one image,
// image streams found by object number, pdfimages as the reference reader,
// and pixel comparisons with a tolerance.
#pragma once

#include "platform/image/Image.h"
#include "platform/image/ImageCodec.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace rz::test {

// A one-page PDF whose page draws the image object `image` as /Im0 over
// its whole media box (width × height points).
inline std::string imagePagePdf(PdfWriter& w, int image, int width, int height)
{
    const std::string content = "q " + std::to_string(width) + " 0 0 " + std::to_string(height) +
                                " 0 0 cm /Im0 Do Q";
    const int contents = w.addStream("", content);
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /MediaBox [0 0 " +
                           std::to_string(width) + " " + std::to_string(height) +
                           "] /Resources << /XObject << /Im0 " + std::to_string(image) +
                           " 0 R >> >> /Contents " + std::to_string(contents) + " 0 R >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    return w.build(root);
}

// An open fixture document and the path of its file.
struct ImageDoc {
    std::string path;
    std::shared_ptr<pdf::Document> doc;
    // /Im0 of page 1.
    pdf::Object image() const { return doc->page(1).resources().get("XObject").get("Im0"); }
};

inline ImageDoc openImageDoc(const std::string& pdf)
{
    ImageDoc d;
    d.path = writeTempFile(pdf, "image.pdf");
    d.doc = pdf::Document::open(d.path);
    return d;
}

// The image XObject with object number `number` drawn on the page (through
// forms as well), or null.
inline pdf::Object findXObject(const pdf::Object& resources, int number, int depth = 0)
{
    if (depth > 8)
        return {};
    const pdf::Object xobjects = resources.get("XObject");
    for (const auto& key : xobjects.keys()) {
        const pdf::Object x = xobjects.get(key);
        if (x.id().number == number)
            return x;
        if (x.isStream() && x.get("Subtype").name() == "Form") {
            const pdf::Object found = findXObject(x.get("Resources"), number, depth + 1);
            if (!found.isNull())
                return found;
        }
    }
    return {};
}

// The images pdfimages writes for page `page` with -png, in list order:
// the file of each and its "type" column (image, smask, mask, stencil).
struct ReferenceImage {
    std::string type;
    int objectNumber = 0;
    std::string file;
};

inline std::vector<ReferenceImage> pdfimagesReference(const std::string& pdfPath, int page)
{
    std::vector<ReferenceImage> out;
    const std::string dir = makeTempDir();
    const std::string p = std::to_string(page);
    std::string list;
    if (runCommand("pdfimages -list -f " + p + " -l " + p + " '" + pdfPath + "' 2>/dev/null", &list) != 0)
        return out;
    if (runCommand("pdfimages -png -f " + p + " -l " + p + " '" + pdfPath + "' '" + dir + "/img' 2>/dev/null") != 0)
        return out;
    std::istringstream lines(list);
    std::string line;
    int index = 0;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        if (++lineNumber <= 2)
            continue;
        std::istringstream fields(line);
        std::vector<std::string> f;
        std::string s;
        while (fields >> s)
            f.push_back(s);
        if (f.size() < 12)
            continue;
        char name[32];
        std::snprintf(name, sizeof name, "/img-%03d.png", index++);
        out.push_back({f[2], std::atoi(f[10].c_str()), dir + name});
    }
    return out;
}

// Mean absolute difference per component of two images of the same size,
// both read as `format`; a negative value when the sizes differ.
inline double meanDifference(const Image& a, const Image& b, PixelFormat format)
{
    if (a.width() != b.width() || a.height() != b.height())
        return -1;
    const Image x = a.converted(format);
    const Image y = b.converted(format);
    const size_t rowLength = static_cast<size_t>(x.width()) * static_cast<size_t>(x.componentCount());
    double sum = 0;
    for (int r = 0; r < x.height(); ++r)
        for (size_t i = 0; i < rowLength; ++i)
            sum += std::abs(int(x.row(r)[i]) - int(y.row(r)[i]));
    return sum / (static_cast<double>(rowLength) * x.height());
}

// The alpha channel of an RGBA image as a gray image.
inline Image alphaOf(const Image& rgba)
{
    auto out = Image::make(rgba.width(), rgba.height(), PixelFormat::Gray8);
    for (int y = 0; y < rgba.height(); ++y)
        for (int x = 0; x < rgba.width(); ++x)
            out->mutableRow(y)[x] = rgba.format() == PixelFormat::RGBA8 ? rgba.row(y)[4 * x + 3] : 255;
    return *out;
}

// Straight alpha RGB without the alpha channel.
inline Image colorOf(const Image& rgba)
{
    if (rgba.format() != PixelFormat::RGBA8)
        return rgba.converted(PixelFormat::RGB8);
    auto out = Image::make(rgba.width(), rgba.height(), PixelFormat::RGB8);
    for (int y = 0; y < rgba.height(); ++y)
        for (int x = 0; x < rgba.width(); ++x)
            for (int k = 0; k < 3; ++k)
                out->mutableRow(y)[3 * x + k] = rgba.row(y)[4 * x + k];
    return *out;
}

// Every component inverted (alpha kept).
inline Image inverted(const Image& image)
{
    Image out = image;
    const int n = out.componentCount() - (out.hasAlpha() ? 1 : 0);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            for (int k = 0; k < n; ++k) {
                uint8_t& v = out.mutableRow(y)[x * out.componentCount() + k];
                v = static_cast<uint8_t>(255 - v);
            }
    return out;
}

inline std::string readFile(const std::string& path)
{
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

inline size_t filesIn(const std::string& folder)
{
    std::error_code ec;
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

} // namespace rz::test
