// The colour value passed around the engine, and its RGB and CMYK forms.
//
// A colour holds up to 32 components, each the PDF operand multiplied by
// 255 and truncated toward zero (so 0..255 for operands in 0..1). It means
// nothing on its own: consumers read it through its colour space.
#pragma once

#include "pdfengine/color/QXPDFColorLimits.h"

#include <array>
#include <cstdint>

namespace rz {

// One component: operand × 255. Wide enough for every operand a colour
// operator meets in practice, Indexed indices up to 255 (65025) and Lab's
// ±100 ranges (±25500) included.
using QXPDFColorComponent = std::int32_t;

struct QXPDFColor {
    // Number of meaningful components: 0 for the initial value, the count
    // for a colour filled from operands or made by a colour space.
    std::int32_t length = 0;
    // 1 when no colour was given (the initial value), 0 once filled.
    std::int32_t isNull = 1;
    // The components; unused entries 0.
    std::array<QXPDFColorComponent, kQXPDFMaxColorComponents> c{};

    friend bool operator==(const QXPDFColor&, const QXPDFColor&) = default;
};

// Components 0..255 after conversion.
struct QXPDFRGB {
    std::int16_t r = 0;
    std::int16_t g = 0;
    std::int16_t b = 0;
    friend bool operator==(const QXPDFRGB&, const QXPDFRGB&) = default;
};

// Components 0..255 after conversion; 255 is full ink.
struct QXPDFCMYK {
    std::int16_t c = 0;
    std::int16_t m = 0;
    std::int16_t y = 0;
    std::int16_t k = 0;
    friend bool operator==(const QXPDFCMYK&, const QXPDFCMYK&) = default;
};

// A PDF operand as a colour component: operand × 255 truncated toward
// zero, saturating at the component's limits; NaN gives 0.
QXPDFColorComponent QXPDFColorComponentFromOperand(double operand);

// A double truncated toward zero into [lo, hi]; NaN gives 0 clamped.
std::int64_t QXPDFTruncateClamped(double value, std::int64_t lo, std::int64_t hi);

// A value truncated toward zero and clamped to 0..255 (NaN gives 0).
inline std::int16_t QXPDFClampByte(double value)
{
    return static_cast<std::int16_t>(QXPDFTruncateClamped(value, 0, 255));
}

} // namespace rz
