// Free-text annotations: without an appearance stream they are reported as
// one text box with the font, size and colour of their /DA string.
#pragma once

#include "pdfengine/annots/QXPDFAnnotMarkup.h"

#include <optional>

namespace rz {

// The callout line of a free-text annotation (/CL).
struct QXPDFAnnotCalloutLine {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

// The values of QXPDFAnnotFreeText::intent().
enum QXPDFAnnotFreeTextIntent : long {
    QXPDFAnnotFreeTextIntentFreeText = 0,
    QXPDFAnnotFreeTextIntentCallout = 1,
    QXPDFAnnotFreeTextIntentTypeWriter = 2,
};

// The values of QXPDFAnnotFreeText::textAlignment(): text-alignment codes.
enum QXPDFTextAlignment : long {
    QXPDFTextAlignmentLeft = 0,
    QXPDFTextAlignmentRight = 1,
    QXPDFTextAlignmentCenter = 2,
};

inline constexpr const char* kQXPDFAnnotDefaultFontName = "Helvetica";
inline constexpr double kQXPDFAnnotDefaultFontSize = 10;

class QXPDFAnnotFreeText : public QXPDFAnnotMarkup {
public:
    QXPDFAnnotFreeText() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    // With an appearance stream the base drawing; otherwise one text box
    // (bounds, contents, font) with the border stroked when it has a width,
    // and the box filled when the annotation has a colour.
    void startParser() override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotFreeText>(); }

    // /Q 1 (centred) gives 2, /Q 2 (right) gives 1, anything else 0 (left).
    static long TextAlignmentForQuadding(long quadding);
    // The font name, size and colour of a default-appearance string. The
    // tokens (separated by single white-space characters) are read from the
    // last one back: the last "Tf" whose size is at least 0.01 gives the
    // name (without "/") and size, the last "g", "rg" or "k" the colour.
    // Nothing when no "Tf" was found; the size stays 0 and the colour the
    // default colour (isNull 1) when none was found.
    static std::optional<std::string> ParseAppearanceString(const std::string& text, double* fontSize,
                                                            QXPDFColor* fontColor);

    // /DA.
    const std::string& appearanceString() const { return appearanceString_; }
    void setAppearanceString(std::string v) { appearanceString_ = std::move(v); }
    // /Q.
    long quadding() const { return quadding_; }
    void setQuadding(long v) { quadding_ = v; }
    // /DS.
    const std::string& styleString() const { return styleString_; }
    void setStyleString(std::string v) { styleString_ = std::move(v); }
    const QXPDFAnnotCalloutLine& calloutLine() const { return calloutLine_; }
    void setCalloutLine(const QXPDFAnnotCalloutLine& v) { calloutLine_ = v; }
    long intent() const { return intent_; }
    void setIntent(long v) { intent_ = v; }
    const QXPDFBorderEffect& borderEffect() const { return borderEffect_; }
    void setBorderEffect(const QXPDFBorderEffect& v) { borderEffect_ = v; }
    // Never read.
    const Rect& rectangle() const { return rectangle_; }
    void setRectangle(const Rect& v) { rectangle_ = v; }
    // The callout's line ending (QXPDFAnnotLineEndingStyle) from /LE.
    long endStyle() const { return endStyle_; }
    void setEndStyle(long v) { endStyle_ = v; }
    // /IC with three entries; otherwise the default colour.
    const QXPDFColor& interiorColor() const { return interiorColor_; }
    void setInteriorColor(const QXPDFColor& c) { interiorColor_ = c; }
    long textAlignment() const { return textAlignment_; }
    void setTextAlignment(long v) { textAlignment_ = v; }
    // From /DA: "Helvetica" and 10 when it names none.
    const std::string& fontName() const { return fontName_; }
    void setFontName(std::string v) { fontName_ = std::move(v); }
    double fontSize() const { return fontSize_; }
    void setFontSize(double v) { fontSize_ = v; }
    const QXPDFColor& fontColor() const { return fontColor_; }
    void setFontColor(const QXPDFColor& c) { fontColor_ = c; }

private:
    std::string appearanceString_;
    long quadding_ = 0;
    std::string styleString_;
    QXPDFAnnotCalloutLine calloutLine_;
    long intent_ = QXPDFAnnotFreeTextIntentFreeText;
    QXPDFBorderEffect borderEffect_;
    Rect rectangle_;
    long endStyle_ = 5;
    QXPDFColor interiorColor_;
    long textAlignment_ = QXPDFTextAlignmentLeft;
    std::string fontName_ = kQXPDFAnnotDefaultFontName;
    double fontSize_ = kQXPDFAnnotDefaultFontSize;
    QXPDFColor fontColor_;
};

} // namespace rz
