// The property records' comparisons, enumeration values and fallbacks,
// dash styles, highlight names, colour conversion and text fields.
#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/QXDocxUtilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace rz;

namespace {

QXDocx_RPr runInFont(const char* name, float size)
{
    QXDocx_RPr run = QXDocxUtilities::defaultRProperty();
    QXDocxSetText(run.rFonts.ascii, name);
    run.sz = size;
    return run;
}

} // namespace

TEST(QXDocxRecordsTest, ColoursAreNearlyEqualWithinTwoPerComponent)
{
    struct Case {
        QXDocx_Color a, b;
        bool nearly;
    };
    const Case cases[] = {
        {{10, 20, 30, 255}, {12, 18, 32, 253}, true},
        {{10, 20, 30, 255}, {13, 20, 30, 255}, false},
        {{10, 20, 30, 255}, {10, 20, 30, 252}, false},
        {{0, 0, 0, 0}, {0, 0, 0, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXColorIsNearlyEqual(c.a, c.b), c.nearly) << c.a.red << " vs " << c.b.red;
        EXPECT_EQ(QXColorIsNearlyEqual(c.b, c.a), c.nearly);
    }
    // Extreme components do not overflow the difference.
    EXPECT_FALSE(QXColorIsNearlyEqual({std::numeric_limits<std::int32_t>::min(), 0, 0, 0},
                                      {std::numeric_limits<std::int32_t>::max(), 0, 0, 0}));
}

TEST(QXDocxRecordsTest, RunComparisons)
{
    const QXDocx_RPr base = runInFont("Helvetica", 12);
    EXPECT_TRUE(QXRPropertyIsSameFont(base, runInFont("Helvetica", 12.9f)));
    EXPECT_TRUE(QXRPropertyIsSameFont(base, runInFont("Helvetica", 11)));
    EXPECT_FALSE(QXRPropertyIsSameFont(base, runInFont("Helvetica", 13.5f)));
    EXPECT_FALSE(QXRPropertyIsSameFont(base, runInFont("Helvetica-Bold", 12)));

    EXPECT_TRUE(QXRPropertyIsEqual(base, runInFont("Helvetica", 12.9f)));
    QXDocx_RPr other = base;
    other.color.red = 1;  // colours compare exactly here
    EXPECT_FALSE(QXRPropertyIsEqual(base, other));
    other = base;
    other.backgroundcolor.alpha = 254;
    EXPECT_FALSE(QXRPropertyIsEqual(base, other));
    for (auto change : {+[](QXDocx_RPr& r) { r.b = true; }, +[](QXDocx_RPr& r) { r.i = true; },
                        +[](QXDocx_RPr& r) { r.u = 1; }, +[](QXDocx_RPr& r) { r.strikethrough = 1; },
                        +[](QXDocx_RPr& r) { r.scrpit = 2; }, +[](QXDocx_RPr& r) { r.background = true; }}) {
        other = base;
        change(other);
        EXPECT_FALSE(QXRPropertyIsEqual(base, other));
    }
    // Fields outside the comparison do not count.
    other = base;
    other.spacing = 3;
    other.w = 80;
    other.noProof = false;
    EXPECT_TRUE(QXRPropertyIsEqual(base, other));
    EXPECT_FALSE(QXRPropertyIsSameFontAndScale(base, other));

    QXDocx_PPr paragraph = QXDocxUtilities::defaultPProperty();
    QXDocx_PPr changed = paragraph;
    changed.ind.right = 30;  // not compared
    EXPECT_TRUE(QXPPropertyIsEqual(paragraph, changed));
    QXDocxSetText(changed.spacing.lineRule, "auto");
    EXPECT_FALSE(QXPPropertyIsEqual(paragraph, changed));
}

TEST(QXDocxRecordsTest, BorderAndShadingComparisons)
{
    const QXDocx_Border single = QXDocxUtilities::defaultBorder_SingleLine();
    QXDocx_Border other = single;
    other.color = {2, 2, 2, 253};
    EXPECT_TRUE(QXBorderIsEqual(single, other));
    other.sz = 1.01f;
    EXPECT_FALSE(QXBorderIsEqual(single, other));

    QXDocx_Borders table = QXDocxUtilities::defaultTableBorders();
    QXDocx_Borders cell = QXDocxUtilities::defaultCellBorders();  // inside borders differ
    EXPECT_TRUE(QXBordersFirstFourAreEqual(table, cell));
    cell.right.val = QXDocxBorderDouble;
    EXPECT_FALSE(QXBordersFirstFourAreEqual(table, cell));

    QXDocx_Shading shading = QXDocxUtilities::defaultShading();
    QXDocx_Shading near = shading;
    near.fill = {2, 0, 0, 255};
    EXPECT_TRUE(QXShadingIsEqual(shading, near));
    near.val = QXDocxShadingSolid;
    EXPECT_FALSE(QXShadingIsEqual(shading, near));

    EXPECT_TRUE(QXRectIsEqualWithTolerance(Rect(0, 0, 10, 10), Rect(1, -1, 11, 9), 1));
    EXPECT_FALSE(QXRectIsEqualWithTolerance(Rect(0, 0, 10, 10), Rect(0, 0, 10, 11.5), 1));
}

TEST(QXDocxRecordsTest, EnumerationValuesAndFallbacks)
{
    EXPECT_EQ(QXBorderStyleString(2), "single");
    EXPECT_EQ(QXBorderStyleString(26), "thinThickThinSmallGap");
    EXPECT_EQ(QXBorderStyleString(30), "none");
    EXPECT_EQ(QXBorderStyleString(-1), "none");
    EXPECT_EQ(QXShadingPatternString(10), "solid");
    EXPECT_EQ(QXShadingPatternString(11), "start");
    EXPECT_EQ(QXJustificationString(4), "distribute");
    EXPECT_EQ(QXJustificationString(5), std::nullopt);
    EXPECT_EQ(QXJustificationString(-1), std::nullopt);
    EXPECT_EQ(QXHorizontalAlignmentString(2), "center");
    EXPECT_EQ(QXHorizontalAlignmentString(3), "left");
    EXPECT_EQ(QXVerticalAlignmentString(2), "bottom");
    EXPECT_EQ(QXVerticalAlignmentString(9), "top");
    EXPECT_EQ(QXWidthTypeString(3), "pct");
    EXPECT_EQ(QXWidthTypeString(4), "auto");
    EXPECT_EQ(QXVerticalMergeString(2), "restart");
    EXPECT_EQ(QXVerticalMergeString(4), "continue");
    EXPECT_EQ(QXHeightRuleString(1), "atLeast");
    EXPECT_EQ(QXHeightRuleString(3), "auto");
    EXPECT_EQ(QXTableLayoutString(1), "autofit");
    EXPECT_EQ(QXTableLayoutString(2), "fixed");
    EXPECT_EQ(QXAnchorString(3), "text");
    EXPECT_EQ(QXAnchorString(4), "none");
    EXPECT_EQ(QXDashStyleString(11), "custom");
    EXPECT_EQ(QXDashStyleString(12), std::nullopt);
    EXPECT_EQ(QXBoolString(7), "true");
    EXPECT_EQ(QXBoolString(0), "false");

    EXPECT_EQ(QXDocxUtilities::_sectTypeValue(5), "oddPage");
    EXPECT_EQ(QXDocxUtilities::_sectTypeValue(0), "auto");
    EXPECT_EQ(QXDocxUtilities::_sectTypeValue(6), "auto");
    EXPECT_EQ(QXDocxUtilities::_scriptValue(1), "superscript");
    EXPECT_EQ(QXDocxUtilities::_scriptValue(3), "normal");
    for (const auto& [code, value] : std::vector<std::pair<int, const char*>>{
             {0, "normal"}, {1, "single"}, {2, "double"}, {3, "normal"}, {4, "dotted"}, {5, "normal"},
             {6, "dash"}, {7, "normal"}})
        EXPECT_EQ(QXDocxUtilities::_underlineValue(code), value) << code;
    EXPECT_EQ(QXDocxUtilities::_boolValue(1), "on");
    EXPECT_EQ(QXDocxUtilities::_boolValue(0), "off");
}

TEST(QXDocxRecordsTest, BorderLinesAndDisplaySize)
{
    for (const auto& [style, lines] : std::vector<std::pair<int, int>>{
             {0, 0}, {1, 0}, {2, 1}, {14, 1}, {15, 2}, {22, 2}, {23, 3}, {26, 3}})
        EXPECT_EQ(QXBorderLineCount(style), lines) << style;
    EXPECT_TRUE(QXBorderIsThickThinStyle(17));
    EXPECT_FALSE(QXBorderIsThickThinStyle(23));
    EXPECT_TRUE(QXBorderIsThinThickThinStyle(24));
    EXPECT_FALSE(QXBorderIsThinThickThinStyle(22));

    QXDocx_Border border{QXDocxBorderDouble, 0.6f};
    EXPECT_DOUBLE_EQ(QXBorderDisplaySize(border), 1.0);  // 0.5 twice
    border.val = QXDocxBorderTriple;
    EXPECT_DOUBLE_EQ(QXBorderDisplaySize(border), 1.5);
    border.val = QXDocxBorderNil;
    EXPECT_DOUBLE_EQ(QXBorderDisplaySize(border), 0.0);
}

TEST(QXDocxRecordsTest, DashStylesOfDashArrays)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> dashes;
        double width;
        std::optional<std::string_view> style;
    };
    const Case cases[] = {
        {{3}, 1, "dash"},
        {{9, 3}, 1, "longDash"},
        {{9, 1.5}, 1, "longDashDot"},
        {{9, 1.5, 0.5}, 1, "longDashDotDot"},
        {{4, 0.5}, 1, "dashDot"},
        {{4, 0.5, 1}, 1, "longDashDotDot"},
        {{2.5}, 1, "shortDash"},
        {{2.5, 1}, 1, "shortDashDot"},
        {{2.5, 1, 1}, 1, "shortDashDotDot"},
        {{0.5, 1.5}, 1, "dot"},
        {{0.5}, 1, "shortDot"},
        {{6, 1}, 2, "dashDot"},  // scaled by the line width
        {{}, 1, std::nullopt},
        {{nan}, 1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXDashStyleStringForDashArray(c.dashes, c.width), c.style) << c.dashes.size();
}

