// PDF functions read from objects: the factory, each kind's evaluation,
// the limits on what a file may ask for, and the drawing-side function.
#include "ColorFixture.h"

#include "pdfengine/color/QXPDFFunction.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace rz;
using test::ColorFixture;

namespace {

// The function written as `syntax` (streams and other objects go through `f`).
std::shared_ptr<QXPDFFunction> functionOf(ColorFixture& f, const std::string& syntax)
{
    return QXPDFFunction::FuntionWithObject(f.object(syntax));
}

std::shared_ptr<QXPDFFunction> functionOf(const std::string& syntax)
{
    ColorFixture f;
    return functionOf(f, syntax);
}

// Output j of the function at input x (further inputs 0).
double eval(const QXPDFFunction& fn, std::initializer_list<double> inputs, int j = 0)
{
    double in[kQXPDFMaxFunctionValues] = {};
    double out[kQXPDFMaxFunctionValues];
    int i = 0;
    for (double v : inputs)
        in[i++] = v;
    fn.transformInput(in, out);
    return out[j];
}

// A Sampled function over one stream of samples.
std::shared_ptr<QXPDFFunction> sampled(const std::string& entries, const std::string& data)
{
    ColorFixture f;
    const int s = f.stream("/FunctionType 0 " + entries, data);
    return functionOf(f, ColorFixture::ref(s));
}

} // namespace

TEST(Function, FactoryChoosesByTypeOrName)
{
    const struct {
        const char* syntax;
        long type; // −2: nothing
    } cases[] = {
        {"/Identity", -1},
        {"/Linear", -2},
        {"3", -2},
        {"[/Identity]", -2},
        {"<< /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>", -2},
        {"<< /FunctionType 2 /Domain [0 1] /N 1 >>", 2},
        {"<< /FunctionType 2.0 /Domain [0 1] /N 1 >>", 2},
        {"<< /FunctionType 2.9 /Domain [0 1] /N 1 >>", 2},
        {"<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1] >>", 4},
        {"<< /FunctionType 1 /Domain [0 1] >>", -2},
        {"<< /FunctionType /Two /Domain [0 1] >>", -2},
        // Parses that fail give nothing.
        {"<< /FunctionType 2 /N 1 >>", -2},
        {"<< /FunctionType 2 /Domain [0 1 0 1] /N 1 >>", -2},
        {"<< /FunctionType 0 /Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8 >>", -2},
    };
    for (const auto& c : cases) {
        const auto fn = functionOf(c.syntax);
        if (c.type == -2) {
            EXPECT_FALSE(fn) << c.syntax;
        } else {
            ASSERT_TRUE(fn) << c.syntax;
            EXPECT_EQ(fn->getType(), c.type) << c.syntax;
        }
    }
}

TEST(Function, DomainAndRangeCounts)
{
    std::string pairs64, pairs66;
    for (int i = 0; i < 32; ++i)
        pairs64 += "0 1 ";
    pairs66 = pairs64 + "0 1";
    const auto wide = functionOf("<< /FunctionType 4 /Domain [" + pairs64 + "] /Range [" + pairs64 + "] >>");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->m_input(), 32);
    EXPECT_EQ(wide->n_output(), 32);
    EXPECT_TRUE(wide->hasRange());
    EXPECT_FALSE(functionOf("<< /FunctionType 4 /Domain [" + pairs66 + "] >>"));
    EXPECT_FALSE(functionOf("<< /FunctionType 4 /Domain [0 1] /Range [" + pairs66 + "] >>"));
    EXPECT_FALSE(functionOf("<< /FunctionType 4 /Domain [0 /x] >>"));

    // The PostScript kind is read but gives zeros.
    EXPECT_EQ(eval(*wide, {0.5, 0.5}, 0), 0.0);
    EXPECT_EQ(eval(*wide, {0.5, 0.5}, 31), 0.0);
}

