// Fuzz target for the content interpreter: a whole page run through the
// trace delegate, annotations included.
//
// The input is up to four parts separated by lines holding "%%":
//   1. the page's content stream;
//   2. the page's resource dictionary (PDF syntax; "<< >>" when empty);
//   3. the syntax of object 5, which the resources may name as "5 0 R";
//   4. stream object 6 ("6 0 R"): its dictionary entries on the first
//      line, its data after it.
// An input that starts with "%PDF" is read as a whole document instead, and
// its first pages are run.
//
// fuzz-link: rz_pdfengine
#include "pdfengine/parser/QXPDFTraceDelegate.h"
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
    while (parts.size() < 3) {
        const size_t sep = input.find("\n%%\n", start);
        if (sep == std::string::npos)
            break;
        parts.push_back(input.substr(start, sep - start));
        start = sep + 4;
    }
    parts.push_back(input.substr(start));
    parts.resize(4);
    return parts;
}

std::string stream(const std::string& entries, const std::string& data)
{
    return "<< " + entries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

// Catalog 1, page tree 2, page 3 with contents 4, then objects 5 and 6.
std::string buildDocument(const std::vector<std::string>& parts)
{
    const size_t eol = parts[3].find('\n');
    const std::string entries = eol == std::string::npos ? parts[3] : parts[3].substr(0, eol);
    const std::string data = eol == std::string::npos ? std::string() : parts[3].substr(eol + 1);
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources " +
            (parts[1].empty() ? std::string("<< >>") : parts[1]) + " >>",
        stream("", parts[0]),
        parts[2].empty() ? std::string("null") : parts[2],
        stream(entries, data),
    };
    std::string pdf = "%PDF-1.7\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < 6; ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 7\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        const std::string number = std::to_string(offset);
        pdf += std::string(10 - number.size(), '0') + number + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size > 1 << 18)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const bool whole = input.rfind("%PDF", 0) == 0;
    const auto doc = rz::pdf::Document::openData(whole ? input : buildDocument(splitParts(input)));
    if (!doc || !doc->isUnlocked())
        return 0;
    const int pages = std::min(doc->pageCount(), 3);
    for (int n = 1; n <= pages; ++n)
        rz::QXPDFTraceDelegate::tracePage(doc->page(n), true);
    return 0;
}
