#include "xlsx/sheet/QXExcelStyle.h"

#include "converter/ooxml/QXHexColor.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "xlsx/sheet/QXExcelManager.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace rz {

namespace {

constexpr const char* kHorizontalLeft = "left";
constexpr const char* kVerticalCenter = "center";

bool isHexDigits(std::string_view text)
{
    for (const char c : text) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit)
            return false;
    }
    return true;
}

// The six RGB hex digits of a colour given as six (RGB) or eight (ARGB,
// alpha dropped); nothing for any other text.
std::optional<std::string> rgbDigits(const std::optional<std::string>& color)
{
    if (!color || !isHexDigits(*color))
        return std::nullopt;
    if (color->size() == 6)
        return *color;
    if (color->size() == 8)
        return color->substr(2);
    return std::nullopt;
}

} // namespace

// --- Fonts ---

QXExcelStyleFont::QXExcelStyleFont() : font_(QXExcelStyle::defaultExcelFont()) {}

bool QXExcelStyleFont::isEqual(const QXExcelStyleFont& other) const
{
    return font_.sz == other.font_.sz && font_.name == other.font_.name && rgbColor_ == other.rgbColor_ &&
           font_.b == other.font_.b && font_.i == other.font_.i;
}

// --- Fills ---

QXExcelStyleFill::QXExcelStyleFill()
{
    patternFill_.patternType = "none";
}

QXExcelStyleFill::QXExcelStyleFill(const Rect& frame, const Color& color)
    : fgRGBColor_(QXHexColor::getHexColorFromCGColor(color)), rect_(frame)
{
    patternFill_.patternType = "solid";
}

QXExcelStyleFill QXExcelStyleFill::patternOnly(std::string patternType)
{
    QXExcelStyleFill fill;
    fill.patternFill_.patternType = std::move(patternType);
    return fill;
}

bool QXExcelStyleFill::isEqual(const QXExcelStyleFill& other) const
{
    if (patternFill_.patternType != other.patternFill_.patternType)
        return false;
    if (!fgRGBColor_ || !other.fgRGBColor_ || *fgRGBColor_ != *other.fgRGBColor_)
        return false;
    const Rect a = rect_.standardized();
    const Rect b = other.rect_.standardized();
    return std::fabs(a.minX() - b.minX()) <= 2 && std::fabs(a.minY() - b.minY()) <= 2 &&
           std::fabs(a.maxX() - b.maxX()) <= 4 && std::fabs(a.maxY() - b.maxY()) <= 4;
}

// --- Cell formats ---

QXExcel_Xf QXExcelStyleXf::defaultXf()
{
    QXExcel_Xf xf;
    xf.alignment.horizontal = kHorizontalLeft;
    xf.alignment.vertical = kVerticalCenter;
    return xf;
}

QXExcelStyleXf::QXExcelStyleXf() : formatedElm_(defaultXf()) {}

QXExcelStyleXf::QXExcelStyleXf(int32_t numFmtID, int32_t fontID, int32_t fillID, int32_t borderID,
                               const QXExcel_Xf_Alignment& algn)
{
    formatedElm_.numFmtId = numFmtID;
    formatedElm_.fontId = fontID;
    formatedElm_.fillId = fillID;
    formatedElm_.borderId = borderID;
    formatedElm_.xfId = 0;
    formatedElm_.applyNumberFormat = true;
    formatedElm_.applyAlignment = true;
    formatedElm_.alignment.horizontal = algn.horizontal;
    formatedElm_.alignment.vertical = algn.vertical;
    formatedElm_.alignment.wrapText = algn.wrapText;
}

bool QXExcelStyleXf::isEqualXf(const QXExcelStyleXf& other) const
{
    const QXExcel_Xf& a = formatedElm_;
    const QXExcel_Xf& b = other.formatedElm_;
    return a.numFmtId == b.numFmtId && a.fontId == b.fontId && a.fillId == b.fillId && a.borderId == b.borderId &&
           a.alignment.horizontal == b.alignment.horizontal && a.alignment.vertical == b.alignment.vertical &&
           a.alignment.wrapText == b.alignment.wrapText;
}

// --- The registry ---

QXExcel_Font QXExcelStyle::defaultExcelFont()
{
    QXExcel_Font font;
    font.sz = 12;
    font.color.rgb = "000000";
    font.name = kDefaultFontName;
    font.famliy = "3";
    font.charset = "134";
    font.scheme = "minor";
    return font;
}

std::string QXExcelStyle::fontNameForRecord(std::string_view name)
{
    if (name.size() <= kMaxFontNameBytes)
        return std::string(name);
    size_t end = kMaxFontNameBytes;
    // Back up over continuation bytes so no character is cut in two.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return std::string(name.substr(0, end));
}

