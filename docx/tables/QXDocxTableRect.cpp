#include "docx/tables/QXDocxTableRect.h"

namespace rz {

QXDocxTableRect::QXDocxTableRect(const QXDocxTableCorner& topLeft, const QXDocxTableCorner& topRight,
                                 const QXDocxTableCorner& bottomLeft, const QXDocxTableCorner& bottomRight)
    : bounds_(topLeft.point.x, topLeft.point.y, topRight.point.x - topLeft.point.x,
              bottomLeft.point.y - topLeft.point.y),
      pointTopLeft_(topLeft), pointTopRight_(topRight), pointBottomLeft_(bottomLeft), pointBottomRight_(bottomRight)
{
}

} // namespace rz
