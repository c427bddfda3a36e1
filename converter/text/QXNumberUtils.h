// Currency symbols, separators, decimal counts and number-format codes of
// the numbers that the spreadsheet export recognises in cell text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXNumberUtils {
public:
    // "￥" (U+FFE5), "¥" (U+00A5), "$", "€" (U+20AC), in this order.
    static const std::vector<std::string>& supportCurrencySymbols();
    // The first supported symbol, in that order, found anywhere in the
    // text; "" when none is.
    static std::string getSymbol(std::string_view text);

    // Separators of a number type: "." and "," for 0, 2, 4, 6 and 9; ","
    // and "," for 1 and 8; "," and "." for 3, 5 and 7; "," and "," for any
    // other type.
    static std::string getThousandSepartor(long numberType);
    static std::string getDecimalSepartor(long numberType);

    // Count of decimals (in UTF-16 units) of a number text: without the
    // symbol (when given) and every space, the length of the part after
    // the decimal separator when the separator occurs exactly once, else 0.
    static long getDecimalLength(std::string_view text, std::optional<std::string_view> currencySymbol,
                                 std::string_view decimalSepartor);
    // The same with the symbol found by getSymbol().
    static long getDecimalLength(std::string_view text, std::string_view decimalSepartor);

    // "#,##0" for a count below 1, else "#,##0." followed by `count` zeros.
    static std::string numberCodeWithDecimalLength(long count);
    // The symbol followed by the number code, or for the types 6 and 7 the
    // number code followed by the symbol.
    static std::string currencyFormatWithDecimalLength(long count, std::string_view symbol,
                                                       long numberType);
};

} // namespace rz
