#include "pdfengine/annots/QXPDFAnnotFreeText.h"

#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/annots/QXPDFAnnotLine.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/core/Numbers.h"

#include <cmath>
#include <limits>
#include <vector>

namespace rz {

namespace {

// A token read as a single-precision number: its leading number, 0 when it
// has none or it is out of range.
float tokenValue(const std::string& token)
{
    const double v = parseLeadingDouble(token);
    if (!std::isfinite(v) || std::fabs(v) > double(std::numeric_limits<float>::max()))
        return 0;
    return static_cast<float>(v);
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0';
}

// Every separator ends a token, so two in a row give an empty token.
std::vector<std::string> tokensOf(const std::string& text)
{
    std::vector<std::string> tokens(1);
    for (const char c : text) {
        if (isSeparator(c))
            tokens.emplace_back();
        else
            tokens.back() += c;
    }
    return tokens;
}

QXPDFColor colorFromTokens(const std::vector<std::string>& tokens, size_t first, int count)
{
    QXPDFColor color;
    color.length = count;
    color.isNull = 0;
    for (int i = 0; i < count; ++i)
        color.c[size_t(i)] = QXPDFColorComponentFromOperand(tokenValue(tokens[first + size_t(i)]));
    return color;
}

} // namespace

long QXPDFAnnotFreeText::TextAlignmentForQuadding(long quadding)
{
    switch (quadding) {
    case 1: return QXPDFTextAlignmentCenter;
    case 2: return QXPDFTextAlignmentRight;
    default: return QXPDFTextAlignmentLeft;
    }
}

std::optional<std::string> QXPDFAnnotFreeText::ParseAppearanceString(const std::string& text, double* fontSize,
                                                                     QXPDFColor* fontColor)
{
    double size = 0;
    QXPDFColor color;
    std::optional<std::string> name;
    if (!text.empty()) {
        const std::vector<std::string> tokens = tokensOf(text);
        for (size_t a = tokens.size(); a-- > 0;) {
            const std::string& token = tokens[a];
            if (size < 0.01 && token == "Tf" && a >= 2) {
                std::string font;
                for (const char c : tokens[a - 2])
                    if (c != '/')
                        font += c;
                name = font;
                size = tokenValue(tokens[a - 1]);
            }
            if (color.isNull) {
                if (token == "g" && a >= 1)
                    color = colorFromTokens(tokens, a - 1, 1);
                else if (token == "rg" && a >= 3)
                    color = colorFromTokens(tokens, a - 3, 3);
                else if (token == "k" && a >= 4)
                    color = colorFromTokens(tokens, a - 4, 4);
            }
        }
    }
    if (fontSize)
        *fontSize = size;
    if (fontColor)
        *fontColor = color;
    return name;
}

void QXPDFAnnotFreeText::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnotMarkup::initWithPDFDictionary(dictionary);
    appearanceString_ = stringOf(dictionary, "DA");
    interiorColor_ = RGBColorWithArray(dictionary.get("IC"));
    quadding_ = long(numberOf(dictionary, "Q", 0));
    styleString_ = stringOf(dictionary, "DS");

    calloutLine_ = {};
    const pdf::Object cl = dictionary.get("CL");
    if (cl.isArray() && cl.size() > 3) {
        calloutLine_.x1 = float(numberAt(cl, 0, 0));
        calloutLine_.y1 = float(numberAt(cl, 1, 0));
        calloutLine_.x2 = float(numberAt(cl, 2, 0));
        calloutLine_.y2 = float(numberAt(cl, 3, 0));
        if (cl.size() == 6) {
            calloutLine_.x3 = float(numberAt(cl, 4, 0));
            calloutLine_.y3 = float(numberAt(cl, 5, 0));
        }
    }

    const std::string intent = dictionary.get("IT").name().value_or(std::string());
    if (intent == "FreeTextCallout")
        intent_ = QXPDFAnnotFreeTextIntentCallout;
    else if (intent == "FreeTextTypeWriter")
        intent_ = QXPDFAnnotFreeTextIntentTypeWriter;
    else
        intent_ = QXPDFAnnotFreeTextIntentFreeText;

    setBorder(QXPDFBorderBS::BorderOfAnnotation(dictionary));
    borderEffect_ = QXPDFBorderEffect();
    if (const pdf::Object be = dictionary.get("BE"); be.isDictionary())
        borderEffect_.initWithPDFDictionary(be);
    rectangle_ = Rect();
    endStyle_ = QXPDFAnnotLine::PDFAnnotLineEndingStyleForSubtype(dictionary.get("LE").name().value_or(""));

    double size = 0;
    QXPDFColor color;
    const std::optional<std::string> name = ParseAppearanceString(appearanceString_, &size, &color);
    fontName_ = name && !name->empty() ? *name : std::string(kQXPDFAnnotDefaultFontName);
    fontSize_ = size > 0 ? size : kQXPDFAnnotDefaultFontSize;
    fontColor_ = color;
    textAlignment_ = TextAlignmentForQuadding(quadding_);
}

void QXPDFAnnotFreeText::startParser()
{
    if (appearStreams()) {
        QXPDFAnnot::startParser();
        return;
    }
    QXPDFAnnotDelegate* d = delegate();
    QXPDFRenderState* state = currentRenderingState();
    if (!d || !state)
        return;

    bool borderStroke = false;
    if (border() && border()->lineWidth() > 0) {
        setStroke(*state, color().isNull ? fontColor_ : color(), "DeviceRGB", false);
        state->setLineWidth(border()->lineWidth());
        state->setLineDashPattern(border()->dashPattern().value_or(std::vector<double>()));
        borderStroke = true;
    }
    bool borderFill = false;
    if (!color().isNull) {
        setFill(*state, interiorColor_.isNull ? color() : interiorColor_, "DeviceRGB", false);
        borderFill = true;
    }
    d->QXPDFAnnot_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        self(), bounds(), contents(), fontName_, fontColor_, fontSize_, textAlignment_, borderStroke,
        borderFill);
}

} // namespace rz
