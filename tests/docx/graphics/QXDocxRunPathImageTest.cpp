// A group of path runs drawn into one PNG: cut to the group's bounds, in
// the paths' colours and clips, and no file when there is nothing to draw.
#include "docx/graphics/QXDocxRunPath.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "platform/image/ImageCodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace rz {
namespace {

QXDocxRunPathPtr filledRect(Rect r, Color color)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setDisplayX(r.origin.x);
    info->setDisplayY(r.origin.y);
    info->setDisplayWidth(r.size.width);
    info->setDisplayHeight(r.size.height);
    info->setFilled(true);
    info->setFillcolor(color);
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPictInfo(info);
    Path path;
    path.addRect(r);
    run->setRunCGPath(path);
    return run;
}

struct Rgba {
    int r, g, b, a;
};

Rgba pixelAt(const Image& image, int x, int y)
{
    const std::uint8_t* p = image.row(y) + x * image.componentCount();
    return {p[0], p[1], p[2], image.hasAlpha() ? p[3] : 255};
}

TEST(QXDocxRunPathImageTest, GroupIsDrawnCutToItsBounds)
{
    const auto red = filledRect({10, 20, 30, 10}, Color::rgb(1, 0, 0, 1));
    const auto blue = filledRect({40, 30, 20, 20}, Color::rgb(0, 0, 1, 1));
    // The blue square is clipped to its left half (the clip is in PDF space
    // of a 100-point page, turned into display space by the page transform).
    const Affine pageTransform{1, 0, 0, -1, 0, 100};
    Path clip;
    clip.addRect({40, 50, 10, 20}); // display x 40..50, y 30..50
    blue->setClipBezierPaths(
        {QXPDFClipPath::NewClipPathArray(*QXPDFCGPathUtilities::NSArrayWithCGPath(clip), QXPDFClipTypeNonZero)});

    Rect clipRect;
    const auto file =
        QXDocxRunPath::CreateImageFromRunPaths({red, blue}, {100, 100}, pageTransform, 144, true, &clipRect);
    ASSERT_TRUE(file);
    EXPECT_EQ(clipRect, Rect(10, 20, 50, 30));
    const auto image = readImageFile(*file);
    std::remove(file->c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 100);
    EXPECT_EQ(image->height(), 60);
    const Rgba inRed = pixelAt(*image, 10, 5);
    EXPECT_EQ(inRed.r, 255);
    EXPECT_EQ(inRed.b, 0);
    EXPECT_EQ(inRed.a, 255);
    const Rgba inBlue = pixelAt(*image, 70, 40);
    EXPECT_EQ(inBlue.b, 255);
    EXPECT_EQ(inBlue.a, 255);
    EXPECT_EQ(pixelAt(*image, 90, 40).a, 0); // clipped away
    EXPECT_EQ(pixelAt(*image, 10, 40).a, 0); // between the shapes
}

TEST(QXDocxRunPathImageTest, NothingToDrawGivesNoFile)
{
    Rect clipRect(1, 2, 3, 4);
    EXPECT_FALSE(QXDocxRunPath::CreateImageFromRunPaths({}, {100, 100}, Affine::identity(), 72, true, &clipRect));
    EXPECT_EQ(clipRect, Rect(1, 2, 3, 4));
    const auto red = filledRect({10, 20, 30, 10}, Color::rgb(1, 0, 0, 1));
    EXPECT_FALSE(QXDocxRunPath::CreateImageFromRunPaths({red}, {0, 0}, Affine::identity(), 72, true, &clipRect));
}

} // namespace
} // namespace rz
