#include "pdfengine/annots/QXPDFAnnotTextMarkup.h"

#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rz {

long QXPDFAnnotTextMarkup::PDFAnnotTextMarkupTypeForSubtype(const std::string& subtype)
{
    if (subtype == "StrikeOut")
        return QXPDFAnnotTextMarkupStrikeOut;
    if (subtype == "Underline")
        return QXPDFAnnotTextMarkupUnderline;
    if (subtype == "Squiggly")
        return QXPDFAnnotTextMarkupSquiggly;
    return QXPDFAnnotTextMarkupHighlight;
}

void QXPDFAnnotTextMarkup::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnot::initWithPDFDictionary(dictionary);
    markupType_ = PDFAnnotTextMarkupTypeForSubtype(type());
    quadrilateralPoints_.reset();
    const pdf::Object quads = dictionary.get("QuadPoints");
    if (!quads.isArray() || quads.size() % 8 != 0)
        return;
    std::vector<Point> points;
    points.reserve(quads.size() / 2);
    for (size_t i = 0; i < quads.size(); i += 2) {
        const double x = numberAt(quads, i, std::numeric_limits<double>::quiet_NaN());
        const double y = numberAt(quads, i + 1, std::numeric_limits<double>::quiet_NaN());
        if (std::isnan(x) || std::isnan(y))
            return;
        points.push_back({x, y});
    }
    quadrilateralPoints_ = std::move(points);
}

std::vector<Rect> QXPDFAnnotTextMarkup::lineRects() const
{
    std::vector<Rect> rects;
    if (!quadrilateralPoints_)
        return rects;
    const std::vector<Point>& points = *quadrilateralPoints_;
    for (size_t i = 0; i + 4 <= points.size(); i += 4) {
        double minX = points[i].x, maxX = points[i].x, minY = points[i].y, maxY = points[i].y;
        for (size_t k = i + 1; k < i + 4; ++k) {
            minX = std::min(minX, points[k].x);
            maxX = std::max(maxX, points[k].x);
            minY = std::min(minY, points[k].y);
            maxY = std::max(maxY, points[k].y);
        }
        rects.emplace_back(minX, minY, maxX - minX, maxY - minY);
    }
    return rects;
}

void QXPDFAnnotTextMarkup::startParser()
{
    QXPDFAnnotDelegate* d = delegate();
    QXPDFRenderState* state = currentRenderingState();
    if (!d || !state)
        return;

    const std::vector<Rect> rects = lineRects();
    Path path;
    for (const Rect& r : rects) {
        const double x = r.minX(), y = r.minY(), w = r.width(), h = r.height();
        if (markupType_ == QXPDFAnnotTextMarkupHighlight) {
            path.addRect(r);
        } else {
            const double lineY = markupType_ == QXPDFAnnotTextMarkupStrikeOut ? y + h * 0.5 : y + 2;
            path.moveTo({x, lineY});
            path.lineTo({x + w, lineY});
        }
    }
    state->setCgPath(path);

    if (markupType_ == QXPDFAnnotTextMarkupHighlight) {
        setFill(*state, color(), "QXPDFAnnotGeometry", false);
        d->QXPDFAnnot_didScanPath_stroke_fill(self(), path, false, true);
        return;
    }
    // The stroke grows with the height of the first line: 6 % of it,
    // rounded up, at least 1.
    double width = 1;
    if (!rects.empty()) {
        const double scaled = 0.06 * rects.front().height();
        if (std::isfinite(scaled) && scaled < double(std::numeric_limits<float>::max()))
            width = std::max(1.0, double(std::ceil(float(scaled))));
    }
    setStroke(*state, color(), "QXPDFAnnotGeometry", false);
    state->setLineWidth(width);
    state->setLineDashPattern(markupType_ == QXPDFAnnotTextMarkupSquiggly ? std::vector<double>{width}
                                                                          : std::vector<double>());
    d->QXPDFAnnot_didScanPath_stroke_fill(self(), path, true, false);
}

} // namespace rz
