// Conversions shared by the engine's colour spaces and the drawing side.
#pragma once

#include <array>

namespace rz {

// CMYK (each nominally 0..1, not clipped) to RGB by blending the colours of
// the 16 corners of the CMYK cube; results are not clipped.
std::array<double, 3> QXPDFBlendCMYKToRGB(double c, double m, double y, double k);

// Linear-light sRGB component to its encoded value, each 0..1 (clipped).
double QXPDFEncodeSRGB(double linear);

// CIE XYZ relative to `white` to encoded sRGB (0..1 each): the white point
// is scaled onto D65, then the sRGB matrix and curve apply.
std::array<double, 3> QXPDFXYZToSRGB(double x, double y, double z, const std::array<double, 3>& white);

} // namespace rz
