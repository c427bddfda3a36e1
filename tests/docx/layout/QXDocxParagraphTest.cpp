// The paragraph object: blank paragraphs that fill a height, the changes
// the section makes, tab stops from tab runs, copies, and whole paragraphs
// as written XML (each passing xmllint inside a w:document).
#include "docx/layout/QXDocxParagraph.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxRunTab.h"
#include "docx/layout/QXDocxRunText.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rz;
using test::writeWordprocessingML;

namespace {

const std::string kParagraphFonts =
    R"(<w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" w:eastAsia="Times New Roman"/>)";

std::string paragraphRPrOfSize(int halfPoints)
{
    const std::string size = std::to_string(halfPoints);
    return "<w:rPr>" + kParagraphFonts + "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size +
           R"("/><w:color w:val="000000"/><w:noProof/></w:rPr>)";
}

std::string writtenParagraph(QXDocxParagraph& paragraph)
{
    return writeWordprocessingML([&](XMLFileWriter& w) { paragraph.writeWithXMLWriter(w); });
}

} // namespace

TEST(QXDocxParagraphTest, NewParagraphHasDefaults)
{
    const QXDocxParagraph paragraph;
    EXPECT_TRUE(QXPPropertyIsEqual(paragraph.pProperty(), QXDocxUtilities::defaultPProperty()));
    EXPECT_TRUE(QXRPropertyIsEqual(paragraph.rProperty(), QXDocxUtilities::defaultRProperty()));
    EXPECT_FALSE(paragraph.sectProperty().shouldWrite);
    EXPECT_FALSE(paragraph.breakColumn());
    EXPECT_EQ(paragraph.resolvedHeight(), 0);
    EXPECT_TRUE(paragraph.lineArray().empty());
    EXPECT_TRUE(paragraph.writeRunGroupArray().empty());
    EXPECT_EQ(paragraph.paragraphText(), "");
    EXPECT_EQ(paragraph.firstWord(), "");
    EXPECT_FALSE(paragraph.haveRunTab());
    EXPECT_EQ(paragraph.tabsPropertyInParagraph().count(), 0);
}

TEST(QXDocxParagraphTest, BlankParagraphsFillTheHeight)
{
    struct Case {
        const char* name;
        double height, spaceLine;
        float markSize;
        std::vector<double> lines;
    };
    const Case cases[] = {
        {"30 points of 12-point text", 30, 0, 12, {12, 18}},
        {"15 points of 12-point text", 15, 0, 12, {15}},
        {"a requested line above the size", 50, 13.5, 12, {14, 14, 22}},
        // Neither a line nor a size: one paragraph whose line is the height.
        {"no sample", 30, 0, 0, {30}},
    };
    const Rect column(50, 0, 400, 600);
    for (const Case& c : cases) {
        QXDocx_RPr mark = QXDocxUtilities::defaultRProperty();
        mark.sz = mark.szCs = c.markSize;
        QXDocx_SectPr section = QXDocxUtilities::defaultSectPropertyHiden();
        section.type = 4;
        const std::vector<QXDocxParagraphPtr> paragraphs = QXDocxParagraph::BlankParagraph(
            c.height, c.spaceLine, 6, 3, QXDocxJustificationCenter, mark, section, 100, column);
        ASSERT_EQ(paragraphs.size(), c.lines.size()) << c.name;
        double y = 100;
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            const QXDocxParagraph& p = *paragraphs[i];
            EXPECT_FLOAT_EQ(p.pProperty().spacing.line, static_cast<float>(c.lines[i])) << c.name << " " << i;
            EXPECT_EQ(p.pProperty().spacing.before, 0);
            EXPECT_EQ(p.pProperty().spacing.after, 0);
            EXPECT_EQ(QXDocxText(p.pProperty().spacing.lineRule), "exact");
            EXPECT_EQ(p.pProperty().ind.left, 6);
            EXPECT_EQ(p.pProperty().ind.right, 3);
            EXPECT_EQ(p.pProperty().jc, QXDocxJustificationCenter);
            EXPECT_EQ(p.rProperty().sz, c.markSize);
            EXPECT_EQ(p.sectProperty().type, 4);
            EXPECT_EQ(p.columnFrame(), column);
            EXPECT_EQ(p.contentFrame(), Rect(56, y, 2, c.lines[i])) << c.name << " " << i;
            EXPECT_EQ(p.yHeight(), c.lines[i]);
            y += c.lines[i];
        }
    }
}

