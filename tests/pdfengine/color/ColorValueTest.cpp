// Colour values and the conversions of the six formula spaces, without
// any parsing.
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFIndexedColorSpace.h"
#include "pdfengine/color/QXPDFPatternColorSpace.h"
#include "pdfengine/color/QXPDFSeparationColorSpace.h"

#include "tests/pdfengine/color/ColorFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rz;
using rz::test::colorOf;


TEST(ColorValue, OperandsSaturateOnTheComponentScale)
{
    using L = std::numeric_limits<QXPDFColorComponent>;
    const struct {
        double operand;
        QXPDFColorComponent expected;
    } cases[] = {
        {1.0, 255},   {0.5, 127},          {-0.5, -127},         {0.999, 254}, {100.0, 25500},
        {1e12, L::max()}, {-1e12, L::min()}, {std::nan(""), 0}, {INFINITY, L::max()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QXPDFColorComponentFromOperand(c.operand), c.expected) << c.operand;
    // Indexed operands up to 255 survive the ×255 scale.
    EXPECT_EQ(QXPDFColorComponentFromOperand(255), 65025);
}

TEST(ColorValue, DefaultColoursAreFullySet)
{
    const QXPDFColor initial = QXPDFColorSpace::defaultPDFColor();
    EXPECT_EQ(initial.isNull, 1);
    EXPECT_EQ(initial.length, 0);
    for (auto v : initial.c)
        EXPECT_EQ(v, 0);

    const struct {
        std::shared_ptr<QXPDFColorSpace> space;
        QXPDFColor expected;
    } cases[] = {
        {std::make_shared<QXPDFDeviceGrayColorSpace>(), colorOf({0})},
        {std::make_shared<QXPDFCalGrayColorSpace>(), colorOf({0})},
        {std::make_shared<QXPDFDeviceRGBColorSpace>(), colorOf({0, 0, 0})},
        {std::make_shared<QXPDFCalRGBColorSpace>(), colorOf({0, 0, 0})},
        // CMYK starts black.
        {std::make_shared<QXPDFDeviceCMYKColorSpace>(), colorOf({0, 0, 0, 255})},
        {std::make_shared<QXPDFLabColorSpace>(), colorOf({0, 0, 0})},
        {std::make_shared<QXPDFIndexedColorSpace>(), colorOf({0})},
        {std::make_shared<QXPDFSeparationColorSpace>(), colorOf({0})},
        {std::make_shared<QXPDFPatternColorSpace>(), colorOf({})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.space->getDefaultColor(), c.expected) << c.space->getModeName();

    // The CMYK default converts to black.
    const QXPDFDeviceCMYKColorSpace cmyk;
    EXPECT_EQ(cmyk.getRGB(cmyk.getDefaultColor()), (QXPDFRGB{35, 31, 32}));
    EXPECT_EQ(cmyk.getGray(cmyk.getDefaultColor()), 0);

    // Lab starts at the range end nearest zero.
    QXPDFLabColorSpace lab;
    lab.setAMin(10);
    lab.setAMax(20);
    lab.setBMin(-30);
    lab.setBMax(-5);
    EXPECT_EQ(lab.getDefaultColor(), colorOf({0, 2550, -1275}));
}

TEST(ColorValue, FormulaConversions)
{
    const auto gray = std::make_shared<QXPDFDeviceGrayColorSpace>();
    const auto rgb = std::make_shared<QXPDFDeviceRGBColorSpace>();
    const auto calRGB = std::make_shared<QXPDFCalRGBColorSpace>();
    const auto cmyk = std::make_shared<QXPDFDeviceCMYKColorSpace>();
    const struct {
        std::shared_ptr<QXPDFColorSpace> space;
        QXPDFColor color;
        int gray;
        QXPDFRGB rgb;
        QXPDFCMYK cmyk;
    } cases[] = {
        {gray, colorOf({100}), 100, {100, 100, 100}, {0, 0, 0, 155}},
        {gray, colorOf({300}), 255, {255, 255, 255}, {0, 0, 0, 0}},
        {gray, colorOf({-20}), 0, {0, 0, 0}, {0, 0, 0, 255}},
        // 255.5 truncated, then clamped.
        {rgb, colorOf({255, 255, 255}), 255, {255, 255, 255}, {0, 0, 0, 0}},
        {rgb, colorOf({255, 0, 0}), 77, {255, 0, 0}, {0, 255, 255, 0}},
        {rgb, colorOf({0, 0, 0}), 0, {0, 0, 0}, {0, 0, 0, 255}},
        {rgb, colorOf({400, 100, -10}), 178, {255, 100, 0}, {0, 155, 255, 0}},
        // 0.299 · 255 + 0.5 = 76.745.
        {calRGB, colorOf({255, 0, 0}), 76, {255, 0, 0}, {0, 255, 255, 0}},
        {cmyk, colorOf({0, 0, 0, 0}), 255, {255, 255, 255}, {0, 0, 0, 0}},
        {cmyk, colorOf({0, 0, 0, 255}), 0, {35, 31, 32}, {0, 0, 0, 255}},
        {cmyk, colorOf({255, 255, 255, 255}), 0, {0, 0, 0}, {255, 255, 255, 255}},
        {cmyk, colorOf({0, 255, 0, 0}), 105, {236, 0, 139}, {0, 255, 0, 0}},
        // A component above 255 enters the blend unclipped (clipped: G 172, B 239).
        {cmyk, colorOf({300, 0, 0, 0}), 165, {0, 158, 236}, {255, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.space->getModeName() + " " + std::to_string(c.color.c[0]));
        EXPECT_EQ(c.space->getGray(c.color), c.gray);
        EXPECT_EQ(c.space->getRGB(c.color), c.rgb);
        EXPECT_EQ(c.space->getCMYK(c.color), c.cmyk);
        const QXPDFColor deviceN = c.space->getDeviceN(c.color);
        EXPECT_EQ(deviceN.length, 4);
        EXPECT_EQ((QXPDFCMYK{static_cast<std::int16_t>(deviceN.c[0]), static_cast<std::int16_t>(deviceN.c[1]),
                             static_cast<std::int16_t>(deviceN.c[2]), static_cast<std::int16_t>(deviceN.c[3])}),
                  c.cmyk);
    }
}

TEST(ColorValue, ExtremeComponentsStayInRange)
{
    const std::shared_ptr<QXPDFColorSpace> spaces[] = {
        std::make_shared<QXPDFDeviceGrayColorSpace>(), std::make_shared<QXPDFDeviceRGBColorSpace>(),
        std::make_shared<QXPDFCalRGBColorSpace>(),     std::make_shared<QXPDFDeviceCMYKColorSpace>(),
        std::make_shared<QXPDFLabColorSpace>(),
    };
    const int extremes[] = {std::numeric_limits<int>::min(), -25500, 25500, std::numeric_limits<int>::max()};
    for (const auto& space : spaces)
        for (int a : extremes)
            for (int b : extremes) {
                const QXPDFColor color = colorOf({a, b, a, b});
                const QXPDFRGB rgb = space->getRGB(color);
                const QXPDFCMYK cmyk = space->getCMYK(color);
                const int gray = space->getGray(color);
                for (int v : {int(rgb.r), int(rgb.g), int(rgb.b), int(cmyk.c), int(cmyk.m), int(cmyk.y),
                              int(cmyk.k), gray}) {
                    EXPECT_GE(v, 0);
                    EXPECT_LE(v, 255);
                }
            }
}

TEST(ColorValue, ModeNames)
{
    const char* names[] = {"unknown", "DeviceGray", "CalGray", "DeviceRGB",
                           "CalRGB",  "DeviceCMYK", "Lab",     "ICCBased",
                           "Indexed", "Separation", "DeviceN", "Pattern"};
    EXPECT_EQ(QXPDFColorSpace::getNumColorSpaceModes(), 12);
    for (long mode = 0; mode < 12; ++mode)
        EXPECT_EQ(QXPDFColorSpace::colorSpaceModeName(mode), names[mode]);
    EXPECT_EQ(QXPDFColorSpace::colorSpaceModeName(12), "");
    EXPECT_EQ(QXPDFColorSpace::colorSpaceModeName(-1), "");

    const QXPDFColorSpace base;
    EXPECT_EQ(base.objectKey(), "init");
    EXPECT_EQ(base.getModeName(), "unknown");
    EXPECT_EQ(base.getNComps(), 0);
    EXPECT_EQ(base.getRGB(colorOf({255, 255, 255})), QXPDFRGB{});
    EXPECT_EQ(base.CGColorSpace()->model(), cg::ColorModel::DeviceRGB);
    EXPECT_EQ(QXPDFColorSpace::DefaultDeviceRGBColorSpace()->getMode(), QXPDFColorSpaceModeDeviceRGB);
}

TEST(ColorValue, PatternSpaceIsBlack)
{
    const QXPDFPatternColorSpace pattern;
    const QXPDFColor color = colorOf({255, 255, 255});
    EXPECT_EQ(pattern.getNComps(), 0);
    EXPECT_EQ(pattern.getGray(color), 0);
    EXPECT_EQ(pattern.getRGB(color), QXPDFRGB{});
    EXPECT_EQ(pattern.getCMYK(color), (QXPDFCMYK{0, 0, 0, 255}));
}
