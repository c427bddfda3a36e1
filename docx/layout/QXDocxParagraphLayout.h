// The passes of a paragraph that work on plain numbers: how the gap between
// two runs of a line is written, the spacing and line pitch of a text
// block, the lines of blank paragraphs that fill a height, and the
// adjustments made to a paragraph's properties just before it is written.
// QXDocxParagraph applies them to its lines and runs.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class XMLFileWriter;

// How the gap before a run C, after the run P before it, is written.
enum class QXDocxRunGapKind {
    Overlap,          // C overlaps most of P: texts joined, P and C may merge
    Join,             // a narrow gap: joined, each run takes half of it
    JoinAfterOneChar, // P is one character and the gap below half a blank
    Tab,              // a wide gap in a one-line paragraph
    Blank,            // a blank is inserted
    ExistingBlank,    // a blank already stands at the boundary
};

// What the run gap decision reads of the two runs.
struct QXDocxRunGap {
    double gap = 0;              // C's left minus P's right, points
    double blankWidth = 0;       // P's blank width
    double textWidth = 0;        // P's text width
    bool previousIsOneChar = false;
    bool previousEndsWithBlank = false;
    bool nextStartsWithBlank = false;
    int lineCount = 0;           // lines of the paragraph
};

// What the spacing pass reads of a paragraph's lines (points).
struct QXDocxParagraphBlock {
    int lineCount = 0;
    double wordSingleLineHeight = 0;    // of the first line; 0 when not measured
    double wordSingleLineBlankTop = 0;  // of the first line
    double firstLineHeight = 0;         // height of the first line's frame
    double averageBottomDistance = 0;   // mean distance between line bottoms
    double yBefore = 0;
    double yHeight = 0;
    double yAfter = 0;
};

// What the write adjustments read of a paragraph.
struct QXDocxParagraphShape {
    int groupCount = 0;      // run groups (one per line)
    bool hasTabRun = false;  // a tab run in the groups that are written
    bool textEmpty = true;   // the paragraph's text is empty
    Rect columnFrame;
    Rect contentFrame;
};

class QXDocxParagraphLayout {
public:
    static QXDocxRunGapKind classifyRunGap(const QXDocxRunGap& gap);

    // The mean of the distances between consecutive bottoms; 0 for fewer
    // than two.
    static double averageBottomDistance(const std::vector<double>& lineBottoms);

    // Sets spacing before, after, line, the line rule and word1LineHeight
    // of `property` for the block; other fields are kept.
    static void resolveSpacing(const QXDocxParagraphBlock& block, QXDocx_PPr& property);

    // The line values of the blank paragraphs that fill `height` with lines
    // of at least `spaceLine` and the mark size `markSize`: whole lines of
    // the rounded-up larger of the two, the last one taking the rest; one
    // paragraph of the height when the height is within a line and a margin,
    // or when there is neither a line nor a mark size to measure by.
    static std::vector<double> blankParagraphLines(double height, double spaceLine, float markSize);

    // Alignment, indents, line value and mark size as the word processor
    // can show them, applied to copies of the paragraph's records.
    static void adjustForWriting(const QXDocxParagraphShape& shape, QXDocx_PPr& property, QXDocx_RPr& mark);

    // A run taller than an exact line is set at the line's value.
    static void fitRunSizeToLine(float line, QXDocx_RPr& run);

    // One tab stop per tab run position: leader "none", "right" when the
    // paragraph is right-aligned, else "left", at the position relative to
    // the column's left edge.
    static QXDocx_Tabs tabStops(const std::vector<double>& tabPositions, std::int32_t jc, double columnX);

    // Whether a paragraph of these line texts is the heading of the outline
    // entry `title`: never when it already has an outline level (>= 1).
    // Texts and title are compared lower-cased and without white space, line
    // breaks and control characters: a line holding the title matches, and
    // so does a line of more than 2 characters, longer than a third of the
    // title, that the title holds, or, with `likeDetect`, a line more than
    // 60 percent like the title. Empty lines are skipped; an empty title
    // matches nothing.
    static bool matchesOutline(const std::vector<std::string>& lineTexts, std::string_view title, bool likeDetect,
                               std::int32_t outlineLvl);

    // True when the text holds nothing but white space, line breaks,
    // control and format characters.
    static bool isBlankText(std::string_view text);

    // Writes the "pPr" and, for `breakColumn`, a run holding a column
    // break, inside an open "p".
    static void writeProperties(const QXDocx_PPr& property, const QXDocx_RPr& mark, const QXDocx_SectPr& section,
                                const QXDocx_Tabs& tabs, bool breakColumn, XMLFileWriter& writer);
};

} // namespace rz
