// A rectangular range of merged cells, from its top-left cell to its
// bottom-right cell (1-based rows and columns).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rz {

struct QXPoint {
    size_t r = 0;
    size_t c = 0;
    bool operator==(const QXPoint&) const = default;
};

class QXMergedCell {
public:
    QXMergedCell() = default;
    QXMergedCell(QXPoint start, QXPoint end) : start_(start), end_(end) {}

    const QXPoint& start() const { return start_; }
    void setStart(QXPoint p) { start_ = p; }
    const QXPoint& end() const { return end_; }
    void setEnd(QXPoint p) { end_ = p; }

    // The range text "B3:C4".
    std::string mergerCellInfo() const;
    // Whether the two ranges share at least one cell.
    bool isCross(const QXMergedCell& other) const;
    // Whether the cell at (row, column) lies inside the range.
    bool contains(size_t row, size_t column) const;

    bool operator==(const QXMergedCell&) const = default;

    // The ranges a sheet may carry, in their order: a range is left out
    // when it covers a single cell, when it shares a cell with a range kept
    // before it, or when a cell of `textCells` other than its own top-left
    // cell lies inside it (a merge would hide that text).
    static std::vector<QXMergedCell> soundMerges(const std::vector<QXMergedCell>& merges,
                                                 const std::vector<QXPoint>& textCells);

private:
    QXPoint start_;
    QXPoint end_;
};

} // namespace rz
