// One-byte fonts: the factory, encodings and Differences, widths, space
// width, names and replacement names, Type 3 fonts and copies.
#include "pdfengine/fonts/BuiltinFontManager.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFSimple8BitFont.h"
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

// Font dictionaries written as PDF objects of one document, read back
// through the object layer. Each font object may refer to extra objects
// added with `extra` before it.
class FontFixture {
public:
    // Adds an object and answers "N 0 R".
    std::string add(const std::string& body) { return ref(w_.add(body)); }
    std::string addStream(const std::string& dict, const std::string& data)
    {
        return ref(w_.addStream(dict, data));
    }
    // Adds a font dictionary; fonts are read back with font(i) in this order.
    void font(const std::string& body) { fonts_.push_back(w_.add(body)); }

    void open()
    {
        std::string fontEntries;
        for (size_t i = 0; i < fonts_.size(); ++i)
            fontEntries += "/F" + std::to_string(i) + " " + ref(fonts_[i]) + " ";
        const int content = w_.addStream("", "BT ET");
        const int pages = w_.reserve();
        const int page = w_.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 100 100] "
                                "/Contents " + ref(content) + " /Resources << /Font << " +
                                fontEntries + ">> >> >>");
        w_.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
        const int catalog = w_.add("<< /Type /Catalog /Pages " + ref(pages) + " >>");
        doc_ = pdf::Document::openData(w_.build(catalog));
        ASSERT_TRUE(doc_);
    }

    pdf::Object dict(size_t i) const
    {
        return doc_->page(1).resources().get("Font").get("F" + std::to_string(i));
    }
    std::shared_ptr<QXPDFFont> make(size_t i) const
    {
        return QXPDFFont::FontWithDictionary(dict(i), "F" + std::to_string(i));
    }

private:
    static std::string ref(int n) { return std::to_string(n) + " 0 R"; }
    test::PdfWriter w_;
    std::vector<int> fonts_;
    std::shared_ptr<pdf::Document> doc_;
};

struct Decoded {
    int used = 0;
    uint32_t code = 0;
    std::u16string text;
    double dx = 0, dy = 0, ox = 0, oy = 0;
};

Decoded decode(const QXPDFFont& font, const std::string& bytes)
{
    Decoded d;
    char16_t u[QXPDFFont::kCharUnitCapacity] = {};
    int uLen = -1;
    d.used = font.getNextChar(reinterpret_cast<const uint8_t*>(bytes.data()),
                              static_cast<int>(bytes.size()), &d.code, u,
                              QXPDFFont::kCharUnitCapacity, &uLen, &d.dx, &d.dy, &d.ox, &d.oy);
    d.text.assign(u, u + uLen);
    return d;
}

// Every character of the bytes decoded in turn, as UTF-8.
std::string decodeAll(const QXPDFFont& font, const std::string& bytes)
{
    std::string out;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const Decoded d = decode(font, bytes.substr(pos));
        EXPECT_GE(d.used, 1);
        if (d.used < 1)
            break;
        out += utf16ToUtf8(d.text);
        pos += static_cast<size_t>(d.used);
    }
    return out;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

} // namespace

