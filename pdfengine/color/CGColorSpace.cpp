#include "pdfengine/color/CGColorSpace.h"

#include "pdfengine/color/ColorConversions.h"
#include "pdfengine/color/QXPDFColor.h"
#include "pdfengine/color/QXPDFColorLimits.h"

#include <algorithm>
#include <cmath>

namespace rz::cg {

namespace {

double clip01(double v)
{
    if (!(v > 0))
        return 0;
    return v < 1 ? v : 1;
}

// A power that stays defined: negative or NaN bases count as 0.
double safePow(double base, double exponent)
{
    if (!(base > 0))
        return 0;
    const double r = std::pow(base, exponent);
    return std::isfinite(r) ? r : 0;
}

double labInverse(double t)
{
    constexpr double d = 6.0 / 29.0;
    return t > d ? t * t * t : 3 * d * d * (t - 4.0 / 29.0);
}

std::uint8_t toByte(double v01)
{
    return static_cast<std::uint8_t>(QXPDFTruncateClamped(v01 * 255.0 + 0.5, 0, 255));
}

} // namespace

ColorSpaceRef ColorSpace::deviceGray()
{
    static const ColorSpaceRef space = [] {
        auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::DeviceGray));
        s->components_ = 1;
        return s;
    }();
    return space;
}

ColorSpaceRef ColorSpace::deviceRGB()
{
    static const ColorSpaceRef space = [] {
        auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::DeviceRGB));
        s->components_ = 3;
        return s;
    }();
    return space;
}

ColorSpaceRef ColorSpace::deviceCMYK()
{
    static const ColorSpaceRef space = [] {
        auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::DeviceCMYK));
        s->components_ = 4;
        return s;
    }();
    return space;
}

ColorSpaceRef ColorSpace::calibratedGray(const std::array<double, 3>& whitePoint,
                                         const std::array<double, 3>& blackPoint, double gamma)
{
    auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::CalibratedGray));
    s->components_ = 1;
    s->white_ = whitePoint;
    s->black_ = blackPoint;
    s->gamma_ = {gamma, gamma, gamma};
    return s;
}

ColorSpaceRef ColorSpace::calibratedRGB(const std::array<double, 3>& whitePoint,
                                        const std::array<double, 3>& blackPoint,
                                        const std::array<double, 3>& gamma,
                                        const std::array<double, 9>& matrix)
{
    auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::CalibratedRGB));
    s->components_ = 3;
    s->white_ = whitePoint;
    s->black_ = blackPoint;
    s->gamma_ = gamma;
    s->matrix_ = matrix;
    return s;
}

ColorSpaceRef ColorSpace::lab(const std::array<double, 3>& whitePoint,
                              const std::array<double, 3>& blackPoint,
                              const std::array<double, 4>& range)
{
    auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::Lab));
    s->components_ = 3;
    s->white_ = whitePoint;
    s->black_ = blackPoint;
    s->ranges_.assign(range.begin(), range.end());
    return s;
}

ColorSpaceRef ColorSpace::iccBased(size_t components, const std::vector<double>& ranges,
                                   ColorSpaceRef alternate)
{
    if (!alternate || components == 0 || components > static_cast<size_t>(kQXPDFMaxColorComponents))
        return nullptr;
    auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::ICCBased));
    s->components_ = components;
    s->ranges_.resize(2 * components);
    for (size_t i = 0; i < components; ++i) {
        s->ranges_[2 * i] = 2 * i < ranges.size() ? ranges[2 * i] : 0.0;
        s->ranges_[2 * i + 1] = 2 * i + 1 < ranges.size() ? ranges[2 * i + 1] : 1.0;
    }
    s->base_ = std::move(alternate);
    return s;
}

ColorSpaceRef ColorSpace::indexed(ColorSpaceRef base, int lastIndex, const std::uint8_t* table,
                                  size_t tableLength)
{
    if (!base || base->model_ == ColorModel::Indexed || base->model_ == ColorModel::Pattern)
        return nullptr;
    if (lastIndex < 0 || lastIndex > 255 || !table)
        return nullptr;
    const size_t needed = static_cast<size_t>(lastIndex + 1) * base->numberOfComponents();
    if (tableLength < needed)
        return nullptr;
    auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::Indexed));
    s->components_ = 1;
    s->lastIndex_ = lastIndex;
    s->lookup_.assign(table, table + needed);
    s->base_ = std::move(base);
    return s;
}

ColorSpaceRef ColorSpace::pattern(ColorSpaceRef base)
{
    auto s = std::shared_ptr<ColorSpace>(new ColorSpace(ColorModel::Pattern));
    s->base_ = std::move(base);
    return s;
}

size_t ColorSpace::numberOfComponents() const
{
    if (model_ == ColorModel::Pattern)
        return base_ ? base_->numberOfComponents() : 0;
    return components_;
}

void ColorSpace::componentRange(size_t i, double* lo, double* hi) const
{
    double l = 0, h = 1;
    switch (model_) {
    case ColorModel::Lab:
        if (i == 0) {
            h = 100;
        } else if (i <= 2) {
            l = ranges_[2 * (i - 1)];
            h = ranges_[2 * (i - 1) + 1];
        }
        break;
    case ColorModel::ICCBased:
        if (2 * i + 1 < ranges_.size()) {
            l = ranges_[2 * i];
            h = ranges_[2 * i + 1];
        }
        break;
    case ColorModel::Indexed:
        h = 255;
        break;
    case ColorModel::Pattern:
        if (base_)
            base_->componentRange(i, &l, &h);
        break;
    default:
        break;
    }
    *lo = l;
    *hi = h;
}

