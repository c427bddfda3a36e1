#include "pptx/slide/QXPPTXShape.h"

#include "converter/ooxml/QXHexColor.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rz {

namespace {

using U = QXPPTXUtilities;

const std::string& nsA()
{
    return QXOpenXMLNameSpace::nameSpace_a();
}
const std::string& nsP()
{
    return QXOpenXMLNameSpace::nameSpace_p();
}

void start(XMLFileWriter& w, const std::string& ns, std::string_view name)
{
    w.writeStartElementWithNamespace(ns, name);
}

void empty(XMLFileWriter& w, const std::string& ns, std::string_view name,
           std::initializer_list<std::pair<std::string_view, std::string>> attributes = {})
{
    w.writeStartElementWithNamespace(ns, name);
    for (const auto& [attribute, value] : attributes)
        w.writeAttribute(attribute, value);
    w.writeEndElement();
}

void writeOffExt(XMLFileWriter& w, double x, double y, double cx, double cy)
{
    empty(w, nsA(), "off", {{"x", U::emuCoordinate(x)}, {"y", U::emuCoordinate(y)}});
    empty(w, nsA(), "ext", {{"cx", U::emuLength(cx)}, {"cy", U::emuLength(cy)}});
}

void writeRectGeometry(XMLFileWriter& w)
{
    start(w, nsA(), "prstGeom");
    w.writeAttribute("prst", "rect");
    empty(w, nsA(), "avLst");
    w.writeEndElement();
    empty(w, nsA(), "noFill");
}

void writeColor(XMLFileWriter& w, const std::string& hex, float alpha)
{
    start(w, nsA(), "solidFill");
    start(w, nsA(), "srgbClr");
    std::string color = hex;
    color.erase(std::remove(color.begin(), color.end(), '#'), color.end());
    w.writeAttribute("val", color);
    empty(w, nsA(), "alpha", {{"val", U::fraction(alpha)}});
    w.writeEndElement();
    w.writeEndElement();
}

bool isUsableDash(const std::vector<double>& pattern)
{
    return std::any_of(pattern.begin(), pattern.end(), [](double v) { return std::isfinite(v) && v > 0; });
}

} // namespace

std::string QXPPTXFreeformInfo::fillcolorString() const
{
    return QXHexColor::getHexColorFromCGColor(filled && fillcolor ? *fillcolor : QXHexColor::whiteCGColor());
}

std::string QXPPTXFreeformInfo::strokecolorString() const
{
    return QXHexColor::getHexColorFromCGColor(stroked && strokecolor ? *strokecolor : QXHexColor::whiteCGColor());
}

std::optional<std::string> QXPPTXFreeformInfo::lineCapString() const
{
    switch (lineCap) {
    case 0:
        return "flat";
    case 1:
        return "rnd";
    case 2:
        return "sq";
    default:
        return std::nullopt;
    }
}

std::string QXPPTXFreeformInfo::prstDashString() const
{
    if (!isUsableDash(strokeDashPattern))
        return "solid";
    switch (strokeDashPattern.size() / 2) {
    case 1:
        return "dash";
    case 2:
        return "dashDot";
    case 3:
        return "lgDashDotDot";
    default:
        return "solid";
    }
}

QXPPTXImageInfo QXPPTXImageInfo::initWithTransform(const Affine& t, double opacity)
{
    QXPPTXImageInfo info;
    const Point p00 = apply(Point{0, 0}, t), p10 = apply(Point{1, 0}, t), p11 = apply(Point{1, 1}, t),
                p01 = apply(Point{0, 1}, t);
    info.vertices = {p00, p10, p11, p01};
    info.displayWidth = std::hypot(p10.x - p00.x, p10.y - p00.y);
    info.displayHeight = std::hypot(p11.x - p10.x, p11.y - p10.y);
    info.center = Point{(p00.x + p11.x) / 2, (p00.y + p11.y) / 2};
    info.displayX = info.center.x - info.displayWidth / 2;
    info.displayY = info.center.y - info.displayHeight / 2;
    double angle = std::atan2(p10.y - p00.y, p10.x - p00.x) * 180 / std::numbers::pi;
    angle = std::fmod(angle, 360.0);
    if (angle < 0)
        angle += 360;
    info.rotation = static_cast<float>(angle);
    info.flipX = false;
    const double cross = (p10.y - p11.y) * (p00.x - p10.x) - (p00.y - p10.y) * (p10.x - p11.x);
    info.flipY = cross > 0;
    info.opacity = static_cast<float>(opacity);
    return info;
}

