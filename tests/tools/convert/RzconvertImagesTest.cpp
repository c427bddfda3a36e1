// rzconvert to page images, checked as ImageMagick and pdftoppm see them.
#include "platform/image/ImageCodec.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace rz;
namespace fs = std::filesystem;

namespace {

std::string quote(const std::string& s)
{
    return "'" + s + "'";
}

int rzconvert(const std::string& args, std::string* out = nullptr)
{
    return test::runCommand(std::string(RZCONVERT) + " " + args + " 2>&1", out);
}

std::string identify(const std::string& path, const std::string& format)
{
    std::string out;
    test::runCommand("identify -units PixelsPerInch -format '" + format + "' " + quote(path) + " 2>/dev/null", &out);
    return out;
}

std::vector<std::string> listFiles(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Mean structural similarity of two grey images of one size, over 8x8 windows.
double meanSSIM(const Image& a, const Image& b)
{
    const Image ga = a.converted(PixelFormat::Gray8), gb = b.converted(PixelFormat::Gray8);
    const double c1 = 6.5025, c2 = 58.5225;
    double total = 0;
    int windows = 0;
    for (int y = 0; y + 8 <= ga.height(); y += 8) {
        for (int x = 0; x + 8 <= ga.width(); x += 8) {
            double ma = 0, mb = 0, va = 0, vb = 0, cov = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) {
                    ma += ga.row(y + j)[x + i];
                    mb += gb.row(y + j)[x + i];
                }
            ma /= 64;
            mb /= 64;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) {
                    const double da = ga.row(y + j)[x + i] - ma, db = gb.row(y + j)[x + i] - mb;
                    va += da * da;
                    vb += db * db;
                    cov += da * db;
                }
            va /= 63;
            vb /= 63;
            cov /= 63;
            total += ((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    }
    return windows ? total / windows : 0;
}

std::string fixture(const std::string& mediaBox, const std::string& extra = {})
{
    test::PageFixture p;
    p.mediaBox = mediaBox;
    p.extra = extra;
    p.content = "1 0 0 rg 10 10 50 30 re f BT /F1 12 Tf 20 60 Td (Page) Tj ET";
    p.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
    return test::writeTempFile(test::makePdf({p}), "fixture.pdf");
}

} // namespace

TEST(RzconvertImages, TracemonkeyGivesOnePngPerPageAtTheResolution)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string pdf = test::corpusDir() + "/fonts/tracemonkey.pdf";
    const std::string out = test::makeTempDir();
    std::string log;
    ASSERT_EQ(rzconvert("--to png --dpi 100 --out " + quote(out) + " " + quote(pdf), &log), 0) << log;
    const std::string folder = out + "/tracemonkey";
    const auto names = listFiles(folder);
    ASSERT_EQ(names.size(), 14u) << log;
    EXPECT_EQ(names.front(), "IMG_00001.png");
    EXPECT_EQ(names.back(), "IMG_00014.png");
    // Letter pages: 612 x 792 points at 100 dpi, truncated.
    EXPECT_EQ(identify(folder + "/IMG_00003.png", "%w %h %x %y %U"), "850 1100 100 100 PixelsPerInch");
    EXPECT_NE(log.find("done\t" + pdf), std::string::npos) << log;
    EXPECT_NE(log.find("progress=100.0"), std::string::npos);
}

TEST(RzconvertImages, RotatedPageSwapsTheSidesAndNamesAreCleaned)
{
    const std::string pdf = fixture("[0 0 200 100]", "/Rotate 90");
    const std::string out = test::makeTempDir();
    std::string log;
    ASSERT_EQ(rzconvert("--to PNG --image-name a/b --out " + quote(out) + " " + quote(pdf), &log), 0) << log;
    ASSERT_EQ(listFiles(out + "/fixture"), (std::vector<std::string>{"ab_00001.png"}));
    // 144 dpi by default: 100 x 200 points become 200 x 400 pixels.
    EXPECT_EQ(identify(out + "/fixture/ab_00001.png", "%w %h"), "200 400");
    // A second run never overwrites the first one's file: it takes a folder of its own.
    ASSERT_EQ(rzconvert("--to png --image-name a/b --out " + quote(out) + " " + quote(pdf), &log), 0) << log;
    EXPECT_EQ(listFiles(out), (std::vector<std::string>{"fixture", "fixture2"}));
    EXPECT_EQ(listFiles(out + "/fixture"), (std::vector<std::string>{"ab_00001.png"}));
    EXPECT_EQ(listFiles(out + "/fixture2"), (std::vector<std::string>{"ab_00001.png"}));
    EXPECT_NE(log.find("output=" + out + "/fixture2\n"), std::string::npos) << log;
}

TEST(RzconvertImages, EveryFormatReadsBackWithItsSize)
{
    const std::string pdf = fixture("[0 0 144 72]");
    struct Case {
        const char* type;
        const char* magick;  // what identify calls it
    } cases[] = {{"jpeg", "JPEG"}, {"JPG", "JPEG"}, {"png", "PNG"}, {"bmp", "BMP3"}, {"tiff", "TIFF"},
                 {"gif", "GIF"},   {"tga", "TGA"},  {"jp2", "JP2"}};
    for (const Case& c : cases) {
        const std::string out = test::makeTempDir();
        std::string log;
        ASSERT_EQ(rzconvert(std::string("--to ") + c.type + " --dpi 72 --out " + quote(out) + " " + quote(pdf), &log),
                  0)
            << c.type << "\n" << log;
        std::string ext = c.type;
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
        const std::string file = out + "/fixture/IMG_00001." + ext;
        ASSERT_TRUE(fs::exists(file)) << c.type << "\n" << log;
        EXPECT_EQ(identify(file, "%m %w %h"), std::string(c.magick) + " 144 72") << c.type;
    }
}

TEST(RzconvertImages, JpegQualityAndBilevelTiff)
{
    const std::string pdf = fixture("[0 0 200 200]");
    const std::string out = test::makeTempDir();
    ASSERT_EQ(rzconvert("--to jpeg --quality 0.5 --out " + quote(out) + " " + quote(pdf)), 0);
    EXPECT_EQ(identify(out + "/fixture/IMG_00001.jpeg", "%Q"), "50");
    const std::string tiffOut = test::makeTempDir();
    ASSERT_EQ(rzconvert("--to tiff --out " + quote(tiffOut) + " " + quote(pdf)), 0);
    EXPECT_EQ(identify(tiffOut + "/fixture/IMG_00001.tiff", "%z %C"), "1 Group4");
}

TEST(RzconvertImages, Jpeg2000QualityShrinksTheFile)
{
    // A page with text and a filled shape: lossless at quality 1, smaller
    // at each lower quality, always a whole page at its size.
    const std::string pdf = fixture("[0 0 200 200]");
    uintmax_t previous = 0;
    for (const char* quality : {"1", "0.92", "0.3", "0.1"}) {
        const std::string out = test::makeTempDir();
        std::string log;
        ASSERT_EQ(rzconvert(std::string("--to jp2 --quality ") + quality + " --out " + quote(out) + " " + quote(pdf),
                            &log),
                  0)
            << quality << "\n" << log;
        const std::string file = out + "/fixture/IMG_00001.jp2";
        ASSERT_TRUE(fs::exists(file)) << quality << "\n" << log;
        EXPECT_EQ(identify(file, "%m %w %h"), "JP2 400 400") << quality;
        const auto decoded = readImageFile(file);
        ASSERT_TRUE(decoded) << quality;
        EXPECT_EQ(decoded->width(), 400);
        const uintmax_t size = fs::file_size(file);
        if (previous) {
            EXPECT_LT(size, previous) << quality;
        }
        previous = size;
    }
}

TEST(RzconvertImages, PagesMatchPdftoppm)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    struct Case {
        const char* file;
        int page;
    } cases[] = {{"fonts/tracemonkey.pdf", 1}, {"layout/pdf2docx/demo-image.pdf", 1}, {"text/AzureInterior.pdf", 1}};
    for (const Case& c : cases) {
        const std::string pdf = test::corpusDir() + "/" + c.file;
        if (!fs::exists(pdf))
            continue;
        const std::string out = test::makeTempDir();
        std::string log;
        ASSERT_EQ(rzconvert("--to png --dpi 72 --pages " + std::to_string(c.page) + " --out " + quote(out) + " " +
                                quote(pdf),
                            &log),
                  0)
            << log;
        const std::string stem = fs::path(pdf).stem().string();
        ASSERT_EQ(test::runCommand("pdftoppm -r 72 -png -singlefile -f " + std::to_string(c.page) + " -l " +
                                   std::to_string(c.page) + " " + quote(pdf) + " " + quote(out + "/ref")),
                  0);
        const auto mine = readImageFile(out + "/" + stem + "/IMG_00001.png");
        const auto ref = readImageFile(out + "/ref.png");
        ASSERT_TRUE(mine && ref) << c.file;
        // pdftoppm rounds the page size where the converter truncates.
        const int w = std::min(mine->width(), ref->width()), h = std::min(mine->height(), ref->height());
        EXPECT_LE(std::abs(mine->width() - ref->width()), 1);
        EXPECT_LE(std::abs(mine->height() - ref->height()), 1);
        const auto a = mine->cropped(Rect(0, 0, w, h)), b = ref->cropped(Rect(0, 0, w, h));
        ASSERT_TRUE(a && b);
        EXPECT_GE(meanSSIM(*a, *b), 0.98) << c.file << " " << mine->width() << "x" << mine->height() << " vs "
                                          << ref->width() << "x" << ref->height();
    }
}

