// The tolerances and limits of the flow-text page layout and page writing,
// in one place. Lengths are display-space points (1/72 inch, y downward).
#pragma once

#include <cstddef>

namespace rz::flowlimits {

// --- Grouping (QXFlowLayout) ---

// Runs whose bottoms differ by less than this share a line.
inline constexpr double kSameBaselineTolerance = 1.0;
// A run continues the line part before it when its x is within less than
// this of where the previous run ended.
inline constexpr double kLinePartJoinTolerance = 1.0;
// A line part joins the column on its left when its left edge lies at most
// this far right of the column's right edge.
inline constexpr double kColumnJoinGap = 8.0;
// Line parts of a column whose bottoms differ by less than this form one row.
inline constexpr double kRowBottomTolerance = 1.0;
// A line section joins the div above it when its top lies at most this
// fraction of its own height (top to bottom of its glyph boxes) below the
// div's running bottom. Glyph boxes are one font size high, so lines set
// with ordinary leading (up to 1.5 times the font size) never touch; with a
// gap of 0 every line of running text would be a div of its own and columns
// side by side could never be found.
inline constexpr double kDivLineGapFactor = 0.5;

// Start values of the extremes: a line section's top before any run is seen,
// and the page's text margin before any line is seen.
inline constexpr double kLineSectionTopStart = 90000.0;
inline constexpr double kTextMarginLeftStart = 1000000.0;

// --- Paragraphs (QXFlowPage) ---

// The page's top margin is the top of its first div, at most this.
inline constexpr double kTopMarginMax = 72.0;
// A row whose height falls short of its line by less than this still gets a
// paragraph of its own (its line height becomes the row's height).
inline constexpr double kLineShrinkLimit = 8.0;
// Two line parts of a row get a space between them when their gap exceeds
// the font width divided by this.
inline constexpr double kWordGapDivisor = 10.0;

// The most blank paragraphs made for one vertical gap. A gap far larger
// than any page (text placed far outside it) still costs a bounded number
// of objects; the gap's height is shared among them.
inline constexpr int kMaxBlankParagraphs = 256;

// --- Writing (QXFlowPage, QXFlowStyledPage) ---

// Two paragraphs are on one output line when the bottoms of their last runs
// differ by at most this.
inline constexpr double kSameLineTolerance = 2.0;
// A space narrower than this (or not a finite number) cannot measure a gap:
// such a gap is written as one space.
inline constexpr double kMinMeasuringSpaceWidth = 0.01;
// The most spaces written for one horizontal gap between paragraphs.
inline constexpr int kMaxGapSpaces = 100;
// Inside one output line, a run whose x lies more than this left of the
// x of the run before it starts another visual line (rows merged into one
// paragraph): each visual line is put into reading order on its own.
inline constexpr double kVisualLineBackstep = 1.0;

// --- File writers ---

// The most line breaks and indentations written in a row; later ones are
// dropped until other text is written.
inline constexpr long long kMaxRepeatedBreaks = 5;

} // namespace rz::flowlimits
