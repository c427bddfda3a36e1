// Image runs of a DOCX page: the area a placed image covers, which images
// belong together, merging them into one PNG picture (resolution, place,
// the page's edge, failures that keep the originals and their media), the
// files that may enter the package, and the VML picture each run writes.
#include "docx/graphics/QXDocxRunImage.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxVMLShapes.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/ImageCodec.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace rz::runimage_tests {
namespace {

// A solid image file of the colour, in the format.
std::string solidImageFile(int width, int height, uint8_t r, uint8_t g, uint8_t b, ImageType type = ImageType::PNG,
                           const std::string& name = "solid")
{
    std::optional<Image> image = Image::make(width, height, PixelFormat::RGB8);
    EXPECT_TRUE(image);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image->mutableRow(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = r;
            row[3 * x + 1] = g;
            row[3 * x + 2] = b;
        }
    }
    const std::optional<std::string> bytes = encodeImage(*image, type);
    EXPECT_TRUE(bytes);
    static int serial = 0;
    const std::string path = test::makeTempDir() + "/" + name + std::to_string(++serial);
    std::ofstream(path, std::ios::binary) << *bytes;
    return path;
}

QXDocxRunImagePtr imageAt(Rect rect, std::uint64_t scanIndex = 0, std::string path = {})
{
    auto info = std::make_shared<QXDocxImageInfo>();
    info->setDisplayX(rect.origin.x);
    info->setDisplayY(rect.origin.y);
    info->setDisplayWidth(rect.size.width);
    info->setDisplayHeight(rect.size.height);
    info->setOpacity(1);
    info->setImageTitle("logo.png");
    auto run = std::make_shared<QXDocxRunImage>();
    run->setPictInfo(info);
    run->setPdfScanIndex(scanIndex);
    run->setImagePath(std::move(path));
    return run;
}

