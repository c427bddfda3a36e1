#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/image/ImageCodec.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <sstream>

using namespace rz;
namespace fs = std::filesystem;

namespace {

std::shared_ptr<pdf::Document> openPages(const std::vector<test::PageFixture>& pages)
{
    auto document = pdf::Document::openData(test::makePdf(pages));
    EXPECT_TRUE(document);
    return document;
}

test::PageFixture page(const std::string& mediaBox, const std::string& extra = {})
{
    test::PageFixture p;
    p.mediaBox = mediaBox;
    p.extra = extra;
    return p;
}

Image colourImage(int width = 30, int height = 20, bool alpha = false)
{
    auto image = Image::make(width, height, alpha ? PixelFormat::RGBA8 : PixelFormat::RGB8);
    const int n = image->componentCount();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image->mutableRow(y) + x * n;
            p[0] = static_cast<uint8_t>(x * 8);
            p[1] = static_cast<uint8_t>(y * 12);
            p[2] = 90;
            if (alpha)
                p[3] = x < 10 ? 0 : 255;
        }
    return *image;
}

std::string identify(const std::string& path, const std::string& format)
{
    std::string out;
    EXPECT_EQ(test::runCommand("identify -units PixelsPerInch -format '" + format + "' '" + path + "' 2>&1", &out), 0)
        << out;
    return out;
}

// Scans `content` with an "sc" operator that pops `count` numbers.
std::vector<double> popForSc(const std::string& content, size_t count)
{
    pdf::ContentStream stream(content, pdf::Object(), nullptr);
    pdf::OperatorTable table;
    std::vector<double> got;
    table.set("sc", [&](pdf::Scanner& scanner) { got = QXPopScannerNumbers(scanner, count); });
    pdf::Scanner scanner(stream, table);
    scanner.scan();
    return got;
}

std::string percentEncodeSpaces(const std::string& path)
{
    std::string out;
    for (char c : path)
        out += c == ' ' ? std::string("%20") : std::string(1, c);
    return out;
}

} // namespace

TEST(QXPDFUtilities, PageBoxesForRotations)
{
    auto document = openPages({
        page("[0 0 612 792]", "/CropBox [10 20 310 420] /Rotate -90"),
        page("null"),
        page("[0 0 0 100]"),
        page("[50 60 250 160]", "/Rotate 180"),
    });
    ASSERT_TRUE(document);
    const pdf::Page rotated = document->page(1);
    // -90 is 270: x/y and width/height swapped.
    EXPECT_EQ(QXPDFUtilities::CropBoxOfPDFPage(rotated), Rect(20, 10, 400, 300));
    EXPECT_EQ(QXPDFUtilities::MediaBoxOfPDFPage(rotated), Rect(0, 0, 792, 612));
    struct Case {
        int angle;
        bool swapped;
    } cases[] = {{0, false}, {90, true}, {-90, true}, {180, false}, {270, true}, {450, true},
                 {720, false}, {45, false}, {-270, true}, {INT_MIN, false}, {INT_MAX, false}};
    for (const auto& c : cases)
        EXPECT_EQ(QXPDFUtilities::GetPDFPageRect(rotated, 1, c.angle),
                  c.swapped ? Rect(20, 10, 400, 300) : Rect(10, 20, 300, 400))
            << c.angle;

    // No usable box: the A4 page, in either orientation rule.
    const Rect a4(0, 0, 595, 842);
    EXPECT_EQ(QXPDFUtilities::MediaBoxOfPDFPage(document->page(2)), a4);
    EXPECT_EQ(QXPDFUtilities::CropBoxOfPDFPage(document->page(2)), a4);
    EXPECT_EQ(QXPDFUtilities::GetPDFPageRect(document->page(3), 0, 90), Rect(0, 0, 842, 595));
    EXPECT_EQ(QXPDFUtilities::GetPDFPageRect(pdf::Page(), 0, 0), a4);
    EXPECT_EQ(QXPDFUtilities::GetPDFPageRect(rotated, 9, 0), a4);

    EXPECT_EQ(QXPDFUtilities::MediaBoxOfPDFPage(document->page(4)), Rect(50, 60, 200, 100));
}

