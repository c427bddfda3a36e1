// The run groups of a paragraph built from hand-made lines: joined runs
// share the gap, wide gaps become tabs in one-line paragraphs and blanks in
// longer ones, a trailing blank is split off or added, overlapping runs are
// merged, and the paragraph's text is assembled.
#include "docx/layout/QXDocxParagraphRunGroups.h"

#include "docx/layout/QXDocxRunTab.h"

#include <gtest/gtest.h>

using namespace rz;

namespace {

QXDocxRunTextPtr groupRun(const std::string& text, double left, double right, double blank, float size = 12)
{
    auto run = std::make_shared<QXDocxRunText>();
    run->setRunText(text);
    run->setTextWidth(right - left);
    run->setSpaceWidth(blank);
    run->setOutsideSpacing(7);  // reset by the builder
    QXPDF_CTMInfo info = run->ctmInfo();
    info.frame = Rect(left, 0, right - left, 12);
    info.xLeft = left;
    info.xRight = right;
    run->setCtmInfo(info);
    QXDocx_RPr property = run->rProperty();
    property.sz = property.szCs = size;
    run->setRProperty(property);
    return run;
}

QXDocxParagraphRunGroupsResult buildGroups(std::vector<QXDocxRunTextArray>& lines)
{
    return QXDocxParagraphRunGroups::build(lines, nullptr);
}

} // namespace

TEST(QXDocxParagraphRunGroupsTest, NarrowGapsAreJoinedAndShared)
{
    auto a = groupRun("ab", 0, 20, 6);
    auto b = groupRun("cd", 20.5, 40, 6);
    std::vector<QXDocxRunTextArray> lines{{a, b}};
    const auto result = buildGroups(lines);
    ASSERT_EQ(result.groups.size(), 1u);
    EXPECT_EQ(result.groups[0].size(), 2u);
    EXPECT_EQ(result.paragraphText, "abcd");
    EXPECT_DOUBLE_EQ(a->outsideSpacing(), 0.25);
    EXPECT_DOUBLE_EQ(b->outsideSpacing(), 0.25);

    // After one character, a gap below half a blank goes to that character.
    auto one = groupRun("a", 0, 6, 4);
    auto next = groupRun("b", 7.5, 13.5, 4);
    std::vector<QXDocxRunTextArray> single{{one, next}};
    EXPECT_EQ(buildGroups(single).paragraphText, "ab");
    EXPECT_DOUBLE_EQ(one->outsideSpacing(), 1.5);
    EXPECT_DOUBLE_EQ(next->outsideSpacing(), 0);

    // A blank already at the boundary takes the gap.
    auto spaced = groupRun("Name ", 0, 24, 4);
    auto value = groupRun("Value", 26, 50, 4);
    std::vector<QXDocxRunTextArray> withBlank{{spaced, value}};
    EXPECT_EQ(buildGroups(withBlank).paragraphText, "Name Value");
    EXPECT_DOUBLE_EQ(spaced->outsideSpacing(), 2);
}

TEST(QXDocxParagraphRunGroupsTest, WideGapIsATabInOneLineAndABlankInTwo)
{
    auto name = groupRun("Name", 0, 20, 4);
    auto value = groupRun("Value", 30, 50, 4);
    std::vector<QXDocxRunTextArray> oneLine{{name, value}};
    const auto tabbed = buildGroups(oneLine);
    EXPECT_EQ(tabbed.paragraphText, "Name\tValue");
    ASSERT_EQ(tabbed.groups.size(), 1u);
    ASSERT_EQ(tabbed.groups[0].size(), 3u);
    const auto* tab = dynamic_cast<const QXDocxRunTab*>(tabbed.groups[0][1].get());
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->tabPostion(), 30);
    EXPECT_EQ(tab->tabWidth(), 10);
    EXPECT_TRUE(QXRPropertyIsEqual(tab->rProperty(), name->rProperty()));
    EXPECT_EQ(name->outsideSpacing(), 0);

    // Two lines: a blank is added to the first run and takes 4 of the 10 points.
    auto first = groupRun("Name", 0, 20, 4);
    auto second = groupRun("Value", 30, 50, 4);
    auto below = groupRun("x", 0, 6, 4);
    std::vector<QXDocxRunTextArray> twoLines{{first, second}, {below}};
    const auto blanked = buildGroups(twoLines);
    EXPECT_EQ(blanked.paragraphText, "Name Valuex");
    ASSERT_EQ(blanked.groups.size(), 2u);
    EXPECT_EQ(blanked.groups[0].size(), 2u);
    EXPECT_EQ(first->runText(), "Name ");
    EXPECT_DOUBLE_EQ(first->outsideSpacing(), 6);
}

