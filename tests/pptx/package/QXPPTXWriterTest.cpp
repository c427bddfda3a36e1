// The presentation package: slides listed in order, only finished ones;
// the slide size; picture files taken once, typed from their bytes, shown
// wherever they are used; the package as an office suite checks it.
#include "converter/QXError.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/image/Image.h"
#include "pptx/package/QXPPTXWriter.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace rz {
namespace {

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

std::string part(const std::string& package, const std::string& name)
{
    std::string out;
    test::runCommand("unzip -p " + quoted(package) + " " + quoted(name) + " 2>/dev/null", &out);
    return out;
}

std::string entries(const std::string& package)
{
    std::string out;
    test::runCommand("unzip -Z1 " + quoted(package) + " 2>/dev/null", &out);
    return out;
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

void expectCheckedPackage(const std::string& package)
{
    const std::string corpus = test::corpusDir();
    const std::string tool = corpus.empty() ? std::string() : corpus + "/../tools/ooxml-check";
    if (tool.empty() || access(tool.c_str(), X_OK) != 0)
        return;
    std::string report;
    EXPECT_EQ(test::runCommand(quoted(tool) + " " + quoted(package) + " 2>&1", &report), 0) << report;
}

std::string writePicture(const std::string& folder, const std::string& name, const std::string& type)
{
    std::optional<Image> image = Image::make(4, 3, PixelFormat::RGB8);
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(QXWriteImageToURL(image, path, type, 72, 72, 1.0f)) << path;
    return path;
}

TEST(QXPPTXWriter, ThreeSlidesAreListedInOrderWithTheFirstPagesSize)
{
    const std::string dest = test::makeTempDir() + "/three.pptx";
    QXPPTXWriter writer;
    writer.initWithPath(dest, 3);
    writer.begainWriteDocument();
    for (const Size size : {Size{612, 792}, Size{300, 300}, Size{800, 600}}) {
        writer.begainWritePage(size);
        writer.endWritePage();
    }
    writer.packetPPTXFile();
    ASSERT_TRUE(fs::exists(dest));

    const std::string presentation = part(dest, "ppt/presentation.xml");
    const std::string rels = part(dest, "ppt/_rels/presentation.xml.rels");
    for (int k = 0; k < 3; ++k) {
        const std::string id = "rId" + std::to_string(6 + k);
        EXPECT_NE(presentation.find("<p:sldId id=\"" + std::to_string(256 + k) + "\" r:id=\"" + id + "\"/>"),
                  std::string::npos)
            << presentation;
        EXPECT_NE(rels.find("Id=\"" + id + "\""), std::string::npos) << rels;
        EXPECT_NE(rels.find("slides/slide" + std::to_string(k + 1) + ".xml"), std::string::npos) << rels;
    }
    EXPECT_NE(presentation.find(R"(<p:sldSz cx="7772400" cy="10058400" type="screen4x3"/>)"), std::string::npos)
        << presentation;
    EXPECT_NE(part(dest, "docProps/app.xml").find("<Slides>3</Slides>"), std::string::npos);
    const std::string core = part(dest, "docProps/core.xml");
    EXPECT_TRUE(std::regex_search(core, std::regex(R"(xsi:type="dcterms:W3CDTF">\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ<)")))
        << core;
    EXPECT_NE(core.find("<cp:lastModifiedBy>Verdexa Slides</cp:lastModifiedBy>"), std::string::npos) << core;
    const std::string list = entries(dest);
    EXPECT_EQ(count(list, "ppt/slideLayouts/slideLayout"), 11u) << list;
    for (const char* name : {"ppt/slideMasters/slideMaster1.xml", "ppt/theme/theme1.xml", "docProps/thumbnail.jpeg"})
        EXPECT_NE(list.find(name), std::string::npos) << name;
    const std::string master = part(dest, "ppt/slideMasters/_rels/slideMaster1.xml.rels");
    EXPECT_NE(master.find(R"(Id="rId12" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme")"),
              std::string::npos)
        << master;
    expectCheckedPackage(dest);
    // Every XML part is well-formed.
    std::string lint;
    EXPECT_EQ(test::runCommand("cd " + quoted(test::makeTempDir()) + " && unzip -q " + quoted(dest) +
                                   " && find . -name '*.xml' -o -name '*.rels' | xargs xmllint --noout 2>&1",
                               &lint),
              0)
        << lint;
}

TEST(QXPPTXWriter, AnUnfinishedSlideIsNotListed)
{
    const std::string dest = test::makeTempDir() + "/gap.pptx";
    const std::string folder = test::makeTempDir();
    const std::string png = writePicture(folder, "only-on-2.png", "public.png");
    QXPPTXWriter writer;
    writer.initWithPath(dest, 3);
    writer.begainWriteDocument();
    writer.begainWritePage({612, 792});
    writer.endWritePage();
    writer.begainWritePage({612, 792}); // fails before its end
    ASSERT_TRUE(writer.collectImageWithPath(png));
    writer.begainWritePage({612, 792});
    writer.endWritePage();
    writer.packetPPTXFile();

    const std::string list = entries(dest);
    EXPECT_EQ(list.find("slide2.xml"), std::string::npos) << list;
    EXPECT_EQ(list.find("ppt/media/"), std::string::npos) << list;
    const std::string types = part(dest, "\\[Content_Types\\].xml");
    ASSERT_NE(types.find("<Types"), std::string::npos);
    EXPECT_EQ(types.find("slide2.xml"), std::string::npos) << types;
    EXPECT_NE(types.find("slide3.xml"), std::string::npos) << types;
    const std::string presentation = part(dest, "ppt/presentation.xml");
    EXPECT_EQ(count(presentation, "<p:sldId "), 2u) << presentation;
    EXPECT_NE(part(dest, "ppt/_rels/presentation.xml.rels").find(R"(Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/slide" Target="slides/slide3.xml")"),
              std::string::npos);
    expectCheckedPackage(dest);
}

TEST(QXPPTXWriter, PicturesAreTakenOnceTypedFromTheirBytesAndShownWhereverUsed)
{
    const std::string folder = test::makeTempDir();
    const std::string png = writePicture(folder, "named.dat", "public.png");
    const std::string jpeg = writePicture(folder, "named.png", "public.jpeg");
    const std::string gif = writePicture(folder, "picture.gif", "com.compuserve.gif");
    const std::string dest = test::makeTempDir() + "/media.pptx";
    QXPPTXWriter writer;
    writer.initWithPath(dest, 2);
    writer.begainWriteDocument();
    writer.begainWritePage({612, 792});
    EXPECT_EQ(writer.collectImageWithPath(png), std::optional<std::string>("rId2"));
    EXPECT_EQ(writer.collectImageWithPath(png), std::optional<std::string>("rId2"));
    EXPECT_EQ(writer.collectImageWithPath(jpeg), std::optional<std::string>("rId3"));
    EXPECT_EQ(writer.collectImageWithPath(folder + "/missing.png"), std::nullopt);
    EXPECT_EQ(writer.collectImageWithPath(gif), std::optional<std::string>("rId4"));
    writer.endWritePage();
    writer.begainWritePage({612, 792});
    EXPECT_EQ(writer.collectImageWithPath(jpeg), std::optional<std::string>("rId2"));
    // A picture made for one use is copied each time it is shown.
    const std::optional<Image> rendered = Image::make(5, 2, PixelFormat::RGBA8);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(writer.collectRenderedImage(*rendered, 144), std::optional<std::string>("rId3"));
    EXPECT_EQ(writer.collectRenderedImage(*rendered, 144), std::optional<std::string>("rId4"));
    EXPECT_EQ(writer.collectRenderedImage(Image(), 144), std::nullopt);
    EXPECT_EQ(writer.mediaCount(), 5u);
    writer.endWritePage();
    writer.packetPPTXFile();

    const std::string list = entries(dest);
    EXPECT_EQ(count(list, "ppt/media/"), 5u) << list;
    for (const char* name : {"ppt/media/image1.png", "ppt/media/image2.jpeg", "ppt/media/image3.png",
                             "ppt/media/image4.png", "ppt/media/image5.png"})
        EXPECT_NE(list.find(name), std::string::npos) << name << "\n" << list;
    const std::string first = part(dest, "ppt/slides/_rels/slide1.xml.rels");
    EXPECT_EQ(count(first, "../media/"), 3u) << first;
    EXPECT_NE(part(dest, "ppt/slides/_rels/slide2.xml.rels").find(R"(Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="../media/image2.jpeg")"),
              std::string::npos);
    // The engine's files stay where they were.
    EXPECT_TRUE(fs::exists(png));
    EXPECT_TRUE(fs::exists(gif));
    expectCheckedPackage(dest);
}

TEST(QXPPTXWriter, SlideSidesStayInTheSchemasRange)
{
    struct Case {
        double points;
        std::int64_t emu;
    };
    for (const Case& c : {Case{612, 7772400}, Case{791.5, 10052050}, Case{7, 914400}, Case{0, 914400},
                          Case{1e9, 51206400}, Case{std::nan(""), 914400}, Case{INFINITY, 914400}})
        EXPECT_EQ(QXPPTXWriter::slideSideEMU(c.points), c.emu) << c.points;
}

TEST(QXPPTXWriter, AFailedDocumentLeavesNoFile)
{
    const std::string dest = test::makeTempDir() + "/failed.pptx";
    QXPPTXWriter writer;
    writer.initWithPath(dest, 1);
    writer.begainWriteDocument();
    writer.begainWritePage({612, 792});
    writer.endWritePage();
    writer.markFailed("The page has no usable size.");
    EXPECT_THROW(writer.packetPPTXFile(), QXConversionException);
    EXPECT_FALSE(fs::exists(dest));
}

} // namespace
} // namespace rz
