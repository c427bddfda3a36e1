// Text boxes and text paths of a DOCX page: the dominant rotation that
// turns a page, the VML each writes (placement, text flow, ids, shape
// types), their content (paragraphs, nested sections, the empty box), and
// how the page turns annotation text into boxes and hands its drawings to
// a paragraph.
#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxRunTextBox.h"
#include "docx/layout/QXDocxRunTextPath.h"
#include "docx/layout/QXDocxVMLShapes.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/layout/DocxTestRuns.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace rz {
namespace {

QXDocxRunTextBoxPtr boxAt(double rotation, Rect frame = Rect(300, 100, 20, 200))
{
    auto info = std::make_shared<QXDocxTextBoxInfo>();
    info->setDisplayX(frame.origin.x);
    info->setDisplayY(frame.origin.y);
    info->setDisplayWidth(frame.size.width);
    info->setDisplayHeight(frame.size.height);
    info->setRotation(rotation);
    auto box = std::make_shared<QXDocxRunTextBox>();
    box->setPictInfo(info);
    return box;
}

QXDocxRunTextPathPtr textPath(double width, float rotation)
{
    auto info = std::make_shared<QXDocxTextPathInfo>();
    info->setDisplayX(10);
    info->setDisplayY(20);
    info->setDisplayWidth(width);
    info->setDisplayHeight(-12);
    info->setRotation(rotation);
    info->setFilled(true);
    info->setFillcolor(Color::rgb(1, 0, 0, 1));
    auto path = std::make_shared<QXDocxRunTextPath>();
    path->setPictInfo(info);
    path->setRunText("A & B");
    path->setPictZIndex(7);
    return path;
}

// The runs written inside a w:document that binds the VML prefixes, checked
// by xmllint; the numbering of shapes starts afresh.
std::string writeRuns(const std::vector<std::shared_ptr<QXDocxRun>>& runs)
{
    QXDocxVMLShapes::reset();
    return test::writeWordprocessingML([&](XMLFileWriter& writer) {
        writer.setPrefix("v", QXDocxPackageNames::kVML);
        writer.setPrefix("o", QXDocxPackageNames::kOffice);
        writer.setPrefix("w10", QXDocxPackageNames::kWord10);
        writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        for (const auto& run : runs)
            run->writeWithXMLWriter(writer);
        writer.writeEndElement();
    });
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

TEST(QXDocxRunTextBoxTest, DominantRotationOfBoxes)
{
    struct Case {
        std::vector<double> rotations;
        std::int64_t expected;
    };
    const std::vector<Case> cases{
        {{90, 90, 270, 270}, 270}, // a tie goes to the later angle
        {{}, 0},
        {{12}, 0},
        {{89.5, 0}, 90},           // 89.5 counts as 90
        {{180, 180, 90}, 180},
        {{95, 265}, 0},            // the bands are open
    };
    for (const Case& c : cases) {
        std::vector<QXDocxRunTextBoxPtr> boxes;
        for (const double r : c.rotations)
            boxes.push_back(boxAt(r));
        EXPECT_EQ(QXDocxRunTextBox::RotationOfRunTextBoxArray(boxes), c.expected) << c.rotations.size();
    }
}

TEST(QXDocxRunTextBoxTest, PageTurnsOnlyWhenBoxedTextOutnumbersMainText)
{
    struct Case {
        std::size_t boxes;       // boxes at 90 degrees, two runs each
        std::size_t mainRuns;
        std::int64_t expected;
    };
    for (const Case& c : std::vector<Case>{{2, 5, 0}, {2, 3, 90}, {1, 0, 0}, {3, 6, 0}}) {
        QXDocxPage page;
        for (std::size_t i = 0; i < c.boxes; ++i) {
            auto box = boxAt(90);
            std::vector<QXDocxParagraphPtr> paragraphs;
            for (const char* text : {"a", "b"}) {
                paragraphs.push_back(std::make_shared<QXDocxParagraph>());
                paragraphs.back()->addRunTextArray({test::makeLineRun(text, 0, 5, 10, 0)});
            }
            box->setParagraphArray(paragraphs);
            page.allRunTextBoxArray().push_back(box);
        }
        for (std::size_t i = 0; i < c.mainRuns; ++i)
            page.allRunTextArray().push_back(test::makeLineRun("m", 0, 5, 10 + 20.0 * i, i));
        EXPECT_EQ(page.autoRotationOfPDFPage(), c.expected) << c.boxes << " boxes, " << c.mainRuns << " runs";
    }
}

TEST(QXDocxRunTextBoxTest, PlacementFollowsTheRotation)
{
    struct Case {
        double rotation;
        std::string placement;
        std::string flow;
        bool turned;
    };
    const std::vector<Case> cases{
        {90, "margin-left:280pt;margin-top:100pt;width:20pt;height:200pt;",
         "layout-flow:vertical;mso-layout-flow-alt:right-to-left", false},
        {270, "margin-left:300pt;margin-top:-100pt;width:20pt;height:200pt;",
         "layout-flow:vertical;mso-layout-flow-alt:bottom-to-top", false},
        {180, "margin-left:280pt;margin-top:-100pt;", "layout-flow:horizontal;mso-layout-flow-alt:left-to-right",
         true},
        {0, "margin-left:300pt;margin-top:100pt;", "mso-fit-shape-to-text:t", false},
        // Counted as 90 for the page's rotation, written unturned.
        {89.5, "margin-left:300pt;margin-top:100pt;", "mso-fit-shape-to-text:t", false},
    };
    for (const Case& c : cases) {
        auto box = boxAt(c.rotation);
        box->setPictZIndex(3);
        const std::string style = box->shapeStyle();
        EXPECT_NE(style.find(c.placement), std::string::npos) << c.rotation << ": " << style;
        EXPECT_EQ(box->textBoxStyle(), c.flow) << c.rotation;
        // The rotation item comes right after the z-index, for 180 only.
        EXPECT_EQ(style.find("z-index:3;rotation:180;mso-wrap-edited:f;") != std::string::npos, c.turned) << style;
        EXPECT_EQ(style.find("rotation:") != std::string::npos, c.turned) << style;
        EXPECT_EQ(style.rfind("v-text-anchor:top"), style.size() - std::string("v-text-anchor:top").size());
    }
}

TEST(QXDocxRunTextBoxTest, EveryShapeTakesItsOwnIdAndTheWordArtTypeIsDeclaredOnce)
{
    const std::string xml = writeRuns({boxAt(90), boxAt(270), textPath(50, 30), textPath(60, 30)});
    for (const char* id : {"id=\"TextBox 1\"", "id=\"TextBox 2\"", "id=\"TextPath 1\"", "id=\"TextPath 2\"",
                           "o:spid=\"_x0000_s1025\"", "o:spid=\"_x0000_s1026\"", "o:spid=\"_x0000_s1027\"",
                           "o:spid=\"_x0000_s1028\""})
        EXPECT_EQ(count(xml, id), 1u) << id << "\n" << xml;
    EXPECT_EQ(count(xml, "type=\"#_x0000_t202\""), 2u);
    EXPECT_EQ(count(xml, "type=\"#_x0000_t136\""), 2u);
    // LibreOffice draws word art only with its shape type declared, and
    // turns box text by 90 degrees only with the text-box type undeclared.
    EXPECT_EQ(count(xml, "<v:shapetype id=\"_x0000_t136\""), 1u);
    EXPECT_LT(xml.find("<v:shapetype id=\"_x0000_t136\""), xml.find("id=\"TextPath 1\""));
    EXPECT_EQ(count(xml, "_x0000_t202\" coordsize"), 0u);
}

TEST(QXDocxRunTextBoxTest, AnEmptyBoxWritesOneParagraphOfSize12)
{
    const std::string xml = writeRuns({boxAt(0)});
    EXPECT_NE(xml.find("<w:txbxContent><w:p><w:pPr><w:rPr><w:sz w:val=\"12\"/><w:szCs w:val=\"12\"/></w:rPr></w:pPr>"
                       "</w:p></w:txbxContent>"),
              std::string::npos)
        << xml;
}

TEST(QXDocxRunTextBoxTest, BoxBorderPaintAndDash)
{
    struct Case {
        std::optional<std::vector<double>> dash;
        std::int64_t phase;
        bool stroke;
        bool dashPhase;
    };
    for (const Case& c : std::vector<Case>{{std::vector<double>{}, 0, false, false},
                                           {std::vector<double>{3, 3}, 0, true, false},
                                           {std::vector<double>{3, 3}, 2, true, true},
                                           {std::nullopt, 2, false, false}}) {
        auto box = boxAt(0);
        QXDocxTextBoxInfo& info = *box->pictInfo();
        info.setStroked(true);
        info.setStrokeweight(2);
        info.setStrokecolor(Color::gray(0.5, 1));
        info.setFilled(true);
        info.setFillcolor(Color::rgb(0, 0, 1, 1));
        info.setStrokeDashPattern(c.dash);
        info.setStrokeDashPhase(c.phase);
        const std::string xml = writeRuns({box});
        EXPECT_NE(xml.find("filled=\"t\" fillcolor=\"#0000FF\" stroked=\"t\" strokeweight=\"2pt\" strokecolor=\"#808080\""),
                  std::string::npos)
            << xml;
        EXPECT_EQ(xml.find("<v:stroke") != std::string::npos, c.stroke) << xml;
        EXPECT_EQ(xml.find("dashPhase=\"2\"") != std::string::npos, c.dashPhase) << xml;
    }
}

TEST(QXDocxRunTextBoxTest, BoxColoursAreHeldByValue)
{
    auto box = boxAt(0);
    {
        std::optional<Color> fill = Color::rgb(0, 1, 0, 1);
        box->pictInfo()->setFillcolor(fill);
        fill.reset();
    }
    const auto copy = std::static_pointer_cast<QXDocxRunTextBox>(box->copy());
    box->pictInfo()->setFillcolor(std::nullopt);
    ASSERT_TRUE(copy->pictInfo()->fillcolorString());
    EXPECT_EQ(*copy->pictInfo()->fillcolorString(), "#00FF00");
}

TEST(QXDocxRunTextBoxTest, ParagraphsOfABoxAreWrittenInOrder)
{
    auto box = boxAt(90);
    std::vector<QXDocxParagraphPtr> paragraphs;
    for (const char* text : {"first line", "second line"}) {
        auto paragraph = std::make_shared<QXDocxParagraph>();
        paragraph->addRunTextArray({test::makeLineRun(text, 0, 50, 10, 0)});
        paragraphs.push_back(paragraph);
    }
    box->setParagraphArray(paragraphs);
    const std::string xml = writeRuns({box});
    const std::size_t first = xml.find("first line");
    ASSERT_NE(first, std::string::npos) << xml;
    EXPECT_LT(xml.find("<w:txbxContent>"), first);
    EXPECT_LT(first, xml.find("second line"));
    EXPECT_LT(xml.find("second line"), xml.find("</w:txbxContent>"));
    EXPECT_EQ(xml.find("sectPr"), std::string::npos) << xml;
}

TEST(QXDocxRunTextBoxTest, TextPathPlacementAndText)
{
    struct Case {
        double width;
        float rotation;
        bool flipX;
        bool flipY;
        std::string expected;
    };
    const std::vector<Case> cases{
        {-50, 30.4f, false, false,
         "position:absolute;left:0;text-align:left;margin-left:10.00pt;margin-top:20.00pt;width:50.00pt;"
         "height:12.00pt;mso-position-horizontal-relative:page;mso-position-vertical-relative:page;"
         "rotation:30;z-index:7"},
        {50, 0, false, true, "mso-position-vertical-relative:page;flip:y;z-index:7"},
        {50, 0, true, true, "mso-position-vertical-relative:page;flip:x y;z-index:7"},
        {50, 0, true, false, "mso-position-vertical-relative:page;flip:x;z-index:7"},
    };
    for (const Case& c : cases) {
        auto path = textPath(c.width, c.rotation);
        path->pictInfo()->setFlipX(c.flipX);
        path->pictInfo()->setFlipY(c.flipY);
        EXPECT_NE(path->shapeStyle().find(c.expected), std::string::npos) << path->shapeStyle();
    }
    const std::string xml = writeRuns({textPath(-50, 30.4f)});
    EXPECT_NE(xml.find("filled=\"t\" fillcolor=\"#FF0000\" stroked=\"f\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<o:extrusion v:ext=\"view\" autorotationcenter=\"t\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("string=\"A &amp; B\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("<w10:wrap anchorx=\"page\" anchory=\"page\"/></v:shape></w:pict></w:r>"), std::string::npos);
}

TEST(QXDocxRunTextBoxTest, AnEmptyTextPathStillWritesItsShape)
{
    auto path = textPath(10, 0);
    path->setRunText("");
    const std::string xml = writeRuns({path});
    EXPECT_NE(xml.find("string=\"\""), std::string::npos) << xml;
    EXPECT_EQ(path->shapeStyle().find("rotation"), std::string::npos);
}

// A page of 600 x 800 points with main text and an annotation's two lines.
void fillAnnotatedPage(QXDocxPage& page)
{
    for (int i = 0; i < 3; ++i)
        page.allRunTextArray().push_back(
            test::makeLineRun("Main text line " + std::to_string(i), 72, 300, 100 + 20.0 * i, i));
    for (int i = 0; i < 2; ++i) {
        auto run = test::makeLineRun("Note " + std::to_string(i), 400, 460, 500 + 14.0 * i, 10 + i);
        run->setIsAnnotion(true);
        run->setPdfAnnotionIndex(4);
        page.allRunTextArray().push_back(run);
    }
}

TEST(QXDocxRunTextBoxTest, AnnotationTextBecomesABoxOfNestedSections)
{
    QXDocxPage page;
    QXDocx_SectPr section = page.sectProperty();
    section.pgSz.w = 600;
    section.pgSz.h = 800;
    section.shouldWrite = true;
    section.type = 1;
    page.setSectProperty(section);
    fillAnnotatedPage(page);
    page.convertAnnotion2TextBox();

    ASSERT_EQ(page.allRunTextArray().size(), 3u);
    ASSERT_EQ(page.allRunTextBoxArray().size(), 1u);
    const QXDocxRunTextBoxPtr& box = page.allRunTextBoxArray().front();
    EXPECT_TRUE(box->isAnnotion());
    ASSERT_FALSE(box->allPageSectionArray().empty());
    EXPECT_EQ(box->allRunTextArray().size(), 2u);
    const Rect frame = box->displayRect();
    EXPECT_DOUBLE_EQ(frame.origin.x, 400);
    EXPECT_DOUBLE_EQ(frame.size.width, 62);
    for (const auto& nested : box->allPageSectionArray())
        EXPECT_EQ(nested->sectProperty().type, QXDocxPage::kNestedSectionType);

    // Written: the box's content holds the notes and no section break.
    const std::string xml = writeRuns({box});
    const std::size_t open = xml.find("<w:txbxContent>");
    const std::size_t close = xml.find("</w:txbxContent>");
    ASSERT_NE(open, std::string::npos) << xml;
    const std::string content = xml.substr(open, close - open);
    EXPECT_NE(content.find("Note 0"), std::string::npos) << content;
    EXPECT_NE(content.find("Note 1"), std::string::npos) << content;
    EXPECT_EQ(content.find("sectPr"), std::string::npos) << content;
}

TEST(QXDocxRunTextBoxTest, DrawingsGoToTheFirstTextParagraph)
{
    QXDocxPage page;
    QXDocx_SectPr section = page.sectProperty();
    section.pgSz.w = 600;
    section.pgSz.h = 800;
    page.setSectProperty(section);
    fillAnnotatedPage(page);
    page.allRunTextPathArray().push_back(textPath(40, 30));
    page.convertAnnotion2TextBox();
    page.createPageWithColumn();
    page._insertFloatRunPicts();

    QXDocxParagraphPtr first;
    for (const auto& s : page.allPageSectionArray())
        if ((first = s->firstTextParagraph()))
            break;
    ASSERT_TRUE(first);
    ASSERT_FALSE(first->writeRunGroupArray().empty());
    const QXDocxRunGroup& group = first->writeRunGroupArray().front();
    ASSERT_GE(group.size(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<QXDocxRunTextBox>(group[0]));
    EXPECT_TRUE(std::dynamic_pointer_cast<QXDocxRunTextPath>(group[1]));
}

TEST(QXDocxRunTextBoxTest, APageWithoutTextStillWritesItsDrawings)
{
    // A page holding a sideways box and nothing else: its blank section's
    // paragraph carries the box.
    const std::string path = test::makeTempDir() + "/page.xml";
    auto writer = std::make_shared<XMLFileWriter>(path);
    writer->setPrefix("w", QXOpenXMLNameSpace::nameSpace_w());
    writer->setPrefix("v", QXDocxPackageNames::kVML);
    writer->setPrefix("o", QXDocxPackageNames::kOffice);
    writer->setPrefix("w10", QXDocxPackageNames::kWord10);
    writer->writeStartDocument();
    writer->writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "body");
    {
        QXDocxPage page(writer, Size{600, 800}, true, true);
        page.allRunTextBoxArray().push_back(boxAt(90));
        page.endWritePage(1);
    }
    writer->writeEndDocument();
    std::ifstream in(path);
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t box = xml.find("txbxContent");
    ASSERT_NE(box, std::string::npos) << xml;
    EXPECT_NE(xml.rfind("<w:p>", box), std::string::npos) << xml;
}

TEST(QXDocxRunTextBoxTest, ASectionWithoutParagraphsMakesOneToAnchorDrawings)
{
    QXDocxPageSection section(QXDocxUtilities::defaultSectPropertyHiden());
    ASSERT_FALSE(section.firstParagraph());
    const QXDocxParagraphPtr anchor = section.anchorParagraph();
    ASSERT_TRUE(anchor);
    EXPECT_EQ(section.firstParagraph(), anchor);
    EXPECT_EQ(section.anchorParagraph(), anchor);
    // A one-point line: the paragraph takes next to no room.
    EXPECT_FLOAT_EQ(anchor->pProperty().spacing.line, 1.0f);
}

} // namespace
} // namespace rz
