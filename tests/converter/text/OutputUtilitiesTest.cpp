// Colours as hex, blank and full-width tests, word splitting, text width on
// installed fonts, string similarity, overlap ratios and namespace names.
#include "converter/ooxml/QXHexColor.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/text/QXConverterUtilities.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <cmath>
#include <string>
#include <vector>

using namespace rz;

TEST(QXHexColorTest, HexDigitsAndBlackTest)
{
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(Color::rgb(1, 0, 0.5)), "ff0080");
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(Color::rgb(0.2, 0.4, 0.6, 0.5)), "336699");
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(Color::gray(0.5)), "808080");
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(Color::cmyk(0, 1, 1, 0)), "000000");
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(Color::rgb(1.5, -0.2, NAN)), "ff0000");
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(std::optional<Color>()), std::nullopt);
    EXPECT_EQ(QXHexColor::getHexColorFromCGColor(QXHexColor::whiteCGColor()), "ffffff");
    // Channel values, clamped.
    EXPECT_EQ(QXHexColor::hexFromChannels(255, 0, 128), "ff0080");
    EXPECT_EQ(QXHexColor::hexFromChannels(300, -5, 9), "ff0009");

    struct Case {
        std::optional<Color> color;
        bool black;
    };
    const Case cases[] = {
        {Color::rgb(0.04, 0.04, 0.04), true},   // 10 of 255
        {Color::rgb(0.05, 0, 0), false},        // 13 of 255
        {Color::gray(0.04), true},
        {Color::gray(0.05), false},
        {Color::cmyk(0, 0, 0, 0), true},        // other models count as black
        {Color{Color::Model::Pattern, {}, 1}, true},
        {std::nullopt, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXHexColor::isBlackColor(c.color), c.black);
}

TEST(QXConverterUtilitiesTest, BlankAndFullWidth)
{
    for (const char* blank : {"", " \t\r\n", "\xC2\xA0\xE2\x80\x8B\xE2\x80\xA8", "\x01\x7F"})
        EXPECT_TRUE(QXConverterUtilities::isBlankString(blank)) << blank;
    for (const char* text : {"a", "  .  ", "\xE4\xB8\xAD"})
        EXPECT_FALSE(QXConverterUtilities::isBlankString(text)) << text;

    EXPECT_FALSE(QXConverterUtilities::IsFullWidthCharacter(""));
    EXPECT_FALSE(QXConverterUtilities::IsFullWidthCharacter("abc"));
    EXPECT_TRUE(QXConverterUtilities::IsFullWidthCharacter("\xC3\xA9t\xC3\xA9"));  // accented Latin
    EXPECT_TRUE(QXConverterUtilities::IsFullWidthCharacter("\xE4\xB8\xAD" "a"));
    EXPECT_TRUE(QXConverterUtilities::IsFullWidthCharacter("\xFF"));
}

TEST(QXConverterUtilitiesTest, SplitsIntoWordsOrCharacters)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(QXConverterUtilities::ComponentsSeparatedByWords("Hello, world 42! don't"),
              (Words{"Hello", "world", "42", "don't"}));
    EXPECT_EQ(QXConverterUtilities::ComponentsSeparatedByWords("  "), Words{});
    // First character outside ASCII: every composed character, spaces included.
    EXPECT_EQ(QXConverterUtilities::ComponentsSeparatedByWords("\xE4\xB8\xAD\xE6\x96\x87 e\xCC\x81"),
              (Words{"\xE4\xB8\xAD", "\xE6\x96\x87", " ", "e\xCC\x81"}));
}

TEST(QXConverterUtilitiesTest, LikePercentIsLevenshteinOverUtf16)
{
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("kitten", "sitting"), 50.0f);
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("abc", ""), 3.0f);
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("", "abcd"), 4.0f);
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("", ""), 0.0f);
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("same", "same"), 100.0f);
    // An emoji is two UTF-16 units: distance 2 over a length of 3.
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("\xF0\x9F\x98\x80" "a", "a"),
                    static_cast<float>(100.0 - 200.0 / 3.0));
    EXPECT_FLOAT_EQ(QXConverterUtilities::String("ab", "abcdefgh"), -200.0f);
}

