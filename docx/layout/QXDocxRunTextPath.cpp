#include "docx/layout/QXDocxRunTextPath.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxVMLShapes.h"

#include <cmath>
#include <cstdio>

namespace rz {

namespace textpathwriting {

// "<name><value, 2 decimals>pt;"; a value that is not a number is
// written as 0.
std::string points2(const char* name, double value)
{
    return name + QXDocxVMLShapes::number(value, 2) + "pt;";
}

} // namespace textpathwriting

namespace TP = textpathwriting;

QXDocxRunTextPath::QXDocxRunTextPath(const QXDocxRunTextPath& other) : QXDocxRunPict(other), runText_(other.runText_)
{
    if (other.pictInfo_)
        pictInfo_ = std::make_shared<QXDocxTextPathInfo>(*other.pictInfo_);
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunTextPath::copy() const
{
    return std::make_shared<QXDocxRunTextPath>(*this);
}

Rect QXDocxRunTextPath::displayRect() const
{
    return pictInfo_ ? Rect{pictInfo_->displayX(), pictInfo_->displayY(), pictInfo_->displayWidth(),
                            pictInfo_->displayHeight()}
                     : Rect{};
}

std::string QXDocxRunTextPath::shapeStyle() const
{
    const QXDocxTextPathInfo info = pictInfo_ ? *pictInfo_ : QXDocxTextPathInfo();
    std::string style = "position:absolute;left:0;text-align:left;";
    style += TP::points2("margin-left:", info.displayX());
    style += TP::points2("margin-top:", info.displayY());
    style += TP::points2("width:", std::fabs(info.displayWidth()));
    style += TP::points2("height:", std::fabs(info.displayHeight()));
    style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;";
    const float rotation = info.rotation();
    if (rotation != 0 && std::isfinite(rotation))
        style += "rotation:" + QXDocxVMLShapes::number(rotation, 0) + ";";
    style += QXDocxVMLShapes::flipStyle(info.flipX(), info.flipY());
    style += "z-index:" + std::to_string(pictZIndex());
    return style;
}

void QXDocxRunTextPath::writeWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "r");
    QXDocxUtilities::WriteRProperty(rProperty(), writer);
    writer.writeStartElementWithNamespace(w, "pict");
    QXDocxVMLShapes::declareShapeTypeIfNeed(QXDocxVMLShapes::kTextPathShapeType, writer);
    _writeTextPath(writer);
    writer.writeEndElement();
    writer.writeEndElement();
}

void QXDocxRunTextPath::_writeTextPath(XMLFileWriter& writer)
{
    namespace names = QXDocxPackageNames;
    const QXDocxTextPathInfo info = pictInfo_ ? *pictInfo_ : QXDocxTextPathInfo();

    QXDocxVMLShapes::writeShapeHead(writer, QXDocxVMLShapes::nextTextPathName(), QXDocxVMLShapes::kTextPathShapeType,
                                    shapeStyle(),
                                    {info.filled(), info.fillcolorString(), info.stroked(), info.strokeweight(),
                                     info.strokecolorString()});

    writer.writeStartElementWithNamespace(names::kOffice, "extrusion");
    writer.writeAttributeWithNamespace(names::kVML, "ext", "view");
    writer.writeAttribute("autorotationcenter", "t");
    writer.writeEndElement();

    writer.writeStartElementWithNamespace(names::kVML, "textpath");
    writer.writeAttribute("style", QXDocxUtilities::TextPathStyleForRProperty(rProperty()));
    writer.writeAttribute("string", runText_);
    writer.writeEndElement();

    writer.writeStartElementWithNamespace(names::kWord10, "wrap");
    writer.writeAttribute("anchorx", "page");
    writer.writeAttribute("anchory", "page");
    writer.writeEndElement();
    writer.writeEndElement();
}

} // namespace rz
