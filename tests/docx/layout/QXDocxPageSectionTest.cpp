// The page section on hand-made lines: the section of a page without text,
// the column record (equal and unequal columns, the space limits), the
// sections made from column blocks (frames, reserves, vertical alignment,
// flags), sections from loose runs, blank space, the paragraph queries and
// copies.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rz;

namespace {

// A4-like page: 595 × 842 with 72-point margins (text 72 … 523, 72 … 770).
QXDocx_SectPr sectPageRecord()
{
    QXDocx_SectPr s = QXDocxUtilities::defaultSectPropertyHiden();
    s.pgSz = {595, 842};
    s.pgMar.top = s.pgMar.left = s.pgMar.right = s.pgMar.bottom = 72;
    return s;
}

std::uint64_t sectNextScan = 0;

// A line from `left` to `right` (blank width 3 after it) on `base`, 12 high
// with its top at base − 10.
QXDocxRunTextLinePtr sectLine(double left, double right, double base, const std::string& text = "some words")
{
    return std::make_shared<QXDocxRunTextLine>(
        QXDocxRunTextArray{test::makeLineRun(text, left, right, base, sectNextScan++)});
}

QXDocxPageSectionPtr sectionWithColumns(std::vector<QXDocxRunTextLineArray> columns)
{
    auto section = std::make_shared<QXDocxPageSection>(sectPageRecord());
    section->setSectionFrame(Rect(72, 72, 451, 698));
    Rect frame = Rect::null();
    for (const auto& column : columns)
        for (const auto& l : column)
            frame = frame.unionWith(l->lineFrame());
    section->setColumGroupFrame(frame);
    section->setColumGroupArray(columns);
    return section;
}

} // namespace

TEST(QXDocxPageSectionTest, BlankPageSectionHoldsOneParagraphAtTheTopMargin)
{
    const auto section = QXDocxPageSection::BankPageSectionWithSectProperty(sectPageRecord());
    ASSERT_EQ(section->paragraphGroupArray().size(), 1u);
    ASSERT_EQ(section->paragraphGroupArray()[0].size(), 1u);
    EXPECT_EQ(section->columGroupArray().size(), 1u);
    const auto paragraph = section->firstParagraph();
    ASSERT_NE(paragraph, nullptr);
    const double line = paragraph->pProperty().spacing.line;
    EXPECT_FALSE(paragraph->sectProperty().shouldWrite);
    EXPECT_EQ(paragraph->sectProperty().type, 1);
    EXPECT_EQ(paragraph->sectProperty().cols.num, QXDocxUtilities::defaultColsProperty().num);
    EXPECT_EQ(paragraph->contentFrame(), Rect(72, 72, 1, line));
    EXPECT_DOUBLE_EQ(paragraph->yHeight(), line);
    EXPECT_EQ(section->sectionFrame(), Rect(72, 72, 451, 698));
    EXPECT_EQ(section->columGroupFrame(), paragraph->contentFrame());
    EXPECT_DOUBLE_EQ(section->footBlankHeight(), 698 - line);
}

TEST(QXDocxPageSectionTest, OneColumnKeepsItsColumnRecord)
{
    const auto section = sectionWithColumns({{sectLine(72, 300, 110), sectLine(72, 300, 124)}});
    const auto before = section->sectProperty().cols;
    section->createSectProperty_Cols();
    EXPECT_EQ(section->sectProperty().cols.num, before.num);
    EXPECT_EQ(section->sectProperty().cols.col.size(), before.col.size());
    EXPECT_FLOAT_EQ(section->minSeparatedColumSpace(), 0.2836f);
    double space = 12;
    EXPECT_TRUE(section->IsPageSectionEquallySeparatedColums(space));
    EXPECT_DOUBLE_EQ(space, 12);
}

