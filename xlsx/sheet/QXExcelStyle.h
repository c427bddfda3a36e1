// The document's style registry: number formats, fonts, fills, borders and
// cell formats, each list deduplicated and only ever appended to (an index,
// once given, names the same entry for the whole document), and the style
// sheet part (xl/styles.xml) written from them.
//
// Cells refer to a cell format (an index into cellXfsArr), which refers to
// a number format id, a font, a fill and a border by index. The lookups
// that read the output-mode flags (font of a cell, fill of a cell frame)
// ask the shared QXExcelManager.
#pragma once

#include "platform/geometry/Color.h"
#include "xlsx/sheet/QXExcelCell.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

struct QXExcel_Color {
    bool automatic = false;
    int32_t indexed = 0;
    std::string rgb;
    int32_t theme = 0;
    double tint = 0;
};

struct QXExcel_Font {
    double sz = 12;
    QXExcel_Color color;
    std::string name;
    std::string famliy;
    std::string charset;
    std::string scheme;
    bool b = false;
    bool i = false;
    bool strike = false;
    bool outline = false;
    bool shadow = false;
    bool condense = false;
    bool extend = false;
    std::string u;
    std::string vertAlign;
};

struct QXExcel_PatternFill {
    std::string patternType;
    QXExcel_Color bgColor;
    QXExcel_Color fgColor;
};

struct QXExcel_PatternBorderElement {
    std::string style;
    QXExcel_Color color;
};

struct QXExcel_PatternBorder {
    bool diagonalUp = false;
    bool diagonalDown = false;
    bool outline = false;
    QXExcel_PatternBorderElement left, right, top, bottom, diagonal, vertical, horizontal;
};

struct QXExcel_Xf_Alignment {
    std::string horizontal;
    std::string vertical;
    uint32_t textRotation = 0;
    bool wrapText = false;
    uint32_t indent = 0;
    int32_t relativeIndent = 0;
    bool justifyLastLine = false;
    bool shrinkToFit = false;
    uint32_t readingOrder = 0;
};

struct QXExcel_Xf {
    int32_t numFmtId = 0;
    int32_t fontId = 0;
    int32_t fillId = 0;
    int32_t borderId = 0;
    int32_t xfId = 0;
    bool quotePrefix = false;
    bool pivotButton = false;
    bool applyNumberFormat = false;
    bool applyFont = false;
    bool applyFill = false;
    bool applyBorder = false;
    bool applyAlignment = false;
    bool applyProtection = false;
    QXExcel_Xf_Alignment alignment;
};

struct QXExcelStyleNumFmt {
    int32_t numFmtID = 178;
    std::string formatCode;
};

class QXExcelStyleFont {
public:
    // The default font record with `rgbColor` "000000".
    QXExcelStyleFont();

    const std::string& rgbColor() const { return rgbColor_; }
    void setRgbColor(std::string color) { rgbColor_ = std::move(color); }
    const QXExcel_Font& font() const { return font_; }
    void setFont(const QXExcel_Font& font) { font_ = font; }

    // Equal sizes, names, colours, bold and italic.
    bool isEqual(const QXExcelStyleFont& other) const;

private:
    std::string rgbColor_ = "000000";
    QXExcel_Font font_;
};

class QXExcelStyleFill {
public:
    // Pattern "none", no colour, an empty rect.
    QXExcelStyleFill();
    // A solid fill of the colour ("rrggbb" of the colour) over `frame`.
    QXExcelStyleFill(const Rect& frame, const Color& color);
    // A pattern fill without colour ("gray125" for the second default).
    static QXExcelStyleFill patternOnly(std::string patternType);

    const std::optional<std::string>& fgRGBColor() const { return fgRGBColor_; }
    const Rect& rect() const { return rect_; }
    const QXExcel_PatternFill& patternFill() const { return patternFill_; }

    // Same pattern, both colours present and equal, left and top edges
    // within 2 points, right and bottom edges within 4.
    bool isEqual(const QXExcelStyleFill& other) const;

private:
    std::optional<std::string> fgRGBColor_;
    Rect rect_;
    QXExcel_PatternFill patternFill_;
};

struct QXExcelStyleBorder {
    QXExcel_PatternBorder border;
};

class QXExcelStyleXf {
public:
    // All ids 0, all flags off, horizontal "left", vertical "center".
    QXExcelStyleXf();
    static QXExcel_Xf defaultXf();
    // The four ids, xfId 0, applyNumberFormat and applyAlignment on, and
    // the alignment's horizontal, vertical and wrap flag.
    QXExcelStyleXf(int32_t numFmtID, int32_t fontID, int32_t fillID, int32_t borderID,
                   const QXExcel_Xf_Alignment& algn);

    QXExcel_Xf& formatedElm() { return formatedElm_; }
    const QXExcel_Xf& formatedElm() const { return formatedElm_; }
    const std::string& algnHorizontal() const { return formatedElm_.alignment.horizontal; }
    const std::string& algnVertical() const { return formatedElm_.alignment.vertical; }

    // Equal ids (number format, font, fill, border) and equal horizontal,
    // vertical and wrap of the alignment.
    bool isEqualXf(const QXExcelStyleXf& other) const;

private:
    QXExcel_Xf formatedElm_;
};

// What a cell's font is made of, before it becomes a registry entry.
struct QXExcelCellFont {
    std::string name;
    double size = 12;
    std::string rgbColor = "000000";
    bool b = false;
    bool i = false;
};

