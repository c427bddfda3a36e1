#include "docx/tables/ZVScanLine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace rz {

namespace {

// Side of the index cells: the largest merge distance.
constexpr double kCellSize = 15.0;
constexpr double kNearCrossingSquared = 225.0;
constexpr double kNearSquared = 36.0;

// One segment on its axis: `at` the fixed coordinate, [lo, hi] the
// lengthened stretch along it.
struct AxisSegment {
    std::size_t index = 0;
    double at = 0;
    double lo = 0;
    double hi = 0;
};

struct Crossing {
    double x = 0;
    double y = 0;
    std::size_t horizontal = 0;
    std::size_t vertical = 0;
};

std::int64_t cellOf(double v)
{
    const double c = std::floor(v / kCellSize);
    // Coordinates of a page are far inside this; clamping keeps absurd
    // input from overflowing the key.
    return static_cast<std::int64_t>(std::clamp(c, -1.0e9, 1.0e9));
}

std::uint64_t cellKey(std::int64_t cx, std::int64_t cy)
{
    return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint64_t>(cy & 0xffffffff);
}

double squaredDistance(const ZVScanLine::ResultPoint& a, const ZVScanLine::ResultPoint& b)
{
    const double dx = static_cast<double>(a.x) - static_cast<double>(b.x);
    const double dy = static_cast<double>(a.y) - static_cast<double>(b.y);
    return dx * dx + dy * dy;
}

// The result list with its cell index. A point added merges into the
// first (lowest-index) listed point it is close to; the index only narrows
// the search to the 3 x 3 cells around it, which hold every point within
// 15 points.
class PointList {
public:
    explicit PointList(std::vector<ZVScanLine::ResultPoint>& points) : points_(points) {}

    void add(const ZVScanLine::ResultPoint& p)
    {
        const std::size_t hit = firstMatching(p, [&](const ZVScanLine::ResultPoint& q) {
            return ZVScanLine::IsClosePoints(p, q);
        });
        if (hit != kNone) {
            points_[hit].type = static_cast<std::uint8_t>(points_[hit].type | p.type);
            return;
        }
        append(p);
    }

    bool hasPointWithin6(const ZVScanLine::ResultPoint& p) const
    {
        return firstMatching(p, [&](const ZVScanLine::ResultPoint& q) {
                   return squaredDistance(p, q) < kNearSquared;
               }) != kNone;
    }

    void append(const ZVScanLine::ResultPoint& p)
    {
        cells_[cellKey(cellOf(p.x), cellOf(p.y))].push_back(points_.size());
        points_.push_back(p);
    }

private:
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    template <class Pred>
    std::size_t firstMatching(const ZVScanLine::ResultPoint& p, Pred pred) const
    {
        std::size_t best = kNone;
        const std::int64_t cx = cellOf(p.x);
        const std::int64_t cy = cellOf(p.y);
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = cells_.find(cellKey(cx + dx, cy + dy));
                if (it == cells_.end())
                    continue;
                for (std::size_t i : it->second) {
                    if (i < best && pred(points_[i]))
                        best = i;
                }
            }
        }
        return best;
    }

    std::vector<ZVScanLine::ResultPoint>& points_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells_;
};

std::int64_t truncated(float v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<std::int64_t>(std::clamp(std::trunc(static_cast<double>(v)), -1.0e12, 1.0e12));
}

} // namespace

ZVScanLine::ZVScanLine(std::vector<Segment> segments, int m_wucha, std::size_t maxCrossings)
    : segments_(std::move(segments)), m_wucha_(m_wucha), maxCrossings_(maxCrossings)
{
    if (m_wucha < 0)
        throw std::invalid_argument("m_wucha >= 0");
}

bool ZVScanLine::IsClosePoints(const ResultPoint& a, const ResultPoint& b)
{
    const bool aCross = (a.type & kTypeCross) != 0;
    const bool bCross = (b.type & kTypeCross) != 0;
    const bool eitherHidden = ((a.type | b.type) & kTypeHide) != 0;
    const double d2 = squaredDistance(a, b);
    if (eitherHidden || aCross == bCross)
        return d2 < kNearSquared;
    return d2 < kNearCrossingSquared;
}

