// One text line of a DOCX page: the text runs that share a baseline,
// ordered left to right, with the line's frame, baseline, drawing-order
// range, plain text and the horizontal gaps (row spaces) that mark its
// margins and its breaks in content order. The class operations are the
// finders, stable sorts and blank and duplicate tests the page, column,
// section and paragraph passes use on lists of runs and lines, and the
// joining of the runs of one stretch of text into one run. Geometry is in
// display space (points, y downwards).
#pragma once

#include "docx/layout/QXDocxRunText.h"
#include "docx/layout/QXDocxRunTextLineSpace.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXDocxRunTextLine;
using QXDocxRunTextLinePtr = std::shared_ptr<QXDocxRunTextLine>;
using QXDocxRunTextLineArray = std::vector<QXDocxRunTextLinePtr>;
using QXDocxRunTextLineSpacePtr = std::shared_ptr<QXDocxRunTextLineSpace>;
using QXDocxRunTextLineSpaceArray = std::vector<QXDocxRunTextLineSpacePtr>;

class QXDocxRunTextLine {
public:
    // An empty line: zero frame, no runs, no row spaces, no text.
    QXDocxRunTextLine();
    // Adopts the runs, then processRunTextArray.
    explicit QXDocxRunTextLine(QXDocxRunTextArray runs);
    // A copy shares the run and row-space lists (the lists themselves).
    QXDocxRunTextLine(const QXDocxRunTextLine&) = default;
    QXDocxRunTextLine& operator=(const QXDocxRunTextLine&) = default;

    // --- Fields ---
    const std::string& lineText() const { return lineText_; }
    const Rect& lineFrame() const { return lineFrame_; }
    double wordSingleLineHeight() const { return wordSingleLineHeight_; }
    void setWordSingleLineHeight(double value) { wordSingleLineHeight_ = value; }
    double wordSingleLineBlankTop() const { return wordSingleLineBlankTop_; }
    void setWordSingleLineBlankTop(double value) { wordSingleLineBlankTop_ = value; }
    const QXDocxRunTextArray& runTextArray() const { return *runTextArray_; }
    // The run list itself, for passes that insert runs in place.
    QXDocxRunTextArray& mutableRunTextArray() { return *runTextArray_; }
    const QXDocxRunTextLineSpaceArray& spaceRowArray() const { return *spaceRowArray_; }
    double yBaseLine() const { return yBaseLine_; }
    std::uint64_t minPDFScanIndex() const { return minPDFScanIndex_; }
    std::uint64_t maxPDFScanIndex() const { return maxPDFScanIndex_; }

    // --- Operations ---

    // Adopts the runs as they are and recomputes the line information.
    void setRunTextArray(QXDocxRunTextArray runs);
    // Appends the runs, then recomputes the line information from all runs.
    void addRunTextArray(const QXDocxRunTextArray& runs);
    // Puts the runs in drawing order, joins each stretch of text drawn left
    // to right into one run, orders the result left to right, recomputes
    // the line information and builds the row spaces and the line's text.
    // Nothing happens without runs.
    void processRunTextArray();
    // Frame (union of the runs' frames), lowest baseline, drawing-order
    // range and the single-line height and blank top (the largest of the
    // runs'; the height is 0 when a run has one below 1 point) from `runs`.
    // Nothing happens for no runs.
    void updateLineInfo(const QXDocxRunTextArray& runs);
    // Width of `text` set in the first run's font and size; 0 without runs
    // or when the font is not installed.
    double getTextWidth(std::string_view text) const;
    // True when each run's drawing range ends where the next one's begins
    // (true for fewer than two runs).
    bool isPDFScanIndexContinuous() const;
    // Appends a blank to the last run, then recomputes the line information
    // and the line's text (which then ends with the blank).
    void addBlankSpaceTextBehind();
    // Turns the hyphen (hyphen-minus or U+2010) that ends the last run into
    // a soft hyphen: a word broken at the line end reads whole once its
    // paragraph flows again, and shows the hyphen only where a line breaks
    // inside it. Nothing for a line that does not end in one.
    void softenHyphenBehind();
    // The blank width of the last run; 0 without runs.
    double behindTextSpaceWidth() const;
    // Plain text again: each run's size becomes its glyph height rounded
    // down to a half point, its script kind none, and its baseline its
    // bottom. The line's own fields are not refreshed.
    void removeScript();

