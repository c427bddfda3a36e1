// Alignment recognition of hand-made lines and paragraphs: the column trend
// of left, right, centred and justified columns and of one- and two-line
// columns, the alignment of single lines, the merge tests of two and three
// paragraphs, and the reflow, height, font and indent statistics.
#include "docx/layout/QXDocxPageSection.h"

#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

using namespace rz;

namespace {

// A column 451 points wide from x 72, as a page of 595 with 72-point margins.
const Rect kAlignColumn(72, 100, 451, 400);

QXDocxRunTextLinePtr alignLine(double left, double right, double base, const std::string& text = "words here")
{
    static std::uint64_t scan = 0;
    return std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{test::makeLineRun(text, left, right, base, scan++)});
}

// Lines 14 points apart, one per (left, right) edge pair.
QXDocxRunTextLineArray alignColumn(const std::vector<std::pair<double, double>>& edges)
{
    QXDocxRunTextLineArray lines;
    double base = 110;
    for (const auto& [left, right] : edges) {
        lines.push_back(alignLine(left, right, base));
        base += 14;
    }
    return lines;
}

QXDocxParagraphPtr alignParagraphOf(const QXDocxRunTextLinePtr& l, double indLeft = 0, std::int32_t jc = 0)
{
    auto paragraph = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{l});
    QXDocx_PPr p = paragraph->pProperty();
    p.ind.left = static_cast<float>(indLeft);
    p.jc = jc;
    paragraph->setPProperty(p);
    paragraph->setColumnFrame(kAlignColumn);
    return paragraph;
}

} // namespace

TEST(QXDocxPageSectionAlignTest, EdgeClustersCountTheLargestSetWithinThreePoints)
{
    // Left edges 72, 74.9 and 76 (74.9 is within 3 of both, 72 and 76 are not).
    const auto lines = alignColumn({{72, 300}, {74.9, 400}, {76, 500}});
    EXPECT_EQ(QXDocxPageSection::NumberOf(lines, 0), 3u);
    EXPECT_EQ(QXDocxPageSection::NumberOf(lines, 1), 1u);
    // Both edges must agree for "both".
    const auto justified = alignColumn({{72, 500}, {72, 500}, {72, 420}});
    EXPECT_EQ(QXDocxPageSection::NumberOf(justified, 3), 2u);
    EXPECT_EQ(QXDocxPageSection::NumberOf(justified, 4), 2u);
    EXPECT_EQ(QXDocxPageSection::NumberOf({}, 0), 0u);
}

TEST(QXDocxPageSectionAlignTest, ColumnTrendFollowsTheSharedEdges)
{
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> edges;
        std::int32_t trend;
    };
    const std::vector<Case> cases = {
        // The indented first line does not vote.
        {"left", {{100, 500}, {72, 480}, {72, 300}, {72, 420}, {72, 250}}, 0},
        {"right", {{300, 523}, {200, 523}, {350, 523}, {150, 523}}, 1},
        {"centred", {{200, 394}, {250, 344}, {180, 414}, {220, 374}}, 2},
        {"justified", {{90, 523}, {72, 523}, {72, 523}, {72, 523}, {72, 300}}, 3},
        // All share the right edge, one of them the left edge too.
        {"right with one full line", {{72, 523}, {72, 523}, {200, 523}, {300, 523}}, 1},
    };
    for (const auto& c : cases) {
        const auto lines = alignColumn(c.edges);
        const Rect content = QXDocxRunTextLine::FrameOfLineArray(lines);
        EXPECT_EQ(QXDocxPageSection::RecognizeTextAlignTrend(lines, content, kAlignColumn), c.trend) << c.name;
    }
}

TEST(QXDocxPageSectionAlignTest, ShortColumnsAreCentredOnlyWhenTheirTextIsCentred)
{
    // One line: nothing votes.
    const auto one = alignColumn({{250, 344}});
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlignTrend(one, one.front()->lineFrame(), kAlignColumn), 0);
    // Two lines whose text is centred in the column (centre 297.5).
    const auto centred = alignColumn({{200, 395}, {250, 345}});
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlignTrend(centred, QXDocxRunTextLine::FrameOfLineArray(centred), kAlignColumn),
              2);
    // The same lines 3.5 points off the column's centre.
    const auto off = alignColumn({{203.5, 398.5}, {253.5, 348.5}});
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlignTrend(off, QXDocxRunTextLine::FrameOfLineArray(off), kAlignColumn), 0);
    // Three lines, one of them voting, centred by less than 3 points.
    const auto three = alignColumn({{72, 523}, {250, 345}, {200, 395}});
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlignTrend(three, QXDocxRunTextLine::FrameOfLineArray(three), kAlignColumn), 2);
}

