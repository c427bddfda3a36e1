#include "pdfengine/color/QXPDFColor.h"

#include <cmath>
#include <limits>

namespace rz {

std::int64_t QXPDFTruncateClamped(double value, std::int64_t lo, std::int64_t hi)
{
    if (std::isnan(value))
        value = 0;
    // Compare as doubles first so that no out-of-range double is converted.
    if (value <= static_cast<double>(lo))
        return lo;
    if (value >= static_cast<double>(hi))
        return hi;
    const auto t = static_cast<std::int64_t>(value);
    return t < lo ? lo : (t > hi ? hi : t);
}

QXPDFColorComponent QXPDFColorComponentFromOperand(double operand)
{
    using L = std::numeric_limits<QXPDFColorComponent>;
    return static_cast<QXPDFColorComponent>(QXPDFTruncateClamped(operand * 255.0, L::min(), L::max()));
}

} // namespace rz
