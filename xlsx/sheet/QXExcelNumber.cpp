#include "xlsx/sheet/QXExcelNumber.h"

#include "converter/text/QXNumberUtils.h"
#include "converter/text/QXRegex.h"
#include "xlsx/sheet/QXExcelManager.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace rz {

namespace {

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// The length of the supported currency symbol at `at`, 0 when none starts
// there.
size_t symbolLengthAt(std::string_view text, size_t at)
{
    for (const std::string& symbol : QXNumberUtils::supportCurrencySymbols()) {
        if (text.substr(at).starts_with(symbol))
            return symbol.size();
    }
    return 0;
}

bool symbolEndsAt(std::string_view text, size_t end)
{
    for (const std::string& symbol : QXNumberUtils::supportCurrencySymbols()) {
        if (end >= symbol.size() && text.substr(0, end).ends_with(symbol))
            return true;
    }
    return false;
}

// The text with no-break spaces (U+00A0, U+202F) turned into spaces and
// the minus sign (U+2212) into "-", or
// nothing when it holds a character no number is written with: anything
// but ASCII digits, ",", ".", "-", "%", " ", "(", ")" and the supported
// currency symbols. Digits of other scripts therefore keep the text a text.
std::optional<std::string> normalized(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const char ch = text[at];
        if (isDigit(ch) || ch == ',' || ch == '.' || ch == '-' || ch == '%' || ch == ' ' || ch == '(' ||
            ch == ')') {
            out.push_back(ch);
            ++at;
        } else if (text.substr(at).starts_with("\xC2\xA0")) {
            out.push_back(' ');
            at += 2;
        } else if (text.substr(at).starts_with("\xE2\x80\xAF")) {
            out.push_back(' ');
            at += 3;
        } else if (text.substr(at).starts_with("\xE2\x88\x92")) { // U+2212 minus sign
            out.push_back('-');
            at += 3;
        } else if (const size_t length = symbolLengthAt(text, at)) {
            out.append(text.substr(at, length));
            at += length;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Whether every space inside the text sits where a number may have one:
// next to a currency symbol, before "%", or between thousands groups (1 to
// 3 digits not after a separator, then exactly 3 digits not followed by
// `thousands`).
bool spacesAllowed(std::string_view text, char thousands)
{
    for (size_t at = 0; at < text.size();) {
        if (text[at] != ' ') {
            ++at;
            continue;
        }
        const size_t left = at; // the space run is [left, right)
        size_t right = at;
        while (right < text.size() && text[right] == ' ')
            ++right;
        at = right;
        if (left == 0 || right == text.size())
            continue;
        if (symbolEndsAt(text, left) || symbolLengthAt(text, right) > 0)
            continue;
        const char before = text[left - 1];
        const char after = text[right];
        if (isDigit(before) && after == '%')
            continue;
        if (!isDigit(before) || !isDigit(after))
            return false;
        size_t groupStart = left;
        while (groupStart > 0 && isDigit(text[groupStart - 1]))
            --groupStart;
        size_t groupEnd = right;
        while (groupEnd < text.size() && isDigit(text[groupEnd]))
            ++groupEnd;
        const size_t leftDigits = left - groupStart;
        const size_t rightDigits = groupEnd - right;
        if (leftDigits > 3 || rightDigits != 3)
            return false;
        if (groupStart > 0 && (text[groupStart - 1] == '.' || text[groupStart - 1] == ','))
            return false;
        if (groupEnd < text.size() && text[groupEnd] == thousands)
            return false;
    }
    return true;
}

// The text without its spaces, except that a space between two digits (a
// thousands group, as spacesAllowed() checked) becomes `thousands`.
std::string groupedWithoutSpaces(std::string_view text, char thousands)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != ' ') {
            out.push_back(text[at]);
            continue;
        }
        size_t right = at;
        while (right < text.size() && text[right] == ' ')
            ++right;
        if (!out.empty() && isDigit(out.back()) && right < text.size() && isDigit(text[right]))
            out.push_back(thousands);
        at = right - 1;
    }
    return out;
}

int significantDigits(std::string_view text)
{
    int count = 0;
    bool started = false;
    for (char ch : text) {
        if (!isDigit(ch))
            continue;
        if (ch != '0')
            started = true;
        if (started)
            ++count;
    }
    return count;
}

std::string removeAll(std::string text, std::string_view needle)
{
    if (needle.empty())
        return text;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at))
        text.erase(at, needle.size());
    return text;
}

std::string replaceAll(std::string text, char from, char to)
{
    for (char& ch : text) {
        if (ch == from)
            ch = to;
    }
    return text;
}

// A decimal text ("-3.5") divided by 100 exactly, by moving its point:
// "-0.035". Trailing fraction zeros and a bare point are dropped; a zero
// value is "0".
std::string hundredth(std::string_view decimal)
{
    bool negative = false;
    if (!decimal.empty() && decimal.front() == '-') {
        negative = true;
        decimal.remove_prefix(1);
    }
    const size_t point = decimal.find('.');
    std::string integer(decimal.substr(0, point));
    std::string fraction = point == std::string_view::npos ? std::string() : std::string(decimal.substr(point + 1));
    if (integer.size() < 3)
        integer.insert(0, 3 - integer.size(), '0');
    fraction.insert(0, integer.substr(integer.size() - 2));
    integer.erase(integer.size() - 2);
    while (integer.size() > 1 && integer.front() == '0')
        integer.erase(0, 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (integer == "0" && fraction.empty())
        return "0";
    std::string out = negative ? "-" : "";
    out += integer;
    if (!fraction.empty())
        out += "." + fraction;
    return out;
}

} // namespace