    // --- Class operations ---
    // Finders answer nullptr for no elements and take the earliest of
    // equally good ones.

    // Smallest pdfScanIndex.
    static QXDocxRunTextPtr FindNewScanRunText(const QXDocxRunTextArray& runs);
    static QXDocxRunTextPtr FindMinIndexRunText(const QXDocxRunTextArray& runs);
    // Smallest xLeft.
    static QXDocxRunTextPtr FindXLeftRunText(const QXDocxRunTextArray& runs);
    // Smallest minPDFScanIndex.
    static QXDocxRunTextLinePtr FindMinIndexRunTextLine(const QXDocxRunTextLineArray& lines);
    // Smallest frame top.
    static QXDocxRunTextLinePtr FindTopYRunTextLine(const QXDocxRunTextLineArray& lines);
    // Smallest (topmost) baseline.
    static QXDocxRunTextLinePtr FindBaseYRunTextLine(const QXDocxRunTextLineArray& lines);
    // Largest frame height.
    static QXDocxRunTextLinePtr FindMaxHeightRunTextLine(const QXDocxRunTextLineArray& lines);
    // Largest frame bottom (the lowest line).
    static QXDocxRunTextLinePtr FindBottomRunTextLine(const QXDocxRunTextLineArray& lines);

    // Stable sorts, ascending (equal keys keep their order; a NaN
    // coordinate sorts last).
    static QXDocxRunTextArray SortRunTextArrayByIndex(const QXDocxRunTextArray& runs);
    static QXDocxRunTextArray SortRunTextFromXLeftToRight(const QXDocxRunTextArray& runs);
    static QXDocxRunTextLineArray SortRunTextLineArrayByIndex(const QXDocxRunTextLineArray& lines);
    static QXDocxRunTextLineArray SortRunTextLineArrayByTopY(const QXDocxRunTextLineArray& lines);
    static QXDocxRunTextLineArray SortRunTextLineArrayByBaseY(const QXDocxRunTextLineArray& lines);

    // Union of the lines' frames; the zero rectangle for no lines.
    static Rect FrameOfLineArray(const QXDocxRunTextLineArray& lines);
    static Rect GetRunTextLineFrame(const QXDocxRunTextLineArray& lines);
    // The blank runs (no underline, no strike-through, white space only), in
    // order.
    static QXDocxRunTextArray FindBankSpaceRunTextArray(const QXDocxRunTextArray& runs);
    // Takes the blank runs out of `runs` (the runs of one baseline) and
    // answers them. A lone blank drawn between two characters is a word
    // break: the character before it keeps it as a blank at its end, so
    // that the words never run together once the blank run is gone.
    static QXDocxRunTextArray TrimBankSpaceRunTextArray(QXDocxRunTextArray& runs);
    // True when every run is blank (true for no runs).
    static bool IsBankSpaceRunTextArray(const QXDocxRunTextArray& runs);
    // The first run followed by every later run that draws it again; empty
    // for no runs. The first run is always in the result.
    static QXDocxRunTextArray FindDuplicateRunTexts(const QXDocxRunTextArray& runs);
    // The leading runs (in drawing order) that form one stretch of text
    // drawn left to right: consecutive drawing indices, the first run's
    // baseline (within 1 point) and run properties, each starting less
    // than 1 point right of the previous one's right edge and right of the
    // first run's left edge. Empty for no runs.
    static QXDocxRunTextArray FindLeft2RightMergeRunTextArray(const QXDocxRunTextArray& runs);
    // The first run absorbs the others: their texts, widths (with inside
    // spacing), frames and drawing and text ranges; the difference between
    // the joined frame's width and the text width becomes its inside
    // spacing. Returns the first run; nullptr for no runs.
    static QXDocxRunTextPtr MergeLeft2RightRunTextArray(const QXDocxRunTextArray& runs);

    // --- Operations on several lines ---
    // Lines are shared, never copied; results are new lists. Every sort is
    // stable.

