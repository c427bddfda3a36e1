// The drawing side's colour space: what a bitmap context, a gradient or an
// image decoder needs to turn components into RGB. Colour spaces of the
// engine hand one out through QXPDFColorSpace::CGColorSpace(); image
// extraction builds them directly.
//
// Components are in the space's own units: 0..1 for device, calibrated and
// ICC-based spaces (ICC ranges aside), L 0..100 and a, b in their ranges for
// Lab, the index for Indexed. ICC profiles are not interpreted: an ICC-based
// space converts through its alternate.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace rz::cg {

enum class ColorModel {
    DeviceGray,
    DeviceRGB,
    DeviceCMYK,
    CalibratedGray,
    CalibratedRGB,
    Lab,
    ICCBased,
    Indexed,
    Pattern,
};

class ColorSpace;
using ColorSpaceRef = std::shared_ptr<const ColorSpace>;

class ColorSpace {
public:
    static ColorSpaceRef deviceGray();
    static ColorSpaceRef deviceRGB();
    static ColorSpaceRef deviceCMYK();
    // Calibrated spaces: white point (X, Y, Z), black point, gamma per
    // component and, for RGB, the 3×3 matrix [XA YA ZA XB YB ZB XC YC ZC].
    static ColorSpaceRef calibratedGray(const std::array<double, 3>& whitePoint,
                                        const std::array<double, 3>& blackPoint, double gamma);
    static ColorSpaceRef calibratedRGB(const std::array<double, 3>& whitePoint,
                                       const std::array<double, 3>& blackPoint,
                                       const std::array<double, 3>& gamma,
                                       const std::array<double, 9>& matrix);
    // range = aMin, aMax, bMin, bMax.
    static ColorSpaceRef lab(const std::array<double, 3>& whitePoint,
                             const std::array<double, 3>& blackPoint,
                             const std::array<double, 4>& range);
    // `ranges` holds a min and max per component (missing pairs are 0..1).
    // Nothing without an alternate, for 0 or more than 32 components.
    static ColorSpaceRef iccBased(size_t components, const std::vector<double>& ranges,
                                  ColorSpaceRef alternate);
    // `table` holds (lastIndex + 1) × base components bytes, each scaled
    // into the base component's range. Nothing without a usable base
    // (none, Indexed or Pattern), for lastIndex outside 0..255 or a short table.
    static ColorSpaceRef indexed(ColorSpaceRef base, int lastIndex, const std::uint8_t* table,
                                 size_t tableLength);
    // A pattern space; `base` (may be null) colours uncoloured patterns.
    static ColorSpaceRef pattern(ColorSpaceRef base);

    ColorModel model() const { return model_; }
    // The pattern space answers its base's count (0 without one).
    size_t numberOfComponents() const;
    // Range of component i in the space's units: what a byte 0..255 of an
    // indexed lookup table or an 8-bit image sample spans by default
    // (Indexed: 0..255).
    void componentRange(size_t i, double* lo, double* hi) const;

    // One colour of numberOfComponents() values to RGB, each 0..1.
    std::array<double, 3> toRGB(const double* components) const;
    // `count` pixels of 8-bit samples (numberOfComponents() bytes each) to
    // 8-bit RGB (3 bytes each). A sample s stands for d0 + s·(d1 − d0)/255
    // with `decode` = [d0 d1 ...] per component, or componentRange() when
    // `decode` is null; callers with fewer bits per sample scale to 0..255
    // first (Indexed indices are passed as they are). Each call builds its
    // tables afresh: convert whole images (or large runs) at once.
    void convertRow8ToRGB8(const std::uint8_t* samples, size_t count, std::uint8_t* rgb,
                           const double* decode = nullptr) const;

    const std::array<double, 3>& whitePoint() const { return white_; }
    const std::array<double, 3>& blackPoint() const { return black_; }
    const std::array<double, 3>& gamma() const { return gamma_; }
    const std::array<double, 9>& matrix() const { return matrix_; }
    // Lab: aMin, aMax, bMin, bMax. ICC-based: a min and max per component.
    const std::vector<double>& ranges() const { return ranges_; }
    // The ICC alternate, the Indexed base or the pattern base.
    const ColorSpaceRef& base() const { return base_; }
    int lastIndex() const { return lastIndex_; }
    const std::vector<std::uint8_t>& lookupTable() const { return lookup_; }

private:
    explicit ColorSpace(ColorModel model) : model_(model) {}

    ColorModel model_;
    size_t components_ = 0;
    std::array<double, 3> white_{1, 1, 1};
    std::array<double, 3> black_{0, 0, 0};
    std::array<double, 3> gamma_{1, 1, 1};
    std::array<double, 9> matrix_{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::vector<double> ranges_;
    ColorSpaceRef base_;
    int lastIndex_ = -1;
    std::vector<std::uint8_t> lookup_;
};

} // namespace rz::cg

namespace rz {
using CGColorSpaceRef = cg::ColorSpaceRef;
}
