#include "converter/ooxml/QXDocxUtilities.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "platform/core/Resources.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace rz {

namespace {

// --- Numbers as text ---

constexpr double kMinWholeNumber = -2147483648.0;
constexpr double kMaxWholeNumber = 2147483647.0;
constexpr double kTwipsPerPoint = 20.0;
constexpr double kHalfPointsPerPoint = 2.0;
constexpr double kEighthsPerPoint = 8.0;
// "auto" line spacing is measured in 240ths of a single line.
constexpr double kAutoLineUnitsPerLine = 240.0;
// Largest border spacing a word processor accepts, points.
constexpr double kMaxBorderSpace = 31.0;
// Widths at or below this many points count as none.
constexpr double kNeutralWidth = 0.1;
// Run sizes below this many points are raised for super- and subscripts.
constexpr double kSmallScriptSize = 8.0;
constexpr std::string_view kSmallScriptHalfPoints = "16";
constexpr std::string_view kFallbackFontName = "Arial Unicode MS";

// A value rounded to a whole number as "%0.0f" does, clamped to the signed
// 32-bit range; a value that is not finite gives "0", and so does -0.
std::string wholeNumber(double value)
{
    if (!std::isfinite(value))
        return "0";
    std::string text = formatFixed(std::clamp(value, kMinWholeNumber, kMaxWholeNumber), 0);
    if (text == "-0")
        text = "0";
    return text;
}

std::string twips(double points)
{
    return wholeNumber(points * kTwipsPerPoint);
}

double roundedToQuarterPoint(double points)
{
    return std::round(points * 4.0) * 0.25;
}

// --- Elements in the WordprocessingML namespace ---

class WElements {
public:
    explicit WElements(XMLFileWriter& writer) : writer_(writer) {}

    void start(std::string_view localName)
    {
        writer_.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), localName);
    }
    void attribute(std::string_view localName, std::string_view value)
    {
        writer_.writeAttributeWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), localName, value);
    }
    void end() { writer_.writeEndElement(); }
    void empty(std::string_view localName)
    {
        start(localName);
        end();
    }
    // An element whose only attribute is "val".
    void value(std::string_view localName, std::string_view val)
    {
        start(localName);
        attribute("val", val);
        end();
    }

private:
    XMLFileWriter& writer_;
};

// Every occurrence of `what` removed, scanning left to right.
std::string removingOccurrences(std::string_view text, std::string_view what)
{
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
        result.append(text.substr(from, at - from));
        from = at + what.size();
    }
    result.append(text.substr(from));
    return result;
}

// A 0..1 colour component as 0..255, rounded; NaN gives 0.
std::int32_t colorChannel(double component)
{
    if (std::isnan(component))
        return 0;
    return static_cast<std::int32_t>(std::lround(std::clamp(component, 0.0, 1.0) * 255.0));
}

bool hasWidth(float w)
{
    return std::fabs(static_cast<double>(w)) > kNeutralWidth;
}

// Whether a range ends exactly at `count`.
bool rangeEndsAt(QXDocxRange range, std::int32_t count)
{
    if (count < 0)
        return false;
    const auto total = static_cast<std::uint64_t>(count);
    return range.location <= total && range.length == total - range.location;
}

// The table borders a cell's four sides are measured against.
struct TableSides {
    const QXDocx_Border& top;
    const QXDocx_Border& bottom;
    const QXDocx_Border& left;
    const QXDocx_Border& right;
};

TableSides tableSidesOfCell(const QXDocx_TblPr& table, QXDocxRange columnRange, QXDocxRange rowRange)
{
    const QXDocx_Borders& borders = table.tblBorders;
    return {
        rowRange.location == 0 ? borders.top : borders.insideH,
        rangeEndsAt(rowRange, table.rowCount) ? borders.bottom : borders.insideH,
        columnRange.location == 0 ? borders.left : borders.insideV,
        rangeEndsAt(columnRange, table.columnCount) ? borders.right : borders.insideV,
    };
}

