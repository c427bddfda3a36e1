// The DrawingML the slide records write: dashes, picture geometry, run and
// paragraph numbers kept in the schema's ranges, and shape ids on a slide.
#include "converter/ooxml/XMLFileWriter.h"
#include "pptx/slide/QXPPTXPage.h"
#include "pptx/slide/QXPPTXShape.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace rz {
namespace {

// The XML `body` writes, with the three presentation prefixes bound
// unless `bound` is false.
std::string written(const std::function<void(XMLFileWriter&)>& body, bool bound = true)
{
    XMLFileWriter writer(test::makeTempDir() + "/part.xml");
    writer.setIndentation("");
    writer.setLineBreak("");
    if (bound) {
        writer.setPrefix("a", "http://schemas.openxmlformats.org/drawingml/2006/main");
        writer.setPrefix("p", "http://schemas.openxmlformats.org/presentationml/2006/main");
        writer.setPrefix("r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
        writer.writeStartElement("root");
    }
    body(writer);
    writer.writeEndDocument();
    return writer.toString();
}

std::string freeformXML(const std::vector<double>& dash, double lineWidth)
{
    QXPPTXFreeform shape;
    shape.spInfo.stroked = true;
    shape.spInfo.strokeweight = lineWidth;
    shape.spInfo.strokeDashPattern = dash;
    shape.spInfo.displayWidth = 10;
    shape.spInfo.displayHeight = 10;
    Path path;
    path.moveTo({0, 0});
    path.lineTo({10, 10});
    shape.runCGPath = path;
    return written([&](XMLFileWriter& w) { shape.writeShapeWith(w, 2); });
}

TEST(QXPPTXFreeformDash, PresetsAndCustomDashesAsPercentagesOfTheWidth)
{
    struct Case {
        std::vector<double> dash;
        double width;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{}, 1, R"(<a:prstDash val="solid"/>)"},
        {{0, 0}, 1, R"(<a:prstDash val="solid"/>)"},
        {{3, 3}, 1, R"(<a:prstDash val="dash"/>)"},
        {{3, 3, 1, 3, 1, 3}, 1, R"(<a:prstDash val="lgDashDotDot"/>)"},
        {{4, 2, 1, 2}, 2,
         R"(<a:custDash><a:ds d="200000" sp="100000"/><a:ds d="50000" sp="100000"/></a:custDash>)"},
        // An odd pattern repeats so every dash has its space.
        {{3}, 1, R"(<a:custDash><a:ds d="300000" sp="300000"/></a:custDash>)"},
        {{-1, 1e300, 2, 2}, 1,
         R"(<a:custDash><a:ds d="0" sp="2147483647"/><a:ds d="200000" sp="200000"/></a:custDash>)"},
    };
    for (const Case& c : cases)
        EXPECT_NE(freeformXML(c.dash, c.width).find(c.expected), std::string::npos) << c.expected;
}

TEST(QXPPTXFreeformXML, UnstrokedAndUnfilledSidesAreWhiteAtAlphaZero)
{
    QXPPTXFreeform shape;
    shape.spInfo.stroked = true;
    shape.spInfo.strokecolor = Color::rgb(1, 0, 0);
    shape.spInfo.displayWidth = 5;
    shape.spInfo.displayHeight = 5;
    const std::string xml = written([&](XMLFileWriter& w) { shape.writeShapeWith(w, 3); });
    EXPECT_NE(xml.find(R"(<a:solidFill><a:srgbClr val="ffffff"><a:alpha val="0"/>)"), std::string::npos) << xml;
    EXPECT_NE(xml.find(R"(<a:srgbClr val="ff0000"><a:alpha val="100000"/>)"), std::string::npos) << xml;
    EXPECT_NE(xml.find(R"(<p:cNvPr id="3" name="Freeform 3"/>)"), std::string::npos) << xml;
}

TEST(QXPPTXImageInfo, TurnAndMirrorFromTheTransform)
{
    struct Case {
        Affine t;
        std::string expected;
        std::string absent;
    };
    const std::vector<Case> cases = {
        // Upright in the page (y flipped by the page transform).
        {Affine{100, 0, 0, -50, 10, 200}, R"(<a:xfrm><a:off x="127000" y="1905000"/><a:ext cx="1270000" cy="635000"/>)",
         "flipV"},
        // Drawn mirrored.
        {Affine{100, 0, 0, 50, 10, 150}, R"(<a:xfrm flipV="1">)", "rot="},
        // Its x axis points down the slide.
        {Affine{0, 100, 50, 0, 10, 10}, R"(<a:xfrm rot="5400000")", "flipH"},
    };
    for (const Case& c : cases) {
        QXPPTXPicture picture;
        picture.pictInfo = QXPPTXImageInfo::initWithTransform(c.t, 1);
        picture.runImageID = "rId2";
        const std::string xml = written([&](XMLFileWriter& w) { picture.writeShapeWith(w, 4); });
        EXPECT_NE(xml.find(c.expected), std::string::npos) << xml;
        EXPECT_EQ(xml.find(c.absent), std::string::npos) << xml;
        EXPECT_EQ(xml.find("alphaModFix"), std::string::npos) << xml;
    }
    QXPPTXPicture faint;
    faint.pictInfo = QXPPTXImageInfo::initWithTransform(Affine{10, 0, 0, -10, 0, 10}, 0.5);
    const std::string xml = written([&](XMLFileWriter& w) { faint.writeShapeWith(w, 4); });
    EXPECT_NE(xml.find(R"(<a:alphaModFix amt="50000"/>)"), std::string::npos) << xml;
}

TEST(QXPPTXRunXML, NumbersStayInTheSchemaRanges)
{
    struct Case {
        float sz;
        double marL;
        double lnSpc;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {12, 0, 14, R"(<a:pPr><a:lnSpc><a:spcPts val="1400"/></a:lnSpc></a:pPr>)"},
        {0.5f, -3, 14, R"(<a:pPr marL="0">)"},
        {0.5f, 2, 1e9, R"(<a:spcPts val="158400"/>)"},
        {0.5f, 1, 1, R"(sz="100")"},
        {1e6f, 1, 1, R"(sz="400000")"},
        {std::nanf(""), 1, std::nan(""), R"(sz="100")"},
    };
    for (const Case& c : cases) {
        QXPPTXParagraph paragraph;
        paragraph.pProperty.marL = c.marL;
        paragraph.pProperty.lnSpc = c.lnSpc;
        auto run = std::make_shared<QXPPTXRun>();
        run->rProperty.sz = c.sz;
        run->text = "A&B";
        paragraph.runArray.push_back(run);
        const std::string xml = written([&](XMLFileWriter& w) { paragraph.writeParagraphWithXMLWriter(w); });
        EXPECT_NE(xml.find(c.expected), std::string::npos) << xml;
        EXPECT_NE(xml.find(R"(<a:srgbClr val="000000"/>)"), std::string::npos) << xml;
        EXPECT_NE(xml.find("<a:t>A&amp;B</a:t>"), std::string::npos) << xml;
        EXPECT_EQ(xml.find("nan"), std::string::npos) << xml;
        EXPECT_EQ(xml.find("inf"), std::string::npos) << xml;
    }
}

TEST(QXPPTXPage, ShapeIdsCountFromTwoOnEverySlide)
{
    const std::string root = test::makeTempDir();
    QXPPTXPage page(1, root);
    page.begainWritePage();
    auto box = std::make_shared<QXPPTXTextbox>();
    auto paragraph = std::make_shared<QXPPTXParagraph>();
    paragraph->runArray.push_back(std::make_shared<QXPPTXRun>());
    box->paragraphs.push_back(paragraph);
    page.sharepsArr.push_back(box);
    page.sharepsArr.push_back(std::make_shared<QXPPTXFreeform>());
    page.sharepsArr.push_back(std::make_shared<QXPPTXPicture>());
    page.sharepsArr.push_back(std::make_shared<QXPPTXTextbox>());
    const std::string xml = written([&](XMLFileWriter& w) { page.writePage(w); }, false);
    for (const char* expected : {R"(<p:cNvPr id="2" name="TextBox 2"/>)", R"(<p:cNvPr id="3" name="Freeform 3"/>)",
                                 R"(<p:cNvPr id="4" name="Picture 4" descr=""/>)",
                                 R"(<p:cNvPr id="5" name="TextBox 5"/>)"})
        EXPECT_NE(xml.find(expected), std::string::npos) << expected << "\n" << xml;
    // A text body always holds a paragraph.
    EXPECT_NE(xml.find("<a:lstStyle/><a:p/></p:txBody>"), std::string::npos) << xml;
}

TEST(QXPPTXTextbox, TurnedBoxTurnsAboutItsCentreFromItsCorner)
{
    QXPPTXTextbox box;
    box.spInfo.rotation = 90;
    box.spInfo.displayX = 100; // the corner where the first line starts
    box.spInfo.displayY = 50;
    box.spInfo.displayWidth = 20; // turned: 20 wide on the slide, 60 high
    box.spInfo.displayHeight = 60;
    const std::string xml = written([&](XMLFileWriter& w) { box.writeShapeWith(w, 2); });
    // Unturned 60 x 20 about the centre (90, 80): off (60, 70).
    EXPECT_NE(xml.find(R"(<a:xfrm rot="5400000"><a:off x="762000" y="889000"/><a:ext cx="762000" cy="254000"/>)"),
              std::string::npos)
        << xml;
}

} // namespace
} // namespace rz
