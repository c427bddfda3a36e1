// Paragraphs built from hand-made text lines: the run groups and text, the
// spacing and pitch resolved from the lines' measures, the content frame
// and first word, the queries on lines, and whole paragraphs written as
// XML that xmllint accepts and python-docx reads back in order.
#include "docx/layout/QXDocxParagraph.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxRunTab.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace rz;
using test::writeWordprocessingML;

namespace {

// A line run (see makeLineRun) in a font that is not installed, so measured
// widths are 0.
QXDocxRunTextPtr paragraphRun(const std::string& text, double left, double right, double base, std::uint64_t scan)
{
    auto run = test::makeLineRun(text, left, right, base, scan);
    QXDocx_RPr property = run->rProperty();
    QXDocxSetText(property.rFonts.ascii, "RzNoSuchInstalledFont");
    run->setRProperty(property);
    return run;
}

// Three lines 14 points apart, each of two words; the first two lines end
// with a blank.
std::vector<QXDocxRunTextLinePtr> threeLines(std::uint64_t scan = 0)
{
    std::vector<QXDocxRunTextLinePtr> lines;
    const char* words[3][2] = {{"Hello", "world "}, {"second", "line "}, {"third", "one"}};
    for (int i = 0; i < 3; ++i) {
        const double base = 100 + 14 * i;
        auto a = paragraphRun(words[i][0], 72, 102, base, scan++);
        auto b = paragraphRun(words[i][1], 105, 135, base, scan++);
        lines.push_back(std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{a, b}));
    }
    return lines;
}

std::vector<std::string> groupTexts(const QXDocxRunGroup& group)
{
    std::vector<std::string> texts;
    for (const auto& run : group) {
        if (const auto* text = dynamic_cast<const QXDocxRunText*>(run.get()))
            texts.push_back(text->runText());
        else if (dynamic_cast<const QXDocxRunTab*>(run.get()))
            texts.push_back("<tab>");
    }
    return texts;
}

} // namespace

TEST(QXDocxParagraphFromLinesTest, ThreeLinesMakeGroupsTextSpacingAndFrame)
{
    const auto lines = threeLines();
    QXDocx_SectPr section = QXDocxUtilities::defaultSectPropertyHiden();
    section.shouldWrite = true;
    QXDocxParagraph paragraph(lines, 6, 42, 0, Rect(72, 72, 468, 648), QXDocxJustificationBoth, section);

    ASSERT_EQ(paragraph.lineArray().size(), 3u);
    EXPECT_EQ(paragraph.lineArray()[1], lines[1]);
    EXPECT_FALSE(paragraph.sectProperty().shouldWrite);
    EXPECT_EQ(paragraph.pProperty().jc, QXDocxJustificationBoth);

    // A gap of 3 points after a word with a 3-point blank: a blank is added.
    ASSERT_EQ(paragraph.writeRunGroupArray().size(), 3u);
    EXPECT_EQ(groupTexts(paragraph.writeRunGroupArray()[0]), (std::vector<std::string>{"Hello ", "world "}));
    EXPECT_EQ(groupTexts(paragraph.writeRunGroupArray()[2]), (std::vector<std::string>{"third ", "one"}));
    EXPECT_EQ(paragraph.paragraphText(), "Hello world second line third one");

    // Lines 14 points apart with a single-line height of 14: pitch 14, auto.
    EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.line, 14);
    EXPECT_EQ(QXDocxText(paragraph.pProperty().spacing.lineRule), "auto");
    EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.before, 6);
    EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.after, 0);
    EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.word1LineHeight, 14);
    EXPECT_EQ(QXDocxText(paragraph.rProperty().rFonts.ascii), "RzNoSuchInstalledFont");

    EXPECT_EQ(paragraph.contentFrame(), Rect(72, 90, 63, 40));
    EXPECT_EQ(paragraph.firstWord(), "Hello");
    EXPECT_FALSE(paragraph.isParagraphBlankText());
    EXPECT_EQ(paragraph.firstRunLineText(), lines[0]);
    EXPECT_DOUBLE_EQ(paragraph.firstLineTextWidth(), 30 + 33);  // "Hello " took its blank
    EXPECT_EQ(paragraph.allRunTextArray().size(), 6u);
}