TEST(QXDocxPageSectionTest, EqualColumnsTakeTheSpaceTheTextLeaves)
{
    // Text 72 … 277 (+3 blank: 280) and 315 … 523: gap 35, space 32 tried,
    // the boundary at 297.5 leaves 17.5 either side, floored to 17.
    const auto section = sectionWithColumns({{sectLine(72, 277, 110)}, {sectLine(315, 523, 110)}});
    EXPECT_FLOAT_EQ(section->minSeparatedColumSpace(), 32.0f);
    double space = 32;
    EXPECT_TRUE(section->IsPageSectionEquallySeparatedColums(space));
    EXPECT_DOUBLE_EQ(space, 17);
    section->createSectProperty_Cols();
    const QXDocx_Cols& cols = section->sectProperty().cols;
    EXPECT_EQ(cols.num, 2u);
    EXPECT_TRUE(cols.sep);
    ASSERT_EQ(cols.col.size(), 2u);
    EXPECT_FLOAT_EQ(cols.space, 17);
    EXPECT_FLOAT_EQ(cols.equalWidth, 217);
    EXPECT_FLOAT_EQ(cols.col[0].w, 217);
    EXPECT_FLOAT_EQ(cols.col[1].space, 17);
}

TEST(QXDocxPageSectionTest, UnequalColumnsMeasureEachGap)
{
    // The second column starts at 290, left of the equal boundary 297.5.
    const auto section = sectionWithColumns({{sectLine(72, 247, 110)}, {sectLine(290, 523, 110)}});
    double space = 35.45;
    EXPECT_FALSE(section->IsPageSectionEquallySeparatedColums(space));
    EXPECT_DOUBLE_EQ(space, 35.45);  // untouched on a refusal
    section->createSectProperty_Cols();
    const QXDocx_Cols& cols = section->sectProperty().cols;
    ASSERT_EQ(cols.col.size(), 2u);
    EXPECT_FLOAT_EQ(cols.equalWidth, 0);
    // A gap of 40 is capped at 35.45; width = ceil(290 − 35.45 − 72).
    EXPECT_FLOAT_EQ(cols.col[0].space, 35.45f);
    EXPECT_FLOAT_EQ(cols.col[0].w, 183);
    EXPECT_FLOAT_EQ(cols.col[1].w, 523 - (72 + 183 + 35.45f));
    EXPECT_FLOAT_EQ(cols.col[1].space, 0);

    // Overlapping columns: no positive gap, the smallest space.
    const auto overlapping = sectionWithColumns({{sectLine(72, 320, 110)}, {sectLine(300, 523, 110)}});
    EXPECT_FLOAT_EQ(overlapping->minSeparatedColumSpace(), 0.2836f);
    overlapping->createSectProperty_Cols();
    EXPECT_FLOAT_EQ(overlapping->sectProperty().cols.col[0].space, 0.2836f);
}

TEST(QXDocxPageSectionTest, SectionFramesFromColumnBlocks)
{
    QXDocxColumBlockValues upper;
    upper.columGroupArray = {{sectLine(72, 400, 110), sectLine(72, 400, 124)}};
    upper.columGroupFrame = QXDocxRunTextLine::FrameOfLineArray(upper.columGroupArray[0]);
    upper.bottomNeedSpace = 10;
    QXDocxColumBlockValues lower;
    lower.columGroupArray = {{sectLine(72, 400, 310)}};
    lower.columGroupFrame = QXDocxRunTextLine::FrameOfLineArray(lower.columGroupArray[0]);
    lower.bottomNeedSpace = 30;

    QXDocx_SectPr record = sectPageRecord();
    record.vAlign = 7;
    const auto sections = QXDocxPageSection::CreatePageSectionsWithBlocks({upper, lower}, record, true);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(record.vAlign, 7);  // column mode leaves the record alone
    // The first starts at the margin; it ends at the next block's top less
    // half the block's reserve (5, below the cap of 8).
    EXPECT_EQ(sections[0]->sectionFrame(), Rect(72, 72, 451, 300 - 5 - 72));
    EXPECT_EQ(sections[1]->sectionFrame(), Rect(72, 295, 451, 770 - 295));
    EXPECT_TRUE(sections[0]->isPageHeadSection());
    EXPECT_FALSE(sections[0]->isPageFootSection());
    EXPECT_TRUE(sections[1]->isPageFootSection());
    EXPECT_TRUE(sections[1]->isDocumentFirstPage() && sections[1]->isDocumentLastPage());
    EXPECT_EQ(sections[0]->previousPageSection(), nullptr);
    EXPECT_EQ(sections[1]->previousPageSection(), sections[0]);
    EXPECT_EQ(sections[1]->columGroupArray().size(), 1u);
}

