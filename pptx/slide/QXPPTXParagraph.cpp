#include "pptx/slide/QXPPTXParagraph.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"

#include <algorithm>

namespace rz {

namespace {

std::uint64_t gScanIndex = 0;

} // namespace

QXPPTXRun::QXPPTXRun() : rProperty(QXPPTXUtilities::defaultRunProperty()) {}

std::uint64_t QXPPTXRun::nextScanIndex()
{
    return gScanIndex++;
}

void QXPPTXRun::writeRunWithXMLWriter(XMLFileWriter& writer) const
{
    const std::string& a = QXOpenXMLNameSpace::nameSpace_a();
    const QXPPTX_RunPr& r = rProperty;
    writer.writeStartElementWithNamespace(a, "r");
    writer.writeStartElementWithNamespace(a, "rPr");
    writer.writeAttribute("lang", r.lang);
    writer.writeAttribute("altLang", r.altLang);
    writer.writeAttribute("sz", QXPPTXUtilities::clampedNumber(double(r.sz) * 100, QXPPTXUtilities::kMinTextFontSize,
                                                               QXPPTXUtilities::kMaxTextFontSize));
    writer.writeAttribute("dirty", formatInteger(r.dirty));
    writer.writeAttribute("b", formatInteger(r.b));
    writer.writeAttribute("i", formatInteger(r.i));
    writer.writeAttribute("smtClean", formatInteger(r.smtClean));
    writer.writeStartElementWithNamespace(a, "solidFill");
    if (!r.rgbColor.empty()) {
        std::string color = r.rgbColor;
        color.erase(std::remove(color.begin(), color.end(), '#'), color.end());
        writer.writeStartElementWithNamespace(a, "srgbClr");
        writer.writeAttribute("val", color);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    for (const auto& [name, font] : {std::pair{"latin", &r.latin}, std::pair{"cs", &r.cs}}) {
        writer.writeStartElementWithNamespace(a, name);
        writer.writeAttribute("typeface", font->typeface);
        writer.writeAttribute("pitchFamily", font->pitchFamily);
        writer.writeAttribute("charset", font->charset);
        writer.writeEndElement();
    }
    writer.writeEndElement(); // rPr
    writer.writeStartElementWithNamespace(a, "t");
    writer.writeCharacters(text);
    writer.writeEndElement();
    writer.writeEndElement(); // r
}

QXPPTXParagraph::QXPPTXParagraph() : pProperty(QXPPTXUtilities::defaultPProperty()) {}

QXPPTXRun* QXPPTXParagraph::lastRunText() const
{
    return runArray.empty() ? nullptr : runArray.back().get();
}

double QXPPTXParagraph::textWidth() const
{
    double width = 0;
    for (const auto& run : runArray)
        width += run->textWidth;
    return width;
}

void QXPPTXParagraph::writeParagraphWithXMLWriter(XMLFileWriter& writer) const
{
    if (runArray.empty())
        return;
    const std::string& a = QXOpenXMLNameSpace::nameSpace_a();
    const QXPPTX_PPr& p = pProperty;
    writer.writeStartElementWithNamespace(a, "p");
    writer.writeStartElementWithNamespace(a, "pPr");
    if (p.marL != 0)
        writer.writeAttribute("marL", QXPPTXUtilities::clampedNumber(p.marL * 12700, 0, QXPPTXUtilities::kMaxTextMargin));
    writer.writeStartElementWithNamespace(a, "lnSpc");
    writer.writeStartElementWithNamespace(a, "spcPts");
    writer.writeAttribute("val", QXPPTXUtilities::clampedNumber(p.lnSpc * 100, 0, QXPPTXUtilities::kMaxTextSpacingPoint));
    writer.writeEndElement();
    writer.writeEndElement();
    if (p.tabList.pos > 0) {
        writer.writeStartElementWithNamespace(a, "tabLst");
        writer.writeStartElementWithNamespace(a, "tab");
        writer.writeAttribute("pos", QXPPTXUtilities::clampedNumber(p.tabList.pos * 12700, 0, 2147483647.0));
        writer.writeAttribute("algn", p.tabList.algn);
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndElement(); // pPr
    for (const auto& run : runArray)
        run->writeRunWithXMLWriter(writer);
    writer.writeEndElement(); // p
}

} // namespace rz
