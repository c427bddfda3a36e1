// The tolerances of the sheet grid, in one place. Lengths are display-space
// points (1/72 inch, y downward).
#pragma once

#include <cstddef>

namespace rz::excelgrid {

// --- Merging runs of one row band (QXExcelSortUtilities) ---

// A run joins the first run of a horizontal group only when their baselines
// differ by less than this.
inline constexpr double kWidthMergeBaselineTolerance = 1.0;
// Gap from the group's right edge to the next run's left edge, by the
// manager's overlap option. Option 0 (and any unknown one): the gap lies
// strictly between -kWidthMergeMaxOverlap and kWidthMergeMaxGap.
inline constexpr double kWidthMergeMaxGap = 2.0;
inline constexpr double kWidthMergeMaxOverlap = 3.0;
// Option 1: any gap below this, however far the run reaches back.
inline constexpr double kWidthMergeLooseMaxGap = 3.0;
// Option 2: a gap of magnitude below this.
inline constexpr double kWidthMergeTightMaxGap = 2.0;

// --- Merging runs of one column band ---

// Stacked runs merge when the first one's right edge passes the next one's
// left edge by more than this ...
inline constexpr double kHeightMergeMinOverlap = 1.0;
// ... and the next one's top lies less than this from the group's bottom.
inline constexpr double kHeightMergeMaxGap = 2.0;

// --- Numbering ---

// Runs of one leaf whose baselines differ by more than this lie in several
// rows.
inline constexpr double kLeafRowBaselineTolerance = 1.0;
// Passes of the column correction after the first (passes 0 to this).
inline constexpr int kLastColumnCorrectionPass = 20;

// --- Text ---

// Units in this range (CJK ideographs) make a vertical merge join texts
// without a space.
inline constexpr char32_t kFirstIdeograph = 0x4E01;
inline constexpr char32_t kLastIdeograph = 0x9FFE;

} // namespace rz::excelgrid
