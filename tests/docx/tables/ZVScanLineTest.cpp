#include "docx/tables/ZVScanLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>

namespace rz {
namespace {

using Seg = ZVScanLine::Segment;
using Pt = ZVScanLine::ResultPoint;

Seg seg(float x1, float y1, float x2, float y2)
{
    return Seg{1, x1, y1, 1, x2, y2};
}

std::vector<Pt> run(std::vector<Seg> segments, int tolerance = 15)
{
    ZVScanLine scan(std::move(segments), tolerance);
    scan.sweep();
    return scan.results();
}

int countType(const std::vector<Pt>& points, std::uint8_t type)
{
    return static_cast<int>(std::count_if(points.begin(), points.end(), [&](const Pt& p) { return p.type == type; }));
}

// The same rules without any index: every pair, a linear merge, every
// grid position against every point.
std::vector<Pt> bruteForce(const std::vector<Seg>& segments, double t)
{
    struct Cross {
        double x, y;
    };
    std::vector<Cross> crossings;
    std::vector<bool> crosses(segments.size(), false);
    auto horizontal = [](const Seg& s) { return std::fabs(double(s.x2) - s.x1) >= std::fabs(double(s.y2) - s.y1); };
    for (std::size_t i = 0; i < segments.size(); ++i) {
        for (std::size_t j = 0; j < segments.size(); ++j) {
            const Seg& h = segments[i];
            const Seg& v = segments[j];
            if (!horizontal(h) || horizontal(v))
                continue;
            const double hy = (double(h.y1) + h.y2) / 2, vx = (double(v.x1) + v.x2) / 2;
            if (vx < std::min<double>(h.x1, h.x2) - t || vx > std::max<double>(h.x1, h.x2) + t)
                continue;
            if (hy < std::min<double>(v.y1, v.y2) - t || hy > std::max<double>(v.y1, v.y2) + t)
                continue;
            crossings.push_back({vx, hy});
            crosses[i] = crosses[j] = true;
        }
    }
    std::stable_sort(crossings.begin(), crossings.end(), [](const Cross& a, const Cross& b) {
        if (float(a.y) != float(b.y))
            return float(a.y) > float(b.y);
        return float(a.x) < float(b.x);
    });
    std::vector<Pt> out;
    auto add = [&](Pt p) {
        for (Pt& q : out) {
            if (ZVScanLine::IsClosePoints(p, q)) {
                q.type = std::uint8_t(q.type | p.type);
                return;
            }
        }
        out.push_back(p);
    };
    for (const Cross& c : crossings)
        add({3, float(c.x), float(c.y)});
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!crosses[i])
            continue;
        const Seg& s = segments[i];
        if (horizontal(s)) {
            const float y = float((double(s.y1) + s.y2) / 2);
            add({s.startFlag, s.x1, y});
            add({s.endFlag, s.x2, y});
        } else {
            const float x = float((double(s.x1) + s.x2) / 2);
            add({s.startFlag, x, s.y1});
            add({s.endFlag, x, s.y2});
        }
    }
    std::vector<long long> xs, ys;
    for (const Pt& p : out) {
        xs.push_back((long long)std::trunc(p.x));
        ys.push_back((long long)std::trunc(p.y));
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    for (long long x : xs) {
        for (long long y : ys) {
            const Pt g{4, float(x), float(y)};
            const bool near = std::any_of(out.begin(), out.end(), [&](const Pt& q) {
                const double dx = double(q.x) - g.x, dy = double(q.y) - g.y;
                return dx * dx + dy * dy < 36;
            });
            if (!near)
                out.push_back(g);
        }
    }
    return out;
}

TEST(ZVScanLineTest, MatchesBruteForceOnRandomGrids)
{
    std::mt19937 rng(27);
    for (int round = 0; round < 40; ++round) {
        std::uniform_real_distribution<float> pos(0, 300);
        std::uniform_real_distribution<float> tilt(-0.9f, 0.9f);
        std::uniform_int_distribution<int> count(1, 14);
        std::vector<Seg> segments;
        const int h = count(rng), v = count(rng);
        for (int i = 0; i < h; ++i) {
            float a = pos(rng), b = pos(rng), y = pos(rng);
            segments.push_back(seg(a, y, b, y + tilt(rng)));
        }
        for (int i = 0; i < v; ++i) {
            float a = pos(rng), b = pos(rng), x = pos(rng);
            segments.push_back(seg(x, a, x + tilt(rng), b));
        }
        std::shuffle(segments.begin(), segments.end(), rng);
        const auto fast = run(segments);
        const auto slow = bruteForce(segments, 15);
        ASSERT_EQ(fast.size(), slow.size()) << "round " << round;
        for (std::size_t i = 0; i < fast.size(); ++i) {
            EXPECT_EQ(fast[i].type, slow[i].type) << "round " << round << " point " << i;
            EXPECT_EQ(fast[i].x, slow[i].x) << "round " << round << " point " << i;
            EXPECT_EQ(fast[i].y, slow[i].y) << "round " << round << " point " << i;
        }
    }
}

TEST(ZVScanLineTest, CrossingsComeInSweepOrderYDescendingXAscending)
{
    // Two horizontals and two verticals 100 apart: four crossings first.
    const auto points = run({seg(0, 0, 100, 0), seg(0, 100, 100, 100), seg(0, 0, 0, 100), seg(100, 0, 100, 100)});
    ASSERT_GE(points.size(), 4u);
    const float expected[4][2] = {{0, 100}, {100, 100}, {0, 0}, {100, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].type, 3);
        EXPECT_EQ(points[i].x, expected[i][0]);
        EXPECT_EQ(points[i].y, expected[i][1]);
    }
}

