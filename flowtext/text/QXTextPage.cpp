#include "flowtext/text/QXTextPage.h"

#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/QXFlowOutputLine.h"
#include "flowtext/text/QXTextParagraph.h"

namespace rz {

QXFlowParagraphRef QXTextPage::newParagraph() const
{
    return std::make_shared<QXTextParagraph>();
}

void QXTextPage::_writeParagraphs(QXFlowFileWriter& writer)
{
    const std::vector<QXFlowParagraphRef>& paragraphs = paragraphArray();
    if (paragraphs.empty())
        return;
    // The last word of the page before must not run into this page's first.
    if (writer.bytesWritten() > 0)
        writer.writeLinebreak();
    QXFlowOutputLine line;
    line.addParagraph(paragraphs.front());
    QXFlowRunTextRef previousLast = paragraphs.front()->lastRunText();
    for (size_t i = 1; i < paragraphs.size(); ++i) {
        const QXFlowParagraphRef& paragraph = paragraphs[i];
        QXFlowRunTextRef last = paragraph->lastRunText();
        if (isOnOneLine(previousLast.get(), last.get())) {
            line.addIndentation();
        } else {
            line.write(writer);
            writer.writeLinebreak();
        }
        line.addParagraph(paragraph);
        if (last)
            previousLast = last;
    }
    line.write(writer);
}

} // namespace rz
