// The clean-up of a page's paths: density of groups, small and lone
// shapes, background repaints, thin shapes to lines, line pieces joined,
// and overlapping rectangles merged only where the merge draws the same.
#include "docx/graphics/QXDocxRunPath.h"

#include <gtest/gtest.h>

#include <vector>

namespace rz {
namespace {

const Color kRed = Color::rgb(1, 0, 0, 1);
const Color kBlue = Color::rgb(0, 0, 1, 1);

QXDocxRunPathPtr rectRun(Rect r, std::uint64_t index, bool filled = true, bool stroked = false,
                         Color color = kRed)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setDisplayX(r.origin.x);
    info->setDisplayY(r.origin.y);
    info->setDisplayWidth(r.size.width);
    info->setDisplayHeight(r.size.height);
    info->setFilled(filled);
    info->setStroked(stroked);
    if (filled)
        info->setFillcolor(color);
    if (stroked)
        info->setStrokecolor(color);
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPdfScanIndex(index);
    run->setPictInfo(info);
    Path path;
    const std::vector<Point> points{{r.minX(), r.minY()}, {r.maxX(), r.minY()}, {r.maxX(), r.maxY()},
                                    {r.minX(), r.maxY()}, {r.minX(), r.minY()}};
    path.moveTo(points[0]);
    for (std::size_t i = 1; i < 4; ++i)
        path.lineTo(points[i]);
    path.closeSubpath();
    run->setRunCGPath(path);
    run->setRunLinePointArray(points);
    return run;
}

TEST(QXDocxRunPathCleanupTest, DenseGroupsAndSmallRects)
{
    // Elements against 81 / 8.1 + 6 = 16 for a group spanning 81 x 20.
    auto zigzag = [](int elements) {
        Path path;
        path.moveTo({0, 0});
        for (int i = 1; i < elements; ++i)
            path.lineTo({81.0 * i / (elements - 1), (i % 2) * 20.0});
        auto run = std::make_shared<QXDocxRunPath>();
        run->setRunCGPath(path);
        return run;
    };
    EXPECT_FALSE(QXDocxRunPath::IsVaildImageRunPaths({zigzag(10)}));
    EXPECT_TRUE(QXDocxRunPath::IsVaildImageRunPaths({zigzag(17)}));
    const std::vector<QXDocxRunPathPtr> group{rectRun({0, 0, 81, 20}, 1), zigzag(10)};
    EXPECT_EQ(QXDocxRunPath::CountOfPoints(group), 14);
    EXPECT_EQ(QXDocxRunPath::BoundsOfRunPaths(group), Rect(0, 0, 81, 20));
    EXPECT_EQ(QXDocxRunPath::BoundsOfRunPaths({}), Rect::zero());

    const auto six = rectRun({0, 0, 6, 6}, 1), thin = rectRun({0, 0, 3, 6}, 2), ten = rectRun({0, 0, 10, 12}, 3);
    EXPECT_EQ(QXDocxRunPath::FindSmallRects({six, thin, ten}), (std::vector<QXDocxRunPathPtr>{six, ten}));
    const auto sliver = rectRun({0, 0, 100, 0}, 4);
    EXPECT_EQ(QXDocxRunPath::FindSmallShapes({six, ten, sliver}, {7, 7}), (std::vector<QXDocxRunPathPtr>{six, sliver}));
}

TEST(QXDocxRunPathCleanupTest, LoneStrokedRectangles)
{
    const auto frame = rectRun({100, 100, 50, 50}, 1, false, true);
    const auto near = rectRun({151, 100, 20, 20}, 2);
    EXPECT_FALSE(frame->isAloneRectWithRunPaths({near}));
    const auto page = rectRun({0, 0, 500, 500}, 0);
    const auto far = rectRun({300, 300, 20, 20}, 3);
    EXPECT_TRUE(frame->isAloneRectWithRunPaths({page, far}));
    EXPECT_EQ(QXDocxRunPath::FindAloneRects({page, frame, far}), (std::vector<QXDocxRunPathPtr>{frame}));
}

TEST(QXDocxRunPathCleanupTest, BackgroundRepaintsThatCoverNothing)
{
    const auto page = rectRun({0, 0, 500, 500}, 1, true, false, kBlue);
    const auto text = rectRun({10, 10, 100, 100}, 2);
    const auto overText = rectRun({50, 50, 100, 100}, 3, true, false, kBlue);
    const auto aside = rectRun({300, 300, 50, 50}, 4, true, false, kBlue);
    const std::vector<QXDocxRunPathPtr> paths{page, text, overText, aside};
    ASSERT_EQ(QXDocxRunPath::FindBigRectangeRunPath(paths), page);
    const auto repaints = QXDocxRunPath::FindDuplicateRunPath(page, paths);
    EXPECT_EQ(repaints, (std::vector<QXDocxRunPathPtr>{page, aside}));
}

TEST(QXDocxRunPathCleanupTest, ThinShapesBecomeLinesAndPiecesJoin)
{
    const auto bar = rectRun({10, 20, 3, 40}, 1);
    const auto kept = rectRun({10, 20, 30, 40}, 2);
    const auto converted = QXDocxRunPath::ConvertRect2LineIfNeed({bar, kept});
    ASSERT_EQ(converted.size(), 2u);
    EXPECT_EQ(converted[0]->runLineType(), QXDocxRunPath::kLineTypeVertical);
    EXPECT_TRUE(converted[0]->pictInfo()->stroked());
    EXPECT_FALSE(converted[0]->pictInfo()->filled());
    EXPECT_DOUBLE_EQ(converted[0]->pictInfo()->strokeweight(), 3);
    EXPECT_EQ(QXDocxRunPath::VMLPathString(converted[0]->runCGPath()), "m230,400l230,1200e");
    EXPECT_EQ(converted[1], kept);
    EXPECT_EQ(kept->runLineType(), QXDocxRunPath::kLineTypeRect);

    // Three pieces of one rule, one of another colour.
    auto piece = [](double x, std::uint64_t index, Color color) {
        auto run = rectRun({x, 100, 50, 1}, index, true, false, color);
        return QXDocxRunPath::ConvertRect2LineIfNeed({run}).front();
    };
    const auto a = piece(0, 1, kRed), b = piece(50, 2, kRed), c = piece(100.5, 3, kRed), d = piece(150, 4, kBlue);
    const auto joined = QXDocxRunPath::MergeOverlapLinesIfNeed({c, d, a, b});
    ASSERT_EQ(joined.size(), 2u);
    EXPECT_EQ(joined[0], a);
    EXPECT_EQ(a->boundingBox(), Rect(0, 100, 150.5, 1));
    EXPECT_EQ(a->runLineType(), QXDocxRunPath::kLineTypeHorizontal);
    EXPECT_EQ(joined[1], d);
}

TEST(QXDocxRunPathCleanupTest, RectanglesSideBySideBecomeOne)
{
    const auto a = rectRun({0, 0, 10, 20}, 5), b = rectRun({10, 0, 10, 20}, 6), c = rectRun({20, 0, 10, 20}, 7);
    const auto merged = QXDocxRunPath::MergeOverlapRectangesIfNeed({a, b, c});
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0], c);
    EXPECT_EQ(c->boundingBox(), Rect(0, 0, 30, 20));
    EXPECT_EQ(c->displayRect(), Rect(0, 0, 30, 20));
    EXPECT_EQ(c->runLineType(), QXDocxRunPath::kLineTypeRect);
    EXPECT_DOUBLE_EQ(c->pictInfo()->strokeweight(), 0);
    EXPECT_TRUE(c->pictInfo()->filled());
}

