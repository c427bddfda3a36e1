// One ruling line of a possible table: a horizontal or vertical segment
// cut from a vector path, or a merged line standing for several nearly
// collinear or closely parallel pieces. It knows its source paths, so the
// table code can tell which page paths became table borders. The class
// side holds the geometry detection needs: bounds of a set of lines,
// whether two lines meet, groups of connected lines, merging of parallel
// pieces and the search for the four sides of a page frame.
//
// Coordinates are points in display space (y grows downwards).
#pragma once

#include "docx/graphics/QXDocxRunPath.h"
#include "platform/geometry/Color.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXDocxTableLine;
using QXDocxTableLinePtr = std::shared_ptr<QXDocxTableLine>;
using QXDocxTableLineArray = std::vector<QXDocxTableLinePtr>;
using QXDocxRunPathArray = std::vector<QXDocxRunPathPtr>;

class QXDocxTableLine {
public:
    // Sides of a page frame (FindTableLines:point1:point2:type:).
    static constexpr int kFrameTop = 1;
    static constexpr int kFrameLeft = 2;
    static constexpr int kFrameRight = 3;
    static constexpr int kFrameBottom = 4;

    QXDocxTableLine() = default;
    // A line from `start` to `end` with its orientation, length and box.
    QXDocxTableLine(Point start, Point end);
    // Same points, flags, length and box; the arrays and source path are
    // shared with this line.
    QXDocxTableLinePtr copy() const { return std::make_shared<QXDocxTableLine>(*this); }

    // --- Fields ---
    const QXDocxTableLineArray& subLineArray() const { return subLineArray_; }
    void setSubLineArray(QXDocxTableLineArray lines) { subLineArray_ = std::move(lines); }
    const QXDocxRunPathPtr& initRunPath() const { return initRunPath_; }
    void setInitRunPath(QXDocxRunPathPtr path) { initRunPath_ = std::move(path); }
    const QXDocxRunPathArray& allRunPathArray() const { return allRunPathArray_; }
    void setAllRunPathArray(QXDocxRunPathArray paths) { allRunPathArray_ = std::move(paths); }
    // Paths drawn beside the line that give it a compound border style.
    const QXDocxRunPathArray& styleRunPathArray() const { return styleRunPathArray_; }
    void setStyleRunPathArray(QXDocxRunPathArray paths) { styleRunPathArray_ = std::move(paths); }
    bool isInvalid() const { return isInvalid_; }
    // Sets the flag on the line and on every piece of it.
    void setIsInvalid(bool value);
    bool isHorizontalLine() const { return isHorizontalLine_; }
    void setIsHorizontalLine(bool value) { isHorizontalLine_ = value; }
    Point startPoint() const { return startPoint_; }
    void setStartPoint(Point p) { startPoint_ = p; }
    Point endPoint() const { return endPoint_; }
    void setEndPoint(Point p) { endPoint_ = p; }
    double lineLength() const { return lineLength_; }
    void setLineLength(double value) { lineLength_ = value; }
    // The line's box including its stroke thickness.
    const Rect& boundingBox() const { return boundingBox_; }
    void setBoundingBox(const Rect& box) { boundingBox_ = box; }

    // --- Instance operations ---

    // Orientation (vertical when the ends differ by less than 2 in x),
    // length along it, and box: the source path's stroke thickness across
    // the segment (0.1 for a path only filled), or for a merged line the
    // union of its pieces' boxes.
    void updateLineInfo();
    // Appends each element not already present.
    void add2SubLineArray(const QXDocxTableLineArray& lines);
    void add2AllRunPathArray(const QXDocxRunPathArray& paths);
    // Shorter than max(2, length) (updating the line first when its
    // length is still about 0).
    bool isShortLine(double length);
    // Both lines have source paths with the same border look.
    bool isBorderEqualToInitLine(const QXDocxTableLine& other) const;
    // The source path (or any piece's source path) is stroked / filled.
    bool isStroked() const;
    bool isFilled() const;
    // The stroke colour of the first stroked path of allRunPathArray.
    std::optional<Color> tableLineColor() const;
    float max_x() const;
    float min_x() const;
    float max_y() const;
    float min_y() const;
    // This line meets any of `lines`.
    bool isIntersectLines(const QXDocxTableLineArray& lines) const;
    std::string description() const;

    // --- Class operations ---