TEST(QXDocxParagraphTest, ChangesMadeByTheSection)
{
    QXDocxParagraph paragraph;
    paragraph.setSpaceLineBefore(3.5);
    paragraph.setSpaceLine(14);
    paragraph.setSpaceLineAfter(2.25);
    paragraph.setupOutline(2);
    EXPECT_EQ(paragraph.pProperty().spacing.before, 3.5f);
    EXPECT_EQ(paragraph.pProperty().spacing.line, 14.0f);
    EXPECT_EQ(paragraph.pProperty().spacing.after, 2.25f);
    EXPECT_EQ(paragraph.pProperty().outlineLvl, 2);

    paragraph.setContentFrame(Rect(10, 20, 300, 40));
    paragraph.setBlankParagraphSpaceLine(9);
    EXPECT_EQ(paragraph.pProperty().spacing.line, 9.0f);
    EXPECT_EQ(paragraph.rProperty().sz, 9.0f);
    EXPECT_EQ(paragraph.rProperty().szCs, 9.0f);
    EXPECT_EQ(paragraph.contentFrame(), Rect(10, 20, 2, 9));
    paragraph.setBlankParagraphSpaceLine(16);
    EXPECT_EQ(paragraph.rProperty().sz, 9.0f);  // only ever shrinks

    std::vector<std::shared_ptr<QXDocxWriterObject>> objects;
    EXPECT_EQ(QXDocxParagraph::FirstParagraph(objects), nullptr);
    auto first = std::make_shared<QXDocxParagraph>();
    objects = {std::make_shared<QXDocxRunTab>(), first, std::make_shared<QXDocxParagraph>()};
    EXPECT_EQ(QXDocxParagraph::FirstParagraph(objects), first);
}

TEST(QXDocxParagraphTest, CopySharesTheGroupsAndCopiesTheRecords)
{
    QXDocxParagraph paragraph;
    paragraph.setSpaceLine(20);
    const auto copy = std::dynamic_pointer_cast<QXDocxParagraph>(paragraph.copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->pProperty().spacing.line, 20.0f);
    copy->setSpaceLine(30);
    EXPECT_EQ(paragraph.pProperty().spacing.line, 20.0f);
    paragraph.insertRunPictArray({QXDocxRunTab::RunTapWithTabPostion(80, 10)});
    EXPECT_EQ(copy->writeRunGroupArray().size(), 1u);
    EXPECT_TRUE(copy->haveRunTab());
}

TEST(QXDocxParagraphTest, BlankParagraphWritesOnlyItsProperties)
{
    // A paragraph without runs whose line is 7.5 points writes its mark at 7.
    QXDocxParagraph paragraph;
    paragraph.setSpaceLine(7.5);
    EXPECT_EQ(writtenParagraph(paragraph), R"(<w:p><w:pPr><w:spacing w:before="0" w:after="0" w:line="150" w:lineRule="exact"/>)"
                                  R"(<w:ind w:firstLine="0" w:left="0" w:right="0"/><w:jc w:val="left"/>)" +
                                      paragraphRPrOfSize(14) + "</w:pPr></w:p>");
    EXPECT_EQ(paragraph.rProperty().sz, 12.0f);  // the paragraph keeps its own

    // The blank paragraphs of a height without a sample, with a column break.
    QXDocx_RPr mark = QXDocxUtilities::defaultRProperty();
    mark.sz = mark.szCs = 0;
    auto blanks = QXDocxParagraph::BlankParagraph(30, 0, 0, 0, QXDocxJustificationCenter, mark,
                                                  QXDocxUtilities::defaultSectPropertyHiden(), 0, Rect(0, 0, 100, 100));
    ASSERT_EQ(blanks.size(), 1u);
    blanks[0]->setBreakColumn(true);
    EXPECT_EQ(writtenParagraph(*blanks[0]),
              R"(<w:p><w:pPr><w:spacing w:before="0" w:after="0" w:line="600" w:lineRule="exact"/>)"
              R"(<w:ind w:firstLine="0" w:left="0" w:right="0"/><w:jc w:val="center"/>)"
              R"(<w:rPr><w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" w:eastAsia="Times New Roman"/>)"
              R"(<w:sz w:val="0"/><w:szCs w:val="0"/><w:color w:val="000000"/><w:noProof/></w:rPr></w:pPr>)"
              R"(<w:r><w:rPr/><w:br w:type="column"/></w:r></w:p>)");
}

