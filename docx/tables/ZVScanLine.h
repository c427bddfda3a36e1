// Crossing points of ruling lines. Each segment is snapped to its axis
// (horizontal when it runs at least as far in x as in y, else vertical)
// and lengthened by the tolerance at both ends; every horizontal x
// vertical pair whose lengthened segments meet gives a crossing. The
// result lists the crossings (top-down in the page's y-up sweep order: y
// descending, then x ascending), then the unlengthened ends of every
// segment that crosses another, then the grid positions the lines imply
// but nothing marks. Close points are merged as they are added.
//
// Crossings are found by searching the verticals (sorted by x) within each
// horizontal's lengthened range; points are merged and grid positions
// tested through an index of 15-point cells, so a page of many lines costs
// about as much as it has crossings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rz {

class ZVScanLine {
public:
    // Type bits of a result point.
    static constexpr std::uint8_t kTypeShow = 1;    // an end of a line, or a drawn crossing
    static constexpr std::uint8_t kTypeCross = 2;   // where two lines cross
    static constexpr std::uint8_t kTypeHide = 4;    // a grid position no line marks
    static constexpr std::uint8_t kTypeDeleted = 8; // never set by the sweep

    struct Segment {
        std::uint8_t startFlag = kTypeShow; // type bits of the first end
        float x1 = 0;
        float y1 = 0;
        std::uint8_t endFlag = kTypeShow;   // type bits of the second end
        float x2 = 0;
        float y2 = 0;
    };

    struct ResultPoint {
        std::uint8_t type = 0;
        float x = 0;
        float y = 0;
    };

    // `m_wucha` is the tolerance in points; a negative one throws
    // std::invalid_argument("m_wucha >= 0"). With `maxCrossings` above 0,
    // a set of lines with more crossings than that, or with more than
    // kGridPositionsPerCrossing times as many grid positions, is given up:
    // the result stays empty and isOverflowed() answers true.
    ZVScanLine(std::vector<Segment> segments, int m_wucha, std::size_t maxCrossings = 0);

    static constexpr std::size_t kGridPositionsPerCrossing = 16;

    // Runs the search; the result is read from results().
    void sweep();
    const std::vector<ResultPoint>& results() const { return results_; }
    bool isOverflowed() const { return overflowed_; }

    // Two points are close enough to merge: within 15 points when exactly
    // one of them is a crossing (a crossing swallows a nearby line end),
    // within 6 otherwise.
    static bool IsClosePoints(const ResultPoint& a, const ResultPoint& b);

private:
    std::vector<Segment> segments_;
    int m_wucha_ = 0;
    std::size_t maxCrossings_ = 0;
    bool overflowed_ = false;
    std::vector<ResultPoint> results_;
};

} // namespace rz