void writeTblpProperty(const QXDocx_TblpPr& position, WElements& w)
{
    const bool anchored = position.vertAnchor != 0 || position.horzAnchor != 0;
    const bool placed = hasWidth(position.tblpX) || hasWidth(position.tblpY) || position.leftFromText > 0 ||
                        position.rightFromText > 0 || position.topFromText > 0 || position.bottomFromText > 0;
    if (!anchored || !placed)
        return;
    w.start("tblpPr");
    w.attribute("leftFromText", twips(position.leftFromText));
    w.attribute("rightFromText", twips(position.rightFromText));
    w.attribute("topFromText", twips(position.topFromText));
    w.attribute("bottomFromText", twips(position.bottomFromText));
    w.attribute("vertAnchor", QXAnchorString(position.vertAnchor));
    w.attribute("horzAnchor", QXAnchorString(position.horzAnchor));
    w.attribute("tblpX", twips(position.tblpX));
    w.attribute("tblpY", twips(position.tblpY));
    w.end();
}

void writeCols(const QXDocx_Cols& cols, WElements& w)
{
    w.start("cols");
    // The flag is written off: a rule the page draws between its columns
    // comes through as a drawing, and Word's own line would be one the page
    // does not have.
    if (cols.sep)
        w.attribute("sep", "0");
    w.attribute("num", formatUnsigned(cols.num));
    if (cols.equalWidth > 0) {
        if (cols.space > 0)
            w.attribute("space", twips(cols.space));
        else
            w.attribute("equalWidth", "true");
    } else {
        w.attribute("equalWidth", "0");
        // The list may hold fewer columns than the count says: only those
        // that are there are written.
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(cols.num, cols.col.size()));
        for (std::size_t index = 0; index < count; ++index) {
            const QXDocx_Col& col = cols.col[index];
            w.start("col");
            w.attribute("w", twips(col.w));
            if (col.space > 0)
                w.attribute("space", twips(col.space));
            w.end();
        }
    }
    w.end();
}

// A width-like element: its type, then its width.
template <typename WidthRecord>
void writeTypeAndWidth(std::string_view localName, const WidthRecord& width, WElements& w)
{
    w.start(localName);
    w.attribute("type", QXWidthTypeString(width.type));
    w.attribute("w", twips(width.w));
    w.end();
}

void writeMargins(std::string_view localName, const QXDocx_Margins& margins, XMLFileWriter& writer)
{
    const bool allTyped = margins.top.type != 0 && margins.left.type != 0 && margins.bottom.type != 0 &&
                          margins.right.type != 0;
    if (!allTyped)
        return;
    WElements w(writer);
    w.start(localName);
    QXDocxUtilities::WriteMarginProperty(margins.top, "top", writer);
    QXDocxUtilities::WriteMarginProperty(margins.left, "left", writer);
    QXDocxUtilities::WriteMarginProperty(margins.bottom, "bottom", writer);
    QXDocxUtilities::WriteMarginProperty(margins.right, "right", writer);
    w.end();
}

struct HighlightColor {
    std::string_view name;
    std::int32_t red, green, blue;
};

constexpr std::array<HighlightColor, 16> kHighlightColors = {{
    {"red", 255, 0, 0},
    {"green", 0, 255, 0},
    {"blue", 0, 0, 255},
    {"black", 0, 0, 0},
    {"white", 255, 255, 255},
    {"yellow", 255, 255, 0},
    {"cyan", 0, 255, 255},
    {"magenta", 255, 0, 255},
    {"lightGray", 211, 211, 211},
    {"darkGray", 169, 169, 169},
    {"darkYellow", 139, 139, 0},
    {"darkCyan", 0, 139, 139},
    {"darkMagenta", 139, 0, 139},
    {"darkRed", 139, 0, 0},
    {"darkGreen", 0, 100, 0},
    {"darkBlue", 0, 0, 139},
}};

constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kLocalFontNames = {{
    {"SimSun", "新宋体"},
    {"Songti SC", "宋体"},
    {"FangSong", "仿宋"},
    {"SimHei", "黑体"},
    {"KaiTi", "楷体"},
    {"STSong", "华文宋体"},
    {"STFangsong", "华文仿宋"},
    {"STXihei", "华文细黑"},
    {"STXingkai", "华文行楷"},
    {"STXinwei", "华文新魏"},
    {"STLiti", "华文隶书"},
    {"STZhongsong", "华文中宋"},
    {"STKaiti", "华文楷体"},
    {"STHupo", "华文琥珀"},
    {"MicrosoftYaHei", "微软雅黑"},
}};

