#include "pdfengine/annots/QXPDFAnnotLine.h"

#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/annots/QXPDFAnnotGeometry.h"
#include "pdfengine/state/QXPDFRenderState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rz {

long QXPDFAnnotLine::PDFAnnotLineEndingStyleForSubtype(const std::string& name)
{
    static constexpr std::pair<const char*, long> kStyles[] = {
        {"Square", QXPDFAnnotLineEndingSquare},
        {"Circle", QXPDFAnnotLineEndingCircle},
        {"Diamond", QXPDFAnnotLineEndingDiamond},
        {"OpenArrow", QXPDFAnnotLineEndingOpenArrow},
        {"ClosedArrow", QXPDFAnnotLineEndingClosedArrow},
        {"Butt", QXPDFAnnotLineEndingButt},
        {"ROpenArrow", QXPDFAnnotLineEndingROpenArrow},
        {"RClosedArrow", QXPDFAnnotLineEndingRClosedArrow},
        {"Slash", QXPDFAnnotLineEndingSlash},
    };
    for (const auto& [n, style] : kStyles)
        if (name == n)
            return style;
    return QXPDFAnnotLineEndingNone;
}

std::optional<Affine> QXPDFAnnotLine::GetTransformWithStart(Point start, Point end, double length)
{
    if (!(length > 0) || !std::isfinite(length))
        return std::nullopt;
    const double dx = (end.x - start.x) / length;
    const double dy = (end.y - start.y) / length;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    return Affine{dx, dy, -dy, dx, start.x, start.y};
}

std::array<Point, 4> QXPDFAnnotLine::GetAxisAlignedDiamondPoints(double length, double headWidth, double headLength)
{
    return {Point{length - headLength, 0}, Point{length - headLength / 2, headWidth / 2}, Point{length, 0},
            Point{length - headLength / 2, -headWidth / 2}};
}

namespace {

// The distance between the points in single precision, as the ending
// frames use it.
double segmentLength(Point from, Point to)
{
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    if (!std::isfinite(length) || length > double(std::numeric_limits<float>::max()))
        return 0;
    return double(float(length));
}

} // namespace

std::optional<Path> QXPDFAnnotLine::EndingArrowFromPoint(Point from, Point to, double headWidth, double headLength,
                                                         bool closed)
{
    const double length = segmentLength(from, to);
    const std::optional<Affine> t = GetTransformWithStart(from, to, length);
    if (!t)
        return std::nullopt;
    Path path;
    path.moveTo({length - headLength, headWidth / 2}, &*t);
    path.lineTo({length, 0}, &*t);
    path.lineTo({length - headLength, -headWidth / 2}, &*t);
    if (closed)
        path.closeSubpath();
    else
        path.lineTo({length, 0}, &*t);
    return path;
}

std::optional<Path> QXPDFAnnotLine::EndingDiamondFromPoint(Point from, Point to, double headWidth,
                                                           double headLength)
{
    const double length = segmentLength(from, to);
    const std::optional<Affine> t = GetTransformWithStart(from, to, length);
    if (!t)
        return std::nullopt;
    const std::array<Point, 4> points = GetAxisAlignedDiamondPoints(length, headWidth, headLength);
    Path path;
    path.moveTo(points[0], &*t);
    for (const Point& p : points)
        path.lineTo(p, &*t);
    path.closeSubpath();
    return path;
}

std::optional<Path> QXPDFAnnotLine::ArrowPathFrom(Point start, Point end, double lineWidth, bool closed)
{
    return EndingArrowFromPoint(start, end, 3 * lineWidth, 3 * lineWidth, closed);
}

std::optional<Path> QXPDFAnnotLine::DiamondPathFrom(Point start, Point end, double lineWidth)
{
    return EndingDiamondFromPoint(start, end, 3 * lineWidth, 3 * lineWidth);
}

