// The grouping passes of the flow page layout, each a small function over
// plain lists of run texts:
//
//   runs --orderByTop--> --collectLines--> lines (each orderByX)
//   line --collectLineParts--> line parts (runs that touch horizontally)
//   lines' parts (line sections) --collectDivs--> divs (vertically touching)
//   div's parts --collectColumns--> columns (horizontally overlapping)
//   column --collectRows--> rows (same bottom, left to right)
//
// Geometry is in display space (points, y downward) as QXFlowRunText
// reports it; the tolerances are in QXFlowLayoutLimits.h. Every ordering is
// stable: equal keys keep the order they came in. Values that are not
// numbers sort last and never join a group they are compared with. The
// passes take their lists by value: a caller done with a list moves it in,
// and its runs are moved on instead of copied.
#pragma once

#include "flowtext/QXFlowRun.h"

#include <vector>

namespace rz {

// Runs of one line part, one line, or any other ordered list of runs.
using QXFlowRunList = std::vector<QXFlowRunTextRef>;
// The line parts of one line.
using QXFlowLineSection = std::vector<QXFlowRunList>;
// The line parts of a column, top-down; or of a row, left to right.
using QXFlowPartList = std::vector<QXFlowRunList>;

class QXFlowLayout {
public:
    // --- Orderings ---

    // By run top, then by arrival.
    static QXFlowRunList orderByTop(QXFlowRunList runs);
    // By run x, then by arrival.
    static QXFlowRunList orderByX(QXFlowRunList runs);
    // Parts by their top / by their left.
    static QXFlowPartList orderPartsByTop(QXFlowPartList parts);
    static QXFlowPartList orderPartsByLeft(QXFlowPartList parts);

    // --- Groupings ---

    // Lines of top-ordered runs: the first remaining run and every remaining
    // run whose bottom is within less than kSameBaselineTolerance of its
    // bottom, repeatedly. Each line keeps the runs' incoming order.
    static std::vector<QXFlowRunList> collectLines(QXFlowRunList topOrdered);
    // The parts of an x-ordered line: a run joins the part before it when
    // its x lies within less than kLinePartJoinTolerance of the previous
    // run's end.
    static QXFlowLineSection collectLineParts(QXFlowRunList line);
    // Runs of consecutive line sections that touch vertically: a section
    // joins while its top is at most kDivLineGapFactor of its own height
    // below the greatest bottom of the div so far.
    static std::vector<std::vector<QXFlowLineSection>> collectDivs(std::vector<QXFlowLineSection> sections);
    // Columns of a div's line parts: parts ordered by left; a part joins the
    // column while its left is at most kColumnJoinGap right of the column's
    // greatest right. Each column is then ordered top-down.
    static std::vector<QXFlowPartList> collectColumns(QXFlowPartList parts);
    // Rows of a top-ordered column: the first remaining part and the parts
    // right after it whose bottom is within less than kRowBottomTolerance of
    // its bottom; each row ordered left to right.
    static std::vector<QXFlowPartList> collectRows(QXFlowPartList column);

    // --- Geometry (0 for an empty list unless said otherwise) ---

    // Least run top / greatest run bottom of a part, in single precision.
    static double partTop(const QXFlowRunList& part);
    static double partBottom(const QXFlowRunList& part);
    // Run left of the first run; run end of the last run.
    static double partLeft(const QXFlowRunList& part);
    static double partRight(const QXFlowRunList& part);
    // Least run top of a line section, from kLineSectionTopStart; greatest
    // run bottom, from 0.
    static double sectionTop(const QXFlowLineSection& section);
    static double sectionBottom(const QXFlowLineSection& section);
    // Top of a column's first part; bottom of its last part.
    static double columnTop(const QXFlowPartList& column);
    static double columnBottom(const QXFlowPartList& column);
    // Least column top / greatest column bottom of a div.
    static double divTop(const std::vector<QXFlowPartList>& columns);
    static double divBottom(const std::vector<QXFlowPartList>& columns);
    // Least part left of a column.
    static double columnLeft(const QXFlowPartList& column);
    // Least left of the rows' first parts.
    static double columnLeftOfRows(const std::vector<QXFlowPartList>& rows);
};

} // namespace rz
