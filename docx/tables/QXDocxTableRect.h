// The common base of table rows and cells: a quadrilateral given by four
// crossing points, with y growing downwards (the top-left corner has the
// smallest y).
#pragma once

#include "converter/ooxml/QXDocxWriterObject.h"
#include "docx/tables/QXDocxTableRulingLine.h"

namespace rz {

class QXDocxTableRect : public QXDocxWriterObject {
public:
    // bounds = (TL.x, TL.y, TR.x - TL.x, BL.y - TL.y).
    QXDocxTableRect(const QXDocxTableCorner& topLeft, const QXDocxTableCorner& topRight,
                    const QXDocxTableCorner& bottomLeft, const QXDocxTableCorner& bottomRight);

    const Rect& bounds() const { return bounds_; }
    void setBounds(const Rect& value) { bounds_ = value; }
    Rect displayRect() const { return bounds_; }
    const QXDocxTableCorner& pointTopLeft() const { return pointTopLeft_; }
    const QXDocxTableCorner& pointTopRight() const { return pointTopRight_; }
    const QXDocxTableCorner& pointBottomLeft() const { return pointBottomLeft_; }
    const QXDocxTableCorner& pointBottomRight() const { return pointBottomRight_; }

    // Nothing at this level.
    virtual void createXMLProperty() {}
    virtual void optimizeXMLProperty() {}
    void writeWithXMLWriter(XMLFileWriter&) override {}

private:
    Rect bounds_;
    QXDocxTableCorner pointTopLeft_;
    QXDocxTableCorner pointTopRight_;
    QXDocxTableCorner pointBottomLeft_;
    QXDocxTableCorner pointBottomRight_;
};

} // namespace rz
