#include "converter/ooxml/QXDocxRecords.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace rz {

namespace {

// The value of `code` in a list indexed from 0, or nothing outside it.
template <std::size_t N>
std::optional<std::string_view> indexed(const std::array<std::string_view, N>& values, std::int32_t code)
{
    if (code < 0 || static_cast<std::size_t>(code) >= N)
        return std::nullopt;
    return values[static_cast<std::size_t>(code)];
}

constexpr std::array<std::string_view, 5> kJustifications = {"left", "right", "center", "both", "distribute"};
constexpr std::array<std::string_view, 3> kHorizontalAlignments = {"left", "right", "center"};
constexpr std::array<std::string_view, 3> kVerticalAlignments = {"top", "center", "bottom"};
constexpr std::array<std::string_view, 4> kWidthTypes = {"nil", "auto", "dxa", "pct"};
constexpr std::array<std::string_view, 4> kVerticalMerges = {"nil", "continue", "restart", "end"};
constexpr std::array<std::string_view, 3> kHeightRules = {"auto", "atLeast", "exact"};
constexpr std::array<std::string_view, 2> kTableLayouts = {"fixed", "autofit"};
constexpr std::array<std::string_view, 4> kAnchors = {"none", "margin", "page", "text"};
constexpr std::array<std::string_view, 11> kShadingPatterns = {
    "nil",        "clear",      "pct10",      "pct12",         "pct15", "diagCross",
    "diagStripe", "horzCross",  "horzStripe", "thinDiagCross", "solid"};
constexpr std::array<std::string_view, 6> kSectionTypes = {"",        "continuous", "evenPage",
                                                           "nextColumn", "nextPage", "oddPage"};
constexpr std::array<std::string_view, 3> kVerticalTextAlignments = {"none", "superscript", "subscript"};
constexpr std::array<std::string_view, 7> kUnderlines = {"", "single", "double", "", "dotted", "", "dash"};
constexpr std::array<std::string_view, 27> kBorderStyles = {
    "none",
    "nil",
    "single",
    "dashDotStroked",
    "dashed",
    "dashSmallGap",
    "dotDash",
    "dotDotDash",
    "dotted",
    "inset",
    "outset",
    "thick",
    "threeDEmboss",
    "threeDEngrave",
    "wave",
    "double",
    "doubleWave",
    "thickThinLargeGap",
    "thickThinMediumGap",
    "thickThinSmallGap",
    "thinThickLargeGap",
    "thinThickMediumGap",
    "thinThickSmallGap",
    "triple",
    "thinThickThinLargeGap",
    "thinThickThinMediumGap",
    "thinThickThinSmallGap",
};
constexpr std::array<std::string_view, 12> kDashStyles = {
    "solid",   "shortDash", "shortDot",    "shortDashDot", "shortDashDotDot", "dot",
    "dash",    "longDash",  "dashDot",     "longDashDot",  "longDashDotDot",  "custom"};

// Largest difference of two colour components that still counts as equal.
constexpr std::int64_t kColorComponentTolerance = 2;
// Largest difference of two font sizes, points, of one font.
constexpr double kSameFontSizeTolerance = 1.0;

bool nearly(std::int32_t a, std::int32_t b)
{
    return std::llabs(static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b)) <= kColorComponentTolerance;
}

std::int32_t clampByte(std::int32_t value)
{
    return std::clamp<std::int32_t>(value, 0, 255);
}

} // namespace

std::size_t QXDocxFittingLength(std::string_view text, std::size_t capacity)
{
    if (capacity == 0)
        return 0;
    std::size_t length = std::min(text.size(), capacity - 1);
    // An embedded NUL ends the text as the field will read it.
    if (const auto nul = text.substr(0, length).find('\0'); nul != std::string_view::npos)
        return nul;
    if (length == text.size())
        return length;
    // Step back over continuation bytes so no sequence is cut in two.
    std::size_t start = length;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 ? length : start;
}