// What a user's tools read: the w:p passes xmllint, and python-docx reads
// the paragraph's text in order.
TEST(QXDocxParagraphFromLinesTest, WrittenParagraphReadsBackInOrder)
{
    QXDocxParagraph paragraph(threeLines(), 0, 42, 0, Rect(72, 72, 468, 648), QXDocxJustificationLeft,
                              QXDocxUtilities::defaultSectPropertyHiden());
    const std::string xml =
        writeWordprocessingML([&](XMLFileWriter& w) { paragraph.writeWithXMLWriter(w); });
    const std::size_t hello = xml.find(">Hello <");
    const std::size_t second = xml.find(">second <");
    const std::size_t one = xml.find(">one<");
    ASSERT_NE(hello, std::string::npos) << xml;
    EXPECT_LT(hello, second);
    EXPECT_LT(second, one);
    EXPECT_EQ(xml.rfind("<w:p>", 0), 0u) << xml;

    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python3-docx is not installed";
    bool ran = false;
    const std::string out = test::readFirstParagraphWithPythonDocx(
        [&](XMLFileWriter& writer) {
            paragraph.writeWithXMLWriter(writer);
        },
        "print(repr(p.text), p.paragraph_format.line_spacing)\n", ran);
    ASSERT_TRUE(ran) << out;
    EXPECT_EQ(out, "'Hello world second line third one' 1.0\n");
}

// One line: a wide gap becomes a tab and the paragraph is written
// left-aligned with a tab stop; the indent is the line's left from the column.
TEST(QXDocxParagraphFromLinesTest, OneLineWithAWideGapWritesATab)
{
    auto name = paragraphRun("Name", 100, 130, 100, 0);
    auto value = paragraphRun("Value", 200, 230, 100, 1);
    auto line = std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{name, value});
    EXPECT_EQ(line->lineText(), "Name Value");
    QXDocxParagraph paragraph({line}, 0, 12, 0, Rect(72, 72, 468, 648), QXDocxJustificationCenter,
                              QXDocxUtilities::defaultSectPropertyHiden());
    EXPECT_EQ(paragraph.paragraphText(), "Name\tValue");
    ASSERT_EQ(paragraph.writeRunGroupArray().size(), 1u);
    EXPECT_EQ(groupTexts(paragraph.writeRunGroupArray()[0]), (std::vector<std::string>{"Name", "<tab>", "Value"}));
    EXPECT_FLOAT_EQ(paragraph.pProperty().ind.left, 28);
    const std::string xml =
        writeWordprocessingML([&](XMLFileWriter& w) { paragraph.writeWithXMLWriter(w); });
    EXPECT_NE(xml.find(R"(<w:tab w:val="left" w:pos="2560"/>)"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<w:tab/>"), std::string::npos) << xml;
    EXPECT_EQ(paragraph.pProperty().jc, QXDocxJustificationLeft);
}

// A run drawn over most of the run before it, in the same formatting, is
// merged into it by the text line's merge.
TEST(QXDocxParagraphFromLinesTest, OverlappingLookAlikeRunsMerge)
{
    auto first = paragraphRun("ab", 100, 120, 100, 0);
    auto over = paragraphRun("cd", 101, 121, 100, 5);
    QXDocxRunTextLine line;
    line.addRunTextArray({first, over});  // kept as given, not processed
    QXDocxParagraph paragraph({std::make_shared<QXDocxRunTextLine>(line)});
    ASSERT_EQ(paragraph.writeRunGroupArray().size(), 1u);
    ASSERT_EQ(paragraph.writeRunGroupArray()[0].size(), 1u);
    EXPECT_EQ(paragraph.writeRunGroupArray()[0][0], first);
    EXPECT_EQ(first->runText(), "abcd");
    EXPECT_EQ(first->ctmInfo().frame, Rect(100, 90, 21, 12));
    EXPECT_EQ(paragraph.paragraphText(), "abcd");
    // The line keeps the merged run alone: a text box paragraph writes the
    // text once.
    EXPECT_EQ(paragraph.allRunTextArray(), (QXDocxRunTextArray{first}));
    paragraph.convertToWriteRunArrayFloatRunPict();
    const std::string xml =
        writeWordprocessingML([&](XMLFileWriter& w) { paragraph.writeWithXMLWriter(w); });
    EXPECT_NE(xml.find(">abcd<"), std::string::npos) << xml;
    EXPECT_EQ(xml.find(">cd<"), std::string::npos) << xml;
}

// A trailing blank split off a run is inserted into the line's own runs.
TEST(QXDocxParagraphFromLinesTest, SplitBlankJoinsTheLineRuns)
{
    auto word = paragraphRun("word", 100, 130, 100, 0);
    word->setPdfScanLength(2);
    auto next = paragraphRun("next", 133, 160, 100, 2);
    QXDocxRunTextLine built;
    built.addRunTextArray({word, next});
    auto line = std::make_shared<QXDocxRunTextLine>(built);
    auto other = std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{paragraphRun("x", 100, 106, 114, 3)});
    QXDocxParagraph paragraph({line, other});
    ASSERT_EQ(line->runTextArray().size(), 3u);
    EXPECT_EQ(line->runTextArray()[1]->runText(), " ");
    EXPECT_EQ(groupTexts(paragraph.writeRunGroupArray()[0]), (std::vector<std::string>{"word", " ", "next"}));
    EXPECT_EQ(paragraph.paragraphText(), "word nextx");
}