QXPPTXPathElement QXPPTXPathElement::initWithCGPathElement(const PathElement& element)
{
    QXPPTXPathElement e;
    e.type = static_cast<std::int32_t>(element.type);
    if (e.type < 0 || e.type > 4)
        return e;
    e.numberOfPoints = pointCount(element.type);
    e.points.assign(element.points.begin(), element.points.begin() + e.numberOfPoints);
    return e;
}

QXPPTXShape::QXPPTXShape(std::uint64_t spType) : bodyPr(QXPPTXUtilities::defaultTextBodyProperty()), spType_(spType)
{
}

void QXPPTXShape::writeShapeWith(XMLFileWriter& writer, std::uint64_t shapeId) const
{
    start(writer, nsP(), "sp");
    write_nvSpPr(writer, shapeId);
    write_spPr(writer);
    write_style(writer);
    write_txBody(writer);
    writer.writeEndElement();
}

// --- Text box ---

void QXPPTXTextbox::write_nvSpPr(XMLFileWriter& w, std::uint64_t shapeId) const
{
    start(w, nsP(), "nvSpPr");
    empty(w, nsP(), "cNvPr", {{"id", formatUnsigned(shapeId)}, {"name", "TextBox " + formatUnsigned(shapeId)}});
    empty(w, nsP(), "cNvSpPr", {{"txBox", "1"}});
    empty(w, nsP(), "nvPr");
    w.writeEndElement();
}

void QXPPTXTextbox::write_spPr(XMLFileWriter& w) const
{
    const QXPPTXTextBoxInfo& info = spInfo;
    const bool sideways = info.rotation == 90 || info.rotation == 270;
    // The box's own (unturned) size; (displayX, displayY) is where its top
    // left corner lies once turned, and the box turns about its centre.
    const double cx = sideways ? info.displayHeight : info.displayWidth;
    const double cy = sideways ? info.displayWidth : info.displayHeight;
    const double r = info.rotation * std::numbers::pi / 180;
    const double ux = std::cos(r), uy = std::sin(r);
    const double centreX = info.displayX + ux * cx / 2 - uy * cy / 2;
    const double centreY = info.displayY + uy * cx / 2 + ux * cy / 2;
    start(w, nsP(), "spPr");
    start(w, nsA(), "xfrm");
    if (info.rotation != 0)
        w.writeAttribute("rot", U::angle(info.rotation));
    writeOffExt(w, centreX - cx / 2, centreY - cy / 2, cx, cy);
    w.writeEndElement();
    writeRectGeometry(w);
    w.writeEndElement();
}

void QXPPTXTextbox::write_txBody(XMLFileWriter& w) const
{
    start(w, nsP(), "txBody");
    start(w, nsA(), "bodyPr");
    w.writeAttribute("wrap", bodyPr.warp);
    w.writeAttribute("lIns", formatInteger(bodyPr.lIns));
    w.writeAttribute("tIns", formatInteger(bodyPr.tIns));
    w.writeAttribute("rIns", formatInteger(bodyPr.rIns));
    w.writeAttribute("rtlCol", formatInteger(bodyPr.rtlCol));
    // The box is sized to its text already; a box that grew to fit the
    // text as set in a substitute font would grow about its centre and
    // move the text off its place.
    w.writeEndElement();
    empty(w, nsA(), "lstStyle");
    bool wrote = false;
    for (const auto& paragraph : paragraphs) {
        if (paragraph && !paragraph->runArray.empty()) {
            paragraph->writeParagraphWithXMLWriter(w);
            wrote = true;
        }
    }
    if (!wrote) // a text body holds at least one paragraph
        empty(w, nsA(), "p");
    w.writeEndElement();
}

// --- Freeform ---

std::vector<QXPPTXPathElement> QXPPTXFreeform::pointsWithCGPath(const Path& path)
{
    std::vector<QXPPTXPathElement> elements;
    elements.reserve(path.elements().size());
    for (const PathElement& element : path.elements())
        elements.push_back(QXPPTXPathElement::initWithCGPathElement(element));
    return elements;
}

void QXPPTXFreeform::write_nvSpPr(XMLFileWriter& w, std::uint64_t shapeId) const
{
    start(w, nsP(), "nvSpPr");
    empty(w, nsP(), "cNvPr", {{"id", formatUnsigned(shapeId)}, {"name", "Freeform " + formatUnsigned(shapeId)}});
    empty(w, nsP(), "cNvSpPr");
    empty(w, nsP(), "nvPr");
    w.writeEndElement();
}

