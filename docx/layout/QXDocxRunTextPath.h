// A text path: a single line of text drawn along a straight segment at an
// angle that is not a right angle (or mirrored), written as word art: a
// VML shape of the text-path shape type whose text is stretched along the
// shape. The base run's property gives the font of the text.
#pragma once

#include "docx/layout/QXDocxRunPict.h"
#include "docx/layout/QXDocxTextPathInfo.h"

#include <memory>
#include <string>

namespace rz {

class QXDocxRunTextPath;
using QXDocxRunTextPathPtr = std::shared_ptr<QXDocxRunTextPath>;

class QXDocxRunTextPath : public QXDocxRunPict {
public:
    QXDocxRunTextPath() = default;
    // Copies the text and the record.
    QXDocxRunTextPath(const QXDocxRunTextPath& other);
    QXDocxRunTextPath& operator=(const QXDocxRunTextPath&) = delete;

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    const std::string& runText() const { return runText_; }
    void setRunText(std::string text) { runText_ = std::move(text); }
    const std::shared_ptr<QXDocxTextPathInfo>& pictInfo() const { return pictInfo_; }
    void setPictInfo(std::shared_ptr<QXDocxTextPathInfo> info) { pictInfo_ = std::move(info); }

    // The record's display rectangle, unrotated; zero without a record.
    Rect displayRect() const override;

    // w:r holding the run properties and a w:pict with the word-art shape
    // (preceded, the first time in the document, by the declaration of the
    // text-path shape type). Each text path takes the next "TextPath N"
    // name and shape id of the document.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    void _writeTextPath(XMLFileWriter& writer);
    // The CSS-like style of the shape: absolute placement on the page in
    // points with two decimals (sizes made positive), the rotation in whole
    // degrees when there is one, the flips and the z-index.
    std::string shapeStyle() const;

private:
    std::string runText_;
    std::shared_ptr<QXDocxTextPathInfo> pictInfo_;
};

} // namespace rz
