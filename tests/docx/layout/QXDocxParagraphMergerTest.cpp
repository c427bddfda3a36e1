// Merging of hand-made one-line paragraphs as a section builds them: wrapped
// paragraphs joined, headings, lists and leader lines kept apart, the line
// pitch, height and edge tests, the alignment the search settles on, the
// blanks put between joined lines, and the merged paragraph's height,
// indents, column break and section break.
#include "docx/layout/QXDocxParagraphMerger.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "platform/text/Utf.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rz;
using ParagraphArray = QXDocxParagraphMerger::ParagraphArray;

namespace {

// A column from x 72 to 500.
const Rect kMergeColumn(72, 100, 428, 600);

struct LineShape {
    std::string text;
    double left = 72;
    double right = 500;
    double base = 110;
    double firstWordWidth = 10;        // the paragraph's first word, in points
    double height = 12;                // the line frame's height
    const char* font = "RzNoSuchInstalledFont";
    double yBefore = 0;
    double yHeight = 12;
    double yAfter = 2;
};

// A one-line paragraph of one run, as a section makes it for a line of a
// column. The font is not installed, so the first word's width comes from
// the run's inside spacing alone.
QXDocxParagraphPtr mergeParagraph(const LineShape& shape)
{
    static std::uint64_t scan = 0;
    auto run = test::makeTestRun(
        {shape.text, shape.left, shape.right, shape.base - 10, shape.height, shape.base, scan, scan, std::nullopt, 3});
    ++scan;
    QXDocx_RPr property = run->rProperty();
    QXDocxSetText(property.rFonts.ascii, shape.font);
    run->setRProperty(property);
    auto line = std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{run});
    // The first word takes its share of the run's inside spacing.
    const std::string word = shape.text.substr(0, shape.text.find(' '));
    if (!word.empty())
        run->setInsideSpacing(shape.firstWordWidth * static_cast<double>(utf16Length(shape.text)) /
                              static_cast<double>(utf16Length(word)));
    return std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{line}, shape.yBefore, shape.yHeight, shape.yAfter,
                                             kMergeColumn, 0, QXDocxUtilities::defaultSectPropertyHiden());
}

// One-line paragraphs with baselines 14 points apart from 110.
ParagraphArray column(std::vector<LineShape> shapes)
{
    ParagraphArray paragraphs;
    double base = 110;
    for (auto& shape : shapes) {
        shape.base = base;
        base += 14;
        paragraphs.push_back(mergeParagraph(shape));
    }
    return paragraphs;
}

std::vector<std::string> lineTexts(const QXDocxParagraphPtr& paragraph)
{
    std::vector<std::string> texts;
    for (const auto& line : paragraph->lineArray())
        texts.push_back(line->lineText());
    return texts;
}

// The sizes of the groups the column pass makes.
std::vector<std::size_t> groupSizes(const ParagraphArray& merged)
{
    std::vector<std::size_t> sizes;
    for (const auto& paragraph : merged)
        sizes.push_back(paragraph ? paragraph->lineArray().size() : 0);
    return sizes;
}

const std::vector<LineShape> kWrapped = {
    {"Paragraphs of running text are cut", 72, 500},
    {"into lines by the program that", 72, 497},
    {"drew them, and the converter joins", 72, 499},
    {"them again.", 72, 300},
};

} // namespace

