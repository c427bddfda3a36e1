#include "flowtext/html/QXHTMLParagraph.h"

#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/html/QXHTMLRun.h"
#include "flowtext/html/QXHTMLState.h"

#include <cmath>

namespace rz {

namespace {

QXHTML_CSS_Color cssColor(const QXDocx_Color& c)
{
    return {static_cast<std::int16_t>(c.red), static_cast<std::int16_t>(c.green), static_cast<std::int16_t>(c.blue),
            static_cast<std::int16_t>(c.alpha)};
}

QXHTML_CSS_Font cssFont(const QXDocx_RPr& r)
{
    QXHTML_CSS_Font font;
    font.fontSize = static_cast<float>(static_cast<double>(r.sz) * 1.2);
    QXDocxSetText(font.fontName, QXDocxText(r.rFonts.ascii));
    return font;
}

} // namespace

void QXHTMLParagraph::writeNewLineWithXMLWriter(QXFlowFileWriter& writer)
{
    resolvePProperty();
    const float indent = pProperty().ind.left - textMargin().left;
    QXHTML_CSS_Paragraph css = QXHTMLUtilities::defaultCssParagraphProperty();
    css.margin.top = 0;
    css.margin.right = 0;
    css.margin.bottom = 0;
    css.margin.left = std::isfinite(indent) && indent > 0 ? indent : 0;
    css.font = cssFont(rProperty());
    css.color = cssColor(rProperty().color);
    QXHTMLCSSParagraph entry;
    entry.setCssPProperty(css);
    QXHTMLState::sharedInstance().writeCSSParagraphBegain(entry, writer);
}

void QXHTMLRunText::writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text)
{
    const QXDocx_RPr& r = rProperty();
    QXHTML_CSS_Span css = QXHTMLUtilities::defaultCssSpanProperty();
    css.textDecoration = r.u != 0 ? 1 : 0;
    css.fontWeight = r.b ? 1 : 0;
    css.fontStyle = r.i ? 1 : 0;
    css.font = cssFont(r);
    css.color = cssColor(r.color);
    QXHTMLCSSSpan entry;
    entry.setCssSpanProperty(css);
    QXHTMLState::sharedInstance().writeCSSCSSSpanBegain(entry, writer);
    writer.writeContent(text);
}

} // namespace rz
