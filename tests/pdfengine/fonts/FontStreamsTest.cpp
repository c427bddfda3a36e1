#include "pdfengine/fonts/PlatformFont.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/fonts/QXPDFMapTool.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rz;

namespace {

std::vector<uint32_t> streamUnitsOf(const QXPDFCharCodeToUnicode& map, uint32_t code)
{
    uint32_t u[16] = {};
    const int n = map.mapToUnicode(code, u, 16);
    return std::vector<uint32_t>(u, u + n);
}

uint32_t streamCidOf(const QXPDFCodeToCIDMap& map, const std::string& bytes, int* used = nullptr)
{
    int n = 0;
    const uint32_t cid = map.getCID(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), n);
    if (used)
        *used = n;
    return cid;
}

// The /Font resources of page 1.
pdf::Object pageFonts(const pdf::Document& doc)
{
    return doc.page(1).resources().get("Font");
}

} // namespace

TEST(FontStreams, ToUnicodeAndEmbeddedCMapStreams)
{
    test::PdfWriter w;
    const int toUnicode = w.addStream(
        "", "/CIDInit /ProcSet findresource begin begincmap\n"
            "1 beginbfchar <0041> <00660069> endbfchar\n"
            "1 beginbfrange <0061> <0063> <0041> endbfrange endcmap end",
        true);
    const int cmap = w.addStream(
        "/Type /CMap /CMapName /Embedded-V /WMode 1 /UseCMap /90ms-RKSJ-H",
        "1 begincidrange <8141> <8142> 7887 endcidrange");
    const int loop = w.reserve();
    w.setStream(loop, "/Type /CMap /UseCMap " + std::to_string(loop) + " 0 R",
                "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                "1 begincidrange <0000> <00FF> 0 endcidrange");
    const int font = w.add("<< /Type /Font /Subtype /Type0 /BaseFont /X /Encoding " +
                           std::to_string(cmap) + " 0 R /ToUnicode " + std::to_string(toUnicode) +
                           " 0 R /Loop " + std::to_string(loop) + " 0 R >>");
    const int content = w.addStream("", "BT ET");
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 100 100] /Contents " + std::to_string(content) +
                           " 0 R /Resources << /Font << /F1 " + std::to_string(font) +
                           " 0 R >> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    const int catalog = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = pdf::Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    const pdf::Object fontDict = pageFonts(*doc).get("F1");

    const auto map = QXPDFCharCodeToUnicode::parseCMap(fontDict.get("ToUnicode"), 16);
    ASSERT_TRUE(map);
    EXPECT_EQ(streamUnitsOf(*map, 0x41), (std::vector<uint32_t>{'f', 'i'}));
    EXPECT_EQ(streamUnitsOf(*map, 0x62), std::vector<uint32_t>{'B'});
    EXPECT_FALSE(QXPDFCharCodeToUnicode::parseCMap(fontDict.get("BaseFont"), 16));

    QXPDFCodeToCIDMapCache cache;
    const auto embedded = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Japan1-6", fontDict.get("Encoding"));
    ASSERT_TRUE(embedded);
    EXPECT_EQ(embedded->cMapName(), "Embedded-V");
    EXPECT_EQ(embedded->wMode(), 1);
    EXPECT_EQ(streamCidOf(*embedded, "\x81\x41"), 7887u);
    EXPECT_EQ(streamCidOf(*embedded, "\x82\xA0"), 843u) << "from the used CMap";

    // A stream that uses itself is read once.
    const auto looped = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Identity-0", fontDict.get("Loop"));
    ASSERT_TRUE(looped);
    int used = 0;
    EXPECT_EQ(streamCidOf(*looped, std::string("\x00\x41", 2), &used), 0x41u);
    EXPECT_EQ(used, 2);
    EXPECT_FALSE(QXPDFCodeToCIDMap::parse(&cache, "Adobe-Identity-0", fontDict.get("BaseFont")));
}

