#include "flowtext/html/QXHTMLUtilities.h"

#include "converter/ooxml/QXDocxRecords.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rz {

namespace {

constexpr const char* kDefaultFontName = "Times New Roman";
constexpr float kMinFontSize = 8;
constexpr float kMaxFontSize = 288;

QXHTML_CSS_Font defaultFont()
{
    QXHTML_CSS_Font font;
    font.fontSize = 12.0f;
    QXDocxSetText(font.fontName, kDefaultFontName);
    return font;
}

std::int16_t clampComponent(std::int16_t v)
{
    return std::clamp<std::int16_t>(v, 0, 255);
}

template <size_t N>
std::string_view indexed(const std::string_view (&table)[N], int index)
{
    return index >= 0 && static_cast<size_t>(index) < N ? table[index] : table[0];
}

} // namespace

QXHTML_CSS_Paragraph QXHTMLUtilities::defaultCssParagraphProperty()
{
    QXHTML_CSS_Paragraph p;
    p.font = defaultFont();
    p.color = {0, 0, 0, 1};
    return p;
}

QXHTML_CSS_Span QXHTMLUtilities::defaultCssSpanProperty()
{
    QXHTML_CSS_Span s;
    s.font = defaultFont();
    s.color = {0, 0, 0, 1};
    return s;
}

QXHTML_CSS_Color QXHTMLUtilities::fixedCssColor(QXHTML_CSS_Color color)
{
    return {clampComponent(color.red), clampComponent(color.green), clampComponent(color.blue),
            clampComponent(color.alpha)};
}

QXHTML_CSS_Font QXHTMLUtilities::fixedCssFont(QXHTML_CSS_Font font)
{
    if (std::isnan(font.fontSize))
        font.fontSize = kMaxFontSize;
    font.fontSize = std::clamp(font.fontSize, kMinFontSize, kMaxFontSize);
    if (QXDocxText(font.fontName).empty())
        QXDocxSetText(font.fontName, kDefaultFontName);
    return font;
}

bool QXHTMLUtilities::isCSSMargin(const QXHTML_CSS_Margin& a, const QXHTML_CSS_Margin& b)
{
    return a.top == b.top && a.right == b.right && a.bottom == b.bottom && a.left == b.left;
}

bool QXHTMLUtilities::isCSSColor(const QXHTML_CSS_Color& a, const QXHTML_CSS_Color& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

bool QXHTMLUtilities::isCSSFont(const QXHTML_CSS_Font& a, const QXHTML_CSS_Font& b)
{
    return a.fontSize == b.fontSize && QXDocxText(a.fontName) == QXDocxText(b.fontName);
}

bool QXHTMLUtilities::isCSSParagraph(const QXHTML_CSS_Paragraph& a, const QXHTML_CSS_Paragraph& b)
{
    return a.textIndent == b.textIndent && isCSSMargin(a.margin, b.margin) && isCSSColor(a.color, b.color) &&
           isCSSFont(a.font, b.font);
}

bool QXHTMLUtilities::isCSSSpan(const QXHTML_CSS_Span& a, const QXHTML_CSS_Span& b)
{
    return a.textDecoration == b.textDecoration && isCSSColor(a.color, b.color) && isCSSFont(a.font, b.font);
}

std::string_view QXHTMLUtilities::cssTextDecoration(int index)
{
    static constexpr std::string_view table[] = {"none", "underline", "line-through", "blink", "inherit"};
    return indexed(table, index);
}

std::string_view QXHTMLUtilities::cssFontWeight(int index)
{
    static constexpr std::string_view table[] = {"normal", "bold", "bolder", "lighter", "100", "200", "300",
                                                 "400",    "500",  "600",    "700",     "800", "900", "inherit"};
    return indexed(table, index);
}

std::string_view QXHTMLUtilities::cssFontStyle(int index)
{
    static constexpr std::string_view table[] = {"normal", "italic", "oblique", "inherit"};
    return indexed(table, index);
}

std::string QXHTMLUtilities::cssQuotedFontName(std::string_view name)
{
    std::string quoted = "'";
    forEachMarkupCodePoint(name, [&quoted](char32_t cp) {
        switch (cp) {
        case '\t':
        case '\n':
        case '\r':
            break;
        case '\'':
            quoted += "\\27 ";
            break;
        case '"':
            quoted += "\\22 ";
            break;
        case '\\':
            quoted += "\\5c ";
            break;
        case '<':
            quoted += "\\3c ";
            break;
        case '>':
            quoted += "\\3e ";
            break;
        default:
            appendUtf8(quoted, cp);
        }
    });
    quoted += '\'';
    return quoted;
}

std::string QXHTMLUtilities::escapedHTMLText(std::string_view text)
{
    const std::string safe = markupSafeText(text);
    std::string out;
    out.reserve(safe.size());
    for (const char c : safe) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string QXHTMLUtilities::hexColor(int red, int green, int blue)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (int v : {red, green, blue}) {
        v = std::clamp(v, 0, 255);
        hex += digits[v >> 4];
        hex += digits[v & 15];
    }
    return hex;
}

} // namespace rz
