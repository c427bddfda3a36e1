// Section lines to paragraphs on hand-made lines: the space before and
// after one-line and two-line columns, large gaps turned into blank
// paragraphs, the text frame snapped to the band top, two-column sections,
// empty columns and lines drawn over each other.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rz;

namespace {

QXDocx_SectPr buildPageRecord()
{
    QXDocx_SectPr s = QXDocxUtilities::defaultSectPropertyHiden();
    s.pgSz = {595, 842};
    s.pgMar.top = s.pgMar.left = s.pgMar.right = s.pgMar.bottom = 72;
    return s;
}

std::uint64_t buildScan = 1000;

// A line 12 high from `top`, baseline at top + 10, blank width 3.
QXDocxRunTextLinePtr buildLine(double left, double right, double top, const std::string& text = "some words")
{
    return std::make_shared<QXDocxRunTextLine>(
        QXDocxRunTextArray{test::makeLineRun(text, left, right, top + 10, buildScan++)});
}

// A section of the band (72, bandTop) … 770 whose text frame is the union of
// the lines, with the columns assigned.
QXDocxPageSectionPtr buildSection(const std::vector<QXDocxRunTextLineArray>& columns, double bandTop = 72)
{
    auto section = std::make_shared<QXDocxPageSection>(buildPageRecord());
    section->setSectionFrame(Rect(72, bandTop, 451, 770 - bandTop));
    Rect frame = Rect::null();
    for (const auto& column : columns)
        for (const auto& l : column)
            frame = frame.unionWith(l->lineFrame());
    section->setColumGroupFrame(frame.isNull() ? Rect() : frame);
    section->setColumGroupArray(columns);
    return section;
}

QXDocxParagraphPtr paragraphAt(const QXDocxPageSection& section, std::size_t column, std::size_t index)
{
    return std::dynamic_pointer_cast<QXDocxParagraph>(section.paragraphGroupArray().at(column).at(index));
}

double writtenTotal(const QXDocxParagraph& p)
{
    const QXDocx_Spacing& s = p.pProperty().spacing;
    return static_cast<double>(s.before) + s.line + s.after;
}

} // namespace

TEST(QXDocxPageSectionParagraphsTest, OneLineColumnMeasuresToTheTextFrame)
{
    // Text 28 below the band top: a head blank of 28; the lone line's frame
    // grows by the 2 points its 14-point single line needs.
    const auto section = buildSection({{buildLine(72, 300, 100)}});
    ASSERT_EQ(section->paragraphGroupArray().size(), 1u);
    ASSERT_EQ(section->paragraphGroupArray()[0].size(), 1u);
    const auto p = paragraphAt(*section, 0, 0);
    EXPECT_DOUBLE_EQ(p->yBefore(), 0);
    EXPECT_DOUBLE_EQ(p->yHeight(), 12);
    EXPECT_DOUBLE_EQ(p->yAfter(), 2);
    EXPECT_EQ(section->columGroupFrame(), Rect(72, 100, 228, 14));
    double head = 0;
    for (const auto& blank : section->headBlankParagraphArray())
        head += writtenTotal(*blank);
    EXPECT_NEAR(head, 28, 0.01);
    EXPECT_DOUBLE_EQ(section->footBlankHeight(), 770 - 114);
}

TEST(QXDocxPageSectionParagraphsTest, TextFrameSnapsToTheBandTopWithinEightPoints)
{
    const auto snapped = buildSection({{buildLine(72, 300, 100), buildLine(72, 300, 114)}}, 92);
    EXPECT_TRUE(snapped->headBlankParagraphArray().empty());
    EXPECT_DOUBLE_EQ(snapped->columGroupFrame().origin.y, 92);
    // The first line's space before now reaches up to the band top.
    EXPECT_DOUBLE_EQ(paragraphAt(*snapped, 0, 0)->yBefore(), 8);

    const auto kept = buildSection({{buildLine(72, 300, 100), buildLine(72, 300, 114)}}, 91.5);
    double head = 0;
    for (const auto& blank : kept->headBlankParagraphArray())
        head += writtenTotal(*blank);
    EXPECT_NEAR(head, 8.5, 0.01);
    EXPECT_DOUBLE_EQ(paragraphAt(*kept, 0, 0)->yBefore(), 0);
}

TEST(QXDocxPageSectionParagraphsTest, LargeGapsBecomeBlankParagraphs)
{
    struct Case {
        double gap;
        double after;
        double blank;  // total height of the blank paragraphs between
    };
    // A 12-point line keeps up to 2 × 12 + 8 as space after.
    for (const Case& c : {Case{32, 32, 0}, Case{33, 24, 9}, Case{50, 24, 26}}) {
        const auto section = buildSection({{buildLine(72, 300, 100), buildLine(72, 300, 112 + c.gap)}}, 100);
        const auto& column = section->paragraphGroupArray().at(0);
        const auto first = paragraphAt(*section, 0, 0);
        EXPECT_DOUBLE_EQ(first->yAfter(), c.after) << c.gap;
        // Blanks up to the second line's paragraph.
        std::size_t i = 1;
        double blank = 0;
        for (; i < column.size() && paragraphAt(*section, 0, i)->isParagraphBlankText(); ++i)
            blank += writtenTotal(*paragraphAt(*section, 0, i));
        EXPECT_NEAR(blank, c.blank, 0.01) << c.gap;
        ASSERT_LT(i, column.size()) << c.gap;
        EXPECT_EQ(paragraphAt(*section, 0, i)->paragraphText(), "some words") << c.gap;
        EXPECT_DOUBLE_EQ(paragraphAt(*section, 0, i)->yBefore(), 0) << c.gap;
        // The text frame was extended by the same gap below the last line,
        // which is split the same way.
        EXPECT_DOUBLE_EQ(paragraphAt(*section, 0, i)->yAfter(), c.after) << c.gap;
    }
}