constexpr QXDocx_Color kOpaqueBlack{0, 0, 0, 255};

} // namespace

// --- Defaults ---

QXDocx_RPr QXDocxUtilities::defaultRProperty()
{
    QXDocx_RPr property;
    QXDocxSetText(property.rFonts.ascii, "Times New Roman");
    QXDocxSetText(property.rFonts.hAnsi, "Times New Roman");
    QXDocxSetText(property.rFonts.cs, "Times New Roman");
    QXDocxSetText(property.rFonts.eastAsia, "Times New Roman");
    property.sz = 12;
    property.w = 100;
    property.color = kOpaqueBlack;
    property.background = false;
    property.backgroundcolor = kOpaqueBlack;
    property.noProof = true;
    return property;
}

QXDocx_PPr QXDocxUtilities::defaultPProperty()
{
    QXDocx_PPr property;
    QXDocxSetText(property.pStyle, "null");
    property.spacing.line = 12;
    QXDocxSetText(property.spacing.lineRule, "exact");
    QXDocxSetText(property.tabs.leader, "none");
    QXDocxSetText(property.tabs.val, "left");
    return property;
}

QXDocx_Tabs QXDocxUtilities::defaultTabsProperty()
{
    return {};
}

QXDocx_Cols QXDocxUtilities::defaultColsProperty()
{
    QXDocx_Cols cols;
    cols.num = 1;
    return cols;
}

QXDocx_PgMar QXDocxUtilities::defaultPageMarginProperty()
{
    return {};
}

QXDocx_SectPr QXDocxUtilities::defaultSectPropertyHiden()
{
    QXDocx_SectPr property;
    property.shouldWrite = false;
    property.type = QXDocxSectionTypeContinuous;
    property.pgSz = {578, 640};
    property.pgMar = defaultPageMarginProperty();
    property.pgMar.top = 63;
    property.cols = defaultColsProperty();
    property.offsetFrom = 0;
    property.pgBorders = defaultPageBordersNone();
    return property;
}

QXDocx_Border QXDocxUtilities::defaultBorder_SingleLine()
{
    return {QXDocxBorderSingle, 1, kOpaqueBlack, false, 0};
}

QXDocx_Border QXDocxUtilities::defaultBorder_None()
{
    return {QXDocxBorderNone, 0, kOpaqueBlack, false, 0};
}

QXDocx_Borders QXDocxUtilities::defaultPageBordersNone()
{
    const QXDocx_Border none = defaultBorder_None();
    return {none, none, none, none, none, none, none, none};
}

QXDocx_Borders QXDocxUtilities::defaultTableBorders()
{
    const QXDocx_Border single = defaultBorder_SingleLine();
    const QXDocx_Border none = defaultBorder_None();
    return {single, single, single, single, single, single, none, none};
}

QXDocx_Borders QXDocxUtilities::defaultCellBorders()
{
    const QXDocx_Border single = defaultBorder_SingleLine();
    const QXDocx_Border none = defaultBorder_None();
    return {single, single, single, single, none, none, none, none};
}

QXDocx_Shading QXDocxUtilities::defaultShading()
{
    return {kOpaqueBlack, kOpaqueBlack, QXDocxShadingNil};
}

QXDocx_Margin QXDocxUtilities::defaultMargin()
{
    return {0, QXDocxWidthDxa};
}

QXDocx_Margins QXDocxUtilities::defaultMargins()
{
    const QXDocx_Margin margin = defaultMargin();
    return {margin, margin, margin, margin};
}

QXDocx_TblpPr QXDocxUtilities::defaultTblpProperty()
{
    QXDocx_TblpPr position;
    position.vertAnchor = QXDocxAnchorPage;
    position.horzAnchor = QXDocxAnchorPage;
    QXDocxSetText(position.tblpXSpec, "nil");
    QXDocxSetText(position.tblpYSpec, "nil");
    return position;
}

QXDocx_TblPr QXDocxUtilities::defaultTblProperty()
{
    QXDocx_TblPr property;
    property.tblpPr = defaultTblpProperty();
    QXDocxSetText(property.tblStyle, "TableGrid");
    property.tblW = {0, QXDocxWidthAuto};
    property.jc = QXDocxHorizontalAlignmentLeft;
    property.tblInd = {0, QXDocxWidthDxa};
    property.tblBorders = defaultTableBorders();
    property.shd = defaultShading();
    property.tblCellMar = defaultMargins();
    property.tblCellSpacing = {0, QXDocxWidthDxa};
    property.tblLayout = QXDocxTableLayoutFixed;
    QXDocxSetText(property.tblLook.val, "01E0");
    return property;
}

