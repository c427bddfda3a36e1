#include "docx/layout/QXDocxRunTextBox.h"

#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxVMLShapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace rz {

// Named, not anonymous: the layout sources are compiled together.
namespace textboxwriting {

// The right angle a rotation counts for, by the open bands around 90, 180
// and 270 degrees; 0 for any other.
int rightAngleBucket(double rotation)
{
    if (rotation > 85 && rotation < 95)
        return 1;
    if (rotation > 175 && rotation < 185)
        return 2;
    if (rotation > 265 && rotation < 275)
        return 3;
    return 0;
}

// "<prefix><value, whole points>pt;"; a value that is not a number is
// written as 0.
std::string wholePoints(const char* name, double value, const char* unit = "pt;")
{
    return name + QXDocxVMLShapes::number(value, 0) + unit;
}

// The size of the empty paragraph of a box without content, half-points.
constexpr const char* kEmptyBoxTextSize = "12";

} // namespace textboxwriting

namespace TB = textboxwriting;

QXDocxRunTextBox::QXDocxRunTextBox(const QXDocxRunTextBox& other)
    : QXDocxRunPict(other), paragraphArray_(other.paragraphArray_), allPageSectionArray_(other.allPageSectionArray_)
{
    if (other.pictInfo_)
        pictInfo_ = std::make_shared<QXDocxTextBoxInfo>(*other.pictInfo_);
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunTextBox::copy() const
{
    return std::make_shared<QXDocxRunTextBox>(*this);
}

Rect QXDocxRunTextBox::displayRect() const
{
    return pictInfo_ ? pictInfo_->textBoxRect() : Rect{};
}

QXDocxRunTextArray QXDocxRunTextBox::allRunTextArray() const
{
    QXDocxRunTextArray runs;
    if (!allPageSectionArray_.empty()) {
        for (const std::shared_ptr<QXDocxPageSection>& section : allPageSectionArray_) {
            QXDocxRunTextArray own = section->allRunTextArray();
            runs.insert(runs.end(), own.begin(), own.end());
        }
        return runs;
    }
    for (const QXDocxParagraphPtr& paragraph : paragraphArray_) {
        QXDocxRunTextArray own = paragraph->allRunTextArray();
        runs.insert(runs.end(), own.begin(), own.end());
    }
    return runs;
}

std::int64_t QXDocxRunTextBox::RotationOfRunTextBoxArray(const std::vector<QXDocxRunTextBoxPtr>& boxes)
{
    if (boxes.empty())
        return 0;
    std::array<std::size_t, 4> counts{};
    for (const QXDocxRunTextBoxPtr& box : boxes)
        ++counts[TB::rightAngleBucket(box && box->pictInfo() ? box->pictInfo()->rotation() : 0)];
    // The largest bucket; a later bucket wins a tie.
    int best = 0;
    for (int k = 1; k < 4; ++k)
        if (counts[k] >= counts[best])
            best = k;
    return counts[best] == 0 ? 0 : 90 * best;
}

std::string QXDocxRunTextBox::shapeStyle() const
{
    const QXDocxTextBoxInfo info = pictInfo_ ? *pictInfo_ : QXDocxTextBoxInfo();
    const double rotation = info.rotation();
    const double x = info.displayX();
    const double y = info.displayY();
    const double width = info.displayWidth();
    const double height = info.displayHeight();
    // The text box is turned about its centre. The exporter records where
    // the first line starts at its glyph tops: the right edge and top of a
    // box turned by 90 degrees, the left edge and bottom of one turned by
    // 270, the right edge and bottom of one turned by 180 (upside-down
    // glyphs have their tops below the baseline).
    double left = x;
    double top = y;
    if (rotation == 90) {
        left = x - width;
    } else if (rotation == 180) {
        left = x - width;
        top = y - height;
    } else if (rotation == 270) {
        top = y - height;
    }
    std::string style = "position:absolute;left:0;text-align:left;";
    style += TB::wholePoints("margin-left:", left);
    style += TB::wholePoints("margin-top:", top);
    style += TB::wholePoints("width:", width);
    style += TB::wholePoints("height:", height);
    style += "z-index:" + std::to_string(pictZIndex()) + ";";
    if (rotation == 180)
        style += "rotation:180;mso-wrap-edited:f;";
    style += "mso-wrap-style:square;";
    const QXPDFEdgeInsets& margin = info.textBoxMargin();
    style += TB::wholePoints("mso-wrap-distance-left:", margin.left);
    style += TB::wholePoints("mso-wrap-distance-top:", margin.top);
    style += TB::wholePoints("mso-wrap-distance-right:", margin.right);
    style += TB::wholePoints("mso-wrap-distance-bottom:", margin.bottom);
    style += "mso-position-horizontal:absolute;mso-position-horizontal-relative:page;"
             "mso-position-vertical:absolute;mso-position-vertical-relative:page;";
    style += "v-text-anchor:top";
    return style;
}

std::string QXDocxRunTextBox::textBoxStyle() const
{
    const double rotation = pictInfo_ ? pictInfo_->rotation() : 0;
    if (rotation == 90)
        return "layout-flow:vertical;mso-layout-flow-alt:right-to-left";
    if (rotation == 180)
        return "layout-flow:horizontal;mso-layout-flow-alt:left-to-right";
    if (rotation == 270)
        return "layout-flow:vertical;mso-layout-flow-alt:bottom-to-top";
    return "mso-fit-shape-to-text:t";
}

void QXDocxRunTextBox::writeWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "r");
    QXDocxUtilities::WriteRProperty(rProperty(), writer);
    writer.writeStartElementWithNamespace(w, "pict");
    // The text-box shape type is not declared: readers know it by its
    // number, and LibreOffice lays out text turned by 90 degrees only in a
    // box of the shape type it knows itself (a declared one keeps the
    // characters upright, one above the other).
    _writeTextBox(writer);
    writer.writeEndElement();
    writer.writeEndElement();
}

