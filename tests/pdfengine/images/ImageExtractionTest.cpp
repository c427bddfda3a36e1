// Image extraction checked against pdfimages (poppler) on real and fixture
// PDFs, and the masks, failures and naming rules on small fixtures.
#include "pdfengine/images/QXPDFImageExtraction.h"
#include "tests/pdfengine/images/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace rz {
namespace {

using test::PdfWriter;

// Extracts the image and compares it with what pdfimages writes for the
// same object: the decoded colours (and alpha, against pdfimages' smask)
// within a mean difference of `tolerance` levels per component, and the
// file written (JPEG or PNG) within a looser one for JPEG's losses.
void expectLikePdfimages(const std::string& pdfPath, int page, const pdf::Object& image, double tolerance)
{
    ASSERT_TRUE(image.isStream());
    const auto reference = test::pdfimagesReference(pdfPath, page);
    std::optional<Image> expectedColor, expectedAlpha;
    for (size_t i = 0; i < reference.size(); ++i) {
        if (reference[i].objectNumber != image.id().number)
            continue;
        expectedColor = readImageFile(reference[i].file);
        // pdfimages writes stencil masks with their painted samples white;
        // extraction gives the painted samples black, as the page shows them.
        if (expectedColor && reference[i].type == "stencil")
            expectedColor = test::inverted(*expectedColor);
        if (i + 1 < reference.size() && reference[i + 1].type == "smask")
            expectedAlpha = readImageFile(reference[i + 1].file);
        break;
    }
    ASSERT_TRUE(expectedColor) << "pdfimages gave no image for object " << image.id().number;
    const PixelFormat format = expectedColor->isMonochrome() ? PixelFormat::Gray8 : PixelFormat::RGB8;

    bool masked = false;
    const auto decoded = QXPDFImageExtraction::imageWithPDFStream(image, pdf::Object(), false, &masked);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(masked, expectedAlpha.has_value());
    const double colorDifference = test::meanDifference(test::colorOf(*decoded), *expectedColor, format);
    EXPECT_GE(colorDifference, 0) << "size " << decoded->width() << "x" << decoded->height() << " vs "
                                  << expectedColor->width() << "x" << expectedColor->height();
    EXPECT_LE(colorDifference, tolerance);
    if (expectedAlpha) {
        ASSERT_EQ(decoded->format(), PixelFormat::RGBA8);
        const double alphaDifference = test::meanDifference(test::alphaOf(*decoded), *expectedAlpha, PixelFormat::Gray8);
        EXPECT_GE(alphaDifference, 0);
        EXPECT_LE(alphaDifference, 1.0);
    }

    const std::string dir = test::makeTempDir();
    const std::string path = QXPDFImageExtraction::UUIDImagePathForStream(image, dir);
    ASSERT_TRUE(QXPDFImageExtraction::extractPDFStream(image, pdf::Object(), path, kQXPDFImageJPEGQuality, false));
    const std::string bytes = test::readFile(path);
    EXPECT_EQ(detectImageType(bytes), expectedAlpha ? ImageType::PNG : ImageType::JPEG);
    const auto written = decodeImage(bytes);
    ASSERT_TRUE(written);
    // The file holds the decoded image (JPEG's losses aside: the reference
    // goes through the same encoder for the comparison).
    std::optional<Image> expectedFile = expectedColor;
    if (!expectedAlpha) {
        ImageProperties properties;
        properties.quality = kQXPDFImageJPEGQuality;
        const auto jpeg = encodeImage(*expectedColor, ImageType::JPEG, properties);
        ASSERT_TRUE(jpeg);
        expectedFile = decodeImage(*jpeg);
        ASSERT_TRUE(expectedFile);
    }
    const double fileDifference = test::meanDifference(test::colorOf(*written), *expectedFile, format);
    EXPECT_GE(fileDifference, 0);
    EXPECT_LE(fileDifference, tolerance + 1);
}

struct CorpusCase {
    const char* file;
    int page;
    int objectNumber;
    const char* what;
};

TEST(ImageExtractionCorpus, ImagesLookLikePdfimagesOutput)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    const CorpusCase cases[] = {
        {"layout/pdf2docx/demo-section.pdf", 1, 17, "RGB JPEG"},
        {"tables/tabula/argentina_diputados_voting_record.pdf", 1, 9, "ICC-based JPEG"},
        {"layout/pdf2docx/demo-image.pdf", 1, 18, "Flate RGB samples"},
        {"text/AzureInterior.pdf", 1, 24, "RGB with a soft mask"},
        {"fonts/tracemonkey.pdf", 2, 52, "ICC-based RGB with a soft mask"},
        {"tables/tabula/jpeg2000.pdf", 1, 6, "JBIG2 image mask"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = corpus + "/" + c.file;
        auto doc = pdf::Document::open(path);
        ASSERT_TRUE(doc);
        const pdf::Object image = test::findXObject(doc->page(c.page).resources(), c.objectNumber);
        expectLikePdfimages(path, c.page, image, 1.0);
    }
}

// Fixture images of the kinds the corpus lacks, each drawn on a page.
struct FixtureCase {
    const char* what;
    std::string entries;
    std::string data;
    int width;
    int height;
    double tolerance;
};

std::string fixtureFile(const std::string& name)
{
    return test::readFile(test::fixturesDir() + "/images/" + name);
}

// An 8-bit RGB test picture: gradients and a few flat patches.
Image testPicture(int w, int h)
{
    auto im = Image::make(w, h, PixelFormat::RGB8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = im->mutableRow(y) + 3 * x;
            p[0] = static_cast<uint8_t>(x * 255 / (w - 1));
            p[1] = static_cast<uint8_t>(y * 255 / (h - 1));
            p[2] = (x / 8 + y / 8) % 2 ? 200 : 40;
        }
    return *im;
}

TEST(ImageExtractionFixtures, ImagesLookLikePdfimagesOutput)
{
    const Image picture = testPicture(40, 30);
    const auto jpx = encodeImage(picture, ImageType::JPEG2000);
    const auto grayJpeg = encodeImage(picture.converted(PixelFormat::Gray8), ImageType::JPEG);
    ASSERT_TRUE(jpx && grayJpeg);
    const std::string cmyk = fixtureFile("cmyk.jpg");
    const std::string g4 = fixtureFile("ccitt_g4_64x48.bin");
    ASSERT_FALSE(cmyk.empty());
    ASSERT_FALSE(g4.empty());

    std::string rgb16, indexed4, separation, lab;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint8_t* p = picture.row(y) + 3 * x;
            for (int k = 0; k < 3; ++k) {
                // High bytes below 0xfb: pdfimages wraps samples near 65535 to 0.
                rgb16.push_back(static_cast<char>(p[k] * 250 / 255));
                rgb16.push_back(static_cast<char>(p[k] ^ 0x5a));
            }
            separation.push_back(static_cast<char>(p[0]));
            lab.push_back(static_cast<char>(p[1]));
            lab.push_back(static_cast<char>(p[0]));
            lab.push_back(static_cast<char>(p[2]));
        }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; x += 2)
            indexed4.push_back(static_cast<char>((((x / 8 + y / 6) % 4) << 4) | ((x / 8 + y / 6) % 4)));

    const FixtureCase cases[] = {
        {"CMYK JPEG", "/Type /XObject /Subtype /Image /Width 32 /Height 24 /ColorSpace /DeviceCMYK "
                      "/BitsPerComponent 8 /Filter /DCTDecode",
         cmyk, 32, 24, 1.0},
        {"CMYK JPEG with an inverting /Decode", "/Type /XObject /Subtype /Image /Width 32 /Height 24 "
                      "/ColorSpace /DeviceCMYK /BitsPerComponent 8 /Filter /DCTDecode /Decode [1 0 1 0 1 0 1 0]",
         cmyk, 32, 24, 1.0},
        {"gray JPEG", "/Type /XObject /Subtype /Image /Width 40 /Height 30 /ColorSpace /DeviceGray "
                      "/BitsPerComponent 8 /Filter /DCTDecode",
         *grayJpeg, 40, 30, 1.0},
        {"JPEG 2000 without /BitsPerComponent and /ColorSpace",
         "/Type /XObject /Subtype /Image /Width 40 /Height 30 /Filter /JPXDecode", *jpx, 40, 30, 1.0},
        {"CCITT Group 4", "/Type /XObject /Subtype /Image /Width 64 /Height 48 /ColorSpace /DeviceGray "
                          "/BitsPerComponent 1 /Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 64 /Rows 48 >>",
         g4, 64, 48, 1.0},
        {"16-bit RGB", "/Type /XObject /Subtype /Image /Width 40 /Height 30 /ColorSpace /DeviceRGB "
                       "/BitsPerComponent 16",
         rgb16, 40, 30, 1.0},
        {"4-bit indexed", "/Type /XObject /Subtype /Image /Width 40 /Height 30 /BitsPerComponent 4 "
                          "/ColorSpace [/Indexed /DeviceRGB 3 <FF000000FF000000FFFFFF00>]",
         indexed4, 40, 30, 1.0},
        {"Separation through its tint transform",
         "/Type /XObject /Subtype /Image /Width 40 /Height 30 /BitsPerComponent 8 /ColorSpace "
         "[/Separation /Spot /DeviceRGB << /FunctionType 2 /Domain [0 1] /C0 [1 1 1] /C1 [0.2 0.4 0.9] /N 1 >>]",
         separation, 40, 30, 1.0},
        {"Lab", "/Type /XObject /Subtype /Image /Width 40 /Height 30 /BitsPerComponent 8 "
                "/ColorSpace [/Lab << /WhitePoint [0.9505 1 1.089] /Range [-100 100 -100 100] >>]",
         lab, 40, 30, 6.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PdfWriter w;
        const int image = w.addStream(c.entries, c.data);
        const auto doc = test::openImageDoc(test::imagePagePdf(w, image, c.width, c.height));
        ASSERT_TRUE(doc.doc);
        expectLikePdfimages(doc.path, 1, doc.image(), c.tolerance);
    }
}

