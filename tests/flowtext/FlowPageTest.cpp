// Paragraphs of a page from hand-made runs, and the writing of the
// plain-text page.
#include "flowtext/QXFlowLayoutLimits.h"
#include "flowtext/text/QXTextFileWriter.h"
#include "platform/core/Numbers.h"
#include "tests/flowtext/FlowTestSupport.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

using test::paragraphText;
using test::word;

std::shared_ptr<QXTextPage> pageWith(const QXFlowRunList& runs)
{
    auto page = std::make_shared<QXTextPage>();
    page->initWithXMLWriter(nullptr, Size{612, 792}, false);
    page->begainWritePage(1);
    page->allRunTextArray() = runs;
    page->_creatParagraphs();
    return page;
}

std::vector<std::string> texts(const QXFlowPage& page)
{
    std::vector<std::string> out;
    for (const auto& p : page.paragraphArray())
        out.push_back(paragraphText(*p));
    return out;
}

TEST(QXFlowPage, TopMarginAndTheGapAboveTheFirstDiv)
{
    // Text 100 points down: margin 72, a gap of 28 as two blank lines of 14.
    auto page = pageWith({word("a", 72, 112, 10)});
    EXPECT_FLOAT_EQ(page->sectProperty().pgMar.top, 72);
    EXPECT_FLOAT_EQ(page->sectProperty().pgMar.left, 0);
    ASSERT_EQ(page->paragraphArray().size(), 3u);
    EXPECT_FLOAT_EQ(page->paragraphArray()[0]->pProperty().spacing.line, 14);
    EXPECT_TRUE(page->paragraphArray()[1]->runArray().empty());
    EXPECT_EQ(paragraphText(*page->paragraphArray()[2]), "a");

    // 50 points down: margin 50 and no blank paragraph.
    page = pageWith({word("a", 72, 62, 10)});
    EXPECT_FLOAT_EQ(page->sectProperty().pgMar.top, 50);
    EXPECT_EQ(texts(*page), (std::vector<std::string>{"a"}));

    EXPECT_TRUE(pageWith({})->paragraphArray().empty());
}

TEST(QXFlowPage, PartsOfARowJoinWithASpaceOnlyAcrossAWordGap)
{
    // 12-point font: a gap wider than 1.2 points gets a space.
    auto page = pageWith({word("one", 72, 62, 30), word("two", 105, 62, 30), word("three", 136, 62, 30)});
    ASSERT_EQ(page->paragraphArray().size(), 1u);
    EXPECT_EQ(paragraphText(*page->paragraphArray()[0]), "one twothree");
    const auto& runs = page->paragraphArray()[0]->runArray();
    EXPECT_DOUBLE_EQ(static_cast<const QXFlowRunText&>(*runs[0]).textWidth(), 33);
}

TEST(QXFlowPage, RowHeightsBecomeBlankParagraphsOrLineSpacing)
{
    // Second row 40 below the first (height 40 > 2 x 12): 28 as blank lines.
    auto page = pageWith({word("a", 72, 62, 10), word("b", 72, 102, 10), word("c", 72, 109, 10)});
    std::vector<std::string> expected = {"a", "", "", "b", "c"};
    EXPECT_EQ(texts(*page), expected);
    // The row 7 below the one before (d = -5): its line becomes 7.
    EXPECT_FLOAT_EQ(page->paragraphArray().back()->pProperty().spacing.line, 7);
}

TEST(QXFlowPage, ARowRisingAboveThePreviousOneKeepsAllItsText)
{
    // A tall run sets the running bottom; the next row lies 10 above it
    // (merged, -12 <= d <= -8) and one after lies 30 above (d < -12).
    QXFlowRunList runs = {test::makeRun("Big", 72, 40, 70, 40, 30), word("x", 120, 72, 10),
                          word("y", 133, 72, 10)};
    auto page = pageWith(runs);
    std::string all;
    for (const auto& t : texts(*page))
        all += t + "|";
    EXPECT_EQ(all, "Big x y|");

    runs = {test::makeRun("Tall", 72, 10, 100, 40, 90), word("r", 115, 60, 5), word("s", 125, 60, 5),
            word("t", 118, 30, 5)};
    page = pageWith(runs);
    all.clear();
    for (const auto& t : texts(*page))
        all += t + "|";
    EXPECT_EQ(all, "Tall|t||r s|");
}

