// A text box: a drawing that holds its own paragraphs, placed absolutely on
// the page and turned by its record's rotation. The exporter makes one for
// each stretch of text drawn at about 90, 180 or 270 degrees (filled with
// paragraphs); the page makes one for each free-text annotation (filled
// with sections of its own, which never break). It is written as a VML
// shape of the text-box shape type inside a w:pict.
#pragma once

#include "docx/layout/QXDocxParagraph.h"
#include "docx/layout/QXDocxRunPict.h"
#include "docx/layout/QXDocxTextBoxInfo.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxPageSection;

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
    // The box's content as sections; when there are any they are written
    // instead of the paragraphs.
    const std::vector<std::shared_ptr<QXDocxPageSection>>& allPageSectionArray() const { return allPageSectionArray_; }
    void setAllPageSectionArray(std::vector<std::shared_ptr<QXDocxPageSection>> sections)
    {
        allPageSectionArray_ = std::move(sections);
    }
    const std::shared_ptr<QXDocxTextBoxInfo>& pictInfo() const { return pictInfo_; }
    void setPictInfo(std::shared_ptr<QXDocxTextBoxInfo> info) { pictInfo_ = std::move(info); }

    // The record's display rectangle, unrotated; zero without a record.
    Rect displayRect() const override;
    // Every text run of the box: of its sections when it has any, else of
    // its paragraphs, in order.
    QXDocxRunTextArray allRunTextArray() const;

    // w:r holding the run properties and a w:pict with the box's shape.
    // Each box takes the next "TextBox N" name and shape id of the
    // document.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    // The v:shape: placement, paint, border dash, the turned text box with
    // the content, and the page anchoring.
    void _writeTextBox(XMLFileWriter& writer);
    // The sections, else the paragraphs, else one empty paragraph of size
    // 12 half-points: w:txbxContent is never empty.
    void _writeParagraphs(XMLFileWriter& writer);

    // The CSS-like style of the shape: absolute placement on the page in
    // whole points (the rectangle moved by the rotation so that the turned
    // text stays where it was drawn), z-index, the rotation item of a box
    // turned by 180 degrees, wrapping distances and anchoring.
    std::string shapeStyle() const;
    // The style of v:textbox: the text flow of a box turned by exactly 90,
    // 180 or 270 degrees, else fitting the shape to the text.
    std::string textBoxStyle() const;

    // 0, 90, 180 or 270: the right angle most boxes are turned by (within 5
    // degrees; other angles count for 0). On a tie the later of 0, 90, 180,
    // 270 wins; 0 for no boxes.
    static std::int64_t RotationOfRunTextBoxArray(const std::vector<QXDocxRunTextBoxPtr>& boxes);

private:
    std::vector<QXDocxParagraphPtr> paragraphArray_;
    std::vector<std::shared_ptr<QXDocxPageSection>> allPageSectionArray_;
    std::shared_ptr<QXDocxTextBoxInfo> pictInfo_;
};

} // namespace rz