TEST(SimpleFont, FactoryChoosesTheClassBySubtype)
{
    FontFixture f;
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    f.font("<< /Type /Font /Subtype /MMType1 /BaseFont /Foo >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo >>");
    f.font("<< /Type /Font /Subtype /Type3 /FontMatrix [0.001 0 0 0.001 0 0] /CharProcs << >> "
           "/Encoding << /Differences [65 /A] >> >>");
    f.font("<< /Type /Font /Subtype /OpenType /BaseFont /Foo >>");
    f.font("<< /Subtype /Type1 /BaseFont /Helvetica >>");
    f.font("<< /Type /FontDescriptor /Subtype /Type1 >>");
    f.font("<< /Type /Font /BaseFont /Helvetica >>");
    f.open();
    EXPECT_TRUE(std::dynamic_pointer_cast<QXPDFType1Font>(f.make(0)));
    EXPECT_TRUE(std::dynamic_pointer_cast<QXPDFMMType1Font>(f.make(1)));
    EXPECT_TRUE(std::dynamic_pointer_cast<QXPDFTrueTypeFont>(f.make(2)));
    EXPECT_TRUE(std::dynamic_pointer_cast<QXPDFType3Font>(f.make(3)));
    EXPECT_FALSE(f.make(4));
    EXPECT_TRUE(f.make(5)) << "a font without /Type is still read";
    EXPECT_FALSE(f.make(6)) << "/Type names something else";
    EXPECT_FALSE(f.make(7)) << "no /Subtype";
    EXPECT_FALSE(QXPDFFont::FontWithDictionary(pdf::Object(), "F"));

    const auto helvetica = f.make(0);
    EXPECT_EQ(helvetica->objectKey(), "F0");
    EXPECT_EQ(helvetica->subtype(), "Type1");
    EXPECT_EQ(helvetica->wMode(), 0);
    ASSERT_TRUE(helvetica->builtinFont());
    EXPECT_EQ(helvetica->builtinFont()->fontName(), "Helvetica");
    EXPECT_EQ(helvetica->ligatures().at("fi"), "64257");
}

TEST(SimpleFont, EncodingsDecodeBytes)
{
    FontFixture f;
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"); // WinAnsi by default
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /MacRomanEncoding >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /PDFDocEncoding >>");
    f.font("<< /Type /Font /Subtype /Type3 /FontMatrix [0.001 0 0 0.001 0 0] /CharProcs << >> >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding << /BaseEncoding "
           "/WinAnsiEncoding /Differences [65 /Alpha /T_h /uni20AC 200 /fi /f_f_i /a.sc /square] >> >>");
    f.open();

    const auto winAnsi = f.make(0);
    EXPECT_EQ(winAnsi->stringEncoding(), kStringEncodingWindowsCP1252);
    EXPECT_EQ(decodeAll(*winAnsi, "A\x80\x93\xE9"), "A\u20AC\u201C\u00E9");
    // An undefined WinAnsi code stands for itself.
    EXPECT_EQ(decode(*winAnsi, "\x81").text, std::u16string(1, u'\x81'));

    const auto mac = f.make(1);
    EXPECT_EQ(mac->stringEncoding(), kStringEncodingMacOSRoman);
    EXPECT_EQ(decodeAll(*mac, "\x8E\xD2"), "\u00E9\u201C");

    // PDFDocEncoding: every code is the Unicode value equal to it.
    const auto pdfDoc = f.make(2);
    for (int c : {0x41, 0x80, 0x93, 0xA0, 0xFF})
        EXPECT_EQ(decode(*pdfDoc, std::string(1, static_cast<char>(c))).text,
                  std::u16string(1, static_cast<char16_t>(c)));

    const auto type3 = f.make(3);
    auto* simple3 = dynamic_cast<QXPDFSimple8BitFont*>(type3.get());
    EXPECT_EQ(simple3->fontEncodingName(), "StandardEncoding");
    EXPECT_EQ(type3->stringEncoding(), kStringEncodingASCII);

    // Differences: glyph names, uniXXXX, ligature names by their parts,
    // variants by their base glyph; a name that is no text ("square")
    // leaves the code to the base encoding, as do codes not named.
    const auto diff = f.make(4);
    EXPECT_EQ(decodeAll(*diff, "ABC\xC8\xC9\xCA\xCB\x93"),
              "\u0391Th\u20AC\uFB01ffia\u00CB\u201C");
    EXPECT_EQ(glyphNameText("T_h"), "Th");
    EXPECT_EQ(glyphNameText("uni0041_uni0042"), "AB");
    EXPECT_EQ(glyphNameText("g123"), "");
    EXPECT_EQ(glyphNameText("f_x9"), "");
}

