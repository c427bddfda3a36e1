// The plain-text paragraph: its runs' characters, or one line break when it
// has no runs.
#pragma once

#include "flowtext/QXFlowParagraph.h"

namespace rz {

class QXTextParagraph : public QXFlowParagraph {
public:
    QXTextParagraph() = default;
    QXTextParagraph(const QXTextParagraph&) = default;

    QXFlowFormat format() const override { return QXFlowFormat::Text; }
    QXFlowParagraphRef newParagraph() const override { return std::make_shared<QXTextParagraph>(); }
    QXFlowParagraphRef copy() const override { return std::make_shared<QXTextParagraph>(*this); }

    // Blank plain-text paragraphs for a vertical gap (QXFlowParagraph::BlankParagraph).
    static std::vector<QXFlowParagraphRef> BlankParagraph(double height, double lineSize, double indLeft,
                                                          const QXDocx_RPr& r, const QXDocx_SectPr& s)
    {
        return QXFlowParagraph::BlankParagraph([] { return std::make_shared<QXTextParagraph>(); }, height,
                                               lineSize, indLeft, r, s);
    }
};

} // namespace rz
