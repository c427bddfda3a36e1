// The run, paragraph, section, table, row and cell properties of the
// document model: plain records copied by value between model objects and
// handed by value to their WordprocessingML writers (QXDocxUtilities).
//
// Units: lengths and font sizes in points, colours as four integer
// components 0..255. Text fields are fixed-size, NUL-terminated byte
// arrays; set them with QXDocxSetText and read them with QXDocxText, which
// never read or write past the array. Integer codes map to their Office
// Open XML values through the Q...String functions below; a code outside
// an enumeration gives its fallback.
//
// Only two records hold lists: the columns of QXDocx_Cols and the stops of
// QXDocx_Tabs. Each record owns its list, so a copy of a section or tab
// record has its own.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

// --- Text fields ---

// The text of a fixed-size field: its bytes up to the first NUL, or the
// whole array when it holds none.
template <std::size_t N>
std::string_view QXDocxText(const char (&field)[N])
{
    const void* nul = std::memchr(field, 0, N);
    return {field, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N};
}

// Bytes of `text` that fit a field of `capacity` bytes with its NUL: at
// most capacity - 1, never ending inside a UTF-8 sequence.
std::size_t QXDocxFittingLength(std::string_view text, std::size_t capacity);

// Stores `text` in a fixed-size field, cut at a character boundary to fit,
// NUL-terminated and zero-filled after the text.
template <std::size_t N>
void QXDocxSetText(char (&field)[N], std::string_view text)
{
    static_assert(N > 0);
    const std::size_t length = QXDocxFittingLength(text, N);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, N - length);
}

// --- Records ---

struct QXDocx_Color {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    std::int32_t alpha = 0;
    friend bool operator==(const QXDocx_Color&, const QXDocx_Color&) = default;
};

struct QXDocx_RFonts {
    char ascii[128] = {};
    char hAnsi[128] = {};
    char cs[128] = {};
    char eastAsia[128] = {};
};

// Underline kinds (`u`).
enum QXDocxUnderline : std::int32_t {
    QXDocxUnderlineNone = 0,
    QXDocxUnderlineSingle = 1,
    QXDocxUnderlineDouble = 2,
    QXDocxUnderlineDotted = 4,
    QXDocxUnderlineDash = 6,
};

// Vertical alignment of a run (`scrpit`).
enum QXDocxScript : std::int32_t {
    QXDocxScriptNone = 0,
    QXDocxScriptSuperscript = 1,
    QXDocxScriptSubscript = 2,
};

// Run properties.
struct QXDocx_RPr {
    char lang[16] = {};                // language tag
    QXDocx_RFonts rFonts;              // font names as the PDF gives them
    QXDocx_RFonts rFonts_replace;      // installed fonts chosen to replace them
    bool vanish = false;               // hidden text
    std::int32_t kern = 0;
    bool b = false;
    bool i = false;
    float sz = 0;                      // font size, points
    float szCs = 0;                    // complex-script font size, points
    QXDocx_Color color;                // text colour
    bool background = false;           // whether backgroundcolor applies
    QXDocx_Color backgroundcolor;      // highlight or shading behind the text
    float spacing = 0;                 // extra character spacing, points
    float position = 0;                // baseline shift, points
    float w = 0;                       // horizontal scale, percent (100 normal)
    std::int32_t u = 0;                // underline kind (QXDocxUnderline)
    QXDocx_Color u_color;
    std::int32_t strikethrough = 0;    // non-zero: struck through
    std::int32_t highlight = 0;        // carried, not written
    std::int32_t capsStyle = 0;        // carried, not written
    std::int32_t misc = 0;             // carried, not written
    std::int32_t scrpit = 0;           // QXDocxScript
    bool noProof = false;
};

struct QXDocx_Spacing {
    float before = 0;
    float after = 0;
    float line = 0;
    char lineRule[16] = {};            // "auto" or "exact"
    // Height of one single-spaced line of the run's font, by which an
    // "auto" line spacing is scaled.
    float word1LineHeight = 0;
};

struct QXDocx_Ind {
    float firstLine = 0;
    float left = 0;
    float right = 0;
};

struct QXDocx_NumPr {
    std::int32_t ilvl = 0;
    std::int32_t numId = 0;            // 0: none
};