TEST(QXDocxParagraphMergerTest, WrappedLeftParagraphOfFourLinesBecomesOne)
{
    const ParagraphArray paragraphs = column(kWrapped);
    const ParagraphArray merged = QXDocxParagraphMerger::mergeParagraphsIfNeed(paragraphs);
    ASSERT_EQ(merged.size(), 1u);
    const auto& paragraph = merged.front();
    ASSERT_EQ(paragraph->lineArray().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(paragraph->lineArray()[i], paragraphs[i]->firstRunLineText()) << i;
    EXPECT_EQ(paragraph->pProperty().jc, 0);
    // Each line end but the last gets one blank, so the words stay apart
    // when the word processor wraps the text itself.
    EXPECT_EQ(lineTexts(paragraph), (std::vector<std::string>{"Paragraphs of running text are cut ",
                                                              "into lines by the program that ",
                                                              "drew them, and the converter joins ", "them again."}));
    EXPECT_NE(paragraph->paragraphText().find("cut into"), std::string::npos) << paragraph->paragraphText();
}

TEST(QXDocxParagraphMergerTest, ColumnsThatStayApart)
{
    struct Case {
        const char* name;
        std::vector<LineShape> lines;
        std::vector<std::size_t> groups;   // lines per resulting paragraph
    };
    auto wrappedAfter = [](LineShape first) {
        std::vector<LineShape> lines{std::move(first)};
        lines.insert(lines.end(), kWrapped.begin(), kWrapped.end());
        return lines;
    };
    const std::vector<Case> cases = {
        {"heading in another font", wrappedAfter({"A heading of the chapter", 72, 499, 110, 10, 12, "RzOtherFont"}),
         {1, 4}},
        {"bulleted list",
         {{"\u2022 the first item of a list runs", 72, 500},
          {"\u2022 the second item of the list", 72, 499},
          {"\u2022 the third item", 72, 300}},
         {1, 1, 1}},
        {"numbered list of short items",
         {{"1. Install the package", 72, 220, 110, 8}, {"2. Configure the service", 72, 240, 110, 8},
          {"3. Start the service now", 72, 260, 110, 8}},
         {1, 1, 1}},
        // A leader line stays alone, also at the head of a group.
        {"table of contents",
         {{"Introduction .......... 1", 72, 500}, {"Getting started ...... 4", 72, 500}, {"Index \u00B7\u00B7\u00B7\u00B7 9", 72, 500}},
         {1, 1, 1}},
        {"leader line ahead of running text", wrappedAfter({"Contents .......... 3", 72, 500}), {1, 4}},
        // Marks end the group above them but may start one.
        {"label starts a group", {{"Note: a line of running text that", 72, 500}, {"wraps to the next line.", 72, 300}},
         {2}},
        {"label under running text", {{"A line of running text that wraps", 72, 500}, {"Note: the rest", 72, 300}}, {1, 1}},
        {"line starting with o", {{"A line of running text that wraps", 72, 500}, {"of the lines", 72, 300}}, {1, 1}},
        {"line starting with a dot", {{"A line of running text that wraps", 72, 500}, {".hidden files", 72, 300}}, {1, 1}},
        {"line holding an ellipsis",
         {{"A line of running text that wraps", 72, 500}, {"and so on\u2026 more", 72, 300}},
         {1, 1}},
        {"line starting with o can start a group",
         {{"one line of running text that wraps", 72, 500}, {"and a second line", 72, 300}},
         {2}},
        {"blank paragraph between", {{"A line of running text that wraps", 72, 500}, {"", 72, 72}, {"next line", 72, 300}},
         {1, 0, 1}},
        // The first word of the next line would have fitted on the line above.
        {"line above shorter than the text", {{"A short line of text", 72, 250}, {"and its longer neighbour", 72, 300}},
         {1, 1}},
        // A wide one-character line is allowed after running text, but two in
        // a row are not merged.
        {"two one-character lines",
         {{"A line of running text that wraps", 72, 500}, {"A", 72, 495}, {"B", 72, 495}},
         {2, 1}},
    };
    for (const auto& c : cases) {
        ParagraphArray paragraphs;
        double base = 110;
        for (auto shape : c.lines) {
            shape.base = base;
            base += 14;
            if (shape.text.empty()) {
                paragraphs.push_back(std::make_shared<QXDocxParagraph>());
                continue;
            }
            paragraphs.push_back(mergeParagraph(shape));
        }
        const ParagraphArray merged = QXDocxParagraphMerger::mergeParagraphsIfNeed(paragraphs);
        EXPECT_EQ(groupSizes(merged), c.groups) << c.name;
        // Paragraphs left alone are the same objects.
        std::size_t at = 0;
        for (std::size_t i = 0; i < merged.size() && i < c.groups.size(); ++i) {
            if (c.groups[i] <= 1) {
                EXPECT_EQ(merged[i], paragraphs[at]) << c.name << " " << i;
            }
            at += std::max<std::size_t>(c.groups[i], 1);
        }
    }
}

TEST(QXDocxParagraphMergerTest, LinePitchAndHeightEndGroups)
{
    struct Case {
        const char* name;
        std::vector<double> baseSteps;     // baseline distance to the line above
        std::vector<double> heights;       // line frame heights
        std::size_t firstGroup;
    };
    const std::vector<Case> cases = {
        {"steady pitch", {14, 14}, {12, 12, 12}, 3},
        {"third line 16.5 below", {14, 16.5}, {12, 12, 12}, 2},
        {"third line 15.9 below", {14, 15.9}, {12, 12, 12}, 3},
        {"third line 11.9 below", {14, 11.9}, {12, 12, 12}, 2},
        {"12 after 10 points", {14}, {10, 12}, 2},
        {"12.5 after 10 points", {14}, {10, 12.5}, 1},
        {"8 after 10 points", {14}, {10, 8}, 2},
        {"7.9 after 10 points", {14}, {10, 7.9}, 1},
    };
    const std::vector<std::pair<double, double>> edges = {{72, 500}, {72, 497}, {72, 300}};
    const char* texts[] = {"The first line of running text", "continues on the second line", "and ends here."};
    for (const auto& c : cases) {
        ParagraphArray paragraphs;
        double base = 110;
        for (std::size_t i = 0; i < c.heights.size(); ++i) {
            if (i > 0)
                base += c.baseSteps[i - 1];
            LineShape shape{texts[i], edges[i].first, edges[i].second, base};
            shape.height = c.heights[i];
            shape.yAfter = 4;   // enough height for the pitch test
            paragraphs.push_back(mergeParagraph(shape));
        }
        EXPECT_EQ(QXDocxParagraphMerger::findMergeParagraphs(paragraphs).size(), c.firstGroup) << c.name;
    }
}

TEST(QXDocxParagraphMergerTest, TooLittleHeightForThePitchEndsTheGroup)
{
    // 2 × 14 − 1 = 27: paragraphs of 13.5 each fall short, 13.6 each pass.
    for (const auto& [yAfter, size] : std::vector<std::pair<double, std::size_t>>{{1.5, 1}, {1.6, 2}}) {
        std::vector<LineShape> shapes(kWrapped.begin(), kWrapped.begin() + 2);
        for (auto& shape : shapes)
            shape.yAfter = yAfter;
        EXPECT_EQ(QXDocxParagraphMerger::findMergeParagraphs(column(shapes)).size(), size) << yAfter;
    }
}

TEST(QXDocxParagraphMergerTest, LineWithoutSingleLineHeightMustMatchItsSpacing)
{
    struct Case {
        double wordSingleLineHeight;
        float line;                        // the candidate's line value; before and after 0
        std::size_t size;
    };
    const std::vector<Case> cases = {
        {0.5, 12, 2}, {0.5, 14, 2}, {0.5, 14.5, 1}, {14, 14.5, 2},
    };
    for (const auto& c : cases) {
        const ParagraphArray paragraphs = column({kWrapped[0], kWrapped[1]});
        QXDocx_PPr property = paragraphs[1]->pProperty();
        property.spacing.before = 0;
        property.spacing.after = 0;
        property.spacing.line = c.line;
        paragraphs[1]->setPProperty(property);
        paragraphs[1]->firstRunLineText()->setWordSingleLineHeight(c.wordSingleLineHeight);
        EXPECT_EQ(QXDocxParagraphMerger::findMergeParagraphs(paragraphs).size(), c.size)
            << c.wordSingleLineHeight << " " << c.line;
    }
}

TEST(QXDocxParagraphMergerTest, LeftEdges)
{
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> edges;
        std::size_t size;
    };
    const std::vector<Case> cases = {
        {"second line 20 left of an indented first", {{92, 500}, {72, 498}, {72, 300}}, 3},
        {"third line 20 left of the second", {{92, 500}, {92, 497}, {72, 300}}, 2},
        {"second line 1.5 right", {{72, 500}, {73.5, 480}}, 1},
        {"third line 1.5 right", {{72, 500}, {72, 497}, {73.5, 300}}, 2},
        {"third line 0.9 right", {{72, 500}, {72, 497}, {72.9, 300}}, 3},
    };
    const char* texts[] = {"The first line of running text", "continues on the second line", "and ends here."};
    for (const auto& c : cases) {
        std::vector<LineShape> shapes;
        for (std::size_t i = 0; i < c.edges.size(); ++i)
            shapes.push_back({texts[i], c.edges[i].first, c.edges[i].second});
        const ParagraphArray paragraphs = column(shapes);
        const ParagraphArray group = QXDocxParagraphMerger::findMergeParagraphs(paragraphs);
        EXPECT_EQ(group.size(), c.size) << c.name;
        if (group.size() > 1) {
            EXPECT_EQ(group.front()->pProperty().jc, 0) << c.name;
        }
    }
}

