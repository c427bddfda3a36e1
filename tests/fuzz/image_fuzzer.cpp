// Fuzz target for image extraction, shadings and patterns.
//
// The input is up to three parts separated by lines holding "%%":
//   1. the syntax of object 4 of a small document (it may refer to itself
//      as "4 0 R" and to the stream as "3 0 R");
//   2. the dictionary entries of a stream, object 3;
//   3. that stream's data.
// The stream is decoded as an image (object 4 serving as the /ColorSpace
// resource dictionary) and read as a tiling pattern; object 4 is read as a
// shading and as a pattern; what comes out is drawn into a small bitmap.
//
// fuzz-link: rz_pdfengine_images rz_pdfengine_color
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/color/QXPDFShading.h"
#include "pdfengine/images/QXPDFImageExtraction.h"
#include "platform/pdf/PdfDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> splitParts(const std::string& input)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() < 2) {
        const size_t sep = input.find("\n%%\n", start);
        if (sep == std::string::npos)
            break;
        parts.push_back(input.substr(start, sep - start));
        start = sep + 4;
    }
    parts.push_back(input.substr(start));
    parts.resize(3);
    return parts;
}

// A document whose catalog holds /T 4 0 R and /S 3 0 R.
std::string buildDocument(const std::vector<std::string>& parts)
{
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R /T 4 0 R /S 3 0 R >>",
        "<< /Type /Pages /Kids [] /Count 0 >>",
        "<< " + parts[1] + " /Length " + std::to_string(parts[2].size()) + " >>\nstream\n" + parts[2] +
            "\nendstream",
        parts[0],
    };
    std::string pdf = "%PDF-1.7\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < 4; ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 5\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        std::string number = std::to_string(offset);
        pdf += std::string(10 - number.size(), '0') + number + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

void draw(const rz::QXPDFPattern& pattern)
{
    auto bitmap = rz::BitmapContext::create(16, 16);
    pattern.drawInContext(*bitmap, rz::Affine::makeScale(2, 2));
    pattern.copy()->drawInContext(*bitmap, rz::Affine::identity());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    const auto parts = splitParts(std::string(reinterpret_cast<const char*>(data), size));
    const auto doc = rz::pdf::Document::openData(buildDocument(parts));
    if (!doc)
        return 0;
    const rz::pdf::Object object = doc->catalog().get("T");
    const rz::pdf::Object stream = doc->catalog().get("S");

    rz::QXPDFImageExtraction::imageWithPDFStream(stream, object, false);
    rz::QXPDFImageExtraction::imageWithPDFStream(stream, object, true);

    // Cells render as a plain image, so that tiling runs its geometry.
    rz::QXPDFPatternTiling::setCellRenderer(
        [](const rz::pdf::Object&, const rz::pdf::Object&, const rz::Rect&, int w, int h) {
            return rz::Image::make(w, h, rz::PixelFormat::RGBA8);
        });
    if (const auto shading = rz::QXPDFShading::ShadingWithObject(object, "fuzz")) {
        auto bitmap = rz::BitmapContext::create(16, 16);
        shading->drawInContext(*bitmap, rz::Affine::identity());
    }
    for (const rz::pdf::Object& o : {object, stream})
        if (const auto pattern = rz::QXPDFPattern::PatternWithObject(o, "fuzz"))
            draw(*pattern);
    return 0;
}