TEST(QXFlowPage, ThreeColumnsCarryColumnBreaksAndWidths)
{
    QXFlowRunList runs;
    for (double bottom : {100.0, 112.0, 124.0}) {
        runs.push_back(word("L", 72, bottom, 100));
        runs.push_back(word("M", 250, bottom, 100));
        runs.push_back(word("R", 420, bottom, 100));
    }
    auto page = pageWith(runs);
    const auto& ps = page->paragraphArray();
    std::vector<std::string> order;
    std::vector<bool> breaks;
    for (const auto& p : ps) {
        if (p->runArray().empty())
            continue;
        order.push_back(paragraphText(*p));
        breaks.push_back(p->breakColumn());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"L", "L", "L", "M", "M", "M", "R", "R", "R"}));
    EXPECT_EQ(breaks, (std::vector<bool>{false, false, false, true, false, false, true, false, false}));
    const QXDocx_Cols& cols = ps.back()->sectProperty().cols;
    ASSERT_EQ(cols.num, 3u);
    ASSERT_EQ(cols.col.size(), 3u);
    EXPECT_FLOAT_EQ(cols.col[0].w, 250);
    EXPECT_FLOAT_EQ(cols.col[1].w, 170);
    EXPECT_FLOAT_EQ(cols.col[2].w, 192);
    // Columns after the first are indented from their own left edge.
    for (const auto& p : ps) {
        if (p->breakColumn()) {
            EXPECT_FLOAT_EQ(p->pProperty().ind.left, 0);
        }
    }
}

TEST(QXFlowPage, TwoColumnsOfRunningTextComeOutColumnByColumn)
{
    // Ten-point lines on twelve-point baselines, side by side.
    QXFlowRunList runs;
    for (int i = 0; i < 5; ++i) {
        const double bottom = 100 + 12 * i;
        runs.push_back(word("left" + formatInteger(i), 72, bottom, 230, 10));
        runs.push_back(word("right" + formatInteger(i), 312, bottom + 0.3, 230, 10));
    }
    auto page = pageWith(runs);
    std::vector<std::string> order;
    for (const auto& t : texts(*page))
        if (!t.empty())
            order.push_back(t);
    EXPECT_EQ(order, (std::vector<std::string>{"left0", "left1", "left2", "left3", "left4", "right0", "right1",
                                               "right2", "right3", "right4"}));
}

class TextPageWriting : public ::testing::Test {
protected:
    std::string path = test::makeTempDir() + "/out.txt";
    std::shared_ptr<QXTextFileWriter> writer = QXTextFileWriter::initWithPath(path);

    void writePage(const QXFlowRunList& runs)
    {
        QXTextPage page;
        page.initWithXMLWriter(writer, Size{612, 792}, false);
        page.begainWritePage(1);
        page.allRunTextArray() = runs;
        page.endWritePage(1);
    }
    std::string written()
    {
        writer->closeFile();
        return test::readFile(path);
    }
};

TEST_F(TextPageWriting, ParagraphsOnOneLineAreIndentedOthersBroken)
{
    QXTextPage page;
    page.initWithXMLWriter(writer, Size{612, 792}, false);
    auto paragraph = [](QXFlowRunList runs) {
        auto p = std::make_shared<QXTextParagraph>();
        p->initWithRunArray(std::vector<QXFlowRunRef>(runs.begin(), runs.end()));
        return p;
    };
    // Last runs 2.0 apart share a line, 2.01 apart do not. An empty
    // paragraph writes a line break of its own; the paragraph after it is
    // compared with the last run before it.
    page.paragraphArray() = {paragraph({word("a", 72, 62, 10)}), paragraph({word("b", 300, 64, 10)}),
                             paragraph({word("c", 300, 66.01, 10)}), paragraph({}),
                             paragraph({word("d", 72, 66.01, 10)})};
    page._writeParagraphs(*writer);
    EXPECT_EQ(written(), "a    b\nc\n\n    d");
}

TEST_F(TextPageWriting, PagesAreSeparatedByALineBreak)
{
    writePage({word("end", 72, 62, 10)});
    writePage({});
    writePage({word("next", 72, 62, 10)});
    EXPECT_EQ(written(), "end\nnext");
}

TEST_F(TextPageWriting, TextIsWrittenUnescaped)
{
    writePage({word("<a & b>", 72, 62, 40)});
    EXPECT_EQ(written(), "<a & b>");
}

TEST(QXTextFileWriter, AtMostFiveBreaksInARow)
{
    const std::string path = test::makeTempDir() + "/breaks.txt";
    auto writer = QXTextFileWriter::initWithPath(path);
    ASSERT_TRUE(writer);
    for (int i = 0; i < 8; ++i)
        writer->writeLinebreak();
    writer->write("x");
    writer->writeLinebreak();
    writer->writeIndentation();
    writer->write("    "); // four spaces of text count as an indentation
    for (int i = 0; i < 4; ++i)
        writer->writeLinebreak();
    writer->write("");
    writer->write("y");
    writer->closeFile();
    EXPECT_FALSE(writer->failed());
    EXPECT_EQ(test::readFile(path), "\n\n\n\n\nx\n        \n\ny");
}

TEST(QXTextFileWriter, AFileThatCannotBeCreatedIsReported)
{
    EXPECT_EQ(QXTextFileWriter::initWithPath("/nonexistent-folder-h11/x.txt"), nullptr);
    QXTextFileWriter writer;
    EXPECT_FALSE(writer.openPath("/nonexistent-folder-h11/x.txt"));
    writer.write("text");
    EXPECT_TRUE(writer.failed());
}

} // namespace
} // namespace rz
