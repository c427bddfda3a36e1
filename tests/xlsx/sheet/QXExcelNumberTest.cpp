// Number recognition in cell text: what becomes a number under each
// thousands separator, with which value and format, and the texts that must
// stay text because reading them would change the value.
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelNumber.h"

#include <gtest/gtest.h>

using namespace rz;

namespace {

struct NumberCase {
    const char* text;
    const char* separator;
    unsigned type;
    const char* value;
    int32_t numID;
    const char* formatCode;
};

} // namespace

TEST(QXExcelNumberTest, RecognisedNumbersKeepTheirValueAndFormat)
{
    const NumberCase cases[] = {
        {"1,234.56", ",", 2, "1234.56", -1, "#,##0.00"},
        {"-42", ",", 0, "-42", 0, ""},
        {"42", ".", 1, "42", 0, ""},
        {"3,25", ".", 1, "3.25", 0, ""},
        {"(42)", ",", 0, "-42", 0, ""},
        {"( 1,200.5 )", ",", 2, "-1200.5", -1, "#,##0.0"},
        {"($1,200)", ",", 4, "-1200", -1, "$#,##0"},
        {"(1.200,5 \xE2\x82\xAC)", ".", 7, "-1200.5", -1, "#,##0.0\xE2\x82\xAC"},
        {"\xE2\x88\x92" "7.25", ",", 0, "-7.25", 0, ""},
        {"42 %", ",", 9, "0.42", 9, ""},
        {"3.5%", ",", 9, "0.035", 10, ""},
        {"12.5%", ",", 9, "0.125", 10, ""},
        {"100%", ",", 9, "1", 9, ""},
        {"0.00001%", ",", 9, "0.0000001", 10, ""},
        {"-250%", ",", 9, "-2.5", 9, ""},
        {"(5%)", ",", 9, "-0.05", 9, ""},
        {"3,5%", ".", 8, "0.035", 10, ""},
        {"$1,200", ",", 4, "1200", -1, "$#,##0"},
        {"$ 1,200.50", ",", 4, "1200.50", -1, "$#,##0.00"},
        {"1,200.5\xE2\x82\xAC", ",", 6, "1200.5", -1, "#,##0.0\xE2\x82\xAC"},
        {"1.200,5 \xE2\x82\xAC", ".", 7, "1200.5", -1, "#,##0.0\xE2\x82\xAC"},
        {"\xC2\xA5" "5.000", ".", 5, "5000", -1, "\xC2\xA5#,##0"},
        {"1.234,50", ".", 3, "1234.50", -1, "#,##0.00"},
        {"1 234 567", ",", 2, "1234567", -1, "#,##0"},
        {"1 234,5", ".", 3, "1234.5", -1, "#,##0.0"},
        {"1\xC2\xA0" "234,5 \xE2\x82\xAC", ".", 7, "1234.5", -1, "#,##0.0\xE2\x82\xAC"},
        {"123456789012345", ",", 0, "123456789012345", 0, ""},
        {"0.000123456789012345", ",", 0, "0.000123456789012345", 0, ""},
    };
    for (const NumberCase& c : cases) {
        const QXExcelNumber number(c.text, c.separator);
        SCOPED_TRACE(std::string(c.text) + " with " + c.separator);
        ASSERT_TRUE(number.isNumber());
        EXPECT_EQ(number.type(), c.type);
        EXPECT_EQ(number.readNumber(), c.value);
        EXPECT_EQ(number.numID(), c.numID);
        EXPECT_EQ(number.formatCode(), c.formatCode);
    }
}

TEST(QXExcelNumberTest, TextsThatWouldChangeValueStayText)
{
    struct TextCase {
        const char* text;
        const char* separator;
    };
    const TextCase cases[] = {
        {"1,234.56", "."},          // the other separator's thousands form
        {"10 20", ","},             // a space that is no thousands group
        {"1 2345", ","},
        {"12.5 000", ","},          // a group after the decimal point
        {"1 234,567", ","},         // space groups mixed with comma groups
        {"- 42", ","},
        {"1234567890123456", ","},  // 16 significant digits
        {"12345678901234.56", ","},
        {"\xD9\xA4\xD9\xA2", ","},  // Arabic-Indic 42
        {"\xEF\xBC\x94\xEF\xBC\x92", ","}, // fullwidth 42
        {"\xE0\xA5\xAA" "2", ","},  // Devanagari 4 then 2
        {"(-42)", ","},
        {"4(2)", ","},
        {"(42", ","},
        {"42)", ","},
        {"", ","},
        {"   ", ","},
        {"%", ","},
        {"abc", ","},
        {"12a", ","},
        {"1,5", ","},
        {"\t42", ","},
        {"1.2.3", ","},
    };
    for (const TextCase& c : cases) {
        const QXExcelNumber number(c.text, c.separator);
        EXPECT_FALSE(number.isNumber()) << c.text << " with " << c.separator << " read " << number.readNumber();
        EXPECT_EQ(number.readNumber(), "") << c.text;
        EXPECT_EQ(number.numID(), -1) << c.text;
    }
}

TEST(QXExcelNumberTest, SeparatorsFollowTheList)
{
    const QXExcelNumber comma("$1,200", ",");
    EXPECT_EQ(comma.thousandSepartor(), ",");
    EXPECT_EQ(comma.decimalSepartor(), ".");
    EXPECT_EQ(comma.currencySymbol(), "$");
    const QXExcelNumber dot("1.200,5 \xE2\x82\xAC", ".");
    EXPECT_EQ(dot.thousandSepartor(), ".");
    EXPECT_EQ(dot.decimalSepartor(), ",");
    EXPECT_EQ(dot.currencySymbol(), "\xE2\x82\xAC");
}

TEST(QXExcelNumberTest, TheSharedManagerChoosesTheList)
{
    QXExcelManager& manager = QXExcelManager::sharedInstance();
    QXExcelOptions options;
    options.setThousandSepartor(1);
    manager.setOptions(options);
    EXPECT_FALSE(QXExcelNumber("1,234.56").isNumber());
    EXPECT_EQ(QXExcelNumber("1.234,56").readNumber(), "1234.56");
    options.setThousandSepartor(0);
    manager.setOptions(options);
    EXPECT_EQ(QXExcelNumber("1,234.56").readNumber(), "1234.56");
    QXExcelManager::destory();
}