TEST(QXDocxRunPathCleanupTest, MergingNeverDrawsMoreOrHidesSomething)
{
    // An L of three squares: any two fill their union, the three do not.
    {
        const auto a = rectRun({0, 0, 10, 10}, 1), b = rectRun({10, 0, 10, 10}, 2), c = rectRun({0, 10, 10, 10}, 3);
        const auto merged = QXDocxRunPath::MergeOverlapRectangesIfNeed({a, b, c});
        ASSERT_EQ(merged.size(), 2u);
        // Two of them joined, the third alone: 300 square points drawn.
        double drawn = 0;
        for (const auto& run : merged)
            drawn += run->boundingBox().size.width * run->boundingBox().size.height;
        EXPECT_DOUBLE_EQ(drawn, 300);
    }
    // A small rectangle inside a large one, with another rectangle of the
    // colour drawn in between partly under the small one.
    {
        const auto big = rectRun({0, 0, 100, 100}, 5), small = rectRun({40, 40, 20, 20}, 9);
        const auto between = rectRun({55, 55, 60, 10}, 7);
        const auto merged = QXDocxRunPath::MergeOverlapRectangesIfNeed({big, small, between});
        EXPECT_EQ(merged.size(), 3u);
        EXPECT_EQ(big->boundingBox(), Rect(0, 0, 100, 100));
    }
    // Something of another colour, or an image, drawn between two halves.
    {
        const auto a = rectRun({0, 0, 10, 20}, 1), b = rectRun({10, 0, 10, 20}, 3);
        const auto text = rectRun({5, 5, 5, 5}, 2, true, false, kBlue);
        EXPECT_EQ(QXDocxRunPath::MergeOverlapRectangesIfNeed({a, b, text}).size(), 3u);
        const auto c = rectRun({0, 0, 10, 20}, 1), d = rectRun({10, 0, 10, 20}, 3);
        EXPECT_EQ(QXDocxRunPath::MergeOverlapRectangesIfNeed({c, d}, {{{2, 2, 10, 10}, 2}}).size(), 2u);
        EXPECT_EQ(QXDocxRunPath::MergeOverlapRectangesIfNeed({c, d}, {{{2, 2, 10, 10}, 4}}).size(), 1u);
    }
}

} // namespace
} // namespace rz