TEST(QXDocxPageSectionTest, VerticalAlignmentOfNestedSections)
{
    struct Case {
        const char* name;
        double base;       // the single line's baseline (top = base − 10, 12 high)
        double need;       // the block's bottomNeedSpace
        std::int32_t vAlign;
        double sectionTop;
    };
    const std::vector<Case> cases = {
        // Text near the top: top aligned, the section starts at the margin.
        {"top", 110, 30, 0, 72},
        // Text near the bottom: bottom aligned, 8 points reserved above it.
        {"bottom", 760, 30, 2, 750 - 8},
        // Text in the middle (328 points free either side): centred, half
        // the reserve of 6 kept above it.
        {"centre", 410, 6, 1, 400 - 3},
    };
    for (const auto& c : cases) {
        QXDocxColumBlockValues block;
        block.columGroupArray = {{sectLine(72, 400, c.base)}};
        block.columGroupFrame = Rect(72, c.base - 10, 328, c.base == 410 ? 42 : 12);
        block.bottomNeedSpace = c.need;
        QXDocx_SectPr record = sectPageRecord();
        const auto sections = QXDocxPageSection::CreatePageSectionsWithBlocks({block}, record, false);
        ASSERT_EQ(sections.size(), 1u) << c.name;
        EXPECT_EQ(record.vAlign, c.vAlign) << c.name;
        EXPECT_EQ(sections[0]->verticalAlignment(), c.vAlign) << c.name;
        EXPECT_DOUBLE_EQ(sections[0]->sectionFrame().origin.y, c.sectionTop) << c.name;
        EXPECT_DOUBLE_EQ(sections[0]->sectionFrame().origin.y + sections[0]->sectionFrame().size.height, 770)
            << c.name;
    }
}

TEST(QXDocxPageSectionTest, SectionsFromLooseRunsDropDuplicatesAndBlanks)
{
    QXDocxRunTextArray runs = {
        test::makeLineRun("Hello", 72, 102, 110, 0),
        test::makeLineRun("Hello", 72, 102, 110, 1),  // drawn again
        test::makeLineRun("world", 110, 140, 110, 2),
        test::makeLineRun("   ", 72, 90, 130, 3),      // a blank line
        test::makeLineRun("next", 72, 100, 150, 4),
    };
    QXDocx_SectPr record = sectPageRecord();
    const auto sections = QXDocxPageSection::CreatePageSection(runs, record, false);
    // The two lines stand 40 points apart: two blocks, two sections, top
    // to bottom, one column each.
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(runs.size(), 3u);
    std::vector<QXDocxRunTextLinePtr> lines;
    std::size_t sectionRuns = 0;
    for (const auto& section : sections) {
        ASSERT_EQ(section->columGroupArray().size(), 1u);
        lines.insert(lines.end(), section->columGroupArray()[0].begin(), section->columGroupArray()[0].end());
        sectionRuns += section->allRunTextArray().size();
    }
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_LT(lines[0]->lineFrame().origin.y, lines[1]->lineFrame().origin.y);
    EXPECT_EQ(sectionRuns, 3u);

    QXDocxRunTextArray none;
    EXPECT_TRUE(QXDocxPageSection::CreatePageSection(none, record, false).empty());
}

TEST(QXDocxPageSectionTest, FootBlanksNeedMoreThanOnePoint)
{
    auto section = QXDocxPageSection::BankPageSectionWithSectProperty(sectPageRecord());
    section->setFootBlankHeight(1.0);
    section->createFootBlankParagraphArray();
    EXPECT_TRUE(section->footBlankParagraphArray().empty());
    section->setFootBlankHeight(30);
    section->createFootBlankParagraphArray();
    ASSERT_FALSE(section->footBlankParagraphArray().empty());
    double total = 0;
    for (const auto& p : section->footBlankParagraphArray()) {
        EXPECT_FALSE(p->sectProperty().shouldWrite);
        total += p->pProperty().spacing.line + p->pProperty().spacing.before + p->pProperty().spacing.after;
    }
    EXPECT_NEAR(total, 30, 0.01);
}

