// The presentation exporter: page set-up (rotation, size limits, crop-box
// origin), word gaps, and what small pages become on their slide.
#include "converter/QXError.h"
#include "pptx/export/QXPPTXPDFExporter.h"
#include "tests/flowtext/ConversionSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace rz {
namespace {

const char* kHelvetica = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

// The slide part of a one-page document converted to PPTX.
std::string slideOf(const test::PageFixture& page)
{
    const std::string pdf = test::writeTempFile(test::makePdf(std::vector<test::PageFixture>{page}));
    const std::string dest = test::makeTempDir() + "/out.pptx";
    const test::ConversionResult result = test::convertFile(pdf, "pptx", dest);
    EXPECT_FALSE(result.error) << result.error->reason;
    std::string out;
    test::runCommand("unzip -p '" + dest + "' ppt/slides/slide1.xml 2>/dev/null", &out);
    return out;
}

std::string slideOf(const std::string& content, const std::string& resources = kHelvetica)
{
    test::PageFixture page;
    page.content = content;
    page.resources = resources;
    return slideOf(page);
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

TEST(QXPPTXPageSetUp, RotationAndSizeLimits)
{
    struct Case {
        Rect crop;
        int rotation;
        int folded;
        Size size;
        double scale;
    };
    const std::vector<Case> cases = {
        {Rect(0, 0, 612, 792), -90, 270, {612, 792}, 1},
        {Rect(0, 0, 612, 792), 450, 90, {612, 792}, 1},
        {Rect(0, 0, 2000, 1000), 0, 0, {1583, 791.5}, 0.7915},
        {Rect(0, 0, 5, 100), 0, 0, {72, 1440}, 14.4},
    };
    for (const Case& c : cases) {
        QXPPTXPDFExporter exporter;
        exporter.setUpPage(c.crop, c.crop, c.rotation);
        EXPECT_EQ(exporter.currentPageRotationAngle(), c.folded);
        EXPECT_NEAR(exporter.currentPageCropBox().size.width, c.size.width, 1e-3);
        EXPECT_NEAR(exporter.currentPageCropBox().size.height, c.size.height, 1e-3);
        // A point one unit right of the page's top-left corner.
        if (c.rotation == 0) {
            const Point p = apply(Point{1, c.crop.size.height}, exporter.currentPageTransform());
            EXPECT_NEAR(p.x, c.scale, 1e-3);
            EXPECT_NEAR(p.y, 0, 1e-3);
        }
    }
}

TEST(QXPPTXPageSetUp, ANegativeCropOriginMovesTheContentByTheTrueOrigin)
{
    QXPPTXPDFExporter exporter;
    exporter.setUpPage(Rect(-50, -20, 600, 800), Rect(-50, -20, 600, 800), 0);
    EXPECT_EQ(exporter.currentPageCropBox().origin.x, 0);
    EXPECT_EQ(exporter.currentPageCropBox().origin.y, 0);
    // The box's top-left corner (-50, 780) is the slide's origin.
    const Point p = apply(Point{-50, 780}, exporter.currentPageTransform());
    EXPECT_NEAR(p.x, 0, 1e-9);
    EXPECT_NEAR(p.y, 0, 1e-9);
}

TEST(QXPPTXPageSetUp, AZeroOrEndlessSizeIsAnError)
{
    for (const Rect& crop : {Rect(0, 0, 0, 792), Rect(0, 0, 612, INFINITY), Rect(0, 0, NAN, 10)}) {
        QXPPTXPDFExporter exporter;
        EXPECT_THROW(exporter.setUpPage(crop, crop, 0), QXConversionException);
    }
}

TEST(QXPPTXWordGaps, SpacesInAGap)
{
    struct Case {
        double dx;
        double space;
        std::int64_t spaces;
    };
    for (const Case& c : {Case{2.5, 1, 2}, Case{1, 1, 1}, Case{0.5, 1, 1}, Case{0.2, 1, 0}, Case{-0.5, 1, 0},
                          Case{5, 0, 0}, Case{5, -1, 0}, Case{5, NAN, 0}, Case{1e12, 1, 100}, Case{INFINITY, 1, 0}})
        EXPECT_EQ(QXPPTXPDFExporter::spacesInGap(c.dx, c.space), c.spaces) << c.dx << " / " << c.space;
}

TEST(QXPPTXTextBoxes, LinesBecomeParagraphsAndAFarLineANewBox)
{
    // Helvetica's space is 0.278 em: at 10 pt a gap of 7 points holds two.
    const std::string near = slideOf("BT /F1 10 Tf 72 700 Td (Ab) Tj 19.23 0 Td (cd) Tj ET "
                                     "BT /F1 10 Tf 92 688 Td (Second) Tj ET");
    EXPECT_EQ(count(near, "txBox=\"1\""), 1u) << near;
    EXPECT_EQ(count(near, "<a:p>"), 2u) << near;
    EXPECT_NE(near.find("<a:t>Ab  cd</a:t>"), std::string::npos) << near;
    EXPECT_NE(near.find("<a:pPr marL=\"254000\">"), std::string::npos) << near;

    const std::string far = slideOf("BT /F1 10 Tf 72 700 Td (First) Tj ET BT /F1 10 Tf 72 604 Td (Far) Tj ET");
    EXPECT_EQ(count(far, "txBox=\"1\""), 2u) << far;

    // Leading spaces open nothing; a turned character opens its own box.
    const std::string turned = slideOf("BT /F1 10 Tf 72 700 Td (  Up) Tj ET BT /F1 10 Tf 0 -1 1 0 300 500 Tm (Dn) Tj ET");
    EXPECT_NE(turned.find("<a:t>Up</a:t>"), std::string::npos) << turned;
    EXPECT_NE(turned.find("rot=\"5400000\""), std::string::npos) << turned;
    EXPECT_EQ(count(turned, "txBox=\"1\""), 2u) << turned;

    // Lines of text read upwards: the next line starts level with the
    // first along the lines, so it takes no margin.
    const std::string upwards = slideOf("BT /F1 10 Tf 0 1 -1 0 300 300 Tm (Up) Tj 0 1 -1 0 312 300 Tm (Next) Tj ET");
    EXPECT_EQ(count(upwards, "txBox=\"1\""), 1u) << upwards;
    EXPECT_NE(upwards.find("rot=\"16200000\""), std::string::npos) << upwards;
    EXPECT_EQ(count(upwards, "<a:p>"), 2u) << upwards;
    EXPECT_EQ(upwards.find("marL"), std::string::npos) << upwards;
}

TEST(QXPPTXShapes, PathsBecomeFreeformsExceptAWhiteBackground)
{
    const std::string white = slideOf("1 1 1 rg 0 0 612 792 re f", "<< >>");
    EXPECT_EQ(white.find("<p:sp>"), std::string::npos) << white;
    const std::string grey = slideOf("0.9 0.9 0.9 rg 0 0 612 792 re f", "<< >>");
    EXPECT_EQ(count(grey, "name=\"Freeform 2\""), 1u) << grey;

    // A horizontal line of width 2 is a shape 2 points high about it.
    const std::string line = slideOf("2 w [3 3] 0 d 100 692 m 300 692 l S", "<< >>");
    for (const char* expected : {R"(<a:off x="1270000" y="1257300"/>)", R"(<a:ext cx="2540000" cy="25400"/>)"})
        EXPECT_NE(line.find(expected), std::string::npos) << expected << "\n" << line;
    EXPECT_NE(line.find(R"(<a:prstDash val="dash"/>)"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(<a:ln w="25400" cap="flat">)"), std::string::npos) << line;
}

TEST(QXPPTXShapes, AnImageShownTwiceIsOneMediaFile)
{
    test::PdfWriter w;
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceRGB "
                                  "/BitsPerComponent 8",
                                  std::string(12, '\x80'));
    const int content = w.addStream("", "q 100 0 0 50 72 600 cm /Im1 Do Q q 100 0 0 -50 272 650 cm /Im1 Do Q");
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 612 792] /Resources << /XObject << /Im1 " + std::to_string(image) +
                           " 0 R >> >> /Contents " + std::to_string(content) + " 0 R >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const std::string pdf = test::writeTempFile(w.build(root));
    const std::string dest = test::makeTempDir() + "/images.pptx";
    ASSERT_FALSE(test::convertFile(pdf, "pptx", dest).error);
    std::string slide, rels, list;
    test::runCommand("unzip -p '" + dest + "' ppt/slides/slide1.xml", &slide);
    test::runCommand("unzip -p '" + dest + "' ppt/slides/_rels/slide1.xml.rels", &rels);
    test::runCommand("unzip -Z1 '" + dest + "'", &list);
    EXPECT_EQ(count(slide, "r:embed=\"rId2\""), 2u) << slide;
    EXPECT_EQ(count(rels, "../media/"), 1u) << rels;
    EXPECT_EQ(count(list, "ppt/media/"), 1u) << list;
    // The second is drawn mirrored.
    EXPECT_EQ(count(slide, "flipV=\"1\""), 1u) << slide;
}

} // namespace
} // namespace rz