QXDocx_TblGrid QXDocxUtilities::defaultTblGridProperty()
{
    QXDocx_TblGrid grid;
    grid.gridCount = 1;
    grid.gridCol[0] = 64;
    return grid;
}

QXDocx_TrPr QXDocxUtilities::defaultTrProperty()
{
    QXDocx_TrPr property;
    property.tblCellSpacing = {0, QXDocxWidthNil};
    property.trHeight = {QXDocxHeightRuleExact, 0};
    return property;
}

QXDocx_TcPr QXDocxUtilities::defaultTcProperty()
{
    QXDocx_TcPr property;
    property.shd = defaultShading();
    property.tcMar = {};
    property.tcBorders = defaultCellBorders();
    property.tcW = {0, QXDocxWidthAuto};
    return property;
}

// --- Colours ---

QXDocx_Color QXDocxUtilities::QXDocxColorFromCGColor(const std::optional<Color>& color)
{
    if (!color)
        return kOpaqueBlack;
    switch (color->model) {
    case Color::Model::RGB:
        return {colorChannel(color->component(0)), colorChannel(color->component(1)),
                colorChannel(color->component(2)), 255};
    case Color::Model::Monochrome: {
        const std::int32_t level = colorChannel(color->component(0));
        return {level, level, level, 255};
    }
    default:
        return kOpaqueBlack;
    }
}

std::optional<std::string_view> QXDocxUtilities::NameFromColorValue(const QXDocx_Color& color)
{
    for (const HighlightColor& named : kHighlightColors) {
        if (QXColorIsNearlyEqual(color, {named.red, named.green, named.blue, 255}))
            return named.name;
    }
    return std::nullopt;
}

// --- Writers ---

void QXDocxUtilities::WriteRProperty(const QXDocx_RPr& property, XMLFileWriter& writer)
{
    WElements w(writer);
    w.start("rPr");

    std::string fontName(QXDocxText(property.rFonts.ascii));
    if (fontName.empty())
        fontName = kFallbackFontName;
    if (property.b)
        fontName = removingOccurrences(fontName, " Bold");
    if (property.i) {
        fontName = removingOccurrences(fontName, " Italic");
        fontName = removingOccurrences(fontName, " Oblique");
    }
    w.start("rFonts");
    w.attribute("ascii", fontName);
    w.attribute("hAnsi", fontName);
    w.attribute("cs", fontName);
    w.attribute("eastAsia", fontName);
    w.end();

    // A size that is not a number is left to the word processor's default.
    if (std::isfinite(property.sz)) {
        const double halfPoints = property.sz * kHalfPointsPerPoint;
        const bool smallScript = property.sz < kSmallScriptSize && property.scrpit != 0;
        w.value("sz", smallScript ? std::string(kSmallScriptHalfPoints) : wholeNumber(halfPoints));
        w.value("szCs", wholeNumber(halfPoints));
    }

    const std::string textColor = QXDocxColorHexString(property.color);
    w.value("color", textColor);

    if (property.background) {
        if (const auto name = NameFromColorValue(property.backgroundcolor)) {
            w.value("highlight", *name);
        } else {
            w.start("shd");
            w.attribute("fill", QXDocxColorHexString(property.backgroundcolor));
            w.attribute("color", "auto");
            w.attribute("val", "clear");
            w.end();
        }
    }

    if (property.b) {
        w.empty("b");
        w.empty("bCs");
    }
    if (property.i)
        w.empty("i");

    if (property.u != 0) {
        w.start("u");
        w.attribute("val", _underlineValue(property.u));
        w.attribute("color", textColor);
        w.end();
    }
    if (property.strikethrough != 0)
        w.value("strike", "true");
    if (property.scrpit != 0)
        w.value("vertAlign", _scriptValue(property.scrpit));

    // Tightened spacing rounds down so that text never ends up wider than
    // it was.
    const double spacing = property.spacing * kTwipsPerPoint;
    const double roundedSpacing = spacing >= 0 ? std::round(spacing) : std::floor(spacing);
    if (std::isfinite(roundedSpacing) && roundedSpacing != 0)
        w.value("spacing", wholeNumber(roundedSpacing));

    if (std::isfinite(property.w) && property.w != 100)
        w.value("w", wholeNumber(property.w));

    w.empty("noProof");
    w.end();
}

