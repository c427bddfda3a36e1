// The tolerances and limits of the DOCX text layout, in one place. Lengths
// are display-space points (1/72 inch, y downward).
#pragma once

#include <cstddef>

namespace rz::docxlimits {

// --- Text runs (QXDocxRunText) ---

// Two equal texts in equal formatting are one text drawn twice (fake bold,
// shadows) when their left edges are at most this far apart ...
inline constexpr double kDuplicateMaxDeltaX = 1.5;
// ... and their baselines at most this far apart.
inline constexpr double kDuplicateMaxDeltaY = 1.0;
// Runs whose baselines differ from the first run's by less than this share
// its baseline.
inline constexpr double kSameBaseLineTolerance = 1.0;
// The lowest point a line of a run reaches at one and a half line heights:
// the run's top + this many line heights + kDoubleBottomLineExtra.
inline constexpr double kDoubleBottomLineHeights = 1.5;
inline constexpr double kDoubleBottomLineExtra = 1.0;
// Font sizes are rounded down to a multiple of this (half points).
inline constexpr double kFontSizeStep = 0.5;

// --- Line gaps (QXDocxRunTextLineSpace) ---

// Width of the gap put between two runs that touch or overlap, centred on
// the right run's left edge.
inline constexpr double kTouchingGapWidth = 0.2;
// Width of the gap after a line's last run: open to the right (the single
// precision value of 99999.9).
inline constexpr double kOpenGapWidth = 99999.8984375;

// --- Text lines (QXDocxRunTextLine) ---

// Runs drawn one after the other join into one run when their baselines
// differ from the first run's by less than this (points) ...
inline constexpr double kLineJoinBaseLineTolerance = 1.0;
// ... and each starts less than this far right of the previous one's right
// edge (points; any overlap passes).
inline constexpr double kLineJoinMaxGap = 1.0;
// In a line's text, runs that continue one another are written together
// when their gap is below this (points) ...
inline constexpr double kLineTextJoinGap = 1.0;
// ... and, within one show-text operation, with a tab instead of a blank
// from this gap on (points).
inline constexpr double kLineTextTabGap = 5.0;
// The height within which a text is laid out when its width is measured
// (points).
inline constexpr double kLineTextWidthMaxHeight = 1024.0;
// A line whose run has a single-line height below this (points) counts as
// not measured: its own single-line height becomes 0.
inline constexpr double kLineMinSingleLineHeight = 1.0;

// --- Groups of text lines (QXDocxRunTextLine) ---

// Neighbouring runs overlap horizontally when the deepest overlap is more
// than this fraction of the smaller glyph width of that pair.
inline constexpr double kLineXOverlapCharFraction = 0.5;
// A shorter line belongs to the tallest line's band when more than this
// fraction of its own height lies inside the band.
inline constexpr double kScriptBandMinInside = 0.5;
// The band's width, from x = 0 (points; single precision value of 99999.9).
inline constexpr double kScriptBandWidth = 99999.8984375;
// A line counts as superscript or subscript when it is more than this much
// shorter than the tallest line (points).
inline constexpr double kScriptMinHeightDifference = 2.0;
// A script line keeps the tallest line's size unless the tallest is more
// than this many times as high; then the size is scaled (the single
// precision value of 1.9).
inline constexpr float kScriptScaleHeightRatio = 1.9F;
// Lines stand as one line when the tallest one's height times this (single
// precision) exceeds the height of their joint frame.
inline constexpr float kOneLineHeightFactor = 1.6F;
// Lines overlap vertically when one's top is more than this far above the
// previous one's bottom (points).
inline constexpr double kLineMinVerticalOverlap = 1.0;

// --- Word line heights (QXDocxManager) ---

// Stored line-height and ascent factors outside this range (per unit of
// font size) are not believed and read as 0; the bounds themselves count.
inline constexpr double kWordLineFactorMin = 0.5;
inline constexpr double kWordLineFactorMax = 2.0;

// --- Page margins (QXDocxPage) ---

// Margins of a page without text, points.
inline constexpr float kDefaultPageMargin = 72.0f;
// A table leaves at least this much page margin at its sides.
inline constexpr double kMinTableSideMargin = 36.0;
// A margin not yet bounded by any content (points).
inline constexpr double kUnsetPageMargin = 999999.0;
// Margins below this are kept to the whole point above ...
inline constexpr float kMarginStepExact = 35.75f;
// ... those below this become half an inch (36 points) ...
inline constexpr float kMarginStepHalfInch = 71.75f;
// ... those below this an inch (72 points), and the rest two inches.
inline constexpr float kMarginStepInch = 143.75f;
// A margin at least this wide (points) leaves room for a header or footer
// kHeaderFooterDistance from the page edge.
inline constexpr float kMarginWithHeader = 36.0f;
inline constexpr float kHeaderFooterDistance = 35.4f;

// --- Column blocks (QXDocxRunTextColum) ---

// A column group narrower than this (points) is too narrow to stand as a
// column: the gutter on its left is dropped.
inline constexpr double kColumnMinWidth = 36.0;
// The cutting box of a column group reaches this far beyond the gutter
// middles and the block's frame on every side (points).
inline constexpr double kColumnGroupBoxOutset = 1.0;
// A one-line group matches a line of its neighbour when their tops and
// heights differ by less than this (points).
inline constexpr double kColumnSingleLineTolerance = 2.0;
// The space kept below a block is the gap over its bottom line only when
// that line and the one above it differ in height by less than this (points).
inline constexpr double kColumnBottomSameHeightTolerance = 2.0;
// Two neighbouring blocks may merge when the gap between them is at most
// this many heights of the lower of the facing lines (single precision) ...
inline constexpr float kColumnMergeGapLineHeights = 2.0F;
// ... or at most this (points), whichever is larger.
inline constexpr float kColumnMergeMinGap = 5.0F;
// When the page joins bands of lines into one block, the gap between two
// bands is small enough at this many heights of the lower of the facing
// lines ...
inline constexpr double kColumnJoinGapLineHeights = 1.5;
// ... or at this (points), whichever is larger.
inline constexpr double kColumnJoinMinGap = 5.0;

// --- Page sections (QXDocxPage) ---

// A section gives up to this fraction of the next block's space below ...
inline constexpr double kSectionReserveFraction = 0.5;
// ... and at most this much (points) to the gap above that block.
inline constexpr double kSectionMaxReserve = 8.0;

// --- Page language (QXDocxPage) ---

// Samples of the page's text are built to more than this many bytes: the
// first and last ...
inline constexpr std::size_t kLanguageSampleShort = 20;
// ... and the one from the middle of the page.
inline constexpr std::size_t kLanguageSampleLong = 50;

} // namespace rz::docxlimits
