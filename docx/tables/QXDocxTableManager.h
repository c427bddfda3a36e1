// The per-page table detector. For one DOCX page at a time it collects the
// vector paths that may be ruling lines, cuts them into table lines,
// recognises a page frame and turns it into page borders, groups the other
// lines into sets of meeting lines, merges parallel pieces and hands back
// the candidate table areas with their nested areas. It also answers a few
// line questions for the area and border code: crossing points of lines,
// lines through a point, overlap of lines with a border segment.
//
// Per page: setSuperPage, setPageSize, begainPage, addRunPathIfNeed for
// each path, createAllTableAreas, (the page validates the areas and builds
// the tables), clearTableLineInvalidRunPaths, read pgBorders, endPage.
// Single-threaded: one page at a time on the conversion queue.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/tables/QXDocxTableArea.h"
#include "docx/tables/QXDocxTableLine.h"
#include "docx/tables/QXDocxTablePoint.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rz {

class QXDocxPage;

class QXDocxTableManager {
public:
    static QXDocxTableManager& sharedInstance();
    // Drops the shared manager; the next sharedInstance() makes a new one.
    static void destory();
    static void reset() {}

    QXDocxTableManager();

    QXDocxPage* superPage() const { return superPage_; }
    void setSuperPage(QXDocxPage* page) { superPage_ = page; }
    const QXDocx_PgSz& pageSize() const { return pageSize_; }
    void setPageSize(const QXDocx_PgSz& size) { pageSize_ = size; }
    const QXDocxRunPathArray& allSampleRunPaths() const { return allSampleRunPaths_; }
    const QXDocxTableLineArray& allTableLines() const { return allTableLines_; }
    // 0 without a page frame, 2 when the frame became page borders.
    std::int32_t pgBorders_offsetFrom() const { return pgBorders_offsetFrom_; }
    void setPgBorders_offsetFrom(std::int32_t value) { pgBorders_offsetFrom_ = value; }
    const QXDocx_Borders& pgBorders() const { return pgBorders_; }
    void setPgBorders(const QXDocx_Borders& borders) { pgBorders_ = borders; }

    // Both reset the page's detection state (not the page or its size).
    void begainPage();
    void endPage();

    // A path without curves, stroked no wider than 6.25, whose every
    // segment is horizontal or vertical within 1, becomes a candidate and
    // is marked as a table line. False when rejected at once (curves or
    // weight); true when examined.
    bool addRunPathIfNeed(const QXDocxRunPathPtr& path);
    // Every candidate cut into table lines (segments longer than 1, a close
    // adding the closing side); a candidate giving none is no table line.
    QXDocxTableLineArray creatTableLines();
    // The detection proper: table lines, page frame, groups of meeting
    // lines, areas with their nested areas (smallest first when several).
    // Empty when nothing qualifies; a page with more than
    // kMaxTableLinesPerPage lines is not searched (its lines are invalid).
    QXDocxTableAreaArray createAllTableAreas();
    // Paths whose lines were all rejected stop being table lines. A path
    // that feeds both accepted and rejected lines stays a table line, and
    // its rejected segments come back as new paths (same paint, the
    // rejected segments only) for the page to draw.
    QXDocxRunPathArray clearTableLineInvalidRunPaths();

    // --- Line questions ---

    // Crossing points of the lines (tolerance 15), in the finder's order;
    // empty for no lines, and for lines with more than
    // kMaxCrossingsPerArea crossings (no table is that large).
    static std::vector<QXDocxTablePointPtr> ZVFindIntersectionPoints(const QXDocxTableLineArray& lines);
    // The lines through `point` within 15.1, in input order.
    static QXDocxTableLineArray FindInterTableLines(const QXDocxTableLineArray& lines, Point point);
    // The same for many points at once, through a cell index of the lines.
    static std::vector<QXDocxTableLineArray> FindInterTableLines(const QXDocxTableLineArray& lines,
                                                                 const std::vector<Point>& points);
    // Overlap along their length of two parallel segments whose ends lie
    // within 15.1 across; 0 otherwise.
    static float LineStartPoint(Point startPoint, Point endPoint, Point point1, Point point2);
    // Lines overlapping the segment by more than max(2, miniLength), by
    // increasing overlap.
    static QXDocxTableLineArray FindTableLines(const QXDocxTableLineArray& lines, const QXDocxTablePoint& point1,
                                               const QXDocxTablePoint& point2, double miniLength);

private:
    QXDocxPage* superPage_ = nullptr;
    QXDocx_PgSz pageSize_{};
    QXDocxRunPathArray allSampleRunPaths_;
    QXDocxTableLineArray allTableLines_;
    std::int32_t pgBorders_offsetFrom_ = 0;
    QXDocx_Borders pgBorders_{};

    bool detectPageFrame(QXDocxTableLineArray& lines);
};

} // namespace rz
