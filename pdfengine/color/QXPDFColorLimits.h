// Named limits of colour values, colour spaces and PDF functions, with the
// reason for each. Objects beyond a limit fail to parse; nothing is cut
// silently except where a comment says so.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rz {

// Components of a colour value: the most any PDF colour space has (DeviceN
// allows 32 colorants). ICCBased N above it is reduced to it.
inline constexpr int kQXPDFMaxColorComponents = 32;

// Inputs and outputs of a PDF function: the arrays handed to and filled by
// an evaluation hold this many doubles (tint transforms feed a colour's
// components, so it matches the colour's component count).
inline constexpr int kQXPDFMaxFunctionValues = 32;

// Inputs of a Sampled function: interpolation visits 2^m corners through a
// scratch buffer of 2^m doubles (512 KiB at 16).
inline constexpr int kQXPDFMaxSampledFunctionInputs = 16;

// Samples of one Sampled function (outputs times the grid size). A 4-input,
// 4-output table at 33 steps per input has 4.7 million; anything above this
// costs more than a page deserves (8 bytes per sample).
inline constexpr std::int64_t kQXPDFMaxSampledFunctionSamples = std::int64_t{1} << 24;

// Nesting of functions (Stitching functions inside Stitching functions).
// Real files nest one level; the bound stops hostile or cyclic chains.
inline constexpr int kQXPDFMaxFunctionDepth = 8;

// Nesting of colour spaces (Pattern over Indexed over ICCBased over its
// alternate is four). The bound stops hostile or cyclic chains.
inline constexpr int kQXPDFMaxColorSpaceDepth = 8;

} // namespace rz
