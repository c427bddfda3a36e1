// Thresholds of the paragraph passes: joining runs, tabs, line pitch,
// blank paragraphs and what the word processor can show when a paragraph
// is written. Lengths are in points unless the name says otherwise.
#pragma once

#include <cstddef>

namespace rz {

// --- Joining neighbouring runs of a line ---

// A run that starts more than this fraction of the previous run's width
// to the left of that run's end overlaps it (fake bold, shadows).
inline constexpr double kQXDocxParagraphOverlapWidthFraction = 0.75;
// Runs closer than the larger of this fraction of a blank and
// kQXDocxParagraphJoinMinGap are joined without a blank.
inline constexpr float kQXDocxParagraphJoinBlankFraction = 1.0f / 3.0f;
inline constexpr double kQXDocxParagraphJoinMinGap = 1.0;  // points
// After a one-character run, a gap below this fraction of a blank is joined.
inline constexpr double kQXDocxParagraphOneCharBlankFraction = 0.5;
// A gap of at least this many blanks is a tab (one-line paragraph) or a
// blank (longer paragraph).
inline constexpr double kQXDocxParagraphTabBlankFactor = 1.5;
// Paragraphs with fewer lines than this turn wide gaps into tabs.
inline constexpr int kQXDocxParagraphTabMaxLineCount = 2;

// --- Spacing and line pitch ---

// A text block (height plus space after) below this height gets an exact
// line of kQXDocxParagraphTinyLine and no spacing.
inline constexpr double kQXDocxParagraphTinyBlock = 1.0;  // points
inline constexpr double kQXDocxParagraphTinyLine = 1.0;   // points
// Pitch tolerance: the first line's height divided by this, at least
// kQXDocxParagraphPitchMinTolerance.
inline constexpr float kQXDocxParagraphPitchToleranceDivisor = 12.0f;
inline constexpr float kQXDocxParagraphPitchMinTolerance = 1.0f;  // points
// Pitches snap to multiples of this fraction of the single-line height.
inline constexpr double kQXDocxParagraphPitchStep = 0.5;

// --- Blank paragraphs ---

// A height below the line plus this margin is filled by one paragraph.
inline constexpr float kQXDocxBlankParagraphMargin = 8.0f;  // points
// At most this many blank paragraphs fill one height (a page of 200 inches
// at one point per line); the last one takes what is left.
inline constexpr float kQXDocxBlankParagraphMaxCount = 14400.0f;

// --- Outline headings ---

// A line that is part of an outline title matches it when it is longer than
// this many characters (UTF-16 units) and longer than the title's length
// divided (integer division) by kQXDocxOutlineMinPartDivisor.
inline constexpr std::size_t kQXDocxOutlineMinPartLength = 2;
inline constexpr std::size_t kQXDocxOutlineMinPartDivisor = 3;
// A line more alike than this (percent) matches when alike titles are looked for.
inline constexpr float kQXDocxOutlineLikePercent = 60.0f;

// --- Writing ---

// Smallest line value and mark size written.
inline constexpr float kQXDocxParagraphMinLine = 5.0f;  // points
// Runs taller than the exact line are shrunk to it only above this line
// value, and when the line is below kQXDocxParagraphShrinkSizeFraction of
// the run's size.
inline constexpr float kQXDocxParagraphShrinkMinLine = 4.9f;  // points
inline constexpr double kQXDocxParagraphShrinkSizeFraction = 0.9;
// A right-aligned paragraph's right indent stands this far short of the
// free space (points).
inline constexpr double kQXDocxParagraphRightIndentMargin = 1.0;
// Leader repair: a run whose space after is below this fraction of its
// width stands close to its neighbour; a leader overlapping it by more than
// min(its width - kQXDocxLeaderOverlapSlack, kQXDocxLeaderOverlapMax) is blanked.
inline constexpr float kQXDocxLeaderNearFraction = 0.6f;
inline constexpr float kQXDocxLeaderOverlapSlack = 0.1f;  // points
inline constexpr double kQXDocxLeaderOverlapMax = 5.0;    // points

} // namespace rz
