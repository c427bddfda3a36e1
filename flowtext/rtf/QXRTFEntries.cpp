#include "flowtext/rtf/QXRTFColorEntry.h"
#include "flowtext/rtf/QXRTFFontEntry.h"

#include "flowtext/rtf/QXRTFUtilities.h"
#include "platform/core/Numbers.h"

#include <cmath>

namespace rz {

namespace {

// Near-white text would vanish on the page: it is written mid-grey.
constexpr double kNearWhite = 0.9;
constexpr double kMidGrey = 127.5;

std::string component(double v)
{
    return formatFixed(std::isfinite(v) ? v : 0.0, 0);
}

} // namespace

QXRTFFontEntry::QXRTFFontEntry() : fontName("Arial Unicode MS") {}

QXRTFFontEntry::QXRTFFontEntry(const std::optional<std::string>& name, double size) : fontName(name), fontSize(size)
{
}

std::string QXRTFFontEntry::rtfFormat() const
{
    if (!fontName)
        return ";";
    return "\\f" + formatInteger(fontIndex) + "\\fnil\\fcharset0 " + QXRTFUtilities::rtfFontName(*fontName) + ";";
}

bool QXRTFFontEntry::isEqualToFont(const QXRTFFontEntry& other) const
{
    return isEqualToName(other.fontName, other.fontSize);
}

bool QXRTFFontEntry::isEqualToName(const std::optional<std::string>& name, double size) const
{
    return fontName == name && fontSize == size;
}

std::string QXRTFColorEntry::rtfFormat() const
{
    double r = red * 255, g = green * 255, b = blue * 255;
    if (red > kNearWhite && green > kNearWhite && blue > kNearWhite)
        r = g = b = kMidGrey;
    return "\\red" + component(r) + "\\green" + component(g) + "\\blue" + component(b) + ";";
}

bool QXRTFColorEntry::isEqualToColor(const QXRTFColorEntry& other) const
{
    return red == other.red && green == other.green && blue == other.blue;
}

} // namespace rz