TEST(Function, Exponential)
{
    const auto linear = functionOf("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>");
    const auto square = functionOf("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 2 >>");
    ASSERT_TRUE(linear && square);
    EXPECT_TRUE(static_cast<QXPDFExponentialFunction&>(*linear).isLinear());
    EXPECT_DOUBLE_EQ(eval(*linear, {0.25}), 0.25);
    EXPECT_DOUBLE_EQ(eval(*square, {0.25}), 0.0625);
    // Inputs are clipped to the domain first.
    EXPECT_DOUBLE_EQ(eval(*square, {-3}), 0.0);
    EXPECT_DOUBLE_EQ(eval(*square, {7}), 1.0);
    EXPECT_DOUBLE_EQ(eval(*square, {std::nan("")}), 0.0);

    const auto rgb = functionOf("<< /FunctionType 2 /Domain [0 1] /Range [0 1 0 1 0 0.5] "
                                "/C0 [1 0 0] /C1 [0 0 1] /N 1 >>");
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->n_output(), 3);
    EXPECT_DOUBLE_EQ(eval(*rgb, {0.75}, 0), 0.25);
    EXPECT_DOUBLE_EQ(eval(*rgb, {0.75}, 2), 0.5); // clipped to the range

    // Defaults C0 [0], C1 [1]; mismatched or oversized arrays fail.
    EXPECT_DOUBLE_EQ(eval(*functionOf("<< /FunctionType 2 /Domain [0 1] /N 1 >>"), {0.5}), 0.5);
    EXPECT_FALSE(functionOf("<< /FunctionType 2 /Domain [0 1] /C0 [0 0] /C1 [1] /N 1 >>"));
    EXPECT_FALSE(functionOf("<< /FunctionType 2 /Domain [0 1] /Range [0 1] /C0 [0 0] /C1 [1 1] /N 1 >>"));
    std::string many;
    for (int i = 0; i < 33; ++i)
        many += "0 ";
    EXPECT_FALSE(functionOf("<< /FunctionType 2 /Domain [0 1] /C0 [" + many + "] /C1 [" + many + "] /N 1 >>"));
}

TEST(Function, Stitching)
{
    const std::string half = "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>";
    const std::string flat = "<< /FunctionType 2 /Domain [0 1] /C0 [5] /C1 [5] /N 1 >>";
    const auto two = functionOf("<< /FunctionType 3 /Domain [0 1] /Functions [" + half + " " + flat +
                                "] /Bounds [0.5] /Encode [0 1 0 1] >>");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->n_output(), 1);
    EXPECT_DOUBLE_EQ(eval(*two, {0.25}), 0.5);
    // 0.5 is not below bounds[1]: the second function.
    EXPECT_DOUBLE_EQ(eval(*two, {0.5}), 5.0);
    EXPECT_DOUBLE_EQ(eval(*two, {2}), 5.0);

    // Equal neighbouring bounds: scale 0, the sub-function sees encode[2i].
    const auto pinched = functionOf("<< /FunctionType 3 /Domain [0 1] /Functions [" + half + " " + half +
                                    "] /Bounds [0] /Encode [0.3 1 0 1] >>");
    ASSERT_TRUE(pinched);
    EXPECT_EQ(static_cast<QXPDFStitchingFunction&>(*pinched).scale()[0], 0.0);

    // Functions that cannot be stitched.
    const std::string bad[] = {
        "<< /FunctionType 3 /Domain [0 1] /Functions [] /Bounds [] /Encode [] >>",
        "<< /FunctionType 3 /Domain [0 1] /Functions [" + half + " << /FunctionType 9 >>] /Bounds [0.5] "
        "/Encode [0 1 0 1] >>",
        "<< /FunctionType 3 /Domain [0 1] /Functions [" + half +
            " << /FunctionType 2 /Domain [0 1] /C0 [0 0] /C1 [1 1] /N 1 >>] /Bounds [0.5] /Encode [0 1 0 1] >>",
        "<< /FunctionType 3 /Domain [0 1] /Functions [" + half + " " + half + "] /Bounds [] /Encode [0 1 0 1] >>",
        "<< /FunctionType 3 /Domain [0 1] /Functions [" + half + " " + half + "] /Bounds [0.5] /Encode [0 1] >>",
        "<< /FunctionType 3 /Domain [0 1] /Functions [/Identity] /Bounds [] /Encode [0 1] >>",
    };
    for (const auto& syntax : bad)
        EXPECT_FALSE(functionOf(syntax)) << syntax;
}

