// Paragraph spacing of a section on hand-made paragraphs: the rounding of
// written line values carried to the last paragraph, the space between two
// text paragraphs moved to the first, blank paragraphs after text folded
// into its space after or shortened, and whole sections whose blank lines
// between paragraphs become spacing.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxManager.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

using namespace rz;

namespace {

std::uint64_t spacingScan = 5000;

// A text paragraph of one 12-point-high line.
QXDocxParagraphPtr textParagraph(double top, double yBefore = 0, double yAfter = 0)
{
    auto l = std::make_shared<QXDocxRunTextLine>(
        QXDocxRunTextArray{test::makeLineRun("text", 72, 200, top + 10, spacingScan++)});
    auto p = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{l});
    p->setYBefore(yBefore);
    p->setYAfter(yAfter);
    return p;
}

// A blank paragraph (no lines) with the spacing given.
QXDocxParagraphPtr blankParagraph(double line, double before = 0, double after = 0)
{
    auto p = std::make_shared<QXDocxParagraph>();
    p->setSpaceLine(line);
    p->setSpaceLineBefore(before);
    p->setSpaceLineAfter(after);
    return p;
}

QXDocxPageSectionPtr sectionOf(std::vector<QXDocxWriterObjectArray> columns)
{
    auto section = std::make_shared<QXDocxPageSection>();
    section->setParagraphGroupArray(std::move(columns));
    return section;
}

} // namespace

TEST(QXDocxPageSectionSpacingTest, RoundingOfLineValuesIsCarriedToTheLastParagraph)
{
    // 12.34 is written as 247 twentieths (12.35): three of them 0.03 too much.
    QXDocxParagraphArray three;
    for (int i = 0; i < 3; ++i) {
        three.push_back(blankParagraph(0));
        three.back()->setSpaceLine(12.34);
    }
    QXDocxPageSection::fixErrorSpaceInParagraphs(three);
    EXPECT_FLOAT_EQ(three[0]->pProperty().spacing.line, 12.34f);
    EXPECT_FLOAT_EQ(three[1]->pProperty().spacing.line, 12.34f);
    EXPECT_NEAR(three[2]->pProperty().spacing.line, 12.31, 1e-4);
    // Written, the three add up to what was measured (37.02), within one
    // twentieth's rounding.
    double written = 0;
    for (const auto& p : three)
        written += std::round(p->pProperty().spacing.line * 20) / 20;
    EXPECT_NEAR(written, 37.0, 1e-6);

    // A column of one paragraph is left alone by the section.
    auto single = textParagraph(100);
    single->setSpaceLine(12.34);
    const auto section = sectionOf({{single}});
    QXDocxManager::sharedInstance().moreOptions().wordOptions().setIsMergeParagraphs(false);
    section->optimizeParagraphs();
    QXDocxManager::sharedInstance().moreOptions().wordOptions().setIsMergeParagraphs(true);
    EXPECT_FLOAT_EQ(single->pProperty().spacing.line, 12.34f);
}

TEST(QXDocxPageSectionSpacingTest, SpaceBetweenTextParagraphsGoesAfterTheFirst)
{
    struct Case {
        double after, before;
        double expectAfter, expectBefore;
    };
    // 0.6 + 0.3 is not above 1 point: both keep their spacing.
    for (const Case& c : {Case{0.6, 0.3, 0.6, 0.3}, Case{2, 3, 5, 0}, Case{0, 1.5, 1.5, 0}}) {
        auto p = textParagraph(100, 0, c.after);
        auto q = textParagraph(120, c.before, 0);
        p->setSpaceLineAfter(c.after);
        q->setSpaceLineBefore(c.before);
        const auto section = sectionOf({{p, q}});
        const auto fitted = section->autoFitParagraphSpacing();
        ASSERT_EQ(fitted.size(), 1u);
        EXPECT_EQ(fitted[0].size(), 2u);
        EXPECT_FLOAT_EQ(p->pProperty().spacing.after, static_cast<float>(c.expectAfter));
        EXPECT_FLOAT_EQ(q->pProperty().spacing.before, static_cast<float>(c.expectBefore));
    }
}