void ZVScanLine::sweep()
{
    results_.clear();
    overflowed_ = false;
    const double t = m_wucha_;

    // Snap every segment to its axis and lengthen it.
    std::vector<AxisSegment> horizontals;
    std::vector<AxisSegment> verticals;
    std::vector<bool> isHorizontal(segments_.size(), false);
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const Segment& s = segments_[i];
        if (!std::isfinite(s.x1) || !std::isfinite(s.y1) || !std::isfinite(s.x2) || !std::isfinite(s.y2))
            continue;
        const double dx = std::fabs(static_cast<double>(s.x2) - s.x1);
        const double dy = std::fabs(static_cast<double>(s.y2) - s.y1);
        if (dx >= dy) {
            isHorizontal[i] = true;
            horizontals.push_back({i, (static_cast<double>(s.y1) + s.y2) / 2, std::min<double>(s.x1, s.x2) - t,
                                   std::max<double>(s.x1, s.x2) + t});
        } else {
            verticals.push_back({i, (static_cast<double>(s.x1) + s.x2) / 2, std::min<double>(s.y1, s.y2) - t,
                                 std::max<double>(s.y1, s.y2) + t});
        }
    }

    // Orthogonal search: verticals by x, each horizontal's range looked up.
    std::stable_sort(verticals.begin(), verticals.end(),
                     [](const AxisSegment& a, const AxisSegment& b) { return a.at < b.at; });
    std::vector<Crossing> crossings;
    std::vector<bool> crosses(segments_.size(), false);
    for (const AxisSegment& h : horizontals) {
        auto it = std::lower_bound(verticals.begin(), verticals.end(), h.lo,
                                   [](const AxisSegment& v, double x) { return v.at < x; });
        for (; it != verticals.end() && it->at <= h.hi; ++it) {
            if (h.at < it->lo || h.at > it->hi)
                continue;
            if (maxCrossings_ > 0 && crossings.size() >= maxCrossings_) {
                overflowed_ = true;
                return;
            }
            crossings.push_back({it->at, h.at, h.index, it->index});
            crosses[h.index] = true;
            crosses[it->index] = true;
        }
    }
    // Sweep order: y descending, then x ascending.
    std::stable_sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) {
        const float ay = static_cast<float>(a.y);
        const float by = static_cast<float>(b.y);
        if (ay != by)
            return ay > by;
        return static_cast<float>(a.x) < static_cast<float>(b.x);
    });

    PointList list(results_);
    for (const Crossing& c : crossings)
        list.add({static_cast<std::uint8_t>(kTypeShow | kTypeCross), static_cast<float>(c.x), static_cast<float>(c.y)});

    // The unlengthened ends of every segment that crosses another, on its axis.
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        if (!crosses[i])
            continue;
        const Segment& s = segments_[i];
        if (isHorizontal[i]) {
            const float y = static_cast<float>((static_cast<double>(s.y1) + s.y2) / 2);
            list.add({s.startFlag, s.x1, y});
            list.add({s.endFlag, s.x2, y});
        } else {
            const float x = static_cast<float>((static_cast<double>(s.x1) + s.x2) / 2);
            list.add({s.startFlag, x, s.y1});
            list.add({s.endFlag, x, s.y2});
        }
    }

    // Grid completion over the whole-point columns and rows of the result.
    std::vector<std::int64_t> xs;
    std::vector<std::int64_t> ys;
    xs.reserve(results_.size());
    ys.reserve(results_.size());
    for (const ResultPoint& p : results_) {
        xs.push_back(truncated(p.x));
        ys.push_back(truncated(p.y));
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    if (maxCrossings_ > 0 && xs.size() * ys.size() > maxCrossings_ * kGridPositionsPerCrossing) {
        overflowed_ = true;
        results_.clear();
        return;
    }
    for (std::int64_t x : xs) {
        for (std::int64_t y : ys) {
            const ResultPoint grid{kTypeHide, static_cast<float>(x), static_cast<float>(y)};
            if (!list.hasPointWithin6(grid))
                list.append(grid);
        }
    }
}

} // namespace rz