TEST(QXDocxPageSectionAlignTest, LineAlignment)
{
    const Rect content(72, 100, 451, 100);
    struct Case {
        const char* name;
        double left, right;
        std::int32_t trend;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"short line keeps the trend", 300, 302, 1, 1},
        {"nearly full line keeps the trend", 75, 520, 2, 2},
        {"left edge in a left column", 72, 300, 0, 0},
        {"both edges", 72.5, 522.5, 3, 3},
        {"centred line in a left column", 200, 395, 0, 2},
        {"right edge in a left column", 300, 523, 0, 1},
        {"indented line in a left column", 110, 300, 0, 0},
        {"left edge in a right column", 72, 300, 1, 0},
        {"right edge in a right column", 200, 522, 1, 1},
        {"centred line in a centred column", 201, 394, 2, 2},
        {"off-centre line in a centred column", 80, 300, 2, 0},
        {"trend above both is kept", 200, 395, 4, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(alignLine(c.left, c.right, 110), nullptr, 0, c.trend, content, kAlignColumn),
                  c.expected)
            << c.name;
    }
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(nullptr, nullptr, 0, 3, content, kAlignColumn), 3);
}

TEST(QXDocxPageSectionAlignTest, LineAlignmentFollowsTheLineAbove)
{
    const Rect content(72, 100, 451, 100);
    const auto above = alignLine(150, 400, 110);
    // Same left edge: left after a left line, both after a justified line;
    // after a right line the geometry decides (centred here).
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(alignLine(150.5, 300, 124), above, 0, 1, content, kAlignColumn), 0);
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(alignLine(150.5, 300, 124), above, 3, 1, content, kAlignColumn), 3);
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(alignLine(150.5, 300, 124), above, 1, 1, content, kAlignColumn), 0);
    // Same right edge after a right line.
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(alignLine(250, 400.5, 124), above, 1, 0, content, kAlignColumn), 1);
    // Same centre after a centred line.
    EXPECT_EQ(QXDocxPageSection::RecognizeTextAlign(alignLine(200, 350, 124), above, 2, 0, content, kAlignColumn), 2);
}

TEST(QXDocxPageSectionAlignTest, TwoAndThreeParagraphGroups)
{
    auto p = [](double left, double right, double base) { return alignParagraphOf(alignLine(left, right, base)); };
    struct Case {
        const char* name;
        QXDocxParagraphArray group;
        std::int32_t expected;
    };
    const std::vector<Case> two = {
        {"both edges", {p(72, 500, 110), p(72.5, 500.5, 124)}, 3},
        {"left edges", {p(72, 500, 110), p(72.5, 300, 124)}, 0},
        {"right edges", {p(300, 500, 110), p(350, 500.5, 124)}, 1},
        {"hanging left paragraph", {p(100, 500, 110), p(72, 500, 124)}, 0},
        {"centres", {p(200, 400, 110), p(250, 350, 124)}, 2},
        {"nothing shared", {p(200, 400, 110), p(100, 250, 124)}, 0},
    };
    for (const auto& c : two)
        EXPECT_EQ(QXDocxPageSection::Recognize2LineTextAlignForMerger(c.group), c.expected) << c.name;
    EXPECT_EQ(QXDocxPageSection::Recognize2LineTextAlignForMerger({}), 0);
    EXPECT_EQ(QXDocxPageSection::Recognize2LineTextAlignForMerger({alignParagraphOf(alignLine(72, 300, 110), 0, 2)}), 2);

    const std::vector<Case> three = {
        {"both", {p(72, 500, 110), p(72, 500, 124), p(72, 300, 138)}, 3},
        {"left", {p(72, 500, 110), p(72, 400, 124), p(72, 300, 138)}, 0},
        {"first indented, justified", {p(90, 500, 110), p(72, 500, 124), p(72, 300, 138)}, 3},
        {"right", {p(90, 500, 110), p(72, 500, 124), p(150, 300, 138)}, 1},
        {"centred", {p(200, 400, 110), p(250, 350, 124), p(72, 80, 138)}, 2},
        {"indented first, left rest", {p(100, 400, 110), p(72, 500, 124), p(72, 300, 138)}, 0},
        {"indented first, right rest", {p(100, 400, 110), p(150, 500, 124), p(200, 500, 138)}, 1},
        {"indented first, centred rest", {p(100, 400, 110), p(150, 450, 124), p(200, 400, 138)}, 2},
    };
    for (const auto& c : three)
        EXPECT_EQ(QXDocxPageSection::Recognize3LineTextAlignForMerger(c.group), c.expected) << c.name;
    EXPECT_EQ(QXDocxPageSection::Recognize3LineTextAlignForMerger({three[0].group[0], three[0].group[1]}), 0);
}

