#include "docx/layout/QXDocxTextPathInfo.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "platform/core/Numbers.h"

#include <cmath>

namespace rz {

namespace {

// A component 0..1 as a byte, rounded; out-of-range and non-finite values
// are kept inside 0..255.
int componentByte(double component)
{
    const double scaled = component * 255.0;
    if (!std::isfinite(scaled) || scaled <= 0) {
        return 0;
    }
    if (scaled >= 255) {
        return 255;
    }
    return static_cast<int>(std::lround(scaled));
}

void appendHexByte(std::string& out, int value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

// The whole-number part of a double, kept inside the 64-bit range.
long long wholeNumber(double value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    if (value >= 9.2e18) {
        return 9'200'000'000'000'000'000LL;
    }
    if (value <= -9.2e18) {
        return -9'200'000'000'000'000'000LL;
    }
    return static_cast<long long>(value);
}

} // namespace

QXDocxTextPathInfo::QXDocxTextPathInfo() : rProperty_(QXDocxUtilities::defaultRProperty()) {}

std::shared_ptr<QXDocxRunPictInfo> QXDocxTextPathInfo::makeEmpty() const
{
    return std::make_shared<QXDocxTextPathInfo>();
}

std::optional<std::string> QXDocxTextPathInfo::colorString(const std::optional<Color>& color)
{
    if (!color) {
        return std::nullopt;
    }
    int red = 0;
    int green = 0;
    int blue = 0;
    if (color->model == Color::Model::RGB) {
        red = componentByte(color->component(0));
        green = componentByte(color->component(1));
        blue = componentByte(color->component(2));
    } else if (color->model == Color::Model::Monochrome) {
        red = green = blue = componentByte(color->component(0));
    }
    std::string result = "#";
    appendHexByte(result, red);
    appendHexByte(result, green);
    appendHexByte(result, blue);
    return result;
}

QXDocx_Color QXDocxTextPathInfo::fillColorQX() const
{
    return QXDocxUtilities::QXDocxColorFromCGColor(fillcolor_);
}

QXDocx_Color QXDocxTextPathInfo::strokeColorQX() const
{
    return QXDocxUtilities::QXDocxColorFromCGColor(strokecolor_);
}

std::string QXDocxTextPathInfo::strokeDashPhaseString() const
{
    return formatInteger(strokeDashPhase_);
}

std::optional<std::string> QXDocxTextPathInfo::strokeDashPatternString() const
{
    if (!strokeDashPattern_) {
        return std::nullopt;
    }
    std::string result;
    for (std::size_t i = 0; i < strokeDashPattern_->size(); ++i) {
        if (i > 0) {
            result += ' ';
        }
        result += formatInteger(wholeNumber((*strokeDashPattern_)[i]));
    }
    return result;
}

} // namespace rz