TEST(QXDocxParagraphRunGroupsTest, TrailingBlankIsSplitOffIntoARunOfItsOwn)
{
    auto first = groupRun("Name ", 0, 24, 4);
    first->setPdfScanIndex(3);
    first->setPdfScanLength(2);
    auto second = groupRun("Value", 34, 54, 4);
    auto below = groupRun("x", 0, 6, 4);
    std::vector<QXDocxRunTextArray> lines{{first, second}, {below}};
    const auto result = buildGroups(lines);
    ASSERT_EQ(result.groups[0].size(), 3u);
    auto blank = std::dynamic_pointer_cast<QXDocxRunText>(result.groups[0][1]);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->runText(), " ");
    // The split-off blank starts with the removed blank's 4 points as its
    // spacing and takes what the gap leaves beyond its own width: 4 + 6.
    EXPECT_DOUBLE_EQ(blank->textWidth(), 4);
    EXPECT_DOUBLE_EQ(blank->outsideSpacing(), 10);
    ASSERT_EQ(lines[0].size(), 3u);
    EXPECT_EQ(lines[0][1], blank);
    EXPECT_EQ(first->runText(), "Name");
    EXPECT_EQ(result.paragraphText, "Name  Valuex");
}

TEST(QXDocxParagraphRunGroupsTest, OverlappingRunsAreMergedWhenTheyLookAlike)
{
    auto a = groupRun("Bold", 0, 20, 4);
    auto b = groupRun("Bold", 0.3, 20.3, 4);
    std::vector<QXDocxRunTextArray> lines{{a, b}};
    std::vector<QXDocxRunTextArray> merged;
    auto result = QXDocxParagraphRunGroups::build(lines, [&](const QXDocxRunTextArray& runs) {
        merged.push_back(runs);
        return groupRun("BoldBold", 0, 20.3, 4);
    });
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0], (QXDocxRunTextArray{a, b}));
    ASSERT_EQ(result.groups[0].size(), 1u);
    EXPECT_EQ(std::dynamic_pointer_cast<QXDocxRunText>(result.groups[0][0])->runText(), "BoldBold");
    EXPECT_EQ(result.paragraphText, "BoldBold");
    ASSERT_EQ(lines[0].size(), 1u);  // the line holds the merged run alone
    EXPECT_EQ(lines[0][0], result.groups[0][0]);

    // Different formatting: both stay, the second one takes the overlap.
    auto c = groupRun("Bold", 0, 20, 4);
    auto d = groupRun("Bold", 0.3, 20.3, 4, 14);
    std::vector<QXDocxRunTextArray> different{{c, d}};
    result = buildGroups(different);
    EXPECT_EQ(result.groups[0].size(), 2u);
    EXPECT_DOUBLE_EQ(d->outsideSpacing(), -19.7);
}

TEST(QXDocxParagraphRunGroupsTest, NoLinesGiveNoGroupsAndNoText)
{
    std::vector<QXDocxRunTextArray> none;
    const auto result = buildGroups(none);
    EXPECT_TRUE(result.groups.empty());
    EXPECT_EQ(result.paragraphText, "");
    std::vector<QXDocxRunTextArray> empty{{}};
    EXPECT_TRUE(buildGroups(empty).groups.empty());
}

TEST(QXDocxParagraphRunGroupsTest, ContentFrameSpansTheRunsThatHaveAWidth)
{
    auto a = groupRun("a", 10, 20, 4);
    auto b = groupRun("b", 30, 60, 4);
    auto zero = groupRun("", 500, 500, 4);
    QXPDF_CTMInfo info = b->ctmInfo();
    info.frame.origin.y = 20;
    b->setCtmInfo(info);
    EXPECT_EQ(QXDocxParagraphRunGroups::contentFrame({{a, zero}, {b}}), Rect(10, 0, 50, 32));
    EXPECT_EQ(QXDocxParagraphRunGroups::contentFrame({{zero}}), Rect());
    EXPECT_EQ(QXDocxParagraphRunGroups::contentFrame({}), Rect());
}
