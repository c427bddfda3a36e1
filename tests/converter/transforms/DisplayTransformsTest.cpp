// The page transform, the display-transform operations and the text-run
// record built from them.
#include "converter/QXPDF_CTMInfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace rz {
namespace {

void expectAffineNear(const Affine& a, const Affine& b)
{
    EXPECT_NEAR(a.a, b.a, 1e-9);
    EXPECT_NEAR(a.b, b.b, 1e-9);
    EXPECT_NEAR(a.c, b.c, 1e-9);
    EXPECT_NEAR(a.d, b.d, 1e-9);
    EXPECT_NEAR(a.tx, b.tx, 1e-9);
    EXPECT_NEAR(a.ty, b.ty, 1e-9);
}

// Upright 12-point text at (72, 700) on a 792-point page.
TEST(QXMakeCTMInfo, UprightTextOnAFlippedPage)
{
    QXDisplayTextState state;
    state.textMatrix = Affine::makeTranslation(72, 700);
    state.fontSize = 12;
    state.ascent = 0.9;
    state.descent = -0.3;
    const Affine page = QXExportPageTransform(0, 612, 792);
    const Affine t = QXCurrentDisplayTextTransform(state, page);
    const QXPDF_CTMInfo info = QXMakeCTMInfo(12, 0.9, -0.3, t);

    EXPECT_EQ(info.flip, 0);
    EXPECT_EQ(info.rotation, 0.0f);
    EXPECT_NEAR(info.yBase, 92, 1e-9);
    EXPECT_NEAR(info.yAscent, 83, 1e-9);
    EXPECT_NEAR(info.yTop, 83, 1e-9);
    EXPECT_NEAR(info.yDescent, 95, 1e-9);
    EXPECT_NEAR(info.yBottom, 95, 1e-9);
    EXPECT_NEAR(info.topLeft.x, 72, 1e-9);
    EXPECT_NEAR(info.topLeft.y, 83, 1e-9);
    EXPECT_NEAR(info.bottomLeft.y, 95, 1e-9);
    EXPECT_NEAR(info.xRight, 73, 1e-9);
    EXPECT_EQ(info.fontSize, (Size{12, 12}));
    EXPECT_NEAR(info.frame.size.width, 1, 1e-9);
    EXPECT_NEAR(info.frame.size.height, 12, 1e-9);
}

TEST(QXMakeCTMInfo, SmallFontsAndNormalisedMetrics)
{
    const Affine t{1, 0, 0, -1, 10, 100};
    EXPECT_EQ(QXMakeCTMInfo(3, 0.9, -0.3, t).fontSize, (Size{5, 5}));
    EXPECT_EQ(QXMakeCTMInfo(NAN, 0.9, -0.3, t).fontSize, (Size{5, 5}));

    // A difference of exactly 1 is used as given; 0.8/-0.2 needs no division.
    const QXPDF_CTMInfo unit = QXMakeCTMInfo(10, 1, 0, t);
    EXPECT_NEAR(unit.yAscent, 90, 1e-9);
    EXPECT_NEAR(unit.yDescent, 100, 1e-9);
    const QXPDF_CTMInfo a = QXMakeCTMInfo(10, 0.8, -0.2, t);
    const QXPDF_CTMInfo b = QXMakeCTMInfo(10, 1.6, -0.4, t);
    EXPECT_NEAR(a.yAscent, b.yAscent, 1e-9);
    EXPECT_NEAR(a.yDescent, b.yDescent, 1e-9);

    // Equal ascent and descent: no division by zero.
    const QXPDF_CTMInfo flat = QXMakeCTMInfo(10, 0, 0, t);
    EXPECT_TRUE(std::isfinite(flat.yAscent));
}

TEST(QXMakeCTMInfo, MirroredTextIsMarked)
{
    EXPECT_EQ(QXMakeCTMInfo(10, 0.9, -0.3, Affine{1, 0, 0, -1, 0, 0}).flip, 0);
    EXPECT_EQ(QXMakeCTMInfo(10, 0.9, -0.3, Affine{-1, 0, 0, -1, 0, 0}).flip, 1);
    EXPECT_EQ(QXMakeCTMInfo(10, 0.9, -0.3, Affine{1, 0, 0, 1, 0, 0}).flip, 1);
    // Turned, not mirrored.
    EXPECT_EQ(QXMakeCTMInfo(10, 0.9, -0.3, Affine{0, 1, 1, 0, 0, 0}).flip, 0);
    EXPECT_EQ(QXMakeCTMInfo(10, 0.9, -0.3, Affine{0, 0, 0, 0, 0, 0}).flip, 0);
}

TEST(QXTransformAngles, RoundAfterBringingIntoOneTurn)
{
    const double r = 359.6 * std::numbers::pi / 180;
    const Affine t{std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
    EXPECT_EQ(QXTransformRotationAngle(t), 360.0f);
    EXPECT_EQ(QXSegmentAngleDegrees(0, 0, std::cos(r), std::sin(r)), 360.0f);
    // -(c, d) points the opposite way of (c, d): 179.6 + 180 = 359.6.
    const double r2 = 179.6 * std::numbers::pi / 180;
    const Affine t2{1, 0, std::cos(r2), std::sin(r2), 0, 0};
    EXPECT_EQ(QXTransformTextAngle(t2), 360.0f);

    struct Case {
        double degrees;
        float expected;
    } cases[] = {{0, 0}, {4.4, 4}, {4.6, 5}, {90, 90}, {-90, 270}, {180, 180}, {-0.4, 360}, {-0.6, 359}, {0.4, 0}};
    for (const Case& c : cases) {
        const double rad = c.degrees * std::numbers::pi / 180;
        EXPECT_EQ(QXTransformRotationAngle(Affine{std::cos(rad), std::sin(rad), 0, 1, 0, 0}), c.expected)
            << c.degrees;
    }
    EXPECT_EQ(QXTransformTextAngle(Affine{1, 0, 0, -1, 0, 0}), 90.0f);
}

TEST(QXExportPageTransform, RotationsMapTheCornersOfThePage)
{
    const double w = 612, h = 792;
    struct Case {
        int rotation;
        Point in;
        Point out;
    } cases[] = {
        {0, {0, 0}, {0, h}},     {0, {10, 20}, {10, h - 20}},  {90, {10, 20}, {20, 10}},
        {180, {10, 20}, {w - 10, 20}}, {270, {10, 20}, {w - 20, h - 10}}, {45, {10, 20}, {10, h - 20}},
    };
    for (const Case& c : cases) {
        const Point p = apply(c.in, QXExportPageTransform(c.rotation, w, h));
        EXPECT_NEAR(p.x, c.out.x, 1e-9) << c.rotation;
        EXPECT_NEAR(p.y, c.out.y, 1e-9) << c.rotation;
    }
    EXPECT_EQ(QXExportPageTransform(-90, w, h), QXExportPageTransform(270, w, h));
    EXPECT_EQ(QXExportPageTransform(450, w, h), QXExportPageTransform(90, w, h));
    EXPECT_EQ(QXExportPageTransform(-720, w, h), QXExportPageTransform(0, w, h));
}

TEST(QXDisplayTransforms, NextPositionAndDisplayWidth)
{
    QXDisplayTextState state;
    state.textMatrix = Affine{2, 0, 0, 2, 100, 500}; // text scaled twice
    state.fontSize = 10;
    state.ascent = 0.75;
    state.descent = -0.25;
    const Affine page = QXExportPageTransform(0, 612, 792);

    const Affine next = QXNextDisplayTextTransform(state, page, Size{5, 0});
    EXPECT_NEAR(next.tx, 110, 1e-9);
    EXPECT_NEAR(next.ty, 292, 1e-9);

    const Size width = QXConvertToDisplaySpaceWidth(state, page, 5);
    EXPECT_NEAR(width.width, 10, 1e-9);
    EXPECT_NEAR(width.height, 20, 1e-9);

    // The text rise lifts the glyphs above the text position.
    state.textRise = 3;
    EXPECT_NEAR(QXCurrentDisplayTextTransform(state, page).ty, 286, 1e-9);
    EXPECT_NEAR(QXNextDisplayTextTransform(state, page, Size{5, 0}).ty, 286, 1e-9);
    EXPECT_NEAR(QXConvertToDisplaySpaceWidth(state, page, 5).width, 10, 1e-9);

    // No render state: everything collapses to the page transform's origin.
    const Affine none = QXCurrentDisplayTextTransform(QXDisplayTextState::none(), page);
    expectAffineNear(none, Affine{0, 0, 0, 0, 0, 792});
    EXPECT_EQ(QXConvertToDisplaySpaceWidth(QXDisplayTextState::none(), page, 5), (Size{0, 0}));
}

// The glyphs' turn and mirror come from the whole text rendering matrix:
// the signs of the font size and horizontal scaling count as much as the
// text matrix and the CTM. A negative size turns the glyphs by 180 degrees,
// a negative scaling mirrors them across their vertical axis.
TEST(QXDisplayTransforms, GlyphsAreJudgedOnTheWholeTextRenderingMatrix)
{
    const Affine upright = Affine::makeTranslation(72, 700);
    const Affine turned{-1, 0, 0, -1, 72, 700};
    const Affine flippedY{1, 0, 0, -1, 72, 700};
    const Affine flippedX{-1, 0, 0, 1, 72, 700};
    const Affine turnedPage{-1, 0, 0, -1, 612, 792};
    struct Case {
        const char* what;
        double fontSize;
        double horizontalScaling;
        Affine textMatrix;
        Affine ctm;
        float rotation;
        int flip;
        double ascentAbove; // display y of the baseline less that of the ascent point
        double advance;     // display x the pen moves by for half the font size
    };
    const Case cases[] = {
        {"upright", 12, 1, upright, Affine::identity(), 0, 0, 9, 6},
        {"negative size, turned text matrix", -12, 1, turned, Affine::identity(), 0, 0, 9, 6},
        {"negative size, turned CTM", -12, 1, upright, turnedPage, 0, 0, 9, 6},
        {"negative size alone: upside down", -12, 1, upright, Affine::identity(), 180, 0, -9, -6},
        {"turned text matrix: upside down", 12, 1, turned, Affine::identity(), 180, 0, -9, -6},
        {"negative size, text matrix flipped in y: mirrored", -12, 1, flippedY, Affine::identity(), 180, 1, 9, -6},
        {"text matrix flipped in x: mirrored", 12, 1, flippedX, Affine::identity(), 180, 1, 9, -6},
        {"negative scaling: mirrored", 12, -1, upright, Affine::identity(), 180, 1, 9, -6},
        {"negative scaling, text matrix flipped in x", 12, -1, flippedX, Affine::identity(), 0, 0, 9, 6},
        {"negative size and scaling: flipped in y", -12, -1, upright, Affine::identity(), 0, 1, -9, 6},
    };
    const Affine page = QXExportPageTransform(0, 612, 792);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QXDisplayTextState state;
        state.textMatrix = c.textMatrix;
        state.ctm = c.ctm;
        state.fontSize = c.fontSize;
        state.horizontalScaling = c.horizontalScaling;
        state.ascent = 0.9;
        state.descent = -0.3;
        EXPECT_EQ(state.glyphSize(), 12);
        const Affine t = QXCurrentDisplayTextTransform(state, page);
        const QXPDF_CTMInfo info = QXMakeCTMInfo(state.glyphSize(), state.ascent, state.descent, t);
        EXPECT_EQ(info.rotation, c.rotation);
        EXPECT_EQ(info.flip, c.flip);
        EXPECT_EQ(info.fontSize, (Size{12, 12}));
        EXPECT_NEAR(info.yBase - info.yAscent, c.ascentAbove, 1e-9);
        // The offset a character reports: its displacement times the signed size.
        const Affine next = QXNextDisplayTextTransform(state, page, Size{0.5 * c.fontSize, 0});
        EXPECT_NEAR(next.tx - t.tx, c.advance, 1e-9);
        EXPECT_NEAR(next.ty, t.ty, 1e-9);
        EXPECT_NEAR(QXConvertToDisplaySpaceWidth(state, page, 0.5 * c.fontSize).height, 12, 1e-9);
    }
}

TEST(QXCTMInfoMoves, MoveToXKeepsTheRightEdgeAndOffsetKeepsTheLeft)
{
    const QXPDF_CTMInfo info = QXMakeCTMInfo(12, 0.9, -0.3, Affine{1, 0, 0, -1, 72, 92});
    const QXPDF_CTMInfo same = QXCTMInfoMoveToX(info, info.frame.size.width);
    EXPECT_EQ(same.frame, info.frame);
    EXPECT_EQ(same.topLeft, info.topLeft);

    const QXPDF_CTMInfo wider = QXCTMInfoMoveToX(info, 11);
    EXPECT_NEAR(wider.frame.origin.x, 62, 1e-9);
    EXPECT_NEAR(wider.bottomLeft.x, 62, 1e-9);
    EXPECT_NEAR(wider.frame.maxX(), info.frame.maxX(), 1e-9);

    const QXPDF_CTMInfo offset = QXCTMInfoOffsetX(info, 9);
    EXPECT_NEAR(offset.frame.size.width, 10, 1e-9);
    EXPECT_NEAR(offset.xRight, 82, 1e-9);
    EXPECT_EQ(offset.topLeft, info.topLeft);
}

} // namespace
} // namespace rz