TEST(QXDocxPageSectionSpacingTest, BlankParagraphsAfterTextFoldIntoItsSpaceAfter)
{
    // The text's first line is 12 high.
    {
        // Space after already the line's height: the blank stays as it is.
        auto p = textParagraph(100);
        p->setSpaceLineAfter(12);
        auto blank = blankParagraph(15);
        const auto fitted = sectionOf({{p, blank}})->autoFitParagraphSpacing();
        EXPECT_EQ(fitted[0].size(), 2u);
        EXPECT_FLOAT_EQ(p->pProperty().spacing.after, 12);
        EXPECT_FLOAT_EQ(blank->pProperty().spacing.line, 15);
    }
    {
        // A blank of 20 (not more than 8 above 12) goes into the space after.
        auto p = textParagraph(100);
        p->setSpaceLineAfter(3);
        auto blank = blankParagraph(20, 1, 2);
        auto next = textParagraph(200);
        const auto fitted = sectionOf({{p, blank, next}})->autoFitParagraphSpacing();
        ASSERT_EQ(fitted[0].size(), 2u);
        EXPECT_EQ(fitted[0][1], next);
        EXPECT_FLOAT_EQ(p->pProperty().spacing.after, 3 + 1 + 20 + 2);
    }
    {
        // A blank of 21 keeps what the text's space after does not take.
        auto p = textParagraph(100);
        p->setSpaceLineAfter(3);
        auto blank = blankParagraph(21);
        const auto fitted = sectionOf({{p, blank}})->autoFitParagraphSpacing();
        ASSERT_EQ(fitted[0].size(), 2u);
        EXPECT_FLOAT_EQ(p->pProperty().spacing.after, 12);
        EXPECT_FLOAT_EQ(blank->pProperty().spacing.line, 21 - (12 - 3));
    }
    {
        // After a blank nothing changes.
        auto blank = blankParagraph(10);
        auto p = textParagraph(100, 5, 0);
        p->setSpaceLineBefore(5);
        const auto fitted = sectionOf({{blank, p}})->autoFitParagraphSpacing();
        EXPECT_EQ(fitted[0].size(), 2u);
        EXPECT_FLOAT_EQ(p->pProperty().spacing.before, 5);
    }
}

TEST(QXDocxPageSectionSpacingTest, BlankLinesBetweenParagraphsBecomeSpacing)
{
    // Lines 12 high in one column, the gaps between them given. Up to two
    // line heights plus 8 the gap is the first paragraph's space after; a
    // larger gap keeps two line heights and a blank paragraph takes the
    // rest (the text's space after is then at least its line height, so the
    // spacing fit leaves the blank). Written, the band is filled exactly.
    QXDocx_SectPr record = QXDocxUtilities::defaultSectPropertyHiden();
    record.pgSz = {595, 842};
    record.pgMar.top = record.pgMar.left = record.pgMar.right = record.pgMar.bottom = 72;
    struct Case {
        double gap;
        std::vector<double> lines;  // line values of the column, blanks included
        double firstAfter;
    };
    QXDocxManager::sharedInstance().moreOptions().wordOptions().setIsMergeParagraphs(true);
    for (const Case& c : {Case{30, {12, 12}, 30}, Case{40, {12, 16, 12, 16}, 24}}) {
        QXDocxColumBlockValues block;
        block.columGroupArray = {{std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{
                                      test::makeLineRun("first line", 72, 300, 110, spacingScan++)}),
                                  std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{
                                      test::makeLineRun("second line", 72, 300, 122 + c.gap, spacingScan++)})}};
        block.columGroupFrame = QXDocxRunTextLine::FrameOfLineArray(block.columGroupArray[0]);
        const auto sections = QXDocxPageSection::CreatePageSectionsWithBlocks({block}, record, true);
        ASSERT_EQ(sections.size(), 1u);
        const auto& column = sections[0]->paragraphGroupArray().at(0);
        ASSERT_EQ(column.size(), c.lines.size()) << c.gap;
        double total = 0;
        for (std::size_t i = 0; i < column.size(); ++i) {
            const auto p = std::dynamic_pointer_cast<QXDocxParagraph>(column[i]);
            ASSERT_NE(p, nullptr);
            const QXDocx_Spacing& s = p->pProperty().spacing;
            EXPECT_FLOAT_EQ(s.line, static_cast<float>(c.lines[i])) << c.gap << " " << i;
            total += static_cast<double>(s.before) + s.line + s.after;
        }
        const auto first = std::dynamic_pointer_cast<QXDocxParagraph>(column[0]);
        EXPECT_FLOAT_EQ(first->pProperty().spacing.after, static_cast<float>(c.firstAfter)) << c.gap;
        // Head blanks (28 above the text) and the column fill the band down
        // to the text frame's bottom (which grew by the gap below the last line).
        double head = 0;
        for (const auto& p : sections[0]->headBlankParagraphArray()) {
            const QXDocx_Spacing& s = p->pProperty().spacing;
            head += static_cast<double>(s.before) + s.line + s.after;
        }
        EXPECT_NEAR(head, 28, 0.01) << c.gap;
        const Rect frame = sections[0]->columGroupFrame();
        EXPECT_NEAR(head + total, frame.origin.y + frame.size.height - 72, 0.01) << c.gap;
    }
}
