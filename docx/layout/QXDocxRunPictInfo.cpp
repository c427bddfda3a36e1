#include "docx/layout/QXDocxRunPictInfo.h"

#include "platform/core/Numbers.h"

namespace rz {

std::shared_ptr<QXDocxRunPictInfo> QXDocxRunPictInfo::makeEmpty() const
{
    return std::make_shared<QXDocxRunPictInfo>();
}

std::shared_ptr<QXDocxRunPictInfo> QXDocxRunPictInfo::copy() const
{
    std::shared_ptr<QXDocxRunPictInfo> result = makeEmpty();
    result->pdfTransform_ = pdfTransform_;
    result->displayX_ = displayX_;
    result->displayY_ = displayY_;
    result->displayWidth_ = displayWidth_;
    result->displayHeight_ = displayHeight_;
    result->wrapType_ = wrapType_;
    return result;
}

std::string QXDocxRunPictInfo::description() const
{
    return "\ndisplayX: " + formatFixed(displayX_) + "\r\ndisplayY: " + formatFixed(displayY_) +
           "\r\ndisplayWidth: " + formatFixed(displayWidth_) + "\r\ndisplayHeight: " + formatFixed(displayHeight_);
}

} // namespace rz