TEST(Rzconvert, SeveralFilesInOrderAndTheExitStatusTellsFailure)
{
    const std::string good = fixture("[0 0 100 100]");
    const std::string out = test::makeTempDir();
    std::string log;
    EXPECT_EQ(rzconvert("--to png --out " + quote(out) + " " + quote(good) + " /nonexistent.pdf " + quote(good), &log),
              1);
    const size_t first = log.find("done\t" + good);
    const size_t missing = log.find("failed\t/nonexistent.pdf\terror=404\tSource File isn't exist.");
    const size_t second = log.find("done\t" + good, first + 1);
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(missing, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, missing);
    EXPECT_LT(missing, second);

    EXPECT_EQ(rzconvert("--to png --pages 1,2 --out " + quote(out) + " " + quote(good), &log), 2);
    EXPECT_NE(log.find("page-failed\t" + good + "\tpdf-page=2\terror=401\tOut of PDF Page Range(2)"),
              std::string::npos)
        << log;
    EXPECT_EQ(rzconvert("--to png", &log), 64);
    EXPECT_EQ(rzconvert("--to png --pages x " + quote(good), &log), 64);
}

TEST(Rzconvert, StartsWithoutTheDrawingLibraries)
{
    // The page renderer, cairo, libtiff and HarfBuzz are loaded when a page
    // is first drawn, a TIFF first met or text first shaped, so that every
    // other conversion starts without them (and the libraries they pull in).
    std::string needed;
    ASSERT_EQ(test::runCommand(std::string("readelf -d ") + RZCONVERT + " | grep NEEDED", &needed), 0);
    for (const char* library : {"poppler", "cairo", "tiff", "harfbuzz"})
        EXPECT_EQ(needed.find(library), std::string::npos) << library << " in\n" << needed;
}
