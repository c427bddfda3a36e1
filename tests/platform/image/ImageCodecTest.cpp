#include "platform/core/Numbers.h"
#include "platform/image/ImageCodec.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace rz;

namespace {

// A 37 x 23 image (odd sizes catch row padding) with distinct colours per pixel.
Image testImage(PixelFormat format = PixelFormat::RGB8)
{
    auto image = Image::make(37, 23, format);
    EXPECT_TRUE(image);
    const int n = image->componentCount();
    for (int y = 0; y < image->height(); ++y) {
        uint8_t* row = image->mutableRow(y);
        for (int x = 0; x < image->width(); ++x) {
            uint8_t* p = row + x * n;
            p[0] = static_cast<uint8_t>(x * 6);
            if (n >= 3) {
                p[1] = static_cast<uint8_t>(y * 11);
                p[2] = static_cast<uint8_t>(255 - x * 3 - y * 2);
            }
            if (format == PixelFormat::RGBA8)
                p[3] = static_cast<uint8_t>(x < 10 ? 0 : (x < 20 ? 128 : 255));
        }
    }
    return *image;
}

// A few flat colours (fits a GIF palette exactly).
Image blockImage(bool withAlpha)
{
    auto image = Image::make(20, 10, withAlpha ? PixelFormat::RGBA8 : PixelFormat::RGB8);
    const int n = image->componentCount();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = image->mutableRow(y) + x * n;
            p[0] = x < 10 ? 255 : 0;
            p[1] = y < 5 ? 200 : 20;
            p[2] = 40;
            if (withAlpha)
                p[3] = x < 5 ? 0 : 255;
        }
    return *image;
}

std::string writeFile(const std::string& bytes, const std::string& name)
{
    return test::writeTempFile(bytes, name);
}

std::string identify(const std::string& path, const std::string& format)
{
    std::string out;
    const int status =
        test::runCommand("identify -units PixelsPerInch -format '" + format + "' '" + path + "' 2>/dev/null", &out);
    EXPECT_EQ(status, 0) << path;
    return out;
}

double meanAbsoluteDifference(const Image& a, const Image& b)
{
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    EXPECT_EQ(a.format(), b.format());
    if (a.width() != b.width() || a.height() != b.height() || a.format() != b.format())
        return 1e9;
    double sum = 0;
    const int n = a.componentCount() * a.width();
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < n; ++i)
            sum += std::abs(int(a.row(y)[i]) - int(b.row(y)[i]));
    return sum / (double(n) * a.height());
}

std::string encoded(const Image& image, ImageType type, const ImageProperties& properties = {})
{
    auto bytes = encodeImage(image, type, properties);
    EXPECT_TRUE(bytes) << imageTypeIdentifier(type);
    return bytes.value_or(std::string());
}

} // namespace