TEST(QXDocxParagraphMergerTest, RightAndCentreEdges)
{
    // Lines wide enough to have needed the next line's first word.
    struct Case {
        const char* name;
        std::vector<LineShape> lines;
        std::size_t size;
        std::int32_t jc;
    };
    const std::vector<Case> cases = {
        {"right edge 1.5 beyond the line above",
         {{"A line set to the right", 250, 500}, {"and its continuation", 300, 500.5}, {"and the end", 310, 502, 110, 60}},
         2, 1},
        {"right edge 0.4 beyond the line above",
         {{"A line set to the right", 250, 500}, {"and its continuation", 300, 500.5}, {"and the end", 310, 500.9, 110, 60}},
         3, 1},
        {"centre 1.5 off the line above",
         {{"A centred line of text", 200, 400}, {"and its middle", 250, 350}, {"and the end", 231.5, 371.5, 110, 110}},
         2, 2},
        {"centre 0.9 off the line above",
         {{"A centred line of text", 200, 400}, {"and its middle", 250, 350}, {"and the end", 230.9, 370.9, 110, 110}},
         3, 2},
    };
    for (const auto& c : cases) {
        const ParagraphArray group = QXDocxParagraphMerger::findMergeParagraphs(column(c.lines));
        EXPECT_EQ(group.size(), c.size) << c.name;
        EXPECT_EQ(group.front()->pProperty().jc, c.jc) << c.name;
    }
}