TEST(QXDocxParagraphTest, OneGroupWithATabIsWrittenLeftAlignedWithATabStop)
{
    QXDocxParagraph paragraph;
    QXDocx_PPr property = paragraph.pProperty();
    property.jc = QXDocxJustificationCenter;
    paragraph.setPProperty(property);
    paragraph.setColumnFrame(Rect(50, 0, 400, 600));
    paragraph.insertRunPictArray({QXDocxRunTab::RunTapWithTabPostion(150, 10)});
    ASSERT_TRUE(paragraph.haveRunTab());
    const QXDocx_Tabs tabs = paragraph.tabsPropertyInParagraph();
    ASSERT_EQ(tabs.count(), 1);
    EXPECT_FLOAT_EQ(tabs.tab[0].pos, 100);

    EXPECT_EQ(writtenParagraph(paragraph), R"(<w:p><w:pPr><w:tabs><w:tab w:val="left" w:pos="2000"/></w:tabs>)"
                                  R"(<w:spacing w:before="0" w:after="0" w:line="240" w:lineRule="exact"/>)"
                                  R"(<w:ind w:firstLine="0" w:left="0" w:right="0"/><w:jc w:val="left"/>)" +
                                      paragraphRPrOfSize(24) + "</w:pPr><w:r>" + paragraphRPrOfSize(24) + "<w:tab/></w:r></w:p>");
    EXPECT_EQ(paragraph.pProperty().jc, QXDocxJustificationLeft);
}

namespace {

std::shared_ptr<QXDocxRunText> paragraphTextRun(const std::string& text, const Rect& frame, float size = 12)
{
    auto run = std::make_shared<QXDocxRunText>();
    run->setRunText(text);
    run->setTextWidth(frame.size.width);
    QXPDF_CTMInfo info = run->ctmInfo();
    info.frame = frame;
    run->setCtmInfo(info);
    QXDocx_RPr property = run->rProperty();
    property.sz = property.szCs = size;
    run->setRProperty(property);
    return run;
}

} // namespace

TEST(QXDocxParagraphTest, RunsOverLeadersTakeTheLeaderAsUnderline)
{
    struct Case {
        const char* leader;
        std::int32_t kind;
    };
    const Case cases[] = {{"____", 1}, {"====", 2}, {"....", 4}, {"._._", 6}};
    for (const Case& c : cases) {
        QXDocxParagraph paragraph;
        auto name = paragraphTextRun("Name", Rect(100, 0, 30, 12));
        auto leader = paragraphTextRun(c.leader, Rect(110, 0, 60, 12));
        auto far = paragraphTextRun(c.leader, Rect(300, 0, 60, 12));
        auto wide = paragraphTextRun("Wide", Rect(400, 0, 40, 12));
        wide->setOutsideSpacing(30);  // not near: keeps its space
        paragraph.insertRunPictArray({name, leader, far, wide});
        paragraph.fixOutsideSpacingError();
        EXPECT_EQ(leader->runText(), " ") << c.leader;
        EXPECT_EQ(leader->textWidth(), 60);
        EXPECT_EQ(far->runText(), c.leader);
        EXPECT_EQ(name->rProperty().u, c.kind) << c.leader;
        EXPECT_EQ(name->outsideSpacing(), 0);
        EXPECT_EQ(wide->rProperty().u, 0);
        EXPECT_EQ(wide->outsideSpacing(), 30);
        EXPECT_EQ(paragraph.lastRunText(), wide);
    }

    // An overlap within five points, or no leader at all, changes nothing.
    QXDocxParagraph paragraph;
    auto name = paragraphTextRun("Name", Rect(100, 0, 30, 12));
    auto leader = paragraphTextRun("____", Rect(126, 0, 60, 12));
    paragraph.insertRunPictArray({name, leader});
    paragraph.fixOutsideSpacingError();
    EXPECT_EQ(leader->runText(), "____");
    EXPECT_EQ(name->rProperty().u, 1);
    QXDocxParagraph plain;
    auto word = paragraphTextRun("Word", Rect(0, 0, 30, 12));
    plain.insertRunPictArray({word});
    plain.fixOutsideSpacingError();
    EXPECT_EQ(word->rProperty().u, 0);
    EXPECT_EQ(QXDocxParagraph().lastRunText(), nullptr);
}