TEST(ImageCodec, TypeNamesAndIdentifiers)
{
    struct Case {
        const char* name;
        std::optional<ImageType> type;
    } cases[] = {
        {"jpeg", ImageType::JPEG}, {"JPG", ImageType::JPEG},    {"png", ImageType::PNG},
        {"bmp", ImageType::BMP},   {"Tiff", ImageType::TIFF},   {"gif", ImageType::GIF},
        {"TGA", ImageType::TGA},   {"jp2", ImageType::JPEG2000}, {"com.truevision.tga-image", ImageType::TGA},
        {"public.jpeg-2000", ImageType::JPEG2000},              {"webp", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imageTypeFromName(c.name), c.type) << c.name;
    EXPECT_STREQ(imageTypeIdentifier(ImageType::TGA), "com.truevision.tga-image");
    EXPECT_EQ(imageTypeFromName(imageTypeIdentifier(ImageType::PNG)), ImageType::PNG);
}

// Every format as ImageMagick reads it: size, resolution where the format
// holds one, compression.
TEST(ImageCodec, WrittenFilesAsIdentifyReadsThem)
{
    ImageProperties properties;
    properties.dpiX = 150;
    properties.dpiY = 300;
    properties.quality = 0.8;
    struct Case {
        ImageType type;
        const char* extension;
        bool resolution;
        const char* compression;
    } cases[] = {
        {ImageType::JPEG, "jpg", true, "JPEG"},
        {ImageType::PNG, "png", true, "Zip"},
        {ImageType::BMP, "bmp", true, "None"},
        {ImageType::TIFF, "tiff", true, "LZW"},
        {ImageType::GIF, "gif", false, "LZW"},
        {ImageType::TGA, "tga", false, "None"},
        {ImageType::JPEG2000, "jp2", false, "JPEG2000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string path = writeFile(encoded(testImage(), c.type, properties), std::string("t.") + c.extension);
        const std::string info = identify(path, "%m %w %h %x %y %C");
        std::istringstream in(info);
        std::string magick, compression;
        int w = 0, h = 0;
        double x = 0, y = 0;
        in >> magick >> w >> h >> x >> y >> compression;
        EXPECT_EQ(w, 37) << info;
        EXPECT_EQ(h, 23) << info;
        EXPECT_EQ(compression, c.compression) << info;
        if (c.resolution) {
            EXPECT_NEAR(x, 150, 0.5) << info;
            EXPECT_NEAR(y, 300, 0.5) << info;
        }
    }
}

TEST(ImageCodec, JpegQualityIsHonoured)
{
    std::string sizes;
    size_t previous = 0;
    for (double quality : {0.3, 0.5, 0.92}) {
        ImageProperties properties;
        properties.quality = quality;
        const std::string bytes = encoded(testImage(), ImageType::JPEG, properties);
        const std::string path = writeFile(bytes, "q.jpg");
        EXPECT_EQ(identify(path, "%Q"), formatInteger(std::lround(quality * 100)));
        EXPECT_GT(bytes.size(), previous);
        previous = bytes.size();
    }
    // Out-of-range and missing qualities are clamped to the best.
    ImageProperties high;
    high.quality = 7.0;
    EXPECT_EQ(identify(writeFile(encoded(testImage(), ImageType::JPEG, high), "h.jpg"), "%Q"), "100");
    EXPECT_EQ(identify(writeFile(encoded(testImage(), ImageType::JPEG), "d.jpg"), "%Q"), "100");
}

TEST(ImageCodec, Jpeg2000QualityTradesFidelityForSize)
{
    // Gradients under a little noise, as in a scanned page or a photograph.
    for (const PixelFormat format : {PixelFormat::RGB8, PixelFormat::Gray8, PixelFormat::RGBA8}) {
        SCOPED_TRACE(int(format));
        auto made = Image::make(160, 120, format);
        ASSERT_TRUE(made);
        uint32_t seed = 12345;
        for (int y = 0; y < made->height(); ++y)
            for (int i = 0; i < made->width() * made->componentCount(); ++i) {
                seed = seed * 1664525u + 1013904223u;
                made->mutableRow(y)[i] = static_cast<uint8_t>((i * 3 + y * 2 + int(seed >> 28)) & 0xff);
            }
        const Image source = *made;
        auto encodedAt = [&](std::optional<double> quality) {
            ImageProperties properties;
            properties.quality = quality;
            return encoded(source, ImageType::JPEG2000, properties);
        };
        // Quality 1, like an unset or unusable one, is lossless.
        const std::string lossless = encodedAt(std::nullopt);
        for (const double q : {1.0, 7.0, std::nan("")})
            EXPECT_EQ(encodedAt(q), lossless) << q;
        auto back = decodeImage(lossless);
        ASSERT_TRUE(back);
        EXPECT_TRUE(back->samePixels(source));
        // Each lower quality gives a smaller file, still decoded whole at the
        // image's size, and further from the source.
        size_t previousSize = lossless.size();
        double previousError = 0;
        for (const double q : {0.92, 0.5, 0.3, 0.1}) {
            const std::string bytes = encodedAt(q);
            EXPECT_LT(bytes.size(), previousSize) << q;
            bool complete = false;
            back = decodeImage(bytes, &complete);
            ASSERT_TRUE(back) << q;
            EXPECT_TRUE(complete) << q;
            EXPECT_EQ(back->format(), source.format());
            const double error = meanAbsoluteDifference(*back, source);
            EXPECT_GT(error, previousError) << q;
            previousSize = bytes.size();
            previousError = error;
        }
        EXPECT_EQ(identify(writeFile(encodedAt(0.1), "q.jp2"), "%m %w %h"), "JP2 160 120");
    }
    // Images smaller than a code block still encode at the lowest quality.
    for (const int side : {1, 2, 5}) {
        ImageProperties low;
        low.quality = 0.1;
        auto tiny = Image::make(side, side + 1, PixelFormat::RGB8);
        ASSERT_TRUE(tiny);
        const auto back = decodeImage(encoded(*tiny, ImageType::JPEG2000, low));
        ASSERT_TRUE(back) << side;
        EXPECT_EQ(back->width(), side);
        EXPECT_EQ(back->height(), side + 1);
    }
}

TEST(ImageCodec, BilevelTiffIsGroup4AtOneBit)
{
    ImageProperties properties;
    properties.dpiX = 200;
    properties.dpiY = 200;
    properties.bilevel = true;
    const Image source = testImage(PixelFormat::RGBA8);
    const std::string bytes = encoded(source, ImageType::TIFF, properties);
    const std::string path = writeFile(bytes, "b.tiff");
    EXPECT_EQ(identify(path, "%w %h %z %C %x"), "37 23 1 Group4 200");

    auto back = decodeImage(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->format(), PixelFormat::Gray8);
    // Pixels are black where the source (over white) is darker than one half.
    const Image reference = source.converted(PixelFormat::Gray8);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(back->row(y)[x], reference.row(y)[x] < 128 ? 0 : 255) << x << "," << y;
}

TEST(ImageCodec, Jpeg2000CarriesNoResolution)
{
    ImageProperties properties;
    properties.dpiX = 300;
    properties.dpiY = 300;
    const std::string bytes = encoded(testImage(PixelFormat::RGBA8), ImageType::JPEG2000, properties);
    EXPECT_EQ(bytes.find("res "), std::string::npos);
    EXPECT_EQ(bytes.find("resc"), std::string::npos);
    EXPECT_EQ(bytes.find("resd"), std::string::npos);
    const std::string path = writeFile(bytes, "r.jp2");
    EXPECT_EQ(identify(path, "%w %h %A"), "37 23 True");
}

// Lossless formats come back exactly through the project's own readers;
// lossy ones closely.
TEST(ImageCodec, RoundTripThroughOwnReaders)
{
    struct Case {
        const char* name;
        Image image;
        ImageType type;
        PixelFormat readFormat;
        double tolerance; // mean absolute difference per component
    } cases[] = {
        {"png rgb", testImage(), ImageType::PNG, PixelFormat::RGB8, 0},
        {"png rgba", testImage(PixelFormat::RGBA8), ImageType::PNG, PixelFormat::RGBA8, 0},
        {"png gray", testImage(PixelFormat::Gray8), ImageType::PNG, PixelFormat::Gray8, 0},
        {"bmp rgb", testImage(), ImageType::BMP, PixelFormat::RGB8, 0},
        {"bmp rgba", testImage(PixelFormat::RGBA8), ImageType::BMP, PixelFormat::RGBA8, 0},
        {"tiff rgb", testImage(), ImageType::TIFF, PixelFormat::RGB8, 0},
        {"tiff gray", testImage(PixelFormat::Gray8), ImageType::TIFF, PixelFormat::Gray8, 0},
        {"jp2 rgb", testImage(), ImageType::JPEG2000, PixelFormat::RGB8, 0},
        {"jp2 rgba", testImage(PixelFormat::RGBA8), ImageType::JPEG2000, PixelFormat::RGBA8, 0},
        {"jp2 gray", testImage(PixelFormat::Gray8), ImageType::JPEG2000, PixelFormat::Gray8, 0},
        {"gif few colours", blockImage(false), ImageType::GIF, PixelFormat::RGB8, 0},
        {"jpeg rgb", testImage(), ImageType::JPEG, PixelFormat::RGB8, 4},
        {"jpeg gray", testImage(PixelFormat::Gray8), ImageType::JPEG, PixelFormat::Gray8, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = encoded(c.image, c.type);
        EXPECT_EQ(detectImageType(bytes), c.type);
        bool complete = false;
        auto back = decodeImage(bytes, &complete);
        ASSERT_TRUE(back);
        EXPECT_TRUE(complete);
        EXPECT_EQ(back->format(), c.readFormat);
        EXPECT_LE(meanAbsoluteDifference(*back, c.image), c.tolerance);
    }
}

TEST(ImageCodec, GifPaletteTransparencyAndDithering)
{
    // Transparent pixels (alpha below one half) use the transparent index.
    auto back = decodeImage(encoded(blockImage(true), ImageType::GIF));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->format(), PixelFormat::RGBA8);
    EXPECT_EQ(back->row(0)[3], 0);
    EXPECT_EQ(back->row(0)[5 * 4 + 3], 255);
    EXPECT_EQ(back->row(0)[5 * 4], 255);
    EXPECT_EQ(back->row(0)[5 * 4 + 1], 200);

    // Thousands of colours: quantised, but the local average stays close.
    auto many = Image::make(64, 64, PixelFormat::RGB8);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = many->mutableRow(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 4);
            p[1] = static_cast<uint8_t>(y * 4);
            p[2] = static_cast<uint8_t>((x + y) * 2);
        }
    const std::string bytes = encoded(*many, ImageType::GIF);
    EXPECT_EQ(identify(writeFile(bytes, "m.gif"), "%w %h"), "64 64");
    auto quantised = decodeImage(bytes);
    ASSERT_TRUE(quantised);
    EXPECT_LT(meanAbsoluteDifference(*quantised, *many), 20);
    // Averages over 8 x 8 blocks keep the colour (dithering, not banding).
    for (int by = 0; by < 64; by += 8)
        for (int bx = 0; bx < 64; bx += 8)
            for (int c = 0; c < 3; ++c) {
                double a = 0, b = 0;
                for (int y = by; y < by + 8; ++y)
                    for (int x = bx; x < bx + 8; ++x) {
                        a += quantised->row(y)[x * 3 + c];
                        b += many->row(y)[x * 3 + c];
                    }
                ASSERT_NEAR(a / 64, b / 64, 8) << bx << "," << by << "," << c;
            }
}

TEST(ImageCodec, FormatsAreRecognisedByBytesNotNames)
{
    const std::string png = encoded(testImage(), ImageType::PNG);
    const std::string path = writeFile(png, "really-a-png.jpg");
    auto image = readImageFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 37);
    EXPECT_FALSE(detectImageType(encoded(testImage(), ImageType::TGA)));
    EXPECT_FALSE(decodeImage(encoded(testImage(), ImageType::TGA)));
    EXPECT_FALSE(readImageFile(path + ".missing"));
    EXPECT_FALSE(readImageFile(test::makeTempDir()));
    EXPECT_FALSE(decodeImage("not an image at all"));
}

