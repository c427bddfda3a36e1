// Composite fonts: CMaps (named, Identity, embedded), descendants, widths
// from /DW /W /DW2 /W2, Unicode from ToUnicode or the collection, the
// CID-to-glyph map, and the limits on sizes read from the file.
#include "pdfengine/fonts/PlatformFont.h"
#include "pdfengine/fonts/QXPDFCIDTypeFont.h"
#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFType0Font.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/text/Utf.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace rz;

namespace {

// A document whose page resources hold the given fonts (/F0, /F1, ...).
class Fixture {
public:
    std::string add(const std::string& body) { return ref(w_.add(body)); }
    std::string addStream(const std::string& dict, const std::string& data, bool flate = false)
    {
        return ref(w_.addStream(dict, data, flate));
    }
    int reserve() { return w_.reserve(); }
    void setStream(int n, const std::string& dict, const std::string& data) { w_.setStream(n, dict, data); }
    static std::string ref(int n) { return std::to_string(n) + " 0 R"; }

    // A Type 0 font around one descendant dictionary (given as PDF syntax).
    void type0(const std::string& encoding, const std::string& descendant, const std::string& extra = {})
    {
        const std::string d = add(descendant);
        font("<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+TestCID /Encoding " + encoding +
             " /DescendantFonts [" + d + "] " + extra + " >>");
    }
    void font(const std::string& body) { fonts_.push_back(w_.add(body)); }

    void open()
    {
        std::string entries;
        for (size_t i = 0; i < fonts_.size(); ++i)
            entries += "/F" + std::to_string(i) + " " + ref(fonts_[i]) + " ";
        const int content = w_.addStream("", "BT ET");
        const int pages = w_.reserve();
        const int page = w_.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 10 10] "
                                "/Contents " + ref(content) + " /Resources << /Font << " + entries +
                                ">> >> >>");
        w_.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
        doc_ = pdf::Document::openData(w_.build(w_.add("<< /Type /Catalog /Pages " + ref(pages) + " >>")));
        ASSERT_TRUE(doc_);
    }
    std::shared_ptr<QXPDFFont> make(size_t i) const
    {
        const pdf::Object dict = doc_->page(1).resources().get("Font").get("F" + std::to_string(i));
        return QXPDFFont::FontWithDictionary(dict, "F" + std::to_string(i));
    }
    std::shared_ptr<QXPDFType0Font> type0At(size_t i) const
    {
        return std::dynamic_pointer_cast<QXPDFType0Font>(make(i));
    }

private:
    test::PdfWriter w_;
    std::vector<int> fonts_;
    std::shared_ptr<pdf::Document> doc_;
};

const std::string kCIDFont0 =
    "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /TestCID /CIDSystemInfo << /Registry (Adobe) "
    "/Ordering (Identity) /Supplement 0 >> ";

struct Char {
    int used = 0;
    uint32_t code = 0;
    std::u16string text;
    double dx = 0, dy = 0, ox = 0, oy = 0;
};

Char next(const QXPDFFont& font, const std::string& bytes)
{
    Char c;
    char16_t u[QXPDFFont::kCharUnitCapacity] = {};
    int uLen = 0;
    c.used = font.getNextChar(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()),
                              &c.code, u, QXPDFFont::kCharUnitCapacity, &uLen, &c.dx, &c.dy, &c.ox, &c.oy);
    c.text.assign(u, u + uLen);
    return c;
}

std::string decodeAllComposite(const QXPDFFont& font, const std::string& bytes)
{
    std::string out;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const Char c = next(font, bytes.substr(pos));
        if (c.used < 1)
            return out + "<stalled>";
        out += utf16ToUtf8(c.text);
        pos += static_cast<size_t>(c.used);
    }
    return out;
}

std::string be16(uint16_t v)
{
    return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}

} // namespace

