#include "platform/core/Numbers.h"
#include "platform/core/Uuid.h"
#include "platform/text/IcuLibrary.h"
#include "platform/text/Utf.h"
#include "tests/support/HostileText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <regex>
#include <set>

using namespace rz;

TEST(Numbers, FixedFormsMatchPrintfRounding)
{
    struct Case {
        double v;
        int precision;
        const char* expect;
    } cases[] = {
        {1.5, 6, "1.500000"},  {0.125, 2, "0.12"}, {0.375, 2, "0.38"}, {2.5, 0, "2"},
        {3.5, 0, "4"},         {-0.0, 2, "-0.00"}, {1e20, 0, "100000000000000000000"},
        {1.005, 2, "1.00"},    {-12.3456, 3, "-12.346"},
    };
    for (const Case& c : cases) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.*f", c.precision, c.v);
        EXPECT_EQ(formatFixed(c.v, c.precision), c.expect);
        EXPECT_EQ(formatFixed(c.v, c.precision), buf);
    }
    EXPECT_EQ(formatFixed(NAN), "nan");
    EXPECT_EQ(formatFixed(-INFINITY), "-inf");
    EXPECT_EQ(formatZeroPadded(7, 5), "00007");
    EXPECT_EQ(formatZeroPadded(123456, 5), "123456");
    EXPECT_EQ(formatInteger(-42), "-42");
}

TEST(Numbers, IndependentOfTheProcessLocale)
{
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(formatFixed(1.25, 2), "1.25");
    EXPECT_EQ(parseDouble("1.25"), 1.25);
    EXPECT_FALSE(parseDouble("1,25").has_value());
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Numbers, Parsing)
{
    EXPECT_EQ(parseDouble("-.5"), -0.5);
    EXPECT_EQ(parseDouble("+3"), 3.0);
    EXPECT_EQ(parseDouble("1e3"), 1000.0);
    EXPECT_FALSE(parseDouble(" 1").has_value());
    EXPECT_FALSE(parseDouble("1x").has_value());
    EXPECT_FALSE(parseDouble("").has_value());
    EXPECT_FALSE(parseDouble("inf").has_value());
    EXPECT_EQ(parseInteger("+12"), 12);
    EXPECT_FALSE(parseInteger("1.0").has_value());
    EXPECT_FALSE(parseInteger("99999999999999999999").has_value());
    size_t used = 0;
    EXPECT_EQ(parseLeadingDouble("  12.5abc", &used), 12.5);
    EXPECT_EQ(used, 6u);
    EXPECT_EQ(parseLeadingDouble("abc", &used), 0.0);
    EXPECT_EQ(used, 0u);
    EXPECT_TRUE(std::isinf(parseLeadingDouble("1e999", &used)));
    EXPECT_EQ(parseLeadingDouble("1e-999", &used), 0.0);
}

TEST(Utf, ConversionsReplaceInvalidSequences)
{
    EXPECT_EQ(utf8ToUtf16("a\xC3\xA9"), u"a\u00E9");
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");   // truncated
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");   // overlong
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // encoded surrogate
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600x"), "\xF0\x9F\x98\x80x");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(utf16Length("a\xF0\x9F\x98\x80\xC3\xA9"), 4u);
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD ok"));
    EXPECT_FALSE(isValidUtf8("\xFF"));
    EXPECT_EQ(prefixUtf16Units("ab\xF0\x9F\x98\x80", 3), "ab");
}

TEST(IcuLibrary, SaslPrepMapsRemovesAndRefuses)
{
    ASSERT_TRUE(icuLibrary().loaded);
    struct Case {
        const char* name;
        std::string text;
        std::optional<std::string> prepared;
    } cases[] = {
        {"ASCII unchanged", "Pass word1", "Pass word1"},
        {"empty", "", ""},
        {"soft hyphen removed", "pass\xC2\xADword", "password"},
        {"zero-width no-break space removed", "a\xEF\xBB\xBF" "b", "ab"},
        {"feminine ordinal to a (NFKC)", "\xC2\xAA" "bc", "abc"},
        {"no-break space to space", "a\xC2\xA0" "b", "a b"},
        {"ligature split", "\xEF\xAC\x81ne", "fine"},
        {"combining accent composed", "e\xCC\x81t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
        {"already prepared", "\xC3\xA6\xC3\xB8\xC3\xA5", "\xC3\xA6\xC3\xB8\xC3\xA5"},
        {"control character refused", "a\x07" "b", std::nullopt},
        {"private use refused", "a\xEE\x80\x80", std::nullopt},
        {"right-to-left then left-to-right refused", "\xD7\x90" "a\xD7\x91", std::nullopt},
        {"not UTF-8", "pass\xADword", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(saslPreparedText(c.text), c.prepared) << c.name;
    // NFKC may lengthen the text well beyond a first guess at its size.
    std::string wide, expanded;
    for (int i = 0; i < 20; ++i)
        wide += "\xEF\xB7\xBA"; // U+FDFA, one character of 18 after NFKC
    const auto prepared = saslPreparedText(wide);
    ASSERT_TRUE(prepared);
    EXPECT_EQ(utf16Length(*prepared), 20u * 18u);
}

// What markup may hold: ill-formed input as U+FFFD, the forbidden characters
// left out, everything else byte for byte; the result is always well-formed.
TEST(Utf, MarkupSafeTextOfHostileStrings)
{
    for (const auto& c : test::hostileUtf8Texts()) {
        SCOPED_TRACE(c.name);
        const std::string safe = markupSafeText(c.text);
        EXPECT_EQ(safe, c.safe);
        EXPECT_TRUE(isValidUtf8(safe));
        std::string visited;
        forEachMarkupCodePoint(c.text, [&](char32_t cp) { appendUtf8(visited, cp); });
        EXPECT_EQ(visited, c.safe);
    }
    for (const auto& c : test::hostileUtf16Texts()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(markupSafeText(c.text), c.safe);
    }
}

TEST(Utf, ForbiddenInMarkupAtTheEdgesOfEachRange)
{
    struct Case {
        char32_t cp;
        bool forbidden;
    };
    const Case cases[] = {
        {0x00, true},     {0x08, true},     {0x09, false},    {0x0A, false},    {0x0B, true},
        {0x0D, false},    {0x1F, true},     {0x20, false},    {0x7E, false},    {0x7F, true},
        {0x9F, true},     {0xA0, false},    {0xD7FF, false},  {0xD800, true},   {0xDFFF, true},
        {0xE000, false},  {0xFDCF, false},  {0xFDD0, true},   {0xFDEF, true},   {0xFDF0, false},
        {0xFFFD, false},  {0xFFFE, true},   {0xFFFF, true},   {0x10000, false}, {0x1FFFE, true},
        {0x10FFFD, false}, {0x10FFFF, true}, {0x110000, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isForbiddenInMarkup(c.cp), c.forbidden) << std::hex << uint32_t(c.cp);
}

TEST(Uuid, UppercaseHyphenatedAndFresh)
{
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        const std::string u = makeUuidString();
        EXPECT_TRUE(std::regex_match(u, form)) << u;
        seen.insert(u);
    }
    EXPECT_EQ(seen.size(), 100u);
}
