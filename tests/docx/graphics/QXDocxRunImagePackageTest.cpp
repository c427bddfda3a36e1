// A DOCX holding a picture merged from two images: the package keeps only
// the merged file, python-docx resolves the picture's relationship to a PNG
// part, the package checker accepts it, and LibreOffice shows the picture
// where it was placed on the page.
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "docx/layout/QXDocxWriter.h"
#include "platform/image/ImageCodec.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/conversion/DocxReadersSupport.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace rz::runimage_package_tests {
namespace {

std::string solidPictureFile(const std::string& folder, const std::string& name, uint8_t r, uint8_t g, uint8_t b)
{
    std::optional<Image> image = Image::make(8, 8, PixelFormat::RGB8);
    for (int y = 0; y < 8; ++y) {
        uint8_t* row = image->mutableRow(y);
        for (int x = 0; x < 8; ++x) {
            row[3 * x] = r;
            row[3 * x + 1] = g;
            row[3 * x + 2] = b;
        }
    }
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << *encodeImage(*image, ImageType::PNG);
    return path;
}

QXDocxRunImagePtr placedPicture(Rect rect, std::uint64_t scanIndex, const std::string& path)
{
    auto info = std::make_shared<QXDocxImageInfo>();
    info->setDisplayX(rect.origin.x);
    info->setDisplayY(rect.origin.y);
    info->setDisplayWidth(rect.size.width);
    info->setDisplayHeight(rect.size.height);
    info->setOpacity(1);
    info->setImageTitle(std::filesystem::path(path).filename().string());
    auto run = std::make_shared<QXDocxRunImage>();
    run->setPictInfo(info);
    run->setPdfScanIndex(scanIndex);
    run->setImagePath(path);
    run->setRunImageTitle(info->imageTitle());
    return run;
}

constexpr const char* kListPackagedPictures = R"(import sys, docx
d = docx.Document(sys.argv[1])
R = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id'
for data in d.element.body.iter('{urn:schemas-microsoft-com:vml}imagedata'):
    part = d.part.related_parts[data.get(R)]
    print('picture', part.content_type, len(part.blob) > 0)
print('images', sum(1 for r in d.part.rels.values() if r.reltype.endswith('/image')))
)";

TEST(QXDocxRunImagePackageTest, AMergedPictureOpensInPythonDocxAndLibreOffice)
{
    const std::string images = test::makeTempDir();
    const auto red = placedPicture({100, 200, 100, 50}, 0, solidPictureFile(images, "red.png", 255, 0, 0));
    const auto blue = placedPicture({200, 200, 100, 50}, 1, solidPictureFile(images, "blue.png", 0, 0, 255));
    red->setPictZIndex(-10);
    blue->setPictZIndex(-9);

    const std::string docx = test::makeTempDir() + "/picture.docx";
    {
        QXDocxWriter writer;
        writer.initWithPath(docx, 1);
        writer.begainWriteDocument();
        writer.begainWritePage(Size{612, 792}, 1);
        for (const auto& image : {red, blue})
            image->setRunImageID(writer.collectImageWithPath(image->imagePath()));
        std::vector<QXDocxRunImagePtr> page{red, blue};
        const QXDocxRunImage::MediaCollector media{
            [&](const std::string& path) { return writer.collectImageWithPath(path); },
            [&](const std::string& path) { writer.removeCollectedImageWithPath(path); }};
        ASSERT_TRUE(QXDocxRunImage::ReplaceWithMergedImage(page, {red, blue}, {612, 792}, 144, media));
        ASSERT_EQ(page.size(), 1u);
        EXPECT_EQ(writer.mediaCollection(), std::vector<std::string>{page[0]->imagePath()});

        XMLFileWriter& body = *writer.documentWriter();
        body.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        page[0]->writeWithXMLWriter(body);
        body.writeEndElement();
        writer.endWritePage();
        writer.endWriteDocument();
        writer.packetZipFileIfNeed();
    }
    ASSERT_TRUE(std::filesystem::is_regular_file(docx));

    if (test::pythonDocxIsInstalled()) {
        std::string out;
        const std::string script = test::writeTempFile(kListPackagedPictures, "list.py");
        EXPECT_EQ(test::runCommand("/usr/bin/python3 " + test::shellQuoted(script) + " " + test::shellQuoted(docx) +
                                       " 2>&1",
                                   &out),
                  0)
            << out;
        EXPECT_EQ(out, "picture image/png True\nimages 1\n");
    }
    if (const std::string check = test::ooxmlCheckTool(); !check.empty()) {
        std::string out;
        EXPECT_EQ(test::runCommand("/usr/bin/python3 " + check + " " + test::shellQuoted(docx) + " 2>&1", &out), 0)
            << out;
    }

    if (!test::haveCommand("soffice") || !test::haveCommand("pdftoppm"))
        GTEST_SKIP() << "LibreOffice or pdftoppm is not installed";
    const std::string pdfDir = test::makeTempDir();
    std::string log;
    ASSERT_EQ(test::libreOfficeToPdf({docx}, pdfDir, &log), 0) << log;
    ASSERT_EQ(test::runCommand("pdftoppm -r 72 -png -singlefile " + test::shellQuoted(pdfDir + "/picture.pdf") + " " +
                                   test::shellQuoted(pdfDir + "/page") + " 2>&1",
                               &log),
              0)
        << log;
    std::optional<Image> rendered = readImageFile(pdfDir + "/page.png");
    ASSERT_TRUE(rendered);
    const Image rgb = rendered->converted(PixelFormat::RGB8);
    // Each component within a few levels of the colour.
    const auto near = [&](int x, int y, std::vector<int> colour) {
        const uint8_t* p = rgb.row(y) + 3 * x;
        for (int i = 0; i < 3; ++i) {
            if (std::abs(int(p[i]) - colour[i]) > 4)
                return false;
        }
        return true;
    };
    // Red on the left half, blue on the right, white around, edges in place.
    EXPECT_TRUE(near(150, 225, {255, 0, 0}));
    EXPECT_TRUE(near(103, 203, {255, 0, 0}));
    EXPECT_TRUE(near(250, 225, {0, 0, 255}));
    EXPECT_TRUE(near(297, 247, {0, 0, 255}));
    EXPECT_TRUE(near(150, 253, {255, 255, 255}));
    EXPECT_TRUE(near(97, 225, {255, 255, 255}));
    EXPECT_TRUE(near(303, 225, {255, 255, 255}));
    EXPECT_TRUE(near(150, 197, {255, 255, 255}));
}

} // namespace
} // namespace rz::runimage_package_tests