TEST(CompositeFont, WidthsFromW)
{
    Fixture f;
    f.type0("/Identity-H", kCIDFont0 + "/DW 800 /W [1 [500 600] 10 20 300 30] >>");
    f.type0("/Identity-H", kCIDFont0 + "/DW 700.5 /W [5 (x) 7 [250] -1 [100] 9 [900]] >>");
    f.type0("/Identity-H", kCIDFont0 + "/W [0 4294967295 400 4294967296 [1]] >>");
    f.open();

    const auto font = f.type0At(0);
    ASSERT_TRUE(font);
    const QXPDFFontCIDWidths& w = font->cidTypeFont()->cidWidths();
    EXPECT_NEAR(w.defWidth, 0.8, 1e-12);
    ASSERT_EQ(w.nExceps(), 3) << "the trailing lone integer is ignored";
    EXPECT_EQ(w.exceps[0], (QXPDFFontCIDWidthExcep{1, 1, 0.5}));
    EXPECT_EQ(w.exceps[1], (QXPDFFontCIDWidthExcep{2, 2, 0.6}));
    EXPECT_EQ(w.exceps[2], (QXPDFFontCIDWidthExcep{10, 20, 0.3}));
    // Below the first exception, inside a range, between ranges.
    EXPECT_NEAR(next(*font, be16(0)).dx, 0.8, 1e-12);
    EXPECT_NEAR(next(*font, be16(2)).dx, 0.6, 1e-12);
    EXPECT_NEAR(next(*font, be16(15)).dx, 0.3, 1e-12);
    EXPECT_NEAR(next(*font, be16(5)).dx, 0.8, 1e-12);
    EXPECT_NEAR(next(*font, be16(21)).dx, 0.8, 1e-12);
    EXPECT_EQ(next(*font, be16(15)).dy, 0);

    // A real /DW is ignored; a non-integer first CID ends the walk.
    const auto odd = f.type0At(1);
    ASSERT_TRUE(odd);
    const QXPDFFontCIDWidths& w2 = odd->cidTypeFont()->cidWidths();
    EXPECT_NEAR(w2.defWidth, 1.0, 1e-12);
    ASSERT_EQ(w2.nExceps(), 0) << "(x) is not a CID";

    // A range over every 32-bit CID is one entry; a CID beyond 32 bits ends the walk.
    const auto huge = f.type0At(2);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->cidTypeFont()->cidWidths().nExceps(), 1);
    EXPECT_NEAR(next(*huge, be16(0xFFFF)).dx, 0.4, 1e-12);
}

TEST(CompositeFont, VerticalMetrics)
{
    Fixture f;
    f.type0("/Identity-V", kCIDFont0 + "/DW 1000 /DW2 [880 -1000] >>");
    f.type0("/Identity-V", kCIDFont0 + "/DW 600 /DW2 -900 /W2 [5 [-500 300 700 -600 310 710] "
                                       "20 30 -1000 450 880 40 [-1 /x 1]] >>");
    f.open();

    const auto font = f.type0At(0);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->wMode(), 1);
    const Char c = next(*font, be16(0x41));
    EXPECT_EQ(c.dx, 0);
    EXPECT_NEAR(c.dy, -1.0, 1e-12);
    EXPECT_NEAR(c.ox, 0.5, 1e-12);
    EXPECT_NEAR(c.oy, 0.88, 1e-12);

    const auto w2 = f.type0At(1);
    ASSERT_TRUE(w2);
    const QXPDFFontCIDWidths& widths = w2->cidTypeFont()->cidWidths();
    EXPECT_NEAR(widths.defHeight, -0.9, 1e-12);
    ASSERT_EQ(widths.nExcepsV(), 3);
    EXPECT_EQ(widths.excepsV[1], (QXPDFFontCIDWidthExcepV{6, 6, -0.6, 0.31, 0.71}));
    const Char six = next(*w2, be16(6));
    EXPECT_NEAR(six.dy, -0.6, 1e-12);
    EXPECT_NEAR(six.ox, 0.31, 1e-12);
    EXPECT_NEAR(six.oy, 0.71, 1e-12);
    const Char ranged = next(*w2, be16(25));
    EXPECT_NEAR(ranged.dy, -1.0, 1e-12);
    EXPECT_NEAR(ranged.ox, 0.45, 1e-12);
    const Char other = next(*w2, be16(7));
    EXPECT_NEAR(other.dy, -0.9, 1e-12);
    EXPECT_NEAR(other.ox, 0.3, 1e-12);
    EXPECT_NEAR(other.oy, 0.88, 1e-12);
}

TEST(CompositeFont, DecodingAndUnicode)
{
    Fixture f;
    const std::string toUnicode = f.addStream(
        "", "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
            "3 beginbfchar <0003> <0020> <0024> <00660069> <0025> <D83DDE00> endbfchar\n"
            "1 beginbfrange <0044> <0046> <0061> endbfrange",
        true);
    f.type0("/Identity-H", kCIDFont0 + "/W [3 [250]] >>", "/ToUnicode " + toUnicode);
    f.type0("/Identity-H", kCIDFont0 + ">>");
    f.open();

    const auto font = f.type0At(0);
    ASSERT_TRUE(font);
    EXPECT_EQ(decodeAllComposite(*font, be16(0x44) + be16(0x45) + be16(3) + be16(0x24) + be16(0x25)),
              "ab fi\U0001F600");
    // A code the ToUnicode map lacks stands for its CID.
    const Char unmapped = next(*font, be16(0x4E2D));
    EXPECT_EQ(unmapped.code, 0x4E2Du);
    EXPECT_EQ(unmapped.text, u"\u4E2D");
    // A lone byte the CMap cannot match uses one byte and reports the byte.
    const Char lone = next(*font, "\x41");
    EXPECT_EQ(lone.used, 1);
    EXPECT_EQ(lone.code, 0x41u);
    // The space code of ToUnicode gives the space widths.
    EXPECT_NEAR(font->widthOfSpace(), 0.25, 1e-12);
    EXPECT_NEAR(font->bankSpaceCharWidth(), 0.25, 1e-12);

    // Without any Unicode map every CID stands for itself; no space code.
    const auto bare = f.type0At(1);
    ASSERT_TRUE(bare);
    EXPECT_EQ(next(*bare, be16(0x263A)).text, u"\u263A");
    EXPECT_EQ(bare->bankSpaceCharWidth(), 0);
    EXPECT_NEAR(bare->widthOfSpace(), 0.5, 1e-12);
    EXPECT_NEAR(bare->ascent(), 0.95, 1e-12);
    EXPECT_NEAR(bare->descent(), -0.35, 1e-12);
}

