// Damaged files: deterministic mutations of a document that uses most of
// the object layer (page tree, compressed content with an inline image,
// predictors, fax and ASCII filters) are opened, scanned and decoded; the
// answers do not matter, only that nothing crashes, hangs or leaks.
#include "PdfTestUtil.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

using namespace rz;
using namespace rz::pdf;

namespace {

std::string richDocument()
{
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const int fax = w.addStream("/Subtype /Image /Width 16 /Height 4 /BitsPerComponent 1 /ImageMask true "
                                "/Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 16 /Rows 4 >>",
                                std::string("\x26\xA0\x00\x10\x01", 5));
    const int hex = w.addStream("/Subtype /Image /Width 2 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceGray "
                                "/Filter [/ASCIIHexDecode /ASCII85Decode]",
                                "3837 6355 524> ");
    const int png = w.addStream("/Subtype /Image /Width 3 /Height 2 /BitsPerComponent 8 /ColorSpace /DeviceGray "
                                "/DecodeParms << /Predictor 12 /Columns 3 >>",
                                std::string("\x01\x01\x01\x01\x02\x01\x01\x01", 8), true);
    const int form = w.addStream("/Subtype /Form /BBox [0 0 10 10] /Resources << >>", "0 0 m 5 5 l S (form) Tj");
    const int content = w.addStream(
        "", "q 1 0 0 1 10 20 cm /F1 12 Tf BT (Hello) Tj [(a) -20 (b)] TJ ET /Im1 Do /Im2 Do /Im3 Do /Fm Do "
            "BI /W 4 /H 2 /BPC 8 /CS /G ID 12345678\nEI "
            "BI /W 2 /H 2 /BPC 8 /CS /G /F /AHx ID 00ff00ff> EI "
            "<< /MCID 3 >> BDC [1 2 3] 0 d EMC Q",
        true);
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 200 200] /CropBox [10 10 190 190] /Rotate 90 /Contents " +
                           std::to_string(content) + " 0 R /Resources << /XObject << /Im1 " + std::to_string(fax) +
                           " 0 R /Im2 " + std::to_string(hex) + " 0 R /Im3 " + std::to_string(png) +
                           " 0 R /Fm " + std::to_string(form) + " 0 R >> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const int info = w.add("<< /Title <FEFF0041> >>");
    return w.build(catalog, info);
}

// Reads everything reachable the way the engine will.
void exercise(const Document& doc)
{
    (void)doc.version();
    (void)doc.infoString("Title");
    for (int n = 1; n <= doc.pageCount() && n <= 4; ++n) {
        const Page p = doc.page(n);
        for (Box b : {Box::Media, Box::Crop, Box::Bleed, Box::Trim, Box::Art})
            (void)p.boxRect(b);
        (void)p.rotationAngle();
        (void)p.drawingTransform(Box::Crop, Rect(0, 0, 100, 100), 90, true);
        const ContentStream content(p);
        (void)rz::pdftest::traceScan(content);
        const Object xobjects = p.resources().get("XObject");
        for (const std::string& key : xobjects.keys()) {
            const Object x = xobjects.get(key);
            (void)x.streamData();
            if (x.get("Subtype").name() == std::optional<std::string>("Form")) {
                const ContentStream form(x, x.get("Resources"), &content);
                (void)rz::pdftest::traceScan(form);
            }
        }
    }
}

} // namespace

TEST(PdfRobustness, MutatedDocumentsNeverCrash)
{
    const std::string original = richDocument();
    {
        const auto doc = Document::openData(original);
        ASSERT_TRUE(doc);
        const auto ops = rz::pdftest::traceScan(ContentStream(doc->page(1)));
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops.back(), "Q");
    }
    uint32_t state = 12345;
    auto next = [&] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    static const char kBytes[] = {'0', '9', '<', '>', '[', ']', '(', ')', '/', ' ', '\n', '\0', '\xFF', 'R', 'E', 'I'};
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        std::string bytes = original;
        const int edits = 1 + int(next() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = next() % bytes.size();
            switch (next() % 8) {
            case 0:
            case 1:
            case 2: bytes[at] = kBytes[next() % sizeof kBytes]; break;
            case 3:
            case 4: bytes.erase(at, 1 + next() % 16); break;
            case 5:
            case 6: bytes.insert(at, std::string(1 + next() % 4, kBytes[next() % sizeof kBytes])); break;
            default: bytes.resize(std::max<size_t>(at, bytes.size() / 2)); break;
            }
        }
        const auto doc = Document::openData(bytes);
        if (doc) {
            exercise(*doc);
            opened += doc->pageCount() > 0;
        }
    }
    // Most damage is repaired: the test reaches the scanner and decoders.
    EXPECT_GT(opened, 150);
}