// ---------------------------------------------------------------- masks

pdf::Object singleImage(test::ImageDoc& holder, const std::string& entries, const std::string& data)
{
    PdfWriter w;
    const int image = w.addStream(entries, data);
    holder = test::openImageDoc(test::imagePagePdf(w, image, 10, 10));
    return holder.image();
}

TEST(ImageExtractionMasks, SoftMaskOfAnotherSizeIsStretchedOverTheLargerCanvas)
{
    PdfWriter w;
    // A 2×1 soft mask (opaque left, transparent right) over a 4×2 red image.
    const int smask = w.addStream("/Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray "
                                  "/BitsPerComponent 8",
                                  std::string("\xff\x00", 2));
    std::string red;
    for (int i = 0; i < 8; ++i)
        red += std::string("\xff\x00\x00", 3);
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 4 /Height 2 /ColorSpace /DeviceRGB "
                                  "/BitsPerComponent 8 /SMask " + std::to_string(smask) + " 0 R",
                                  red);
    const auto doc = test::openImageDoc(test::imagePagePdf(w, image, 4, 2));
    bool masked = false;
    const auto out = QXPDFImageExtraction::imageWithPDFStream(doc.image(), pdf::Object(), false, &masked);
    ASSERT_TRUE(out);
    EXPECT_TRUE(masked);
    ASSERT_EQ(out->format(), PixelFormat::RGBA8);
    EXPECT_EQ(out->width(), 4);
    EXPECT_EQ(out->height(), 2);
    EXPECT_EQ(out->row(0)[0], 255);      // red
    EXPECT_GT(out->row(1)[3], 200);      // left: opaque
    EXPECT_LT(out->row(1)[4 * 3 + 3], 55); // right: transparent
}

