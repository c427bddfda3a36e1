// The borders of annotations: the /Border array, the /BS border-style
// dictionary and the /BE border effect.
#pragma once

#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <vector>

namespace rz {

// The values of QXPDFBorder::style().
enum QXPDFBorderStyle : long {
    QXPDFBorderStyleSolid = 0,
    QXPDFBorderStyleDashed = 1,
    QXPDFBorderStyleBeveled = 2,
    QXPDFBorderStyleInset = 3,
    QXPDFBorderStyleUnderline = 4,
};

// Dash entries read from a dash array; later entries are ignored.
inline constexpr size_t kQXPDFMaxBorderDashEntries = 10;

class QXPDFBorder {
public:
    // Width 1, solid, no dash pattern, type 0.
    QXPDFBorder() = default;
    virtual ~QXPDFBorder() = default;
    virtual std::shared_ptr<QXPDFBorder> copy() const { return std::make_shared<QXPDFBorder>(*this); }

    // Reads up to kQXPDFMaxBorderDashEntries numbers (unreadable ones as
    // 0). A negative entry refuses the whole array (false, nothing
    // changed); otherwise the pattern becomes the entries read and the
    // style dashed.
    bool parseDashArray(const pdf::Object& array);
    // "S", "D", "B", "I", "U" for the styles 0 to 4; "S" for any other.
    const char* getStyleName() const;

    // 0 for a /Border array, 1 for a /BS dictionary.
    long type() const { return type_; }
    void setType(long v) { type_ = v; }
    long style() const { return style_; }
    void setStyle(long v) { style_ = v; }
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double v) { lineWidth_ = v; }
    // Empty when the border has no dash pattern.
    const std::optional<std::vector<double>>& dashPattern() const { return dashPattern_; }
    void setDashPattern(std::optional<std::vector<double>> v) { dashPattern_ = std::move(v); }

private:
    long type_ = 0;
    long style_ = QXPDFBorderStyleSolid;
    double lineWidth_ = 1;
    std::optional<std::vector<double>> dashPattern_;
};

// An annotation's /Border array: [hCorner vCorner width] or
// [hCorner vCorner width [dash]]. Any other form, an unreadable number or a
// refused dash gives width 0 (no border drawn).
class QXPDFBorderArray : public QXPDFBorder {
public:
    QXPDFBorderArray() = default;
    explicit QXPDFBorderArray(const pdf::Object& array) { initWithPDFArray(array); }
    std::shared_ptr<QXPDFBorder> copy() const override { return std::make_shared<QXPDFBorderArray>(*this); }
    void initWithPDFArray(const pdf::Object& array);

    double horizontalCorner() const { return horizontalCorner_; }
    void setHorizontalCorner(double v) { horizontalCorner_ = v; }
    double verticalCorner() const { return verticalCorner_; }
    void setVerticalCorner(double v) { verticalCorner_ = v; }

private:
    double horizontalCorner_ = 0;
    double verticalCorner_ = 0;
};

// A /BS dictionary: /W (1 when absent), /S (S D B I U), /D for a dashed
// border, whose pattern is [3] when it has none of its own.
class QXPDFBorderBS : public QXPDFBorder {
public:
    QXPDFBorderBS() { setType(1); }
    explicit QXPDFBorderBS(const pdf::Object& dictionary) { initWithPDFDictionary(dictionary); }
    std::shared_ptr<QXPDFBorder> copy() const override { return std::make_shared<QXPDFBorderBS>(*this); }
    void initWithPDFDictionary(const pdf::Object& dictionary);

    // The border of a kind that reads /BS: from /BS when it is a
    // dictionary, else from a /Border array when there is one, else the
    // default (width 1, solid).
    static std::shared_ptr<QXPDFBorder> BorderOfAnnotation(const pdf::Object& annotDictionary);
};

// The values of QXPDFBorderEffect::effectType().
enum QXPDFBorderEffectType : long {
    QXPDFBorderEffectNone = 0,
    QXPDFBorderEffectCloudy = 1,
};

// A /BE dictionary: /S /C is cloudy, with /I as its intensity.
class QXPDFBorderEffect {
public:
    QXPDFBorderEffect() = default;
    explicit QXPDFBorderEffect(const pdf::Object& dictionary) { initWithPDFDictionary(dictionary); }
    void initWithPDFDictionary(const pdf::Object& dictionary);

    long effectType() const { return effectType_; }
    void setEffectType(long v) { effectType_ = v; }
    double intensity() const { return intensity_; }
    void setIntensity(double v) { intensity_ = v; }

private:
    long effectType_ = QXPDFBorderEffectNone;
    double intensity_ = 0;
};

} // namespace rz
