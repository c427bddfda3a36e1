// Thresholds of the table model, in points unless stated. Values written
// with decimals are single-precision constants compared in double
// precision.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"

namespace rz {

// The background the table's borders are judged against.
inline constexpr QXDocx_Color kQXTableOpaqueWhite{255, 255, 255, 255};
// The background of a table on a coloured page: no line has this colour.
inline constexpr QXDocx_Color kQXTableNoBackground{0, 0, 0, 0};
// A fill of several boxes shades a cell it covers this share of.
inline constexpr double kQXTableFillCover = 0.9;

// A border counts as drawn from "single" on.
inline bool QXTableBorderIsDrawn(const QXDocx_Border& border)
{
    return border.val >= QXDocxBorderSingle;
}

// --- Border style from parallel strokes ---
// Strokes, gaps and weight differences below this count as nothing.
inline constexpr double kQXTableStyleSmall = static_cast<double>(0.2f);
// Added to the mean weight when two strokes are tested for lying on each
// other.
inline constexpr double kQXTableStyleOnEachOther = static_cast<double>(0.1f);
// Two style lines within this across stand at the same place.
inline constexpr double kQXTableSameParallelPlace = 0.25;
// Growth of a later stroke's box along the line and across it when it is
// tested for covering an earlier one.
inline constexpr double kQXTableCoverAlong = 1.0;
inline constexpr double kQXTableCoverAcross = static_cast<double>(0.1f);
// A large-gap style writes its gap as the border size above this.
inline constexpr double kQXTableMinGapSize = 0.25;

// --- Cell edges ---
// A line reaches an edge when its near side is beyond the edge's point
// minus this.
inline constexpr double kQXTableEdgeReach = 1.0;
// Edges longer than this search their lines with a longer minimum overlap.
inline constexpr double kQXTableEdgeFreeLength = static_cast<double>(15.1f);
inline constexpr double kQXTableEdgeOverlapFactor = 0.6;
inline constexpr double kQXTableEdgeMinOverlap = 2.0;
// Pieces of merged lines shorter than this never count for an edge.
inline constexpr double kQXTableChildLineMaxLimit = static_cast<double>(8.1f);
// Ends of two parallel segments within this across overlap.
inline constexpr double kQXTableOverlapTolerance = static_cast<double>(15.1f);
// A filled source path gives the border colour when narrower or lower than
// this.
inline constexpr double kQXTableThinFill = 6.0;
// Darkness of colours is the sum of four components, at most this.
inline constexpr int kQXTableLightestColorSum = 1020;

// --- Cells and rows ---
// A stroked rectangle of another colour shades a cell it covers by more
// than this share.
inline constexpr double kQXTableShadingCover = static_cast<double>(0.65f);
// Text of a row may spill sideways by this before the row height is exact.
inline constexpr double kQXTableRowSideSpill = 10.0;
// Extra height given to the text box of a row.
inline constexpr double kQXTableRowTextGrowth = 2.0;
// Smallest written "atLeast" row height.
inline constexpr double kQXTableMinRowHeight = 5.0;
// Smallest line height and font size of a cell's empty paragraph.
inline constexpr double kQXTableMinEmptyLine = 1.0;

// --- Merged cells ---
// A text joins a merged block whose bounds grown by this hold it.
inline constexpr double kQXTableGroupTextGrowth = 1.0;

// --- Construction ---
// A nested table belongs to the cell holding its top-left corner moved in
// by this.
inline constexpr double kQXTableNestedProbe = 2.0;
// A filled path must be wider and taller than this to shade cells.
inline constexpr double kQXTableShadingMinSide = 3.0;

} // namespace rz