TEST(Function, NestingIsBoundedAndCycleChecked)
{
    // A Stitching function that lists itself.
    {
        ColorFixture f;
        const int self = f.reserve();
        f.set(self, "<< /FunctionType 3 /Domain [0 1] /Functions [" + ColorFixture::ref(self) +
                        "] /Bounds [] /Encode [0 1] >>");
        EXPECT_FALSE(functionOf(f, ColorFixture::ref(self)));
    }
    // A chain of stitched functions: fine up to the limit, refused beyond.
    const auto chain = [](int depth) {
        std::string syntax = "<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>";
        for (int i = 1; i < depth; ++i)
            syntax = "<< /FunctionType 3 /Domain [0 1] /Functions [" + syntax + "] /Bounds [] /Encode [0 1] >>";
        return functionOf(syntax);
    };
    const auto deepest = chain(kQXPDFMaxFunctionDepth);
    ASSERT_TRUE(deepest);
    EXPECT_DOUBLE_EQ(eval(*deepest, {0.75}), 0.75);
    EXPECT_FALSE(chain(kQXPDFMaxFunctionDepth + 1));
    EXPECT_FALSE(chain(100));

    // Seven levels that each stitch 20 references to the level below:
    // every indirect function is read once, not 20^7 times.
    ColorFixture f;
    int below = f.add("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>");
    for (int level = 0; level < 7; ++level) {
        std::string functions, bounds, encode;
        for (int i = 0; i < 20; ++i) {
            functions += ColorFixture::ref(below) + " ";
            encode += "0 1 ";
            if (i > 0)
                bounds += "0." + std::to_string(10 + 4 * i) + " ";
        }
        below = f.add("<< /FunctionType 3 /Domain [0 1] /Functions [" + functions + "] /Bounds [" + bounds +
                      "] /Encode [" + encode + "] >>");
    }
    const auto wide = functionOf(f, ColorFixture::ref(below));
    ASSERT_TRUE(wide);
    EXPECT_EQ(static_cast<QXPDFStitchingFunction&>(*wide).numFuncs(), 20);
    EXPECT_EQ(static_cast<QXPDFStitchingFunction&>(*wide).funcs()[0],
              static_cast<QXPDFStitchingFunction&>(*wide).funcs()[19]);
    eval(*wide, {0.7});
}

TEST(Function, SampledInterpolates)
{
    const auto fn = sampled("/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8", std::string("\x00\xff", 2));
    ASSERT_TRUE(fn);
    EXPECT_DOUBLE_EQ(eval(*fn, {0.5}), 0.5);
    EXPECT_DOUBLE_EQ(eval(*fn, {0}), 0.0);
    EXPECT_DOUBLE_EQ(eval(*fn, {1}), 1.0);
    EXPECT_DOUBLE_EQ(eval(*fn, {-1}), 0.0);
    EXPECT_DOUBLE_EQ(eval(*fn, {std::nan("")}), 0.0);

    // Two inputs, three outputs: white, red, blue, black at the corners
    // (input 0 varies fastest); Decode maps the outputs.
    const std::string corners = test::hexBytes("FFFFFF" "FF0000" "0000FF" "000000");
    const auto rgb = sampled("/Domain [0 1 0 1] /Range [0 1 0 1 0 1] /Size [2 2] /BitsPerSample 8", corners);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->m_input(), 2);
    EXPECT_DOUBLE_EQ(eval(*rgb, {1, 0}, 0), 1.0);
    EXPECT_DOUBLE_EQ(eval(*rgb, {1, 0}, 1), 0.0);
    EXPECT_DOUBLE_EQ(eval(*rgb, {0, 1}, 2), 1.0);
    EXPECT_DOUBLE_EQ(eval(*rgb, {0.5, 0.5}, 0), 0.5);
    EXPECT_DOUBLE_EQ(eval(*rgb, {0.5, 0.5}, 2), 0.5);
    const auto decoded = sampled("/Domain [0 1] /Range [0 10] /Decode [2 4] /Size [2] /BitsPerSample 8",
                                 std::string("\x00\xff", 2));
    ASSERT_TRUE(decoded);
    EXPECT_DOUBLE_EQ(eval(*decoded, {0.5}), 3.0);
}