TEST(QXDocxParagraphTest, TextTallerThanAnExactLineIsWrittenAtTheLine)
{
    struct Case {
        float line;
        const char* runSize;
    };
    const Case cases[] = {{10, R"(<w:sz w:val="20"/>)"}, {11, R"(<w:sz w:val="24"/>)"}};
    for (const Case& c : cases) {
        QXDocxParagraph paragraph;
        paragraph.setSpaceLine(c.line);
        auto run = paragraphTextRun("Text", Rect(0, 0, 30, 12));
        paragraph.insertRunPictArray({run});
        const std::string xml = writtenParagraph(paragraph);
        const std::size_t runAt = xml.find("</w:pPr>");
        ASSERT_NE(runAt, std::string::npos);
        EXPECT_NE(xml.find(c.runSize, runAt), std::string::npos) << xml;
        EXPECT_NE(xml.find("<w:t>Text</w:t></w:r></w:p>", runAt), std::string::npos) << xml;
    }
}

TEST(QXDocxParagraphTest, ResolvingTakesSpacingIndentAndTheMarkFromTheRuns)
{
    // Without groups nothing changes.
    QXDocxParagraph empty;
    empty.resolvePProperty({1, 14, 2, 12, 0, 5, 12, 6}, 80);
    EXPECT_TRUE(QXPPropertyIsEqual(empty.pProperty(), QXDocxUtilities::defaultPProperty()));
    EXPECT_EQ(empty.resolvedHeight(), 0);

    // One line: the indent from the column, spacing of the measured line,
    // the mark of the last text run.
    QXDocxParagraph paragraph;
    paragraph.setColumnFrame(Rect(50, 0, 400, 600));
    auto first = paragraphTextRun("Hello", Rect(80, 0, 30, 12), 10);
    auto last = paragraphTextRun("world", Rect(115, 0, 30, 12), 14);
    paragraph.setWriteRunGroups({{first, last, QXDocxRunTab::RunTapWithTabPostion(200, 5)}}, "Hello world");
    EXPECT_EQ(paragraph.paragraphText(), "Hello world");
    paragraph.resolvePProperty({1, 14, 2, 12, 0, 5, 12, 6}, 80);
    EXPECT_EQ(paragraph.pProperty().ind.left, 30);
    EXPECT_EQ(paragraph.pProperty().spacing.line, 14);
    EXPECT_EQ(QXDocxText(paragraph.pProperty().spacing.lineRule), "auto");
    EXPECT_EQ(paragraph.pProperty().spacing.before, 3);
    EXPECT_EQ(paragraph.resolvedHeight(), 2);
    EXPECT_EQ(paragraph.rProperty().sz, 14);
    EXPECT_EQ(paragraph.lastRunText(), last);

    // Several lines keep the indent.
    QXDocxParagraph lines;
    lines.setWriteRunGroups({{paragraphTextRun("a", Rect(90, 0, 5, 12))}, {paragraphTextRun("b", Rect(90, 18, 5, 12))}},
                            "ab");
    lines.resolvePProperty({2, 12, 2, 12, 18, 4, 36, 0}, 90);
    EXPECT_EQ(lines.pProperty().ind.left, 0);
    EXPECT_EQ(lines.pProperty().spacing.line, 18);
    EXPECT_EQ(lines.resolvedHeight(), 6);
}