TEST(ImageExtractionMasks, StencilMaskShowsTheImageWhereItsSamplesAreZero)
{
    PdfWriter w;
    // 8×1 mask: 0 on the left half (painted), 1 on the right half.
    const int mask = w.addStream("/Type /XObject /Subtype /Image /Width 8 /Height 1 /ImageMask true",
                                 std::string("\x0f", 1));
    std::string red;
    for (int i = 0; i < 8; ++i)
        red += std::string("\xff\x00\x00", 3);
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 8 /Height 1 /ColorSpace /DeviceRGB "
                                  "/BitsPerComponent 8 /Mask " + std::to_string(mask) + " 0 R",
                                  red);
    const auto doc = test::openImageDoc(test::imagePagePdf(w, image, 8, 1));
    const auto out = QXPDFImageExtraction::imageWithPDFStream(doc.image(), pdf::Object(), false);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->format(), PixelFormat::RGBA8);
    EXPECT_EQ(out->row(0)[4 * 1 + 3], 255);
    EXPECT_EQ(out->row(0)[4 * 6 + 3], 0);

    // poppler paints the same half.
    ASSERT_EQ(test::runCommand("pdftoppm -r 72 -singlefile -png '" + doc.path + "' '" + doc.path + "-r'"), 0);
    const auto rendered = readImageFile(doc.path + "-r.png");
    ASSERT_TRUE(rendered);
    const Image rgb = rendered->converted(PixelFormat::RGB8);
    EXPECT_EQ(rgb.row(0)[3 * 1 + 1], 0);   // left pixel red (no green)
    EXPECT_EQ(rgb.row(0)[3 * 6 + 1], 255); // right pixel white page
}

