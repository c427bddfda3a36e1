// The reading order of lines drawn in visual order: right-to-left words
// come back in the order they are written, numbers and left-to-right words
// stay as drawn, a piece's own characters stay together.
#include "platform/text/TextBidi.h"
#include "platform/text/Utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rz {
namespace {

// The pieces' texts written in the reading order found (the visual order
// when none is found).
std::string readingText(const std::vector<std::u16string>& pieces)
{
    std::vector<std::u16string_view> views(pieces.begin(), pieces.end());
    std::vector<BidiReadingPiece> order = readingOrderOfVisualLine(views);
    if (order.empty())
        for (size_t i = 0; i < pieces.size(); ++i)
            order.push_back(BidiReadingPiece{i, 0});
    EXPECT_EQ(order.size(), pieces.size());
    std::u16string out;
    for (const BidiReadingPiece& entry : order) {
        if (entry.mirroredChar != 0)
            out += static_cast<char16_t>(entry.mirroredChar);
        else
            out += pieces.at(entry.index);
    }
    return utf16ToUtf8(out);
}

// One piece per code point of a UTF-8 text, as a page gives one glyph each.
std::vector<std::u16string> glyphs(const std::string& text)
{
    std::vector<std::u16string> pieces;
    for (const char16_t u : utf8ToUtf16(text))
        pieces.push_back(std::u16string(1, u));
    return pieces;
}

TEST(TextBidi, RightToLeftTextIsFoundWithoutIcu)
{
    EXPECT_FALSE(hasRightToLeftText(u""));
    EXPECT_FALSE(hasRightToLeftText(u"Hello, World \u00E9\u4E2D\u0410 (1)"));
    EXPECT_FALSE(hasRightToLeftText(u"\uFEFF")); // a byte-order mark
    EXPECT_TRUE(hasRightToLeftText(u"a \u05D0"));          // Hebrew
    EXPECT_TRUE(hasRightToLeftText(u"\u0645"));            // Arabic
    EXPECT_TRUE(hasRightToLeftText(u"x\uFEE3"));           // Arabic presentation form B
    EXPECT_TRUE(hasRightToLeftText(u"\uFB2E"));            // Hebrew presentation form
    EXPECT_TRUE(hasRightToLeftText(u"\u200F"));            // right-to-left mark
    EXPECT_TRUE(hasRightToLeftText(u"\U00010900"));        // Phoenician, beyond the BMP
}

TEST(TextBidi, VisualLinesComeBackInReadingOrder)
{
    struct Case {
        const char* visual;
        const char* reading;
    };
    const Case cases[] = {
        // A right-to-left word (presentation forms) inside left-to-right text.
        {"Hello \uFEAA\uFEE4\uFEA4\uFEE3 World.", "Hello \uFEE3\uFEA4\uFEE4\uFEAA World."},
        // Right-to-left lines: the words reversed, numbers as drawn.
        {"ططق 47 يدنع", "عندي 47 قطط"},
        {"ةيزيلجنالا يف Jeremy يمسا", "اسمي Jeremy في الانجليزية"},
        {"1234    ططق 47 يدنع", "عندي 47 قطط    1234"},
        {"ططق 1,234.5 يدنع", "عندي 1,234.5 قطط"},
        {"12 abc ةيبرعلا", "العربية 12 abc"},
        // A percent sign stays with its number.
        {"ططق 12.5% يدنع", "عندي 12.5% قطط"},
        {"ططق $12 يدنع", "عندي $12 قطط"},
        // Mostly left-to-right: only the right-to-left word turns.
        {"Jeremy is يمرج in Arabic", "Jeremy is جرمي in Arabic"},
        // Hebrew.
        {"םולש", "שלום"},
        // Brackets drawn around right-to-left text show their mirror images.
        {"(جبا)", "(ابج)"},
        // Nothing right to left: unchanged.
        {"abc (1) 12.5%", "abc (1) 12.5%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readingText(glyphs(c.visual)), c.reading) << c.visual;
}

TEST(TextBidi, APieceKeepsItsCharactersInTheirOrder)
{
    // "كلاب" drawn as beh, the lam-alef ligature (whose text is already in
    // reading order) and kaf: the ligature's two letters stay as they are.
    EXPECT_EQ(readingText({u"\u0628", u"\u0644\u0627", u"\u0643"}), "كلاب");
    // Marks drawn on a letter follow it: "مرحباً" drawn as alef, tanween
    // fath over it, beh, hah, reh, meem; the Hebrew "שָׁלוֹם" with its points.
    EXPECT_EQ(readingText(glyphs("\u0627\u064B\u0628\u062D\u0631\u0645")), "مرحباً");
    EXPECT_EQ(readingText(glyphs("\u05DD\u05D5\u05B9\u05DC\u05E9\u05B8\u05C1")), "שָׁלוֹם");
    // A mark with nothing drawn before it stays where it is read.
    EXPECT_EQ(readingText({u"\u064B", u"\u0628", u"\u0627"}), "\u0627\u0628\u064B");
    // A left-to-right line has no reading order of its own.
    EXPECT_TRUE(readingOrderOfVisualLine({u"ab", u" ", u"cd"}).empty());
    EXPECT_TRUE(readingOrderOfVisualLine({}).empty());
}

} // namespace
} // namespace rz