struct QXDocx_Tab {
    char leader[16] = {};
    char val[16] = {};
    float pos = 0;                     // points
};

// The tab stops of a paragraph.
struct QXDocx_Tabs {
    std::vector<QXDocx_Tab> tab;
    std::int64_t count() const { return static_cast<std::int64_t>(tab.size()); }
};

// Paragraph justification (`jc` of QXDocx_PPr).
enum QXDocxJustification : std::int32_t {
    QXDocxJustificationLeft = 0,
    QXDocxJustificationRight = 1,
    QXDocxJustificationCenter = 2,
    QXDocxJustificationBoth = 3,
    QXDocxJustificationDistribute = 4,
};

// Paragraph properties. The paragraph writer takes its tab stops from a
// separate QXDocx_Tabs, not from `tabs`.
struct QXDocx_PPr {
    char pStyle[128] = {};
    bool widowControl = false;
    QXDocx_Spacing spacing;
    QXDocx_Ind ind;
    std::int32_t jc = 0;               // QXDocxJustification
    std::int32_t outlineLvl = 0;       // 0 none, n >= 1 the heading level
    QXDocx_NumPr numPr;
    QXDocx_Tab tabs;
    std::int32_t tabs_enable = 0;
};

struct QXDocx_PgSz {
    float w = 0;
    float h = 0;
};

struct QXDocx_PgMar {
    float top = 0;
    float right = 0;
    float bottom = 0;
    float left = 0;
    float header = 0;
    float footer = 0;
    float gutter = 0;
};

// One text column: its width and the space after it, points.
struct QXDocx_Col {
    float w = 0;
    float space = 0;
};

struct QXDocx_Cols {
    std::uint64_t num = 0;             // column count
    bool sep = false;                  // separator line between columns
    float space = 0;
    float equalWidth = 0;              // used as a flag
    std::vector<QXDocx_Col> col;       // the columns, normally `num` of them
};

struct QXDocx_DocGrid {
    char type[32] = {};
    float linePitch = 0;
};

// Border styles (`val` of QXDocx_Border), codes 0 to 26.
enum QXDocxBorderStyle : std::int32_t {
    QXDocxBorderNone = 0,
    QXDocxBorderNil,
    QXDocxBorderSingle,
    QXDocxBorderDashDotStroked,
    QXDocxBorderDashed,
    QXDocxBorderDashSmallGap,
    QXDocxBorderDotDash,
    QXDocxBorderDotDotDash,
    QXDocxBorderDotted,
    QXDocxBorderInset,
    QXDocxBorderOutset,
    QXDocxBorderThick,
    QXDocxBorderThreeDEmboss,
    QXDocxBorderThreeDEngrave,
    QXDocxBorderWave,
    QXDocxBorderDouble,
    QXDocxBorderDoubleWave,
    QXDocxBorderThickThinLargeGap,
    QXDocxBorderThickThinMediumGap,
    QXDocxBorderThickThinSmallGap,
    QXDocxBorderThinThickLargeGap,
    QXDocxBorderThinThickMediumGap,
    QXDocxBorderThinThickSmallGap,
    QXDocxBorderTriple,
    QXDocxBorderThinThickThinLargeGap,
    QXDocxBorderThinThickThinMediumGap,
    QXDocxBorderThinThickThinSmallGap,
};

struct QXDocx_Border {
    std::int32_t val = 0;              // QXDocxBorderStyle
    float sz = 0;                      // points
    QXDocx_Color color;
    bool shadow = false;
    float space = 0;                   // points
};

struct QXDocx_Borders {
    QXDocx_Border top;
    QXDocx_Border left;
    QXDocx_Border bottom;
    QXDocx_Border right;
    QXDocx_Border insideH;
    QXDocx_Border insideV;
    QXDocx_Border tl2br;
    QXDocx_Border tr2bl;
};

// Section break kinds (`type` of QXDocx_SectPr); 0 writes no break kind.
enum QXDocxSectionType : std::int32_t {
    QXDocxSectionTypeNone = 0,
    QXDocxSectionTypeContinuous = 1,
    QXDocxSectionTypeEvenPage = 2,
    QXDocxSectionTypeNextColumn = 3,
    QXDocxSectionTypeNextPage = 4,
    QXDocxSectionTypeOddPage = 5,
};

