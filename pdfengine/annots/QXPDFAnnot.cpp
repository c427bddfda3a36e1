#include "pdfengine/annots/QXPDFAnnot.h"

#include "pdfengine/annots/QXPDFAction.h"
#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/annots/QXPDFAnnotFreeText.h"
#include "pdfengine/annots/QXPDFAnnotGeometry.h"
#include "pdfengine/annots/QXPDFAnnotInk.h"
#include "pdfengine/annots/QXPDFAnnotLine.h"
#include "pdfengine/annots/QXPDFAnnotLink.h"
#include "pdfengine/annots/QXPDFAnnotPopup.h"
#include "pdfengine/annots/QXPDFAnnotStamp.h"
#include "pdfengine/annots/QXPDFAnnotText.h"
#include "pdfengine/annots/QXPDFAnnotTextMarkup.h"
#include "pdfengine/annots/QXPDFAnnotWidget.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/state/QXPDFRenderState.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace rz {

// ---------------------------------------------------------------------------
// Appearance dictionary

pdf::Object QXPDFAnnotAppearance::getAppearanceStream(long kind, const std::string& state) const
{
    auto streamOf = [](const pdf::Object& o) { return o.isStream() ? o : pdf::Object(); };
    const pdf::Object normal = appearDict_.get("N");
    switch (kind) {
    case QXPDFAnnotAppearanceNormal:
        if (normal.isStream())
            return normal;
        if (normal.isDictionary() && !state.empty()) {
            if (const pdf::Object s = streamOf(normal.get(state)); s.isStream())
                return s;
            return streamOf(normal.get("0"));
        }
        return {};
    case QXPDFAnnotAppearanceRollover:
        if (const pdf::Object s = streamOf(appearDict_.get("R")); s.isStream())
            return s;
        return streamOf(normal);
    case QXPDFAnnotAppearanceDown:
        if (const pdf::Object s = streamOf(appearDict_.get("D")); s.isStream())
            return s;
        return streamOf(normal);
    default: return {};
    }
}

// ---------------------------------------------------------------------------
// Factory and reading

QXPDFAnnot::~QXPDFAnnot() = default;

std::shared_ptr<QXPDFAnnot> QXPDFAnnot::AnnotWithDictionary(const pdf::Object& dictionary)
{
    if (!dictionary.isDictionary())
        return nullptr;
    // /Type is optional on an annotation; only a different type rejects it.
    const pdf::Object type = dictionary.get("Type");
    if (!type.isNull() && type.name() != std::optional<std::string>("Annot"))
        return nullptr;

    using Maker = std::function<std::shared_ptr<QXPDFAnnot>()>;
    static const std::pair<const char*, Maker> kKinds[] = {
        {"Line", [] { return std::make_shared<QXPDFAnnotLine>(); }},
        {"Square", [] { return std::make_shared<QXPDFAnnotSquare>(); }},
        {"Circle", [] { return std::make_shared<QXPDFAnnotCircel>(); }},
        {"Highlight", [] { return std::make_shared<QXPDFAnnotHighlight>(); }},
        {"Underline", [] { return std::make_shared<QXPDFAnnotUnderline>(); }},
        {"StrikeOut", [] { return std::make_shared<QXPDFAnnotStrikeout>(); }},
        {"FreeText", [] { return std::make_shared<QXPDFAnnotFreeText>(); }},
        {"Link", [] { return std::make_shared<QXPDFAnnotLink>(); }},
        {"Text", [] { return std::make_shared<QXPDFAnnotText>(); }},
        {"Popup", [] { return std::make_shared<QXPDFAnnotPopup>(); }},
        {"Ink", [] { return std::make_shared<QXPDFAnnotInk>(); }},
        {"Stamp", [] { return std::make_shared<QXPDFAnnotStamp>(); }},
        {"Widget", [] { return std::make_shared<QXPDFAnnotWidget>(); }},
    };
    std::shared_ptr<QXPDFAnnot> annot;
    if (const std::optional<std::string> subtype = dictionary.get("Subtype").name())
        for (const auto& [name, make] : kKinds)
            if (*subtype == name) {
                annot = make();
                break;
            }
    if (!annot)
        annot = std::shared_ptr<QXPDFAnnot>(new QXPDFAnnot());
    annot->initWithPDFDictionary(dictionary);
    return annot;
}

double QXPDFAnnot::numberOf(const pdf::Object& dictionary, std::string_view key, double fallback)
{
    double v = 0;
    if (!QXPDFUtilities::GetNumberWithPDFDictionary(dictionary, key, &v) || !std::isfinite(v))
        return fallback;
    return v;
}

double QXPDFAnnot::numberAt(const pdf::Object& array, size_t index, double fallback)
{
    double v = 0;
    if (!QXPDFUtilities::GetNumberWithPDFArray(array, index, &v) || !std::isfinite(v))
        return fallback;
    return v;
}

std::string QXPDFAnnot::stringOf(const pdf::Object& dictionary, std::string_view key)
{
    return QXPDFUtilities::GetStringWithPDFDictionary(dictionary, key).value_or(std::string());
}

QXPDFColor QXPDFAnnot::RGBColorWithArray(const pdf::Object& array)
{
    QXPDFColor color = QXPDFColorSpace::defaultPDFColor();
    if (!array.isArray() || array.size() != 3)
        return color;
    color.length = 3;
    color.isNull = 0;
    for (size_t i = 0; i < 3; ++i)
        color.c[i] = QXPDFColorComponentFromOperand(numberAt(array, i, 0));
    return color;
}

