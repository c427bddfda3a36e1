#include "pptx/slide/QXPPTXPage.h"

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"
#include "pptx/slide/QXPPTXPart.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <tuple>

namespace rz {

QXPPTXPage::QXPPTXPage(std::uint64_t pageNumber, std::string rootFolder)
    : pageNumber_(pageNumber), rootFolder_(std::move(rootFolder))
{
    slidePath_ = rootFolder_ + "/ppt/slides/slide" + formatUnsigned(pageNumber_) + ".xml";
    relsPath_ = rootFolder_ + "/ppt/slides/_rels/slide" + formatUnsigned(pageNumber_) + ".xml.rels";
}

void QXPPTXPage::begainWritePage()
{
    sharepsArr.clear();
    pageRelsArr_.clear();
    pageRelsArr_.push_back({QXPPTXPart::relationshipType("slideLayout"), "../slideLayouts/slideLayout1.xml"});
}

std::optional<std::string> QXPPTXPage::findExistRelsWithImagePath(const std::string& mediaName) const
{
    const std::string target = "../media/" + mediaName;
    for (size_t i = 0; i < pageRelsArr_.size(); ++i)
        if (pageRelsArr_[i].target == target)
            return "rId" + formatUnsigned(i + 1);
    return std::nullopt;
}

std::string QXPPTXPage::addNewRelsWithImagePath(const std::string& mediaName)
{
    pageRelsArr_.push_back({QXPPTXPart::relationshipType("image"), "../media/" + mediaName});
    return "rId" + formatUnsigned(pageRelsArr_.size());
}

void QXPPTXPage::cachedTextBoxNewParagraph()
{
    auto paragraph = std::make_shared<QXPPTXParagraph>();
    if (!cachedTextBoxParagraphs.empty())
        paragraph->pProperty = cachedTextBoxParagraphs.back()->pProperty;
    cachedTextBoxParagraphs.push_back(std::move(paragraph));
}

QXPPTXParagraph& QXPPTXPage::cachedTextBoxLastParagraph()
{
    if (cachedTextBoxParagraphs.empty())
        cachedTextBoxParagraphs.push_back(std::make_shared<QXPPTXParagraph>());
    return *cachedTextBoxParagraphs.back();
}

double QXPPTXPage::cachedTextBoxWidthMax() const
{
    float widest = 0;
    for (const auto& paragraph : cachedTextBoxParagraphs)
        widest = std::max(widest, static_cast<float>(paragraph->pProperty.marL + paragraph->textWidth()));
    return widest;
}

double QXPPTXPage::cachedTextBoxHeight() const
{
    double height = 0;
    for (const auto& paragraph : cachedTextBoxParagraphs)
        height += paragraph->pProperty.lnSpc;
    return height;
}

void QXPPTXPage::writePage(XMLFileWriter& w) const
{
    const std::string& p = QXOpenXMLNameSpace::nameSpace_p();
    const std::string& a = QXOpenXMLNameSpace::nameSpace_a();
    w.setPrefix("a", a);
    w.setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    w.setPrefix("p", p);
    w.writeStartElementWithNamespace(p, "sld");
    w.writeStartElementWithNamespace(p, "cSld");
    w.writeStartElementWithNamespace(p, "spTree");
    w.writeStartElementWithNamespace(p, "nvGrpSpPr");
    w.writeStartElementWithNamespace(p, "cNvPr");
    w.writeAttribute("id", "1");
    w.writeAttribute("name", "");
    w.writeEndElement();
    w.writeEmptyElementWithNamespace(p, "cNvGrpSpPr");
    w.writeEmptyElementWithNamespace(p, "nvPr");
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "grpSpPr");
    w.writeStartElementWithNamespace(a, "xfrm");
    for (const auto& [name, x, y] : {std::tuple{"off", "x", "y"}, std::tuple{"ext", "cx", "cy"},
                                     std::tuple{"chOff", "x", "y"}, std::tuple{"chExt", "cx", "cy"}}) {
        w.writeStartElementWithNamespace(a, name);
        w.writeAttribute(x, "0");
        w.writeAttribute(y, "0");
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    std::uint64_t shapeId = 2;
    for (const auto& shape : sharepsArr)
        if (shape)
            shape->writeShapeWith(w, shapeId++);
    w.writeEndElement(); // spTree
    w.writeEndElement(); // cSld
    w.writeStartElementWithNamespace(p, "clrMapOvr");
    w.writeEmptyElementWithNamespace(a, "masterClrMapping");
    w.writeEndElement();
    w.writeEndElement(); // sld
}

void QXPPTXPage::endWritePage()
{
    try {
        QXPPTXPart::writeXMLPart(slidePath_, [this](XMLFileWriter& w) { writePage(w); });
        QXPPTXPart::writeXMLPart(relsPath_, [this](XMLFileWriter& w) {
            w.writeStartElement("Relationships");
            w.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_Rels());
            for (size_t i = 0; i < pageRelsArr_.size(); ++i) {
                w.writeStartElement("Relationship");
                w.writeAttribute("Id", "rId" + formatUnsigned(i + 1));
                w.writeAttribute("Type", pageRelsArr_[i].type);
                w.writeAttribute("Target", pageRelsArr_[i].target);
                w.writeEndElement();
            }
            w.writeEndElement();
        });
    } catch (...) {
        // A slide without its relationships is no slide.
        std::error_code ignored;
        std::filesystem::remove(slidePath_, ignored);
        std::filesystem::remove(relsPath_, ignored);
        throw;
    }
}

} // namespace rz
