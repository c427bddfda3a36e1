// What table construction receives from an accepted table region, and the
// construction itself: rows and cells from pairs of neighbouring crossing
// points, cell edges resolved against the ruling lines, nested regions as
// nested tables, the region's texts handed to the cells that hold them and
// filled paths offered as cell shading.
#pragma once

#include "docx/tables/QXDocxTable.h"

namespace rz {

struct QXDocxTableSource {
    // Crossing points grouped into rows, top to bottom, each left to
    // right.
    std::vector<std::vector<QXDocxTableCorner>> tablePoints;
    Rect bounds;
    std::uint64_t minPDFScanIndex = 0;
    std::uint64_t maxPDFScanIndex = 0;
    std::uint64_t minTextPDFScanIndex = 0;
    std::uint64_t maxTextPDFScanIndex = 0;
    // Texts inside the region and the source paths of its lines.
    QXDocxRunTextArray allRunTextArray;
    std::vector<QXDocxRunPathPtr> allRunPathArray;
    // The page whose size the cells' text layout takes (nested regions
    // without one take this one's).
    QXDocxPage* superPage = nullptr;
    // Whether the page behind the region is white (white lines are then
    // no borders).
    bool isPageWhiteBackground = true;
    // Regions nested inside this one, already validated (their points
    // grouped into rows).
    std::vector<QXDocxTableSource> allSubAreaArray;

    // The table of the region; never null. A region with fewer than two
    // point rows gives a table without rows, which writes nothing. Every
    // text more than half inside the region goes to a cell: to each cell
    // holding more than half of it, else to the one it overlaps most. The
    // table lists the texts its cells took (the page keeps the others); a
    // nested region that makes no cells leaves its texts to this table.
    QXDocxTablePtr createTable() const;
};

} // namespace rz
