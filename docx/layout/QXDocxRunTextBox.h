// A text box: a drawing that holds its own paragraphs, placed absolutely on
// the page and turned by its record's rotation. The exporter makes one for
// each stretch of text drawn at about 90, 180 or 270 degrees.
#pragma once

#include "docx/layout/QXDocxParagraph.h"
#include "docx/layout/QXDocxRunPict.h"
#include "docx/layout/QXDocxTextBoxInfo.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rz {

class QXDocxRunTextBox;
using QXDocxRunTextBoxPtr = std::shared_ptr<QXDocxRunTextBox>;

class QXDocxRunTextBox : public QXDocxRunPict {
public:
    QXDocxRunTextBox() = default;
    // Shares the paragraphs; copies the placement record.
    QXDocxRunTextBox(const QXDocxRunTextBox& other);
    QXDocxRunTextBox& operator=(const QXDocxRunTextBox&) = delete;

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    const std::vector<QXDocxParagraphPtr>& paragraphArray() const { return paragraphArray_; }
    void setParagraphArray(std::vector<QXDocxParagraphPtr> paragraphs) { paragraphArray_ = std::move(paragraphs); }
    const std::shared_ptr<QXDocxTextBoxInfo>& pictInfo() const { return pictInfo_; }
    void setPictInfo(std::shared_ptr<QXDocxTextBoxInfo> info) { pictInfo_ = std::move(info); }

    // The record's display rectangle, unrotated; zero without a record.
    Rect displayRect() const override;
    // Every text run of the box's paragraphs, in order.
    QXDocxRunTextArray allRunTextArray() const;

    // 0, 90, 180 or 270: the right angle most boxes are turned by (within 5
    // degrees; other angles count for 0). On a tie the later of 0, 90, 180,
    // 270 wins; 0 for no boxes.
    static std::int64_t RotationOfRunTextBoxArray(const std::vector<QXDocxRunTextBoxPtr>& boxes);

private:
    std::vector<QXDocxParagraphPtr> paragraphArray_;
    std::shared_ptr<QXDocxTextBoxInfo> pictInfo_;
};

} // namespace rz
