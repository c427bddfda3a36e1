#include "docx/layout/QXDocxVMLShapes.h"

#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "platform/core/Numbers.h"

#include <cmath>
#include <set>

namespace rz {

namespace vmlshapes {

// The first shape id word processors hand out.
constexpr std::int64_t kFirstShapeNumber = 1025;

std::int64_t textBoxCount = 0;
std::int64_t textPathCount = 0;
std::int64_t shapeCount = 0;
std::set<int> declaredShapeTypes;

} // namespace vmlshapes

namespace VS = vmlshapes;

void QXDocxVMLShapes::reset()
{
    VS::textBoxCount = 0;
    VS::textPathCount = 0;
    VS::shapeCount = 0;
    VS::declaredShapeTypes.clear();
}

std::string QXDocxVMLShapes::nextTextBoxName()
{
    return "TextBox " + std::to_string(++VS::textBoxCount);
}

std::string QXDocxVMLShapes::nextTextPathName()
{
    return "TextPath " + std::to_string(++VS::textPathCount);
}

std::string QXDocxVMLShapes::nextShapeId()
{
    return "_x0000_s" + std::to_string(VS::kFirstShapeNumber + VS::shapeCount++);
}

std::string QXDocxVMLShapes::shapeTypeReference(int shapeType)
{
    return "#_x0000_t" + std::to_string(shapeType);
}

bool QXDocxVMLShapes::isShapeTypeDeclared(int shapeType)
{
    return VS::declaredShapeTypes.contains(shapeType);
}

void QXDocxVMLShapes::declareShapeTypeIfNeed(int shapeType, XMLFileWriter& writer)
{
    if (isShapeTypeDeclared(shapeType))
        return;
    if (shapeType == kTextBoxShapeType)
        writeTextBoxShapeType(writer);
    else if (shapeType == kTextPathShapeType)
        writeTextPathShapeType(writer);
    else
        return;
    VS::declaredShapeTypes.insert(shapeType);
}

void QXDocxVMLShapes::writeTextBoxShapeType(XMLFileWriter& writer)
{
    namespace names = QXDocxPackageNames;
    writer.writeStartElementWithNamespace(names::kVML, "shapetype");
    writer.writeAttribute("id", "_x0000_t202");
    writer.writeAttribute("coordsize", "21600,21600");
    writer.writeAttributeWithNamespace(names::kOffice, "spt", "202");
    writer.writeAttribute("path", "m,l,21600r21600,l21600,xe");
    writer.writeStartElementWithNamespace(names::kVML, "stroke");
    writer.writeAttribute("joinstyle", "miter");
    writer.writeEndElement();
    writer.writeStartElementWithNamespace(names::kVML, "path");
    writer.writeAttribute("gradientshapeok", "t");
    writer.writeAttributeWithNamespace(names::kOffice, "connecttype", "rect");
    writer.writeEndElement();
    writer.writeEndElement();
}

void QXDocxVMLShapes::writeTextPathShapeType(XMLFileWriter& writer)
{
    // The plain-text word-art shape: the text is stretched along the
    // shape's middle, from its left edge to its right edge.
    namespace names = QXDocxPackageNames;
    writer.writeStartElementWithNamespace(names::kVML, "shapetype");
    writer.writeAttribute("id", "_x0000_t136");
    writer.writeAttribute("coordsize", "21600,21600");
    writer.writeAttributeWithNamespace(names::kOffice, "spt", "136");
    writer.writeAttribute("adj", "10800");
    writer.writeAttribute("path", "m@7,l@8,m@5,21600l@6,21600e");
    writer.writeStartElementWithNamespace(names::kVML, "formulas");
    for (const char* equation :
         {"sum #0 0 10800", "prod #0 2 1", "sum 21600 0 @1", "sum 0 0 @2", "sum 21600 0 @3", "if @0 @3 0",
          "if @0 21600 @1", "if @0 0 @2", "if @0 @4 21600", "mid @5 @6", "mid @8 @5", "mid @7 @8", "mid @6 @7",
          "sum @6 0 @5"}) {
        writer.writeStartElementWithNamespace(names::kVML, "f");
        writer.writeAttribute("eqn", equation);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeStartElementWithNamespace(names::kVML, "path");
    writer.writeAttribute("textpathok", "t");
    writer.writeAttributeWithNamespace(names::kOffice, "connecttype", "custom");
    writer.writeAttributeWithNamespace(names::kOffice, "connectlocs", "@9,0;@10,10800;@11,21600;@12,10800");
    writer.writeAttributeWithNamespace(names::kOffice, "connectangles", "270,180,90,0");
    writer.writeEndElement();
    writer.writeStartElementWithNamespace(names::kVML, "textpath");
    writer.writeAttribute("on", "t");
    writer.writeAttribute("fitshape", "t");
    writer.writeEndElement();
    writer.writeStartElementWithNamespace(names::kVML, "handles");
    writer.writeStartElementWithNamespace(names::kVML, "h");
    writer.writeAttribute("position", "#0,bottomRight");
    writer.writeAttribute("xrange", "6629,14971");
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeStartElementWithNamespace(names::kOffice, "lock");
    writer.writeAttributeWithNamespace(names::kVML, "ext", "edit");
    writer.writeAttribute("text", "t");
    writer.writeAttribute("shapetype", "t");
    writer.writeEndElement();
    writer.writeEndElement();
}

void QXDocxVMLShapes::writeShapeHead(XMLFileWriter& writer, const std::string& name, int shapeType,
                                     const std::string& style, const Paint& paint)
{
    namespace names = QXDocxPackageNames;
    writer.writeStartElementWithNamespace(names::kVML, "shape");
    writer.writeAttribute("id", name);
    writer.writeAttributeWithNamespace(names::kOffice, "spid", nextShapeId());
    writer.writeAttribute("type", shapeTypeReference(shapeType));
    writer.writeAttribute("style", style);
    writer.writeAttribute("filled", paint.filled ? "t" : "f");
    if (paint.filled && paint.fillcolor)
        writer.writeAttribute("fillcolor", *paint.fillcolor);
    writer.writeAttribute("stroked", paint.stroked ? "t" : "f");
    if (paint.stroked) {
        writer.writeAttribute("strokeweight", number(paint.strokeweight, 0) + "pt");
        if (paint.strokecolor)
            writer.writeAttribute("strokecolor", *paint.strokecolor);
    }
}

std::string QXDocxVMLShapes::number(double value, int precision)
{
    return formatFixed(std::isfinite(value) ? value : 0.0, precision);
}

std::string QXDocxVMLShapes::flipStyle(bool flipX, bool flipY)
{
    if (flipX && flipY)
        return "flip:x y;";
    if (flipX)
        return "flip:x;";
    return flipY ? "flip:y;" : "";
}

} // namespace rz