TEST(FontStreams, CorpusLigaturesKeepEveryUnit)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const auto doc = pdf::Document::open(test::corpusDir() + "/text/PDFBOX-4531-bidi-ligature-2.pdf");
    ASSERT_TRUE(doc);
    const auto map = QXPDFCharCodeToUnicode::parseCMap(pageFonts(*doc).get("C2_0").get("ToUnicode"), 16);
    ASSERT_TRUE(map);
    EXPECT_EQ(streamUnitsOf(*map, 0x03FB), (std::vector<uint32_t>{0x0644, 0x0627})); // lam alef
    EXPECT_EQ(streamUnitsOf(*map, 0x02CD), (std::vector<uint32_t>{0x05D0, 0x05BC})); // alef dagesh
}

TEST(FontStreams, CorpusPredefinedVerticalCMap)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const auto doc = pdf::Document::open(test::corpusDir() + "/text/simple3.pdf");
    ASSERT_TRUE(doc);
    const std::optional<std::string> name = pageFonts(*doc).get("F2").get("Encoding").name();
    ASSERT_EQ(name, std::optional<std::string>("V"));

    QXPDFCodeToCIDMapCache cache;
    const auto v = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Japan1-2", *name, std::nullopt);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->wMode(), 1);
    const auto unicode =
        QXPDFCharCodeToUnicode::parseCMap(*QXPDFMapTool::FindToUnicodeFile("Adobe-Japan1"), 16);
    // The page shows these JIS bytes; its text is "あいうえお".
    const std::string shown = "\x24\x22\x24\x24\x24\x26\x24\x28\x24\x2A";
    std::vector<uint32_t> text;
    for (size_t pos = 0; pos < shown.size(); pos += 2) {
        int used = 0;
        const uint32_t cid = streamCidOf(*v, shown.substr(pos), &used);
        ASSERT_EQ(used, 2);
        const std::vector<uint32_t> units = streamUnitsOf(*unicode, cid);
        text.insert(text.end(), units.begin(), units.end());
    }
    EXPECT_EQ(text, (std::vector<uint32_t>{0x3042, 0x3044, 0x3046, 0x3048, 0x304A}));
}

TEST(FontStreams, CorpusEmbeddedProgramsLoad)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    // (file, font key, program key, full name, advance of "A" at size 1 or
    // -1 for a subset whose character map lacks it)
    const struct {
        const char* file;
        const char* font;
        const char* program;
        const char* fullName;
        double widthOfA;
    } cases[] = {
        {"/text/AzureInterior.pdf", "F6", "FontFile2", "Lato Regular", -1},
        {"/text/PDFBOX-3044-010197-p5-ligatures.pdf", "R16", "FontFile3",
         "Nimbus Roman No9 L Regular", 0.722},
        {"/fonts/tracemonkey.pdf", "F42", "FontFile", "Nimbus Roman No9 L Regular", 0.722},
    };
    for (const auto& c : cases) {
        const auto doc = pdf::Document::open(test::corpusDir() + c.file);
        ASSERT_TRUE(doc) << c.file;
        const pdf::Object font = pageFonts(*doc).get(c.font);
        pdf::Object descriptor = font.get("FontDescriptor");
        if (descriptor.isNull()) // a composite font: its descendant's
            descriptor = font.get("DescendantFonts").at(0).get("FontDescriptor");
        const pdf::Object program = descriptor.get(c.program);
        ASSERT_TRUE(program.isStream()) << c.file;
        const auto loaded = PlatformFont::createWithData(program.streamData().bytes);
        ASSERT_TRUE(loaded) << c.file;
        EXPECT_EQ(loaded->fullName(), c.fullName) << c.file;
        EXPECT_GT(loaded->glyphCount(), 1) << c.file;
        if (c.widthOfA >= 0) {
            EXPECT_NEAR(QXPDFFontUtilities::CGFontWidthOfCharCode(loaded.get(), 1, u'A'),
                        c.widthOfA, 1e-9)
                << c.file;
        }
    }
}
