// The base of every run that is drawn rather than set as text (text boxes,
// text paths, images, vector paths): its stacking order among the drawings
// of the page. Negative orders lie behind the text, positive ones in front.
#pragma once

#include "docx/layout/QXDocxRun.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rz {

class QXDocxRunPict : public QXDocxRun {
public:
    QXDocxRunPict() = default;
    QXDocxRunPict(const QXDocxRunPict&) = default;
    QXDocxRunPict& operator=(const QXDocxRunPict&) = default;

    std::shared_ptr<QXDocxWriterObject> copy() const override;
    std::int64_t pictZIndex() const { return pictZIndex_; }
    void setPictZIndex(std::int64_t value) { pictZIndex_ = value; }
    // "<kind: address:[pdfScanIndex:n]>" for debugging.
    std::string description(const char* kind) const;

private:
    std::int64_t pictZIndex_ = 0;
};

} // namespace rz