QXExcelNumber::QXExcelNumber(std::string_view text)
    : QXExcelNumber(text, QXExcelManager::sharedInstance().thousandSepartor())
{
}

QXExcelNumber::QXExcelNumber(std::string_view text, std::string_view thousandSepartor)
{
    recognize(text, thousandSepartor != ".");
}

void QXExcelNumber::recognize(std::string_view source, bool commaList)
{
    const std::optional<std::string> clean = normalized(source);
    if (!clean)
        return;
    std::string_view body = trimmed(*clean);

    // Parentheses are accepted only around the whole number, and mean minus.
    bool negative = false;
    const size_t opens = std::count(body.begin(), body.end(), '(');
    const size_t closes = std::count(body.begin(), body.end(), ')');
    if (opens != 0 || closes != 0) {
        if (opens != 1 || closes != 1 || body.front() != '(' || body.back() != ')')
            return;
        body = trimmed(body.substr(1, body.size() - 2));
        if (body.find('-') != std::string_view::npos)
            return;
        negative = true;
    }
    if (body.empty() || !spacesAllowed(body, commaList ? ',' : '.'))
        return;
    if (significantDigits(body) > kMaxSignificantDigits)
        return;

    std::string text = groupedWithoutSpaces(body, commaList ? ',' : '.');
    if (negative)
        text.insert(0, "-");

    const std::vector<std::string>& symbols = QXNumberUtils::supportCurrencySymbols();
    struct Candidate {
        unsigned type;
        bool (*matches)(std::string_view, const std::vector<std::string>&);
    };
    static const Candidate commaCandidates[] = {
        {0, [](std::string_view t, const auto&) { return QXRegex::validateGeneralNumbersDecimalSepartorByDot(t); }},
        {9, [](std::string_view t, const auto&) { return QXRegex::validatePercentNumbersDecimalSepartorByDot(t); }},
        {2, [](std::string_view t, const auto&) { return QXRegex::validateNumbersWithThousandSepartorByComma(t); }},
        {4, [](std::string_view t, const auto& s) { return QXRegex::validateCurrencyNumberSBNSC(t, s); }},
        {6, [](std::string_view t, const auto& s) { return QXRegex::validateCurrencyNumberSANSC(t, s); }},
    };
    static const Candidate dotCandidates[] = {
        {1, [](std::string_view t, const auto&) { return QXRegex::validateGeneralNumbersDecimalSepartorByComma(t); }},
        {8, [](std::string_view t, const auto&) { return QXRegex::validatePercentNumbersDecimalSepartorByComma(t); }},
        {3, [](std::string_view t, const auto&) { return QXRegex::validateNumbersWithThousandSepartorByDot(t); }},
        {5, [](std::string_view t, const auto& s) { return QXRegex::validateCurrencyNumberSBNSD(t, s); }},
        {7, [](std::string_view t, const auto& s) { return QXRegex::validateCurrencyNumberSANSD(t, s); }},
    };
    const Candidate* found = nullptr;
    for (const Candidate& candidate : commaList ? std::span(commaCandidates) : std::span(dotCandidates)) {
        if (candidate.matches(text, symbols)) {
            found = &candidate;
            break;
        }
    }
    if (!found)
        return;

    type_ = found->type;
    isNumber_ = true;
    decimalSepartor_ = commaList ? "." : ",";
    if (type_ <= 1)
        numID_ = 0;
    else if (type_ >= 8)
        numID_ = 9;
    else
        thousandSepartor_ = commaList ? "," : ".";
    if (type_ >= 4 && type_ <= 7)
        currencySymbol_ = QXNumberUtils::getSymbol(text);
    if (type_ >= 2 && type_ <= 7) {
        const long decimals =
            QXNumberUtils::getDecimalLength(text, currencySymbol_.empty() ? std::nullopt
                                                                          : std::optional<std::string_view>(currencySymbol_),
                                            decimalSepartor_);
        formatCode_ = currencySymbol_.empty()
                          ? QXNumberUtils::numberCodeWithDecimalLength(decimals)
                          : QXNumberUtils::currencyFormatWithDecimalLength(decimals, currencySymbol_, type_);
    }
    computeReadNumber(text);
}

void QXExcelNumber::computeReadNumber(const std::string& text)
{
    if (type_ <= 1) {
        readNumber_ = type_ == 1 ? replaceAll(text, ',', '.') : text;
        return;
    }
    if (type_ >= 8) {
        std::string number = removeAll(text, "%");
        if (type_ == 8)
            number = replaceAll(number, ',', '.');
        // A percent with decimals takes the two-decimal percent format.
        numID_ = number.find('.') != std::string::npos ? 10 : 9;
        readNumber_ = hundredth(number);
        return;
    }
    std::string number = text;
    for (const std::string& symbol : QXNumberUtils::supportCurrencySymbols())
        number = removeAll(number, symbol);
    number = removeAll(number, thousandSepartor_);
    if (thousandSepartor_ == ".")
        number = replaceAll(number, ',', '.');
    readNumber_ = number;
}

} // namespace rz