TEST(ZVScanLineTest, Cases)
{
    struct Case {
        const char* name;
        std::vector<Seg> segments;
        int tolerance;
        int crossings; // points of type 3
        int ends;      // points of type 1
        int hidden;    // points of type 4
        std::size_t total;
    };
    const Case cases[] = {
        // Stopping 10 short of each other, their extensions still meet.
        {"gap of 10", {seg(0, 50, 90, 50), seg(100, 0, 100, 40)}, 15, 1, 2, 1, 4},
        // Crossing in their middles: one crossing, four ends.
        {"plus", {seg(0, 50, 100, 50), seg(50, 0, 50, 100)}, 15, 1, 4, 4, 9},
        // An end 10 from the crossing is swallowed by it.
        {"end near crossing", {seg(0, 50, 100, 50), seg(50, 40, 50, 200)}, 15, 1, 3, 2, 6},
        // Full 3 x 3 grid: nine crossings, every end swallowed, no gaps.
        {"grid",
         {seg(0, 0, 200, 0), seg(0, 100, 200, 100), seg(0, 200, 200, 200), seg(0, 0, 0, 200), seg(100, 0, 100, 200),
          seg(200, 0, 200, 200)},
         15, 9, 0, 0, 9},
        // Tolerance 0: only drawn crossings.
        {"no tolerance", {seg(0, 50, 90, 50), seg(100, 0, 100, 40)}, 0, 0, 0, 0, 0},
        // Collinear pieces never cross.
        {"collinear", {seg(0, 0, 100, 0), seg(50, 0, 150, 0)}, 15, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto points = run(c.segments, c.tolerance);
        EXPECT_EQ(countType(points, 3), c.crossings) << c.name;
        EXPECT_EQ(countType(points, 1), c.ends) << c.name;
        EXPECT_EQ(countType(points, 4), c.hidden) << c.name;
        EXPECT_EQ(points.size(), c.total) << c.name;
    }
}

TEST(ZVScanLineTest, GridPositionWithoutLineIsHidden)
{
    // The middle vertical stops at the middle horizontal's row above: the
    // bottom-middle position is implied only.
    const auto points = run({seg(0, 0, 200, 0), seg(0, 100, 200, 100), seg(0, 200, 200, 200), seg(0, 0, 0, 200),
                             seg(100, 0, 100, 100), seg(200, 0, 200, 200)});
    const auto hidden = std::find_if(points.begin(), points.end(), [](const Pt& p) { return p.type == 4; });
    ASSERT_NE(hidden, points.end());
    EXPECT_EQ(hidden->x, 100);
    EXPECT_EQ(hidden->y, 200);
    EXPECT_EQ(countType(points, 4), 1);
}

TEST(ZVScanLineTest, MergeDistancesOfCrossings)
{
    // Two verticals 5 apart merge their crossings with a horizontal; 7 apart they stay two.
    for (auto [gap, expected] : {std::pair{5.0f, 1}, std::pair{7.0f, 2}}) {
        const auto points = run({seg(0, 50, 200, 50), seg(100, 0, 100, 100), seg(100 + gap, 0, 100 + gap, 100)});
        EXPECT_EQ(countType(points, 3), expected) << gap;
    }
}

TEST(ZVScanLineTest, TiltedLineKeepsItsEndsNearby)
{
    // A horizontal tilted by a fraction of a point: lengthening along a
    // nearly flat slope must not throw its ends far away.
    const auto points = run({seg(0, 100, 500, 100.0004f), seg(250, 0, 250, 200), seg(0, 0, 0, 200)});
    ASSERT_FALSE(points.empty());
    for (const Pt& p : points) {
        EXPECT_GE(p.x, -15);
        EXPECT_LE(p.x, 515);
        EXPECT_GE(p.y, -15);
        EXPECT_LE(p.y, 215);
    }
    EXPECT_EQ(countType(points, 3), 2);
}

TEST(ZVScanLineTest, TooManyCrossingsGiveUp)
{
    const std::vector<Seg> grid{seg(0, 0, 200, 0),   seg(0, 100, 200, 100), seg(0, 200, 200, 200),
                                seg(0, 0, 0, 200),   seg(100, 0, 100, 200), seg(200, 0, 200, 200)};
    for (auto [limit, overflow] : {std::pair{std::size_t{8}, true}, std::pair{std::size_t{9}, false}}) {
        ZVScanLine scan(grid, 15, limit);
        scan.sweep();
        EXPECT_EQ(scan.isOverflowed(), overflow) << limit;
        EXPECT_EQ(scan.results().size(), overflow ? 0u : 9u) << limit;
    }
}

TEST(ZVScanLineTest, NegativeToleranceIsRefused)
{
    EXPECT_THROW(ZVScanLine({}, -1), std::invalid_argument);
    EXPECT_TRUE(run({}, 15).empty());
}

} // namespace
} // namespace rz