TEST(QXDocxParagraphMergerTest, RecognisedAlignmentStandsWhenTheNextCandidateFails)
{
    // Two lines sharing the right edge read as right aligned; with a third
    // line under the second's left edge the three read as justified. The
    // third line's first word would have fitted above, so it stays out,
    // but the two keep the justified alignment.
    const ParagraphArray paragraphs = column({{"A line set to the right side", 300, 500},
                                              {"and its continuation", 350, 500.5},
                                              {"x and more words", 350, 420, 110, 0.5}});
    const ParagraphArray group = QXDocxParagraphMerger::findMergeParagraphs(paragraphs);
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(paragraphs[0]->pProperty().jc, 3);
    EXPECT_EQ(QXDocxParagraphMerger::mergeParagraphs(group)->pProperty().jc, 3);

    // The two alone stay right aligned.
    const ParagraphArray two = column({{"A line set to the right side", 300, 500}, {"and its continuation", 350, 500.5}});
    ASSERT_EQ(QXDocxParagraphMerger::findMergeParagraphs(two).size(), 2u);
    EXPECT_EQ(two[0]->pProperty().jc, 1);
}

TEST(QXDocxParagraphMergerTest, SmallColumnsAndGroups)
{
    EXPECT_TRUE(QXDocxParagraphMerger::mergeParagraphsIfNeed(ParagraphArray{}).empty());
    const ParagraphArray one = column({kWrapped[0]});
    const QXDocx_PPr before = one[0]->pProperty();
    const ParagraphArray merged = QXDocxParagraphMerger::mergeParagraphsIfNeed(one);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0], one[0]);
    EXPECT_EQ(merged[0]->lineArray().size(), 1u);
    EXPECT_EQ(merged[0]->firstRunLineText()->lineText(), kWrapped[0].text);
    EXPECT_EQ(merged[0]->pProperty().jc, before.jc);
    EXPECT_FLOAT_EQ(merged[0]->pProperty().ind.left, before.ind.left);

    EXPECT_EQ(QXDocxParagraphMerger::findMergeParagraphs(one), one);
    EXPECT_EQ(QXDocxParagraphMerger::mergeParagraphs(one), one[0]);
    EXPECT_EQ(QXDocxParagraphMerger::mergeParagraphs({}), nullptr);

    // A blank paragraph at the head of a column stays alone.
    const ParagraphArray wrapped = column(kWrapped);
    ParagraphArray blankFirst{std::make_shared<QXDocxParagraph>()};
    blankFirst.insert(blankFirst.end(), wrapped.begin(), wrapped.end());
    const ParagraphArray result = QXDocxParagraphMerger::mergeParagraphsIfNeed(blankFirst);
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0], blankFirst[0]);
    EXPECT_EQ(result[1]->lineArray().size(), 4u);

    // Missing paragraphs neither join nor end the pass.
    const ParagraphArray withNull{wrapped[0], nullptr, wrapped[1]};
    EXPECT_EQ(QXDocxParagraphMerger::mergeParagraphsIfNeed(withNull), withNull);
}