std::shared_ptr<const QXPDFColorSpace> QXPDFAnnot::DeviceColorSpaceForColor(const QXPDFColor& color,
                                                                            const std::string& objectKey)
{
    std::shared_ptr<QXPDFColorSpace> space;
    if (color.length == 1)
        space = std::make_shared<QXPDFDeviceGrayColorSpace>();
    else if (color.length == 4)
        space = std::make_shared<QXPDFDeviceCMYKColorSpace>();
    else
        space = QXPDFColorSpace::DefaultDeviceRGBColorSpace();
    space->setObjectKey(objectKey);
    return space;
}

void QXPDFAnnot::initWithPDFDictionary(const pdf::Object& dictionary)
{
    type_ = stringOf(dictionary, "Subtype");

    bounds_ = Rect(0, 0, 1, 1);
    const pdf::Object rect = dictionary.get("Rect");
    if (rect.isArray() && rect.size() == 4) {
        double x1 = numberAt(rect, 0, 0), y1 = numberAt(rect, 1, 0);
        double x2 = numberAt(rect, 2, 1), y2 = numberAt(rect, 3, 1);
        if (x1 > x2)
            std::swap(x1, x2);
        if (y1 > y2)
            std::swap(y1, y2);
        bounds_ = Rect(x1, y1, x2 - x1, y2 - y1);
    }
    displayUnderText_ = false;

    const double flags = numberOf(dictionary, "F", 0);
    flags_ = std::fabs(flags) < 2147483648.0 ? long(flags) : 0;
    // The constant opacity of the annotation's drawing.
    opacity_ = std::clamp(numberOf(dictionary, "CA", 1.0), 0.0, 1.0);
    modificationDate_ = stringOf(dictionary, "M");
    userName_ = stringOf(dictionary, "NM");

    popup_.reset();
    if (readsPopup_)
        if (const pdf::Object popup = dictionary.get("Popup"); popup.isDictionary())
            popup_ = QXPDFAnnotPopup::PopupOfParent(popup);

    border_.reset();
    if (const pdf::Object border = dictionary.get("Border"); border.isArray())
        border_ = std::make_shared<QXPDFBorderArray>(border);
    color_ = RGBColorWithArray(dictionary.get("C"));
    contents_ = stringOf(dictionary, "Contents");

    const pdf::Object ap = dictionary.get("AP");
    appearStreams_ = ap.isDictionary() ? std::make_shared<QXPDFAnnotAppearance>(ap) : nullptr;
    const std::string state = stringOf(dictionary, "AS");
    appearState_ = !state.empty() ? state : appearStreams_ ? "N" : "Off";
}

// ---------------------------------------------------------------------------
// Copies

std::shared_ptr<QXPDFAnnot> QXPDFAnnot::copy() const
{
    return copyOfKind<QXPDFAnnot>();
}

void QXPDFAnnot::deepCopyMembers()
{
    if (popup_)
        popup_ = std::static_pointer_cast<QXPDFAnnotPopup>(popup_->copy());
    if (border_)
        border_ = border_->copy();
    if (action_)
        action_ = action_->copy();
    if (appearStreams_)
        appearStreams_ = std::make_shared<QXPDFAnnotAppearance>(*appearStreams_);
}

// ---------------------------------------------------------------------------
// Drawing

void QXPDFAnnot::startParser()
{
    drawAppearanceStream(type_);
}

bool QXPDFAnnot::drawAppearanceStream(const std::string& streamKey)
{
    if (!delegate_ || !appearStreams_)
        return false;
    const pdf::Object stream = appearStreams_->getAppearanceStream(QXPDFAnnotAppearanceNormal, appearState_);
    if (!stream.isStream())
        return false;
    delegate_->QXPDFAnnot_didScanStream_streamKey(self(), stream, streamKey);
    return true;
}

QXPDFRenderState* QXPDFAnnot::currentRenderingState() const
{
    return delegate_ ? delegate_->QXPDFAnnotCurrentRenderingState() : nullptr;
}

void QXPDFAnnot::setStroke(QXPDFRenderState& state, const QXPDFColor& color, const std::string& spaceKey,
                           bool withOpacity) const
{
    state.setStrokePattern(nullptr);
    state.setStrokeColorSpace(DeviceColorSpaceForColor(color, spaceKey));
    state.setStrokeColor(color);
    if (withOpacity)
        state.setStrokeAlpha(opacity_);
}

void QXPDFAnnot::setFill(QXPDFRenderState& state, const QXPDFColor& color, const std::string& spaceKey,
                         bool withOpacity) const
{
    state.setFillPattern(nullptr);
    state.setFillColorSpace(DeviceColorSpaceForColor(color, spaceKey));
    state.setFillColor(color);
    if (withOpacity)
        state.setFillAlpha(opacity_);
}

void QXPDFAnnot::setBorderLineStyle(QXPDFRenderState& state) const
{
    if (!border_) {
        state.setLineWidth(1);
        return;
    }
    state.setLineWidth(border_->lineWidth());
    state.setLineDashPattern(border_->dashPattern().value_or(std::vector<double>()));
}

} // namespace rz