// Vertical alignment (`vAlign`).
enum QXDocxVerticalAlignment : std::int32_t {
    QXDocxVerticalAlignmentTop = 0,
    QXDocxVerticalAlignmentCenter = 1,
    QXDocxVerticalAlignmentBottom = 2,
};

// Section properties.
struct QXDocx_SectPr {
    bool shouldWrite = false;          // the section is written
    std::int32_t type = 0;             // QXDocxSectionType
    QXDocx_PgSz pgSz;
    QXDocx_PgMar pgMar;
    QXDocx_Cols cols;
    QXDocx_DocGrid docGrid;
    std::int32_t offsetFrom = 0;       // non-zero writes the page borders
    QXDocx_Borders pgBorders;
    std::int32_t vAlign = 0;           // QXDocxVerticalAlignment; not written
};

// Shading patterns (`val` of QXDocx_Shading).
enum QXDocxShadingPattern : std::int32_t {
    QXDocxShadingNil = 0,
    QXDocxShadingClear,
    QXDocxShadingPct10,
    QXDocxShadingPct12,
    QXDocxShadingPct15,
    QXDocxShadingDiagCross,
    QXDocxShadingDiagStripe,
    QXDocxShadingHorzCross,
    QXDocxShadingHorzStripe,
    QXDocxShadingThinDiagCross,
    QXDocxShadingSolid,
};

struct QXDocx_Shading {
    QXDocx_Color fill;
    QXDocx_Color color;
    std::int32_t val = 0;              // QXDocxShadingPattern
};

// Width types of margins, widths, indentations and cell spacings.
enum QXDocxWidthType : std::int32_t {
    QXDocxWidthNil = 0,
    QXDocxWidthAuto = 1,
    QXDocxWidthDxa = 2,
    QXDocxWidthPct = 3,
};

struct QXDocx_Margin {
    float w = 0;                       // points
    std::int32_t type = 0;             // QXDocxWidthType
};

struct QXDocx_Margins {
    QXDocx_Margin top;
    QXDocx_Margin left;
    QXDocx_Margin bottom;
    QXDocx_Margin right;
};

struct QXDocx_Width {
    float w = 0;
    std::int32_t type = 0;
};

struct QXDocx_Indentation {
    float w = 0;
    std::int32_t type = 0;
};

struct QXDocx_CellSpacing {
    float w = 0;
    std::int32_t type = 0;
};

// Anchors of a floating table.
enum QXDocxAnchor : std::int32_t {
    QXDocxAnchorNone = 0,
    QXDocxAnchorMargin = 1,
    QXDocxAnchorPage = 2,
    QXDocxAnchorText = 3,
};

// Position of a floating table.
struct QXDocx_TblpPr {
    float leftFromText = 0;
    float rightFromText = 0;
    float topFromText = 0;
    float bottomFromText = 0;
    std::int32_t vertAnchor = 0;       // QXDocxAnchor
    std::int32_t horzAnchor = 0;       // QXDocxAnchor
    float tblpX = 0;
    float tblpY = 0;
    char tblpXSpec[32] = {};
    char tblpYSpec[32] = {};
};

struct QXDocx_TblLook {
    bool firstColumn = false;
    bool lastColumn = false;
    bool firstRow = false;
    bool lastRow = false;
    bool noHBand = false;
    bool noVBand = false;
    char val[32] = {};
};

// Horizontal alignment of tables and rows (`jc`).
enum QXDocxHorizontalAlignment : std::int32_t {
    QXDocxHorizontalAlignmentLeft = 0,
    QXDocxHorizontalAlignmentRight = 1,
    QXDocxHorizontalAlignmentCenter = 2,
};

// Table layouts (`tblLayout`).
enum QXDocxTableLayout : std::int32_t {
    QXDocxTableLayoutFixed = 0,
    QXDocxTableLayoutAutofit = 1,
};

