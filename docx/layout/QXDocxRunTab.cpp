#include "docx/layout/QXDocxRunTab.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"

#include <cmath>
#include <cstdio>

namespace rz {

namespace {

constexpr double kTwipsPerPoint = 20.0;

} // namespace

std::shared_ptr<QXDocxRunTab> QXDocxRunTab::RunTapWithTabPostion(double tabPostion, double tabWidth)
{
    return std::make_shared<QXDocxRunTab>(tabPostion, tabWidth);
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunTab::copy() const
{
    return std::make_shared<QXDocxRunTab>(*this);
}

std::string QXDocxRunTab::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<QXDocxRunTab: " + std::string(address) + ": " + formatFixed(tabPostion_) + " " +
           formatFixed(tabWidth_) + ">";
}

void QXDocxRunTab::writeTabPropertyWithXMLWriter(XMLFileWriter& writer) const
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    const double twips = tabPostion_ * kTwipsPerPoint;
    writer.writeStartElementWithNamespace(w, "tab");
    writer.writeAttributeWithNamespace(w, "val", "left");
    writer.writeAttributeWithNamespace(w, "pos", std::isfinite(twips) ? formatFixed(twips, 0) : "0");
    writer.writeEndElement();
}

void QXDocxRunTab::writeWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "r");
    QXDocxUtilities::WriteRProperty(rProperty(), writer);
    writer.writeStartElementWithNamespace(w, "tab");
    writer.writeEndElement();
    writer.writeEndElement();
}

} // namespace rz