class QXExcelStyle {
public:
    // Ids 0..163 belong to the built-in formats; custom ones start here.
    static constexpr int32_t kFirstCustomNumFmtID = 164;
    // The font of cells without their own, and the size of every cell in
    // the output modes that use one size.
    static constexpr const char* kDefaultFontName = "Arial Unicode MS";
    static constexpr double kDefaultFontSize = 10;
    // The longest font name kept, in UTF-8 bytes; a longer one is cut at a
    // character boundary.
    static constexpr size_t kMaxFontNameBytes = 255;

    // The registry as a document starts it: font 0 the default font, fills
    // "none" and "gray125", one empty border, one default cell-style format
    // and one default cell format (with applyAlignment).
    QXExcelStyle();

    // The default font record: size 12, black, "Arial Unicode MS", family
    // "3", charset "134", scheme "minor", no flags.
    static QXExcel_Font defaultExcelFont();
    // `name` cut to kMaxFontNameBytes at a UTF-8 character boundary.
    static std::string fontNameForRecord(std::string_view name);

    // The id of the entry with exactly this code; otherwise a new entry with
    // the first id from 164 up that no entry uses.
    int32_t collectNumberFormat(std::string_view formatCode);
    bool existNumberFormat(int32_t numFmtID) const;

    // The index of the equal font, or of the font appended.
    int32_t collectFonts(const QXExcelStyleFont& font);
    // Appends the fill unless an equal one is listed.
    void collectFills(const QXExcelStyleFill& fill);
    // 0 when fills are not collected; else the first fill whose rect is not
    // empty and meets `frame`; 0 when none does.
    int32_t getFillIdWithCellFrame(const Rect& frame) const;

    // The font a cell of this text takes in the current output mode: the
    // default name (mode 2) and size (modes 1 and 2); white or missing
    // colours black unless fills are collected; no bold or italic in mode 2.
    static QXExcelCellFont cellFont(std::string_view name, double size, const std::optional<std::string>& rgbColor,
                                    bool bold, bool italic);
    // The registry index of a cell font.
    int32_t collectCellFont(const QXExcelCellFont& font);

    // The cell format of a numeric cell: its number format (built-in id, or
    // the custom code registered), its font and fill, no border, aligned
    // left and centred vertically, wrapped.
    int32_t numericStyleIndex(int32_t numFmtID, int32_t fontID, int32_t fillID);
    // The cell format of a text cell: the first listed one with this font,
    // the horizontal alignment and vertical "center"; else a new one (number
    // format 0, fill 0). `horizontal` comes from textHorizontalAlignment.
    int32_t textStyleIndex(int32_t fontID, const std::string& horizontal);
    // "left" with wrapping on, or for a text spanning no further column or
    // starting within 3 points of its cell's left edge; "center" else.
    static std::string textHorizontalAlignment(size_t columnLength, double displayX, const Rect& cellFrame);

    // The font index of a run's cell: the run's properties made into the
    // current mode's cell font (cellFont); the run's properties take the
    // font's name, size and colour, so its shared-string run is written
    // with them. The fill is not used.
    int32_t collectFontsWithRun(QXExcelRunText& run, int32_t fillID);
    // The cell format of a numeric cell of `run`: a number without an id
    // yet gets the id of its format code (registered here).
    int32_t styleIndexFrom(QXExcelRunText& run, QXExcelNumber& number, int32_t fillID);
    // The cell format of a text cell: font 0 for a text of several fonts
    // (its shared string carries them), else the font of its first run;
    // aligned as textHorizontalAlignment says for `cellFrame`, the
    // horizontal extent of its cell.
    int32_t getStyleIndex(const QXExcelStringItem& item, const Rect& cellFrame);

    // The index of the first equal cell format in `list`, or of the one
    // appended.
    static int32_t getStyleIndexFrom(std::vector<QXExcelStyleXf>& list, int32_t numFmtID, int32_t fontID,
                                     int32_t fillID, int32_t borderID, const QXExcel_Xf_Alignment& alignment);

    // Writes "<packageFolder>/xl/styles.xml" (its folder must exist) under
    // a temporary name renamed into place when complete; raises
    // XMLWriterException when it cannot be written.
    void writeStyleTo(const std::string& packageFolder) const;

    const std::vector<QXExcelStyleNumFmt>& numFmtsArr() const { return numFmtsArr_; }
    const std::vector<QXExcelStyleFont>& fontsArr() const { return fontsArr_; }
    const std::vector<QXExcelStyleFill>& fillsArr() const { return fillsArr_; }
    const std::vector<QXExcelStyleBorder>& bordersArr() const { return bordersArr_; }
    const std::vector<QXExcelStyleXf>& cellStyleXfsArr() const { return cellStyleXfsArr_; }
    const std::vector<QXExcelStyleXf>& cellXfsArr() const { return cellXfsArr_; }

private:
    std::vector<QXExcelStyleNumFmt> numFmtsArr_;
    std::vector<QXExcelStyleFont> fontsArr_;
    std::vector<QXExcelStyleFill> fillsArr_;
    std::vector<QXExcelStyleBorder> bordersArr_;
    std::vector<QXExcelStyleXf> cellStyleXfsArr_;
    std::vector<QXExcelStyleXf> cellXfsArr_;
};

} // namespace rz
