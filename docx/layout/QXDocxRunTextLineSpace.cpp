#include "docx/layout/QXDocxRunTextLineSpace.h"

#include "docx/layout/QXDocxLayoutLimits.h"

namespace rz {

std::shared_ptr<QXDocxRunTextLineSpace> QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(
    QXDocxRunTextPtr left, QXDocxRunTextPtr right)
{
    if (!left && !right)
        return nullptr;

    Rect gap;
    if (left && right) {
        const QXPDF_CTMInfo& l = left->ctmInfo();
        const double width = right->ctmInfo().xLeft - l.xRight;
        if (width > 0)
            gap = Rect(l.xRight, l.yTop, width, l.frame.height());
        else
            gap = Rect(right->ctmInfo().xLeft - docxlimits::kTouchingGapWidth / 2, l.yTop,
                       docxlimits::kTouchingGapWidth, l.frame.height());
    } else if (left) {
        const QXPDF_CTMInfo& l = left->ctmInfo();
        gap = Rect(l.xRight, l.yTop, docxlimits::kOpenGapWidth, l.frame.height());
    } else {
        const QXPDF_CTMInfo& r = right->ctmInfo();
        gap = Rect(0, r.yTop, r.xLeft, r.frame.height());
    }

    auto space = std::make_shared<QXDocxRunTextLineSpace>();
    space->setSpaceRect(gap);
    space->setLeftRunText(std::move(left));
    space->setRightRunText(std::move(right));
    return space;
}

} // namespace rz