TEST(ImageExtractionMasks, ColorKeyRangesCompareRawSamples)
{
    struct Case {
        const char* what;
        std::string entries;
        std::string data;
        std::vector<uint8_t> expectedAlpha;
    };
    const Case cases[] = {
        // 4-bit gray: raw 15 is keyed out; the range is in raw units, not /255.
        {"4-bit gray", "/Width 4 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 4 /Mask [15 15]",
         std::string("\x0f\xf3", 2), {255, 0, 0, 255}},
        {"8-bit RGB", "/Width 2 /Height 1 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Mask [250 255 0 5 0 5]",
         std::string("\xfc\x02\x00\xfc\x10\x00", 6), {0, 255}},
        {"more than 64 numbers", "/Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8 /Mask [7 9" +
                                     [] {
                                         std::string s;
                                         for (int i = 0; i < 70; ++i)
                                             s += " 1";
                                         return s;
                                     }() + "]",
         std::string("\x08", 1), {0}},
        {"too few numbers", "/Width 1 /Height 1 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Mask [0 255]",
         std::string("\x08\x08\x08", 3), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::ImageDoc holder;
        const pdf::Object image = singleImage(holder, "/Type /XObject /Subtype /Image " + c.entries, c.data);
        bool masked = false;
        const auto out = QXPDFImageExtraction::imageWithPDFStream(image, pdf::Object(), false, &masked);
        ASSERT_TRUE(out);
        EXPECT_EQ(masked, !c.expectedAlpha.empty());
        for (size_t x = 0; x < c.expectedAlpha.size(); ++x)
            EXPECT_EQ(out->row(0)[4 * x + 3], c.expectedAlpha[x]) << "pixel " << x;
    }
}

TEST(ImageExtractionMasks, MaskSourceImage)
{
    auto source = Image::make(4, 2, PixelFormat::RGB8);
    auto mask = Image::make(2, 4, PixelFormat::Gray8);
    for (int y = 0; y < 4; ++y)
        mask->mutableRow(y)[0] = mask->mutableRow(y)[1] = 255;
    EXPECT_FALSE(QXPDFImageExtraction::MaskSourceImage(std::nullopt, mask, Affine::identity()));
    const auto unmasked = QXPDFImageExtraction::MaskSourceImage(source, std::nullopt, Affine::identity());
    ASSERT_TRUE(unmasked);
    EXPECT_TRUE(unmasked->samePixels(*source));
    const auto both = QXPDFImageExtraction::MaskSourceImage(source, mask, Affine::identity());
    ASSERT_TRUE(both);
    EXPECT_EQ(both->width(), 4);
    EXPECT_EQ(both->height(), 4);
    EXPECT_EQ(both->row(2)[4 * 2 + 3], 255);
}

// ---------------------------------------------------------------- decoding rules

TEST(ImageExtractionDecoding, MissingColorSpaceIsGrayAtOneBitAndRGBOtherwise)
{
    test::ImageDoc a, b;
    const auto gray = QXPDFImageExtraction::imageWithPDFStream(
        singleImage(a, "/Subtype /Image /Width 8 /Height 1 /BitsPerComponent 1", std::string("\xf0", 1)),
        pdf::Object(), false);
    const auto rgb = QXPDFImageExtraction::imageWithPDFStream(
        singleImage(b, "/Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8", std::string("\x10\x20\x30", 3)),
        pdf::Object(), false);
    ASSERT_TRUE(gray && rgb);
    EXPECT_EQ(gray->format(), PixelFormat::Gray8);
    EXPECT_EQ(gray->row(0)[0], 255);
    EXPECT_EQ(gray->row(0)[7], 0);
    EXPECT_EQ(rgb->format(), PixelFormat::RGB8);
    EXPECT_EQ(rgb->row(0)[2], 0x30);
}

TEST(ImageExtractionDecoding, ShortDataAndShortLookupTablesArePadded)
{
    // 2-bit indices 0..3 into a table of hival 1 whose bytes cover only
    // index 0; the data holds one of the two rows.
    test::ImageDoc holder;
    const pdf::Object image = singleImage(
        holder, "/Subtype /Image /Width 4 /Height 2 /BitsPerComponent 2 /ColorSpace [/Indexed /DeviceRGB 1 <102030>]",
        std::string("\x1b", 1)); // indices 0 1 2 3
    const auto out = QXPDFImageExtraction::imageWithPDFStream(image, pdf::Object(), false);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->format(), PixelFormat::RGB8);
    const uint8_t expectedRow0[12] = {0x10, 0x20, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(out->row(0)[i], expectedRow0[i]) << i;
    for (int x = 0; x < 4; ++x) // the missing row reads as index 0
        EXPECT_EQ(out->row(1)[3 * x], 0x10);
}

TEST(ImageExtractionDecoding, BitsPerComponentIsOptionalForImageMasksOnly)
{
    test::ImageDoc a, b;
    const auto mask = QXPDFImageExtraction::imageWithPDFStream(
        singleImage(a, "/Subtype /Image /Width 8 /Height 1 /ImageMask true /Decode [1 0]", std::string("\x0f", 1)),
        pdf::Object(), false);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->row(0)[0], 255); // inverted by /Decode
    EXPECT_EQ(mask->row(0)[7], 0);
    EXPECT_FALSE(QXPDFImageExtraction::imageWithPDFStream(
        singleImage(b, "/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray", std::string("\x10", 1)),
        pdf::Object(), false));
}

