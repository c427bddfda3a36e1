#include "pdfengine/annots/QXPDFAnnotBorder.h"

#include "pdfengine/base/QXPDFUtilities.h"

#include <algorithm>

namespace rz {

bool QXPDFBorder::parseDashArray(const pdf::Object& array)
{
    std::vector<double> dash;
    const size_t count = std::min(array.size(), kQXPDFMaxBorderDashEntries);
    for (size_t i = 0; i < count; ++i) {
        double v = 0;
        QXPDFUtilities::GetNumberWithPDFArray(array, i, &v);
        if (v < 0)
            return false;
        dash.push_back(double(float(v)));
    }
    dashPattern_ = std::move(dash);
    style_ = QXPDFBorderStyleDashed;
    return true;
}

const char* QXPDFBorder::getStyleName() const
{
    switch (style_) {
    case QXPDFBorderStyleDashed: return "D";
    case QXPDFBorderStyleBeveled: return "B";
    case QXPDFBorderStyleInset: return "I";
    case QXPDFBorderStyleUnderline: return "U";
    default: return "S";
    }
}

void QXPDFBorderArray::initWithPDFArray(const pdf::Object& array)
{
    setType(0);
    horizontalCorner_ = 0;
    verticalCorner_ = 0;
    const size_t count = array.isArray() ? array.size() : 0;
    bool kept = false;
    if (count == 3 || count == 4) {
        double values[3] = {0, 0, 0};
        bool numbers = true;
        for (size_t i = 0; i < 3; ++i)
            numbers = QXPDFUtilities::GetNumberWithPDFArray(array, i, &values[i]) && numbers;
        horizontalCorner_ = values[0];
        verticalCorner_ = values[1];
        setLineWidth(values[2]);
        if (count == 3) {
            kept = numbers;
        } else {
            const pdf::Object dash = array.at(3);
            kept = dash.isArray() && parseDashArray(dash);
        }
    }
    if (!kept)
        setLineWidth(0);
}

void QXPDFBorderBS::initWithPDFDictionary(const pdf::Object& dictionary)
{
    setType(1);
    // The border-style width defaults to 1 point.
    double width = 1;
    QXPDFUtilities::GetNumberWithPDFDictionary(dictionary, "W", &width);
    setLineWidth(width);
    const std::string styleName = dictionary.get("S").name().value_or(std::string());
    if (styleName == "S")
        setStyle(QXPDFBorderStyleSolid);
    else if (styleName == "D")
        setStyle(QXPDFBorderStyleDashed);
    else if (styleName == "B")
        setStyle(QXPDFBorderStyleBeveled);
    else if (styleName == "I")
        setStyle(QXPDFBorderStyleInset);
    else if (styleName == "U")
        setStyle(QXPDFBorderStyleUnderline);
    if (style() == QXPDFBorderStyleDashed) {
        const pdf::Object dash = dictionary.get("D");
        if (dash.isArray())
            parseDashArray(dash);
        if (!dashPattern())
            setDashPattern(std::vector<double>{3});
    }
}

std::shared_ptr<QXPDFBorder> QXPDFBorderBS::BorderOfAnnotation(const pdf::Object& annotDictionary)
{
    const pdf::Object bs = annotDictionary.get("BS");
    if (bs.isDictionary())
        return std::make_shared<QXPDFBorderBS>(bs);
    // Without /BS the /Border array describes the border.
    const pdf::Object border = annotDictionary.get("Border");
    if (border.isArray())
        return std::make_shared<QXPDFBorderArray>(border);
    return std::make_shared<QXPDFBorderBS>();
}

void QXPDFBorderEffect::initWithPDFDictionary(const pdf::Object& dictionary)
{
    effectType_ = dictionary.get("S").name() == std::optional<std::string>("C") ? QXPDFBorderEffectCloudy
                                                                              : QXPDFBorderEffectNone;
    intensity_ = 0;
    if (effectType_ == QXPDFBorderEffectCloudy)
        QXPDFUtilities::GetNumberWithPDFDictionary(dictionary, "I", &intensity_);
}

} // namespace rz
