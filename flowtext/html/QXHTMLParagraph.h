// The HTML paragraph: a "p" element of the style of its last text run,
// indented by its first run's distance from the page's text margin.
#pragma once

#include "flowtext/QXFlowParagraph.h"

namespace rz {

class QXHTMLParagraph : public QXFlowStyledParagraph {
public:
    QXHTMLParagraph() = default;
    QXHTMLParagraph(const QXHTMLParagraph&) = default;

    QXFlowFormat format() const override { return QXFlowFormat::HTML; }
    QXFlowParagraphRef newParagraph() const override { return std::make_shared<QXHTMLParagraph>(); }
    QXFlowParagraphRef copy() const override { return std::make_shared<QXHTMLParagraph>(*this); }

    // Resolves again, then opens "\n<p class="pN">" with margin-left =
    // max(0, ind.left - textMargin.left), font rProperty.sz x 1.2 px and the
    // run colour.
    void writeNewLineWithXMLWriter(QXFlowFileWriter& writer) override;

    static std::vector<QXFlowParagraphRef> BlankParagraph(double height, double lineSize, double indLeft,
                                                          const QXDocx_RPr& r, const QXDocx_SectPr& s)
    {
        return QXFlowParagraph::BlankParagraph([] { return std::make_shared<QXHTMLParagraph>(); }, height,
                                               lineSize, indLeft, r, s);
    }
};

} // namespace rz
