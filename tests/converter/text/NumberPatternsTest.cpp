// Number patterns matched against whole cell texts, decimal counts, number
// formats and the language guess.
#include "converter/text/QXNumberUtils.h"
#include "converter/text/QXRegex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace rz;

namespace {

const std::string kEuro = "\xE2\x82\xAC";
const std::string kYen = "\xC2\xA5";
const std::string kFullWidthYen = "\xEF\xBF\xA5";

} // namespace

TEST(QXRegexTest, PatternsMatchTheWholeText)
{
    const auto& symbols = QXNumberUtils::supportCurrencySymbols();
    using Check = std::function<bool(const std::string&)>;
    struct Case {
        const char* validator;
        Check check;
        std::string text;
        bool matches;
    };
    const Check commaThousands = QXRegex::validateNumbersWithThousandSepartorByComma;
    const Check dotThousands = QXRegex::validateNumbersWithThousandSepartorByDot;
    const Check dotGeneral = QXRegex::validateGeneralNumbersDecimalSepartorByDot;
    const Check commaGeneral = QXRegex::validateGeneralNumbersDecimalSepartorByComma;
    const Check dotPercent = QXRegex::validatePercentNumbersDecimalSepartorByDot;
    const Check commaPercent = QXRegex::validatePercentNumbersDecimalSepartorByComma;
    const Check sbnsd = [&](const std::string& t) { return QXRegex::validateCurrencyNumberSBNSD(t, symbols); };
    const Check sbnsc = [&](const std::string& t) { return QXRegex::validateCurrencyNumberSBNSC(t, symbols); };
    const Check sansd = [&](const std::string& t) { return QXRegex::validateCurrencyNumberSANSD(t, symbols); };
    const Check sansc = [&](const std::string& t) { return QXRegex::validateCurrencyNumberSANSC(t, symbols); };
    const Check dollarOnly = [](const std::string& t) { return QXRegex::validateCurrencyNumberSBNSC(t, {}); };

    const Case cases[] = {
        {"comma thousands", commaThousands, "1,234.50", true},
        {"comma thousands", commaThousands, "-12,345,678", true},
        {"comma thousands", commaThousands, "1234.50", false},  // a group is required
        {"comma thousands", commaThousands, "1,23.5", false},
        {"dot general", dotGeneral, "1234.50", true},
        {"dot general", dotGeneral, "-7", true},
        {"dot general", dotGeneral, "1234.", false},
        {"dot general", dotGeneral, "1234.50 kg", false},
        {"comma general", commaGeneral, "1234,5", true},
        {"dot thousands", dotThousands, "1.234,50", true},
        {"dot percent", dotPercent, "12%", true},
        {"dot percent", dotPercent, "-12.5%", true},
        {"dot percent", dotPercent, "12% growth", false},  // the whole text must match
        {"comma percent", commaPercent, "12,5%", true},
        {"symbol before, dot thousands", sbnsd, kEuro + " 1.234,50", true},
        {"symbol before, dot thousands", sbnsd, "-" + kFullWidthYen + "1.234", true},
        {"symbol before, comma thousands", sbnsc, "$1,234.50", true},
        {"symbol before, comma thousands", sbnsc, kYen + "  12", true},
        {"symbol before, comma thousands", sbnsc, "\xC2\xA3" "12", false},  // pound not supported
        {"symbol after, dot thousands", sansd, "1.234,50 $", true},
        {"symbol after, comma thousands", sansc, "1,234.50" + kEuro, true},
        {"symbol after, comma thousands", sansc, "$1,234.50", false},
        {"no symbols: dollar only", dollarOnly, "$5", true},
        {"no symbols: dollar only", dollarOnly, kEuro + "5", false},
        {"integers", QXRegex::validateIntNumbers, "-42", true},
        {"integers", QXRegex::validateIntNumbers, "4.2", false},
        {"mail", QXRegex::validateMail, "first.last@example.org", true},
        {"mail", QXRegex::validateMail, "not a mail", false},
        {"chinese", QXRegex::validateChinese, "\xE4\xB8\xAD\xE6\x96\x87", true},
        {"chinese", QXRegex::validateChinese, "\xE4\xB8\xAD" "a", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.check(c.text), c.matches) << c.validator << ": " << c.text;

    // Symbols that mean something in a character class stand for themselves.
    EXPECT_TRUE(QXRegex::validateCurrencyNumberSBNSC("]5", {"]", "-", "^"}));
    EXPECT_FALSE(QXRegex::validateCurrencyNumberSBNSC("a5", {"!", "-", "~"}));

    EXPECT_EQ(QXRegex::currencySymbols({}), "$");
    EXPECT_EQ(QXRegex::currencySymbols(symbols), kFullWidthYen + kYen + "$" + kEuro);
    EXPECT_TRUE(QXRegex::evaluateWithRegex("a+", "aaa"));
    EXPECT_FALSE(QXRegex::evaluateWithRegex("a+", "aab"));
    EXPECT_FALSE(QXRegex::evaluateWithRegex("(unclosed", "(unclosed"));
    EXPECT_TRUE(QXRegex::validateWithRegex("", ""));
}

TEST(QXNumberUtilsTest, SymbolsSeparatorsDecimalsAndFormats)
{
    EXPECT_EQ(QXNumberUtils::supportCurrencySymbols(),
              (std::vector<std::string>{kFullWidthYen, kYen, "$", kEuro}));
    EXPECT_EQ(QXNumberUtils::getSymbol("1.234,50 " + kEuro), kEuro);
    EXPECT_EQ(QXNumberUtils::getSymbol("$" + kYen), kYen);  // the list's order decides
    EXPECT_EQ(QXNumberUtils::getSymbol("12"), "");

    struct Separators {
        long type;
        const char* decimal;
        const char* thousands;
    };
    for (const Separators& s : std::initializer_list<Separators>{
             {0, ".", ","}, {2, ".", ","}, {4, ".", ","}, {6, ".", ","}, {9, ".", ","},
             {1, ",", ","}, {8, ",", ","}, {3, ",", "."}, {5, ",", "."}, {7, ",", "."},
             {-1, ",", ","}, {10, ",", ","}}) {
        EXPECT_EQ(QXNumberUtils::getDecimalSepartor(s.type), s.decimal) << s.type;
        EXPECT_EQ(QXNumberUtils::getThousandSepartor(s.type), s.thousands) << s.type;
    }

    EXPECT_EQ(QXNumberUtils::getDecimalLength("$ 1,234.567", std::string_view("$"), "."), 3);
    EXPECT_EQ(QXNumberUtils::getDecimalLength("1.2.3", std::nullopt, "."), 0);
    EXPECT_EQ(QXNumberUtils::getDecimalLength("1234", std::nullopt, "."), 0);
    EXPECT_EQ(QXNumberUtils::getDecimalLength("1.234,50 " + kEuro, ","), 2);
    EXPECT_EQ(QXNumberUtils::getDecimalLength("12,5 %", ","), 2);  // the percent sign stays
    EXPECT_EQ(QXNumberUtils::getDecimalLength("1,234.50", "."), 2);
    EXPECT_EQ(QXNumberUtils::getDecimalLength("1.234,50 $", ","), 2);
    EXPECT_EQ(QXNumberUtils::getDecimalLength("12%", "."), 0);

    EXPECT_EQ(QXNumberUtils::numberCodeWithDecimalLength(0), "#,##0");
    EXPECT_EQ(QXNumberUtils::numberCodeWithDecimalLength(-3), "#,##0");
    EXPECT_EQ(QXNumberUtils::numberCodeWithDecimalLength(2), "#,##0.00");
    EXPECT_EQ(QXNumberUtils::currencyFormatWithDecimalLength(2, kEuro, 7), "#,##0.00" + kEuro);
    EXPECT_EQ(QXNumberUtils::currencyFormatWithDecimalLength(2, kEuro, 6), "#,##0.00" + kEuro);
    EXPECT_EQ(QXNumberUtils::currencyFormatWithDecimalLength(2, kEuro, 4), kEuro + "#,##0.00");
    EXPECT_EQ(QXNumberUtils::currencyFormatWithDecimalLength(0, "$", 0), "$#,##0");
}

TEST(QXRegexTest, LanguageGuess)
{
    struct Case {
        std::string text;
        std::string language;
    };
    const Case cases[] = {
        {"", ""},
        {"12345 67.8 %", ""},
        {"The quick brown fox jumps over the lazy dog", "en"},
        // As the page code samples text: without blanks.
        {"Accordingtothereportpublishedlastyear", "en"},
        {"Totalrevenueforthefiscalyear", "en"},
        {"INTRODUCTION", "en"},
        {"Le rapide renard brun saute par-dessus le chien paresseux", "fr"},
        {"Die schnelle braune F\xC3\xBC" "chsin springt \xC3\xBC" "ber den faulen Hund", "de"},
        {"\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95", "zh-Hans"},  // 简体中文测试
        {"\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87\xE6\xB8\xAC\xE8\xA9\xA6", "zh-Hant"},  // 繁體中文測試
        {"\xE3\x81\x93\xE3\x82\x8C\xE3\x81\xAF\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x81\x99", "ja"},
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80", "ru"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXRegex::LanguageForString(c.text), c.language) << c.text;

    EXPECT_TRUE(QXRegex::IsLanguageForString_English("Annual report of the company 2019"));
    EXPECT_FALSE(QXRegex::IsLanguageForString_English("\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87"));
    EXPECT_TRUE(QXRegex::IsLanguageForString_Chinese("\xE4\xB8\xAD\xE6\x96\x87 ABC"));
    EXPECT_TRUE(QXRegex::IsLanguageForString_Chinese_Traditional("\xE7\xB9\x81\xE9\xAB\x94"));
    EXPECT_TRUE(QXRegex::IsLanguageForString_Chinese_Simplified("\xE7\xAE\x80\xE4\xBD\x93"));
    EXPECT_FALSE(QXRegex::IsLanguageForString_Chinese("\xE3\x81\x93\xE3\x82\x8C\xE3\x81\xAF\xE6\x97\xA5\xE6\x9C\xAC"));

    // Only the first 100 UTF-16 units count.
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95";
    std::string mixed;
    for (int i = 0; i < 30; ++i)
        mixed += chinese;  // 120 units of Chinese
    mixed += std::string(500, 'a');
    EXPECT_EQ(QXRegex::LanguageForString(mixed), "zh-Hans");
}