TEST(CompositeFont, CollectionMapAndNamedCMap)
{
    Fixture f;
    const std::string japan = "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /Ryumin-Light "
                              "/CIDSystemInfo << /Registry (Adobe) /Ordering (Japan1) /Supplement 2 >> ";
    f.type0("/Identity-H", japan + ">>");
    f.type0("/90ms-RKSJ-H", japan + "/DW 1000 /W [231 632 500] >>");
    f.type0("/NoSuchCMap-H", japan + ">>");
    f.font("<< /Type /Font /Subtype /Type0 /BaseFont /X /DescendantFonts [] >>");
    f.open();

    const auto identity = f.type0At(0);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->cidTypeFont()->cidSystemRegion(), "Adobe-Japan1");
    EXPECT_EQ(identity->cidTypeFont()->cidSystemInfo(), "Adobe-Japan1-2");
    ASSERT_TRUE(identity->extToUnicodeMap()) << "poppler-data's Adobe-Japan1-UCS2 is missing";
    // CIDs 843 and 34 of Adobe-Japan1: hiragana A and "A".
    EXPECT_EQ(decodeAllComposite(*identity, be16(843) + be16(34)), "\u3042A");

    // Shift-JIS through the named CMap: one byte for ASCII, two for kana.
    const auto sjis = f.type0At(1);
    ASSERT_TRUE(sjis);
    EXPECT_EQ(sjis->cMapName(), "90ms-RKSJ-H");
    const Char a = next(*sjis, "A");
    EXPECT_EQ(a.used, 1);
    EXPECT_EQ(a.text, u"A");
    EXPECT_NEAR(a.dx, 0.5, 1e-12);
    const Char kana = next(*sjis, "\x82\xA0");
    EXPECT_EQ(kana.used, 2);
    EXPECT_EQ(kana.text, u"\u3042");
    EXPECT_NEAR(kana.dx, 1.0, 1e-12);

    EXPECT_FALSE(f.make(2)) << "a CMap that cannot be found makes no font";
    const auto noDescendant = f.make(3);
    EXPECT_FALSE(noDescendant) << "no /Encoding";
}

TEST(CompositeFont, EmbeddedCMapStream)
{
    Fixture f;
    const std::string cmap = f.addStream(
        "/Type /CMap /CMapName /Custom-V /WMode 1 /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>",
        "begincmap 1 begincodespacerange <00> <7F> endcodespacerange\n"
        "2 begincodespacerange <8000> <FFFF> endcodespacerange\n"
        "1 begincidrange <20> <7E> 1 endcidrange\n"
        "1 begincidrange <8140> <817E> 633 endcidrange endcmap");
    // A CMap whose /UseCMap is itself: parsed once, never followed round.
    const int loop = f.reserve();
    f.setStream(loop, "/Type /CMap /UseCMap " + Fixture::ref(loop),
                "1 begincodespacerange <00> <FF> endcodespacerange 1 begincidrange <00> <FF> 100 endcidrange");
    f.type0(cmap, kCIDFont0 + "/W [1 [111] 633 [222]] >>");
    f.type0(Fixture::ref(loop), kCIDFont0 + ">>");
    f.open();

    const auto font = f.type0At(0);
    ASSERT_TRUE(font) << "a font whose /Encoding is a CMap stream is made from it";
    EXPECT_EQ(font->cMapName(), "Custom-V");
    EXPECT_EQ(font->wMode(), 1);
    const Char space = next(*font, " A");
    EXPECT_EQ(space.used, 1);
    EXPECT_EQ(space.code, 1u);
    const Char two = next(*font, "\x81\x42");
    EXPECT_EQ(two.used, 2);
    EXPECT_EQ(two.code, 635u);
    // In the code space but in no range: CID 0, so the first byte is the code.
    const Char unranged = next(*font, "\x90\x90");
    EXPECT_EQ(unranged.used, 2);
    EXPECT_EQ(unranged.code, 0x90u);

    const auto looped = f.type0At(1);
    ASSERT_TRUE(looped);
    EXPECT_EQ(next(*looped, "\x05").code, 105u);
}

