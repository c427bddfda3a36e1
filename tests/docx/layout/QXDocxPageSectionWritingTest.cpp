// Page sections written as WordprocessingML: the paragraphs carrying the
// section breaks and their types on the first, middle and last pages, one
// and two columns (w:cols with the count and widths, the column break),
// head and foot blank paragraphs and their alignment, the foot space the
// columns' last paragraphs take; read back with xmllint and python-docx,
// the element orders checked against the schema's sequences.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rz;
using test::writeWordprocessingML;

namespace {

// A4-like page, 72-point margins, text 72 … 523 wide.
QXDocx_SectPr writingPageRecord()
{
    QXDocx_SectPr s = QXDocxUtilities::defaultSectPropertyHiden();
    s.type = 0;
    s.pgSz = {595, 842};
    s.pgMar.top = s.pgMar.left = s.pgMar.right = s.pgMar.bottom = 72;
    return s;
}

std::uint64_t writingScan = 0;

// A one-line paragraph of `text` from `left` to `right` on `base` in the
// column `column`, built with the section record `record`.
QXDocxParagraphPtr lineParagraph(const std::string& text, double left, double right, double base,
                                 const Rect& column, const QXDocx_SectPr& record)
{
    auto run = test::makeLineRun(text, left, right, base, writingScan++);
    auto line = std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{run});
    return std::make_shared<QXDocxParagraph>(std::vector<QXDocxRunTextLinePtr>{line}, 0, 14, 0, column,
                                             QXDocxJustificationLeft, record);
}

struct Flags {
    bool first = false;
    bool last = false;
    bool head = true;
    bool foot = true;
};

void setFlags(QXDocxPageSection& section, const Flags& flags)
{
    section.setIsDocumentFirstPage(flags.first);
    section.setIsDocumentLastPage(flags.last);
    section.setIsPageHeadSection(flags.head);
    section.setIsPageFootSection(flags.foot);
}

// One column of two paragraphs filling the band 72 … 770 to the bottom.
QXDocxPageSectionPtr oneColumnSection(const Flags& flags)
{
    auto section = std::make_shared<QXDocxPageSection>(writingPageRecord());
    section->setSectionFrame(Rect(72, 72, 451, 698));
    section->setColumGroupFrame(Rect(72, 90, 300, 28));
    const Rect column(72, 72, 451, 698);
    section->setParagraphGroupArray({{lineParagraph("alpha", 72, 300, 100, column, section->sectProperty()),
                                      lineParagraph("beta", 72, 300, 114, column, section->sectProperty())}});
    setFlags(*section, flags);
    return section;
}

// Two columns 72 … 290 and 305 … 523 of two paragraphs each; the second
// column's first paragraph carries the column break, and every paragraph
// the section's record with its two columns.
QXDocxPageSectionPtr twoColumnSection(const Flags& flags)
{
    QXDocx_SectPr record = writingPageRecord();
    record.cols.num = 2;
    record.cols.sep = true;
    record.cols.equalWidth = 0;
    record.cols.space = 0;
    record.cols.col = {{211, 12}, {240, 0}};
    auto section = std::make_shared<QXDocxPageSection>(record);
    section->setSectionFrame(Rect(72, 72, 451, 698));
    section->setColumGroupFrame(Rect(80, 90, 443, 28));
    const Rect left(72, 72, 211, 698);
    const Rect right(295, 72, 228, 698);
    auto secondColumnFirst = lineParagraph("gamma", 305, 500, 100, right, record);
    secondColumnFirst->setBreakColumn(true);
    section->setParagraphGroupArray({{lineParagraph("alpha", 80, 280, 100, left, record),
                                      lineParagraph("beta", 80, 280, 114, left, record)},
                                     {secondColumnFirst, lineParagraph("delta", 305, 500, 114, right, record)}});
    setFlags(*section, flags);
    return section;
}

