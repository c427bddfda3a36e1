// The document-wide registry of the HTML styles: each distinct paragraph and
// span record becomes a numbered class ("p0", "s0", ...), and the state
// writes the p, span, b and i tags as runs open and close them. One state
// per process, reset at each document start, so one HTML document is
// written at a time.
//
// Tags always nest: a span holds <b> outside <i>, and closes them in the
// reverse order.
#pragma once

#include "flowtext/html/QXHTMLCSSParagraph.h"
#include "flowtext/html/QXHTMLCSSSpan.h"

#include <vector>

namespace rz {

class QXFlowFileWriter;

class QXHTMLState {
public:
    static QXHTMLState& sharedInstance();

    // Empties both registries; no paragraph and no span open.
    void resetToDefault();

    // Closes what is open, then writes "\n<p class="pN">".
    void writeCSSParagraphBegain(const QXHTMLCSSParagraph& paragraph, QXFlowFileWriter& writer);
    // "</p>" when a paragraph is open.
    void writeCSSParagraphEnd(QXFlowFileWriter& writer);
    // Continues the open span when it has the same class (changing only its
    // b and i tags), else closes it and opens "<span class="sN">" with the
    // span's tags.
    void writeCSSCSSSpanBegain(const QXHTMLCSSSpan& span, QXFlowFileWriter& writer);
    // Closes an open span, then an open paragraph.
    void endWriteParagraphTagsIfNeed(QXFlowFileWriter& writer);
    // Closes an open span and its tags.
    void endWriteSpanTagsIfNeed(QXFlowFileWriter& writer);

    // The style-sheet lines: "    p.pN {...}\n" and "    span.sN {...}\n".
    void writeRegistedCSSParagraph(QXFlowFileWriter& writer) const;
    void writeRegistedCSSSpan(QXFlowFileWriter& writer) const;

    bool isParagraphWrited() const { return isParagraphWrited_; }
    void setIsParagraphWrited(bool v) { isParagraphWrited_ = v; }
    bool isSpanWrited() const { return isSpanWrited_; }
    void setIsSpanWrited(bool v) { isSpanWrited_ = v; }
    const std::vector<QXHTMLCSSParagraph>& registeredParagraphs() const { return _registeredCSSParagraph; }
    const std::vector<QXHTMLCSSSpan>& registeredSpans() const { return _registeredCSSSpan; }

    // Registry positions; an entry seen for the first time is appended.
    size_t _indexOfCSSParagraph(const QXHTMLCSSParagraph& paragraph);
    size_t _indexOfCSSSpan(const QXHTMLCSSSpan& span);

private:
    QXHTMLState() = default;

    std::vector<QXHTMLCSSParagraph> _registeredCSSParagraph;
    std::vector<QXHTMLCSSSpan> _registeredCSSSpan;
    bool isParagraphWrited_ = false;
    QXHTML_CSS_Paragraph cssParagraphUsed_{};
    bool isSpanWrited_ = false;
    QXHTML_CSS_Span cssSpanUsed_{};
};

} // namespace rz
