// Fuzz target for colour spaces and PDF functions.
//
// The input is up to three parts separated by lines holding "%%":
//   1. the syntax of the object under test (object 4 of a small document,
//      so it may refer to itself as "4 0 R");
//   2. the dictionary entries of a stream, object 3 ("3 0 R");
//   3. that stream's data.
// The object is read as a colour space and as a function; whatever comes
// out is converted and evaluated across a few inputs.
//
// fuzz-link: rz_pdfengine_color
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFFunction.h"
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

// A document whose catalog holds /T 4 0 R, with object 3 the stream.
std::string buildDocument(const std::vector<std::string>& parts)
{
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R /T 4 0 R >>",
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

void exerciseSpace(const rz::QXPDFColorSpace& space)
{
    rz::QXPDFColor color = space.getDefaultColor();
    space.getRGB(color);
    for (int v : {-300, 0, 77, 255, 65025, 40000000}) {
        color.c.fill(v);
        space.getGray(color);
        space.getRGB(color);
        space.getCMYK(color);
        space.getDeviceN(color);
    }
    if (const auto cg = space.CGColorSpace()) {
        const size_t n = cg->numberOfComponents();
        std::vector<std::uint8_t> samples(3 * n);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::uint8_t>(i * 97);
        std::uint8_t rgb[9];
        cg->convertRow8ToRGB8(samples.data(), 3, rgb);
    }
    space.copy();
}

void exerciseFunction(const rz::QXPDFFunction& function)
{
    double in[rz::kQXPDFMaxFunctionValues];
    double out[rz::kQXPDFMaxFunctionValues];
    for (double x : {-1.0, 0.0, 0.37, 0.5, 1.0, 1e9}) {
        for (double& v : in)
            v = x;
        function.transformInput(in, out);
    }
    const auto cgFunction = function.CGFunction();
    in[0] = 0.5;
    cgFunction->evaluate(in, out);
    function.copy();
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
    if (const auto space = rz::QXPDFColorSpace::ColorSpaceWithObject(object, "fuzz"))
        exerciseSpace(*space);
    if (const auto function = rz::QXPDFFunction::FuntionWithObject(object))
        exerciseFunction(*function);
    return 0;
}
