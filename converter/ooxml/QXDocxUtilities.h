// Defaults of the DOCX property records, their colour operations, and the
// writers that turn them into WordprocessingML property elements ("rPr",
// "pPr", "sectPr", "tblPr", "tblGrid", "trPr", "tcPr" and their parts).
//
// Every element and attribute is written in the WordprocessingML main
// namespace; the caller binds its prefix on the writer first. Each writer
// writes one element as a child of the element the caller has open, in a
// fixed element order, leaving out optional elements whose field holds the
// neutral value. Lengths are written in twentieths of a point (rounded to a
// whole number), font sizes in half-points and border sizes in eighths of
// a point; colours as "RRGGBB".
//
// Numbers that are not finite are never written: such a length is written
// as 0, and an element that exists only to carry such a value is left out
// (run size, scale and character spacing; the indentation, cell spacing and
// cell width written only above a threshold). Whole numbers are clamped to
// the signed 32-bit range the readers of these parts take.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "platform/geometry/Color.h"

#include <optional>
#include <string>
#include <string_view>

namespace rz {

// The deepest outline level a paragraph can carry.
inline constexpr std::int32_t kQXDocxMaxOutlineLevel = 8;

class XMLFileWriter;

class QXDocxUtilities {
public:
    // --- Defaults (each a fresh record; fields not named are zero) ---

    // All four font names "Times New Roman", size 12, scale 100, text and
    // background colours opaque black, background off, noProof on.
    static QXDocx_RPr defaultRProperty();
    // Style "null", spacing before 0, after 0, line 12 "exact", indents 0,
    // jc 0, no outline level or numbering, tab "none"/"left" at 0.
    static QXDocx_PPr defaultPProperty();
    // No tab stops.
    static QXDocx_Tabs defaultTabsProperty();
    // One column, no separator, no spacing, no column list.
    static QXDocx_Cols defaultColsProperty();
    // All seven margins 0.
    static QXDocx_PgMar defaultPageMarginProperty();
    // Not written; continuous; page 578 x 640 with a top margin of 63; one
    // column; no grid; no page borders.
    static QXDocx_SectPr defaultSectPropertyHiden();
    // "single", 1 point, opaque black, no shadow, no space.
    static QXDocx_Border defaultBorder_SingleLine();
    // "none", size 0, opaque black, no shadow, no space.
    static QXDocx_Border defaultBorder_None();
    // Eight defaultBorder_None.
    static QXDocx_Borders defaultPageBordersNone();
    // Single lines on the four sides and inside; no diagonals.
    static QXDocx_Borders defaultTableBorders();
    // Single lines on the four sides only.
    static QXDocx_Borders defaultCellBorders();
    // Pattern "nil", fill and colour opaque black.
    static QXDocx_Shading defaultShading();
    // Width 0 of type "dxa".
    static QXDocx_Margin defaultMargin();
    static QXDocx_Margins defaultMargins();
    // Distances 0, both anchors "page", position 0, tblpXSpec and tblpYSpec "nil".
    static QXDocx_TblpPr defaultTblpProperty();
    // Style "TableGrid", automatic width, default borders, shading and
    // margins, fixed layout, look "01E0".
    static QXDocx_TblPr defaultTblProperty();
    // One column of 64 points.
    static QXDocx_TblGrid defaultTblGridProperty();
    // No flags, cell spacing 0 of type 0, exact height 0.
    static QXDocx_TrPr defaultTrProperty();
    // No span or flags, default shading and cell borders, margins 0 of
    // type 0, automatic width 0, top alignment, no merge.
    static QXDocx_TcPr defaultTcProperty();

    // --- Colours ---

