// Numbers as text, independent of the C library's locale: everything the
// program writes into XML, CSS, RTF or file names and everything it parses
// from PDF or from text goes through these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rz {

// printf's "%.<precision>f" with its rounding, always with a decimal point.
// "%f" is formatFixed(v, 6), "%0.2f" formatFixed(v, 2), "%0.0f" formatFixed(v, 0).
// A non-finite value gives "nan", "inf" or "-inf" as printf does.
std::string formatFixed(double value, int precision = 6);
// Shortest text that parses back to the same double ("0.1", "12", "1e+30").
std::string formatShortest(double value);
// "%d", "%zd", "%ld", "%lu" forms.
std::string formatInteger(long long value);
std::string formatUnsigned(unsigned long long value);
// "%0.<width>lu": at least `width` digits, zero-padded.
std::string formatZeroPadded(unsigned long long value, int width);

// Parses the whole of `text` as a number ("1.5", "-.5", "+3", "1e3"); no
// leading or trailing spaces, no locale decimal commas.
std::optional<double> parseDouble(std::string_view text);
std::optional<long long> parseInteger(std::string_view text);

// Parses a number at the start of `text` as C's strtod does in the "C"
// locale, skipping leading white space; `consumed` receives the number of
// bytes used (0 when there is no number, and the result is 0).
double parseLeadingDouble(std::string_view text, size_t* consumed = nullptr);

// Sets LC_NUMERIC to "C" for the whole process; every program calls this at start.
void useCNumericLocale();

} // namespace rz
