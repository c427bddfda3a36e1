// Column letters, cell references and merged-cell ranges.
#include "xlsx/sheet/QXExcelUtilities.h"
#include "xlsx/sheet/QXMergedCell.h"

#include <gtest/gtest.h>

using namespace rz;

TEST(QXExcelUtilitiesTest, ColumnNamesAndBack)
{
    const std::pair<long, const char*> cases[] = {
        {1, "A"},    {2, "B"},     {26, "Z"},     {27, "AA"},     {28, "AB"},  {52, "AZ"},
        {53, "BA"},  {702, "ZZ"},  {703, "AAA"},  {16384, "XFD"}, {18278, "ZZZ"},
    };
    for (const auto& [index, name] : cases) {
        EXPECT_EQ(QXExcelUtilities::getColumnName(index), name) << index;
        EXPECT_EQ(QXExcelUtilities::getColumnNumber(name), index) << name;
    }
    EXPECT_EQ(QXExcelUtilities::getColumnName(0), "");
    EXPECT_EQ(QXExcelUtilities::getColumnName(-3), "");
    EXPECT_EQ(QXExcelUtilities::getColumnNumber("xfd"), 16384);
    for (const char* bad : {"", "A1", "-", "\xC3\x84", "ZZZZZZZZZZZZZZZZZZZZ"})
        EXPECT_EQ(QXExcelUtilities::getColumnNumber(bad), 0) << bad;
    EXPECT_EQ(QXExcelUtilities::cellReference(28, 7), "AB7");
}

TEST(QXExcelUtilitiesTest, MergedCellRanges)
{
    const QXMergedCell merge({2, 2}, {3, 4});
    EXPECT_EQ(merge.mergerCellInfo(), "B2:D3");
    EXPECT_EQ(QXMergedCell({3, 2}, {4, 3}).mergerCellInfo(), "B3:C4");
    EXPECT_TRUE(merge.contains(2, 2));
    EXPECT_TRUE(merge.contains(3, 4));
    EXPECT_FALSE(merge.contains(4, 2));
    EXPECT_FALSE(merge.contains(2, 5));

    struct CrossCase {
        QXMergedCell other;
        bool crosses;
    };
    const CrossCase cases[] = {
        {QXMergedCell({3, 4}, {5, 6}), true},  // shares the corner D3
        {QXMergedCell({1, 1}, {2, 2}), true},  // shares B2
        {QXMergedCell({4, 2}, {5, 4}), false}, // the row below
        {QXMergedCell({2, 5}, {3, 6}), false}, // the column to the right
        {QXMergedCell({1, 3}, {9, 3}), true},  // a column through it
    };
    for (const CrossCase& c : cases) {
        EXPECT_EQ(merge.isCross(c.other), c.crosses) << c.other.mergerCellInfo();
        EXPECT_EQ(c.other.isCross(merge), c.crosses) << c.other.mergerCellInfo();
    }
    EXPECT_EQ(merge, QXMergedCell({2, 2}, {3, 4}));
    EXPECT_NE(merge, QXMergedCell({2, 2}, {3, 5}));
}
