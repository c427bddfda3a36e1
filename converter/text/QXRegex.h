// The patterns that recognise numbers in the text of a spreadsheet cell,
// and the language guess of a text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXRegex {
public:
    // Whether the whole text matches the ICU regular expression; false for
    // a pattern that does not compile.
    static bool evaluateWithRegex(std::string_view regex, std::string_view withObject);
    static bool validateWithRegex(std::string_view regex, std::string_view withString);

    static bool validateIntNumbers(std::string_view text);
    static bool validateGeneralNumbersDecimalSepartorByDot(std::string_view text);
    static bool validateGeneralNumbersDecimalSepartorByComma(std::string_view text);
    static bool validatePercentNumbersDecimalSepartorByDot(std::string_view text);
    static bool validatePercentNumbersDecimalSepartorByComma(std::string_view text);
    static bool validateNumbersWithThousandSepartorByComma(std::string_view text);
    static bool validateNumbersWithThousandSepartorByDot(std::string_view text);
    static bool validateMail(std::string_view text);
    static bool validateChinese(std::string_view text);

    // Currency amounts with one of the symbols (all of them "$" when the
    // list is empty): symbol before or after (SB/SA), comma or dot
    // thousands separator (NSC/NSD).
    static bool validateCurrencyNumberSBNSC(std::string_view text,
                                            const std::vector<std::string>& supportSymbols);
    static bool validateCurrencyNumberSBNSD(std::string_view text,
                                            const std::vector<std::string>& supportSymbols);
    static bool validateCurrencyNumberSANSC(std::string_view text,
                                            const std::vector<std::string>& supportSymbols);
    static bool validateCurrencyNumberSANSD(std::string_view text,
                                            const std::vector<std::string>& supportSymbols);
    // The symbols joined with nothing between them; "$" for an empty list.
    static std::string currencySymbols(const std::vector<std::string>& symbols);

    // The best language code for the first 100 UTF-16 units of the text
    // ("en", "zh-Hans", "zh-Hant", "ja", "fr", ...); "" for an empty text
    // and when no language can be told (no letters, say).
    static std::string LanguageForString(std::string_view text);
    static bool IsLanguageForString_English(std::string_view text);
    static bool IsLanguageForString_Chinese(std::string_view text);
    static bool IsLanguageForString_Chinese_Simplified(std::string_view text);
    static bool IsLanguageForString_Chinese_Traditional(std::string_view text);
};

} // namespace rz
