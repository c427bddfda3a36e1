#include "xlsx/sheet/QXExcelRunText.h"

#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelUtilities.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace rz {

namespace {

// Font sizes a spreadsheet application accepts, points.
constexpr double kMinRunFontSize = 1;
constexpr double kMaxRunFontSize = 409;

bool isHexText(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

// The colour as the eight ARGB hex digits the rgb attribute takes: six
// digits get an opaque alpha; eight are taken as they are; anything else is
// black.
std::string argbColor(const std::string& color)
{
    if (color.size() == 6 && isHexText(color))
        return "FF" + color;
    if (color.size() == 8 && isHexText(color))
        return color;
    return "FF000000";
}

std::string fontSizeText(double size)
{
    if (!std::isfinite(size))
        size = 12;
    return formatFixed(std::clamp(size, kMinRunFontSize, kMaxRunFontSize), 0);
}

std::string pointText(const Point& p)
{
    return "[" + formatFixed(p.x) + ", " + formatFixed(p.y) + "]";
}

} // namespace

bool QXExcelRunTextProperty::isEqualToRPr(const QXExcelRunTextProperty& other) const
{
    return sz == other.sz && rFont == other.rFont && rgbColor == other.rgbColor && family == other.family;
}

bool QXExcelRunTextProperty::isSameToRPr(const QXExcelRunTextProperty& other) const
{
    return sz == other.sz && rgbColor == other.rgbColor;
}

Rect QXExcelRunText::frame() const
{
    return Rect(ctmInfo_.xLeft, ctmInfo_.yTop, textWidth_, ctmInfo_.yBottom - ctmInfo_.yTop);
}

std::shared_ptr<QXExcelRunText> QXExcelRunText::copy() const
{
    auto run = std::make_shared<QXExcelRunText>();
    run->pdfScanIndex_ = pdfScanIndex_;
    run->ctmInfo_ = ctmInfo_;
    run->text_ = text_;
    run->rPr_ = rPr_;
    return run;
}

void QXExcelRunText::writeXMLWith(XMLFileWriter& writer) const
{
    writeXMLWith(writer, text_);
}

void QXExcelRunText::writeXMLWith(XMLFileWriter& writer, std::string_view text) const
{
    const QXExcelManager& manager = QXExcelManager::sharedInstance();
    writer.writeStartElement("r");
    writer.writeStartElement("rPr");

    writer.writeStartElement("sz");
    writer.writeAttribute("val", fontSizeText(manager.isNeedDefaultFontSize() ? QXExcelUtilities::defaultFontSize()
                                                                               : rPr_.sz));
    writer.writeEndElement();

    writer.writeStartElement("color");
    writer.writeAttribute("rgb", argbColor(rPr_.rgbColor));
    writer.writeEndElement();

    writer.writeStartElement("rFont");
    writer.writeAttribute("val", manager.isNeedDefaultFontName() ? QXExcelUtilities::defaultFontName() : rPr_.rFont);
    writer.writeEndElement();

    writer.writeStartElement("b");
    writer.writeAttribute("val", rPr_.b ? "1" : "0");
    writer.writeEndElement();
    writer.writeStartElement("i");
    writer.writeAttribute("val", rPr_.i ? "1" : "0");
    writer.writeEndElement();

    writer.writeEndElement(); // rPr
    writer.writeStartElement("t");
    writer.writeAttribute("xml:space", "preserve");
    writer.writeCharacters(text);
    writer.writeEndElement();
    writer.writeEndElement(); // r
}

std::string QXExcelRunText::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<QXExcelRunText: " + std::string(address) + ":[pdfScanIndex:" + formatUnsigned(pdfScanIndex_) +
           "][baseLine:" + formatFixed(ctmInfo_.yBase, 2) + "][topLeft:" + pointText(ctmInfo_.topLeft) +
           "][bottomLeft:" + pointText(ctmInfo_.bottomLeft) + "][fontSize:" + formatShortest(rPr_.sz) +
           "][textWidth=" + formatFixed(textWidth_) + "][Text=" + text_ + "]>";
}

std::string QXExcelRunText::info() const
{
    return text_ + "(Index:" + formatUnsigned(pdfScanIndex_) + ", yTop:" + formatFixed(ctmInfo_.yTop, 2) +
           ", yBottom:" + formatFixed(ctmInfo_.yBottom, 2) + ", yBase:" + formatFixed(ctmInfo_.yBase, 2) +
           ", Width:" + formatFixed(textWidth_, 2) + ", xLeft:" + formatFixed(ctmInfo_.xLeft, 2) +
           ", xRight:" + formatFixed(ctmInfo_.xRight, 2) + ")";
}

} // namespace rz
