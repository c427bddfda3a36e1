// A text path: a single line of text drawn along a straight segment at an
// angle that is not a right angle (or mirrored), written as word art. The
// base run's property gives the font of the text.
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

private:
    std::string runText_;
    std::shared_ptr<QXDocxTextPathInfo> pictInfo_;
};

} // namespace rz