// Real files: the boxes as pdfinfo reports them, swapped for quarter turns.
TEST(QXPDFUtilities, PageBoxesOfCorpusFiles)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    for (const char* name : {"tables/tabula/rotated_page.pdf", "tables/camelot/clockwise_table_1.pdf",
                             "layout/pdf2docx/demo-text.pdf"}) {
        SCOPED_TRACE(name);
        const std::string path = corpus + "/" + name;
        std::string info;
        ASSERT_EQ(test::runCommand("pdfinfo -box '" + path + "'", &info), 0);
        int rotation = 0;
        double box[4] = {};
        std::istringstream lines(info);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string key;
            fields >> key;
            if (key == "Page") {
                std::string what;
                fields >> what;
                if (what == "rot:")
                    fields >> rotation;
            } else if (key == "MediaBox:") {
                fields >> box[0] >> box[1] >> box[2] >> box[3];
            }
        }
        auto document = pdf::Document::open(path);
        ASSERT_TRUE(document);
        const Rect expected(box[0], box[1], box[2] - box[0], box[3] - box[1]);
        const bool quarter = rotation == 90 || rotation == 270;
        EXPECT_EQ(QXPDFUtilities::MediaBoxOfPDFPage(document->page(1)),
                  quarter ? Rect(expected.origin.y, expected.origin.x, expected.size.height, expected.size.width)
                          : expected);
    }
}

TEST(QXPDFUtilities, PageRotationTransformMapsPoints)
{
    const double w = 100, h = 200;
    const Point p{10, 30};
    struct Case {
        int rotation;
        Point expected;
    } cases[] = {
        {90, {30, 10}},  {180, {90, 30}},  {270, {70, 190}}, {0, {10, 170}},
        {45, {10, 170}}, {-90, {70, 190}}, {450, {30, 10}},  {-180, {90, 30}},
    };
    for (const auto& c : cases) {
        const Point q = apply(p, QXPageRotationTransform(c.rotation, w, h));
        EXPECT_NEAR(q.x, c.expected.x, 1e-9) << c.rotation;
        EXPECT_NEAR(q.y, c.expected.y, 1e-9) << c.rotation;
    }
}

