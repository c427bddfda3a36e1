#include "pdfengine/fonts/BuiltinFontManager.h"
#include "pdfengine/fonts/LegacyEncodings.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

using namespace rz;

namespace {

std::string foundName(const char* query)
{
    const auto font = BuiltinFontManager::sharedManager().findBuildinFont(query);
    return font ? font->fontName() : "<none>";
}

int widthOf(const char* font, uint32_t character)
{
    const auto f = BuiltinFontManager::sharedManager().findBuildinFont(font);
    int width = -1;
    if (!f || !f->fontWidths().getCharacter(character, width))
        return -1;
    return width;
}

} // namespace

TEST(BuiltinFontManager, NamesAliasesAndCase)
{
    const struct {
        const char* query;
        const char* expected;
    } cases[] = {
        {"Arial,Bold", "Helvetica-Bold"},
        {"arial,bold", "<none>"}, // aliases are case-sensitive
        {"HELVETICA", "Helvetica"},
        {"times-roman", "Times-Roman"},
        {"Arial BoldMT", "Helvetica-Bold"}, // spaces become "-"
        {"Arial-BoldMT", "Helvetica-Bold"},
        {"Times New Roman", "<none>"}, // becomes Times-New-Roman
        {"CourierNewPS-BoldItalicMT", "Courier-BoldOblique"},
        {"TimesNewRomanPSMT,Italic", "Times-Italic"},
        {"Symbol,Bold", "Symbol"},
        {"zapfdingbats", "ZapfDingbats"},
        {"", "<none>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(foundName(c.query), c.expected) << c.query;
}

TEST(BuiltinFontManager, MetricsWidthsAndSubstitutes)
{
    const BuiltinFontManager& manager = BuiltinFontManager::sharedManager();
    ASSERT_EQ(manager.fontsArray().size(), 14u);
    const auto times = manager.findBuildinFont("Times-Roman");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->baseEncoding(), "StandardEncoding");
    EXPECT_DOUBLE_EQ(times->ascent(), 0.683);
    EXPECT_DOUBLE_EQ(times->descent(), -0.217);
    EXPECT_DOUBLE_EQ(times->bbox().origin.x, -0.168);
    EXPECT_DOUBLE_EQ(times->bbox().origin.y, -0.218);
    EXPECT_DOUBLE_EQ(times->bbox().size.width, 1.0);
    EXPECT_DOUBLE_EQ(times->bbox().size.height, 0.898);
    EXPECT_EQ(manager.findBuildinFont("Symbol")->baseEncoding(), "SymbolEncoding");

    // Widths of the published metrics, by Unicode value through glyph names.
    EXPECT_EQ(widthOf("Helvetica", ' '), 278);
    EXPECT_EQ(widthOf("Helvetica", 'A'), 667);
    EXPECT_EQ(widthOf("Helvetica-Bold", 'i'), 278);
    EXPECT_EQ(widthOf("Times-Roman", 'A'), 722);
    EXPECT_EQ(widthOf("Times-Italic", 0xE9), 444); // eacute
    EXPECT_EQ(widthOf("Courier", 0x20AC), 600);     // Euro
    EXPECT_EQ(widthOf("Symbol", 0x03B1), 631);      // alpha
    EXPECT_EQ(widthOf("ZapfDingbats", 0x2701), 974); // a1
    EXPECT_EQ(widthOf("Helvetica", 0x4E2D), -1);
    int space = 0;
    EXPECT_TRUE(manager.findBuildinFont("Courier-Bold")->fontWidths().widthOfSpace(space));
    EXPECT_EQ(space, 600);
    const BuiltinFontWidths& widths = times->fontWidths();
    EXPECT_EQ(widths.hash("A"), 65 % widths.widthsCount());
    EXPECT_EQ(widths.hash("AB"), (65 * 17 + 66) % widths.widthsCount());

    const char* expected[12] = {"Courier",        "Courier-Oblique",      "Courier-Bold",
                                "Courier-BoldOblique", "Helvetica",       "Helvetica-Oblique",
                                "Helvetica-Bold", "Helvetica-BoldOblique", "Times-Roman",
                                "Times-Italic",   "Times-Bold",           "Times-BoldItalic"};
    ASSERT_EQ(manager.fontsSubstArray().size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(manager.fontsSubstArray()[static_cast<size_t>(i)]->fontName(), expected[i]);
}

TEST(BuiltinFontManager, OneManagerForConcurrentFirstCalls)
{
    std::vector<const BuiltinFontManager*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = &BuiltinFontManager::sharedManager(); });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(std::set<const BuiltinFontManager*>(seen.begin(), seen.end()).size(), 1u);
}

