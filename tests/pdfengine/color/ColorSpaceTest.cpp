// Colour spaces read from objects: the factory, the calibrated and Lab
// parameters, and the spaces that hand colours on (ICCBased, Indexed,
// Separation, DeviceN, Pattern).
#include "ColorFixture.h"

#include "pdfengine/color/QXPDFICCBasedColorSpace.h"
#include "pdfengine/color/QXPDFIndexedColorSpace.h"
#include "pdfengine/color/QXPDFPatternColorSpace.h"
#include "pdfengine/color/QXPDFSeparationColorSpace.h"

#include <gtest/gtest.h>

using namespace rz;
using rz::test::colorOf;
using test::ColorFixture;

namespace {

std::shared_ptr<QXPDFColorSpace> spaceOf(ColorFixture& f, const std::string& syntax)
{
    return QXPDFColorSpace::ColorSpaceWithObject(f.object(syntax), "key");
}

std::shared_ptr<QXPDFColorSpace> spaceOf(const std::string& syntax)
{
    ColorFixture f;
    return spaceOf(f, syntax);
}

template <class T>
std::shared_ptr<T> as(const std::shared_ptr<QXPDFColorSpace>& space)
{
    return std::dynamic_pointer_cast<T>(space);
}


// The ×255 component of an operand.
QXPDFColor operand(double v)
{
    return colorOf({QXPDFColorComponentFromOperand(v)});
}

const char* const kRedGreen = "[/Indexed /DeviceRGB 1 <FF000000FF00>]";

} // namespace

TEST(ColorSpace, FactoryChoosesByName)
{
    const struct {
        const char* syntax;
        long mode; // −1: nothing
    } cases[] = {
        {"/DeviceGray", 1}, {"/G", 1}, {"/DeviceRGB", 3}, {"/RGB", 3}, {"/DeviceCMYK", 5}, {"/CMYK", 5},
        {"/Pattern", 11}, {"/CalRGB", -1}, {"/Indexed", -1}, {"/Foo", -1}, {"3", -1}, {"(DeviceRGB)", -1},
        {"[/G]", 1}, {"[/DeviceRGB]", 3}, {"[/CMYK]", 5}, {"[/CalGray << >>]", 2}, {"[/CalRGB << >>]", 4},
        {"[/Lab << >>]", 6}, {"[/Pattern]", 11}, {"[/Separation]", 9}, {"[/DeviceN]", 10}, {"[/I]", 8},
        {"[/Foo]", -1}, {"[1 2]", -1}, {"[]", -1},
        {"<< /ColorSpace /DeviceRGB >>", 3}, {"<< /ColorSpace /G >>", 1}, {"<< /ColorSpace /CalRGB >>", -1},
        {"<< /ColorSpace [/DeviceRGB] >>", -1},
    };
    for (const auto& c : cases) {
        const auto space = spaceOf(c.syntax);
        if (c.mode < 0) {
            EXPECT_FALSE(space) << c.syntax;
            continue;
        }
        ASSERT_TRUE(space) << c.syntax;
        EXPECT_EQ(space->getMode(), c.mode) << c.syntax;
        EXPECT_EQ(space->objectKey(), "key");
    }
    ColorFixture f;
    EXPECT_EQ(QXPDFColorSpace::ColorSpaceWithObject(f.object("/G"))->objectKey(), "unknown");
}