TEST(ImageExtractionDecoding, NamedColorSpaceIsLookedUpInTheResources)
{
    PdfWriter w;
    const int colorSpaces = w.add("<< /CS0 [/Indexed /DeviceRGB 0 <FF8000>] >>");
    const int image = w.addStream("/Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /CS0",
                                  std::string(1, '\0'));
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R /Image " +
                           std::to_string(image) + " 0 R /ColorSpaces " + std::to_string(colorSpaces) + " 0 R >>");
    auto doc = pdf::Document::openData(w.build(root));
    ASSERT_TRUE(doc);
    const pdf::Object stream = doc->catalog().get("Image");
    EXPECT_FALSE(QXPDFImageExtraction::imageWithPDFStream(stream, pdf::Object(), false));
    const auto out = QXPDFImageExtraction::imageWithPDFStream(stream, doc->catalog().get("ColorSpaces"), false);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->row(0)[0], 0xFF);
    EXPECT_EQ(out->row(0)[1], 0x80);
    EXPECT_EQ(out->row(0)[2], 0x00);
}

TEST(ImageExtractionDecoding, DeviceNImagesGoThroughTheTintTransform)
{
    PdfWriter w;
    // Two colorants into DeviceGray through a 2×2 sampled table.
    const int tint = w.addStream("/FunctionType 0 /Domain [0 1 0 1] /Range [0 1] /Size [2 2] /BitsPerSample 8",
                                 std::string("\x00\x80\x40\xff", 4));
    const int image = w.addStream("/Subtype /Image /Width 4 /Height 1 /BitsPerComponent 8 /ColorSpace "
                                  "[/DeviceN [/A /B] /DeviceGray " + std::to_string(tint) + " 0 R]",
                                  std::string("\x00\x00\xff\x00\x00\xff\xff\xff", 8));
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R /Image " +
                           std::to_string(image) + " 0 R >>");
    auto doc = pdf::Document::openData(w.build(root));
    ASSERT_TRUE(doc);
    const auto out = QXPDFImageExtraction::imageWithPDFStream(doc->catalog().get("Image"), pdf::Object(), false);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->format(), PixelFormat::RGB8);
    const int expected[4] = {0x00, 0x80, 0x40, 0xff};
    for (int x = 0; x < 4; ++x)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out->row(0)[3 * x + k], expected[x], 1) << x;
}

// ---------------------------------------------------------------- failures and files