TEST(QXDocxParagraphMergerTest, LineEndsJoinedWithOneBlankWhereNeeded)
{
    struct Case {
        const char* name;
        std::string a, b;
        std::string joinedA;               // the first line's text afterwards
    };
    const std::vector<Case> cases = {
        {"letters", "ends with a word", "begins with one", "ends with a word "},
        {"blank already at the end", "ends with a blank ", "begins with one", "ends with a blank "},
        {"blank at the start", "ends with a word", " begins with a blank", "ends with a word"},
        {"Chinese text", "\u4E2D\u6587\u7684\u7B2C\u4E00\u884C", "\u7B2C\u4E8C\u884C\u6587\u5B57",
         "\u4E2D\u6587\u7684\u7B2C\u4E00\u884C"},
        {"Chinese before Latin", "\u4E2D\u6587\u7684\u7B2C\u4E00\u884C", "Latin", "\u4E2D\u6587\u7684\u7B2C\u4E00\u884C "},
        {"Latin before Chinese", "Latin", "\u7B2C\u4E8C\u884C\u6587\u5B57", "Latin "},
        {"full-width punctuation before Chinese", "\u6587\u5B57\u3002", "\u7B2C\u4E8C\u884C", "\u6587\u5B57\u3002"},
        // A word broken at a line-end hyphen runs on, the hyphen made soft;
        // a dash, a number range or a capital after the hyphen still gets
        // the blank.
        {"broken word", "a hydrody-", "namical code", "a hydrody\u00AD"},
        {"Unicode hyphen", "special\u2010", "ized", "special\u00AD"},
        {"soft hyphen", "special\u00AD", "ized", "special\u00AD"},
        {"dash between blanks", "one -", "two", "one - "},
        {"number range", "pages 3-", "7 and more", "pages 3- "},
        {"capital after the hyphen", "Trace-", "Monkey", "Trace- "},
    };
    for (const auto& c : cases) {
        const ParagraphArray group = column({{c.a, 72, 500}, {c.b, 72, 300}});
        const auto merged = QXDocxParagraphMerger::mergeParagraphs(group);
        ASSERT_EQ(merged->lineArray().size(), 2u) << c.name;
        EXPECT_EQ(merged->lineArray()[0]->lineText(), c.joinedA) << c.name;
        EXPECT_EQ(merged->lineArray()[1]->lineText(), c.b) << c.name;
    }
}

TEST(QXDocxParagraphMergerTest, MergedParagraphSpansTheGroupAndCarriesItsBreaks)
{
    std::vector<LineShape> shapes(kWrapped);
    shapes[0].yBefore = 6;
    shapes[0].yAfter = 2;
    shapes[1].yAfter = 3;
    shapes[2].yBefore = 1;
    shapes[3].yAfter = 9;
    const ParagraphArray group = column(shapes);
    QXDocx_SectPr section = group[0]->sectProperty();
    section.shouldWrite = true;
    group[0]->setSectProperty(section);
    group[2]->setBreakColumn(true);
    QXDocx_RPr mark = group[0]->rProperty();
    mark.sz = 17;
    group[0]->setRProperty(mark);

    const auto merged = QXDocxParagraphMerger::mergeParagraphs(group);
    EXPECT_DOUBLE_EQ(merged->yBefore(), 6);
    // 6 + 12 + 2, 12 + 3, 1 + 12 + 2, 12 + 9: 71 in all.
    EXPECT_DOUBLE_EQ(merged->yHeight(), 71 - 6 - 9);
    EXPECT_DOUBLE_EQ(merged->yAfter(), 9);
    EXPECT_TRUE(merged->breakColumn());
    EXPECT_TRUE(merged->sectProperty().shouldWrite);
    EXPECT_EQ(merged->rProperty().sz, 17);
    EXPECT_EQ(merged->columnFrame(), kMergeColumn);

    // The section break of a later member is dropped; no member breaks the
    // column.
    const ParagraphArray other = column(kWrapped);
    QXDocx_SectPr later = other[3]->sectProperty();
    later.shouldWrite = true;
    other[3]->setSectProperty(later);
    const auto plain = QXDocxParagraphMerger::mergeParagraphs(other);
    EXPECT_FALSE(plain->sectProperty().shouldWrite);
    EXPECT_FALSE(plain->breakColumn());
}