std::string writeSection(QXDocxPageSection& section)
{
    return writeWordprocessingML([&](XMLFileWriter& w) { section.writeWithXMLWriter(w); });
}

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Python that fails (AssertionError) unless every w:pPr and w:sectPr lists
// its children in the schema's order, a w:sectPr stands only last in a
// w:pPr or last in the body, and a w:r's children (w:br, w:t) sit in a w:r.
const char* kSchemaOrderCheck = R"PY(
W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
PPR = ['pStyle','keepNext','keepLines','pageBreakBefore','framePr','widowControl','numPr',
       'suppressLineNumbers','pBdr','shd','tabs','suppressAutoHyphens','kinsoku','wordWrap',
       'overflowPunct','topLinePunct','autoSpaceDE','autoSpaceDN','bidi','adjustRightInd',
       'snapToGrid','spacing','ind','contextualSpacing','mirrorIndents','suppressOverlap','jc',
       'textDirection','textAlignment','textboxTightWrap','outlineLvl','divId','cnfStyle','rPr',
       'sectPr','pPrChange']
SECT = ['headerReference','footerReference','footnotePr','endnotePr','type','pgSz','pgMar',
        'paperSrc','pgBorders','lnNumType','pgNumType','cols','formProt','vAlign','noEndnote',
        'titlePg','textDirection','bidi','rtlGutter','docGrid','printerSettings','sectPrChange']
def check(element, order):
    names = [c.tag[len(W):] for c in element]
    for n in names:
        assert n in order, (element.tag, n, names)
    idx = [order.index(n) for n in names]
    assert idx == sorted(idx), (element.tag, names)
for ppr in doc.iter(W + 'pPr'):
    check(ppr, PPR)
    assert ppr.getparent().tag == W + 'p'
for sect in doc.iter(W + 'sectPr'):
    check(sect, SECT)
    parent = sect.getparent()
    assert parent.tag in (W + 'pPr', W + 'body'), parent.tag
    assert parent.index(sect) == len(parent) - 1
for p in doc.body:
    assert p.tag in (W + 'p', W + 'tbl', W + 'sectPr'), p.tag
)PY";

// Writes the section inside w:body and runs the schema order check and
// then `python` (with `doc` the document element); answers what it printed.
std::string readSectionWithPythonDocx(QXDocxPageSection& section, const std::string& python, bool& ran)
{
    return test::readFirstParagraphWithPythonDocx([&](XMLFileWriter& w) { section.writeWithXMLWriter(w); },
                                                  std::string(kSchemaOrderCheck) + python, ran);
}

// The sections python-docx finds, one line each: start type (None without
// w:type), number of columns ("-" without w:cols), left margin in points,
// and whether the w:sectPr is the body's own.
const char* kSectionsDump = R"PY(
from docx.section import Section
for s in doc.sectPr_lst:
    cols = s.find(W + 'cols')
    t = s.find(W + 'type')
    print(t.get(W + 'val') if t is not None else None,
          cols.get(W + 'num') if cols is not None else '-',
          Section(s, None).left_margin.pt,
          s.getparent().tag == W + 'body')
)PY";

} // namespace