TEST(QXDocxRecordsTest, HighlightNames)
{
    EXPECT_EQ(QXDocxUtilities::NameFromColorValue({210, 212, 211, 255}), "lightGray");
    EXPECT_EQ(QXDocxUtilities::NameFromColorValue({139, 139, 0, 128}), std::nullopt);
    EXPECT_EQ(QXDocxUtilities::NameFromColorValue({255, 255, 0, 255}), "yellow");
    EXPECT_EQ(QXDocxUtilities::NameFromColorValue({1, 1, 2, 253}), "black");
    EXPECT_EQ(QXDocxUtilities::NameFromColorValue({0, 100, 0, 255}), "darkGreen");
    EXPECT_EQ(QXDocxUtilities::NameFromColorValue({250, 240, 230, 255}), std::nullopt);
}

TEST(QXDocxRecordsTest, ColoursFromPlatformColours)
{
    const auto same = [](QXDocx_Color a, QXDocx_Color b) { return a == b; };
    EXPECT_PRED2(same, QXDocxUtilities::QXDocxColorFromCGColor(Color::rgb(1, 0.5, 0.2, 0.3)),
                 (QXDocx_Color{255, 128, 51, 255}));
    EXPECT_PRED2(same, QXDocxUtilities::QXDocxColorFromCGColor(Color::gray(0.25)), (QXDocx_Color{64, 64, 64, 255}));
    EXPECT_PRED2(same, QXDocxUtilities::QXDocxColorFromCGColor(Color::cmyk(0, 1, 0, 0)),
                 (QXDocx_Color{0, 0, 0, 255}));
    EXPECT_PRED2(same, QXDocxUtilities::QXDocxColorFromCGColor(std::nullopt), (QXDocx_Color{0, 0, 0, 255}));
    // Out-of-range and missing components stay within 0..255.
    EXPECT_PRED2(same,
                 QXDocxUtilities::QXDocxColorFromCGColor(
                     Color{Color::Model::RGB, {2.0, -1.0, std::numeric_limits<double>::quiet_NaN()}, 1}),
                 (QXDocx_Color{255, 0, 0, 255}));
    EXPECT_PRED2(same, QXDocxUtilities::QXDocxColorFromCGColor(Color{Color::Model::RGB, {}, 1}),
                 (QXDocx_Color{0, 0, 0, 255}));

    EXPECT_EQ(QXDocxColorHexString({250, 240, 230, 255}), "FAF0E6");
    EXPECT_EQ(QXDocxColorHexString({300, -5, 10, 0}), "FF000A");
}

