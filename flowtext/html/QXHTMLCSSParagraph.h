// One paragraph style of the HTML style sheet.
#pragma once

#include "flowtext/html/QXHTMLUtilities.h"

#include <string>

namespace rz {

class QXHTMLCSSParagraph {
public:
    // The default paragraph record.
    QXHTMLCSSParagraph();

    const QXHTML_CSS_Paragraph& cssPProperty() const { return cssPProperty_; }
    // Stores the record with its colour and font clamped.
    void setCssPProperty(const QXHTML_CSS_Paragraph& property);

    bool isEqualToEntry(const QXHTMLCSSParagraph& other) const;
    // "{margin: Tpx Rpx Bpx Lpx;[ text-indent: Npx;] font: Spx 'Name'; color: #rrggbb}".
    std::string cssStringFormat() const;

private:
    QXHTML_CSS_Paragraph cssPProperty_;
};

} // namespace rz