TEST(GlyphNames, NameToUnicodeAndBack)
{
    const struct {
        const char* name;
        uint32_t value;
    } names[] = {
        {"A", 0x41},          {"space", 0x20},     {"Euro", 0x20AC}, {"fi", 0xFB01},
        {"uni20AC", 0x20AC},  {"uni12345", 12345}, {"uniZZZZ", 0},   {"uni", 0},
        {"a1", 0x2701},       {"f_i", 0},          {"", 0},          {"uni20ac", 0x20AC},
    };
    for (const auto& n : names)
        EXPECT_EQ(BuiltinFontWidths::nameToUnicodeID(n.name), n.value) << n.name;

    const struct {
        uint32_t value;
        const char* name;
    } values[] = {
        {0, ".notdef"},    {0x20, "space"}, {0x41, "A"},        {0xE000, "unie000"},
        {0xFB01, "fi"},    {0x10041, "A"},  {0x2206, "Delta"},  {0x2701, "a1"},
        {0xE9, "eacute"},
    };
    for (const auto& v : values)
        EXPECT_EQ(BuiltinFontWidths::unicodeIDToName(v.value), v.name) << std::hex << v.value;
}

TEST(LegacyEncodings, GlyphNamesAndCodePages)
{
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::Standard, 0x27), "quoteright");
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::Standard, 0xAE), "fi");
    EXPECT_EQ(glyphNameForCode(PDFFontEncoding::Standard, 0x80), nullptr);
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::WinAnsi, 0x80), "Euro");
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::WinAnsi, 0x27), "quotesingle");
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::WinAnsi, 0xA0), "space");
    EXPECT_EQ(glyphNameForCode(PDFFontEncoding::WinAnsi, 0x81), nullptr);
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::MacRoman, 0xDB), "currency");
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::MacRoman, 0xDE), "fi");
    EXPECT_EQ(glyphNameForCode(PDFFontEncoding::MacRoman, 0xBD), nullptr); // Omega: Symbol only
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::MacRoman, 0xB5), "mu");
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::Symbol, 0x61), "alpha");
    EXPECT_STREQ(glyphNameForCode(PDFFontEncoding::ZapfDingbats, 0x21), "a1");
    EXPECT_EQ(unicodeForCode(PDFFontEncoding::Symbol, 0x61), U'\u03B1');
    EXPECT_EQ(unicodeForCode(PDFFontEncoding::WinAnsi, 0x96), U'\u2013');
    EXPECT_EQ(unicodeForCode(PDFFontEncoding::PDFDoc, 0xA0), U'\u20AC');
    EXPECT_EQ(pdfFontEncodingForName("MacRomanEncoding"), PDFFontEncoding::MacRoman);
    EXPECT_FALSE(pdfFontEncodingForName("MacExpertEncoding"));

    const struct {
        uint64_t encoding;
        uint8_t byte;
        std::optional<char32_t> expected;
    } bytes[] = {
        {kStringEncodingASCII, 0x41, U'A'},
        {kStringEncodingASCII, 0x80, std::nullopt},
        {kStringEncodingWindowsCP1252, 0x80, U'\u20AC'},
        {kStringEncodingWindowsCP1252, 0x81, std::nullopt},
        {kStringEncodingWindowsCP1252, 0xE9, U'\u00E9'},
        {kStringEncodingMacOSRoman, 0xDB, U'\u20AC'},
        {kStringEncodingMacOSRoman, 0x8E, U'\u00E9'},
        {kStringEncodingMacOSRoman, 0xF0, U'\uF8FF'},
        {kStringEncodingUnicode, 0x41, std::nullopt},
    };
    for (const auto& b : bytes)
        EXPECT_EQ(decodeByteInStringEncoding(b.encoding, b.byte), b.expected)
            << b.encoding << " " << int(b.byte);
    EXPECT_EQ(pdfDocEncodingToUnicode(0x18), U'\u02D8');
    EXPECT_EQ(pdfDocEncodingToUnicode(0x93), U'\uFB01');
    EXPECT_EQ(pdfDocEncodingToUnicode(0x7F), std::nullopt);
}