// The break closing a one-column section that fills its page, by where the
// page stands in the document and where the section stands on its page.
TEST(QXDocxPageSectionWritingTest, OneColumnBreaksFollowThePagePosition)
{
    struct Case {
        const char* name;
        Flags flags;
        std::int32_t recordType;
        std::size_t sectPrCount;
        bool continuous;
        bool bodySectPr;  // a bare w:sectPr closes the body
    };
    const Case cases[] = {
        {"first page", {true, false, true, true}, 0, 1, true, false},
        {"middle page", {false, false, true, true}, 0, 1, false, false},
        {"last page", {false, true, true, true}, 0, 1, false, true},
        {"only page", {true, true, true, true}, 0, 1, true, true},
        {"middle section", {false, false, false, false}, 0, 0, false, false},
        {"first page middle section", {true, false, false, false}, 0, 0, false, false},
        {"head section of a later page", {false, false, true, false}, 0, 1, false, false},
        {"foot section of a later page", {false, false, false, true}, 0, 1, true, false},
        {"last page foot section", {false, true, false, true}, 0, 1, true, true},
        {"section that never breaks", {false, true, true, true}, 6, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto section = oneColumnSection(c.flags);
        QXDocx_SectPr record = section->sectProperty();
        record.type = c.recordType;
        section->setSectProperty(record);
        const std::string xml = writeSection(*section);
        EXPECT_EQ(countOf(xml, "<w:sectPr>"), c.sectPrCount) << xml;
        EXPECT_EQ(countOf(xml, "<w:type w:val=\"continuous\"/>"), c.continuous ? 1u : 0u) << xml;
        EXPECT_EQ(countOf(xml, "<w:cols"), 0u) << xml;
        const std::string end = "</w:pPr></w:p>";
        if (c.bodySectPr) {
            EXPECT_EQ(xml.substr(xml.size() - 11), "</w:sectPr>") << xml;
        } else if (c.sectPrCount == 1) {
            EXPECT_EQ(xml.substr(xml.size() - 11 - end.size()), "</w:sectPr>" + end) << xml;
        }
        // Both text paragraphs are written, in order, before any break.
        const std::size_t alpha = xml.find(">alpha<");
        const std::size_t beta = xml.find(">beta<");
        ASSERT_NE(alpha, std::string::npos) << xml;
        EXPECT_LT(alpha, beta);
        if (c.sectPrCount == 1) {
            EXPECT_LT(beta, xml.find("<w:sectPr>"));
            // The margins of the page go with the break.
            EXPECT_NE(xml.find(R"(<w:pgSz w:w="11900" w:h="16840"/><w:pgMar w:top="1440" w:right="1440")"),
                      std::string::npos)
                << xml;
        }
    }
}

TEST(QXDocxPageSectionWritingTest, OneColumnBreaksReadBackWithPythonDocx)
{
    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python3-docx is not installed";
    bool ran = false;
    auto middle = oneColumnSection({false, false, true, true});
    // The break paragraph takes the last paragraph's properties: a heading's
    // outline level and numbering stay in the places the schema gives them.
    auto beta = middle->lastParagraph();
    beta->setupOutline(1);
    QXDocx_PPr numbered = beta->pProperty();
    numbered.numPr = {0, 1};
    beta->setPProperty(numbered);
    EXPECT_EQ(readSectionWithPythonDocx(*middle, kSectionsDump, ran), "None - 72.0 False\n");
    EXPECT_TRUE(ran);
    auto first = oneColumnSection({true, false, true, true});
    EXPECT_EQ(readSectionWithPythonDocx(*first, kSectionsDump, ran), "continuous - 72.0 False\n");
    EXPECT_TRUE(ran);
    auto last = oneColumnSection({false, true, true, true});
    EXPECT_EQ(readSectionWithPythonDocx(*last, kSectionsDump, ran), "None - 72.0 True\n");
    EXPECT_TRUE(ran);
}

// Two columns: the paragraphs of the first column, then a column break
// before the second's, then the blank paragraph whose w:sectPr holds the
// two columns with their widths and the page's margins.
TEST(QXDocxPageSectionWritingTest, TwoColumnsWriteTheColumnBreakAndTheColumnRecord)
{
    auto section = twoColumnSection({true, false, true, true});
    const std::string xml = writeSection(*section);
    const std::size_t alpha = xml.find(">alpha<");
    const std::size_t beta = xml.find(">beta<");
    const std::size_t br = xml.find(R"(<w:br w:type="column"/>)");
    const std::size_t gamma = xml.find(">gamma<");
    const std::size_t delta = xml.find(">delta<");
    const std::size_t sect = xml.find("<w:sectPr>");
    ASSERT_NE(alpha, std::string::npos) << xml;
    EXPECT_LT(alpha, beta);
    EXPECT_LT(beta, br);
    EXPECT_LT(br, gamma);
    EXPECT_LT(gamma, delta);
    EXPECT_LT(delta, sect);
    EXPECT_EQ(countOf(xml, R"(<w:br w:type="column"/>)"), 1u);
    EXPECT_EQ(countOf(xml, "<w:sectPr>"), 1u);
    EXPECT_NE(xml.find(R"(<w:type w:val="continuous"/>)"), std::string::npos) << xml;
    EXPECT_NE(xml.find(R"(<w:cols w:sep="0" w:num="2" w:equalWidth="0">)"
                       R"(<w:col w:w="4220" w:space="240"/><w:col w:w="4800"/></w:cols>)"),
              std::string::npos)
        << xml;

    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python3-docx is not installed";
    bool ran = false;
    auto again = twoColumnSection({false, false, true, true});
    const std::string out = readSectionWithPythonDocx(
        *again,
        std::string(kSectionsDump) +
            "print([c.get(W + 'w') for c in doc.sectPr_lst[0].find(W + 'cols')])\n"
            "print([Paragraph(x, None).text for x in doc.body.p_lst])\n",
        ran);
    ASSERT_TRUE(ran) << out;
    // A later page's head section with no blank above starts a new page;
    // python-docx reads the column break before gamma as a line break.
    EXPECT_EQ(out, "None 2 72.0 False\n['4220', '4800']\n['alpha', 'beta', '\\ngamma', 'delta', '']\n");
}

// Head blank paragraphs above two columns end the single-column part with
// a continuous break of one column; the columns close with their own.
TEST(QXDocxPageSectionWritingTest, HeadBlanksAboveColumnsCloseTheSingleColumnPart)
{
    auto section = twoColumnSection({true, false, true, true});
    const auto blanks = QXDocxParagraph::BlankParagraph(30, 12, 0, 0, 0, QXDocxUtilities::defaultRProperty(),
                                                        section->sectProperty(), 72, section->sectionFrame());
    ASSERT_FALSE(blanks.empty());
    section->setHeadBlankParagraphArray(blanks);
    const std::string xml = writeSection(*section);
    EXPECT_EQ(countOf(xml, "<w:sectPr>"), 2u) << xml;
    const std::size_t firstSect = xml.find("<w:sectPr>");
    const std::size_t firstEnd = xml.find("</w:sectPr>");
    EXPECT_LT(firstEnd, xml.find(">alpha<"));
    EXPECT_EQ(xml.substr(firstSect, firstEnd - firstSect).find("<w:cols"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<w:cols", firstEnd), std::string::npos) << xml;
    // The blank paragraphs stand over the columns' text: indented from the
    // section's left by the columns' left.
    for (const auto& blank : section->headBlankParagraphArray()) {
        EXPECT_FLOAT_EQ(blank->pProperty().ind.left, 8);
        EXPECT_EQ(blank->pProperty().jc, 0);
    }

    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python3-docx is not installed";
    bool ran = false;
    const std::string out = readSectionWithPythonDocx(*section, kSectionsDump, ran);
    ASSERT_TRUE(ran) << out;
    EXPECT_EQ(out, "continuous - 72.0 False\ncontinuous 2 72.0 False\n");
}

// A two-column section on a later page continues the single-column section
// before it when that one is not a page's head section.
TEST(QXDocxPageSectionWritingTest, ColumnsAfterAOneColumnSectionOpenWithABreak)
{
    auto previous = oneColumnSection({false, false, true, false});
    previous->setColumGroupArray(
        {{std::make_shared<QXDocxRunTextLine>(QXDocxRunTextArray{test::makeLineRun("x", 72, 99, 100, writingScan++)})}});
    auto section = twoColumnSection({false, false, false, true});
    section->setPreviousPageSection(previous);
    std::string xml = writeSection(*section);
    EXPECT_EQ(countOf(xml, "<w:sectPr>"), 1u) << xml;

    previous->setIsPageHeadSection(false);
    xml = writeSection(*section);
    ASSERT_EQ(countOf(xml, "<w:sectPr>"), 2u) << xml;
    EXPECT_LT(xml.find("</w:sectPr>"), xml.find(">alpha<"));
    EXPECT_EQ(countOf(xml, R"(<w:type w:val="continuous"/>)"), 2u) << xml;
}

// The columns' last paragraphs: the one with the least space after takes a
// small foot space, the others none; a larger foot space becomes blank
// paragraphs below the columns.
TEST(QXDocxPageSectionWritingTest, ColumnBottomsTakeTheFootSpace)
{
    struct Case {
        double foot;
        double firstAfter;
        double secondAfter;
        double footAfterWriting;
        bool footBlanks;
    };
    const Case cases[] = {{2, 5, 0, 0, false}, {6, 0, 0, 9, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.foot);
        auto section = twoColumnSection({true, false, true, false});
        const auto& columns = section->paragraphGroupArray();
        auto firstLast = std::dynamic_pointer_cast<QXDocxParagraph>(columns[0].back());
        auto secondLast = std::dynamic_pointer_cast<QXDocxParagraph>(columns[1].back());
        QXDocx_PPr p = firstLast->pProperty();
        p.spacing.after = 3;
        firstLast->setPProperty(p);
        p = secondLast->pProperty();
        p.spacing.after = 5;
        secondLast->setPProperty(p);
        section->setFootBlankHeight(c.foot);
        const std::string xml = writeSection(*section);
        EXPECT_FLOAT_EQ(firstLast->pProperty().spacing.after, c.firstAfter);
        EXPECT_FLOAT_EQ(secondLast->pProperty().spacing.after, c.secondAfter);
        EXPECT_DOUBLE_EQ(section->footBlankHeight(), c.footAfterWriting);
        EXPECT_EQ(section->footBlankParagraphArray().empty(), !c.footBlanks);
        // One break closes the columns, before any foot blank paragraph.
        EXPECT_EQ(countOf(xml, "<w:cols"), 1u) << xml;
        const std::size_t closing = xml.find("</w:sectPr>");
        ASSERT_NE(closing, std::string::npos) << xml;
        EXPECT_LT(xml.find(">delta<"), closing);
        if (c.footBlanks) {
            EXPECT_GT(xml.size(), closing + 30);
            // The foot blanks line up with the columns' text.
            for (const auto& blank : section->footBlankParagraphArray())
                EXPECT_FLOAT_EQ(blank->pProperty().ind.left, 8);
        }
    }
}

// A page's foot section keeps foot blank paragraphs only when its text is
// aligned to the bottom; other sections always do.
TEST(QXDocxPageSectionWritingTest, FootBlanksOfTheLastSectionNeedBottomAlignment)
{
    struct Case {
        bool foot;
        std::int32_t vAlign;
        bool blanks;
    };
    const Case cases[] = {{true, 0, false}, {true, 2, true}, {false, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.foot << " " << c.vAlign);
        auto section = oneColumnSection({true, false, true, c.foot});
        QXDocx_SectPr record = section->sectProperty();
        record.vAlign = c.vAlign;
        section->setSectProperty(record);
        section->setFootBlankHeight(40);
        const std::string xml = writeSection(*section);
        EXPECT_EQ(section->footBlankParagraphArray().empty(), !c.blanks);
        if (c.blanks) {
            EXPECT_GT(countOf(xml, "<w:p>"), 2u + (c.foot ? 1u : 0u)) << xml;
        }
    }
}

// Blank paragraphs at the head of one column follow the first paragraph's
// alignment: right-aligned text keeps its distance from the column's right.
TEST(QXDocxPageSectionWritingTest, HeadBlanksOfOneColumnFollowTheFirstParagraph)
{
    auto section = oneColumnSection({true, false, true, true});
    auto first = section->firstParagraph();
    QXDocx_PPr p = first->pProperty();
    p.jc = QXDocxJustificationRight;
    p.ind.left = 20;
    first->setPProperty(p);
    // Column right 523, text right 300: 222 points inside, less one.
    const auto blanks = QXDocxParagraph::BlankParagraph(30, 12, 0, 0, 0, QXDocxUtilities::defaultRProperty(),
                                                        section->sectProperty(), 72, section->sectionFrame());
    section->setHeadBlankParagraphArray(blanks);
    const std::string xml = writeSection(*section);
    for (const auto& blank : blanks) {
        EXPECT_EQ(blank->pProperty().jc, QXDocxJustificationRight);
        EXPECT_FLOAT_EQ(blank->pProperty().ind.left, 20);
        EXPECT_FLOAT_EQ(blank->pProperty().ind.right, 222);
    }
    EXPECT_NE(xml.find(R"(w:right="4440"/><w:jc w:val="right"/>)"), std::string::npos) << xml;
    EXPECT_LT(xml.find(R"(w:right="4440")"), xml.find(">alpha<"));
}

// A column's first paragraph with more space before than its text size
// writes that space as blank paragraphs, the first of them carrying the
// column break, so the column still starts where its text stood.
TEST(QXDocxPageSectionWritingTest, SpaceBeforeAColumnBecomesBlanksWithTheColumnBreak)
{
    auto section = twoColumnSection({true, false, true, true});
    auto gamma = std::dynamic_pointer_cast<QXDocxParagraph>(section->paragraphGroupArray()[1].front());
    QXDocx_PPr p = gamma->pProperty();
    p.spacing.before = 40;
    gamma->setPProperty(p);
    const std::string xml = writeSection(*section);
    EXPECT_FALSE(gamma->breakColumn());
    EXPECT_FLOAT_EQ(gamma->pProperty().spacing.before, 0);
    EXPECT_EQ(countOf(xml, R"(<w:br w:type="column"/>)"), 1u) << xml;
    const std::size_t br = xml.find(R"(<w:br w:type="column"/>)");
    const std::size_t gammaAt = xml.find(">gamma<");
    EXPECT_LT(xml.find(">beta<"), br);
    // The break's paragraph ends before gamma's starts.
    EXPECT_LT(xml.find("</w:p>", br), gammaAt);
}

// Paragraphs that write nothing visible are left out; a section in a table
// cell writes its paragraphs and no section break.
TEST(QXDocxPageSectionWritingTest, EmptyPlainParagraphsAreLeftOut)
{
    auto section = oneColumnSection({true, false, true, true});
    auto empty = std::make_shared<QXDocxParagraph>();
    QXDocx_PPr p = empty->pProperty();
    p.spacing.line = 0;
    empty->setPProperty(p);
    auto columns = section->paragraphGroupArray();
    columns[0].insert(columns[0].begin() + 1, empty);
    section->setParagraphGroupArray(columns);
    const std::string xml = writeSection(*section);
    // alpha, beta and the closing break.
    EXPECT_EQ(countOf(xml, "<w:p>"), 3u) << xml;
    EXPECT_EQ(section->allWriteXMLObjects().size(), 4u);
}

// Writing again rebuilds the list of written objects.
TEST(QXDocxPageSectionWritingTest, WritingTwiceWritesTheSameBody)
{
    auto section = twoColumnSection({false, true, true, true});
    const std::string once = writeSection(*section);
    const std::size_t objects = section->allWriteXMLObjects().size();
    EXPECT_EQ(writeSection(*section), once);
    EXPECT_EQ(section->allWriteXMLObjects().size(), objects);
    // The last page's two columns: the body's own w:sectPr holds them.
    EXPECT_EQ(once.substr(once.size() - 11), "</w:sectPr>");
    EXPECT_NE(once.rfind("<w:cols"), std::string::npos);
}

namespace {

// A stand-in table that writes an empty w:tbl when asked.
class StandInTable : public QXDocxWriterObject {
public:
    void writeWithXMLWriter(XMLFileWriter& writer) override
    {
        writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "tbl");
        writer.writeEndElement();
    }
    std::shared_ptr<QXDocxWriterObject> copy() const override { return std::make_shared<StandInTable>(); }
};

} // namespace

// Tables standing among a column's text, in the head blank space or in
// no paragraph at all: until tables are laid out among the paragraphs,
// none is written, and every paragraph is written once, in order.
TEST(QXDocxPageSectionWritingTest, TablesLeaveTheParagraphsInPlace)
{
    struct Case {
        const char* name;
        Rect bounds;
    };
    const Case cases[] = {
        {"over the second paragraph", Rect(100, 105, 150, 12)},
        {"in the head blank space", Rect(100, 74, 150, 10)},
        {"below the text", Rect(100, 400, 150, 40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto section = oneColumnSection({true, false, true, true});
        section->setHeadBlankParagraphArray(QXDocxParagraph::BlankParagraph(
            16, 12, 0, 0, 0, QXDocxUtilities::defaultRProperty(), section->sectProperty(), 72, Rect(72, 72, 451, 698)));
        section->setAllTableArray({{std::make_shared<StandInTable>(), c.bounds}});
        const std::string xml = writeSection(*section);
        EXPECT_EQ(xml.find("<w:tbl"), std::string::npos) << xml;
        EXPECT_EQ(countOf(xml, ">alpha<"), 1u) << xml;
        EXPECT_EQ(countOf(xml, ">beta<"), 1u) << xml;
        EXPECT_LT(xml.find(">alpha<"), xml.find(">beta<"));
        ASSERT_EQ(section->paragraphGroupArray().size(), 1u);
        EXPECT_EQ(section->paragraphGroupArray()[0].size(), 2u);
        EXPECT_EQ(section->allTableArray().size(), 1u);
        EXPECT_EQ(countOf(xml, "<w:sectPr>"), 1u) << xml;
    }
}