void QXDocxUtilities::WritePProperty(const QXDocx_PPr& property, const QXDocx_RPr& rProperty,
                                     const QXDocx_SectPr& sectProperty, const QXDocx_Tabs& tabsProperty,
                                     XMLFileWriter& writer)
{
    WElements w(writer);
    w.start("pPr");

    // The children follow the order the paragraph properties schema
    // prescribes: numbering, tab stops, spacing, indents, alignment,
    // outline level, then the mark's run properties and the section.
    if (property.numPr.numId >= 1) {
        w.start("numPr");
        w.value("ilvl", formatInteger(property.numPr.ilvl));
        w.value("numId", formatInteger(property.numPr.numId));
        w.end();
    }

    if (!tabsProperty.tab.empty()) {
        w.start("tabs");
        for (const QXDocx_Tab& tab : tabsProperty.tab) {
            w.start("tab");
            w.attribute("val", QXDocxText(tab.val));
            w.attribute("pos", twips(tab.pos));
            w.end();
        }
        w.end();
    }

    const QXDocx_Spacing& spacing = property.spacing;
    w.start("spacing");
    w.attribute("before", spacing.before < 0 ? "0" : twips(spacing.before));
    w.attribute("after", spacing.after < 0 ? "0" : twips(spacing.after));
    if (QXDocxText(spacing.lineRule) == "auto" && spacing.word1LineHeight > 0) {
        // 240ths of a single line, as a whole number like every other
        // length of the paragraph.
        w.attribute("line", wholeNumber(static_cast<double>(spacing.line) * kAutoLineUnitsPerLine /
                                        static_cast<double>(spacing.word1LineHeight)));
        w.attribute("lineRule", "auto");
    } else {
        w.attribute("line", twips(spacing.line));
        w.attribute("lineRule", "exact");
    }
    w.end();

    w.start("ind");
    w.attribute("firstLine", twips(property.ind.firstLine));
    w.attribute("left", twips(property.ind.left));
    // Always written, 0 included: LibreOffice carries the right indent of a
    // paragraph that ends a section into the next paragraph when that one
    // does not name its own, squeezing it into a sliver of its column.
    w.attribute("right", twips(property.ind.right > 0 ? property.ind.right : 0.0f));
    w.end();

    // A justification code without a value leaves the paragraph's default.
    if (const auto justification = QXJustificationString(property.jc))
        w.value("jc", *justification);

    // Outline levels run from 0 to 8 (9 is body text); a deeper heading
    // takes the deepest level rather than a value the schema refuses.
    if (property.outlineLvl >= 1)
        w.value("outlineLvl", formatInteger(std::min(property.outlineLvl, kQXDocxMaxOutlineLevel)));

    WriteRProperty(rProperty, writer);
    if (sectProperty.shouldWrite)
        WriteSectProperty(sectProperty, writer);

    w.end();
}

void QXDocxUtilities::WriteSectProperty(const QXDocx_SectPr& property, XMLFileWriter& writer)
{
    WElements w(writer);
    w.start("sectPr");

    if (property.type != 0)
        w.value("type", _sectTypeValue(property.type));

    w.start("pgSz");
    w.attribute("w", twips(property.pgSz.w));
    w.attribute("h", twips(property.pgSz.h));
    if (property.pgSz.w > property.pgSz.h)
        w.attribute("orient", "landscape");
    w.end();

    const QXDocx_PgMar& margins = property.pgMar;
    w.start("pgMar");
    w.attribute("top", twips(margins.top));
    w.attribute("right", twips(margins.right));
    w.attribute("bottom", twips(margins.bottom));
    w.attribute("left", twips(margins.left));
    w.attribute("header", twips(margins.header));
    w.attribute("footer", twips(margins.footer));
    w.attribute("gutter", "0");
    w.end();

    if (property.offsetFrom != 0) {
        w.start("pgBorders");
        w.attribute("offsetFrom", "page");
        WriteBorderProperty(property.pgBorders.top, "top", writer);
        WriteBorderProperty(property.pgBorders.left, "left", writer);
        WriteBorderProperty(property.pgBorders.bottom, "bottom", writer);
        WriteBorderProperty(property.pgBorders.right, "right", writer);
        w.end();
    }

    if (property.cols.num > 1)
        writeCols(property.cols, w);

    if (!QXDocxText(property.docGrid.type).empty()) {
        w.start("docGrid");
        w.attribute("type", QXDocxText(property.docGrid.type));
        w.attribute("linePitch", twips(property.docGrid.linePitch));
        w.end();
    }

    w.end();
}

