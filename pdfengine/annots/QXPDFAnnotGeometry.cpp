#include "pdfengine/annots/QXPDFAnnotGeometry.h"

#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"

namespace rz {

Path QXPDFAnnotGeometry::EllipsePathInRect(const Rect& rect)
{
    // The control-point distance of a quarter circle drawn as one cubic curve.
    constexpr double kKappa = 0.5522847498307936;
    const Rect r = rect.standardized();
    const double cx = r.minX() + r.width() / 2;
    const double cy = r.minY() + r.height() / 2;
    const double rx = r.width() / 2;
    const double ry = r.height() / 2;
    const double kx = rx * kKappa;
    const double ky = ry * kKappa;
    Path path;
    path.moveTo({cx + rx, cy});
    path.curveTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    path.curveTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    path.curveTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    path.curveTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    path.closeSubpath();
    return path;
}

void QXPDFAnnotGeometry::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnot::initWithPDFDictionary(dictionary);
    interiorColor_ = RGBColorWithArray(dictionary.get("IC"));
    borderEffect_ = QXPDFBorderEffect();
    if (const pdf::Object be = dictionary.get("BE"); be.isDictionary())
        borderEffect_.initWithPDFDictionary(be);
    geometryRect_ = Rect();
    setBorder(QXPDFBorderBS::BorderOfAnnotation(dictionary));
}

void QXPDFAnnotGeometry::startParser()
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
    if (type() == "Circle")
        path = EllipsePathInRect(bounds());
    else
        path.addRect(bounds());
    state->setCgPath(path);

    bool stroke = false;
    if (border() && border()->lineWidth() > 0) {
        setStroke(*state, displayColor(), "QXPDFAnnotGeometry", true);
        setBorderLineStyle(*state);
        stroke = true;
    }
    bool fill = false;
    if (!interiorColor_.isNull) {
        setFill(*state, displayInteriorColor(), "QXPDFAnnotGeometry", true);
        fill = true;
    }
    d->QXPDFAnnot_didScanPath_stroke_fill(self(), path, stroke, fill);
}

} // namespace rz
