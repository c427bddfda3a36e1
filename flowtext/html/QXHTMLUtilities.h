// The CSS records of the HTML document, their defaults, clamping and
// equality, the CSS keyword tables, and the text escaping the document's
// title and style sheet need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rz {

struct QXHTML_CSS_Font {
    float fontSize = 0;          // CSS px
    char fontName[218] = {};     // NUL-terminated UTF-8
};

struct QXHTML_CSS_Color {
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    std::int16_t alpha = 0;
};

struct QXHTML_CSS_Margin {
    float top = 0;
    float right = 0;
    float bottom = 0;
    float left = 0;
};

struct QXHTML_CSS_Paragraph {
    float textIndent = 0;
    QXHTML_CSS_Margin margin;
    QXHTML_CSS_Font font;
    QXHTML_CSS_Color color;
};

struct QXHTML_CSS_Span {
    int textDecoration = 0;      // index into cssTextDecoration
    int fontWeight = 0;          // 0 normal, 1 bold
    int fontStyle = 0;           // 0 normal, 1 italic
    QXHTML_CSS_Font font;
    QXHTML_CSS_Color color;
};

class QXHTMLUtilities {
public:
    // Text indent 0, margins 0, font 12 "Times New Roman", black, alpha 1.
    static QXHTML_CSS_Paragraph defaultCssParagraphProperty();
    // No decoration, normal weight and style, font 12 "Times New Roman",
    // black, alpha 1.
    static QXHTML_CSS_Span defaultCssSpanProperty();

    // Each component clamped into 0..255.
    static QXHTML_CSS_Color fixedCssColor(QXHTML_CSS_Color color);
    // Size clamped into 8..288 (288 for a size that is not a number); an
    // empty name becomes "Times New Roman".
    static QXHTML_CSS_Font fixedCssFont(QXHTML_CSS_Font font);

    static bool isCSSMargin(const QXHTML_CSS_Margin& a, const QXHTML_CSS_Margin& b);
    static bool isCSSColor(const QXHTML_CSS_Color& a, const QXHTML_CSS_Color& b);
    // Equal size and byte-wise equal name.
    static bool isCSSFont(const QXHTML_CSS_Font& a, const QXHTML_CSS_Font& b);
    // Text indent, margins, colour and font.
    static bool isCSSParagraph(const QXHTML_CSS_Paragraph& a, const QXHTML_CSS_Paragraph& b);
    // Decoration, colour and font; weight and style are tags, not classes.
    static bool isCSSSpan(const QXHTML_CSS_Span& a, const QXHTML_CSS_Span& b);

    // 0 "none", 1 "underline", 2 "line-through", 3 "blink", 4 "inherit";
    // "none" for any other index.
    static std::string_view cssTextDecoration(int index);
    // 0 "normal", 1 "bold", 2 "bolder", 3 "lighter", 4..12 "100".."900",
    // 13 "inherit"; "normal" for any other index.
    static std::string_view cssFontWeight(int index);
    // 0 "normal", 1 "italic", 2 "oblique", 3 "inherit"; "normal" otherwise.
    static std::string_view cssFontStyle(int index);

    // A font name as a single-quoted CSS string that cannot end the string,
    // the rule or the style element early: quotes, backslashes, "<" and ">"
    // are written as CSS escapes, control characters are left out, and
    // ill-formed UTF-8 becomes U+FFFD (markupSafeText's rules).
    static std::string cssQuotedFontName(std::string_view name);
    // Text for HTML content and attribute values, made safe by
    // markupSafeText: &, <, > and " as character references.
    static std::string escapedHTMLText(std::string_view text);
    // "rrggbb", lower-case hex, of components clamped into 0..255.
    static std::string hexColor(int red, int green, int blue);
};

} // namespace rz
