// The horizontal gap between two neighbouring text runs of one line, or
// between a run and the line's end (display space, points).
#pragma once

#include "docx/layout/QXDocxRunText.h"

namespace rz {

class QXDocxRunTextLineSpace {
public:
    QXDocxRunTextLineSpace() = default;

    // The gap between `left` and `right` (either may be nullptr):
    // - both, apart: from left's right edge to right's left edge, at left's
    //   top and frame height;
    // - both, touching or overlapping: 0.2 wide, centred on right's left edge;
    // - only left: from its right edge, open to the right;
    // - only right: from the page's left edge to its left edge, at its top
    //   and frame height.
    // nullptr when both are nullptr.
    static std::shared_ptr<QXDocxRunTextLineSpace> RunTextLineSpaceWithLeftRunText(QXDocxRunTextPtr left,
                                                                                    QXDocxRunTextPtr right);

    const Rect& spaceRect() const { return spaceRect_; }
    void setSpaceRect(const Rect& rect) { spaceRect_ = rect; }
    const QXDocxRunTextPtr& leftRunText() const { return leftRunText_; }
    void setLeftRunText(QXDocxRunTextPtr run) { leftRunText_ = std::move(run); }
    const QXDocxRunTextPtr& rightRunText() const { return rightRunText_; }
    void setRightRunText(QXDocxRunTextPtr run) { rightRunText_ = std::move(run); }

private:
    Rect spaceRect_;
    QXDocxRunTextPtr leftRunText_;
    QXDocxRunTextPtr rightRunText_;
};

} // namespace rz