    // The lines sharing the topmost line's vertical band, by baseline. The
    // reference line starts as the topmost; a shorter next line joins when
    // its middle lies strictly inside the reference's top and bottom; one
    // at least as tall becomes the reference and joins when the old
    // reference's middle lies strictly inside it. Stops at the first line
    // that does not join. Empty for no lines.
    static QXDocxRunTextLineArray FindMergeRunTextLineArrayY(const QXDocxRunTextLineArray& lines);
    // The number of lines of that band when the lines are already ordered
    // by top and the topmost is byTop[start] (0 past the end).
    static std::size_t MergeRunTextLineBandLength(const QXDocxRunTextLineArray& byTop, std::size_t start);
    // New lines, one per group of the line's runs that continue one another
    // in text order (greedy, in drawing order), by baseline. Empty for a
    // line without runs (or nullptr).
    static QXDocxRunTextLineArray SplitRunTextLineForContinuous(const QXDocxRunTextLinePtr& line);
    // Every line split as above, by baseline; a single line comes back
    // unchanged and unsplit.
    static QXDocxRunTextLineArray SplitRunTextLineArrayContinuous(const QXDocxRunTextLineArray& lines);
    // The greedy chain (from the first line in drawing order) of lines whose
    // texts continue one another, by baseline. Empty for no lines.
    static QXDocxRunTextLineArray FindRunTextLineArrayContinuous(const QXDocxRunTextLineArray& lines);
    // Reorders `runs` in place by drawing index (stably), then true when
    // each run's text range ends where the next one's begins. False for no
    // runs.
    static bool IsRunTextArrayPDFTextIndexContinuous(QXDocxRunTextArray& runs);
    // The same test over all runs of all lines (the lines are untouched).
    static bool IsRunLineArrayPDFTextIndexContinuous(const QXDocxRunTextLineArray& lines);
    // True when, left to right, the deepest overlap of two neighbouring runs
    // is more than half a character width (the smaller glyph width of that
    // pair). False for fewer than two runs.
    static bool HaveXOverlapRunTextArray(const QXDocxRunTextArray& runs);
    // True when every line other than the tallest lies more than half
    // inside the tallest line's band and no two neighbouring runs of all
    // the lines overlap horizontally. False for fewer than two lines.
    static bool IsScriptRunTextLineArray(const QXDocxRunTextLineArray& lines);
    // Marks the runs of each line more than 2 points shorter than the
    // tallest as superscript (baseline not below the tallest's) or
    // subscript, on the tallest's baseline, at a size scaled down with the
    // height when the line is under about half as high. The lines' own
    // fields are not refreshed.
    static void SetupScriptRunTextLineArray(const QXDocxRunTextLineArray& lines);
    // One line of all the lines' runs in list order, ordered and joined
    // again; the only line itself for one line; nullptr for no lines.
    static QXDocxRunTextLinePtr MergeRunTextLineArray(const QXDocxRunTextLineArray& lines);
    // The leading lines (in the given order) that can stand as one line:
    // each next line holds the previous one's baseline strictly inside it,
    // and either the tallest of them is high enough against their joint
    // frame or their runs do not overlap horizontally; otherwise only the
    // first line. Empty for no lines.
    static QXDocxRunTextLineArray FindRunTextLineArrayAs1Line(const QXDocxRunTextLineArray& lines);
    // The leading lines each of which overlaps the previous one vertically
    // by more than 1 point; empty unless there are at least two.
    static QXDocxRunTextLineArray FindOverlapRunTextLineY(const QXDocxRunTextLineArray& lines);
    // True when the first run has a script kind and every run the same one.
    // False for no runs.
    static bool IsAllScriptRunTextArray(const QXDocxRunTextArray& runs);
    static bool IsScriptLine(const QXDocxRunTextLinePtr& line);

private:
    // The row spaces of runs in reading order (the outer margins and the
    // breaks in content order), and the line's text from the runs' texts.
    static QXDocxRunTextLineSpaceArray findRowSpace(const QXDocxRunTextArray& runs, std::string& text);

    std::string lineText_;
    Rect lineFrame_;
    double wordSingleLineHeight_ = 0;
    double wordSingleLineBlankTop_ = 0;
    std::shared_ptr<QXDocxRunTextArray> runTextArray_;
    std::shared_ptr<QXDocxRunTextLineSpaceArray> spaceRowArray_;
    double yBaseLine_ = 0;
    std::uint64_t minPDFScanIndex_ = 0;
    std::uint64_t maxPDFScanIndex_ = 0;
};

} // namespace rz