void QXPPTXFreeform::write_SpPr_custGeom(XMLFileWriter& w) const
{
    const std::string W = U::emuLength(spInfo.displayWidth);
    const std::string H = U::emuLength(spInfo.displayHeight);
    const Point o = spInfo.displayOrigin();
    const std::vector<QXPPTXPathElement> elements = pointsWithCGPath(runCGPath);

    start(w, nsA(), "custGeom");
    empty(w, nsA(), "avLst");
    start(w, nsA(), "gdLst");
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].points.empty())
            continue;
        const Point last = elements[i].points.back();
        const std::string index = formatUnsigned(i);
        empty(w, nsA(), "gd",
              {{"name", "connsiteX" + index}, {"fmla", "*/ " + U::emuCoordinate(last.x - o.x) + " w " + W}});
        empty(w, nsA(), "gd",
              {{"name", "connsiteY" + index}, {"fmla", "*/ " + U::emuCoordinate(last.y - o.y) + " h " + H}});
    }
    w.writeEndElement();
    empty(w, nsA(), "ahLst");
    start(w, nsA(), "cxnLst");
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].points.empty())
            continue;
        const std::string index = formatUnsigned(i);
        start(w, nsA(), "cxn");
        w.writeAttribute("ang", index);
        empty(w, nsA(), "pos", {{"x", "connsiteX" + index}, {"y", "connsiteY" + index}});
        w.writeEndElement();
    }
    w.writeEndElement();
    empty(w, nsA(), "rect", {{"l", "l"}, {"t", "t"}, {"r", "r"}, {"b", "b"}});
    start(w, nsA(), "pathLst");
    start(w, nsA(), "path");
    w.writeAttribute("w", W);
    w.writeAttribute("h", H);
    // Every close is written, so that a stroked subpath keeps its closing
    // edge.
    for (const QXPPTXPathElement& e : elements) {
        if (e.type == 4) {
            empty(w, nsA(), "close");
            continue;
        }
        if (e.points.empty())
            continue;
        const char* name = e.type == 1 ? "lnTo" : e.type == 2 ? "quadBezTo" : e.type == 3 ? "cubicBezTo" : "moveTo";
        start(w, nsA(), name);
        for (const Point& p : e.points)
            empty(w, nsA(), "pt", {{"x", U::emuCoordinate(p.x - o.x)}, {"y", U::emuCoordinate(p.y - o.y)}});
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
}

void QXPPTXFreeform::writeDash(XMLFileWriter& w) const
{
    const std::vector<double>& pattern = spInfo.strokeDashPattern;
    if (!isUsableDash(pattern) || pattern.size() == 2 || pattern.size() == 6) {
        empty(w, nsA(), "prstDash", {{"val", pattern.size() == 2 && isUsableDash(pattern) ? "dash"
                                             : pattern.size() == 6 && isUsableDash(pattern) ? "lgDashDotDot"
                                                                                            : "solid"}});
        return;
    }
    // Custom dashes are in 1000ths of a percent of the line width; an odd
    // pattern repeats once so that every dash has its space.
    std::vector<double> values = pattern;
    if (values.size() % 2 == 1)
        values.insert(values.end(), pattern.begin(), pattern.end());
    const double width = spInfo.strokeweight > 0 ? spInfo.strokeweight : 1;
    start(w, nsA(), "custDash");
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        auto percent = [&](double v) {
            return U::clampedNumber(v / width * 100000, 0, U::kMaxPositivePercentage);
        };
        empty(w, nsA(), "ds", {{"d", percent(values[i])}, {"sp", percent(values[i + 1])}});
    }
    w.writeEndElement();
}

void QXPPTXFreeform::write_spPr(XMLFileWriter& w) const
{
    start(w, nsP(), "spPr");
    start(w, nsA(), "xfrm");
    writeOffExt(w, spInfo.displayX, spInfo.displayY, spInfo.displayWidth, spInfo.displayHeight);
    w.writeEndElement();
    write_SpPr_custGeom(w);
    writeColor(w, spInfo.fillcolorString(), spInfo.fillAlpha());
    start(w, nsA(), "ln");
    w.writeAttribute("w", U::clampedNumber(spInfo.strokeweight * 12700, 0, U::kMaxLineWidth));
    if (const auto cap = spInfo.lineCapString())
        w.writeAttribute("cap", *cap);
    writeColor(w, spInfo.strokecolorString(), spInfo.strokeAlpha());
    writeDash(w);
    w.writeEndElement();
    w.writeEndElement();
}