TEST(QXDocxParagraphFromLinesTest, QueriesAndChangesOnLines)
{
    QXDocxParagraph empty(std::vector<QXDocxRunTextLinePtr>{});
    EXPECT_TRUE(empty.isParagraphBlankText());
    EXPECT_EQ(empty.firstRunLineText(), nullptr);
    EXPECT_EQ(empty.firstLineTextWidth(), 0);
    EXPECT_TRUE(empty.allRunTextArray().empty());
    EXPECT_TRUE(empty.writeRunGroupArray().empty());
    EXPECT_EQ(empty.paragraphText(), "");
    EXPECT_TRUE(QXPPropertyIsEqual(empty.pProperty(), QXDocxUtilities::defaultPProperty()));

    // Runs added to a paragraph without lines make its first line.
    auto a = paragraphRun(" \t", 100, 110, 100, 0);
    empty.addRunTextArray({a});
    ASSERT_EQ(empty.lineArray().size(), 1u);
    EXPECT_TRUE(empty.isParagraphBlankText());
    auto b = paragraphRun("b", 120, 126, 100, 1);
    empty.addRunTextArray({b});
    ASSERT_EQ(empty.lineArray().size(), 1u);
    EXPECT_EQ(empty.lineArray()[0]->runTextArray().size(), 2u);
    EXPECT_DOUBLE_EQ(empty.firstLineTextWidth(), 16);

    // Paragraphs of text boxes write every run of every line in one group.
    QXDocxParagraph boxed(threeLines());
    boxed.convertToWriteRunArrayFloatRunPict();
    ASSERT_EQ(boxed.writeRunGroupArray().size(), 1u);
    EXPECT_EQ(boxed.writeRunGroupArray()[0].size(), 6u);
    EXPECT_EQ(boxed.writeRunGroupArray()[0].back(), boxed.lineArray()[2]->runTextArray().back());
}

// The first word's width takes its share of the first run's inside
// spacing; a measured width of 0 (font not installed) leaves just that.
TEST(QXDocxParagraphFromLinesTest, FirstWordTakesItsShareOfInsideSpacing)
{
    auto run = paragraphRun("Hi there", 100, 140, 100, 0);
    run->setInsideSpacing(4);
    QXDocxParagraph paragraph({std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{run})});
    EXPECT_EQ(paragraph.firstWord(), "Hi");
    EXPECT_DOUBLE_EQ(paragraph.firstWordWidth(), 2 * 4.0 / 8);

    auto blank = paragraphRun("   ", 100, 110, 100, 0);
    QXDocxParagraph none({std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{blank})});
    EXPECT_EQ(none.firstWord(), "");
    EXPECT_EQ(none.firstWordWidth(), 0);
    EXPECT_TRUE(none.isParagraphBlankText());
}

// The spacing pass reads the lines: the first line's single-line height,
// blank top and frame, and the mean distance between line bottoms.
TEST(QXDocxParagraphFromLinesTest, SpacingComesFromTheLinesMeasures)
{
    struct Case {
        const char* name;
        std::vector<double> bases;  // one line per baseline
        double blankTop;
        double yBefore, yHeight, yAfter;
        float before, line, after;
        const char* rule;
    };
    const Case cases[] = {
        // One line, measured, its blank top within the space above.
        {"one line", {100}, 2, 5, 12, 6, 3, 14, 6, "auto"},
        // Bottoms 1.26 single-line heights apart snap to 1.5.
        {"pitch of one and a half", {100, 117.64}, 0, 0, 42, 0, 0, 21, 0, "auto"},
        // Bottoms 1.24 single-line heights apart snap to 1.
        {"pitch of one", {100, 117.36}, 0, 0, 28, 0, 0, 14, 0, "auto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<QXDocxRunTextLinePtr> lines;
        std::uint64_t scan = 0;
        for (double base : c.bases) {
            auto run = paragraphRun("text", 90, 120, base, scan++);
            run->setWordSingleLineBlankTop(c.blankTop);
            lines.push_back(std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{run}));
        }
        QXDocxParagraph paragraph(lines, c.yBefore, c.yHeight, c.yAfter, Rect(72, 72, 468, 648), 0,
                                  QXDocxUtilities::defaultSectPropertyHiden());
        EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.before, c.before);
        EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.line, c.line);
        EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.after, c.after);
        EXPECT_EQ(QXDocxText(paragraph.pProperty().spacing.lineRule), c.rule);
        EXPECT_FLOAT_EQ(paragraph.pProperty().spacing.word1LineHeight, 14);
        if (c.bases.size() == 1) {
            EXPECT_FLOAT_EQ(paragraph.pProperty().ind.left, 18);
        }
        EXPECT_DOUBLE_EQ(paragraph.resolvedHeight(), c.line - QXDocxUtilities::defaultPProperty().spacing.line);
    }
}
