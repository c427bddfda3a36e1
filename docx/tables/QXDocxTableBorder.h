// One cell edge: the stretch between two corners with the ruling lines
// that run along it, and the WordprocessingML border it draws (style,
// size, colour) derived from those lines.
#pragma once

#include "docx/tables/QXDocxTableRulingLine.h"

namespace rz {

class QXDocxTableBorder {
public:
    QXDocxTableBorder() = default;
    // The edge from point1 to point2: the lines both corners share, of the
    // edge's orientation, that reach the edge.
    QXDocxTableBorder(const QXDocxTableCorner& point1, const QXDocxTableCorner& point2, bool isHorizontal);

    bool isHorizontal() const { return isHorizontal_; }
    double borderLength() const { return borderLength_; }
    const QXDocxTableCorner& borderPoint1() const { return borderPoint1_; }
    const QXDocxTableCorner& borderPoint2() const { return borderPoint2_; }
    const Rect& bounds() const { return bounds_; }
    const QXDocxTableRulingLineArray& tableLines() const { return tableLines_; }
    // Takes every line of `lines` out of this edge's lines.
    void removeTableLines(const QXDocxTableRulingLineArray& lines);
    const QXDocxTableRulingLineArray& childLineArray() const { return childLineArray_; }
    const QXDocxTableRulingLineArray& styleLineArray() const { return styleLineArray_; }
    const std::vector<QXDocxRunPathPtr>& allRunPaths() const { return allRunPaths_; }

    // Finds the pieces of the lines that cover the edge, their paths and
    // the style lines among them.
    // `background` is the colour behind the table: lines of that colour
    // draw no border.
    void initProcessTableLines(const QXDocx_Color& background);

    // The border of the cell side: "nil" without lines; otherwise the
    // style, colour and size the style lines draw.
    QXDocx_Border borderProperty() const;
    // The darkest stroke colour of the style lines; else the darkest fill
    // of a thin filled source path; else black.
    QXDocx_Color borderColor() const;
    // The heaviest stroke among the style lines' paths stroked in `color`.
    double borderWidth(const QXDocx_Color& color) const;

    // The lines and pieces in the edge's orientation not shorter than
    // min(miniLength, 8.1), each once.
    static QXDocxTableRulingLineArray CreateAllChildTableLines(const QXDocxTableRulingLineArray& lines,
                                                               double miniLength, bool isHorizontal);
    // The source paths of the lines, each once.
    static std::vector<QXDocxRunPathPtr> CreateAllRunPathArray(const QXDocxTableRulingLineArray& lines);
    // The lines overlapping the segment p1-p2 by more than
    // max(2, miniLength), by increasing overlap.
    static QXDocxTableRulingLineArray FindTableLines(const QXDocxTableRulingLineArray& lines, Point p1, Point p2,
                                                     double miniLength);

private:
    bool isHorizontal_ = false;
    double borderLength_ = 0;
    QXDocxTableCorner borderPoint1_;
    QXDocxTableCorner borderPoint2_;
    Rect bounds_;
    QXDocx_Color background_{255, 255, 255, 255};
    QXDocxTableRulingLineArray tableLines_;
    QXDocxTableRulingLineArray childLineArray_;
    QXDocxTableRulingLineArray styleLineArray_;
    std::vector<QXDocxRunPathPtr> allRunPaths_;
};

} // namespace rz