TEST(Function, SampledInManyDimensions)
{
    // Three inputs over a linear table, 36·(i0 + 2·i1 + 4·i2): trilinear
    // interpolation reproduces it between the corners.
    std::string table;
    for (int k = 0; k < 8; ++k)
        table.push_back(static_cast<char>(36 * k));
    const auto three = sampled("/Domain [0 1 0 1 0 1] /Range [0 1] /Size [2 2 2] /BitsPerSample 8", table);
    ASSERT_TRUE(three);
    EXPECT_NEAR(eval(*three, {0.5, 0.25, 1}), 36 * (0.5 + 0.5 + 4) / 255, 1e-12);
    EXPECT_NEAR(eval(*three, {1, 1, 0}), 36 * 3 / 255.0, 1e-12);

    // Sixteen inputs (the most allowed), 1-bit samples equal to input 0's
    // grid index: the output follows input 0 whatever the others are.
    const auto sixteen = sampled("/Domain [" + [] {
        std::string d;
        for (int i = 0; i < 16; ++i)
            d += "0 1 ";
        return d;
    }() + "] /Range [0 1] /Size [2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2] /BitsPerSample 1",
                                 std::string(65536 / 8, '\x55'));
    ASSERT_TRUE(sixteen);
    double in[kQXPDFMaxFunctionValues], out[kQXPDFMaxFunctionValues];
    std::fill(in, in + kQXPDFMaxFunctionValues, 0.5);
    in[0] = 0.3;
    sixteen->transformInput(in, out);
    EXPECT_NEAR(out[0], 0.3, 1e-12);
    EXPECT_FALSE(sampled("/Domain [0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1 0 1] /Range [0 1] "
                         "/Size [1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1] /BitsPerSample 8",
                         "x"));
}