TEST(QXDocxRecordsTest, TextFieldsStayWithinTheirArrays)
{
    char field[8];
    std::memset(field, 'x', sizeof field);
    QXDocxSetText(field, "abc");
    EXPECT_EQ(QXDocxText(field), "abc");
    EXPECT_EQ(field[7], '\0');

    // Cut to seven bytes without splitting "é" (two bytes at 6..7).
    QXDocxSetText(field, "abcdef\xC3\xA9gh");
    EXPECT_EQ(QXDocxText(field), "abcdef");
    QXDocxSetText(field, "abcde\xC3\xA9gh");
    EXPECT_EQ(QXDocxText(field), "abcde\xC3\xA9");
    // A four-byte character that does not fit is left out whole.
    QXDocxSetText(field, "abcd\xF0\x9F\x98\x80");
    EXPECT_EQ(QXDocxText(field), "abcd");

    // A field without a terminator is read to its end, never beyond.
    std::memset(field, 'y', sizeof field);
    EXPECT_EQ(QXDocxText(field), "yyyyyyyy");

    QXDocx_RPr run = QXDocxUtilities::defaultRProperty();
    const std::string longName(300, 'F');
    QXDocxSetText(run.rFonts.ascii, longName);
    EXPECT_EQ(QXDocxText(run.rFonts.ascii), std::string(127, 'F'));
}

TEST(QXDocxRecordsTest, NamesAndResources)
{
    EXPECT_EQ(QXDocxUtilities::LocalFontName("SimHei"), "黑体");
    EXPECT_EQ(QXDocxUtilities::LocalFontName("MicrosoftYaHei"), "微软雅黑");
    EXPECT_EQ(QXDocxUtilities::LocalFontName("Helvetica"), "Helvetica");
    EXPECT_EQ(QXDocxUtilities::PathInLibBundleForResource("No Such Folder/none.xml"), std::nullopt);
}