TEST(ImageExtractionFiles, FailuresWriteNothing)
{
    struct Case {
        const char* what;
        std::string entries;
        std::string data;
    };
    const Case cases[] = {
        {"missing /Height", "/Subtype /Image /Width 4 /ColorSpace /DeviceGray /BitsPerComponent 8", std::string(4, 'x')},
        {"100000 x 100000", "/Subtype /Image /Width 100000 /Height 100000 /ColorSpace /DeviceGray /BitsPerComponent 8",
         std::string(16, 'x')},
        {"zero width", "/Subtype /Image /Width 0 /Height 4 /ColorSpace /DeviceGray /BitsPerComponent 8", "x"},
        {"bits per component 3", "/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 3", "x"},
        {"undecodable JPEG", "/Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceRGB /BitsPerComponent 8 "
                             "/Filter /DCTDecode",
         "this is not a JPEG file at all"},
        {"undecodable JPEG 2000", "/Subtype /Image /Width 4 /Height 4 /Filter /JPXDecode", "nor a JPEG 2000 one"},
        {"Pattern colour space", "/Subtype /Image /Width 1 /Height 1 /ColorSpace /Pattern /BitsPerComponent 8", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::ImageDoc holder;
        const pdf::Object image = singleImage(holder, c.entries, c.data);
        const std::string dir = test::makeTempDir();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(QXPDFImageExtraction::extractPDFStream(image, pdf::Object(), dir + "/out.png", 0.92f, false));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(test::filesIn(dir), 0u);
    }
}

TEST(ImageExtractionFiles, NamesFollowTheDataWhileContentFollowsTheMasks)
{
    PdfWriter w;
    const auto jpx = encodeImage(testPicture(8, 8), ImageType::JPEG2000);
    ASSERT_TRUE(jpx);
    const int raw = w.addStream("/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8", "x");
    const int jp2 = w.addStream("/Subtype /Image /Width 8 /Height 8 /Filter /JPXDecode", *jpx);
    const int smask = w.addStream("/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8",
                                  "\x80");
    const int masked = w.addStream("/Subtype /Image /Width 8 /Height 8 /Filter /JPXDecode /SMask " +
                                       std::to_string(smask) + " 0 R",
                                   *jpx);
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R /Raw " + std::to_string(raw) +
                           " 0 R /Jp2 " + std::to_string(jp2) + " 0 R /Masked " + std::to_string(masked) + " 0 R >>");
    auto doc = pdf::Document::openData(w.build(root));
    ASSERT_TRUE(doc);
    const std::string dir = test::makeTempDir();
    struct Case {
        const char* key;
        const char* prefix;
        const char* extension;
        ImageType content;
    };
    for (const Case& c : {Case{"Raw", "IMG_", ".png", ImageType::JPEG}, Case{"Jp2", "IMG_", ".jp2", ImageType::JPEG},
                          Case{"Masked", "IMG_Masked_", ".png", ImageType::PNG}}) {
        SCOPED_TRACE(c.key);
        const pdf::Object stream = doc->catalog().get(c.key);
        const std::string path = QXPDFImageExtraction::UUIDImagePathForStream(stream, dir);
        const std::string name = std::filesystem::path(path).filename().string();
        EXPECT_EQ(name.rfind(c.prefix, 0), 0u) << name;
        EXPECT_EQ(std::filesystem::path(path).extension().string(), c.extension);
        // "IMG_<UUID>-<UUID>.ext": made unique a second time.
        EXPECT_NE(name.find('-', name.find('_') + 37), std::string::npos) << name;
        ASSERT_TRUE(QXPDFImageExtraction::extractPDFStream(stream, pdf::Object(), path, 0.92f, false));
        EXPECT_EQ(detectImageType(test::readFile(path)), c.content);
    }
    // A mask stream goes into a file of its own, named after its data.
    const std::string maskPath = QXPDFImageExtraction::extractPDFMaskStream(doc->catalog().get("Masked").get("SMask"), dir);
    EXPECT_EQ(std::filesystem::path(maskPath).filename().string().rfind("SMask-", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(maskPath));
}

TEST(ImageExtraction, RenderingIntentNames)
{
    EXPECT_EQ(QXPDFImageExtraction::renderingIntentWithName("AbsoluteColorimetric"), 1);
    EXPECT_EQ(QXPDFImageExtraction::renderingIntentWithName("Saturation"), 4);
    EXPECT_EQ(QXPDFImageExtraction::renderingIntentWithName("Other"), 0);
}

} // namespace
} // namespace rz