std::optional<Path> QXPDFAnnotLine::QXDFFAnnotLineEndingPathForStyle(long style, const Rect& box, Point start,
                                                                     Point end, double lineWidth)
{
    switch (style) {
    case QXPDFAnnotLineEndingSquare: {
        Path path;
        path.addRect(box);
        return path;
    }
    case QXPDFAnnotLineEndingCircle: return QXPDFAnnotGeometry::EllipsePathInRect(box);
    case QXPDFAnnotLineEndingDiamond: return DiamondPathFrom(start, end, lineWidth);
    case QXPDFAnnotLineEndingOpenArrow: return ArrowPathFrom(start, end, lineWidth, false);
    case QXPDFAnnotLineEndingClosedArrow: return ArrowPathFrom(start, end, lineWidth, true);
    default: return std::nullopt;
    }
}

void QXPDFAnnotLine::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnotMarkup::initWithPDFDictionary(dictionary);
    const pdf::Object l = dictionary.get("L");
    startPoint_ = {numberAt(l, 0, 0), numberAt(l, 1, 0)};
    endPoint_ = {numberAt(l, 2, 0), numberAt(l, 3, 0)};
    const pdf::Object le = dictionary.get("LE");
    startLineStyle_ = PDFAnnotLineEndingStyleForSubtype(le.at(0).name().value_or(""));
    endLineStyle_ = PDFAnnotLineEndingStyleForSubtype(le.at(1).name().value_or(""));
    interiorColor_ = RGBColorWithArray(dictionary.get("IC"));
    leaderLineLength_ = numberOf(dictionary, "LL", 0);
    leaderLineExtension_ = std::max(0.0, numberOf(dictionary, "LLE", 0));
    caption_ = dictionary.get("Cap").boolean().value_or(false);
    intent_ = dictionary.get("IT").name() == std::optional<std::string>("LineArrow") ? QXPDFAnnotLineIntentArrow
                                                                                    : QXPDFAnnotLineIntentDimension;
    leaderLineOffset_ = numberOf(dictionary, "LLO", 0);
    captionPos_ = dictionary.get("CP").name() == std::optional<std::string>("Top") ? QXPDFAnnotLineCaptionTop
                                                                                  : QXPDFAnnotLineCaptionInline;
    const pdf::Object co = dictionary.get("CO");
    captionTextHorizontal_ = numberAt(co, 0, 0);
    captionTextVertical_ = numberAt(co, 1, 0);
    setBorder(QXPDFBorderBS::BorderOfAnnotation(dictionary));
}

void QXPDFAnnotLine::startParser()
{
    if (appearStreams()) {
        QXPDFAnnot::startParser();
        return;
    }
    QXPDFAnnotDelegate* d = delegate();
    QXPDFRenderState* state = currentRenderingState();
    if (!d || !state)
        return;

    Path path;
    path.moveTo(startPoint_);
    path.lineTo(endPoint_);
    path.closeSubpath();

    // Endings need a direction: a line of no length has none.
    if (startPoint_ != endPoint_) {
        const double width = border() ? border()->lineWidth() : 0;
        const double size = width > double(0.1f) ? 2 * width : 4;
        auto boxAround = [size](Point p) { return Rect(p.x - size / 2, p.y - size / 2, size, size); };
        if (auto ending = QXDFFAnnotLineEndingPathForStyle(startLineStyle_, boxAround(startPoint_), endPoint_,
                                                           startPoint_, size / 2))
            path.addPath(*ending);
        if (auto ending = QXDFFAnnotLineEndingPathForStyle(endLineStyle_, boxAround(endPoint_), startPoint_,
                                                           endPoint_, size / 2))
            path.addPath(*ending);
    }

    state->setCgPath(path);
    setStroke(*state, displayColor(), "QXPDFAnnotLine", true);
    setBorderLineStyle(*state);
    bool fill = false;
    const bool noEndings =
        startLineStyle_ == QXPDFAnnotLineEndingNone && endLineStyle_ == QXPDFAnnotLineEndingNone;
    if (!noEndings && !interiorColor_.isNull) {
        setFill(*state, interiorColor_, "QXPDFAnnotLine", true);
        fill = true;
    }
    d->QXPDFAnnot_didScanPath_stroke_fill(self(), path, true, fill);
}

} // namespace rz