TEST(QXDocxPageSectionAlignTest, ReflowNeedsLongWideText)
{
    // Seven characters wide enough: one paragraph reflows.
    auto wide = alignParagraphOf(alignLine(72, 300, 110, "seven c"));
    EXPECT_TRUE(QXDocxPageSection::canBeExtendWidth({wide}, 0));
    // Six characters do not.
    EXPECT_FALSE(QXDocxPageSection::canBeExtendWidth({alignParagraphOf(alignLine(72, 300, 110, "six ch"))}, 0));
    // Narrower than 36 points do not.
    EXPECT_FALSE(QXDocxPageSection::canBeExtendWidth({alignParagraphOf(alignLine(72, 107.5, 110, "seven c"))}, 0));
}

TEST(QXDocxPageSectionAlignTest, HeightFontAndIndentStatistics)
{
    auto a = alignParagraphOf(alignLine(72, 300, 110), 10);
    auto b = alignParagraphOf(alignLine(72, 300, 124), 4);
    auto c = alignParagraphOf(alignLine(72, 300, 138), 7);
    a->setYHeight(12);
    b->setYHeight(12);
    // 24 > 2 × 12.5 − 1 = 24 is false; 24 > 2 × 12.4 − 1 is true.
    EXPECT_FALSE(QXDocxPageSection::testAllHeightEnough({a, b}, 12.5));
    EXPECT_TRUE(QXDocxPageSection::testAllHeightEnough({a, b}, 12.4));

    EXPECT_TRUE(QXDocxPageSection::HaveSameFont(a, b));
    auto bigger = test::makeLineRun("big", 72, 100, 150, 900);
    QXDocx_RPr r = bigger->rProperty();
    r.sz = r.szCs = 14;
    bigger->setRProperty(r);
    auto other = std::make_shared<QXDocxParagraph>(
        QXDocxRunTextLineArray{std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{bigger})});
    EXPECT_FALSE(QXDocxPageSection::HaveSameFont(a, other));

    EXPECT_DOUBLE_EQ(QXDocxPageSection::Ind_MinLeftOfParagraphs({a, b, c}), 4);
    EXPECT_DOUBLE_EQ(QXDocxPageSection::Ind_MinLeftOfParagraphs({}), 0);
    EXPECT_DOUBLE_EQ(QXDocxPageSection::Ind_SubMinLeftOfParagraphs({b, a, c}), 7);
    EXPECT_DOUBLE_EQ(QXDocxPageSection::Ind_SubMinLeftOfParagraphs({a}), 10);
    EXPECT_DOUBLE_EQ(QXDocxPageSection::Ind_SubMinLeftOfParagraphs({}), 0);
}

TEST(QXDocxPageSectionAlignTest, EdgeClustersMatchThePlainCountOnRandomColumns)
{
    // The count found through sorted keys equals counting every pair.
    std::uint32_t state = 12345;
    auto next = [&state](double range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * range;
    };
    for (int round = 0; round < 40; ++round) {
        QXDocxRunTextLineArray lines;
        const int count = 1 + round % 25;
        for (int i = 0; i < count; ++i) {
            // Edges on a coarse grid so that many differ by exactly 3.
            const double left = 72 + std::floor(next(12)) * 1.5;
            const double right = left + 20 + std::floor(next(12)) * 1.5;
            lines.push_back(alignLine(left, right, 110 + 14 * i));
        }
        for (std::int32_t a = 0; a <= 4; ++a) {
            std::size_t plain = 0;
            for (const auto& x : lines) {
                std::size_t n = 0;
                for (const auto& y : lines) {
                    const Rect f = x->lineFrame();
                    const Rect g = y->lineFrame();
                    const double l = std::fabs(f.origin.x - g.origin.x);
                    const double r = std::fabs((f.origin.x + f.size.width) - (g.origin.x + g.size.width));
                    const double c = std::fabs((f.origin.x + f.size.width * 0.5) - (g.origin.x + g.size.width * 0.5));
                    const bool same = a == 0 ? l < 3 : a == 1 ? r < 3 : a == 2 ? c < 3 : (l < 3 && r < 3);
                    n += same ? 1 : 0;
                }
                plain = std::max(plain, n);
            }
            EXPECT_EQ(QXDocxPageSection::NumberOf(lines, a), plain) << "round " << round << " alignment " << a;
        }
    }
}