std::optional<std::string_view> QXJustificationString(std::int32_t code)
{
    return indexed(kJustifications, code);
}

std::string_view QXHorizontalAlignmentString(std::int32_t code)
{
    return indexed(kHorizontalAlignments, code).value_or("left");
}

std::string_view QXVerticalAlignmentString(std::int32_t code)
{
    return indexed(kVerticalAlignments, code).value_or("top");
}

std::string_view QXWidthTypeString(std::int32_t code)
{
    return indexed(kWidthTypes, code).value_or("auto");
}

std::string_view QXVerticalMergeString(std::int32_t code)
{
    return indexed(kVerticalMerges, code).value_or("continue");
}

std::string_view QXHeightRuleString(std::int32_t code)
{
    return indexed(kHeightRules, code).value_or("auto");
}

std::string_view QXTableLayoutString(std::int32_t code)
{
    return indexed(kTableLayouts, code).value_or("fixed");
}

std::string_view QXAnchorString(std::int32_t code)
{
    return indexed(kAnchors, code).value_or("none");
}

std::string_view QXShadingPatternString(std::int32_t code)
{
    return indexed(kShadingPatterns, code).value_or("start");
}

std::string_view QXSectionTypeString(std::int32_t code)
{
    const auto value = indexed(kSectionTypes, code);
    return value && !value->empty() ? *value : "auto";
}

std::string_view QXVerticalTextAlignmentString(std::int32_t code)
{
    return indexed(kVerticalTextAlignments, code).value_or("normal");
}

std::string_view QXUnderlineString(std::int32_t code)
{
    const auto value = indexed(kUnderlines, code);
    return value && !value->empty() ? *value : "normal";
}

std::string_view QXBoolString(std::int32_t value)
{
    return value != 0 ? "true" : "false";
}

std::string_view QXBorderStyleString(std::int32_t code)
{
    return indexed(kBorderStyles, code).value_or("none");
}

std::optional<std::string_view> QXDashStyleString(std::int32_t code)
{
    return indexed(kDashStyles, code);
}

std::string QXDocxColorHexString(const QXDocx_Color& color)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(6);
    for (const std::int32_t component : {color.red, color.green, color.blue}) {
        const std::int32_t value = clampByte(component);
        hex.push_back(kDigits[(value >> 4) & 0xF]);
        hex.push_back(kDigits[value & 0xF]);
    }
    return hex;
}

bool QXColorIsNearlyEqual(const QXDocx_Color& a, const QXDocx_Color& b)
{
    return nearly(a.red, b.red) && nearly(a.green, b.green) && nearly(a.blue, b.blue) &&
           nearly(a.alpha, b.alpha);
}

bool QXRectIsEqualWithTolerance(const Rect& a, const Rect& b, double tolerance)
{
    return std::fabs(a.origin.x - b.origin.x) <= tolerance && std::fabs(a.origin.y - b.origin.y) <= tolerance &&
           std::fabs(a.size.width - b.size.width) <= tolerance &&
           std::fabs(a.size.height - b.size.height) <= tolerance;
}

bool QXRPropertyIsSameFont(const QXDocx_RPr& a, const QXDocx_RPr& b)
{
    return QXDocxText(a.rFonts.ascii) == QXDocxText(b.rFonts.ascii) &&
           std::fabs(static_cast<double>(a.sz) - static_cast<double>(b.sz)) <= kSameFontSizeTolerance;
}

bool QXRPropertyIsSameFontAndScale(const QXDocx_RPr& a, const QXDocx_RPr& b)
{
    return QXRPropertyIsSameFont(a, b) && a.w == b.w && a.spacing == b.spacing;
}

bool QXRPropertyIsEqual(const QXDocx_RPr& a, const QXDocx_RPr& b)
{
    return QXRPropertyIsSameFont(a, b) && a.color == b.color && a.background == b.background &&
           a.backgroundcolor == b.backgroundcolor && a.b == b.b && a.i == b.i && a.u == b.u &&
           a.strikethrough == b.strikethrough && a.scrpit == b.scrpit;
}