std::array<double, 3> ColorSpace::toRGB(const double* v) const
{
    switch (model_) {
    case ColorModel::DeviceGray: {
        const double g = clip01(v[0]);
        return {g, g, g};
    }
    case ColorModel::DeviceRGB:
        return {clip01(v[0]), clip01(v[1]), clip01(v[2])};
    case ColorModel::DeviceCMYK: {
        const auto rgb =
            QXPDFBlendCMYKToRGB(clip01(v[0]), clip01(v[1]), clip01(v[2]), clip01(v[3]));
        return {clip01(rgb[0]), clip01(rgb[1]), clip01(rgb[2])};
    }
    case ColorModel::CalibratedGray: {
        const double y = safePow(clip01(v[0]), gamma_[0]);
        return QXPDFXYZToSRGB(white_[0] * y, white_[1] * y, white_[2] * y, white_);
    }
    case ColorModel::CalibratedRGB: {
        const double a = safePow(clip01(v[0]), gamma_[0]);
        const double b = safePow(clip01(v[1]), gamma_[1]);
        const double c = safePow(clip01(v[2]), gamma_[2]);
        const auto& m = matrix_;
        return QXPDFXYZToSRGB(m[0] * a + m[3] * b + m[6] * c, m[1] * a + m[4] * b + m[7] * c,
                              m[2] * a + m[5] * b + m[8] * c, white_);
    }
    case ColorModel::Lab: {
        const double l = std::clamp(std::isnan(v[0]) ? 0.0 : v[0], 0.0, 100.0);
        double a = std::isnan(v[1]) ? 0.0 : v[1];
        double b = std::isnan(v[2]) ? 0.0 : v[2];
        a = std::clamp(a, std::min(ranges_[0], ranges_[1]), std::max(ranges_[0], ranges_[1]));
        b = std::clamp(b, std::min(ranges_[2], ranges_[3]), std::max(ranges_[2], ranges_[3]));
        const double fy = (l + 16) / 116;
        return QXPDFXYZToSRGB(white_[0] * labInverse(fy + a / 500), white_[1] * labInverse(fy),
                              white_[2] * labInverse(fy - b / 200), white_);
    }
    case ColorModel::ICCBased: {
        // The alternate may expect more components than the profile has.
        double values[kQXPDFMaxColorComponents] = {};
        std::copy(v, v + components_, values);
        return base_->toRGB(values);
    }
    case ColorModel::Indexed: {
        const auto index = static_cast<size_t>(QXPDFTruncateClamped(v[0] + 0.5, 0, lastIndex_));
        const size_t n = base_->numberOfComponents();
        double baseValues[kQXPDFMaxColorComponents];
        for (size_t i = 0; i < n; ++i) {
            double lo, hi;
            base_->componentRange(i, &lo, &hi);
            baseValues[i] = lo + lookup_[index * n + i] * (hi - lo) / 255.0;
        }
        return base_->toRGB(baseValues);
    }
    case ColorModel::Pattern:
        if (base_)
            return base_->toRGB(v);
        return {0, 0, 0};
    }
    return {0, 0, 0};
}

void ColorSpace::convertRow8ToRGB8(const std::uint8_t* samples, size_t count, std::uint8_t* rgb,
                                   const double* decode) const
{
    const size_t n = numberOfComponents();
    if (n == 0) {
        std::fill(rgb, rgb + 3 * count, std::uint8_t{0});
        return;
    }
    // Value of each byte per component.
    std::vector<double> lut(256 * n);
    bool identity = true;
    for (size_t i = 0; i < n; ++i) {
        double lo, hi;
        if (decode) {
            lo = decode[2 * i];
            hi = decode[2 * i + 1];
        } else {
            componentRange(i, &lo, &hi);
        }
        if (lo != 0 || hi != 1)
            identity = false;
        for (int s = 0; s < 256; ++s)
            lut[256 * i + s] = lo + s * (hi - lo) / 255.0;
    }
    if (identity && model_ == ColorModel::DeviceRGB) {
        std::copy(samples, samples + 3 * count, rgb);
        return;
    }
    if (n == 1) {
        // One component: a table of the 256 results.
        std::uint8_t table[256][3];
        for (int s = 0; s < 256; ++s) {
            const auto c = toRGB(&lut[s]);
            for (int k = 0; k < 3; ++k)
                table[s][k] = toByte(c[k]);
        }
        for (size_t p = 0; p < count; ++p) {
            const auto* t = table[samples[p]];
            rgb[3 * p] = t[0];
            rgb[3 * p + 1] = t[1];
            rgb[3 * p + 2] = t[2];
        }
        return;
    }
    double values[kQXPDFMaxColorComponents];
    for (size_t p = 0; p < count; ++p) {
        for (size_t i = 0; i < n; ++i)
            values[i] = lut[256 * i + samples[p * n + i]];
        const auto c = toRGB(values);
        for (int k = 0; k < 3; ++k)
            rgb[3 * p + k] = toByte(c[k]);
    }
}

} // namespace rz::cg