TEST(QXDocxParagraphMergerTest, MergedIndents)
{
    // Column right edge 500, text right edge 450.6 (on the last line, which
    // gets no blank at its end).
    {
        const ParagraphArray group =
            column({{"An indented first line of text", 92, 440}, {"continued by the rest of it", 72, 450.6, 110, 20}});
        ASSERT_EQ(QXDocxParagraphMerger::findMergeParagraphs(group).size(), 2u);
        const auto merged = QXDocxParagraphMerger::mergeParagraphs(group);
        EXPECT_EQ(merged->pProperty().jc, 0);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.left, 0);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.firstLine, 20);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.right, 48);
    }
    {
        // A hanging first line: the first line starts left of the rest.
        ParagraphArray group = column({{"A hanging first line of text", 72, 450.6}, {"and the rest of it", 90.5, 440}});
        QXDocx_PPr property = group[0]->pProperty();
        property.jc = 0;
        group[0]->setPProperty(property);
        const auto merged = QXDocxParagraphMerger::mergeParagraphs(group);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.left, 18);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.firstLine, -18);
    }
    {
        const ParagraphArray group =
            column({{"A centred line of the text ", 150, 450.6}, {"and its shorter end", 160, 440.6}});
        ASSERT_EQ(QXDocxParagraphMerger::findMergeParagraphs(group).size(), 2u);
        const auto merged = QXDocxParagraphMerger::mergeParagraphs(group);
        EXPECT_EQ(merged->pProperty().jc, 2);
        // The smallest left indent, the first line's included.
        EXPECT_FLOAT_EQ(merged->pProperty().ind.left, 78);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.firstLine, 0);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.right, 49);
    }
    {
        // Text reaching the column's edge keeps the resolved right indent.
        const ParagraphArray group = column({{"A line that fills the column", 72, 500}, {"and the rest of it", 72, 440}});
        const float resolved = group[0]->pProperty().ind.right;
        const auto merged = QXDocxParagraphMerger::mergeParagraphs(group);
        EXPECT_FLOAT_EQ(merged->pProperty().ind.right, resolved);
    }
}

TEST(QXDocxParagraphMergerTest, ColumnOfWriterObjectsMergesEachStretchOfParagraphs)
{
    // Anything other than a paragraph, such as a table, stays in place.
    struct Other : QXDocxWriterObject {
        void writeWithXMLWriter(XMLFileWriter&) override {}
        std::shared_ptr<QXDocxWriterObject> copy() const override { return std::make_shared<Other>(*this); }
    };
    const ParagraphArray above = column(kWrapped);
    const ParagraphArray below = column({kWrapped[0], kWrapped[1]});
    const auto other = std::make_shared<Other>();
    QXDocxParagraphMerger::WriterObjectArray objects(above.begin(), above.end());
    objects.push_back(other);
    objects.insert(objects.end(), below.begin(), below.end());

    const auto merged = QXDocxParagraphMerger::mergeParagraphsIfNeed(objects);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(std::dynamic_pointer_cast<QXDocxParagraph>(merged[0])->lineArray().size(), 4u);
    EXPECT_EQ(merged[1], other);
    EXPECT_EQ(std::dynamic_pointer_cast<QXDocxParagraph>(merged[2])->lineArray().size(), 2u);
}