TEST(SimpleFont, ToUnicodeWinsAndMissingMappingsGiveNoUnits)
{
    FontFixture f;
    const std::string toUnicode = f.addStream(
        "", std::string("begincmap\0 2 beginbfchar <41> <0058> <42> <00660069> endbfchar endcmap", 70));
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /ToUnicode " + toUnicode +
           " /Encoding << /Differences [67 /Alpha] >> >>");
    f.open();
    const auto font = f.make(0);
    ASSERT_TRUE(font->embToUnicodeMap());
    EXPECT_EQ(decode(*font, "A").text, u"X");
    EXPECT_EQ(decode(*font, "B").text, u"fi");
    // Not in ToUnicode: the Differences text, else nothing (the width stays).
    EXPECT_EQ(decode(*font, "C").text, u"\u0391");
    const Decoded d = decode(*font, "D");
    EXPECT_EQ(d.used, 1);
    EXPECT_TRUE(d.text.empty());
    EXPECT_NEAR(d.dx, 0.722, 1e-9);
}

TEST(SimpleFont, WidthsFromTheWidthsArray)
{
    FontFixture f;
    const std::string descriptor =
        f.add("<< /Type /FontDescriptor /FontName /Foo /Flags 32 /MissingWidth 250 >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 300 /LastChar 301 "
           "/Widths [500 600] /FontDescriptor " + descriptor + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 65 /LastChar 66 "
           "/Widths [500 (x) 700 800] /FontDescriptor " + descriptor + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 250 /LastChar 9999999 "
           "/Widths [1 2 3 4 5 6 7 8 9] >>");
    f.open();

    // FirstChar outside 0-255 starts at slot 0.
    const auto first300 = f.make(0);
    EXPECT_NEAR(decode(*first300, std::string(1, '\0')).dx, 0.5, 1e-12);
    EXPECT_NEAR(decode(*first300, "\x01").dx, 0.6, 1e-12);
    EXPECT_NEAR(decode(*first300, "\x02").dx, 0.25, 1e-12) << "MissingWidth elsewhere";

    // Cut at LastChar; a non-numeric entry keeps the slot's default.
    const auto cut = f.make(1);
    EXPECT_NEAR(decode(*cut, "A").dx, 0.5, 1e-12);
    EXPECT_NEAR(decode(*cut, "B").dx, 0.25, 1e-12);
    EXPECT_NEAR(decode(*cut, "C").dx, 0.25, 1e-12);

    // A huge LastChar is cut to 255.
    const auto huge = f.make(2);
    EXPECT_NEAR(decode(*huge, "\xFA").dx, 0.001, 1e-12);
    EXPECT_NEAR(decode(*huge, "\xFF").dx, 0.006, 1e-12);
}

// Standard-font widths go through the encoding's glyph names: WinAnsi's
// 0x80-0x9F, Differences codes and the symbol fonts' own encodings.
TEST(SimpleFont, StandardFontWidthsFollowTheEncoding)
{
    FontFixture f;
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding << /Differences "
           "[1 /W /quotedblleft /uni0041 /notaglyph] >> >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /ZapfDingbats >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /MacRomanEncoding >>");
    f.open();

    const auto helvetica = f.make(0);
    EXPECT_NEAR(decode(*helvetica, "\x80").dx, 0.556, 1e-12); // Euro
    EXPECT_NEAR(decode(*helvetica, "\x93").dx, 0.333, 1e-12); // quotedblleft
    EXPECT_NEAR(decode(*helvetica, "\x97").dx, 1.0, 1e-12);   // emdash
    EXPECT_NEAR(decode(*helvetica, " ").dx, 0.278, 1e-12);
    EXPECT_NEAR(helvetica->widthOfSpace(), 0.278, 1e-12);
    EXPECT_NEAR(helvetica->bankSpaceCharWidth(), 0.278, 1e-12);
    EXPECT_NEAR(helvetica->ascent(), 0.718, 1e-12);
    EXPECT_NEAR(helvetica->descent(), -0.207, 1e-12);

    const auto times = f.make(1);
    EXPECT_NEAR(decode(*times, "\x01").dx, 0.944, 1e-12); // W
    EXPECT_NEAR(decode(*times, "\x02").dx, 0.444, 1e-12); // quotedblleft
    EXPECT_NEAR(decode(*times, "\x03").dx, 0.722, 1e-12); // uni0041 -> A
    EXPECT_NEAR(decode(*times, "\x04").dx, 0.0, 1e-12);
    EXPECT_NEAR(decode(*times, "a").dx, 0.444, 1e-12);

    const auto symbol = f.make(2);
    EXPECT_NEAR(decode(*symbol, "a").dx, 0.631, 1e-12);   // alpha
    EXPECT_NEAR(decode(*symbol, "\xA5").dx, 0.713, 1e-12); // infinity
    const auto dingbats = f.make(3);
    EXPECT_NEAR(decode(*dingbats, "a").dx, 0.789, 1e-12);  // a60
    EXPECT_NEAR(decode(*dingbats, "4").dx, 0.846, 1e-12);  // a20

    const auto courier = f.make(4);
    EXPECT_NEAR(decode(*courier, "\x8E").dx, 0.6, 1e-12);
}