// Table properties.
struct QXDocx_TblPr {
    QXDocx_TblpPr tblpPr;
    std::int32_t tblOverlap = 0;
    char tblStyle[32] = {};
    QXDocx_Width tblW;
    std::int32_t jc = 0;               // QXDocxHorizontalAlignment
    QXDocx_Indentation tblInd;
    QXDocx_Borders tblBorders;
    char tblCaption[1024] = {};
    QXDocx_Shading shd;
    QXDocx_Margins tblCellMar;
    QXDocx_CellSpacing tblCellSpacing;
    std::int32_t tblLayout = 0;        // QXDocxTableLayout
    QXDocx_TblLook tblLook;
    std::int32_t tblStyleColBandSize = 0;
    std::int32_t tblStyleRowBandSize = 0;
    std::int32_t rowCount = 0;
    std::int32_t columnCount = 0;
};

// Most columns a table grid holds.
inline constexpr int kQXDocxMaxGridColumns = 64;

// Column widths of a table, points; at most kQXDocxMaxGridColumns.
struct QXDocx_TblGrid {
    std::int32_t gridCount = 0;
    float gridCol[kQXDocxMaxGridColumns] = {};
};

// Height rules of rows (`hRule`).
enum QXDocxHeightRule : std::int32_t {
    QXDocxHeightRuleAuto = 0,
    QXDocxHeightRuleAtLeast = 1,
    QXDocxHeightRuleExact = 2,
};

struct QXDocx_TrHeight {
    std::int32_t hRule = 0;            // QXDocxHeightRule
    float val = 0;                     // points
};

// Row properties.
struct QXDocx_TrPr {
    bool cantSplit = false;
    bool hidden = false;
    std::int32_t jc = 0;               // QXDocxHorizontalAlignment
    QXDocx_CellSpacing tblCellSpacing;
    bool tblHeader = false;
    QXDocx_TrHeight trHeight;
    QXDocx_Border top;                 // the row's borders are not written
    QXDocx_Border left;
    QXDocx_Border bottom;
    QXDocx_Border right;
};

// Vertical merges of cells (`vMerge`); 0 writes no merge.
enum QXDocxVerticalMerge : std::int32_t {
    QXDocxVerticalMergeNil = 0,
    QXDocxVerticalMergeContinue = 1,
    QXDocxVerticalMergeRestart = 2,
    QXDocxVerticalMergeEnd = 3,        // written as a merge without a value
};

// Cell properties.
struct QXDocx_TcPr {
    std::int32_t gridSpan = 0;
    bool hideMark = false;
    bool noWrap = false;
    bool tcFitText = false;
    QXDocx_Shading shd;
    QXDocx_Margins tcMar;
    QXDocx_Borders tcBorders;
    QXDocx_Width tcW;
    std::int32_t vAlign = 0;           // QXDocxVerticalAlignment
    std::int32_t vMerge = 0;           // QXDocxVerticalMerge
};

// Document view settings of the DOCX writer.
struct QXDocx_DocPr {
    char view[32] = {};
    float zoom = 0;
};

// Rows or columns of a table covered by a cell: the first index and the
// count.
struct QXDocxRange {
    std::uint64_t location = 0;
    std::uint64_t length = 0;
};

// Dash styles of drawing strokes, codes 0 to 11.
enum QXDocxDashStyle : std::int32_t {
    QXDocxDashSolid = 0,
    QXDocxDashShortDash,
    QXDocxDashShortDot,
    QXDocxDashShortDashDot,
    QXDocxDashShortDashDotDot,
    QXDocxDashDot,
    QXDocxDashDash,
    QXDocxDashLongDash,
    QXDocxDashDashDot,
    QXDocxDashLongDashDot,
    QXDocxDashLongDashDotDot,
    QXDocxDashCustom,
};

// --- Office Open XML values of the codes ---

