// The drawing side's colour spaces: conversions and the 8-bit row path
// that image decoding uses.
#include "pdfengine/color/CGColorSpace.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rz;
using cg::ColorSpace;

namespace {

std::vector<std::uint8_t> row(const ColorSpace& space, const std::vector<std::uint8_t>& samples,
                              const double* decode = nullptr)
{
    const size_t n = space.numberOfComponents();
    std::vector<std::uint8_t> rgb(3 * (samples.size() / n), 0xAA);
    space.convertRow8ToRGB8(samples.data(), samples.size() / n, rgb.data(), decode);
    return rgb;
}

using Bytes = std::vector<std::uint8_t>;

} // namespace

TEST(CGColorSpace, DeviceRows)
{
    EXPECT_EQ(row(*ColorSpace::deviceGray(), {0, 128, 255}), (Bytes{0, 0, 0, 128, 128, 128, 255, 255, 255}));
    EXPECT_EQ(row(*ColorSpace::deviceRGB(), {1, 2, 3, 250, 251, 252}), (Bytes{1, 2, 3, 250, 251, 252}));
    // The same corner blend as the engine's DeviceCMYK space (rounded here).
    EXPECT_EQ(row(*ColorSpace::deviceCMYK(), {0, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0}),
              (Bytes{255, 255, 255, 35, 31, 32, 236, 0, 140}));
    // An inverting decode array.
    const double invert[] = {1, 0};
    EXPECT_EQ(row(*ColorSpace::deviceGray(), {0, 255}, invert), (Bytes{255, 255, 255, 0, 0, 0}));
}

TEST(CGColorSpace, IndexedRowsAndLimits)
{
    const std::uint8_t table[] = {255, 0, 0, 0, 255, 0};
    const auto indexed = ColorSpace::indexed(ColorSpace::deviceRGB(), 1, table, sizeof table);
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed->numberOfComponents(), 1u);
    // Indices beyond the table are clamped onto its last entry.
    EXPECT_EQ(row(*indexed, {0, 1, 200}), (Bytes{255, 0, 0, 0, 255, 0, 0, 255, 0}));

    EXPECT_FALSE(ColorSpace::indexed(ColorSpace::deviceRGB(), 2, table, sizeof table));
    EXPECT_FALSE(ColorSpace::indexed(ColorSpace::deviceRGB(), 256, table, sizeof table));
    EXPECT_FALSE(ColorSpace::indexed(nullptr, 0, table, sizeof table));
    EXPECT_FALSE(ColorSpace::indexed(indexed, 0, table, sizeof table));
    EXPECT_FALSE(ColorSpace::iccBased(3, {}, nullptr));
    EXPECT_FALSE(ColorSpace::iccBased(33, {}, ColorSpace::deviceRGB()));
}

TEST(CGColorSpace, CalibratedAndLabWhiteAndBlack)
{
    const std::array<double, 3> d65{0.9505, 1.0, 1.089};
    const std::array<double, 3> d50{0.9642, 1.0, 0.8249};
    const auto lab = ColorSpace::lab(d50, {0, 0, 0}, {-128, 127, -128, 127});
    const auto calGray = ColorSpace::calibratedGray(d65, {0, 0, 0}, 2.2);
    const auto calRGB =
        ColorSpace::calibratedRGB(d65, {0, 0, 0}, {1.8, 1.8, 1.8},
                                  {0.4124, 0.2126, 0.0193, 0.3576, 0.7152, 0.1192, 0.1805, 0.0722, 0.9505});
    const struct {
        cg::ColorSpaceRef space;
        std::array<double, 3> white;
        std::array<double, 3> black;
    } cases[] = {
        {lab, {100, 0, 0}, {0, 0, 0}},
        {calGray, {1, 0, 0}, {0, 0, 0}},
        {calRGB, {1, 1, 1}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto white = c.space->toRGB(c.white.data());
        const auto black = c.space->toRGB(c.black.data());
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(white[i], 1.0, 0.01);
            EXPECT_NEAR(black[i], 0.0, 0.01);
        }
    }
    // A saturated Lab red stays red.
    const double red[] = {54, 80, 67};
    const auto rgb = lab->toRGB(red);
    EXPECT_GT(rgb[0], 0.9);
    EXPECT_LT(rgb[1], 0.2);
    EXPECT_LT(rgb[2], 0.2);
    // The 8-bit row spans L 0..100 and a, b over the range by default.
    EXPECT_EQ(row(*lab, {255, 128, 128}), (Bytes{255, 255, 255}));
}

TEST(CGColorSpace, WrappersDelegate)
{
    const auto icc = ColorSpace::iccBased(4, {0, 1, 0, 1, 0, 1, 0, 1}, ColorSpace::deviceCMYK());
    ASSERT_TRUE(icc);
    EXPECT_EQ(row(*icc, {0, 0, 0, 255}), (Bytes{35, 31, 32}));

    // A profile of fewer components than its alternate: the rest are 0.
    const auto narrow = ColorSpace::iccBased(1, {}, ColorSpace::deviceRGB());
    ASSERT_TRUE(narrow);
    EXPECT_EQ(row(*narrow, {255, 10}), (Bytes{255, 0, 0, 10, 0, 0}));

    const auto pattern = ColorSpace::pattern(ColorSpace::deviceRGB());
    EXPECT_EQ(pattern->numberOfComponents(), 3u);
    EXPECT_EQ(row(*pattern, {9, 8, 7}), (Bytes{9, 8, 7}));
    EXPECT_EQ(ColorSpace::pattern(nullptr)->numberOfComponents(), 0u);
    const double none = 0;
    EXPECT_EQ(ColorSpace::pattern(nullptr)->toRGB(&none), (std::array<double, 3>{0, 0, 0}));
}