TEST(QXDocxPageSectionParagraphsTest, TwoColumnSectionsBreakColumnsAndNeverEndWithBlanks)
{
    // The left column ends 100 points above the text frame's bottom.
    const auto section = buildSection({{buildLine(72, 247, 100), buildLine(72, 247, 114)},
                                       {buildLine(315, 523, 100), buildLine(315, 523, 228)}},
                                      100);
    ASSERT_EQ(section->paragraphGroupArray().size(), 2u);
    const auto& left = section->paragraphGroupArray()[0];
    const auto& right = section->paragraphGroupArray()[1];
    ASSERT_EQ(left.size(), 2u);
    EXPECT_FALSE(paragraphAt(*section, 0, 0)->breakColumn());
    EXPECT_TRUE(paragraphAt(*section, 1, 0)->breakColumn());
    EXPECT_FALSE(paragraphAt(*section, 0, 1)->isParagraphBlankText());
    // The left column's last line keeps two line heights after it and no blank.
    EXPECT_DOUBLE_EQ(paragraphAt(*section, 0, 1)->yAfter(), 24);
    // Between the right column's lines the gap does make blanks.
    EXPECT_GT(right.size(), 2u);
    EXPECT_FALSE(paragraphAt(*section, 1, right.size() - 1)->isParagraphBlankText());
    EXPECT_EQ(section->sectProperty().cols.num, 2u);
    // The second column's frame starts after the first column and its space.
    const auto& col = section->sectProperty().cols.col;
    EXPECT_DOUBLE_EQ(paragraphAt(*section, 1, 0)->columnFrame().origin.x, 72 + col[0].w + col[0].space);
}

TEST(QXDocxPageSectionParagraphsTest, EmptyListsAndEmptyColumns)
{
    const auto section = buildSection({{buildLine(72, 300, 100)}});
    const auto before = section->paragraphGroupArray().size();
    section->setColumGroupArray({});
    EXPECT_EQ(section->paragraphGroupArray().size(), before);
    EXPECT_TRUE(section->columGroupArray().empty());

    // An empty column next to a full one gets a 24-point blank paragraph.
    const auto withEmpty = buildSection({{buildLine(72, 247, 100)}, {}}, 100);
    ASSERT_EQ(withEmpty->paragraphGroupArray().size(), 2u);
    double blank = 0;
    for (const auto& object : withEmpty->paragraphGroupArray()[1])
        blank += writtenTotal(*std::dynamic_pointer_cast<QXDocxParagraph>(object));
    EXPECT_NEAR(blank, 24, 0.01);
    EXPECT_TRUE(paragraphAt(*withEmpty, 1, 0)->breakColumn());
}

TEST(QXDocxPageSectionParagraphsTest, LinesDrawnOverEachOtherShareTheirHeight)
{
    // The lower line starts 1.5 points above the upper line's bottom, below
    // its baseline (so the two do not read as one line).
    const auto a = buildLine(72, 300, 100, "upper");
    const auto b = buildLine(72, 300, 110.5, "lower");
    ASSERT_EQ(QXDocxRunTextLine::FindOverlapRunTextLineY({a, b}).size(), 2u);
    ASSERT_EQ(QXDocxRunTextLine::FindRunTextLineArrayAs1Line({a, b}).size(), 1u);
    const auto section = buildSection({{a, b}}, 100);
    ASSERT_EQ(section->paragraphGroupArray()[0].size(), 2u);
    const auto pa = paragraphAt(*section, 0, 0);
    const auto pb = paragraphAt(*section, 0, 1);
    // span 22.5, share 11.25, baseline ratio 10/12, lift 0.75 × 10/12.
    const double lift = 0.75 * 10.0 / 12.0;
    EXPECT_NEAR(pa->yBefore(), lift, 1e-9);
    EXPECT_NEAR(pa->yHeight(), 11.25 - lift, 1e-9);
    EXPECT_DOUBLE_EQ(pa->yAfter(), 0);
    const double position = 100 + writtenTotal(*pa);
    EXPECT_NEAR(pb->yHeight(), (120.5 - position) * (2.0 - 10.0 / 12.0), 1e-4);
    EXPECT_DOUBLE_EQ(pb->yBefore(), 0);
    EXPECT_NEAR(pb->yAfter(), section->columGroupFrame().origin.y + section->columGroupFrame().size.height - 122.5,
                1e-9);
}