TEST(CompositeFont, CIDToGIDMapAndEmbeddedProgram)
{
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    const std::string program((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (program.empty())
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    const auto platform = PlatformFont::createWithData(program);
    ASSERT_TRUE(platform);
    const uint16_t spaceGlyph = platform->glyphForCharacter(U' ');
    const uint16_t aGlyph = platform->glyphForCharacter(U'A');
    ASSERT_NE(spaceGlyph, 0);

    Fixture f;
    const std::string file = f.addStream("", program, true);
    const std::string descriptor = f.add("<< /Type /FontDescriptor /FontName /ABCDEF+DejaVuSans "
                                         "/Flags 32 /Ascent 760 /Descent -240 /FontBBox [-1021 -463 1793 1232] "
                                         "/FontFile2 " + file + " >>");
    // CID 1 -> the space glyph, CID 2 -> "A"; the rest of the map is odd-sized.
    const std::string gidMap = f.addStream("", be16(0) + be16(spaceGlyph) + be16(aGlyph) + "\x07");
    const std::string toUnicode = f.addStream("", "1 beginbfchar <0001> <0020> endbfchar");
    const std::string giant = f.addStream("", std::string(300000, '\x01'), true);
    const std::string cid2 = "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+DejaVuSans "
                             "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> "
                             "/FontDescriptor " + descriptor;
    f.type0("/Identity-H", cid2 + " /CIDToGIDMap " + gidMap + " /W [1 [0]] >>", "/ToUnicode " + toUnicode);
    f.type0("/Identity-H", cid2 + " /CIDToGIDMap /Identity >>");
    f.type0("/Identity-H", cid2 + " /CIDToGIDMap " + giant + " >>");
    f.open();

    const auto font = f.type0At(0);
    ASSERT_TRUE(font);
    auto cid = std::dynamic_pointer_cast<QXPDFCIDType2Font>(font->cidTypeFont());
    ASSERT_TRUE(cid);
    EXPECT_EQ(cid->cidToGIDLen(), 3);
    EXPECT_EQ(cid->glyphForCID(1), spaceGlyph);
    EXPECT_EQ(cid->glyphForCID(2), aGlyph);
    EXPECT_EQ(cid->glyphForCID(500), 500u);
    EXPECT_FALSE(cid->identity());
    ASSERT_TRUE(font->fontDescriptor());
    EXPECT_EQ(font->fontDescriptor(), cid->fontDescriptor());
    EXPECT_EQ(font->fontDescriptor()->embPostScriptName(), "DejaVuSans");
    EXPECT_NEAR(font->embFontWidthForCode(2), 1401.0 / 2048, 1e-9);
    // The ToUnicode space (CID 1) measured in the program, since /W gives it 0.
    EXPECT_NEAR(font->bankSpaceCharWidth(), 651.0 / 2048, 1e-9);
    EXPECT_NEAR(font->ascent(), 0.76, 1e-12);
    EXPECT_NEAR(font->descent(), -0.24, 1e-12);
    EXPECT_NEAR(font->fontBBox().origin.x, -1.021, 1e-12);
    EXPECT_NEAR(font->fontBBox().size.height, 1.232, 1e-12);
    EXPECT_EQ(font->fontName(), "DejaVu Sans");

    const auto identity = f.type0At(1);
    ASSERT_TRUE(identity);
    auto identityCID = std::dynamic_pointer_cast<QXPDFCIDType2Font>(identity->cidTypeFont());
    EXPECT_TRUE(identityCID->identity());
    EXPECT_EQ(identityCID->glyphForCID(aGlyph), aGlyph);

    // A map longer than 16-bit CIDs is kept to 65536 entries.
    const auto big = f.type0At(2);
    ASSERT_TRUE(big);
    auto bigCID = std::dynamic_pointer_cast<QXPDFCIDType2Font>(big->cidTypeFont());
    EXPECT_EQ(bigCID->cidToGIDLen(), 65536);
    EXPECT_EQ(bigCID->glyphForCID(70000), 70000u);

    // Copies own their descendants and maps.
    const auto copy = std::dynamic_pointer_cast<QXPDFType0Font>(font->copy());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->cidTypeFont(), font->cidTypeFont());
    EXPECT_NE(copy->extToCIDMap(), font->extToCIDMap());
    EXPECT_EQ(copy->fontDescriptor(), copy->cidTypeFont()->fontDescriptor());
    EXPECT_EQ(std::dynamic_pointer_cast<QXPDFCIDType2Font>(copy->cidTypeFont())->glyphForCID(2), aGlyph);
    EXPECT_EQ(decodeAllComposite(*copy, be16(1)), " ");
}