TEST(Function, SampledBitWidths)
{
    // 12-bit samples 0x000, 0xFFF, 0x800 packed without padding.
    const auto twelve = sampled("/Domain [0 2] /Range [0 1] /Size [3] /BitsPerSample 12", test::hexBytes("000FFF8000"));
    ASSERT_TRUE(twelve);
    const auto& samples = static_cast<QXPDFSampledFunction&>(*twelve);
    ASSERT_EQ(samples.nSamples(), 3);
    EXPECT_DOUBLE_EQ(samples.sample(0), 0.0);
    EXPECT_DOUBLE_EQ(samples.sample(1), 1.0);
    EXPECT_DOUBLE_EQ(samples.sample(2), 2048.0 / 4095.0);
    EXPECT_DOUBLE_EQ(eval(*twelve, {1}), 1.0);

    const struct {
        int bits;
        std::string data;
        std::vector<double> expected;
    } cases[] = {
        {1, test::hexBytes("A0"), {1, 0, 1}},
        {2, test::hexBytes("6C"), {1.0 / 3, 2.0 / 3, 1}},
        {3, test::hexBytes("FA80"), {1, 6.0 / 7, 5.0 / 7}},
        {16, test::hexBytes("0000FFFF8000"), {0, 1, 32768.0 / 65535}},
        {24, test::hexBytes("000000FFFFFF000001"), {0, 1, 1.0 / 16777215}},
        {32, test::hexBytes("00000000FFFFFFFF00000001"), {0, 1, 1.0 / 4294967295.0}},
    };
    for (const auto& c : cases) {
        const auto fn = sampled("/Domain [0 1] /Range [0 1] /Size [3] /BitsPerSample " + std::to_string(c.bits),
                                c.data);
        ASSERT_TRUE(fn) << c.bits;
        const auto& s = static_cast<QXPDFSampledFunction&>(*fn);
        ASSERT_EQ(s.nSamples(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_DOUBLE_EQ(s.sample(i), c.expected[i]) << c.bits << " bits, sample " << i;
    }
}

TEST(Function, SampledRefusesWhatTheFileCannotBackUp)
{
    const std::string two("\x00\xff", 2);
    const struct {
        std::string entries;
        std::string data;
    } cases[] = {
        {"/Domain [0 1] /Size [2] /BitsPerSample 8", two},                    // no Range
        {"/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8", "\x01"},    // short data
        {"/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 12", two},      // 24 bits needed
        {"/Domain [0 1] /Range [0 1] /Size [0] /BitsPerSample 8", two},       // Size < 1
        {"/Domain [0 1] /Range [0 1] /Size [-4] /BitsPerSample 8", two},
        {"/Domain [0 1] /Range [0 1] /Size [2 2] /BitsPerSample 8", two},     // Size of 2 for 1 input
        {"/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 0", two},       // odd widths
        {"/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 33", two},
        {"/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8.0", two},
        {"/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8 /Encode [0 /x]", two},
        {"/Domain [0 1] /Range [0 1] /Size [1073741824] /BitsPerSample 8", two}, // huge tables
        {"/Domain [0 1 0 1 0 1] /Range [0 1] /Size [65536 65536 65536] /BitsPerSample 1", two},
        {"/Domain [0 1] /Range [] /Size [2] /BitsPerSample 8", two},          // no outputs
        {"/Domain [] /Range [0 1] /Size [] /BitsPerSample 8", two},           // no inputs
    };
    for (const auto& c : cases)
        EXPECT_FALSE(sampled(c.entries, c.data)) << c.entries;
    // Not a stream.
    EXPECT_FALSE(functionOf("<< /FunctionType 0 /Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8 >>"));

    // A function whose parse failed gives zeros if evaluated anyway.
    QXPDFSampledFunction unparsed;
    EXPECT_EQ(eval(unparsed, {0.5}), 0.0);
}

TEST(Function, DrawingSideFunction)
{
    std::shared_ptr<QXPDFFunction> fn =
        functionOf("<< /FunctionType 2 /Domain [0 2] /Range [0 1 0 1] /C0 [0 1] /C1 [2 1] /N 1 >>");
    ASSERT_TRUE(fn);
    const CGFunctionRef cgf = fn->CGFunction();
    EXPECT_EQ(cgf->domainDimension(), 1u);
    EXPECT_EQ(cgf->rangeDimension(), 2u);
    EXPECT_EQ(cgf->domain(), (std::vector<double>{0, 2}));
    EXPECT_EQ(cgf->range(), (std::vector<double>{0, 1, 0, 1}));
    // The drawing-side function keeps the engine's function alive.
    fn.reset();
    double in = 0.25, out[kQXPDFMaxFunctionValues];
    cgf->evaluate(&in, out);
    EXPECT_DOUBLE_EQ(out[0], 0.5);
    in = 5;
    cgf->evaluate(&in, out);
    EXPECT_DOUBLE_EQ(out[0], 1.0);

    // Without Range the outputs are those the function has, unclipped.
    const auto noRange = functionOf("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [4] /N 1 >>");
    const CGFunctionRef cgNoRange = noRange->CGFunction();
    EXPECT_FALSE(cgNoRange->hasRange());
    EXPECT_EQ(cgNoRange->rangeDimension(), 1u);
    in = 1;
    cgNoRange->evaluate(&in, out);
    EXPECT_DOUBLE_EQ(out[0], 4.0);
}

TEST(Function, CopiesAreIndependent)
{
    const auto fn = sampled("/Domain [0 1] /Range [0 1] /Size [2] /BitsPerSample 8", std::string("\x00\xff", 2));
    ASSERT_TRUE(fn);
    const auto copy = fn->copy();
    EXPECT_EQ(copy->getType(), 0);
    const auto& a = static_cast<QXPDFSampledFunction&>(*copy);
    const auto& b = static_cast<QXPDFSampledFunction&>(*fn);
    ASSERT_EQ(a.nSamples(), b.nSamples());
    for (long long i = 0; i < a.nSamples(); ++i)
        EXPECT_EQ(a.sample(size_t(i)), b.sample(size_t(i)));
    EXPECT_DOUBLE_EQ(eval(*copy, {0.25}), 0.25);
}
