// Paragraph properties worked out from runs, and blank paragraphs.
#include "flowtext/QXFlowLayoutLimits.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rz {
namespace {

using test::makeRun;

TEST(QXFlowParagraph, ResolvesLineFromTheLargestRunAndPropertiesFromTheLast)
{
    QXTextParagraph p;
    auto a = makeRun("a", 40, 0, 10, 5, 10);
    auto b = makeRun("b", 50, 0, 10, 5, 14);
    auto c = makeRun("c", 60, 0, 10, 5, 12);
    auto nan = makeRun("n", 70, 0, 10, 5, 12);
    QXDocx_RPr r = nan->rProperty();
    r.sz = NAN;
    nan->setRProperty(r);
    p.initWithRunArray({a, b, nan, c});
    EXPECT_FLOAT_EQ(p.pProperty().spacing.line, 14);
    EXPECT_FLOAT_EQ(p.pProperty().ind.left, 40);
    EXPECT_FLOAT_EQ(p.rProperty().sz, 12);
    EXPECT_EQ(p.resolvedHeight(), 0.0);

    p.setXColumnPosition(300);
    auto far = makeRun("f", 290, 0, 10, 5);
    p.initWithRunArray({far});
    EXPECT_TRUE(p.resolveXColumnProperty());
    EXPECT_FLOAT_EQ(p.pProperty().ind.left, -10);
}

TEST(QXFlowParagraph, BaseRunsAndRunsOfAnotherFormatAreNotText)
{
    QXTextParagraph p;
    QXDocx_PPr pp = p.pProperty();
    pp.ind.left = 33;
    p.setPProperty(pp);
    QXDocx_RPr keep = p.rProperty();
    keep.sz = 21;
    p.setRProperty(keep);
    p.initWithRunArray({std::make_shared<QXTextRun>(), std::make_shared<QXTextRun>()});
    EXPECT_FLOAT_EQ(p.pProperty().spacing.line, 0);
    EXPECT_FLOAT_EQ(p.pProperty().ind.left, 33);
    EXPECT_FLOAT_EQ(p.rProperty().sz, 21);
    EXPECT_FALSE(p.isHaveMainText());
    EXPECT_FALSE(p.resolveXColumnProperty());
    EXPECT_EQ(p.lastRunText(), nullptr);
    EXPECT_NE(p.lastRun(), nullptr);
    EXPECT_EQ(p.textWidth(), 0);
}

TEST(QXFlowParagraph, BlankParagraphsShareTheGap)
{
    QXDocx_RPr r = QXDocxUtilities::defaultRProperty();
    const QXDocx_SectPr s = QXDocxUtilities::defaultSectPropertyHiden();
    struct Case {
        double height, line, runSize;
        size_t count;
        float each;
    } cases[] = {
        {30, 12, 10, 2, 15}, {28, 12, 12, 2, 14}, {5, 12, 10, 1, 5}, {30, 0, 0, 1, 30}, {-4, 12, 12, 1, -4},
        {1e9, 12, 12, static_cast<size_t>(flowlimits::kMaxBlankParagraphs), 1e9f / flowlimits::kMaxBlankParagraphs},
    };
    for (const Case& c : cases) {
        r.sz = static_cast<float>(c.runSize);
        const auto blanks = QXTextParagraph::BlankParagraph(c.height, c.line, 7, r, s);
        ASSERT_EQ(blanks.size(), c.count) << c.height;
        for (const auto& b : blanks) {
            EXPECT_FLOAT_EQ(b->pProperty().spacing.line, c.each);
            EXPECT_FLOAT_EQ(b->pProperty().ind.left, 7);
            EXPECT_EQ(QXDocxText(b->pProperty().spacing.lineRule), "exact");
            EXPECT_TRUE(b->runArray().empty());
        }
    }
    EXPECT_EQ(QXTextParagraph::BlankParagraph(NAN, 12, 0, r, s).size(), 1u);
    EXPECT_EQ(QXTextParagraph::BlankParagraph(INFINITY, 12, 0, r, s).size(), 1u);
}

TEST(QXFlowRunText, DisplayRectCopyAndDescription)
{
    auto run = makeRun("<&>", 10, 80, 92, 20, 12, 3);
    EXPECT_EQ(run->displayRect(), Rect(10, 80, 20, 12));
    EXPECT_EQ(QXTextRun().displayRect(), Rect(0, 0, 0, 0));
    auto copy = std::static_pointer_cast<QXTextRunText>(run->copy());
    copy->runText().push_back(u'!');
    EXPECT_EQ(run->runText(), u"<&>");
    EXPECT_EQ(copy->textWidth(), 20);
    const std::string d = run->description();
    EXPECT_EQ(d.rfind("<QXTextRunText: 0x", 0), 0u) << d;
    EXPECT_NE(d.find(": <&> [10.000000, 80.000000][20.000000][3.000000]>"), std::string::npos) << d;
}

} // namespace
} // namespace rz
