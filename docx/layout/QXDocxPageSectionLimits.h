// Thresholds of the page sections: alignment recognition, column records,
// the text frame, lines turned into paragraphs and the spacing fit.
// Lengths are display-space points unless the name says otherwise.
#pragma once

#include <cstddef>

namespace rz::sectionlimits {

// --- Alignment recognition ---

// Line edges (left, right or centre) closer than this share an edge when
// lines are counted per edge.
inline constexpr double kEdgeClusterTolerance = 3.0;
// A column of one or two lines is centred only when its text is centred in
// the column within this distance.
inline constexpr double kTrendCentreTolerance = 3.0;
// A justified trend needs at least this fraction of the lines to share both
// edges.
inline constexpr double kTrendBothMinFraction = 0.5;
// Edges of a line and the line above it within this distance are shared.
inline constexpr double kSameEdgeAsPreviousLine = 1.0;
// A line this narrow or narrower keeps the column trend.
inline constexpr double kShortLineMaxWidth = 2.0;
// A line that leaves less free column width than the larger of its height
// and this keeps the column trend.
inline constexpr double kNearlyFullLineMinFree = 10.0;
// Centres of a line and its text frame within this distance are centred.
inline constexpr double kCentreTolerance = 3.0;
// The edge tolerance grows from the first value by the step up to the last.
inline constexpr double kEdgeToleranceStart = 3.0;
inline constexpr double kEdgeToleranceStep = 5.0;
inline constexpr double kEdgeToleranceLast = 1023.0;
// Edges of the first lines of paragraphs merged into one agree within this.
inline constexpr double kMergerEdgeTolerance = 1.0;
// A group is reflowed only when its longest text is longer than this many
// characters (UTF-16 units) ...
inline constexpr std::size_t kReflowMinTextLength = 6;
// ... and its text is at least this wide.
inline constexpr double kReflowMinWidth = 36.0;
// Slack of the reflow edge tests.
inline constexpr double kReflowRightSlack = 0.5;
inline constexpr double kReflowEdgeSlack = 1.0;
// Slack of the height test.
inline constexpr double kHeightEnoughSlack = 1.0;
// The smallest left indent of all but the first paragraph starts here.
inline constexpr double kSubMinLeftStart = 9999.9;

// --- Column records ---

// Smallest and largest space after a column (single-precision values).
inline constexpr float kMinColumnSpace = 0.2836f;
inline constexpr float kMaxColumnSpace = 35.45f;
// Taken off the smallest gap between columns' text for the space.
inline constexpr float kColumnSpaceReserve = 2.836f;
// A computed equal space above this is floored to whole points.
inline constexpr float kEqualSpaceFloorAbove = 1.0f;

// --- Text frame ---

// Two lines whose heights differ by less than this share a line pitch when
// the frame is extended below the last line.
inline constexpr double kBottomLineSameHeight = 2.0;
// The gap below the last line may reach this much into the free space.
inline constexpr double kBottomLineGapSlack = 1.0;

// --- Sections of a page ---

// A section above its text keeps at most this much of the space its block
// needs below ...
inline constexpr double kSectionTopReserveMax = 8.0;
// ... and this fraction of it.
inline constexpr double kSectionTopReserveFraction = 0.5;
// Vertical alignment of nested sections: the tolerance is this fraction of
// the smaller margin plus the offset, when that margin exceeds the minimum.
inline constexpr double kVAlignToleranceFraction = 0.2;
inline constexpr double kVAlignToleranceOffset = 3.0;
inline constexpr double kVAlignMinMargin = 0.1;
// Centred when the top margin reaches this fraction of the smaller margin
// plus the offset.
inline constexpr double kVAlignCentreFraction = 0.1;
inline constexpr double kVAlignCentreOffset = 2.0;
// Bottom-aligned when the top margin exceeds the bottom one by more than this.
inline constexpr double kVAlignBottomMargin = 5.0;

// --- Lines to paragraphs ---

// A text frame this close below the band top is snapped to it.
inline constexpr double kTopSnapDistance = 8.0;
// A gap below a line is kept as space after up to this many line heights,
// plus kLineGapMargin; beyond, the rest becomes blank paragraphs.
inline constexpr double kLineGapHeights = 2.0;
inline constexpr double kLineGapMargin = 8.0;
// Height and line value of the blank paragraph of an empty column.
inline constexpr double kEmptyColumnBlankHeight = 24.0;
// Lines of an overlap set after the first get their height scaled by this
// less their baseline position in the line.
inline constexpr double kOverlapHeightScale = 2.0;

// --- Blank space around the text ---

// Free space below the text above this makes foot blank paragraphs.
inline constexpr double kFootBlankMinHeight = 1.0;
// A point lies below a paragraph when it is more than the first and less
// than the second below the paragraph's middle.
inline constexpr double kInsertMinDistance = 1.0;
inline constexpr double kInsertMaxDistance = 99999.0;

// --- Spacing fit ---

// Line spacing is written in this many parts of a point.
inline constexpr float kSpacingUnitsPerPoint = 20.0f;
// Space between two text paragraphs above this is moved to the first one.
inline constexpr double kJoinSpacingMin = 1.0;
// A blank paragraph after text more than this above the text's line height
// stays a paragraph of its own.
inline constexpr double kKeepBlankMargin = 8.0;

} // namespace rz::sectionlimits