void QXDocxUtilities::Write1BlankParagraphWithProperty(const QXDocx_PPr& property, const QXDocx_RPr& RProperty,
                                                       const QXDocx_SectPr& SectProperty, XMLFileWriter& writer)
{
    WElements w(writer);
    w.start("p");
    WritePProperty(property, RProperty, SectProperty, defaultTabsProperty(), writer);
    w.end();
}

void QXDocxUtilities::WriteBorderProperty(const QXDocx_Border& property, std::string_view localName,
                                          XMLFileWriter& writer)
{
    // Sizes and spaces are never negative; the space is limited to what
    // word processors accept.
    const double size = roundedToQuarterPoint(std::max(static_cast<double>(property.sz), 0.0));
    const double space = roundedToQuarterPoint(std::clamp(static_cast<double>(property.space), 0.0, kMaxBorderSpace));
    WElements w(writer);
    w.start(localName);
    w.attribute("val", QXBorderStyleString(property.val));
    w.attribute("sz", wholeNumber(size * kEighthsPerPoint));
    w.attribute("space", wholeNumber(space));
    w.attribute("color", QXDocxColorHexString(property.color));
    if (property.shadow)
        w.attribute("shadow", "true");
    w.end();
}

void QXDocxUtilities::WriteMarginProperty(const QXDocx_Margin& property, std::string_view localName,
                                          XMLFileWriter& writer)
{
    WElements w(writer);
    writeTypeAndWidth(localName, property, w);
}

void QXDocxUtilities::WriteTblProperty(const QXDocx_TblPr& property, XMLFileWriter& writer)
{
    // Children in the order of the schema: Word refuses a table whose
    // properties come in another order.
    WElements w(writer);
    w.start("tblPr");

    const std::string_view style = QXDocxText(property.tblStyle);
    if (utf16Length(style) >= 2)
        w.value("tblStyle", style);

    writeTblpProperty(property.tblpPr, w);

    if (property.tblStyleRowBandSize > 0)
        w.value("tblStyleRowBandSize", formatInteger(property.tblStyleRowBandSize));
    if (property.tblStyleColBandSize > 0)
        w.value("tblStyleColBandSize", formatInteger(property.tblStyleColBandSize));

    if (property.tblW.type != 0)
        writeTypeAndWidth("tblW", property.tblW, w);

    w.value("jc", QXHorizontalAlignmentString(property.jc));

    if (property.tblCellSpacing.type != 0 && hasWidth(property.tblCellSpacing.w))
        writeTypeAndWidth("tblCellSpacing", property.tblCellSpacing, w);
    if (hasWidth(property.tblInd.w))
        writeTypeAndWidth("tblInd", property.tblInd, w);

    const QXDocx_Borders& borders = property.tblBorders;
    const bool drawsBorders = borders.top.val > 1 || borders.left.val > 1 || borders.bottom.val > 1 ||
                              borders.right.val > 1 || borders.insideH.val > 1 || borders.insideV.val > 1;
    if (drawsBorders) {
        w.start("tblBorders");
        WriteBorderProperty(borders.top, "top", writer);
        WriteBorderProperty(borders.left, "left", writer);
        WriteBorderProperty(borders.bottom, "bottom", writer);
        WriteBorderProperty(borders.right, "right", writer);
        WriteBorderProperty(borders.insideH, "insideH", writer);
        WriteBorderProperty(borders.insideV, "insideV", writer);
        w.end();
    }

    if (property.shd.val != 0) {
        w.start("shd");
        w.attribute("val", QXShadingPatternString(property.shd.val));
        w.attribute("color", property.shd.val == QXDocxShadingClear ? std::string("auto")
                                                                    : QXDocxColorHexString(property.shd.color));
        w.attribute("fill", QXDocxColorHexString(property.shd.fill));
        w.end();
    }

    w.start("tblLayout");
    w.attribute("type", QXTableLayoutString(property.tblLayout));
    w.end();

    writeMargins("tblCellMar", property.tblCellMar, writer);

    const QXDocx_TblLook& look = property.tblLook;
    const std::string_view lookValue = QXDocxText(look.val);
    if (look.firstRow || look.lastRow || look.firstColumn || look.lastColumn || !lookValue.empty()) {
        w.start("tblLook");
        const std::pair<bool, std::string_view> flags[] = {
            {look.firstRow, "firstRow"},       {look.lastRow, "lastRow"}, {look.firstColumn, "firstColumn"},
            {look.lastColumn, "lastColumn"},   {look.noHBand, "noHBand"}, {look.noVBand, "noVBand"},
        };
        for (const auto& [set, name] : flags) {
            if (set)
                w.attribute(name, "true");
        }
        if (!lookValue.empty())
            w.attribute("val", lookValue);
        w.end();
    }

    const std::string_view caption = QXDocxText(property.tblCaption);
    if (utf16Length(caption) >= 2)
        w.value("tblCaption", caption);

    w.end();
}