void QXPPTXFreeform::write_style(XMLFileWriter& w) const
{
    start(w, nsP(), "style");
    start(w, nsA(), "lnRef");
    w.writeAttribute("idx", "1");
    start(w, nsA(), "schemeClr");
    w.writeAttribute("val", "accent1");
    empty(w, nsA(), "shade", {{"val", "50000"}});
    w.writeEndElement();
    w.writeEndElement();
    for (const auto& [name, idx] : {std::pair{"fillRef", "1"}, std::pair{"effectRef", "0"}}) {
        start(w, nsA(), name);
        w.writeAttribute("idx", idx);
        empty(w, nsA(), "schemeClr", {{"val", "accent1"}});
        w.writeEndElement();
    }
    start(w, nsA(), "fontRef");
    w.writeAttribute("idx", "minor");
    empty(w, nsA(), "schemeClr", {{"val", "lt1"}});
    w.writeEndElement();
    w.writeEndElement();
}

void QXPPTXFreeform::write_txBody(XMLFileWriter& w) const
{
    const QXPPTX_PPr p = paragraphs.empty() || !paragraphs.back() ? QXPPTXUtilities::defaultPProperty()
                                                                  : paragraphs.back()->pProperty;
    start(w, nsP(), "txBody");
    empty(w, nsA(), "bodyPr", {{"rtlCol", formatUnsigned(bodyPr.rtlCol)}, {"anchor", bodyPr.anchor}});
    empty(w, nsA(), "lstStyle");
    start(w, nsA(), "p");
    empty(w, nsA(), "pPr", {{"algn", p.algn}});
    empty(w, nsA(), "endParaRPr", {{"lang", p.endParaRPr.lang}, {"altLang", p.endParaRPr.altLang}});
    w.writeEndElement();
    w.writeEndElement();
}

// --- Picture ---

void QXPPTXPicture::writeShapeWith(XMLFileWriter& writer, std::uint64_t shapeId) const
{
    start(writer, nsP(), "pic");
    write_nvPicPr(writer, shapeId);
    write_blipFill(writer);
    writePictureSpPr(writer);
    writer.writeEndElement();
}

void QXPPTXPicture::write_nvPicPr(XMLFileWriter& w, std::uint64_t shapeId) const
{
    start(w, nsP(), "nvPicPr");
    empty(w, nsP(), "cNvPr",
          {{"id", formatUnsigned(shapeId)}, {"name", "Picture " + formatUnsigned(shapeId)}, {"descr", ""}});
    start(w, nsP(), "cNvPicPr");
    empty(w, nsA(), "picLocks", {{"noChangeAspect", "0"}, {"noChangeArrowheads", "0"}});
    w.writeEndElement();
    empty(w, nsP(), "nvPr");
    w.writeEndElement();
}

void QXPPTXPicture::write_blipFill(XMLFileWriter& w) const
{
    start(w, nsP(), "blipFill");
    start(w, nsA(), "blip");
    w.writeAttributeWithNamespace(QXOpenXMLNameSpace::nameSpace_r(), "embed", runImageID);
    if (pictInfo.opacity < 1)
        empty(w, nsA(), "alphaModFix", {{"amt", U::fraction(pictInfo.opacity)}});
    w.writeEndElement();
    empty(w, nsA(), "srcRect");
    start(w, nsA(), "stretch");
    empty(w, nsA(), "fillRect");
    w.writeEndElement();
    w.writeEndElement();
}

void QXPPTXPicture::writePictureSpPr(XMLFileWriter& w) const
{
    const QXPPTXImageInfo& info = pictInfo;
    start(w, nsP(), "spPr");
    w.writeAttribute("bwMode", "auto");
    start(w, nsA(), "xfrm");
    if (info.rotation != 0)
        w.writeAttribute("rot", U::angle(info.rotation));
    if (info.flipX)
        w.writeAttribute("flipH", "1");
    if (info.flipY)
        w.writeAttribute("flipV", "1");
    writeOffExt(w, info.displayX, info.displayY, info.displayWidth, info.displayHeight);
    w.writeEndElement();
    writeRectGeometry(w);
    w.writeEndElement();
}

} // namespace rz
