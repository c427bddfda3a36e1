// The hand-over from an accepted table area to table construction: the
// area's crossing points, lines, texts, paths and nested areas in the form
// the table model reads (QXDocxTableSource, with ruling lines seen through
// QXDocxTableRulingLine).
#pragma once

#include "docx/tables/QXDocxTableArea.h"
#include "docx/tables/QXDocxTableSource.h"

namespace rz {

// The area as construction reads it. Nested areas without point rows are
// validated first; one that is no table has its lines made invalid (they
// go back to the page's drawing) and is left out, so its texts stay with
// this table. The page is the table manager's. Every table line becomes one ruling line object, shared by
// all the points it passes through (lines are compared by identity).
QXDocxTableSource QXDocxTableSourceForArea(QXDocxTableArea& area);

// The table of an accepted area (the area has passed isValidTableArea and
// holds its texts).
// `whiteBackground` tells whether the page is white behind it: on a
// coloured page white lines are drawn borders.
inline QXDocxTablePtr QXDocxTableCreateTable(QXDocxTableArea& area, bool whiteBackground = true)
{
    QXDocxTableSource source = QXDocxTableSourceForArea(area);
    source.isPageWhiteBackground = whiteBackground;
    return source.createTable();
}

} // namespace rz
