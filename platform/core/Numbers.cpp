#include "platform/core/Numbers.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>

namespace rz {

namespace {

std::string nonFinite(double value)
{
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

} // namespace

std::string formatFixed(double value, int precision)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    if (precision < 0)
        precision = 0;
    // 1e308 in fixed notation needs 309 digits before the point.
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
    if (res.ec != std::errc())
        return "0";
    return std::string(buf, res.ptr);
}

std::string formatShortest(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    if (res.ec != std::errc())
        return "0";
    return std::string(buf, res.ptr);
}

std::string formatInteger(long long value)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string formatUnsigned(unsigned long long value)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string formatZeroPadded(unsigned long long value, int width)
{
    std::string s = formatUnsigned(value);
    if (width > 0 && s.size() < size_t(width))
        s.insert(0, size_t(width) - s.size(), '0');
    return s;
}

std::optional<double> parseDouble(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    size_t used = 0;
    const size_t start = text.find_first_not_of(" \t\n\r\f\v");
    if (start != 0)
        return std::nullopt;
    const double v = parseLeadingDouble(text, &used);
    if (used != text.size())
        return std::nullopt;
    return v;
}

std::optional<long long> parseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

double parseLeadingDouble(std::string_view text, size_t* consumed)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars accepts no leading '+', and "inf"/"nan" forms are not wanted.
    const size_t body = i;
    if (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
        double v = 0;
        const auto res =
            std::from_chars(text.data() + body, text.data() + text.size(), v, std::chars_format::general);
        if (res.ec == std::errc() || res.ec == std::errc::result_out_of_range) {
            if (res.ec == std::errc::result_out_of_range) {
                // Out of range: strtod's answers, huge or zero.
                const std::string_view digits(text.data() + body, size_t(res.ptr - (text.data() + body)));
                const size_t e = digits.find_first_of("eE");
                const bool tiny = e != std::string_view::npos && e + 1 < digits.size() &&
                                  digits[e + 1] == '-';
                v = tiny ? 0.0 : HUGE_VAL;
            }
            if (consumed)
                *consumed = size_t(res.ptr - text.data());
            return negative ? -v : v;
        }
    }
    if (consumed)
        *consumed = 0;
    return 0;
}

void useCNumericLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace rz
