// Colours as the six hex digits the Office Open XML writers use, and the
// colour tests of the exporters.
#pragma once

#include "platform/geometry/Color.h"

#include <optional>
#include <string>

namespace rz {

class QXHexColor {
public:
    // "rrggbb" in lower case: each RGB component × 255, rounded; a
    // monochrome colour gives its grey level three times; any other colour
    // model gives "000000". Components outside 0..1 are clamped.
    static std::string getHexColorFromCGColor(const Color& color);
    // "rrggbb" in lower case of three channel values, each clamped to 0..255.
    static std::string hexFromChannels(long r, long g, long b);
    // The same, nothing for no colour.
    static std::optional<std::string> getHexColorFromCGColor(const std::optional<Color>& color);
    // An opaque white RGB colour.
    static Color whiteCGColor();
    // True when every RGB component, or the grey level, rounded to 0..255
    // is at most 10; a colour of any other model counts as black; no colour
    // is not black.
    static bool isBlackColor(const std::optional<Color>& color);
};

} // namespace rz
