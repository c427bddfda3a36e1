// One span style of the HTML style sheet. Bold and italic are written as
// tags, so spans that differ only in them share a style.
#pragma once

#include "flowtext/html/QXHTMLUtilities.h"

#include <string>

namespace rz {

class QXHTMLCSSSpan {
public:
    // The default span record.
    QXHTMLCSSSpan();

    const QXHTML_CSS_Span& cssSpanProperty() const { return cssSpanProperty_; }
    // Stores the record with its colour and font clamped.
    void setCssSpanProperty(const QXHTML_CSS_Span& property);

    bool isEqualToEntry(const QXHTMLCSSSpan& other) const;
    // "{ font: Spx 'Name';[ text-decoration: D;] color: #rrggbb}".
    std::string cssStringFormat() const;

private:
    QXHTML_CSS_Span cssSpanProperty_;
};

} // namespace rz