TEST(SimpleFont, SubstituteWidthsByStyle)
{
    FontFixture f;
    const std::string boldSerif = f.add("<< /Type /FontDescriptor /Flags 262146 >>");
    const std::string fixed = f.add("<< /Type /FontDescriptor /Flags 1 >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /NotAStandardFont /FontDescriptor " +
           boldSerif + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /NotAStandardFont /FontDescriptor " + fixed +
           " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /NotAStandardFont >>");
    f.open();
    EXPECT_NEAR(decode(*f.make(0), "W").dx, 1.0, 1e-12);    // Times-Bold
    EXPECT_NEAR(decode(*f.make(0), "\x97").dx, 1.0, 1e-12); // emdash through WinAnsi
    EXPECT_NEAR(decode(*f.make(1), "W").dx, 0.6, 1e-12);    // Courier
    EXPECT_NEAR(decode(*f.make(2), "W").dx, 0.6, 1e-12);    // no descriptor: index 0
}

TEST(SimpleFont, SpaceWidth)
{
    FontFixture f;
    const std::string missing600 =
        f.add("<< /Type /FontDescriptor /Flags 32 /MissingWidth 600 /AvgWidth 700 /MaxWidth 2000 "
              "/FontBBox [0 -200 1500 900] >>");
    const std::string fixedNoWidths = f.add("<< /Type /FontDescriptor /Flags 33 >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 32 /LastChar 32 "
           "/Widths [0] /FontDescriptor " + missing600 + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 32 /LastChar 32 "
           "/Widths [0] /FontDescriptor " + fixedNoWidths + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 32 /LastChar 32 "
           "/Widths [1200] >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 32 /LastChar 32 "
           "/Widths [333] >>");
    f.open();
    EXPECT_NEAR(f.make(0)->widthOfSpace(), 0.6, 1e-12);
    EXPECT_EQ(f.make(0)->bankSpaceCharWidth(), 0);
    EXPECT_NEAR(f.make(1)->widthOfSpace(), 1.0, 1e-12);
    EXPECT_NEAR(f.make(2)->widthOfSpace(), 0.5, 1e-12);
    EXPECT_NEAR(f.make(3)->widthOfSpace(), 0.333, 1e-12);
    EXPECT_NEAR(f.make(3)->bankSpaceCharWidth(), 0.333, 1e-12);
}

