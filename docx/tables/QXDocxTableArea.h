// One candidate table region: ruling lines that meet one another, their
// source paths, the page texts inside it and the regions nested in it. The
// detector builds areas from line groups; the page asks each area whether
// it is a table (isValidTableArea), gives it the texts it covers
// (addRunText) and has it build the table.
//
// What table construction reads from an accepted area: tablePoints (rows
// of crossing points, top to bottom, each left to right, at least two rows
// of equally many points, at least two each), bounds, the four scan
// ranges, allRunTextArray, allRunPathArray and allSubAreaArray.
//
// Coordinates are points in display space (y grows downwards).
#pragma once

#include "docx/graphics/QXDocxRunPath.h"
#include "docx/layout/QXDocxRunText.h"
#include "docx/tables/QXDocxTableLine.h"
#include "docx/tables/QXDocxTablePoint.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxTableArea;
using QXDocxTableAreaPtr = std::shared_ptr<QXDocxTableArea>;
using QXDocxTableAreaArray = std::vector<QXDocxTableAreaPtr>;
using QXDocxTablePointArray = std::vector<QXDocxTablePointPtr>;

class QXDocxTableArea {
public:
    QXDocxTableArea() = default;
    // Bounds of the lines, the lines, every source path of them (pieces of
    // merged lines included, first occurrence kept) and the paths' scan
    // range.
    static QXDocxTableAreaPtr initWithLines(const QXDocxTableLineArray& lines);
    // Every field but the crossing points; the arrays are copied as lists
    // of the same objects.
    QXDocxTableAreaPtr copy() const;

    // --- Fields ---
    const QXDocxTableAreaArray& allSubAreaArray() const { return allSubAreaArray_; }
    void setAllSubAreaArray(QXDocxTableAreaArray areas) { allSubAreaArray_ = std::move(areas); }
    const QXDocxRunPathArray& allRunPathArray() const { return allRunPathArray_; }
    void setAllRunPathArray(QXDocxRunPathArray paths) { allRunPathArray_ = std::move(paths); }
    const QXDocxRunTextArray& allRunTextArray() const { return allRunTextArray_; }
    void setAllRunTextArray(QXDocxRunTextArray texts) { allRunTextArray_ = std::move(texts); }
    const QXDocxTableLineArray& tableLines() const { return tableLines_; }
    void setTableLines(QXDocxTableLineArray lines) { tableLines_ = std::move(lines); }
    const QXDocxTableLineArray& tableLines_removed() const { return tableLines_removed_; }
    void setTableLines_removed(QXDocxTableLineArray lines) { tableLines_removed_ = std::move(lines); }
    const QXDocxTablePointArray& intersectPointArray() const { return intersectPointArray_; }
    // Other page paths over the area that are not its lines (set by the page).
    const QXDocxRunPathArray& allRunPathArray_excluded() const { return allRunPathArray_excluded_; }
    void setAllRunPathArray_excluded(QXDocxRunPathArray paths) { allRunPathArray_excluded_ = std::move(paths); }
    const std::vector<QXDocxTablePointArray>& tablePoints() const { return tablePoints_; }
    void setTablePoints(std::vector<QXDocxTablePointArray> rows) { tablePoints_ = std::move(rows); }
    const Rect& bounds() const { return bounds_; }
    void setBounds(const Rect& bounds) { bounds_ = bounds; }
    std::uint64_t minPDFScanIndex() const { return minPDFScanIndex_; }
    void setMinPDFScanIndex(std::uint64_t v) { minPDFScanIndex_ = v; }
    std::uint64_t maxPDFScanIndex() const { return maxPDFScanIndex_; }
    void setMaxPDFScanIndex(std::uint64_t v) { maxPDFScanIndex_ = v; }
    std::uint64_t minTextPDFScanIndex() const { return minTextPDFScanIndex_; }
    void setMinTextPDFScanIndex(std::uint64_t v) { minTextPDFScanIndex_ = v; }
    std::uint64_t maxTextPDFScanIndex() const { return maxTextPDFScanIndex_; }
    void setMaxTextPDFScanIndex(std::uint64_t v) { maxTextPDFScanIndex_ = v; }

    // --- Operations ---

    // At least 5 lines and bounds at least 6 x 6.
    bool isValidTableLines() const;
    // Marks every line (and removed line) invalid, nested areas too.
    void setAllTableLinesInvalid();
    // Appends the text unless present and widens the text scan range; true.
    bool addRunText(const QXDocxRunTextPtr& text);
    // The first of `areas` whose bounds meet this area's bounds grown by
    // `factor` on every side; null when none.
    QXDocxTableAreaPtr isIntersectAreas(const QXDocxTableAreaArray& areas, double factor) const;
    // Crossing points of the lines, each with the lines through it.
    void caculateIntersectionPoints();
    // Plotted curves or bar charts over the lines.
    bool isGraphChart() const;
    // Whether the area is a table: short lines dropped (unless most are
    // short), no chart, more than five crossing points, at least two rows
    // of equally many points (at least two each), and not a framed pair of
    // filled rectangles. Computes tablePoints. Four or five points offer
    // the area's paths as a text box.
    bool isValidTableArea();

    std::string description() const;

    // --- Class operations ---

    // From the first area, every area connected to it through areas whose
    // bounds come within 5.1.
    static QXDocxTableAreaArray FindIntersectTableAreas(const QXDocxTableAreaArray& areas);
    // All sets FindIntersectTableAreas would take out one after another,
    // in that order (each in input order), found by union-find.
    static std::vector<QXDocxTableAreaArray> JoinIntersectTableAreas(const QXDocxTableAreaArray& areas);
    // The areas whose bounds lie inside X's, in order.
    static QXDocxTableAreaArray FindTable(const QXDocxTableArea& X, const QXDocxTableAreaArray& subTables);
    // The first point and every later one whose y (x when `compareY` is
    // false) is within 5.1 of it.
    static QXDocxTablePointArray FindSameXYTablePoints(const QXDocxTablePointArray& points, bool compareY);
    // Rows of points: by y within 5.1 of each row's first (topmost) point,
    // each row sorted by x.
    static std::vector<QXDocxTablePointArray> SortTablePointsGroup(const QXDocxTablePointArray& points);

private:
    QXDocxTableAreaArray allSubAreaArray_;
    QXDocxRunPathArray allRunPathArray_;
    QXDocxRunTextArray allRunTextArray_;
    QXDocxTableLineArray tableLines_;
    QXDocxTableLineArray tableLines_removed_;
    QXDocxTablePointArray intersectPointArray_;
    QXDocxRunPathArray allRunPathArray_excluded_;
    std::vector<QXDocxTablePointArray> tablePoints_;
    Rect bounds_{};
    std::uint64_t minPDFScanIndex_ = 0;
    std::uint64_t maxPDFScanIndex_ = 0;
    std::uint64_t minTextPDFScanIndex_ = 0;
    std::uint64_t maxTextPDFScanIndex_ = 0;
};

} // namespace rz
