#include "flowtext/html/QXHTMLPage.h"

#include "flowtext/html/QXHTMLParagraph.h"
#include "flowtext/html/QXHTMLState.h"

namespace rz {

QXFlowParagraphRef QXHTMLPage::newParagraph() const
{
    return std::make_shared<QXHTMLParagraph>();
}

void QXHTMLPage::didWriteParagraphs(QXFlowFileWriter& writer)
{
    QXHTMLState::sharedInstance().endWriteParagraphTagsIfNeed(writer);
}

} // namespace rz