TEST(QXPDFUtilities, PopScannerNumbersFillRules)
{
    struct Case {
        const char* content;
        size_t count;
        std::vector<double> expected;
    } cases[] = {
        {"0.2 0.4 0.6 sc", 3, {0.6, 0.4, 0.2}},   // last operand first
        {"0.7 sc", 3, {0.7, 0.7, 0.7}},            // one operand: copied
        {"sc", 3, {0, 0, 0}},                      // none: zeros
        {"0.1 0.2 sc", 3, {0.2, 0.1, 0}},          // two: the rest stay 0
        {"/P 0.5 sc", 3, {0.5, 0.5, 0.5}},         // a name stops the pops
        {"1 2 3 4 sc", 3, {4, 3, 2}},              // stops at the count
        {"5 sc", 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(popForSc(c.content, c.count), c.expected) << c.content;
}

TEST(QXPDFUtilities, TolerantGetters)
{
    auto document = openPages({page(
        "[0 0 10 10]",
        "/T << /I 16777217 /R 2.5 /N /Helvetica#20Bold /Bad /A#FF /S (abc) "
        "/U <FEFF00E9> /E () /B true >> /A [16777217 -2.5 /Nm (str) true]")});
    ASSERT_TRUE(document);
    const pdf::Object dict = document->page(1).dictionary().get("T");
    const pdf::Object array = document->page(1).dictionary().get("A");
    ASSERT_TRUE(dict.isDictionary());

    double v = -1;
    EXPECT_TRUE(QXPDFUtilities::GetNumberWithPDFDictionary(dict, "I", &v));
    EXPECT_EQ(v, 16777216.0); // through single precision
    EXPECT_TRUE(QXPDFUtilities::GetNumberWithPDFDictionary(dict, "R", &v));
    EXPECT_EQ(v, 2.5);
    v = -1;
    for (const char* key : {"N", "S", "B", "missing"})
        EXPECT_FALSE(QXPDFUtilities::GetNumberWithPDFDictionary(dict, key, &v)) << key;
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(QXPDFUtilities::GetNumberWithPDFDictionary(dict, "R", nullptr));
    EXPECT_FALSE(QXPDFUtilities::GetNumberWithPDFDictionary(array, "I", &v));

    EXPECT_TRUE(QXPDFUtilities::GetNumberWithPDFArray(array, 0, &v));
    EXPECT_EQ(v, 16777216.0);
    EXPECT_TRUE(QXPDFUtilities::GetNumberWithPDFArray(array, 1, &v));
    EXPECT_EQ(v, -2.5);
    EXPECT_FALSE(QXPDFUtilities::GetNumberWithPDFArray(array, 2, &v));
    EXPECT_FALSE(QXPDFUtilities::GetNumberWithPDFArray(array, 5, &v));

    EXPECT_EQ(QXPDFUtilities::GetStringWithPDFDictionary(dict, "N"), "Helvetica Bold");
    EXPECT_EQ(QXPDFUtilities::GetStringWithPDFDictionary(dict, "S"), "abc");
    EXPECT_EQ(QXPDFUtilities::GetStringWithPDFDictionary(dict, "U"), "\xc3\xa9");
    for (const char* key : {"E", "I", "Bad", "missing"})
        EXPECT_FALSE(QXPDFUtilities::GetStringWithPDFDictionary(dict, key)) << key;
    EXPECT_EQ(QXPDFUtilities::GetStringWithPDFArray(array, 2), "Nm");
    EXPECT_EQ(QXPDFUtilities::GetStringWithPDFArray(array, 3), "str");
    EXPECT_FALSE(QXPDFUtilities::GetStringWithPDFArray(array, 4));
    EXPECT_FALSE(QXPDFUtilities::GetStringWithPDFArray(array, 9));
}

TEST(QXPDFUtilities, BitmapContextSizes)
{
    auto context = QXPDFUtilities::CreateARGBBitmapContextSize(Size{10.7, 5.2});
    ASSERT_TRUE(context);
    EXPECT_EQ(context->width(), 10);
    EXPECT_EQ(context->height(), 5);
    for (Size size : {Size{0, 5}, Size{5, 0.5}, Size{std::nan(""), 5}, Size{1e9, 1e9}}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(QXPDFUtilities::CreateARGBBitmapContextSize(size));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Context not created!");
    }
}

TEST(QXPDFUtilities, WritesEveryTypeAsToolsReadIt)
{
    const std::string dir = test::makeTempDir();
    struct Case {
        const char* type;
        const char* file;
        const char* expected; // identify: size, depth, compression, x resolution
    } cases[] = {
        {"public.jpeg", "a.jpeg", "30 20 8 JPEG 300"},
        {"public.png", "a.png", "30 20 8 Zip 300"},
        {"com.microsoft.bmp", "a.bmp", "30 20 8 None 300"},
        {"public.tiff", "a.tiff", "30 20 1 Group4 300"},
        {"com.compuserve.gif", "a.gif", "30 20 8 LZW"},
        {"com.truevision.tga-image", "a.tga", "30 20 8 None"},
        {"public.jpeg-2000", "a.jp2", "30 20 8 JPEG2000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string path = dir + "/" + c.file;
        testing::internal::CaptureStderr();
        EXPECT_TRUE(QXWriteImageToURL(colourImage(), "file://" + path, c.type, 300, 300, 0.92f));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        const std::string info = identify(path, "%w %h %z %C %x");
        EXPECT_EQ(info.substr(0, std::string(c.expected).size()), c.expected) << info;
    }
    EXPECT_EQ(identify(dir + "/a.jpeg", "%Q"), "92");
    // JPEG 2000 holds no resolution box. Below quality 1 it is lossy but
    // close; at quality 1 the pixels come back exactly.
    auto jp2 = QXPDFUtilities::CGImageWithContentsOfFile(dir + "/a.jp2");
    ASSERT_TRUE(jp2);
    const Image lossy = jp2->converted(PixelFormat::RGB8), original = colourImage();
    ASSERT_EQ(lossy.width(), original.width());
    ASSERT_EQ(lossy.height(), original.height());
    for (int y = 0; y < original.height(); ++y)
        for (int i = 0; i < original.width() * 3; ++i)
            ASSERT_LE(std::abs(int(lossy.row(y)[i]) - int(original.row(y)[i])), 4) << i / 3 << "," << y;
    EXPECT_TRUE(QXWriteImageToURL(original, "file://" + dir + "/a.jp2", "public.jpeg-2000", 300, 300, 1.0f));
    jp2 = QXPDFUtilities::CGImageWithContentsOfFile(dir + "/a.jp2");
    ASSERT_TRUE(jp2);
    EXPECT_TRUE(jp2->samePixels(original));
    // Only the folder's own files are left: no partial files.
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, std::size(cases));
}

TEST(QXPDFUtilities, WriteFailuresReportAndLeaveNoFile)
{
    const std::string dir = test::makeTempDir();
    struct Case {
        std::optional<Image> image;
        std::string url;
        std::string type;
        const char* message;
    } cases[] = {
        {std::nullopt, dir + "/a.png", "public.png", "Couldn't create image destination!\n"},
        {colourImage(), dir + "/b.webp", "org.webmproject.webp", "Couldn't create image destination!\n"},
        {colourImage(), "http://example.com/c.png", "public.png", "Couldn't create image destination!\n"},
        {colourImage(), dir + "/missing/d.png", "public.png", "Couldn't write image to file!\n"},
        {colourImage(), dir, "public.png", "Couldn't write image to file!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(QXWriteImageToURL(c.image, c.url, c.type, 72, 72, 1.0f));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    }
    EXPECT_TRUE(fs::is_empty(dir));

    // An existing file is replaced.
    const std::string path = dir + "/e.png";
    ASSERT_TRUE(QXWriteImageToURL(colourImage(4, 4), path, "png", 72, 72, 1.0f));
    ASSERT_TRUE(QXWriteImageToURL(colourImage(8, 6), path, "png", 72, 72, 1.0f));
    auto back = QXPDFUtilities::CGImageWithContentsOfFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 8);
}

TEST(QXPDFUtilities, LoadingImages)
{
    const std::string dir = test::makeTempDir() + "/with space";
    fs::create_directories(dir);
    const std::string path = dir + "/rgba.png";
    ASSERT_TRUE(QXWriteImageToURL(colourImage(30, 20, true), path, "public.png", 72, 72, 1.0f));

    for (const std::string& url : {"file://" + percentEncodeSpaces(path), "file://localhost" + path, path}) {
        auto image = QXImageFromURLString(url);
        ASSERT_TRUE(image) << url;
        EXPECT_TRUE(image->samePixels(colourImage(30, 20, true))) << url;
    }
    EXPECT_FALSE(QXImageFromURLString("http://example.com" + path));
    EXPECT_FALSE(QXImageFromURLString("file://otherhost" + path));
    EXPECT_FALSE(QXPDFUtilities::CGImageWithContentsOfFile(""));
    EXPECT_FALSE(QXPDFUtilities::CGImageWithContentsOfFile(dir + "/none.png"));
    EXPECT_FALSE(QXPDFUtilities::CGImageWithContentsOfFile(dir));

    // Gray: colour drawn over black, then luminance; a gray file unchanged.
    auto gray = QXPDFUtilities::CGImageWithContentsOfFile_DeviceGray(path);
    ASSERT_TRUE(gray);
    EXPECT_EQ(gray->format(), PixelFormat::Gray8);
    EXPECT_EQ(gray->row(0)[0], 0);                                            // transparent
    EXPECT_EQ(gray->row(2)[12], (299 * 96 + 587 * 24 + 114 * 90 + 500) / 1000); // opaque
    const std::string grayPath = dir + "/gray.png";
    ASSERT_TRUE(QXWriteImageToURL(*gray, grayPath, "public.png", 72, 72, 1.0f));
    auto again = QXPDFUtilities::CGImageWithContentsOfFile_DeviceGray(grayPath);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->samePixels(*gray));
}
