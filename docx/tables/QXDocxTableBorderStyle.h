// The border style of one cell edge drawn as one, two or three parallel
// strokes (a single, double or triple rule, thick and thin strokes, wavy
// doubles), and for the large-gap styles the gap the border writes as its
// size.
//
// Two layers: the path layer decides from two or three source paths, by
// their stroke weights, boxes, drawing order, colours and dashes; the
// ruling-line layer picks the style lines of an edge and decides from one
// to three of them, handing pairs and triples of source paths to the path
// layer. Styles are border style codes (QXDocxBorderStyle); the gap is
// written only where a rule says so, the caller sets it first.
#pragma once

#include "docx/tables/QXDocxTableRulingLine.h"

namespace rz {

class QXDocxTableBorderStyle {
public:
    // --- Path layer ---

    // None: "nil"; one path: its own style along the line; two and three:
    // the two- and three-path rules (two at distance 0); more: "triple".
    static std::int32_t BorderStyleForRunPaths(const std::vector<QXDocxRunPathPtr>& paths, Point p1, Point p2,
                                               const QXDocx_Color& backgroundColor, double* grapDistance);
    // Two paths whose ruling lines lie `tableLineDistance` apart (0 when
    // unknown).
    static std::int32_t BorderStyleFor2RunPaths(const std::vector<QXDocxRunPathPtr>& paths, Point p1, Point p2,
                                                const QXDocx_Color& backgroundColor, double* grapDistance,
                                                double tableLineDistance);
    static std::int32_t BorderStyleFor3RunPaths(const std::vector<QXDocxRunPathPtr>& paths, Point p1, Point p2,
                                                const QXDocx_Color& backgroundColor, double* grapDistance);
    // The empty space between two strokes of one orientation (negative when
    // they overlap): across horizontal lines by their boxes' mid y and
    // heights, across vertical lines by mid x and widths.
    static double ClearGap(const QXDocxRunPath& a, const QXDocxRunPath& b);

    // --- Ruling-line layer ---

    // The lines of an edge that draw a visible border, one per place.
    static QXDocxTableRulingLineArray CreateStyleLineArray(const QXDocxTableRulingLineArray& lines, Point p1,
                                                           Point p2, const QXDocx_Color& backgroundColor);
    // The lines whose source paths, taken as a group, draw a border.
    static QXDocxTableRulingLineArray FilterStrokeStyleLines(const QXDocxTableRulingLineArray& lines, Point p1,
                                                             Point p2, const QXDocx_Color& backgroundColor);
    // The first line of `lines` within 0.25 across of `line`; null when
    // none or when `line` is neither horizontal nor vertical.
    static QXDocxTableRulingLinePtr FindSameParallelStyleLine(const QXDocxTableRulingLinePtr& line,
                                                              const QXDocxTableRulingLineArray& lines);
    // One line per place across, the one whose path strokes heaviest (the
    // first on equal weights).
    static QXDocxTableRulingLineArray FilterParalleStylelLines(const QXDocxTableRulingLineArray& lines);
    // The style of an edge from its style lines: none "nil", one its own
    // style, two or three by the path rules, four or more "triple".
    static std::int32_t BorderStyleForTableLines(const QXDocxTableRulingLineArray& lines, Point p1, Point p2,
                                                 const QXDocx_Color& backgroundColor, double* grapDistance);
};

} // namespace rz
