// Pictures held in memory for a page: read back without a file, written
// to their files when the package keeps them or a reader needs the file,
// dropped otherwise, and kept apart per owner.
#include "docx/graphics/QXDocxHeldImages.h"

#include "platform/image/ImageCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace rz {
namespace {

Image solid(int width, int height, PixelFormat format, std::uint8_t value)
{
    std::optional<Image> image = Image::make(width, height, format);
    EXPECT_TRUE(image);
    for (int y = 0; y < height; ++y)
        for (std::size_t i = 0; i < image->bytesPerRow(); ++i)
            image->mutableRow(y)[i] = static_cast<std::uint8_t>(value + i);
    return *image;
}

bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

TEST(QXDocxHeldImagesTest, AHeldPictureIsReadWithoutAFileAndWrittenOnlyWhenKept)
{
    const int owner = 0;
    const Image kept = solid(6, 3, PixelFormat::RGBA8, 10);
    const Image dropped = solid(4, 2, PixelFormat::Gray8, 90);
    const std::optional<std::string> keptPath = QXDocxHeldImages::hold(&owner, kept);
    const std::optional<std::string> droppedPath = QXDocxHeldImages::hold(&owner, dropped);
    ASSERT_TRUE(keptPath && droppedPath);
    EXPECT_NE(*keptPath, *droppedPath);
    EXPECT_FALSE(exists(*keptPath));
    EXPECT_TRUE(QXDocxHeldImages::isHeld(*keptPath));
    const std::optional<Image> read = QXDocxHeldImages::read(*droppedPath);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->samePixels(dropped));

    const std::vector<std::string> failed =
        QXDocxHeldImages::release(&owner, [&](const std::string& path) { return path == *keptPath; });
    EXPECT_TRUE(failed.empty());
    EXPECT_FALSE(QXDocxHeldImages::isHeld(*keptPath));
    EXPECT_FALSE(QXDocxHeldImages::isHeld(*droppedPath));
    EXPECT_FALSE(exists(*droppedPath));
    EXPECT_FALSE(QXDocxHeldImages::read(*droppedPath));
    // The file holds the very pixels, as the decoder reads them.
    const std::optional<Image> written = readImageFile(*keptPath);
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->samePixels(kept));
    std::filesystem::remove(*keptPath);
}

TEST(QXDocxHeldImagesTest, AReaderOfFilesGetsTheFileAndOwnersStayApart)
{
    const int first = 0, second = 0;
    const Image cmyk = solid(3, 3, PixelFormat::CMYK8, 0);
    const std::optional<std::string> mine = QXDocxHeldImages::hold(&first, cmyk);
    const std::optional<std::string> theirs = QXDocxHeldImages::hold(&second, solid(2, 2, PixelFormat::RGB8, 5));
    ASSERT_TRUE(mine && theirs);
    // Ink amounts are held as the RGB the file would hold.
    const std::optional<Image> held = QXDocxHeldImages::read(*mine);
    ASSERT_TRUE(held);
    EXPECT_EQ(held->format(), PixelFormat::RGB8);
    EXPECT_TRUE(held->samePixels(cmyk.converted(PixelFormat::RGB8)));

    EXPECT_TRUE(QXDocxHeldImages::writeOut(*mine));
    EXPECT_TRUE(exists(*mine));
    EXPECT_FALSE(QXDocxHeldImages::isHeld(*mine));
    EXPECT_TRUE(QXDocxHeldImages::writeOut(*mine));

    // Ending the first owner's page leaves the second owner's picture held.
    QXDocxHeldImages::release(&first, nullptr);
    EXPECT_TRUE(exists(*mine));
    EXPECT_TRUE(QXDocxHeldImages::isHeld(*theirs));
    QXDocxHeldImages::release(&second, nullptr);
    EXPECT_FALSE(QXDocxHeldImages::isHeld(*theirs));
    EXPECT_FALSE(exists(*theirs));
    std::filesystem::remove(*mine);
}

TEST(QXDocxHeldImagesTest, PicturesBeyondTheOwnersShareAreWrittenAtOnce)
{
    const int owner = 0;
    // Two pictures of two thirds of the share each: the second one is
    // written at once; without an owner every picture is.
    const int side = 1024;
    const int rows = static_cast<int>(QXDocxHeldImages::kMaxHeldBytes * 2 / 3 / (side * 4));
    const Image big = solid(side, rows, PixelFormat::RGBA8, 1);
    const std::optional<std::string> held = QXDocxHeldImages::hold(&owner, big);
    const std::optional<std::string> written = QXDocxHeldImages::hold(&owner, big);
    const std::optional<std::string> unowned = QXDocxHeldImages::hold(nullptr, solid(2, 2, PixelFormat::RGB8, 1));
    ASSERT_TRUE(held && written && unowned);
    EXPECT_TRUE(QXDocxHeldImages::isHeld(*held));
    EXPECT_FALSE(QXDocxHeldImages::isHeld(*written));
    EXPECT_TRUE(exists(*written));
    EXPECT_TRUE(exists(*unowned));
    EXPECT_FALSE(QXDocxHeldImages::hold(&owner, Image()));
    QXDocxHeldImages::release(&owner, nullptr);
    EXPECT_FALSE(exists(*held));
    std::filesystem::remove(*written);
    std::filesystem::remove(*unowned);
}

} // namespace
} // namespace rz
