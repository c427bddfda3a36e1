// A page of the plain-text document. Paragraphs on one line are joined by
// the writer's indentation, others by its line break; a page that follows
// written text starts on a new line.
#pragma once

#include "flowtext/QXFlowPage.h"

namespace rz {

class QXTextPage : public QXFlowPage {
public:
    QXTextPage() = default;

    QXFlowParagraphRef newParagraph() const override;
    void _writeParagraphs(QXFlowFileWriter& writer) override;
};

} // namespace rz