// Justification of paragraphs: "left", "right", "center", "both",
// "distribute"; nothing for another code.
std::optional<std::string_view> QXJustificationString(std::int32_t code);
// Horizontal alignment of tables and rows: "left", "right", "center";
// fallback "left".
std::string_view QXHorizontalAlignmentString(std::int32_t code);
// "top", "center", "bottom"; fallback "top".
std::string_view QXVerticalAlignmentString(std::int32_t code);
// "nil", "auto", "dxa", "pct"; fallback "auto".
std::string_view QXWidthTypeString(std::int32_t code);
// "nil", "continue", "restart", "end"; fallback "continue".
std::string_view QXVerticalMergeString(std::int32_t code);
// "auto", "atLeast", "exact"; fallback "auto".
std::string_view QXHeightRuleString(std::int32_t code);
// "fixed", "autofit"; fallback "fixed".
std::string_view QXTableLayoutString(std::int32_t code);
// "none", "margin", "page", "text"; fallback "none".
std::string_view QXAnchorString(std::int32_t code);
// "nil", "clear", "pct10" ... "solid"; fallback "start".
std::string_view QXShadingPatternString(std::int32_t code);
// 1 "continuous" ... 5 "oddPage"; fallback (0 included) "auto".
std::string_view QXSectionTypeString(std::int32_t code);
// "none", "superscript", "subscript"; fallback "normal".
std::string_view QXVerticalTextAlignmentString(std::int32_t code);
// 1 "single", 2 "double", 4 "dotted", 6 "dash"; fallback "normal".
std::string_view QXUnderlineString(std::int32_t code);
// 0 "false", any other "true".
std::string_view QXBoolString(std::int32_t value);
// The 27 border styles; fallback "none".
std::string_view QXBorderStyleString(std::int32_t code);
// "solid" ... "custom"; nothing for another code.
std::optional<std::string_view> QXDashStyleString(std::int32_t code);

// "RRGGBB" (upper-case) of red, green and blue, each clamped to 0..255;
// alpha is dropped.
std::string QXDocxColorHexString(const QXDocx_Color& color);

// --- Comparisons ---

// Each of the four components differs by at most 2.
bool QXColorIsNearlyEqual(const QXDocx_Color& a, const QXDocx_Color& b);
// Each of x, y, width and height differs by at most `tolerance`.
bool QXRectIsEqualWithTolerance(const Rect& a, const Rect& b, double tolerance);
// Same rFonts.ascii text and sizes within 1 point.
bool QXRPropertyIsSameFont(const QXDocx_RPr& a, const QXDocx_RPr& b);
// Same font, and equal scale and character spacing.
bool QXRPropertyIsSameFontAndScale(const QXDocx_RPr& a, const QXDocx_RPr& b);
// Same font, exactly equal colour, same background flag and exactly equal
// background colour, same bold, italic, underline, strike-through and
// script kind.
bool QXRPropertyIsEqual(const QXDocx_RPr& a, const QXDocx_RPr& b);
// Equal first-line and left indents, spacing before, after and line, the
// same line rule and the same justification.
bool QXPPropertyIsEqual(const QXDocx_PPr& a, const QXDocx_PPr& b);
// Same style, equal size, nearly equal colours, same shadow, equal space.
bool QXBorderIsEqual(const QXDocx_Border& a, const QXDocx_Border& b);
// top, left, bottom and right equal by QXBorderIsEqual.
bool QXBordersFirstFourAreEqual(const QXDocx_Borders& a, const QXDocx_Borders& b);
// Same pattern, nearly equal fill and colour.
bool QXShadingIsEqual(const QXDocx_Shading& a, const QXDocx_Shading& b);

// --- Borders ---

// Lines a border style draws: 0 below code 2, 1 for 2 to 14, 2 for 15 to
// 22, 3 from 23.
int QXBorderLineCount(std::int32_t style);
// Codes 17 to 22.
bool QXBorderIsThickThinStyle(std::int32_t style);
// Codes 24 to 26.
bool QXBorderIsThinThickThinStyle(std::int32_t style);
// The border's size rounded to a quarter point, times its line count.
double QXBorderDisplaySize(const QXDocx_Border& border);

// --- Dash arrays ---

// The dash style of a PDF dash array at line width `lineWidth`: each
// element is a dot (below the width), a short dash (below twice the width)
// or a long element of class 1 (below 3 widths), 2 (below 6) or 3; the
// largest class and the number of dots and short dashes choose among
// "shortDash", "dash", "longDash" and their "Dot"/"DotDot" forms, else
// "dot" (a short dash) or "shortDot" (only dots). Nothing for an empty
// array or one whose elements are not numbers.
std::optional<std::string_view> QXDashStyleStringForDashArray(std::span<const double> dashArray,
                                                              double lineWidth);

} // namespace rz
