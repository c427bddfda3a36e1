// A drawing colour as the output side sees it: a colour model, its
// components (0..1 each, without alpha) and an alpha value. Values are
// copied; there is no shared colour object.
#pragma once

#include <cstddef>
#include <vector>

namespace rz {

struct Color {
    // The colour model of the components. Only Monochrome, RGB and CMYK
    // have a fixed component count (1, 3, 4); the others carry whatever
    // their producer put in.
    enum class Model { Monochrome, RGB, CMYK, Lab, DeviceN, Indexed, Pattern, Unknown };

    Model model = Model::RGB;
    std::vector<double> components;
    double alpha = 1.0;

    static Color rgb(double red, double green, double blue, double alpha = 1.0)
    {
        return {Model::RGB, {red, green, blue}, alpha};
    }
    static Color gray(double level, double alpha = 1.0) { return {Model::Monochrome, {level}, alpha}; }
    static Color cmyk(double cyan, double magenta, double yellow, double black, double alpha = 1.0)
    {
        return {Model::CMYK, {cyan, magenta, yellow, black}, alpha};
    }

    // Component i, or 0 when the colour has fewer components.
    double component(std::size_t i) const { return i < components.size() ? components[i] : 0.0; }

    friend bool operator==(const Color&, const Color&) = default;
};

} // namespace rz