    // Box of the end points of every line (merged lines through their
    // pieces); a single line with a source path gives the path's box;
    // zero for none.
    static Rect BoundsOfTableLines(const QXDocxTableLineArray& lines);
    // An end of one within 3.1 of an end of the other in x and y, or their
    // extents no further apart than 3.1 in x and in y.
    static bool IsIntersect(const QXDocxTableLine& line1, const QXDocxTableLine& line2);
    // The first line with every line connected to it through meeting lines,
    // in the order they join.
    static QXDocxTableLineArray FindIntersectLines(const QXDocxTableLineArray& lines);
    // Every set of lines connected through meeting lines (what repeated
    // FindIntersectLines would take out), each in input order, the sets
    // ordered by their first line; found through a cell index and
    // union-find.
    static std::vector<QXDocxTableLineArray> FindConnectedLines(const QXDocxTableLineArray& lines);
    // The sets of connected lines, each merged, joined when their areas
    // overlap, and merged again. Groups of two or fewer lines are marked
    // invalid and left out.
    // With the page's text boxes, rules of rows are kept apart while
    // merging (see MergeParallelLinesIfNeed).
    static std::vector<QXDocxTableLineArray> FindIntersectLinesGroups(const QXDocxTableLineArray& lines,
                                                                      const std::vector<Rect>* textBoxes = nullptr);
    // Nearly collinear or closely parallel pieces merged into single lines;
    // horizontal lines first. Given the page's text boxes, parallel lines
    // that are the rules of rows never merge: at least a row's pitch apart,
    // with text between them, and with a further line at the same spacing
    // (a dense table's rows would fuse in pairs otherwise).
    static QXDocxTableLineArray MergeParallelLinesIfNeed(const QXDocxTableLineArray& lines, bool isLengthExtend,
                                                         const std::vector<Rect>* textBoxes = nullptr);
    // The first line of `list` with the lines that merge with it.
    static QXDocxTableLineArray FindMergeParallelLines(const QXDocxTableLineArray& list, bool isLengthExtend);
    // The first line of `rest` that may join the merge set `result`, or null.
    static QXDocxTableLinePtr ContinuFindMergeParallelLines(const QXDocxTableLineArray& rest,
                                                            const QXDocxTableLineArray& result, bool isLengthExtend);
    // A new line without source path standing for two or more pieces.
    static QXDocxTableLinePtr MergeParallelLines(const QXDocxTableLineArray& pieces);

    // The four sides of a page frame (top, left, right, bottom), or nothing.
    static QXDocxTableLineArray FindRemoveFrameLinesIfNeed(const QXDocxTableLineArray& lines);
    // The line with a source path whose ends match p1-p2 within 8.1 that
    // lies outermost on side `type`; null when none.
    static QXDocxTableLinePtr FindTableLines(const QXDocxTableLineArray& lines, Point p1, Point p2, int type);
    // Stroked lines near frame side `line`: parallel ones inside it within
    // 8.1 that run along it, and crossing ones that end on it (within 8.1).
    static QXDocxTableLineArray FindNearbyTableLines(const QXDocxTableLineArray& lines,
                                                     const QXDocxTableLine& line, int type);
    // The distance to the nearest parallel line of `nearby` (99999 for
    // none). The side is closed when no line ends on it (it is not the
    // edge of a table or drawing) and it has no parallel companion, or its
    // nearest companion runs along 90 % of it (a double rule).
    static bool IsClosedNearbyTableLines(const QXDocxTableLineArray& nearby, const QXDocxTableLine& line, int type,
                                         double* distance);

    // Filled lines (pieces of merged lines) that share a start or end
    // coordinate with the first of them.
    static bool IsHaveSameStartLines(const QXDocxTableLineArray& lines);
    // Every line has its start x or end x within 0.25 of `value`, or every
    // line its start y or end y.
    static bool IsHaveSameStartLines(const QXDocxTableLineArray& lines, double value);

private:
    QXDocxTableLineArray subLineArray_;
    QXDocxRunPathPtr initRunPath_;
    QXDocxRunPathArray allRunPathArray_;
    QXDocxRunPathArray styleRunPathArray_;
    bool isInvalid_ = false;
    bool isHorizontalLine_ = false;
    Point startPoint_{};
    Point endPoint_{};
    double lineLength_ = 0;
    Rect boundingBox_{};
};

} // namespace rz