TEST(ImageCodec, CmykAndGrayJpegFromImageMagick)
{
    const std::string dir = test::makeTempDir();
    const std::string png = writeFile(encoded(blockImage(false), ImageType::PNG), "src.png");
    ASSERT_EQ(test::runCommand("convert '" + png + "' -colorspace CMYK '" + dir + "/cmyk.jpg' 2>/dev/null"), 0);
    ASSERT_EQ(test::runCommand("convert '" + png + "' -colorspace Gray '" + dir + "/gray.jpg' 2>/dev/null"), 0);

    std::ifstream in(dir + "/cmyk.jpg", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto samples = decodeJPEG(bytes);
    ASSERT_TRUE(samples);
    EXPECT_EQ(samples->components, 4);
    EXPECT_EQ(samples->model, DecodedSamples::ColorModel::CMYK);
    EXPECT_TRUE(samples->adobeMarker);
    EXPECT_EQ(samples->width, 20);
    // ImageMagick writes Adobe-style inverted CMYK; as stored, the red
    // corner (no cyan) holds a high cyan sample.
    EXPECT_GT(samples->samples[0], 200);

    auto image = decodeImage(bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format(), PixelFormat::RGB8);
    EXPECT_LE(meanAbsoluteDifference(*image, blockImage(false)), 12);

    auto gray = readImageFile(dir + "/gray.jpg");
    ASSERT_TRUE(gray);
    EXPECT_TRUE(gray->isMonochrome());
}

// Damaged data never crashes or hangs; a size beyond the caps is refused
// before anything is allocated for it.
TEST(ImageCodec, DamagedDataFailsCleanly)
{
    for (ImageType type : {ImageType::JPEG, ImageType::PNG, ImageType::BMP, ImageType::TIFF, ImageType::GIF,
                           ImageType::JPEG2000}) {
        SCOPED_TRACE(imageTypeIdentifier(type));
        const std::string bytes = encoded(testImage(PixelFormat::RGBA8), type);
        for (size_t cut : {size_t{3}, size_t{12}, size_t{40}, bytes.size() / 2, bytes.size() - 1}) {
            bool complete = true;
            auto image = decodeImage(std::string_view(bytes).substr(0, cut), &complete);
            if (image) {
                EXPECT_FALSE(complete && cut < bytes.size() / 2) << cut;
            }
        }
        // Bytes overwritten after the signature.
        std::string damaged = bytes;
        for (size_t i = 16; i < damaged.size(); i += 7)
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
        (void)decodeImage(damaged);
    }

    // Sizes far beyond the pixel cap, declared by small headers.
    std::string png = encoded(testImage(), ImageType::PNG);
    png.replace(16, 8, std::string("\x00\x01\x00\x00\x00\x01\x00\x00", 8)); // 65536 x 65536 IHDR
    EXPECT_FALSE(decodeImage(png));

    std::string bmp = encoded(testImage(), ImageType::BMP);
    bmp.replace(22, 4, std::string("\x00\x00\x01\x00", 4)); // height 65536, data for 23 rows
    EXPECT_FALSE(decodeImage(bmp));

    std::string jpeg = encoded(testImage(), ImageType::JPEG);
    const size_t sof = jpeg.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    jpeg.replace(sof + 5, 4, std::string("\xff\xf0\xff\xf0", 4)); // 65520 x 65520
    EXPECT_FALSE(decodeImage(jpeg));

    std::string gif = encoded(blockImage(false), ImageType::GIF);
    gif.replace(6, 4, std::string("\xff\xff\xff\xff", 4)); // logical screen 65535 x 65535
    auto frame = decodeImage(gif);
    if (frame) {
        EXPECT_EQ(frame->width(), 20);
    }
}

TEST(Image, ConversionCropAndSharing)
{
    Image rgba = testImage(PixelFormat::RGBA8);
    // Transparent pixels over white become white.
    const Image rgb = rgba.converted(PixelFormat::RGB8);
    EXPECT_EQ(rgb.row(0)[0], 255);
    EXPECT_EQ(rgb.row(0)[1], 255);
    const Image gray = rgba.converted(PixelFormat::Gray8, 0);
    EXPECT_EQ(gray.row(0)[0], 0);
    EXPECT_EQ(gray.row(0)[30], (299 * 180 + 587 * 0 + 114 * 165 + 500) / 1000);

    auto part = rgba.cropped(Rect(35.5, -3, 10, 5));
    ASSERT_TRUE(part);
    EXPECT_EQ(part->width(), 2);
    EXPECT_EQ(part->height(), 2);
    EXPECT_EQ(part->row(1)[0], rgba.row(1)[35 * 4]);
    EXPECT_FALSE(rgba.cropped(Rect(40, 0, 5, 5)));

    // Copies share pixels until one is written.
    Image copy = rgba;
    copy.mutableRow(0)[0] = 1;
    EXPECT_EQ(rgba.row(0)[0], 0);
    EXPECT_FALSE(copy.samePixels(rgba));

    EXPECT_FALSE(Image::make(0, 5, PixelFormat::RGB8));
    EXPECT_FALSE(Image::make(1 << 17, 1 << 17, PixelFormat::RGB8));
    EXPECT_FALSE(Image::make(4, 4, PixelFormat::RGB8, std::vector<uint8_t>(40), 12));
}