QXExcelStyle::QXExcelStyle()
{
    fontsArr_.emplace_back();
    fillsArr_.push_back(QXExcelStyleFill());
    fillsArr_.push_back(QXExcelStyleFill::patternOnly("gray125"));
    bordersArr_.emplace_back();
    cellStyleXfsArr_.emplace_back();
    QXExcelStyleXf cellXf;
    cellXf.formatedElm().applyAlignment = true;
    cellXfsArr_.push_back(cellXf);
}

int32_t QXExcelStyle::collectNumberFormat(std::string_view formatCode)
{
    for (const QXExcelStyleNumFmt& entry : numFmtsArr_) {
        if (entry.formatCode == formatCode)
            return entry.numFmtID;
    }
    int32_t id = kFirstCustomNumFmtID;
    while (existNumberFormat(id))
        ++id;
    numFmtsArr_.push_back(QXExcelStyleNumFmt{id, std::string(formatCode)});
    return id;
}

bool QXExcelStyle::existNumberFormat(int32_t numFmtID) const
{
    for (const QXExcelStyleNumFmt& entry : numFmtsArr_) {
        if (entry.numFmtID == numFmtID)
            return true;
    }
    return false;
}

int32_t QXExcelStyle::collectFonts(const QXExcelStyleFont& font)
{
    for (size_t i = 0; i < fontsArr_.size(); ++i) {
        if (fontsArr_[i].isEqual(font))
            return static_cast<int32_t>(i);
    }
    fontsArr_.push_back(font);
    return static_cast<int32_t>(fontsArr_.size() - 1);
}

void QXExcelStyle::collectFills(const QXExcelStyleFill& fill)
{
    for (const QXExcelStyleFill& listed : fillsArr_) {
        if (listed.isEqual(fill))
            return;
    }
    fillsArr_.push_back(fill);
}

int32_t QXExcelStyle::getFillIdWithCellFrame(const Rect& frame) const
{
    if (!QXExcelManager::sharedInstance().isNeedCollectFills())
        return 0;
    for (size_t i = 0; i < fillsArr_.size(); ++i) {
        const Rect& rect = fillsArr_[i].rect();
        if (!rect.isEmpty() && rect.intersects(frame))
            return static_cast<int32_t>(i);
    }
    return 0;
}

QXExcelCellFont QXExcelStyle::cellFont(std::string_view name, double size, const std::optional<std::string>& rgbColor,
                                       bool bold, bool italic)
{
    const QXExcelManager& manager = QXExcelManager::sharedInstance();
    QXExcelCellFont font;
    font.name = manager.isNeedDefaultFontName() ? std::string(kDefaultFontName) : std::string(name);
    font.size = manager.isNeedDefaultFontSize() ? kDefaultFontSize : size;
    const std::optional<std::string> rgb = rgbDigits(rgbColor);
    font.rgbColor = rgb.value_or("000000");
    // White text shows only on a fill: without collected fills it is black.
    if (!manager.isNeedCollectFills() && (!rgb || *rgb == "ffffff"))
        font.rgbColor = "000000";
    font.b = manager.isPlainVersion() ? false : bold;
    font.i = manager.isPlainVersion() ? false : italic;
    return font;
}

int32_t QXExcelStyle::collectCellFont(const QXExcelCellFont& cellFont)
{
    QXExcel_Font record = defaultExcelFont();
    record.name = fontNameForRecord(cellFont.name);
    record.sz = cellFont.size;
    record.b = cellFont.b;
    record.i = cellFont.i;
    QXExcelStyleFont font;
    font.setFont(record);
    font.setRgbColor(cellFont.rgbColor);
    return collectFonts(font);
}

int32_t QXExcelStyle::getStyleIndexFrom(std::vector<QXExcelStyleXf>& list, int32_t numFmtID, int32_t fontID,
                                        int32_t fillID, int32_t borderID, const QXExcel_Xf_Alignment& alignment)
{
    const QXExcelStyleXf wanted(numFmtID, fontID, fillID, borderID, alignment);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].isEqualXf(wanted))
            return static_cast<int32_t>(i);
    }
    list.push_back(wanted);
    return static_cast<int32_t>(list.size() - 1);
}

int32_t QXExcelStyle::numericStyleIndex(int32_t numFmtID, int32_t fontID, int32_t fillID)
{
    QXExcel_Xf_Alignment alignment;
    alignment.horizontal = kHorizontalLeft;
    alignment.vertical = kVerticalCenter;
    alignment.wrapText = true;
    return getStyleIndexFrom(cellXfsArr_, numFmtID, fontID, fillID, 0, alignment);
}

std::string QXExcelStyle::textHorizontalAlignment(size_t columnLength, double displayX, const Rect& cellFrame)
{
    if (QXExcelManager::sharedInstance().isNeedWrapText())
        return kHorizontalLeft;
    if (columnLength == 0 || std::fabs(displayX - cellFrame.minX()) < 3)
        return kHorizontalLeft;
    return "center";
}