TEST(SimpleFont, NamesAndReplacementNames)
{
    FontFixture f;
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Foo >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+.Bar+Baz >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /LiberationSerif-Bold >>");
    const std::string fixedSerif = f.add("<< /Type /FontDescriptor /Flags 3 >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /QQNoSuchFace-Regular /FontDescriptor " +
           fixedSerif + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /NullFont >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Wingdings-Regular >>");
    f.open();

    const auto foo = f.make(0);
    EXPECT_EQ(foo->baseFontName(), "ABCDEF+Foo");
    EXPECT_EQ(foo->baseFontName_New(), "ABCDEF+Foo");
    EXPECT_EQ(foo->fontName(), "Foo");
    EXPECT_EQ(foo->fontFamilyName(), "Foo");
    // The style fallback's face is not installed: the installed one of its
    // kind stands in.
    EXPECT_EQ(foo->fontSystemReplaceName(), "Liberation Sans");

    EXPECT_EQ(f.make(1)->fontName(), "Bar+Baz");

    // An installed face: its full name, the family for output.
    const auto liberation = f.make(2);
    EXPECT_EQ(liberation->fontName(), "Liberation Serif Bold");
    EXPECT_EQ(liberation->fontFamilyName(), "Liberation Serif Bold");
    EXPECT_EQ(liberation->fontSystemReplaceName(), "Liberation Serif Bold");
    // Named as written: the PDF's name and its cut family, no replacement.
    const auto asWritten = QXPDFFont::FontWithDictionary(f.dict(2), "F2", QXPDFFontNaming::AsWritten);
    ASSERT_TRUE(asWritten);
    EXPECT_EQ(asWritten->fontName(), "LiberationSerif-Bold");
    EXPECT_EQ(asWritten->fontFamilyName(), "LiberationSerif");
    EXPECT_FALSE(asWritten->fontSystemReplaceName());

    EXPECT_EQ(f.make(3)->fontSystemReplaceName(), "Liberation Mono");

    const auto placeholder = f.make(4);
    EXPECT_EQ(placeholder->baseFontName(), "NullFont");
    EXPECT_FALSE(placeholder->baseFontName_New());
    EXPECT_FALSE(placeholder->fontName());

    // The replacement book's entry for a keyword.
    EXPECT_EQ(f.make(5)->fontSystemReplaceName(), "Standard Symbols PS");
    // A symbol font is not set in a text face: the fallback stays as named.
    EXPECT_EQ(f.make(6)->fontSystemReplaceName(), "Arial Unicode MS");
}

TEST(SimpleFont, EmbeddedProgramGivesNamesAndWidths)
{
    const std::string program = readFile(kDejaVuSans);
    if (program.empty())
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    FontFixture f;
    const std::string file = f.addStream("/Length1 " + std::to_string(program.size()), program);
    const std::string descriptor = f.add(
        "<< /Type /FontDescriptor /FontName /FONT0000 /Flags 32 /Ascent 900 /Descent 200 "
        "/FontBBox [-100 -200 1000 900] /FontFile2 " + file + " >>");
    const std::string broken = f.addStream("", "not a font at all");
    const std::string brokenDescriptor =
        f.add("<< /Type /FontDescriptor /Flags 32 /FontFile2 " + broken + " /FontBBox [1 2 3] >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /FONT0000 /FirstChar 32 /LastChar 32 "
           "/Widths [0] /FontDescriptor " + descriptor + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Foo /FontDescriptor " +
           brokenDescriptor + " >>");
    f.open();

    const auto font = f.make(0);
    ASSERT_TRUE(font->fontDescriptor());
    const QXPDFFontDescriptor& d = *font->fontDescriptor();
    ASSERT_TRUE(d.embFont());
    EXPECT_EQ(d.embFontNum(), 2);
    EXPECT_EQ(d.embFontSubType(), "CIDType2 or TrueType");
    EXPECT_EQ(d.embPostScriptName(), "DejaVuSans");
    EXPECT_EQ(d.embFullName(), "DejaVu Sans");
    // "FONT0000" gives way to the program's PostScript name; DejaVu Sans is installed.
    EXPECT_EQ(font->baseFontName_New(), "DejaVuSans");
    EXPECT_EQ(font->fontName(), "DejaVu Sans");
    EXPECT_NEAR(d.descent(), -0.2, 1e-12);
    EXPECT_NEAR(d.ascent(), 0.9, 1e-12);
    EXPECT_EQ(font->fontBBox(), Rect(-0.1, -0.2, 1.0, 0.9));
    // DejaVu Sans: space 651 of 2048 units, "A" 1401.
    EXPECT_NEAR(d.embFontWidthForBankSpace(), 651.0 / 2048, 1e-9);
    EXPECT_NEAR(font->embFontWidthForCode('A'), 1401.0 / 2048, 1e-9);
    EXPECT_NEAR(font->bankSpaceCharWidth(), 651.0 / 2048, 1e-9);
    EXPECT_NEAR(font->widthOfSpace(), 651.0 / 2048, 1e-9) << "slot 32 is 0: the program's space";

    // A program FreeType cannot read: placeholder names, no measurements.
    const auto brokenFont = f.make(1);
    ASSERT_TRUE(brokenFont);
    const QXPDFFontDescriptor& b = *brokenFont->fontDescriptor();
    EXPECT_FALSE(b.embFont());
    EXPECT_EQ(b.embFontNum(), 2);
    EXPECT_EQ(b.embFontSubType(), "CIDType2 or TrueType");
    EXPECT_EQ(b.embPostScriptName(), "Unknown embedded font postscript name");
    EXPECT_EQ(b.embFullName(), "Unknown embedded font full name");
    EXPECT_EQ(b.embFontWidthForCharCode(u'A'), 0);
    EXPECT_EQ(b.fontBBox(), Rect());
    EXPECT_EQ(brokenFont->fontName(), "Foo");
}

TEST(FontDescriptor, MetricsAndFlags)
{
    FontFixture f;
    f.font("<< /Type /FontDescriptor /Descent 200 /Ascent 0 /FontBBox [-100 -200 1000 900] "
           "/CapHeight 700 /AvgWidth 400 /ItalicAngle -12.5 /Flags 262208 >>");
    f.font("<< /Type /FontDescriptor /Descent 0 /FontBBox [1 2 3] >>");
    f.font("<< /Type /Font /Descent 200 >>");
    f.font("<< /Descent -300 /Flags 4 >>");
    f.open();

    const auto d = QXPDFFontDescriptor::initWithPDFDictionary(f.dict(0));
    ASSERT_TRUE(d);
    EXPECT_NEAR(d->descent(), -0.2, 1e-12);
    EXPECT_NEAR(d->ascent(), 0.95, 1e-12);
    EXPECT_EQ(d->fontBBox(), Rect(-0.1, -0.2, 1.0, 0.9));
    EXPECT_EQ(d->capHeight(), 700);
    EXPECT_NEAR(d->averageWidth(), 0.4, 1e-12);
    EXPECT_EQ(d->italicAngle(), -12.5);
    EXPECT_TRUE(d->isBold());
    EXPECT_TRUE(d->isItalic());
    EXPECT_FALSE(d->isSerif());
    EXPECT_EQ(d->embFontNum(), 0);

    const auto defaults = QXPDFFontDescriptor::initWithPDFDictionary(f.dict(1));
    ASSERT_TRUE(defaults);
    EXPECT_NEAR(defaults->descent(), -0.35, 1e-12);
    EXPECT_EQ(defaults->fontBBox(), Rect());
    EXPECT_TRUE(defaults->isSerif());
    EXPECT_FALSE(defaults->isBold());
    EXPECT_FALSE(defaults->isItalic());
    defaults->setFontBold(true);
    EXPECT_TRUE(defaults->isBold());
    defaults->setFontBold(false);
    EXPECT_FALSE(defaults->isBold());

    EXPECT_FALSE(QXPDFFontDescriptor::initWithPDFDictionary(f.dict(2)));
    // Without /Type it is still a descriptor.
    const auto untyped = QXPDFFontDescriptor::initWithPDFDictionary(f.dict(3));
    ASSERT_TRUE(untyped);
    EXPECT_NEAR(untyped->descent(), -0.3, 1e-12);
    EXPECT_TRUE(untyped->isSymbolic());
}

TEST(SimpleFont, Type3WidthsFollowTheFontMatrix)
{
    FontFixture f;
    const std::string proc = f.addStream("", "0 0 0 0 10 10 d1 0 0 10 10 re f");
    f.font("<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 0.01 0 0] /FontBBox [0 0 10 10] "
           "/CharProcs << /square " + proc + " /alias /square >> /Encoding << /Differences "
           "[97 /square /triangle] >> /FirstChar 97 /LastChar 98 /Widths [50 70] >>");
    f.font("<< /Type /Font /Subtype /Type3 /FontMatrix [0 0 0 0 0 0] /CharProcs << >> "
           "/FirstChar 97 /LastChar 97 /Widths [500] >>");
    f.open();

    const auto font = f.make(0);
    auto* type3 = dynamic_cast<QXPDFType3Font*>(font.get());
    ASSERT_TRUE(type3);
    EXPECT_EQ(type3->fontMatrix(), (Affine{0.01, 0, 0, 0.01, 0, 0}));
    EXPECT_NEAR(decode(*font, "a").dx, 0.5, 1e-12);
    EXPECT_NEAR(decode(*font, "b").dx, 0.7, 1e-12);
    // Glyph names that are no text leave the codes to the encoding.
    EXPECT_EQ(decodeAll(*font, "ab"), "ab");

    const QXPDFCharProcEntry* square = font->charProcForKey("square");
    ASSERT_TRUE(square);
    EXPECT_EQ(square->kind, QXPDFCharProcEntry::Kind::Stream);
    ASSERT_TRUE(square->proc);
    EXPECT_TRUE(square->proc->xObjectStream().isStream());
    EXPECT_TRUE(square->proc->matrixTransform().isIdentity());
    const QXPDFCharProcEntry* alias = font->charProcForKey("alias");
    ASSERT_TRUE(alias);
    EXPECT_EQ(alias->kind, QXPDFCharProcEntry::Kind::Name);
    EXPECT_EQ(alias->value, "square");
    EXPECT_FALSE(font->charProcForKey("triangle"));

    // An unusable matrix keeps the usual 1/1000.
    EXPECT_NEAR(decode(*f.make(1), "a").dx, 0.5, 1e-12);
}

TEST(SimpleFont, CopiesAreIndependent)
{
    FontFixture f;
    const std::string toUnicode = f.addStream("", "1 beginbfchar <41> <0058> endbfchar");
    const std::string descriptor = f.add("<< /Type /FontDescriptor /Flags 32 >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FirstChar 65 /LastChar 65 "
           "/Widths [640] /ToUnicode " + toUnicode + " /FontDescriptor " + descriptor + " >>");
    f.open();
    const auto original = f.make(0);
    const auto copy = original->copy();
    ASSERT_TRUE(std::dynamic_pointer_cast<QXPDFTrueTypeFont>(copy));
    EXPECT_NE(copy->fontDescriptor(), original->fontDescriptor());
    EXPECT_NE(copy->embToUnicodeMap(), original->embToUnicodeMap());
    copy->fontDescriptor()->setFontBold(true);
    EXPECT_FALSE(original->fontDescriptor()->isBold());
    EXPECT_EQ(decode(*copy, "A").text, u"X");
    EXPECT_NEAR(decode(*copy, "A").dx, 0.64, 1e-12);
    EXPECT_EQ(copy->fontName(), original->fontName());
}

TEST(SimpleFont, DecoderAlwaysMovesOn)
{
    FontFixture f;
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    f.open();
    const auto font = f.make(0);
    uint32_t code = 7;
    char16_t u[2] = {};
    int uLen = 5;
    double dx = 1, dy = 1, ox = 1, oy = 1;
    const uint8_t byte = 'A';
    // A capacity of 0 writes nothing but still uses the byte.
    EXPECT_EQ(font->getNextChar(&byte, 1, &code, u, 0, &uLen, &dx, &dy, &ox, &oy), 1);
    EXPECT_EQ(uLen, 0);
    EXPECT_EQ(font->getNextChar(&byte, 0, &code, u, 2, &uLen, &dx, &dy, &ox, &oy), 0);
}

TEST(FontText, UnicodeHelpers)
{
    char buffer[4];
    EXPECT_EQ(QXEncodeUTF8(0x41, buffer, 4), 1);
    EXPECT_EQ(QXEncodeUTF8(0x20AC, buffer, 4), 3);
    EXPECT_EQ(std::string(buffer, 3), "\u20AC");
    EXPECT_EQ(QXEncodeUTF8(0x1F600, buffer, 4), 4);
    EXPECT_EQ(QXEncodeUTF8(0x1F600, buffer, 3), 0);
    EXPECT_EQ(QXEncodeUTF8(0x110000, buffer, 4), 0);
    uint8_t ucs2[2];
    EXPECT_EQ(QXEncodeUCS2(0x20AC, ucs2, 2), 2);
    EXPECT_EQ(ucs2[0], 0x20);
    EXPECT_EQ(QXEncodeUCS2(0x10000, ucs2, 2), 0);

    for (uint32_t space : {0x20u, 0x3000u, 0x2004u, 0x0Du, 0xA0u, 0x10020u})
        EXPECT_TRUE(QXIsUnicodeSpace(space)) << space;
    for (uint32_t other : {0x2005u, 0x2008u, 0x41u, 0x200Bu})
        EXPECT_FALSE(QXIsUnicodeSpace(other)) << other;

    char16_t hyphen[] = {0x2D, 0xAD, 0x2010};
    int count = 3;
    EXPECT_TRUE(QXIsNormalizableSequence(hyphen, count));
    QXNormalizeUnicodeSequence(hyphen, &count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(hyphen[0], 0x2010);
    char16_t spaces[] = {0x09, 0x0D, 0x20, 0xA0};
    count = 4;
    QXNormalizeUnicodeSequence(spaces, &count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(spaces[0], 0x20);
    char16_t other[] = {0x2D, 0xAD};
    count = 2;
    QXNormalizeUnicodeSequence(other, &count);
    EXPECT_EQ(count, 2);
}

// A Type 1 font that names no encoding takes its embedded program's own
// (here the Symbol encoding of a URW font: "a" is alpha, 0xA5 infinity).
TEST(SimpleFont, EmbeddedType1ProgramEncoding)
{
    const std::string program = readFile("/usr/share/fonts/type1/urw-base35/StandardSymbolsPS.t1");
    if (program.empty())
        GTEST_SKIP() << "fonts-urw-base35 is not installed";
    FontFixture f;
    const std::string file = f.addStream("", program);
    const std::string descriptor =
        f.add("<< /Type /FontDescriptor /FontName /ABCDEF+SymbolSubset /Flags 4 /FontFile " + file + " >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+SymbolSubset /FontDescriptor " +
           descriptor + " >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+SymbolSubset /Encoding "
           "/WinAnsiEncoding /FontDescriptor " + descriptor + " >>");
    f.font("<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+SymbolSubset /Encoding << "
           "/Differences [98 /A] >> /FontDescriptor " + descriptor + " >>");
    f.font("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+SymbolSubset /FontDescriptor " +
           descriptor + " >>");
    f.open();

    const auto own = f.make(0);
    ASSERT_TRUE(own->fontDescriptor() && own->fontDescriptor()->embFont());
    EXPECT_EQ(decodeAll(*own, "ab\xA5"), "\u03B1\u03B2\u221E");
    // A named encoding decides.
    EXPECT_EQ(decodeAll(*f.make(1), "ab"), "ab");
    // Differences over the program's encoding.
    EXPECT_EQ(decodeAll(*f.make(2), "ab"), "\u03B1A");
    // TrueType fonts keep the encoding in force.
    EXPECT_EQ(decodeAll(*f.make(3), "ab"), "ab");
}
