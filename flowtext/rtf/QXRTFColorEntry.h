// A colour of the RTF colour table, components 0..1.
#pragma once

#include <string>

namespace rz {

class QXRTFColorEntry {
public:
    QXRTFColorEntry() = default;
    QXRTFColorEntry(double red, double green, double blue, double alpha)
        : red(red), green(green), blue(blue), alpha(alpha)
    {
    }

    // "\redR\greenG\blueB;" with each component x 255; a colour whose three
    // components all exceed 0.9 is written as mid-grey (127.5 each).
    std::string rtfFormat() const;
    // Red, green and blue exactly equal; alpha is not compared.
    bool isEqualToColor(const QXRTFColorEntry& other) const;

    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1.0;
};

} // namespace rz
