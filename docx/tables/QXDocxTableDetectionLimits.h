// Thresholds of table detection: which paths may be ruling lines, when
// lines meet, merge or form a page frame, and when a set of lines is a
// table. Lengths in points (display space).
#pragma once

#include <cstddef>

namespace rz::tabledetect {

// --- Candidate paths and cutting ---

// A path stroked wider than this is a bar, not a ruling line.
inline constexpr double kMaxRulingStrokeWeight = 6.25;
// A piece of a path this long or shorter is not cut into a line.
inline constexpr float kMinCutSegmentLength = 1.0f;
// A line whose ends differ by less than this in x is vertical.
inline constexpr double kVerticalMaxDx = 2.0;
// Thickness given to a line cut from a path that is only filled.
inline constexpr double kFilledLineThickness = 0.1;
// A line shorter than this (at least) is short.
inline constexpr double kMinShortLineLength = 2.0;

// --- Line geometry ---

// Lines whose extents come this close (or overlap) meet.
inline constexpr double kLineIntersectTolerance = 3.1;
// Pieces this close across (after their thicknesses) may merge.
inline constexpr double kMergeAcrossDistance = 8.1;
// A piece shorter than this never joins a merged line.
inline constexpr double kMergeMinPieceLength = 8.1;
// Along their length pieces may leave at most this gap (without length
// extension), and a merged band may be at most this thick.
inline constexpr double kMergeMaxGap = 15.1;
inline constexpr double kMergeMaxBandThickness = 15.1;
// Parallel lines at least this far apart (centre to centre) whose spacing
// goes on to a further line are the rules of rows, never one double line;
// the spacings agree within the tolerance.
inline constexpr double kRowRuleMinPitch = 6.0;
inline constexpr double kRowRulePitchTolerance = 0.5;
// Ends of a merged line within this are on one axis.
inline constexpr double kMergeAxisTolerance = 0.25;

// --- Page frame ---

// The frame needs more lines than this on the page.
inline constexpr std::size_t kFrameMinLineCount = 5;
// A frame side's ends match the page lines' bounds within this.
inline constexpr double kFrameCornerTolerance = 8.1;
// Stroke weights of neighbouring frame sides agree within this.
inline constexpr double kFrameWeightTolerance = 0.25;
// Lines this close inside a frame side are its companions.
inline constexpr double kFrameNearbyDistance = 8.1;
// Distance reported when a frame side has no companion line.
inline constexpr double kFrameNoNearbyDistance = 99999;
// Companion distances of a double-lined frame agree within this.
inline constexpr double kFrameDoubleLineDistanceTolerance = 2;
// A companion covers its side when it runs at least this share of it.
inline constexpr double kFrameCompanionCoverage = 0.9;
// A frame becomes page borders only on pages larger than this a side.
inline constexpr float kFrameMinPageSide = 100;
// ... covering more than the first share of the page and less than the
// second; above the third share it is only dropped.
inline constexpr float kFrameBorderMinAreaShare = 0.5f;
inline constexpr float kFrameBorderMaxAreaShare = 0.9f;
inline constexpr float kFrameDropAreaShare = 0.98f;

// --- Areas ---

// A line set is a candidate with at least this many lines ...
inline constexpr std::size_t kAreaMinLineCount = 5;
// ... and bounds at least this wide and high.
inline constexpr double kAreaMinSide = 6;
// Lines shorter than this are dropped by the validity test.
inline constexpr double kAreaShortLineLength = 5.1;
// Areas whose bounds come this close are one table.
inline constexpr double kAreaJoinDistance = 5.1;
// Points within this in y are one row (in x, one column).
inline constexpr double kPointRowTolerance = 5.1;
// An area needs more crossing points than this; with up to
// kAreaTextBoxMaxPoints it is offered as a text box instead.
inline constexpr std::size_t kAreaMinPointCount = 3;
inline constexpr std::size_t kAreaTextBoxMaxPoints = 5;
// A table needs at least this many point rows of at least this many points.
inline constexpr std::size_t kAreaMinPointRows = 2;
inline constexpr std::size_t kAreaMinPointsPerRow = 2;
// A pair of filled rectangles insets the inner one by at least this.
inline constexpr double kFilledPairMinInset = 3;
// Chart test: a curve or shape over more than this share of the area,
// lines longer than kChartMinLineLength, bars shorter than the bar share.
inline constexpr double kChartCoverShare = 0.45;
inline constexpr double kChartMinLineLength = 15.1;
inline constexpr std::size_t kChartMinFilledPaths = 3;
inline constexpr long kChartMaxStrokedSurplus = 2;
inline constexpr double kChartBarShare = 0.75;
inline constexpr double kChartSameStartTolerance = 0.25;

// --- Crossings and line queries ---

// Lines are lengthened by this at both ends when crossings are searched.
inline constexpr int kCrossingTolerance = 15;
// A point lies on a line within this.
inline constexpr double kPointOnLineTolerance = 15.1;
// Overlap of a line with a border segment needs at least this.
inline constexpr double kMinOverlapLength = 2;

// --- Work bounds ---

// A page with more ruling lines than this is not searched for tables: the
// crossing grid grows with the square of the line count.
inline constexpr std::size_t kMaxTableLinesPerPage = 2000;

// An area with more crossings than this is not a table (a 200 x 200 grid
// has 40401); its grid positions are capped at 16 times as many.
inline constexpr std::size_t kMaxCrossingsPerArea = 65536;

} // namespace rz::tabledetect
