// The RTF paragraph: "\par\pard\liN " opens it, N the left indent in
// twentieths of a point from the page's text margin.
#pragma once

#include "flowtext/QXFlowParagraph.h"

namespace rz {

class QXRTFParagraph : public QXFlowStyledParagraph {
public:
    QXRTFParagraph() = default;
    QXRTFParagraph(const QXRTFParagraph&) = default;

    QXFlowFormat format() const override { return QXFlowFormat::RTF; }
    QXFlowParagraphRef newParagraph() const override { return std::make_shared<QXRTFParagraph>(); }
    QXFlowParagraphRef copy() const override { return std::make_shared<QXRTFParagraph>(*this); }

    // "\par", "\pard", "\li" of max(0, 20 x ind.left - 20 x textMargin.left), " ".
    void writeNewLineWithXMLWriter(QXFlowFileWriter& writer) override;

    static std::vector<QXFlowParagraphRef> BlankParagraph(double height, double lineSize, double indLeft,
                                                          const QXDocx_RPr& r, const QXDocx_SectPr& s)
    {
        return QXFlowParagraph::BlankParagraph([] { return std::make_shared<QXRTFParagraph>(); }, height,
                                               lineSize, indLeft, r, s);
    }
};

} // namespace rz