void QXDocxUtilities::WriteTblGridProperty(const QXDocx_TblGrid& property, XMLFileWriter& writer)
{
    if (property.gridCount < 1)
        return;
    // The grid holds at most its fixed number of columns, whatever the
    // count says.
    const int count = std::min<int>(property.gridCount, kQXDocxMaxGridColumns);
    WElements w(writer);
    w.start("tblGrid");
    for (int index = 0; index < count; ++index) {
        w.start("gridCol");
        w.attribute("w", twips(property.gridCol[index]));
        w.end();
    }
    w.end();
}

void QXDocxUtilities::WriteTrProperty(const QXDocx_TrPr& property, XMLFileWriter& writer)
{
    WElements w(writer);
    w.start("trPr");
    if (property.cantSplit)
        w.value("cantSplit", "true");
    if (property.hidden)
        w.value("hidden", "true");
    if (property.tblHeader)
        w.value("tblHeader", "true");
    if (property.jc != 0)
        w.value("jc", QXHorizontalAlignmentString(property.jc));
    if (property.trHeight.hRule != 0) {
        w.start("trHeight");
        w.attribute("val", twips(property.trHeight.val));
        w.attribute("hRule", QXHeightRuleString(property.trHeight.hRule));
        w.end();
    }
    if (property.tblCellSpacing.type != 0 && hasWidth(property.tblCellSpacing.w))
        writeTypeAndWidth("tblCellSpacing", property.tblCellSpacing, w);
    w.end();
}

bool QXDocxUtilities::IsBorderEqualTcProperty(const QXDocx_TcPr& property, QXDocxRange columnRange,
                                              QXDocxRange rowRange, const QXDocx_TblPr& tblProperty)
{
    const QXDocx_Borders& cell = property.tcBorders;
    const TableSides table = tableSidesOfCell(tblProperty, columnRange, rowRange);
    return QXBorderIsEqual(cell.top, table.top) && QXBorderIsEqual(cell.bottom, table.bottom) &&
           QXBorderIsEqual(cell.left, table.left) && QXBorderIsEqual(cell.right, table.right) &&
           cell.insideH.val == 0 && cell.insideV.val == 0 &&
           QXBorderIsEqual(cell.tl2br, tblProperty.tblBorders.tl2br) &&
           QXBorderIsEqual(cell.tr2bl, tblProperty.tblBorders.tr2bl);
}