TEST(QXDocxPageSectionTest, MovingUpTakesSpaceBeforeThenAfter)
{
    auto section = std::make_shared<QXDocxPageSection>(sectPageRecord());
    auto first = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{sectLine(72, 300, 110)});
    auto last = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{sectLine(72, 300, 124)});
    QXDocx_PPr p = first->pProperty();
    p.spacing.before = 4;
    first->setPProperty(p);
    p = last->pProperty();
    p.spacing.after = 5;
    last->setPProperty(p);
    section->setParagraphGroupArray({{first, last}});

    EXPECT_DOUBLE_EQ(section->moveUpParagraphIfNeed(-3), 0);
    EXPECT_FLOAT_EQ(first->pProperty().spacing.before, 4);
    EXPECT_DOUBLE_EQ(section->moveUpParagraphIfNeed(6), 0);
    EXPECT_FLOAT_EQ(first->pProperty().spacing.before, 0);
    EXPECT_FLOAT_EQ(last->pProperty().spacing.after, 3);
    EXPECT_DOUBLE_EQ(section->moveUpParagraphIfNeed(10), 7);
    EXPECT_FLOAT_EQ(last->pProperty().spacing.after, 0);
}

TEST(QXDocxPageSectionTest, ParagraphQueriesSkipSectionBreaksAndEmptyParagraphs)
{
    auto section = std::make_shared<QXDocxPageSection>(sectPageRecord());
    section->setSectionFrame(Rect(72, 72, 451, 698));
    auto sectionBreak = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{sectLine(72, 300, 110, "break")});
    QXDocx_SectPr writes = sectPageRecord();
    writes.shouldWrite = true;
    sectionBreak->setSectProperty(writes);
    auto empty = std::make_shared<QXDocxParagraph>();
    auto a = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{sectLine(72, 300, 130, "first text")});
    auto b = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{sectLine(72, 300, 160, "second text")});
    section->setParagraphGroupArray({{sectionBreak, empty, a, b}});

    EXPECT_EQ(section->firstParagraph(), empty);
    EXPECT_EQ(section->firstTextParagraph(), a);
    EXPECT_EQ(section->lastParagraph(), b);
    // a's middle is at 126: a point 0.5 below it is not below it.
    const double middleA = a->contentFrame().origin.y + a->contentFrame().size.height * 0.5;
    EXPECT_EQ(section->insertParagraph(Point{100, middleA + 0.5}), nullptr);
    EXPECT_EQ(section->insertParagraph(Point{100, middleA + 2}), a);
    EXPECT_EQ(section->insertParagraph(Point{100, 400}), b);
    EXPECT_EQ(section->insertParagraph(Point{10, 400}), nullptr);  // outside the band
}

TEST(QXDocxPageSectionTest, CopyBuildsItsOwnSectionAndSharesTheTables)
{
    const auto section = sectionWithColumns({{sectLine(72, 300, 110), sectLine(72, 300, 124)}});
    section->setFootBlankHeight(12.5);
    section->setIsPageHeadSection(true);
    const auto copy = std::dynamic_pointer_cast<QXDocxPageSection>(section->copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->columGroupArray().size(), 1u);
    EXPECT_EQ(copy->paragraphGroupArray().size(), section->paragraphGroupArray().size());
    EXPECT_TRUE(copy->isPageHeadSection());
    EXPECT_DOUBLE_EQ(copy->footBlankHeight(), 12.5);
    EXPECT_EQ(copy->sectionFrame(), section->sectionFrame());
    section->setAllTableArray({{nullptr, Rect(0, 0, 1, 1)}});
    EXPECT_EQ(copy->allTableArray().size(), 1u);
    EXPECT_NE(section->description().find("columCount:1"), std::string::npos);
}
