#include "pdfengine/color/QXPDFIndexedColorSpace.h"

#include "pdfengine/color/QXPDFICCBasedColorSpace.h"

namespace rz {

namespace {

// The range a lookup byte spans in component i of the base space: L 0..100
// and a, b in their ranges for Lab, the ICC ranges, 0..1 otherwise.
void baseComponentRange(const QXPDFColorSpace& base, long long i, double* lo, double* hi)
{
    *lo = 0;
    *hi = 1;
    if (const auto* lab = dynamic_cast<const QXPDFLabColorSpace*>(&base)) {
        if (i == 0) {
            *hi = 100;
        } else if (i == 1) {
            *lo = lab->aMin();
            *hi = lab->aMax();
        } else if (i == 2) {
            *lo = lab->bMin();
            *hi = lab->bMax();
        }
    } else if (const auto* icc = dynamic_cast<const QXPDFICCBasedColorSpace*>(&base)) {
        if (i < kQXPDFMaxColorComponents) {
            *lo = icc->rangeMin()[i];
            *hi = icc->rangeMax()[i];
        }
    }
}

} // namespace

std::shared_ptr<QXPDFColorSpace> QXPDFIndexedColorSpace::copy() const
{
    auto space = std::make_shared<QXPDFIndexedColorSpace>(*this);
    if (base_)
        space->base_ = base_->copy();
    return space;
}

bool QXPDFIndexedColorSpace::parse(const pdf::Object& object)
{
    if (!object.isArray() || object.at(0).name() != "Indexed" || object.size() != 4)
        return false;
    auto base = ColorSpaceWithObject(object.at(1), "QXPDFIndexedColorSpace");
    if (!base)
        return false;
    const auto hival = object.at(2).integer();
    if (!hival || *hival < 0 || *hival > 255)
        return false;
    const pdf::Object table = object.at(3);
    std::string bytes;
    if (table.isString())
        bytes = *table.stringBytes();
    else if (table.isStream())
        bytes = table.streamData().bytes;
    else
        return false;
    const long long n = base->getNComps() > 0 ? base->getNComps() : 0;
    const auto needed = static_cast<size_t>((*hival + 1) * n);
    if (bytes.size() < needed)
        return false;
    lookup_.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(needed));
    indexHigh_ = *hival;
    base_ = std::move(base);
    return true;
}

QXPDFColor QXPDFIndexedColorSpace::mapColorQXPDFColor(const QXPDFColor& color, QXPDFColor toBase) const
{
    if (!base_)
        return toBase;
    const long long n = base_->getNComps() > 0 ? base_->getNComps() : 0;
    // Indices beyond the table are clamped onto it.
    const auto index = QXPDFTruncateClamped(color.c[0] / 255.0 + 0.5, 0, indexHigh_);
    toBase.length = static_cast<std::int32_t>(n);
    toBase.isNull = 0;
    for (long long i = 0; i < n && i < kQXPDFMaxColorComponents; ++i) {
        const std::uint8_t byte = lookup_[static_cast<size_t>(index * n + i)];
        double lo, hi;
        baseComponentRange(*base_, i, &lo, &hi);
        // lo·255 + byte·(hi − lo) is the byte itself for a 0..1 range.
        toBase.c[i] = static_cast<QXPDFColorComponent>(
            QXPDFTruncateClamped(lo * 255 + byte * (hi - lo), INT32_MIN, INT32_MAX));
    }
    return toBase;
}

void QXPDFIndexedColorSpace::getDefaultRanges(double* decodeLow, double* decodeRange, int maxImgPixel) const
{
    decodeLow[0] = 0;
    decodeRange[0] = maxImgPixel;
}

QXPDFColor QXPDFIndexedColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFIndexedColorSpace::getGray(const QXPDFColor& color) const
{
    return base_ ? base_->getGray(mapColorQXPDFColor(color, QXPDFColor{})) : 0;
}

QXPDFRGB QXPDFIndexedColorSpace::getRGB(const QXPDFColor& color) const
{
    return base_ ? base_->getRGB(mapColorQXPDFColor(color, QXPDFColor{})) : QXPDFRGB{};
}

QXPDFCMYK QXPDFIndexedColorSpace::getCMYK(const QXPDFColor& color) const
{
    return base_ ? base_->getCMYK(mapColorQXPDFColor(color, QXPDFColor{})) : QXPDFCMYK{};
}

QXPDFColor QXPDFIndexedColorSpace::getDeviceN(const QXPDFColor& color) const
{
    return base_ ? base_->getDeviceN(mapColorQXPDFColor(color, QXPDFColor{})) : deviceNWithCMYK({});
}

CGColorSpaceRef QXPDFIndexedColorSpace::CGColorSpace() const
{
    if (!base_)
        return nullptr;
    return cg::ColorSpace::indexed(base_->CGColorSpace(), static_cast<int>(indexHigh_), lookup_.data(),
                                   lookup_.size());
}

} // namespace rz
