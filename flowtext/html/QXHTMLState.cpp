#include "flowtext/html/QXHTMLState.h"

#include "flowtext/QXFlowFileWriter.h"
#include "platform/core/Numbers.h"

#include <string>

namespace rz {

QXHTMLState& QXHTMLState::sharedInstance()
{
    static QXHTMLState state;
    return state;
}

void QXHTMLState::resetToDefault()
{
    _registeredCSSParagraph.clear();
    _registeredCSSSpan.clear();
    isParagraphWrited_ = false;
    isSpanWrited_ = false;
    cssParagraphUsed_ = {};
    cssSpanUsed_ = {};
}

size_t QXHTMLState::_indexOfCSSParagraph(const QXHTMLCSSParagraph& paragraph)
{
    for (size_t i = 0; i < _registeredCSSParagraph.size(); ++i)
        if (_registeredCSSParagraph[i].isEqualToEntry(paragraph))
            return i;
    _registeredCSSParagraph.push_back(paragraph);
    return _registeredCSSParagraph.size() - 1;
}

size_t QXHTMLState::_indexOfCSSSpan(const QXHTMLCSSSpan& span)
{
    for (size_t i = 0; i < _registeredCSSSpan.size(); ++i)
        if (_registeredCSSSpan[i].isEqualToEntry(span))
            return i;
    _registeredCSSSpan.push_back(span);
    return _registeredCSSSpan.size() - 1;
}

void QXHTMLState::writeCSSParagraphBegain(const QXHTMLCSSParagraph& paragraph, QXFlowFileWriter& writer)
{
    endWriteParagraphTagsIfNeed(writer);
    const size_t index = _indexOfCSSParagraph(paragraph);
    writer.write("\n<p class=\"p" + formatInteger(index) + "\">");
    isParagraphWrited_ = true;
    cssParagraphUsed_ = paragraph.cssPProperty();
}

void QXHTMLState::writeCSSParagraphEnd(QXFlowFileWriter& writer)
{
    if (!isParagraphWrited_)
        return;
    writer.write("</p>");
    isParagraphWrited_ = false;
}

void QXHTMLState::writeCSSCSSSpanBegain(const QXHTMLCSSSpan& span, QXFlowFileWriter& writer)
{
    const QXHTML_CSS_Span& next = span.cssSpanProperty();
    const bool bold = next.fontWeight == 1;
    const bool italic = next.fontStyle == 1;
    if (isSpanWrited_ && QXHTMLUtilities::isCSSSpan(next, cssSpanUsed_)) {
        const bool openBold = cssSpanUsed_.fontWeight == 1;
        const bool openItalic = cssSpanUsed_.fontStyle == 1;
        if (bold != openBold) {
            // <i> sits inside <b>: it closes first and opens again inside.
            if (openItalic)
                writer.write("</i>");
            writer.write(openBold ? "</b>" : "<b>");
            if (italic)
                writer.write("<i>");
        } else if (italic != openItalic) {
            writer.write(openItalic ? "</i>" : "<i>");
        }
        cssSpanUsed_ = next;
        return;
    }
    endWriteSpanTagsIfNeed(writer);
    const size_t index = _indexOfCSSSpan(span);
    std::string open = "<span class=\"s" + formatInteger(index) + "\">";
    if (bold)
        open += "<b>";
    if (italic)
        open += "<i>";
    writer.write(open);
    isSpanWrited_ = true;
    cssSpanUsed_ = next;
}

void QXHTMLState::endWriteSpanTagsIfNeed(QXFlowFileWriter& writer)
{
    if (!isSpanWrited_)
        return;
    std::string close;
    if (cssSpanUsed_.fontStyle == 1)
        close += "</i>";
    if (cssSpanUsed_.fontWeight == 1)
        close += "</b>";
    close += "</span>";
    writer.write(close);
    isSpanWrited_ = false;
}

void QXHTMLState::endWriteParagraphTagsIfNeed(QXFlowFileWriter& writer)
{
    endWriteSpanTagsIfNeed(writer);
    writeCSSParagraphEnd(writer);
}

void QXHTMLState::writeRegistedCSSParagraph(QXFlowFileWriter& writer) const
{
    for (size_t i = 0; i < _registeredCSSParagraph.size(); ++i)
        writer.write("    p.p" + formatInteger(i) + " " + _registeredCSSParagraph[i].cssStringFormat() + "\n");
}

void QXHTMLState::writeRegistedCSSSpan(QXFlowFileWriter& writer) const
{
    for (size_t i = 0; i < _registeredCSSSpan.size(); ++i)
        writer.write("    span.s" + formatInteger(i) + " " + _registeredCSSSpan[i].cssStringFormat() + "\n");
}

} // namespace rz