bool QXPPropertyIsEqual(const QXDocx_PPr& a, const QXDocx_PPr& b)
{
    return a.ind.firstLine == b.ind.firstLine && a.ind.left == b.ind.left &&
           a.spacing.before == b.spacing.before && a.spacing.after == b.spacing.after &&
           a.spacing.line == b.spacing.line &&
           QXDocxText(a.spacing.lineRule) == QXDocxText(b.spacing.lineRule) && a.jc == b.jc;
}

bool QXBorderIsEqual(const QXDocx_Border& a, const QXDocx_Border& b)
{
    return a.val == b.val && a.sz == b.sz && QXColorIsNearlyEqual(a.color, b.color) && a.shadow == b.shadow &&
           a.space == b.space;
}

bool QXBordersFirstFourAreEqual(const QXDocx_Borders& a, const QXDocx_Borders& b)
{
    return QXBorderIsEqual(a.top, b.top) && QXBorderIsEqual(a.left, b.left) &&
           QXBorderIsEqual(a.bottom, b.bottom) && QXBorderIsEqual(a.right, b.right);
}

bool QXShadingIsEqual(const QXDocx_Shading& a, const QXDocx_Shading& b)
{
    return a.val == b.val && QXColorIsNearlyEqual(a.fill, b.fill) && QXColorIsNearlyEqual(a.color, b.color);
}

int QXBorderLineCount(std::int32_t style)
{
    if (style < QXDocxBorderSingle)
        return 0;
    if (style < QXDocxBorderDouble)
        return 1;
    if (style < QXDocxBorderTriple)
        return 2;
    return 3;
}

bool QXBorderIsThickThinStyle(std::int32_t style)
{
    return style >= QXDocxBorderThickThinLargeGap && style <= QXDocxBorderThinThickSmallGap;
}

bool QXBorderIsThinThickThinStyle(std::int32_t style)
{
    return style >= QXDocxBorderThinThickThinLargeGap && style <= QXDocxBorderThinThickThinSmallGap;
}

double QXBorderDisplaySize(const QXDocx_Border& border)
{
    const double quarterPoints = std::round(static_cast<double>(border.sz) * 4.0) * 0.25;
    return quarterPoints * QXBorderLineCount(border.val);
}

std::optional<std::string_view> QXDashStyleStringForDashArray(std::span<const double> dashArray,
                                                              double lineWidth)
{
    const float width = static_cast<float>(lineWidth);
    int lengthClass = 0;  // 0: no long element
    int shortCount = 0;   // dots and short dashes
    bool hasDot = false;
    bool hasShortDash = false;
    for (const double element : dashArray) {
        const float d = static_cast<float>(element);
        if (d < width) {
            hasDot = true;
            ++shortCount;
        } else if (d < 2 * width) {
            hasShortDash = true;
            ++shortCount;
        } else if (d < 3 * width) {
            lengthClass = std::max(lengthClass, 1);
        } else if (d < 6 * width) {
            lengthClass = std::max(lengthClass, 2);
        } else if (d >= 6 * width) {
            lengthClass = 3;
        }
        // A NaN element matches no class and counts for nothing.
    }
    switch (lengthClass) {
    case 3:
        return shortCount == 0 ? "longDash" : shortCount == 1 ? "longDashDot" : "longDashDotDot";
    case 2:
        return shortCount == 0 ? "dash" : shortCount == 1 ? "dashDot" : "longDashDotDot";
    case 1:
        return shortCount == 0 ? "shortDash" : shortCount == 1 ? "shortDashDot" : "shortDashDotDot";
    default:
        if (hasShortDash)
            return "dot";
        if (hasDot)
            return "shortDot";
        return std::nullopt;
    }
}

} // namespace rz