void QXDocxUtilities::WriteTcProperty(const QXDocx_TcPr& property, QXDocxRange columnRange, QXDocxRange rowRange,
                                      const QXDocx_TblPr& tblProperty, XMLFileWriter& writer)
{
    // Children (and the borders inside tcBorders) in the order of the
    // schema: Word refuses a cell whose properties come in another order.
    WElements w(writer);
    w.start("tcPr");

    if (hasWidth(property.tcW.w)) {
        w.start("tcW");
        w.attribute("w", twips(property.tcW.w));
        w.attribute("type", QXWidthTypeString(property.tcW.type));
        w.end();
    }

    if (property.gridSpan > 0)
        w.value("gridSpan", formatInteger(property.gridSpan));

    if (property.vMerge != 0) {
        w.start("vMerge");
        if (property.vMerge != QXDocxVerticalMergeEnd)
            w.attribute("val", QXVerticalMergeString(property.vMerge));
        w.end();
    }

    if (!IsBorderEqualTcProperty(property, columnRange, rowRange, tblProperty)) {
        const QXDocx_Borders& cell = property.tcBorders;
        const QXDocx_Borders& tableBorders = tblProperty.tblBorders;
        const TableSides table = tableSidesOfCell(tblProperty, columnRange, rowRange);
        w.start("tcBorders");
        if (!QXBorderIsEqual(cell.top, table.top))
            WriteBorderProperty(cell.top, "top", writer);
        if (!QXBorderIsEqual(cell.left, table.left))
            WriteBorderProperty(cell.left, "left", writer);
        if (!QXBorderIsEqual(cell.bottom, table.bottom))
            WriteBorderProperty(cell.bottom, "bottom", writer);
        if (!QXBorderIsEqual(cell.right, table.right))
            WriteBorderProperty(cell.right, "right", writer);
        if (cell.insideH.val != 0)
            WriteBorderProperty(cell.insideH, "insideH", writer);
        if (cell.insideV.val != 0)
            WriteBorderProperty(cell.insideV, "insideV", writer);
        if (!QXBorderIsEqual(cell.tl2br, tableBorders.tl2br))
            WriteBorderProperty(cell.tl2br, "tl2br", writer);
        if (!QXBorderIsEqual(cell.tr2bl, tableBorders.tr2bl))
            WriteBorderProperty(cell.tr2bl, "tr2bl", writer);
        w.end();
    }

    if (property.shd.val != 0) {
        w.start("shd");
        w.attribute("fill", QXDocxColorHexString(property.shd.fill));
        w.attribute("color", QXDocxColorHexString(property.shd.color));
        w.attribute("val", QXShadingPatternString(property.shd.val));
        w.end();
    }

    if (property.noWrap)
        w.value("noWrap", "true");

    writeMargins("tcMar", property.tcMar, writer);

    if (property.tcFitText)
        w.value("tcFitText", "true");
    if (property.vAlign != 0)
        w.value("vAlign", QXVerticalAlignmentString(property.vAlign));
    if (property.hideMark)
        w.value("hideMark", "true");

    w.end();
}

std::string QXDocxUtilities::TextPathStyleForRProperty(const QXDocx_RPr& property)
{
    std::string style = "font-family:";
    style.append(QXDocxText(property.rFonts.ascii));
    style.append(";");
    if (property.b)
        style.append("font-weight:bold;");
    if (property.i)
        style.append("font-style:italic;");
    if (std::isfinite(property.sz)) {
        style.append("font-size:");
        style.append(wholeNumber(property.sz * kHalfPointsPerPoint));
        style.append("pt;");
    }
    style.append("v-text-kern:t;");
    style.append("mso-text-shadow:auto");
    return style;
}

// --- Resources and names ---

std::optional<std::string> QXDocxUtilities::PathInLibBundleForResource(std::string_view relativePath)
{
    const std::filesystem::path path = resourcePath("QXVerdexa/" + std::string(relativePath));
    if (path.empty())
        return std::nullopt;
    return path.string();
}

std::string_view QXDocxUtilities::_sectTypeValue(std::int32_t value)
{
    return QXSectionTypeString(value);
}

std::string_view QXDocxUtilities::_scriptValue(std::int32_t value)
{
    return QXVerticalTextAlignmentString(value);
}

std::string_view QXDocxUtilities::_underlineValue(std::int32_t value)
{
    return QXUnderlineString(value);
}

std::string_view QXDocxUtilities::_boolValue(std::int32_t value)
{
    return value != 0 ? "on" : "off";
}

std::string_view QXDocxUtilities::_numFmtValue(std::int32_t /*value*/)
{
    return "bullet";
}

std::string QXDocxUtilities::LocalFontName(std::string_view fontName)
{
    for (const auto& [name, localName] : kLocalFontNames) {
        if (name == fontName)
            return std::string(localName);
    }
    return std::string(fontName);
}

} // namespace rz
