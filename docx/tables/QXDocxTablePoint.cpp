#include "docx/tables/QXDocxTablePoint.h"

#include "platform/core/Numbers.h"

#include <cstdio>

namespace rz {

void QXDocxTablePoint::setType(std::uint8_t type)
{
    type_ = type;
    isIntersectShow_ = (type & kTypeIntersectShow) != 0;
    isEnd_ = (type & kTypeEnd) != 0;
    isIntersectHide_ = (type & kTypeIntersectHide) != 0;
    isDeleted_ = (type & kTypeDeleted) != 0;
    isIntersect_ = isIntersectShow_ && isIntersectHide_;
}

std::string QXDocxTablePoint::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<QXDocxTablePoint: " + std::string(address) + ":[point:{" + formatShortest(point_.x) + ", " +
           formatShortest(point_.y) + "}][type:" + std::to_string(type_) + "]>";
}

} // namespace rz