void QXDocxRunTextBox::_writeTextBox(XMLFileWriter& writer)
{
    namespace names = QXDocxPackageNames;
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    const QXDocxTextBoxInfo info = pictInfo_ ? *pictInfo_ : QXDocxTextBoxInfo();

    QXDocxVMLShapes::writeShapeHead(writer, QXDocxVMLShapes::nextTextBoxName(), QXDocxVMLShapes::kTextBoxShapeType,
                                    shapeStyle(),
                                    {info.filled(), info.fillcolorString(), info.stroked(), info.strokeweight(),
                                     info.strokecolorString()});

    // The border's dash.
    if (info.stroked() && info.strokeDashPattern() && !info.strokeDashPattern()->empty()) {
        writer.writeStartElementWithNamespace(names::kVML, "stroke");
        if (const auto dash = QXDashStyleStringForDashArray(*info.strokeDashPattern(), info.strokeweight()))
            writer.writeAttribute("dashstyle", *dash);
        if (info.strokeDashPhase() > 0)
            writer.writeAttribute("dashPhase", std::to_string(info.strokeDashPhase()));
        writer.writeEndElement();
    }

    writer.writeStartElementWithNamespace(names::kVML, "textbox");
    writer.writeAttribute("style", textBoxStyle());
    writer.writeAttribute("inset", "0pt,0pt,0pt,0pt");
    writer.writeStartElementWithNamespace(w, "txbxContent");
    _writeParagraphs(writer);
    writer.writeEndElement();
    writer.writeEndElement();

    writer.writeStartElementWithNamespace(names::kWord10, "wrap");
    writer.writeAttribute("anchorx", "page");
    writer.writeAttribute("anchory", "page");
    writer.writeEndElement();
    writer.writeEndElement();
}

void QXDocxRunTextBox::_writeParagraphs(XMLFileWriter& writer)
{
    if (!allPageSectionArray_.empty()) {
        for (const std::shared_ptr<QXDocxPageSection>& section : allPageSectionArray_)
            section->writeWithXMLWriter(writer);
        return;
    }
    if (!paragraphArray_.empty()) {
        for (const QXDocxParagraphPtr& paragraph : paragraphArray_) {
            paragraph->convertToWriteRunArrayFloatRunPict();
            paragraph->writeWithXMLWriter(writer);
        }
        return;
    }
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "p");
    writer.writeStartElementWithNamespace(w, "pPr");
    writer.writeStartElementWithNamespace(w, "rPr");
    for (const char* name : {"sz", "szCs"}) {
        writer.writeStartElementWithNamespace(w, name);
        writer.writeAttributeWithNamespace(w, "val", TB::kEmptyBoxTextSize);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
}

std::shared_ptr<QXDocxRunPictInfo> QXDocxTextBoxInfo::makeEmpty() const
{
    return std::make_shared<QXDocxTextBoxInfo>();
}

} // namespace rz