int32_t QXExcelStyle::textStyleIndex(int32_t fontID, const std::string& horizontal)
{
    for (size_t i = 0; i < cellXfsArr_.size(); ++i) {
        const QXExcelStyleXf& xf = cellXfsArr_[i];
        if (xf.formatedElm().fontId == fontID && xf.algnHorizontal() == horizontal &&
            xf.algnVertical() == kVerticalCenter)
            return static_cast<int32_t>(i);
    }
    QXExcelStyleXf xf;
    xf.formatedElm().numFmtId = 0;
    xf.formatedElm().fontId = fontID;
    xf.formatedElm().applyAlignment = true;
    xf.formatedElm().alignment.horizontal = horizontal;
    cellXfsArr_.push_back(xf);
    return static_cast<int32_t>(cellXfsArr_.size() - 1);
}

int32_t QXExcelStyle::collectFontsWithRun(QXExcelRunText& run, int32_t /*fillID*/)
{
    QXExcelRunTextProperty& rPr = run.rPr();
    const QXExcelCellFont font = cellFont(rPr.rFont, rPr.sz, rPr.rgbColor, rPr.b, rPr.i);
    rPr.rFont = font.name;
    rPr.sz = font.size;
    rPr.rgbColor = font.rgbColor;
    return collectCellFont(font);
}

int32_t QXExcelStyle::styleIndexFrom(QXExcelRunText& run, QXExcelNumber& number, int32_t fillID)
{
    if (number.numID() == -1)
        number.setNumID(collectNumberFormat(number.formatCode()));
    const int32_t font = collectFontsWithRun(run, fillID);
    return numericStyleIndex(number.numID(), font, fillID);
}

int32_t QXExcelStyle::getStyleIndex(const QXExcelStringItem& item, const Rect& cellFrame)
{
    int32_t font = 0;
    if (!item.isAttributeRunText()) {
        const QXExcelRunTextProperty rPr = item.runProperty();
        font = collectCellFont(cellFont(rPr.rFont, rPr.sz, rPr.rgbColor, rPr.b, rPr.i));
    }
    return textStyleIndex(font,
                          textHorizontalAlignment(item.columnLength(), item.itemInfo().displayX, cellFrame));
}

// --- The style sheet ---