Rgba8 pixelOf(const Image& image, int x, int y)
{
    const Image rgba = image.format() == PixelFormat::RGBA8 ? image : image.converted(PixelFormat::RGBA8);
    const uint8_t* p = rgba.row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

void expectRect(const Rect& actual, const Rect& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.minX(), expected.minX(), tolerance);
    EXPECT_NEAR(actual.minY(), expected.minY(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

std::string writeRuns(const std::vector<QXDocxRunImagePtr>& runs)
{
    QXDocxVMLShapes::reset();
    return test::writeWordprocessingML([&](XMLFileWriter& writer) {
        writer.setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
        writer.setPrefix("v", QXDocxPackageNames::kVML);
        writer.setPrefix("o", QXDocxPackageNames::kOffice);
        writer.setPrefix("w10", QXDocxPackageNames::kWord10);
        writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        for (const auto& run : runs)
            run->writeWithXMLWriter(writer);
        writer.writeEndElement();
    });
}

TEST(QXDocxRunImageTest, ImagesThatBelongTogether)
{
    struct Case {
        Rect a, b;
        bool paired;
    } cases[] = {
        // Large images: by the share of the overlap.
        {{0, 0, 100, 100}, {60, 0, 100, 100}, false}, // overlap 40 x 100
        {{0, 0, 100, 100}, {40, 0, 100, 100}, true},  // overlap 60 x 100
        {{0, 0, 100, 100}, {101, 0, 100, 100}, false},
        {{0, 0, 200, 200}, {50, 50, 100, 100}, true}, // one inside the other
        // Small images: near enough.
        {{0, 0, 30, 30}, {45, 0, 30, 30}, true},  // 15 apart
        {{0, 0, 30, 30}, {55, 0, 30, 30}, false}, // 25 apart
        {{0, 0, 30, 30}, {0, 49, 30, 30}, true},  // 19 apart, below
        // A small image beside a large one is judged by the overlap only.
        {{0, 0, 30, 30}, {40, 0, 100, 100}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXDocxRunImage::IsIntersect(*imageAt(c.a), *imageAt(c.b)), c.paired)
            << c.b.origin.x << "," << c.b.origin.y;
        EXPECT_EQ(QXDocxRunImage::IsIntersect(*imageAt(c.b), *imageAt(c.a)), c.paired);
    }
}

TEST(QXDocxRunImageTest, APartnerIsFoundOnlyNextInTheDrawingOrder)
{
    const auto image = imageAt({0, 0, 100, 100}, 5);
    const auto farOverlap = imageAt({10, 0, 100, 100}, 9);
    const auto nextApart = imageAt({300, 300, 100, 100}, 6);
    const auto nextOverlap = imageAt({20, 0, 100, 100}, 4);

    EXPECT_EQ(image->isIntersectImages({farOverlap}), nullptr);
    EXPECT_EQ(image->isIntersectImages({farOverlap, nextApart}), farOverlap);
    EXPECT_EQ(image->isIntersectImages({nextApart, nextOverlap}), nextOverlap);
    EXPECT_EQ(image->isIntersectImages({nextApart}), nullptr);
    // The image itself is no partner.
    EXPECT_EQ(image->isIntersectImages({image}), nullptr);
    EXPECT_EQ(image->isIntersectImages({}), nullptr);
}

TEST(QXDocxRunImageTest, ATurnedImageCoversTheBoundingBoxOfItsCorners)
{
    // A 100 x 50 image turned by 90 degrees about (100, 100).
    auto turned = imageAt({50, 75, 100, 50});
    turned->pictInfo()->setRotation(90);
    turned->pictInfo()->setVertices({Point{125, 50}, Point{125, 150}, Point{75, 150}, Point{75, 50}});
    expectRect(turned->displayRect(), {75, 50, 50, 100});

    // Without corners: the placement turned about its own centre.
    auto bare = imageAt({50, 75, 100, 50});
    bare->pictInfo()->setRotation(90);
    expectRect(bare->displayRect(), {75, 50, 50, 100});
    bare->pictInfo()->setRotation(45);
    const double side = 150 / std::sqrt(2.0);
    expectRect(bare->displayRect(), {100 - side / 2, 100 - side / 2, side, side});

    // A mirrored upright image keeps its own rectangle.
    auto mirrored = imageAt({10, 20, 30, 40});
    mirrored->pictInfo()->setFlipY(true);
    mirrored->pictInfo()->setVertices({Point{10, 20}, Point{40, 20}, Point{40, 60}, Point{10, 60}});
    expectRect(mirrored->displayRect(), {10, 20, 30, 40});

    EXPECT_EQ(QXDocxRunImage().displayRect(), Rect::zero());
}

TEST(QXDocxRunImageTest, TheBiggestImage)
{
    const auto small = imageAt({0, 0, 10, 10});
    const auto big = imageAt({0, 0, 20, 20});
    const auto alsoBig = imageAt({50, 50, 40, 10});
    EXPECT_EQ(QXDocxRunImage::FindBigRectRunImage({small, big, alsoBig}), big);
    EXPECT_EQ(QXDocxRunImage::FindBigRectRunImage({}), nullptr);
}

TEST(QXDocxRunImageTest, MergedImagesBecomeOnePictureOverTheirUnion)
{
    const auto red = imageAt({10, 20, 50, 50}, 3, solidImageFile(5, 5, 255, 0, 0));
    const auto blue = imageAt({60, 20, 50, 50}, 4, solidImageFile(5, 5, 0, 0, 255));
    red->setPictZIndex(-100);
    red->pictInfo()->setImageTitle("red.png");

    const QXDocxRunImagePtr merged = QXDocxRunImage::MergeRunImageArray({red, blue}, {200, 300}, 144);
    ASSERT_TRUE(merged);
    EXPECT_NE(merged->imagePath().find("2Images_Merged"), std::string::npos);
    EXPECT_EQ(merged->runImageID(), "");
    EXPECT_EQ(merged->runImageTitle(), "red.png");
    EXPECT_EQ(merged->pdfScanIndex(), 3u);
    EXPECT_EQ(merged->pdfScanLength(), 2u);
    EXPECT_EQ(merged->pictZIndex(), -100);
    EXPECT_EQ(red->pdfScanIndex(), 4u);
    EXPECT_EQ(red->pictZIndex(), -99);
    expectRect(merged->displayRect(), {10, 20, 100, 50});

    const QXDocxImageInfo& info = *merged->pictInfo();
    EXPECT_EQ(info.pixelWidth(), 200);
    EXPECT_EQ(info.pixelHeight(), 100);
    EXPECT_EQ(info.horizontalResolution(), 144);
    EXPECT_EQ(info.verticalResolution(), 144);
    EXPECT_EQ(info.rotation(), 0);
    EXPECT_FALSE(info.flipX() || info.flipY());

    const std::optional<Image> picture = readImageFile(merged->imagePath());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 200);
    EXPECT_EQ(picture->height(), 100);
    EXPECT_EQ(pixelOf(*picture, 50, 50), (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(pixelOf(*picture, 150, 50), (Rgba8{0, 0, 255, 255}));
}

// An image file with a red top half and a blue bottom half.
std::string twoBandFile()
{
    std::optional<Image> image = Image::make(4, 4, PixelFormat::RGB8);
    for (int y = 0; y < 4; ++y) {
        uint8_t* row = image->mutableRow(y);
        for (int x = 0; x < 4; ++x) {
            row[3 * x] = y < 2 ? 255 : 0;
            row[3 * x + 2] = y < 2 ? 0 : 255;
        }
    }
    const std::string path = test::makeTempDir() + "/bands.png";
    std::ofstream(path, std::ios::binary) << *encodeImage(*image, ImageType::PNG);
    return path;
}

TEST(QXDocxRunImageTest, ImagesPlacedByTheirTransformMergeUpright)
{
    // On a 200 x 100 page: one image placed by its rectangle, one by the
    // transform of the PDF (unit square, page flip to display space), and
    // one turned by 90 degrees clockwise on the page.
    const std::string bands = twoBandFile();
    const double pageHeight = 100;
    const Affine pageFlip{1, 0, 0, -1, 0, pageHeight};
    const auto byRect = imageAt({0, 0, 40, 40}, 0, bands);
    const auto byTransform = imageAt({50, 0, 40, 40}, 1, bands);
    byTransform->pictInfo()->setPdfTransform(concat(Affine{40, 0, 0, 40, 50, pageHeight - 40}, pageFlip));
    const auto turned = imageAt({100, 0, 40, 40}, 2, bands);
    // The image's top edge ends up on the right.
    turned->pictInfo()->setPdfTransform(concat(Affine{0, -40, 40, 0, 100, pageHeight}, pageFlip));

    const auto merged = QXDocxRunImage::MergeRunImageArray({byRect, byTransform, turned}, {200, pageHeight}, 72);
    ASSERT_TRUE(merged);
    expectRect(merged->displayRect(), {0, 0, 140, 40});
    const std::optional<Image> picture = readImageFile(merged->imagePath());
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width(), 140);
    const Rgba8 red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    for (const int left : {0, 50}) {
        EXPECT_EQ(pixelOf(*picture, left + 20, 5), red) << left;
        EXPECT_EQ(pixelOf(*picture, left + 20, 35), blue) << left;
    }
    EXPECT_EQ(pixelOf(*picture, 135, 20), red);
    EXPECT_EQ(pixelOf(*picture, 105, 20), blue);
}

TEST(QXDocxRunImageTest, TheResolutionIsKeptWithinLimits)
{
    const std::string file = solidImageFile(4, 4, 0, 128, 0);
    struct Case {
        std::int64_t dpi;
        double resolution;
        int pixels;
    } cases[] = {{50, 72, 100}, {72, 72, 100}, {300, 300, 417}, {1200, 600, 834}};
    for (const Case& c : cases) {
        const auto merged = QXDocxRunImage::MergeRunImageArray(
            {imageAt({0, 0, 100, 20}, 0, file), imageAt({0, 10, 100, 20}, 1, file)}, {100, 40}, c.dpi);
        ASSERT_TRUE(merged) << c.dpi;
        EXPECT_EQ(merged->pictInfo()->horizontalResolution(), c.resolution) << c.dpi;
        EXPECT_EQ(merged->pictInfo()->pixelWidth(), c.pixels) << c.dpi;
    }
}

TEST(QXDocxRunImageTest, ThreeImagesMergeIntoOneRunCoveringThree)
{
    const std::string file = solidImageFile(2, 2, 10, 20, 30);
    const auto merged = QXDocxRunImage::MergeRunImageArray(
        {imageAt({0, 0, 30, 30}, 7, file), imageAt({40, 0, 30, 30}, 8, file), imageAt({80, 0, 30, 30}, 9, file)},
        {200, 200}, 72);
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->pdfScanLength(), 3u);
    EXPECT_NE(std::filesystem::path(merged->imagePath()).filename().string().find("3Images_Merged"),
              std::string::npos);
    expectRect(merged->displayRect(), {0, 0, 110, 30});
}

TEST(QXDocxRunImageTest, AMergeBleedingOffThePageIsClippedToIt)
{
    const std::string file = solidImageFile(2, 2, 200, 0, 0);
    // Off the left and the bottom edge of a 200 x 200 page.
    const auto merged = QXDocxRunImage::MergeRunImageArray(
        {imageAt({-20, 150, 60, 80}, 0, file), imageAt({30, 150, 60, 80}, 1, file)}, {200, 200}, 144);
    ASSERT_TRUE(merged);
    expectRect(merged->displayRect(), {0, 150, 90, 50});
    const QXDocxImageInfo& info = *merged->pictInfo();
    EXPECT_EQ(info.pixelWidth(), 180);
    EXPECT_EQ(info.pixelHeight(), 100);
    EXPECT_EQ(info.horizontalResolution(), 144);
    EXPECT_EQ(info.verticalResolution(), 144);
}

TEST(QXDocxRunImageTest, AMergeThatFailsChangesNothing)
{
    const std::string file = solidImageFile(2, 2, 0, 0, 0);
    const auto first = imageAt({300, 300, 50, 50}, 4, file); // wholly off a 200 x 200 page
    const auto second = imageAt({320, 300, 50, 50}, 5, file);
    first->setPictZIndex(-7);

    EXPECT_EQ(QXDocxRunImage::MergeRunImageArray({first, second}, {200, 200}, 144), nullptr);
    EXPECT_EQ(first->pdfScanIndex(), 4u);
    EXPECT_EQ(first->pictZIndex(), -7);
    // A single image, an empty page.
    EXPECT_EQ(QXDocxRunImage::MergeRunImageArray({first}, {200, 200}, 144), nullptr);
    EXPECT_EQ(QXDocxRunImage::MergeRunImageArray({imageAt({0, 0, 5, 5}, 0, file), imageAt({0, 0, 5, 5}, 1, file)},
                                                 {0, 0}, 144),
              nullptr);

    // An image whose file does not load would be lost.
    const auto unreadable = imageAt({20, 10, 50, 50}, 1, file + ".missing");
    EXPECT_EQ(QXDocxRunImage::MergeRunImageArray({imageAt({10, 10, 50, 50}, 0, file), unreadable}, {200, 200}, 144),
              nullptr);
    // Images of no width: no picture, and no resolution from a zero size.
    EXPECT_EQ(QXDocxRunImage::MergeRunImageArray({imageAt({10, 10, 0, 50}, 0, file), imageAt({10, 30, 0, 50}, 1, file)},
                                                 {200, 200}, 144),
              nullptr);

    // The page keeps the originals and their media.
    std::vector<QXDocxRunImagePtr> page{first, second};
    std::vector<std::string> collected, forgotten;
    const QXDocxRunImage::MediaCollector media{
        [&](const std::string& path) { collected.push_back(path); return std::string("rId99"); },
        [&](const std::string& path) { forgotten.push_back(path); }};
    EXPECT_FALSE(QXDocxRunImage::ReplaceWithMergedImage(page, {first, second}, {200, 200}, 144, media));
    EXPECT_EQ(page, (std::vector<QXDocxRunImagePtr>{first, second}));
    EXPECT_TRUE(collected.empty());
    EXPECT_TRUE(forgotten.empty());
}

TEST(QXDocxRunImageTest, AMergedGroupTakesThePlaceOfItsImages)
{
    const std::string shared = solidImageFile(2, 2, 0, 255, 0);
    const std::string own = solidImageFile(2, 2, 255, 0, 0);
    const auto a = imageAt({0, 0, 50, 50}, 0, own);
    const auto b = imageAt({100, 100, 50, 50}, 1, shared);
    const auto c = imageAt({40, 0, 50, 50}, 2, shared);
    const auto d = imageAt({150, 0, 20, 20}, 3, shared);

    std::vector<QXDocxRunImagePtr> page{b, a, c, d};
    std::vector<std::string> collected, forgotten;
    const QXDocxRunImage::MediaCollector media{
        [&](const std::string& path) { collected.push_back(path); return std::string("rId42"); },
        [&](const std::string& path) { forgotten.push_back(path); }};
    ASSERT_TRUE(QXDocxRunImage::ReplaceWithMergedImage(page, {a, c}, {200, 200}, 72, media));
    ASSERT_EQ(page.size(), 3u);
    EXPECT_EQ(page[0], b);
    EXPECT_EQ(page[2], d);
    const QXDocxRunImagePtr& merged = page[1];
    EXPECT_EQ(merged->runImageID(), "rId42");
    EXPECT_EQ(collected, std::vector<std::string>{merged->imagePath()});
    // The file b and d still show stays in the package.
    EXPECT_EQ(forgotten, std::vector<std::string>{own});
    expectRect(merged->displayRect(), {0, 0, 90, 50});
}

TEST(QXDocxRunImageTest, TransparentEdgesAreCutOffAndTheBoxFollows)
{
    // A 10 x 4 picture over a 20 x 8 box: two points a pixel.
    const auto picture = [](PixelFormat format, int left, int top, int right, int bottom) {
        std::optional<Image> image = Image::make(10, 4, format);
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                image->mutableRow(y)[image->componentCount() * x + image->componentCount() - 1] = 200;
        return *image;
    };
    struct Case {
        const char* name;
        PixelFormat format;
        int left, top, right, bottom; // the opaque pixels; none when right < left
        bool cut;
        Rect box;
        int width, height;
    };
    const Case cases[] = {
        {"a block inside", PixelFormat::RGBA8, 2, 1, 5, 2, true, {104, 202, 8, 4}, 4, 2},
        {"one corner pixel", PixelFormat::RGBA8, 9, 3, 9, 3, true, {118, 206, 2, 2}, 1, 1},
        {"touching every edge", PixelFormat::RGBA8, 0, 0, 9, 3, false, {100, 200, 20, 8}, 10, 4},
        {"nothing opaque", PixelFormat::RGBA8, 1, 0, 0, 0, false, {100, 200, 20, 8}, 10, 4},
        {"no alpha", PixelFormat::RGB8, 2, 1, 5, 2, false, {100, 200, 20, 8}, 10, 4},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Image image = picture(test.format, test.left, test.top, test.right, test.bottom);
        const Image before = image;
        Rect box(100, 200, 20, 8);
        EXPECT_EQ(QXDocxRunImage::TrimTransparentEdges(image, box), test.cut);
        expectRect(box, test.box);
        EXPECT_EQ(image.width(), test.width);
        EXPECT_EQ(image.height(), test.height);
        if (test.cut) {
            ASSERT_TRUE(before.cropped(Rect(test.left, test.top, test.width, test.height)));
            EXPECT_TRUE(image.samePixels(*before.cropped(Rect(test.left, test.top, test.width, test.height))));
        } else {
            EXPECT_TRUE(image.samePixels(before));
        }
    }
}

TEST(QXDocxRunImageTest, OnlyPNGAndJPEGEnterThePackage)
{
    for (const ImageType kept : {ImageType::PNG, ImageType::JPEG}) {
        const std::string path = solidImageFile(3, 3, 1, 2, 3, kept);
        EXPECT_EQ(QXDocxRunImage::PackageableImagePath(path), path);
    }
    for (const ImageType other : {ImageType::BMP, ImageType::TIFF, ImageType::GIF, ImageType::JPEG2000}) {
        const std::string path = solidImageFile(3, 3, 200, 100, 50, other, "cached");
        const std::optional<std::string> packaged = QXDocxRunImage::PackageableImagePath(path);
        ASSERT_TRUE(packaged) << imageTypeIdentifier(other);
        EXPECT_NE(*packaged, path);
        std::ifstream in(*packaged, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(detectImageType(bytes), ImageType::PNG) << imageTypeIdentifier(other);
        const std::optional<Image> image = decodeImage(bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), 3);
    }
    const std::string garbage = test::makeTempDir() + "/garbage.png";
    std::ofstream(garbage, std::ios::binary) << "not an image at all";
    EXPECT_EQ(QXDocxRunImage::PackageableImagePath(garbage), std::nullopt);
    EXPECT_EQ(QXDocxRunImage::PackageableImagePath(garbage + ".missing"), std::nullopt);
    EXPECT_EQ(QXDocxRunImage::PackageableImagePath(""), std::nullopt);
}

TEST(QXDocxRunImageTest, APictureIsWrittenAsAVMLShape)
{
    auto plain = imageAt({10.5, 20.25, 100, 50});
    plain->setRunImageID("rId7");
    plain->setRunImageTitle("logo.png");
    plain->setPictZIndex(-251657498);

    auto styled = imageAt({1, 2, 3, 4});
    styled->setRunImageID("rId8");
    styled->pictInfo()->setOpacity(0.5f);
    styled->pictInfo()->setRotation(30);
    styled->pictInfo()->setFlipX(true);
    styled->pictInfo()->setFlipY(true);
    styled->pictInfo()->setWrapType(1);
    styled->setPictZIndex(3);

    const std::string xml = writeRuns({plain, styled});
    EXPECT_NE(xml.find("<w:pict><v:shape o:spid=\"_x0000_s1025\" type=\"#_x0000_t75\" "
                       "style=\"position:absolute;margin-left:10.50pt;margin-top:20.25pt;width:100.00pt;"
                       "height:50.00pt;z-index:-251657498;mso-position-horizontal-relative:page;"
                       "mso-position-vertical-relative:page\" stroked=\"f\"><v:imagedata r:id=\"rId7\" o:title=\"logo.png\"/>"
                       "</v:shape></w:pict></w:r>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("style=\"position:absolute;margin-left:1.00pt;margin-top:2.00pt;width:3.00pt;height:4.00pt;"
                       "rotation:30;flip:x y;z-index:3;mso-position-horizontal-relative:page;"
                       "mso-position-vertical-relative:page\" stroked=\"f\"><v:imagedata r:id=\"rId8\" o:title=\"Untitled\"/>"
                       "<v:fill opacity=\"32896f\"/><w10:wrap type=\"topAndBottom\"/></v:shape>"),
              std::string::npos)
        << xml;

    styled->pictInfo()->setFlipX(false);
    EXPECT_NE(styled->shapeStyle().find("rotation:30;flip:y;z-index"), std::string::npos);
    styled->pictInfo()->setFlipY(false);
    styled->pictInfo()->setFlipX(true);
    EXPECT_NE(styled->shapeStyle().find("rotation:30;flip:x;z-index"), std::string::npos);
}

TEST(QXDocxRunImageTest, ACopyOwnsItsPlacement)
{
    auto original = imageAt({1, 2, 3, 4}, 6, "/tmp/x.png");
    original->setRunImageID("rId3");
    original->pictInfo()->setVertices({Point{1, 2}, Point{4, 2}, Point{4, 6}, Point{1, 6}});
    const auto copied = std::static_pointer_cast<QXDocxRunImage>(original->copy());
    ASSERT_NE(copied->pictInfo(), original->pictInfo());
    EXPECT_EQ(copied->pictInfo()->vertices()[2].x, 4);
    EXPECT_EQ(copied->pictInfo()->imageTitle(), "logo.png");
    EXPECT_EQ(copied->runImageID(), "rId3");
    EXPECT_EQ(copied->imagePath(), "/tmp/x.png");
    EXPECT_EQ(copied->pdfScanIndex(), 6u);
    copied->pictInfo()->setDisplayX(99);
    EXPECT_EQ(original->pictInfo()->displayX(), 1);
}

} // namespace
} // namespace rz::runimage_tests
