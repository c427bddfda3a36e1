// Line annotations: without an appearance stream they draw the segment with
// its two line endings (squares, circles, diamonds, arrow heads) as one
// stroked path, filled with the interior colour when an ending is drawn.
#pragma once

#include "pdfengine/annots/QXPDFAnnotMarkup.h"
#include "platform/geometry/Path.h"

#include <array>
#include <optional>

namespace rz {

// Line-ending styles (/LE names).
enum QXPDFAnnotLineEndingStyle : long {
    QXPDFAnnotLineEndingSquare = 0,
    QXPDFAnnotLineEndingCircle = 1,
    QXPDFAnnotLineEndingDiamond = 2,
    QXPDFAnnotLineEndingOpenArrow = 3,
    QXPDFAnnotLineEndingClosedArrow = 4,
    QXPDFAnnotLineEndingNone = 5,
    QXPDFAnnotLineEndingButt = 6,
    QXPDFAnnotLineEndingROpenArrow = 7,
    QXPDFAnnotLineEndingRClosedArrow = 8,
    QXPDFAnnotLineEndingSlash = 9,
};

// The values of QXPDFAnnotLine::intent() and captionPos().
enum QXPDFAnnotLineIntent : long {
    QXPDFAnnotLineIntentDimension = 0,
    QXPDFAnnotLineIntentArrow = 1,
};
enum QXPDFAnnotLineCaptionPosition : long {
    QXPDFAnnotLineCaptionInline = 0,
    QXPDFAnnotLineCaptionTop = 1,
};

class QXPDFAnnotLine : public QXPDFAnnotMarkup {
public:
    QXPDFAnnotLine() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    void startParser() override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotLine>(); }

    // A line-ending name as a QXPDFAnnotLineEndingStyle (5, none, for any
    // unknown name).
    static long PDFAnnotLineEndingStyleForSubtype(const std::string& name);

    // The transform of an ending's local frame: x runs from `start` towards
    // `end`, and (length, 0) lies on `end`. Nothing for a length that is
    // not positive and finite.
    static std::optional<Affine> GetTransformWithStart(Point start, Point end, double length);
    // (L − h, 0), (L − h/2, w/2), (L, 0), (L − h/2, −w/2).
    static std::array<Point, 4> GetAxisAlignedDiamondPoints(double length, double headWidth, double headLength);
    // An arrow head (open: two strokes; closed: a triangle) or a diamond
    // with its tip on `to`, pointing away from `from`; nothing when the two
    // points coincide.
    static std::optional<Path> EndingArrowFromPoint(Point from, Point to, double headWidth, double headLength,
                                                    bool closed);
    static std::optional<Path> EndingDiamondFromPoint(Point from, Point to, double headWidth, double headLength);
    // The same with head width and length 3 × lineWidth.
    static std::optional<Path> ArrowPathFrom(Point start, Point end, double lineWidth, bool closed);
    static std::optional<Path> DiamondPathFrom(Point start, Point end, double lineWidth);
    // The ending of a style in its box: square and circle fill the box;
    // diamond and arrows point from `start` to `end`. Nothing for the
    // styles that draw nothing.
    static std::optional<Path> QXDFFAnnotLineEndingPathForStyle(long style, const Rect& box, Point start, Point end,
                                                                double lineWidth);

    Point startPoint() const { return startPoint_; }
    void setStartPoint(Point p) { startPoint_ = p; }
    Point endPoint() const { return endPoint_; }
    void setEndPoint(Point p) { endPoint_ = p; }
    long startLineStyle() const { return startLineStyle_; }
    void setStartLineStyle(long v) { startLineStyle_ = v; }
    long endLineStyle() const { return endLineStyle_; }
    void setEndLineStyle(long v) { endLineStyle_ = v; }
    const QXPDFColor& interiorColor() const { return interiorColor_; }
    void setInteriorColor(const QXPDFColor& c) { interiorColor_ = c; }
    double leaderLineLength() const { return leaderLineLength_; }
    void setLeaderLineLength(double v) { leaderLineLength_ = v; }
    double leaderLineExtension() const { return leaderLineExtension_; }
    void setLeaderLineExtension(double v) { leaderLineExtension_ = v; }
    bool caption() const { return caption_; }
    void setCaption(bool v) { caption_ = v; }
    long intent() const { return intent_; }
    void setIntent(long v) { intent_ = v; }
    double leaderLineOffset() const { return leaderLineOffset_; }
    void setLeaderLineOffset(double v) { leaderLineOffset_ = v; }
    long captionPos() const { return captionPos_; }
    void setCaptionPos(long v) { captionPos_ = v; }
    double captionTextHorizontal() const { return captionTextHorizontal_; }
    void setCaptionTextHorizontal(double v) { captionTextHorizontal_ = v; }
    double captionTextVertical() const { return captionTextVertical_; }
    void setCaptionTextVertical(double v) { captionTextVertical_ = v; }

private:
    Point startPoint_;
    Point endPoint_;
    long startLineStyle_ = QXPDFAnnotLineEndingNone;
    long endLineStyle_ = QXPDFAnnotLineEndingNone;
    QXPDFColor interiorColor_;
    double leaderLineLength_ = 0;
    double leaderLineExtension_ = 0;
    bool caption_ = false;
    long intent_ = QXPDFAnnotLineIntentDimension;
    double leaderLineOffset_ = 0;
    long captionPos_ = QXPDFAnnotLineCaptionInline;
    double captionTextHorizontal_ = 0;
    double captionTextVertical_ = 0;
};

} // namespace rz
