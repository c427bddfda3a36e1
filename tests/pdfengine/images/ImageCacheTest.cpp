// The per-document image cache: one extraction per image object, a fresh
// one per inline image, failures remembered, and the folder removed with
// the cache.
#include "pdfengine/images/QXPDFImageCache.h"
#include "pdfengine/images/QXPDFImageExtraction.h"
#include "platform/pdf/ContentScanner.h"
#include "tests/pdfengine/images/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rz {
namespace {

namespace fs = std::filesystem;

TEST(ImageCache, ExtractsEachImageObjectOnceAndRemovesItsFolder)
{
    test::PdfWriter w;
    const int a = w.addStream("/Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8",
                              std::string("\x00\xff", 2));
    const int b = w.addStream("/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceRGB /BitsPerComponent 8", "abc");
    const int bad = w.addStream("/Subtype /Image /Width 1 /ColorSpace /DeviceRGB /BitsPerComponent 8", "abc");
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R /A " + std::to_string(a) +
                           " 0 R /B " + std::to_string(b) + " 0 R /Bad " + std::to_string(bad) + " 0 R >>");
    auto doc = pdf::Document::openData(w.build(root));
    ASSERT_TRUE(doc);

    const std::string folder = test::makeTempDir() + "/cache";
    {
        QXPDFImageCache cache(folder);
        EXPECT_FALSE(fs::exists(folder)); // nothing extracted yet

        const auto first = cache.cachedImagePath(doc->catalog().get("A"));
        const auto again = cache.cachedImagePath(doc->catalog().get("A"));
        ASSERT_TRUE(first && again);
        EXPECT_EQ(*first, *again);
        EXPECT_EQ(fs::path(*first).parent_path(), fs::path(folder));
        EXPECT_EQ(test::filesIn(folder), 1u);

        const auto other = cache.cachedImagePath(doc->catalog().get("B"));
        ASSERT_TRUE(other);
        EXPECT_NE(*other, *first);
        EXPECT_EQ(test::filesIn(folder), 2u);

        EXPECT_FALSE(cache.cachedImagePath(doc->catalog().get("Bad")));
        EXPECT_FALSE(cache.cachedImagePath(doc->catalog().get("Bad")));
        EXPECT_FALSE(cache.cachedImagePath(pdf::Object()));
        EXPECT_EQ(test::filesIn(folder), 2u);
    }
    EXPECT_FALSE(fs::exists(folder));
}

// The inline images of one content stream, read by a scan of their own.
std::vector<pdf::Object> inlineImagesOf(const std::string& data)
{
    std::vector<pdf::Object> images;
    pdf::OperatorTable table;
    table.set("EI", [&](pdf::Scanner& scanner) {
        pdf::Object stream;
        if (scanner.popStream(&stream))
            images.push_back(stream);
    });
    const pdf::ContentStream content(data, pdf::Object(), nullptr);
    pdf::Scanner scanner(content, table);
    scanner.scan();
    return images;
}

TEST(ImageCache, InlineImagesOfDifferentScansNeverShareAFile)
{
    // Abbreviated keys and filter names, and a colour space named in the
    // resources, as inline images have them.
    test::PdfWriter w;
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) +
                           " 0 R /CS << /CS1 [/Indexed /RGB 1 <FF000000FF00>] >> >>");
    auto doc = pdf::Document::openData(w.build(root));
    ASSERT_TRUE(doc);
    const pdf::Object colorSpaces = doc->catalog().get("CS");

    const auto first = inlineImagesOf("BI /W 2 /H 1 /BPC 8 /CS /G /F /AHx ID 00FF> EI\n"
                                      "BI /W 2 /H 1 /BPC 8 /CS /CS1 ID " +
                                      std::string("\x00\x01", 2) + " EI\n");
    const auto second = inlineImagesOf("BI /W 1 /H 1 /BPC 8 /CS /G ID \x80 EI\n");
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 1u);
    ASSERT_EQ(first[0].id(), second[0].id()); // same numbers in different scans

    QXPDFImageCache cache(test::makeTempDir() + "/inline");
    const auto gray = cache.cachedImagePath(first[0], colorSpaces);
    const auto indexed = cache.cachedImagePath(first[1], colorSpaces);
    const auto other = cache.cachedImagePath(second[0], colorSpaces);
    ASSERT_TRUE(gray && indexed && other);
    EXPECT_NE(*gray, *indexed);
    EXPECT_NE(*gray, *other);
    EXPECT_EQ(*cache.cachedImagePath(first[0], colorSpaces), *gray);
    EXPECT_EQ(test::filesIn(cache.folder()), 3u);
    const auto grayImage = readImageFile(*gray);
    const auto otherImage = readImageFile(*other);
    ASSERT_TRUE(grayImage && otherImage);
    EXPECT_EQ(grayImage->width(), 2);
    EXPECT_EQ(otherImage->width(), 1);

    const auto pixels = QXPDFImageExtraction::imageWithPDFStream(first[1], colorSpaces, false);
    ASSERT_TRUE(pixels);
    const uint8_t redThenGreen[6] = {255, 0, 0, 0, 255, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pixels->row(0)[i], redThenGreen[i]);
}

} // namespace
} // namespace rz
