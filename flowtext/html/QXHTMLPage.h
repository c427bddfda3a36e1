// A page of the HTML document; after its last paragraph it closes the tags
// its paragraphs left open.
#pragma once

#include "flowtext/QXFlowPage.h"

namespace rz {

class QXHTMLPage : public QXFlowStyledPage {
public:
    QXHTMLPage() = default;
    QXFlowParagraphRef newParagraph() const override;

protected:
    void didWriteParagraphs(QXFlowFileWriter& writer) override;
};

} // namespace rz
