// The placement record of a picture-like run (drawn path, image, text box,
// text path): where the picture sits on the page and how it wraps text.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rz {

class QXDocxRunPictInfo {
public:
    QXDocxRunPictInfo() = default;
    virtual ~QXDocxRunPictInfo() = default;

    // The picture's transform in PDF space; identity when the display
    // rectangle alone places it.
    const Affine& pdfTransform() const { return pdfTransform_; }
    void setPdfTransform(const Affine& transform) { pdfTransform_ = transform; }
    // Display space, points, origin at the page's top left.
    double displayWidth() const { return displayWidth_; }
    void setDisplayWidth(double value) { displayWidth_ = value; }
    double displayHeight() const { return displayHeight_; }
    void setDisplayHeight(double value) { displayHeight_ = value; }
    double displayX() const { return displayX_; }
    void setDisplayX(double value) { displayX_ = value; }
    double displayY() const { return displayY_; }
    void setDisplayY(double value) { displayY_ = value; }
    // Text wrapping: 0 none, 1 top and bottom.
    std::int32_t wrapType() const { return wrapType_; }
    void setWrapType(std::int32_t value) { wrapType_ = value; }

    // A new record of this record's own class, default-made, with the
    // transform, the display rectangle and the wrap kind copied.
    std::shared_ptr<QXDocxRunPictInfo> copy() const;

    // "\ndisplayX: …\r\ndisplayY: …\r\ndisplayWidth: …\r\ndisplayHeight: …"
    // with each value in "%f" form.
    std::string description() const;

protected:
    // A default-made record of the receiver's class.
    virtual std::shared_ptr<QXDocxRunPictInfo> makeEmpty() const;

private:
    Affine pdfTransform_;
    double displayWidth_ = 0;
    double displayHeight_ = 0;
    double displayX_ = 0;
    double displayY_ = 0;
    std::int32_t wrapType_ = 0;
};

} // namespace rz
