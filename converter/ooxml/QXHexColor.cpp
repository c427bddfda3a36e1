#include "converter/ooxml/QXHexColor.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

// Largest channel value, of 255, that still counts as black.
constexpr long kBlackChannelLimit = 10;

// A component 0..1 as a channel value 0..255, rounded (NaN gives 0).
long channel(double component)
{
    if (std::isnan(component))
        return 0;
    return std::clamp(std::lround(std::clamp(component, 0.0, 1.0) * 255.0), 0L, 255L);
}

void appendHexByte(std::string& out, long value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out.push_back(kDigits[(value >> 4) & 0xF]);
    out.push_back(kDigits[value & 0xF]);
}

} // namespace

std::string QXHexColor::getHexColorFromCGColor(const Color& color)
{
    long r = 0, g = 0, b = 0;
    if (color.model == Color::Model::RGB) {
        r = channel(color.component(0));
        g = channel(color.component(1));
        b = channel(color.component(2));
    } else if (color.model == Color::Model::Monochrome) {
        r = g = b = channel(color.component(0));
    }
    return hexFromChannels(r, g, b);
}

std::string QXHexColor::hexFromChannels(long r, long g, long b)
{
    std::string hex;
    hex.reserve(6);
    for (const long value : {r, g, b})
        appendHexByte(hex, std::clamp(value, 0L, 255L));
    return hex;
}

std::optional<std::string> QXHexColor::getHexColorFromCGColor(const std::optional<Color>& color)
{
    if (!color)
        return std::nullopt;
    return getHexColorFromCGColor(*color);
}

Color QXHexColor::whiteCGColor()
{
    return Color::rgb(1, 1, 1, 1);
}

bool QXHexColor::isBlackColor(const std::optional<Color>& color)
{
    if (!color)
        return false;
    switch (color->model) {
    case Color::Model::RGB:
        return channel(color->component(0)) <= kBlackChannelLimit &&
               channel(color->component(1)) <= kBlackChannelLimit &&
               channel(color->component(2)) <= kBlackChannelLimit;
    case Color::Model::Monochrome:
        return channel(color->component(0)) <= kBlackChannelLimit;
    default:
        return true;
    }
}

} // namespace rz
