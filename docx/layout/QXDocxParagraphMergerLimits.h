// Thresholds of the merging of one-line paragraphs into wrapped paragraphs.
// Lengths are display-space points unless the name says otherwise.
#pragma once

#include <cstddef>

namespace rz::mergerlimits {

// Two neighbouring lines whose texts are both at most this many characters
// (UTF-16 units) long are never merged.
inline constexpr std::size_t kShortLineMaxLength = 1;
// A line whose single-line height is below this (points) and whose frame
// height differs from its paragraph's space before, line and space after
// by more than kSpacingHeightTolerance (points) ends a group.
inline constexpr double kMinSingleLineHeight = 1.0;
inline constexpr double kSpacingHeightTolerance = 2.0;
// Line frame heights may differ from the line above by this fraction of
// that line's height.
inline constexpr double kLineHeightFraction = 0.2;
// Baseline distances may differ from the first pitch by this many points.
inline constexpr double kPitchTolerance = 2.0;
// Left, right or centre edges of a line and the line above agree within
// this many points.
inline constexpr double kEdgeTolerance = 1.0;
// A merged left, right or justified paragraph keeps this many points of
// the free space at the column's right edge out of its right indent.
inline constexpr double kRightIndentReserve = 1.0;

} // namespace rz::mergerlimits