TEST(QXConverterUtilitiesTest, OverlapRatios)
{
    const Rect a(0, 0, 10, 10);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::PecentAreaOfIntersectRect(a, Rect(5, 5, 10, 10)), 0.25);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::PecentAreaOfIntersectRect(a, Rect(-5, -5, 30, 30)), 1.0);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::PecentAreaOfIntersectRect(a, Rect(10, 0, 5, 5)), 0.0);  // touching
    EXPECT_DOUBLE_EQ(QXConverterUtilities::PecentAreaOfIntersectRect(a, Rect(20, 20, 5, 5)), 0.0);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::PecentAreaOfIntersectRect(Rect(0, 0, 0, 10), a), 0.0);

    EXPECT_DOUBLE_EQ(QXConverterUtilities::WidthOfNoneIntersectRect(a, Rect(6, 0, 10, 10)), 6.0);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::WidthOfNoneIntersectRect(a, Rect(6, 10, 10, 10)), 0.0);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::WidthOfNoneIntersectRect(a, Rect(20, 0, 1, 1)), 0.0);
}

TEST(QXConverterUtilitiesTest, RandomLetters)
{
    for (int i = 0; i < 50; ++i) {
        const std::string s = QXConverterUtilities::Random4BigLetter();
        ASSERT_EQ(s.size(), 4u);
        for (char c : s)
            EXPECT_TRUE(c >= 'A' && c <= 'Z') << s;
    }
}

namespace {

// The advance width of a text in points by FreeType alone (unscaled
// advances, no shaping), for a font file.
double freeTypeWidth(const std::string& file, const std::string& text, double size)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return -1;
    double width = -1;
    if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
        FT_Fixed sum = 0;
        for (char c : text) {
            FT_Fixed advance = 0;
            FT_Get_Advance(face, FT_Get_Char_Index(face, static_cast<FT_ULong>(c)), FT_LOAD_NO_SCALE, &advance);
            sum += advance;
        }
        width = static_cast<double>(sum) * size / face->units_per_EM;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return width;
}

std::string fontFile(const std::string& family)
{
    std::string out;
    test::runCommand("fc-match -f '%{file}' '" + family + ":style=Regular'", &out);
    return out;
}

} // namespace

TEST(QXConverterUtilitiesTest, TextWidthOnInstalledFontsOnly)
{
    const std::string file = fontFile("Liberation Sans");
    if (file.find("LiberationSans-Regular") == std::string::npos)
        GTEST_SKIP() << "Liberation Sans is not installed";

    const double expected = freeTypeWidth(file, "Hello", 12);
    ASSERT_GT(expected, 20);
    const double width = QXConverterUtilities::TextWidth("Hello", "Liberation Sans", 12, 1024);
    EXPECT_NEAR(width, expected, 0.1);
    // A family stands for its regular face; PostScript and full names
    // name one face each.
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello", "LiberationSans", 12, 1024), width);
    const double bold = QXConverterUtilities::TextWidth("Hello", "LiberationSans-Bold", 12, 1024);
    EXPECT_GT(bold, width);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello", "Liberation Sans Bold", 12, 1024), bold);
    // The width scales with the size; trailing blanks do not count; the
    // widest line is the width.
    EXPECT_NEAR(QXConverterUtilities::TextWidth("Hello", "Liberation Sans", 24, 1024), 2 * width, 1e-6);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello   ", "Liberation Sans", 12, 1024), width);
    const double longer = QXConverterUtilities::TextWidth("Hello Hello", "Liberation Sans", 12, 1024);
    EXPECT_GT(longer, 2 * width);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello\nHello Hello\r\nHi", "Liberation Sans", 12, 1024), longer);
    // Lines below the height limit are not laid out.
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello\nHello Hello", "Liberation Sans", 12, 20), width);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello", "Liberation Sans", 12, 5), 0.0);

    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("", "Liberation Sans", 12, 1024), 0.0);
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello", "No Such Font Family", 12, 1024), 0.0);
    // Names that fontconfig only substitutes are not installed fonts.
    std::string helvetica;
    test::runCommand("fc-list ':family=Helvetica'", &helvetica);
    if (helvetica.empty()) {
        EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello", "Helvetica", 12, 1024), 0.0);
    }
    EXPECT_DOUBLE_EQ(QXConverterUtilities::TextWidth("Hello", "sans-serif", 12, 1024), 0.0);
}

TEST(QXOpenXMLNameSpaceTest, PublishedNames)
{
    EXPECT_EQ(QXOpenXMLNameSpace::nameSpace_a(), "http://schemas.openxmlformats.org/drawingml/2006/main");
    EXPECT_EQ(QXOpenXMLNameSpace::nameSpace_Rels_WorkSheet(),
              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet");
    EXPECT_EQ(QXOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main(),
              "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    EXPECT_EQ(QXOpenXMLNameSpace::nameSpace_dcterms(), "http://purl.org/dc/terms/");
    EXPECT_EQ(QXOpenXMLNameSpace::nameSpace_xsi(), "http://www.w3.org/2001/XMLSchema-instance");
}
