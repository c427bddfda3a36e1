#include "pdfengine/color/ColorConversions.h"

#include <cmath>

namespace rz {

namespace {

// RGB of the corners, indexed by the bits c m y k (c the highest).
constexpr double kCMYKCorners[16][3] = {
    {1, 1, 1},                // 0000
    {0.1373, 0.1216, 0.1255}, // 0001
    {1, 0.949, 0},            // 0010
    {0.1098, 0.102, 0},       // 0011
    {0.9255, 0, 0.549},       // 0100
    {0.1412, 0, 0},           // 0101
    {0.9294, 0.1098, 0.1412}, // 0110
    {0.1333, 0, 0},           // 0111
    {0, 0.6784, 0.9373},      // 1000
    {0, 0.0588, 0.1412},      // 1001
    {0, 0.651, 0.3137},       // 1010
    {0, 0.0745, 0},           // 1011
    {0.1804, 0.1922, 0.5725}, // 1100
    {0, 0, 0.0078},           // 1101
    {0.2118, 0.2119, 0.2235}, // 1110
    {0, 0, 0},                // 1111
};

constexpr double kD65[3] = {0.95047, 1.0, 1.08883};

} // namespace

std::array<double, 3> QXPDFBlendCMYKToRGB(double c, double m, double y, double k)
{
    const double v[4][2] = {{1 - c, c}, {1 - m, m}, {1 - y, y}, {1 - k, k}};
    std::array<double, 3> sum{0, 0, 0};
    for (int corner = 0; corner < 16; ++corner) {
        const double w = v[0][(corner >> 3) & 1] * v[1][(corner >> 2) & 1] * v[2][(corner >> 1) & 1] *
                         v[3][corner & 1];
        for (int i = 0; i < 3; ++i)
            sum[i] += w * kCMYKCorners[corner][i];
    }
    return sum;
}

double QXPDFEncodeSRGB(double linear)
{
    if (!(linear > 0))
        return 0;
    if (linear >= 1)
        return 1;
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

std::array<double, 3> QXPDFXYZToSRGB(double x, double y, double z, const std::array<double, 3>& white)
{
    // Scale the source white onto D65 (a von Kries step in XYZ); a white
    // point that is not positive is taken as D65 itself.
    const double wx = white[0] > 0 ? white[0] : kD65[0];
    const double wy = white[1] > 0 ? white[1] : kD65[1];
    const double wz = white[2] > 0 ? white[2] : kD65[2];
    x *= kD65[0] / wx;
    y *= kD65[1] / wy;
    z *= kD65[2] / wz;
    const double r = 3.2404542 * x - 1.5371385 * y - 0.4985314 * z;
    const double g = -0.9692660 * x + 1.8760108 * y + 0.0415560 * z;
    const double b = 0.0556434 * x - 0.2040259 * y + 1.0572252 * z;
    return {QXPDFEncodeSRGB(r), QXPDFEncodeSRGB(g), QXPDFEncodeSRGB(b)};
}

} // namespace rz
