// Square and circle annotations: without an appearance stream they draw the
// rectangle or the ellipse of their bounds, stroked with the border and
// filled with the interior colour.
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"
#include "platform/geometry/Path.h"

namespace rz {

class QXPDFAnnotGeometry : public QXPDFAnnot {
public:
    QXPDFAnnotGeometry() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    void startParser() override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotGeometry>(); }

    // The interior colour to draw with (the opacity goes to the state's
    // alpha, as for displayColor).
    QXPDFColor displayInteriorColor() const { return interiorColor_; }
    // An ellipse inscribed in the rectangle: four cubic curves from the
    // middle of the right side, counter-clockwise, closed.
    static Path EllipsePathInRect(const Rect& rect);

    // /IC with three entries; otherwise the default colour.
    const QXPDFColor& interiorColor() const { return interiorColor_; }
    void setInteriorColor(const QXPDFColor& c) { interiorColor_ = c; }
    const QXPDFBorderEffect& borderEffect() const { return borderEffect_; }
    void setBorderEffect(const QXPDFBorderEffect& v) { borderEffect_ = v; }
    // Never read.
    const Rect& geometryRect() const { return geometryRect_; }
    void setGeometryRect(const Rect& r) { geometryRect_ = r; }

private:
    QXPDFColor interiorColor_;
    QXPDFBorderEffect borderEffect_;
    Rect geometryRect_;
};

class QXPDFAnnotSquare : public QXPDFAnnotGeometry {
public:
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotSquare>(); }
};

class QXPDFAnnotCircel : public QXPDFAnnotGeometry {
public:
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotCircel>(); }
};

} // namespace rz