    // RGB: each component x 255 rounded; grey: the level x 255 rounded for
    // all three; alpha 255. Nothing or another colour model gives opaque
    // black. Components are clamped to 0..255.
    static QXDocx_Color QXDocxColorFromCGColor(const std::optional<Color>& color);
    // The highlight name the colour matches (alpha within 2 of 255, each of
    // red, green and blue within 2 of the name's value), tried in the order
    // red, green, blue, black, white, yellow, cyan, magenta, lightGray,
    // darkGray, darkYellow, darkCyan, darkMagenta, darkRed, darkGreen,
    // darkBlue; nothing when none matches.
    static std::optional<std::string_view> NameFromColorValue(const QXDocx_Color& color);

    // --- Writers ---

    // One "rPr".
    static void WriteRProperty(const QXDocx_RPr& property, XMLFileWriter& writer);
    // One "pPr" with the tab stops of `tabsProperty`, the paragraph mark's
    // "rPr" and, when the section's shouldWrite is set, its "sectPr".
    static void WritePProperty(const QXDocx_PPr& property, const QXDocx_RPr& rProperty,
                               const QXDocx_SectPr& sectProperty, const QXDocx_Tabs& tabsProperty,
                               XMLFileWriter& writer);
    // One "sectPr", whatever shouldWrite says.
    static void WriteSectProperty(const QXDocx_SectPr& property, XMLFileWriter& writer);
    // One "p" holding only its "pPr", written without tab stops.
    static void Write1BlankParagraphWithProperty(const QXDocx_PPr& property, const QXDocx_RPr& RProperty,
                                                 const QXDocx_SectPr& SectProperty, XMLFileWriter& writer);
    // One border element named `localName`.
    static void WriteBorderProperty(const QXDocx_Border& property, std::string_view localName,
                                    XMLFileWriter& writer);
    // One margin element named `localName`.
    static void WriteMarginProperty(const QXDocx_Margin& property, std::string_view localName,
                                    XMLFileWriter& writer);
    // One "tblPr".
    static void WriteTblProperty(const QXDocx_TblPr& property, XMLFileWriter& writer);
    // One "tblGrid" of gridCount columns (at most kQXDocxMaxGridColumns);
    // nothing when gridCount < 1.
    static void WriteTblGridProperty(const QXDocx_TblGrid& property, XMLFileWriter& writer);
    // One "trPr".
    static void WriteTrProperty(const QXDocx_TrPr& property, XMLFileWriter& writer);
    // One "tcPr" of the cell covering `columnRange` and `rowRange` of a
    // table with the properties `tblProperty`.
    static void WriteTcProperty(const QXDocx_TcPr& property, QXDocxRange columnRange, QXDocxRange rowRange,
                                const QXDocx_TblPr& tblProperty, XMLFileWriter& writer);
    // True when the cell's borders add nothing to the table's: each side
    // equals the table border that applies to it (the table's outer border
    // on the table's edge, its inside border elsewhere), the cell has no
    // inside borders, and its diagonals equal the table's.
    static bool IsBorderEqualTcProperty(const QXDocx_TcPr& property, QXDocxRange columnRange,
                                        QXDocxRange rowRange, const QXDocx_TblPr& tblProperty);

    // The VML style of a drawing text path in the run's font.
    static std::string TextPathStyleForRProperty(const QXDocx_RPr& property);

    // --- Resources and names ---

    // The resource at `relativePath` inside the program's "QXVerdexa"
    // resource folder; nothing when it is missing.
    static std::optional<std::string> PathInLibBundleForResource(std::string_view relativePath);
    // The section-type, vertical-alignment and underline values.
    static std::string_view _sectTypeValue(std::int32_t value);
    static std::string_view _scriptValue(std::int32_t value);
    static std::string_view _underlineValue(std::int32_t value);
    // "on" for non-zero, else "off".
    static std::string_view _boolValue(std::int32_t value);
    // "bullet", whatever the value.
    static std::string_view _numFmtValue(std::int32_t value);
    // The Chinese local name of a Chinese font ("SimSun" "新宋体", ...);
    // any other name unchanged.
    static std::string LocalFontName(std::string_view fontName);
};

} // namespace rz
