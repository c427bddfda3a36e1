// The gap between two run texts of a line, or a run and the line's end.
#include "docx/layout/QXDocxRunTextLineSpace.h"

#include <gtest/gtest.h>

using namespace rz;

namespace {

QXDocxRunTextPtr runFrom(double left, double right, double top, double height)
{
    auto run = std::make_shared<QXDocxRunText>();
    QXPDF_CTMInfo info;
    info.xLeft = left;
    info.xRight = right;
    info.yTop = top;
    info.frame = Rect(left, top, right - left, height);
    run->setCtmInfo(info);
    return run;
}

} // namespace

TEST(QXDocxRunTextLineSpaceTest, Gaps)
{
    const auto left = runFrom(10, 40, 100, 12);
    const auto right = runFrom(55, 80, 98, 16);
    const auto touching = runFrom(40, 60, 98, 16);
    const auto overlapping = runFrom(35, 60, 98, 16);

    EXPECT_EQ(QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(nullptr, nullptr), nullptr);

    struct Case {
        QXDocxRunTextPtr l;
        QXDocxRunTextPtr r;
        Rect expected;
    };
    const Case cases[] = {
        {left, right, Rect(40, 100, 15, 12)},
        {left, touching, Rect(39.9, 100, 0.2, 12)},
        {left, overlapping, Rect(34.9, 100, 0.2, 12)},
        {left, nullptr, Rect(40, 100, 99999.8984375, 12)},
        {nullptr, right, Rect(0, 98, 55, 16)},
    };
    for (const Case& c : cases) {
        const auto gap = QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(c.l, c.r);
        ASSERT_TRUE(gap);
        EXPECT_NEAR(gap->spaceRect().origin.x, c.expected.origin.x, 1e-9);
        EXPECT_EQ(gap->spaceRect().origin.y, c.expected.origin.y);
        EXPECT_NEAR(gap->spaceRect().size.width, c.expected.size.width, 1e-9);
        EXPECT_EQ(gap->spaceRect().size.height, c.expected.size.height);
        EXPECT_EQ(gap->leftRunText(), c.l);
        EXPECT_EQ(gap->rightRunText(), c.r);
    }
    EXPECT_EQ(static_cast<double>(99999.9f), 99999.8984375);

    // A copy shares the run texts.
    const auto gap = QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(left, right);
    const QXDocxRunTextLineSpace copy = *gap;
    EXPECT_EQ(copy.leftRunText(), left);
}
