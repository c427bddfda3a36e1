#include "docx/layout/QXDocxPathInfo.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxTextPathInfo.h"
#include "platform/core/Numbers.h"

#include <cmath>

namespace rz {

namespace pathinfo {

// An opacity as a record alpha: times 255, cut to a whole number; kept
// inside 0..255 (nothing for a value that is not a number).
std::int32_t alphaOf(float opacity)
{
    const double scaled = static_cast<double>(opacity) * 255.0;
    if (!std::isfinite(scaled) || scaled <= 0)
        return 0;
    if (scaled >= 255)
        return 255;
    return static_cast<std::int32_t>(scaled);
}

// The whole-number part of a dash length, kept inside the 64-bit range.
long long wholeDash(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= 9.2e18)
        return 9'200'000'000'000'000'000LL;
    if (value <= -9.2e18)
        return -9'200'000'000'000'000'000LL;
    return static_cast<long long>(value);
}

} // namespace pathinfo

std::shared_ptr<QXDocxRunPictInfo> QXDocxPathInfo::makeEmpty() const
{
    return std::make_shared<QXDocxPathInfo>();
}

void QXDocxPathInfo::setFillAlpha(float value)
{
    fillAlpha_ = value;
    fillColorQX_.alpha = pathinfo::alphaOf(value);
}

void QXDocxPathInfo::setStrokeAlpha(float value)
{
    strokeAlpha_ = value;
    strokeColorQX_.alpha = pathinfo::alphaOf(value);
}

void QXDocxPathInfo::setStrokecolor(const std::optional<Color>& value)
{
    strokecolor_ = value;
    strokeColorQX_ = QXDocxUtilities::QXDocxColorFromCGColor(strokecolor_);
    strokeColorQX_.alpha = pathinfo::alphaOf(strokeAlpha_);
}

void QXDocxPathInfo::setFillcolor(const std::optional<Color>& value)
{
    fillcolor_ = value;
    fillColorQX_ = QXDocxUtilities::QXDocxColorFromCGColor(fillcolor_);
    fillColorQX_.alpha = pathinfo::alphaOf(fillAlpha_);
}

std::optional<std::string> QXDocxPathInfo::colorString(const std::optional<Color>& color)
{
    return QXDocxTextPathInfo::colorString(color);
}

std::string QXDocxPathInfo::strokeDashPhaseString() const
{
    return formatInteger(strokeDashPhase_);
}

std::optional<std::string> QXDocxPathInfo::strokeDashPatternString() const
{
    if (!strokeDashPattern_)
        return std::nullopt;
    std::string result;
    for (std::size_t i = 0; i < strokeDashPattern_->size(); ++i) {
        if (i > 0)
            result += ' ';
        result += formatInteger(pathinfo::wholeDash((*strokeDashPattern_)[i]));
    }
    return result;
}

std::shared_ptr<QXDocxPathInfo> QXDocxPathInfo::copyPathInfo() const
{
    auto result = std::static_pointer_cast<QXDocxPathInfo>(copy());
    result->setStrokeDashPattern(strokeDashPattern_);
    result->setStrokeDashPhase(strokeDashPhase_);
    result->setStrokeweight(strokeweight_);
    result->setFillAlpha(fillAlpha_);
    result->setStrokeAlpha(strokeAlpha_);
    return result;
}

std::int32_t QXDocxPathInfo::BorderStyleForPathInfo(const QXDocxPathInfo& path, const QXDocx_Color& backgroundColor)
{
    if (path.stroked()) {
        const std::size_t dashes = path.strokeDashPattern() ? path.strokeDashPattern()->size() : 0;
        if (dashes >= 2) {
            switch (dashes) {
            case 2:
                return kBorderDashed;
            case 3:
                return kBorderDotted;
            case 4:
                return kBorderDotDash;
            default:
                return kBorderDotDotDash;
            }
        }
        return QXColorIsNearlyEqual(path.strokeColorQX(), backgroundColor) ? kBorderNil : kBorderSingle;
    }
    if (!path.filled())
        return kBorderNil;
    const bool thinWidth = path.displayWidth() < kLineMaxThickness;
    const bool thinHeight = path.displayHeight() < kLineMaxThickness;
    if (thinWidth == thinHeight)
        return kBorderNil;
    return QXColorIsNearlyEqual(path.fillColorQX(), backgroundColor) ? kBorderNil : kBorderSingle;
}

} // namespace rz