namespace {

void writeFlag(XMLFileWriter& writer, const char* name, bool value)
{
    if (value)
        writer.writeAttribute(name, "1");
}

void writeXfAttributes(XMLFileWriter& writer, const QXExcel_Xf& xf, bool withXfId)
{
    writer.writeAttribute("numFmtId", formatInteger(xf.numFmtId));
    writer.writeAttribute("fontId", formatInteger(xf.fontId));
    writer.writeAttribute("fillId", formatInteger(xf.fillId));
    writer.writeAttribute("borderId", formatInteger(xf.borderId));
    if (withXfId)
        writer.writeAttribute("xfId", formatInteger(xf.xfId));
    writeFlag(writer, "applyNumberFormat", xf.applyNumberFormat);
    // A cell format names its font and fill; saying so keeps readers that
    // look at the flags from falling back to the cell-style format's.
    writeFlag(writer, "applyFont", withXfId && xf.fontId != 0);
    writeFlag(writer, "applyFill", xf.applyFill || (withXfId && xf.fillId != 0));
    writeFlag(writer, "applyBorder", xf.applyBorder);
    writeFlag(writer, "applyAlignment", xf.applyAlignment);
    writeFlag(writer, "applyProtection", xf.applyProtection);
}

void writeBorderElement(XMLFileWriter& writer, const char* name, const QXExcel_PatternBorderElement& element)
{
    writer.writeStartElement(name);
    if (!element.style.empty())
        writer.writeAttribute("style", element.style);
    if (!element.color.rgb.empty()) {
        writer.writeStartElement("color");
        writer.writeAttribute("rgb", element.color.rgb);
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

} // namespace

void QXExcelStyle::writeStyleTo(const std::string& packageFolder) const
{
    const QXExcelManager& manager = QXExcelManager::sharedInstance();
    const std::string path = packageFolder + "/xl/styles.xml";
    const std::string partial = path + ".partial";
    try {
        XMLFileWriter writer(partial);
        writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        writer.writeStartElement("styleSheet");
        writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());

        if (!numFmtsArr_.empty()) {
            writer.writeStartElement("numFmts");
            writer.writeAttribute("count", formatUnsigned(numFmtsArr_.size()));
            for (const QXExcelStyleNumFmt& entry : numFmtsArr_) {
                writer.writeStartElement("numFmt");
                writer.writeAttribute("numFmtId", formatInteger(entry.numFmtID));
                writer.writeAttribute("formatCode", entry.formatCode);
                writer.writeEndElement();
            }
            writer.writeEndElement();
        }

        writer.writeStartElement("fonts");
        writer.writeAttribute("count", formatUnsigned(fontsArr_.size()));
        for (const QXExcelStyleFont& font : fontsArr_) {
            writer.writeStartElement("font");
            writer.writeStartElement("b");
            writer.writeAttribute("val", font.font().b ? "1" : "0");
            writer.writeEndElement();
            writer.writeStartElement("i");
            writer.writeAttribute("val", font.font().i ? "1" : "0");
            writer.writeEndElement();
            writer.writeStartElement("sz");
            writer.writeAttribute("val", formatFixed(font.font().sz, 0));
            writer.writeEndElement();
            writer.writeStartElement("color");
            writer.writeAttribute("rgb", "FF" + font.rgbColor());
            writer.writeEndElement();
            writer.writeStartElement("name");
            writer.writeAttribute("val", font.font().name.empty() ? std::string(kDefaultFontName) : font.font().name);
            writer.writeEndElement();
            writer.writeEndElement();
        }
        writer.writeEndElement();

        writer.writeStartElement("fills");
        writer.writeAttribute("count", formatUnsigned(fillsArr_.size()));
        for (const QXExcelStyleFill& fill : fillsArr_) {
            writer.writeStartElement("fill");
            writer.writeStartElement("patternFill");
            writer.writeAttribute("patternType", fill.patternFill().patternType);
            if (fill.fgRGBColor()) {
                writer.writeStartElement("fgColor");
                writer.writeAttribute("rgb", "FF" + *fill.fgRGBColor());
                writer.writeEndElement();
            }
            writer.writeEndElement();
            writer.writeEndElement();
        }
        writer.writeEndElement();

        writer.writeStartElement("borders");
        writer.writeAttribute("count", formatUnsigned(bordersArr_.size()));
        for (const QXExcelStyleBorder& border : bordersArr_) {
            writer.writeStartElement("border");
            writeBorderElement(writer, "left", border.border.left);
            writeBorderElement(writer, "right", border.border.right);
            writeBorderElement(writer, "top", border.border.top);
            writeBorderElement(writer, "bottom", border.border.bottom);
            writeBorderElement(writer, "diagonal", border.border.diagonal);
            writer.writeEndElement();
        }
        writer.writeEndElement();

        writer.writeStartElement("cellStyleXfs");
        writer.writeAttribute("count", formatUnsigned(cellStyleXfsArr_.size()));
        for (const QXExcelStyleXf& xf : cellStyleXfsArr_) {
            writer.writeStartElement("xf");
            writeXfAttributes(writer, xf.formatedElm(), false);
            writer.writeStartElement("alignment");
            if (!xf.algnVertical().empty())
                writer.writeAttribute("vertical", xf.algnVertical());
            if (!xf.algnHorizontal().empty())
                writer.writeAttribute("horizontal", xf.algnHorizontal());
            writer.writeEndElement();
            writer.writeEndElement();
        }
        writer.writeEndElement();

        const char* wrap = manager.isNeedWrapText() ? "1" : "0";
        writer.writeStartElement("cellXfs");
        writer.writeAttribute("count", formatUnsigned(cellXfsArr_.size()));
        for (const QXExcelStyleXf& xf : cellXfsArr_) {
            writer.writeStartElement("xf");
            writeXfAttributes(writer, xf.formatedElm(), true);
            writer.writeStartElement("alignment");
            if (!xf.algnHorizontal().empty())
                writer.writeAttribute("horizontal", xf.algnHorizontal());
            if (!xf.algnVertical().empty())
                writer.writeAttribute("vertical", xf.algnVertical());
            writer.writeAttribute("wrapText", wrap);
            writer.writeEndElement();
            writer.writeEndElement();
        }
        writer.writeEndElement();

        // The built-in "Normal" style over cell-style format 0.
        writer.writeStartElement("cellStyles");
        writer.writeAttribute("count", "1");
        writer.writeStartElement("cellStyle");
        writer.writeAttribute("name", "Normal");
        writer.writeAttribute("xfId", "0");
        writer.writeAttribute("builtinId", "0");
        writer.writeEndElement();
        writer.writeEndElement();

        writer.writeStartElement("dxfs");
        writer.writeAttribute("count", "0");
        writer.writeEndElement();

        writer.writeStartElement("tableStyles");
        writer.writeAttribute("count", "0");
        writer.writeAttribute("defaultTableStyle", "TableStyleMedium9");
        writer.writeAttribute("defaultPivotStyle", "PivotStyleLight16");
        writer.writeEndElement();

        writer.writeEndDocument();
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw XMLWriterException("Can't write " + path + ": " + error.message());
    }
}

} // namespace rz
