#include "flowtext/html/QXHTMLCSSParagraph.h"
#include "flowtext/html/QXHTMLCSSSpan.h"

#include "converter/ooxml/QXDocxRecords.h"
#include "platform/core/Numbers.h"

#include <cmath>

namespace rz {

namespace {

// Whole CSS pixels, C rounding; 0 for a value that is not a finite number.
std::string px(float v)
{
    return formatFixed(std::isfinite(v) ? v : 0.0f, 0) + "px";
}

std::string fontDeclaration(const QXHTML_CSS_Font& font)
{
    return " font: " + px(font.fontSize) + " " + QXHTMLUtilities::cssQuotedFontName(QXDocxText(font.fontName)) + ";";
}

std::string colorDeclaration(const QXHTML_CSS_Color& color)
{
    return " color: #" + QXHTMLUtilities::hexColor(color.red, color.green, color.blue);
}

} // namespace

QXHTMLCSSParagraph::QXHTMLCSSParagraph() : cssPProperty_(QXHTMLUtilities::defaultCssParagraphProperty()) {}

void QXHTMLCSSParagraph::setCssPProperty(const QXHTML_CSS_Paragraph& property)
{
    cssPProperty_ = property;
    cssPProperty_.color = QXHTMLUtilities::fixedCssColor(property.color);
    cssPProperty_.font = QXHTMLUtilities::fixedCssFont(property.font);
}

bool QXHTMLCSSParagraph::isEqualToEntry(const QXHTMLCSSParagraph& other) const
{
    return QXHTMLUtilities::isCSSParagraph(cssPProperty_, other.cssPProperty_);
}

std::string QXHTMLCSSParagraph::cssStringFormat() const
{
    const QXHTML_CSS_Paragraph& p = cssPProperty_;
    std::string css = "{margin: ";
    css.append(px(p.margin.top)).append(" ").append(px(p.margin.right)).append(" ");
    css.append(px(p.margin.bottom)).append(" ").append(px(p.margin.left)).append(";");
    if (p.textIndent > 0)
        css.append(" text-indent: ").append(px(p.textIndent)).append(";");
    css.append(fontDeclaration(p.font));
    css.append(colorDeclaration(p.color));
    css.append("}");
    return css;
}

QXHTMLCSSSpan::QXHTMLCSSSpan() : cssSpanProperty_(QXHTMLUtilities::defaultCssSpanProperty()) {}

void QXHTMLCSSSpan::setCssSpanProperty(const QXHTML_CSS_Span& property)
{
    cssSpanProperty_ = property;
    cssSpanProperty_.color = QXHTMLUtilities::fixedCssColor(property.color);
    cssSpanProperty_.font = QXHTMLUtilities::fixedCssFont(property.font);
}

bool QXHTMLCSSSpan::isEqualToEntry(const QXHTMLCSSSpan& other) const
{
    return QXHTMLUtilities::isCSSSpan(cssSpanProperty_, other.cssSpanProperty_);
}

std::string QXHTMLCSSSpan::cssStringFormat() const
{
    const QXHTML_CSS_Span& s = cssSpanProperty_;
    std::string css = "{";
    css.append(fontDeclaration(s.font));
    if (s.textDecoration != 0)
        css.append(" text-decoration: ").append(QXHTMLUtilities::cssTextDecoration(s.textDecoration)).append(";");
    css.append(colorDeclaration(s.color));
    css.append("}");
    return css;
}

} // namespace rz