TEST(ColorSpace, CalibratedParameters)
{
    const auto gray = as<QXPDFCalGrayColorSpace>(
        spaceOf("[/CalGray << /WhitePoint [0.9505 /x 1.089] /BlackPoint [0.1 0.2] /Gamma 2.2 >>]"));
    ASSERT_TRUE(gray);
    // A non-number repeats the value before it; a black point of 2 entries is ignored.
    EXPECT_DOUBLE_EQ(gray->whiteX(), 0.9505);
    EXPECT_DOUBLE_EQ(gray->whiteY(), 0.9505);
    EXPECT_DOUBLE_EQ(gray->whiteZ(), 1.089);
    EXPECT_DOUBLE_EQ(gray->blackX(), 0);
    EXPECT_DOUBLE_EQ(gray->gamma(), 2.2);
    EXPECT_EQ(gray->getRGB(colorOf({128})), (QXPDFRGB{128, 128, 128}));
    EXPECT_EQ(gray->CGColorSpace()->model(), cg::ColorModel::CalibratedGray);

    const auto rgb = as<QXPDFCalRGBColorSpace>(spaceOf(
        "[/CalRGB << /WhitePoint [0.9505 1 1.089] /Gamma [1.8 2 2.2] /Matrix [1 2 3 4 5 6 7 8 9] >>]"));
    ASSERT_TRUE(rgb);
    EXPECT_DOUBLE_EQ(rgb->gammaG(), 2);
    EXPECT_EQ(rgb->mat(), (std::array<double, 9>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    const auto badMatrix = as<QXPDFCalRGBColorSpace>(spaceOf("[/CalRGB << /Matrix [1 2 3] >>]"));
    EXPECT_EQ(badMatrix->mat(), (std::array<double, 9>{1, 0, 0, 0, 1, 0, 0, 0, 1}));

    // A malformed array keeps the defaults and is still returned.
    const auto bare = as<QXPDFCalGrayColorSpace>(spaceOf("[/CalGray /Foo]"));
    ASSERT_TRUE(bare);
    EXPECT_DOUBLE_EQ(bare->gamma(), 1);
}

TEST(ColorSpace, LabParameters)
{
    const auto lab = as<QXPDFLabColorSpace>(
        spaceOf("[/Lab << /WhitePoint [0.9642 1 0.8249] /Range [-128 127 -50 60] >>]"));
    ASSERT_TRUE(lab);
    EXPECT_DOUBLE_EQ(lab->aMin(), -128);
    EXPECT_DOUBLE_EQ(lab->bMax(), 60);
    EXPECT_DOUBLE_EQ(lab->kr(), 1 / (3.240449 * 0.9642 - 1.537136 * 1 - 0.498531 * 0.8249));
    // The white point is normalised away: L 100 is white, L 0 black.
    EXPECT_EQ(lab->getRGB(colorOf({25500, 0, 0})), (QXPDFRGB{255, 255, 255}));
    EXPECT_EQ(lab->getRGB(colorOf({0, 0, 0})), (QXPDFRGB{0, 0, 0}));
    const auto red = lab->getRGB(colorOf({54 * 255, 80 * 255, 67 * 255}));
    EXPECT_GT(red.r, 200);
    EXPECT_LT(red.g, 100);

    // The default white point (1, 1, 1) as well; gray and CMYK follow the RGB result.
    const auto unit = spaceOf("[/Lab << /WhitePoint [1 1 1] >>]");
    EXPECT_EQ(unit->getRGB(colorOf({25500, 0, 0})), (QXPDFRGB{255, 255, 255}));
    EXPECT_EQ(unit->getGray(colorOf({25500, 0, 0})), 255);
    EXPECT_EQ(unit->getCMYK(colorOf({25500, 0, 0})), (QXPDFCMYK{0, 0, 0, 0}));
    EXPECT_EQ(unit->getRGB(colorOf({0, 0, 0})), (QXPDFRGB{0, 0, 0}));
    EXPECT_EQ(unit->getCMYK(colorOf({0, 0, 0})), (QXPDFCMYK{0, 0, 0, 255}));

    const auto threeRange = as<QXPDFLabColorSpace>(spaceOf("[/Lab << /Range [0 1 2] >>]"));
    EXPECT_DOUBLE_EQ(threeRange->aMin(), -100);
    EXPECT_DOUBLE_EQ(threeRange->bMax(), 100);
    EXPECT_EQ(threeRange->CGColorSpace()->model(), cg::ColorModel::Lab);
}

TEST(ColorSpace, Indexed)
{
    const auto space = as<QXPDFIndexedColorSpace>(spaceOf(kRedGreen));
    ASSERT_TRUE(space);
    EXPECT_EQ(space->indexHigh(), 1);
    EXPECT_EQ(space->getNComps(), 1);
    EXPECT_EQ(space->getRGB(operand(0)), (QXPDFRGB{255, 0, 0}));
    EXPECT_EQ(space->getRGB(operand(1)), (QXPDFRGB{0, 255, 0}));
    // Indices beyond the table are clamped onto it.
    EXPECT_EQ(space->getRGB(operand(200)), (QXPDFRGB{0, 255, 0}));
    EXPECT_EQ(space->getRGB(operand(-3)), (QXPDFRGB{255, 0, 0}));
    EXPECT_EQ(space->getGray(operand(1)), 150);
    EXPECT_EQ(space->getCMYK(operand(0)), (QXPDFCMYK{0, 255, 255, 0}));

    const auto cg = space->CGColorSpace();
    ASSERT_TRUE(cg);
    EXPECT_EQ(cg->model(), cg::ColorModel::Indexed);
    EXPECT_EQ(cg->lookupTable(), (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0}));

    // Index 255 reaches the last of 256 entries.
    std::string table;
    for (int i = 0; i < 256; ++i)
        table += i == 255 ? "FF" : "00";
    const auto big = spaceOf("[/Indexed [/DeviceGray] 255 <" + table + ">]");
    EXPECT_EQ(big->getGray(operand(255)), 255);
    EXPECT_EQ(big->getGray(operand(254)), 0);
}

TEST(ColorSpace, IndexedLookupFromStreamAndOverLab)
{
    ColorFixture f;
    const int lookup = f.stream("", test::hexBytes("008080FF8080"));
    const auto space =
        as<QXPDFIndexedColorSpace>(spaceOf(f, "[/Indexed [/Lab << /Range [-128 127 -128 127] >>] 1 " +
                                                  ColorFixture::ref(lookup) + "]"));
    ASSERT_TRUE(space && space->base());
    // Table bytes span the Lab ranges: entry 1 is L 100, a = b = 0 (white).
    EXPECT_EQ(space->getRGB(operand(1)), (QXPDFRGB{255, 255, 255}));
    EXPECT_EQ(space->getRGB(operand(0)), (QXPDFRGB{0, 0, 0}));
    const QXPDFColor base = space->mapColorQXPDFColor(operand(1), QXPDFColor{});
    EXPECT_EQ(base.length, 3);
    EXPECT_EQ(base.c[0], 25500);
    EXPECT_EQ(base.c[1], 0);
}

TEST(ColorSpace, IndexedThatDoesNotParse)
{
    const char* const bad[] = {
        "[/Indexed /DeviceRGB 256 <FF000000FF00>]", // hival beyond 255
        "[/Indexed /DeviceRGB -1 <FF000000FF00>]",
        "[/Indexed /DeviceRGB 1 <FF000000FF>]",    // lookup too short
        "[/Indexed /DeviceRGB 1 /Table]",
        "[/Indexed /Nothing 1 <FF000000FF00>]",
        "[/Indexed /DeviceRGB 1.0 <FF000000FF00>]",
        "[/Indexed /DeviceRGB 1 <FF000000FF00> 3]",
        "[/I /DeviceRGB 1 <FF000000FF00>]", // the short name reaches the class only
    };
    for (const char* syntax : bad) {
        const auto space = as<QXPDFIndexedColorSpace>(spaceOf(syntax));
        ASSERT_TRUE(space) << syntax;
        EXPECT_FALSE(space->base()) << syntax;
        EXPECT_EQ(space->getRGB(operand(1)), QXPDFRGB{}) << syntax;
        EXPECT_FALSE(space->CGColorSpace()) << syntax;
    }
}

TEST(ColorSpace, ICCBased)
{
    ColorFixture f;
    const int rgb = f.stream("/N 3", "profile");
    const int two = f.stream("/N 2", "profile");
    const int wide = f.stream("/N 40", "profile");
    const int gray = f.stream("/N 1 /Alternate /DeviceGray /Range [0.2 1]", "profile");
    const int neg = f.stream("/N 2 /Alternate /DeviceRGB /Range [-1 -0.5 0 1]", "profile");
    const int zero = f.stream("/N 0 /Alternate /DeviceRGB", "profile");
    const int pairs = f.reserve();
    f.set(pairs, "[[/ICCBased " + ColorFixture::ref(rgb) + "] [/ICCBased " + ColorFixture::ref(two) +
                     "] [/ICCBased " + ColorFixture::ref(wide) + "] [/ICCBased " + ColorFixture::ref(gray) +
                     "] [/ICCBased " + ColorFixture::ref(neg) + "] [/ICCBased " + ColorFixture::ref(zero) +
                     "] [/ICCBased << /N 3 >>]]");
    const pdf::Object list = f.object(ColorFixture::ref(pairs));
    const auto at = [&](size_t i) {
        return as<QXPDFICCBasedColorSpace>(QXPDFColorSpace::ColorSpaceWithObject(list.at(i)));
    };

    const auto asRGB = at(0);
    ASSERT_TRUE(asRGB && asRGB->alt());
    EXPECT_EQ(asRGB->getNComps(), 3);
    EXPECT_EQ(asRGB->alt()->getMode(), QXPDFColorSpaceModeDeviceRGB);
    EXPECT_EQ(asRGB->getRGB(colorOf({10, 20, 30})), (QXPDFRGB{10, 20, 30}));
    EXPECT_EQ(asRGB->getDeviceN(colorOf({255, 0, 0})).c[1], 255);
    const auto cgRGB = asRGB->CGColorSpace();
    ASSERT_TRUE(cgRGB);
    EXPECT_EQ(cgRGB->model(), cg::ColorModel::ICCBased);
    EXPECT_EQ(cgRGB->base()->model(), cg::ColorModel::DeviceRGB);
    EXPECT_EQ(asRGB->iccProfileStream().streamData().bytes, "profile");

    // N 2 without an alternate: no alternate, black, still returned.
    const auto noAlt = at(1);
    ASSERT_TRUE(noAlt);
    EXPECT_FALSE(noAlt->alt());
    EXPECT_EQ(noAlt->getRGB(colorOf({255, 255})), QXPDFRGB{});
    EXPECT_FALSE(noAlt->CGColorSpace());

    // N above 32 is reduced to 32; the ranges keep all 32 components.
    EXPECT_EQ(at(2)->getNComps(), 32);
    EXPECT_FALSE(at(2)->alt());

    const auto withRange = at(3);
    EXPECT_EQ(withRange->alt()->getMode(), QXPDFColorSpaceModeDeviceGray);
    EXPECT_DOUBLE_EQ(withRange->rangeMin()[0], 0.2);
    EXPECT_EQ(withRange->getDefaultColor(), colorOf({51}));
    EXPECT_EQ(at(4)->getDefaultColor(), colorOf({-127, 0}));

    // N below 1, and a dictionary in place of the stream.
    EXPECT_FALSE(at(5)->alt());
    EXPECT_EQ(at(5)->getNComps(), 0);
    EXPECT_FALSE(at(6)->alt());
}

TEST(ColorSpace, SeparationThroughItsTintTransform)
{
    const auto space = as<QXPDFSeparationColorSpace>(
        spaceOf("[/Separation /Magenta /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] "
                "/C1 [0 1 0 0] /N 1 >>]"));
    ASSERT_TRUE(space && space->func() && space->alt());
    EXPECT_EQ(space->name(), "Magenta");
    EXPECT_FALSE(space->nonMarking());
    EXPECT_EQ(space->getRGB(operand(1)), (QXPDFRGB{236, 0, 139}));
    EXPECT_EQ(space->getRGB(operand(0)), (QXPDFRGB{255, 255, 255}));
    EXPECT_EQ(space->getCMYK(operand(1)), (QXPDFCMYK{0, 255, 0, 0}));
    EXPECT_EQ(space->getGray(operand(0)), 255);
    EXPECT_EQ(space->CGColorSpace()->model(), cg::ColorModel::DeviceRGB);

    // A mapping sends the tint to its component.
    auto mapped = as<QXPDFSeparationColorSpace>(space->copy());
    mapped->setMapping({2});
    const QXPDFColor deviceN = mapped->getDeviceN(operand(0.5));
    EXPECT_EQ(deviceN.c[2], 127);
    EXPECT_EQ(deviceN.c[0], 0);

    // Missing pieces: returned, but black and without nested objects.
    const char* const bad[] = {
        "[/Separation /Spot /DeviceCMYK]",
        "[/Separation (Spot) /DeviceRGB /Identity]",
        "[/Separation /Spot /Nothing /Identity]",
        "[/Separation /Spot /DeviceRGB << /FunctionType 7 >>]",
        "[/Separation /Spot /DeviceRGB << /FunctionType 0 /Domain [0 1] /Range [0 1] >>]",
    };
    for (const char* syntax : bad) {
        const auto s = as<QXPDFSeparationColorSpace>(spaceOf(syntax));
        ASSERT_TRUE(s) << syntax;
        EXPECT_FALSE(s->func() || s->alt()) << syntax;
        EXPECT_EQ(s->getRGB(operand(1)), QXPDFRGB{}) << syntax;
    }
    EXPECT_TRUE(as<QXPDFSeparationColorSpace>(spaceOf("[/Separation /None /DeviceGray /Identity]"))->nonMarking());
}

TEST(ColorSpace, DeviceNThroughASampledTransform)
{
    // Two tints onto RGB: none white, the first red, the second blue, both black.
    ColorFixture f;
    const int fn = f.stream("/FunctionType 0 /Domain [0 1 0 1] /Range [0 1 0 1 0 1] /Size [2 2] /BitsPerSample 8",
                            test::hexBytes("FFFFFF" "FF0000" "0000FF" "000000"));
    const auto space = as<QXPDFDeviceNColorSpace>(
        spaceOf(f, "[/DeviceN [/Spot1 /Spot2] /DeviceRGB " + ColorFixture::ref(fn) + " << >>]"));
    ASSERT_TRUE(space && space->func());
    EXPECT_EQ(space->getNComps(), 2);
    EXPECT_EQ(space->getDefaultColor(), colorOf({0, 0}));
    EXPECT_EQ(space->getRGB(colorOf({0, 0})), (QXPDFRGB{255, 255, 255}));
    EXPECT_EQ(space->getRGB(colorOf({255, 0})), (QXPDFRGB{255, 0, 0}));
    EXPECT_EQ(space->getRGB(colorOf({0, 255})), (QXPDFRGB{0, 0, 255}));
    EXPECT_EQ(space->getRGB(colorOf({255, 255})), (QXPDFRGB{0, 0, 0}));

    const char* const bad[] = {
        "[/DeviceN [/A /B] /DeviceRGB /Identity << >> 6]", // 6 elements
        "[/DeviceN [/A /B] /DeviceRGB]",
        "[/DeviceN [] /DeviceRGB /Identity]",
        "[/DeviceN [/A 2] /DeviceRGB /Identity]",
        "[/DeviceN /A /DeviceRGB /Identity]",
    };
    for (const char* syntax : bad) {
        const auto s = as<QXPDFDeviceNColorSpace>(spaceOf(syntax));
        ASSERT_TRUE(s) << syntax;
        EXPECT_EQ(s->getNComps(), 0) << syntax;
        EXPECT_EQ(s->getRGB(colorOf({255, 255})), QXPDFRGB{}) << syntax;
    }
    std::string names33;
    for (int i = 0; i < 33; ++i)
        names33 += "/N" + std::to_string(i) + " ";
    EXPECT_EQ(spaceOf("[/DeviceN [" + names33 + "] /DeviceRGB /Identity]")->getNComps(), 0);
}

TEST(ColorSpace, Pattern)
{
    const auto under = as<QXPDFPatternColorSpace>(spaceOf("[/Pattern /DeviceRGB]"));
    ASSERT_TRUE(under && under->under());
    EXPECT_EQ(under->under()->getMode(), QXPDFColorSpaceModeDeviceRGB);
    EXPECT_EQ(under->under()->objectKey(), "QXPDFPatternColorSpace");
    EXPECT_EQ(under->CGColorSpace()->base()->model(), cg::ColorModel::DeviceRGB);
    EXPECT_FALSE(as<QXPDFPatternColorSpace>(spaceOf("[/Pattern]"))->under());
    EXPECT_FALSE(as<QXPDFPatternColorSpace>(spaceOf("/Pattern"))->under());
    EXPECT_FALSE(as<QXPDFPatternColorSpace>(spaceOf("[/Pattern /DeviceRGB /DeviceRGB]"))->under());
    EXPECT_FALSE(as<QXPDFPatternColorSpace>(spaceOf("[/Pattern /Nothing]"))->under());
}

TEST(ColorSpace, NestingIsBoundedAndCycleChecked)
{
    // An Indexed space that is its own base.
    {
        ColorFixture f;
        const int self = f.reserve();
        f.set(self, "[/Indexed " + ColorFixture::ref(self) + " 1 <FF000000FF00>]");
        const auto space = as<QXPDFIndexedColorSpace>(spaceOf(f, ColorFixture::ref(self)));
        ASSERT_TRUE(space);
        EXPECT_FALSE(space->base());
    }
    // An ICC profile whose alternate is the space itself.
    {
        ColorFixture f;
        const int array = f.reserve();
        const int stream = f.stream("/N 3 /Alternate " + ColorFixture::ref(array), "");
        f.set(array, "[/ICCBased " + ColorFixture::ref(stream) + "]");
        const auto space = as<QXPDFICCBasedColorSpace>(spaceOf(f, ColorFixture::ref(array)));
        ASSERT_TRUE(space && space->alt());
        // The cyclic alternate is refused; N 3 falls back to DeviceRGB.
        EXPECT_EQ(space->alt()->getMode(), QXPDFColorSpaceModeDeviceRGB);
    }
    // Patterns over patterns: the chain stops at the limit.
    std::string syntax = "/DeviceRGB";
    for (int i = 0; i < 40; ++i)
        syntax = "[/Pattern " + syntax + "]";
    const auto outer = as<QXPDFPatternColorSpace>(spaceOf(syntax));
    ASSERT_TRUE(outer);
    int depth = 1;
    for (auto p = outer; p && p->under(); p = as<QXPDFPatternColorSpace>(p->under()))
        ++depth;
    EXPECT_LE(depth, kQXPDFMaxColorSpaceDepth);
    EXPECT_GE(depth, kQXPDFMaxColorSpaceDepth - 1);
}

TEST(ColorSpace, CopiesAreDeep)
{
    const auto separation = as<QXPDFSeparationColorSpace>(spaceOf(
        "[/Separation /Spot [/Indexed /DeviceRGB 1 <FF000000FF00>] << /FunctionType 2 /Domain [0 1] /N 1 >>]"));
    ASSERT_TRUE(separation && separation->alt());
    separation->setMapping({-1, 3});
    const auto copy = as<QXPDFSeparationColorSpace>(separation->copy());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->alt(), separation->alt());
    EXPECT_NE(copy->func(), separation->func());
    EXPECT_EQ(copy->objectKey(), "key");
    EXPECT_EQ(copy->mapping(), (std::vector<long long>{-1, 3}));
    EXPECT_EQ(as<QXPDFIndexedColorSpace>(copy->alt())->lookup(),
              as<QXPDFIndexedColorSpace>(separation->alt())->lookup());
    // Tint 1 → index 1 → green, in the copy as in the original.
    EXPECT_EQ(copy->getRGB(operand(1)), (QXPDFRGB{0, 255, 0}));
    EXPECT_EQ(separation->getRGB(operand(1)), (QXPDFRGB{0, 255, 0}));
}
