#include "converter/text/QXNumberUtils.h"

#include "platform/text/Utf.h"

namespace rz {

namespace {

std::string removeAll(std::string_view text, std::string_view piece)
{
    std::string result;
    result.reserve(text.size());
    if (piece.empty())
        return std::string(text);
    size_t start = 0;
    for (size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, start)) {
        result.append(text.substr(start, at - start));
        start = at + piece.size();
    }
    result.append(text.substr(start));
    return result;
}

// The types whose currency symbol follows the number.
bool symbolFollowsNumber(long numberType)
{
    return numberType == 6 || numberType == 7;
}

} // namespace

const std::vector<std::string>& QXNumberUtils::supportCurrencySymbols()
{
    static const std::vector<std::string> symbols = {"\xEF\xBF\xA5", "\xC2\xA5", "$", "\xE2\x82\xAC"};
    return symbols;
}

std::string QXNumberUtils::getSymbol(std::string_view text)
{
    for (const std::string& symbol : supportCurrencySymbols()) {
        if (text.find(symbol) != std::string_view::npos)
            return symbol;
    }
    return {};
}

std::string QXNumberUtils::getThousandSepartor(long numberType)
{
    switch (numberType) {
    case 0: case 2: case 4: case 6: case 9:
    case 1: case 8:
        return ",";
    case 3: case 5: case 7:
        return ".";
    default:
        return ",";
    }
}

std::string QXNumberUtils::getDecimalSepartor(long numberType)
{
    switch (numberType) {
    case 0: case 2: case 4: case 6: case 9:
        return ".";
    default:
        return ",";
    }
}

long QXNumberUtils::getDecimalLength(std::string_view text,
                                     std::optional<std::string_view> currencySymbol,
                                     std::string_view decimalSepartor)
{
    std::string number(text);
    if (currencySymbol)
        number = removeAll(number, *currencySymbol);
    number = removeAll(number, " ");
    if (decimalSepartor.empty())
        return 0;
    const size_t first = number.find(decimalSepartor);
    if (first == std::string::npos ||
        number.find(decimalSepartor, first + decimalSepartor.size()) != std::string::npos)
        return 0;
    return static_cast<long>(utf16Length(std::string_view(number).substr(first + decimalSepartor.size())));
}

long QXNumberUtils::getDecimalLength(std::string_view text, std::string_view decimalSepartor)
{
    const std::string symbol = getSymbol(text);
    return getDecimalLength(text, std::string_view(symbol), decimalSepartor);
}

std::string QXNumberUtils::numberCodeWithDecimalLength(long count)
{
    if (count < 1)
        return "#,##0";
    return "#,##0." + std::string(static_cast<size_t>(count), '0');
}

std::string QXNumberUtils::currencyFormatWithDecimalLength(long count, std::string_view symbol,
                                                           long numberType)
{
    const std::string code = numberCodeWithDecimalLength(count);
    return symbolFollowsNumber(numberType) ? code + std::string(symbol) : std::string(symbol) + code;
}

} // namespace rz
