// Text-markup annotations (highlight, underline, strike-out, squiggly):
// they always draw themselves from their quadrilaterals, one path for all
// the marked lines, whether or not they have an appearance stream.
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

#include <optional>
#include <vector>

namespace rz {

// The values of QXPDFAnnotTextMarkup::markupType().
enum QXPDFAnnotTextMarkupType : long {
    QXPDFAnnotTextMarkupHighlight = 0,
    QXPDFAnnotTextMarkupStrikeOut = 1,
    QXPDFAnnotTextMarkupUnderline = 2,
    QXPDFAnnotTextMarkupSquiggly = 3,
};

class QXPDFAnnotTextMarkup : public QXPDFAnnot {
public:
    QXPDFAnnotTextMarkup() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    // One path event: the line rectangles filled (highlight) or a stroke
    // across each line (strike-out at half height, the others 2 above the
    // bottom).
    void startParser() override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotTextMarkup>(); }

    // "Highlight" 0, "StrikeOut" 1, "Underline" 2, "Squiggly" 3, others 0.
    static long PDFAnnotTextMarkupTypeForSubtype(const std::string& subtype);
    // The bounding rectangle of each complete quadrilateral.
    std::vector<Rect> lineRects() const;

    // /QuadPoints as points, four per quadrilateral; nothing when absent,
    // not a multiple of 8 numbers, or holding something else.
    const std::optional<std::vector<Point>>& quadrilateralPoints() const { return quadrilateralPoints_; }
    void setQuadrilateralPoints(std::optional<std::vector<Point>> v) { quadrilateralPoints_ = std::move(v); }
    long markupType() const { return markupType_; }
    void setMarkupType(long v) { markupType_ = v; }

private:
    std::optional<std::vector<Point>> quadrilateralPoints_;
    long markupType_ = QXPDFAnnotTextMarkupHighlight;
};

class QXPDFAnnotHighlight : public QXPDFAnnotTextMarkup {
public:
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotHighlight>(); }
};

class QXPDFAnnotUnderline : public QXPDFAnnotTextMarkup {
public:
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotUnderline>(); }
};

// Never chosen by the factory: a Squiggly annotation is read as a base
// annotation and drawn through its appearance stream.
class QXPDFAnnotSquiggly : public QXPDFAnnotTextMarkup {
public:
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotSquiggly>(); }
};

class QXPDFAnnotStrikeout : public QXPDFAnnotTextMarkup {
public:
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotStrikeout>(); }
};

} // namespace rz
