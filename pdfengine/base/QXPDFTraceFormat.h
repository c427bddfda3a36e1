// Text and numbers as the engine's trace and listing lines write them.
#pragma once

#include <string>

namespace rz {

// Text in double quotes: quotes and backslashes escaped, control
// characters as \xNN.
std::string QXPDFTraceQuoted(const std::string& text);

// A number with at most three decimals, without trailing zeros ("12",
// "8.004", "-0.5"; never "-0").
std::string QXPDFTraceNumber(double v);

} // namespace rz
