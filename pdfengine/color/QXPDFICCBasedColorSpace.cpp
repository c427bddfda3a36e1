#include "pdfengine/color/QXPDFICCBasedColorSpace.h"

namespace rz {

std::shared_ptr<QXPDFColorSpace> QXPDFICCBasedColorSpace::copy() const
{
    auto space = std::make_shared<QXPDFICCBasedColorSpace>(*this);
    if (alt_)
        space->alt_ = alt_->copy();
    return space;
}

bool QXPDFICCBasedColorSpace::parse(const pdf::Object& object)
{
    if (!object.isArray() || object.at(0).name() != "ICCBased")
        return false;
    const pdf::Object stream = object.at(1);
    if (!stream.isStream())
        return false;
    iccProfileStream_ = stream;
    const auto n = stream.get("N").integer();
    // A profile has at least one component.
    if (!n || *n < 1)
        return false;
    nComps_ = *n > kQXPDFMaxColorComponents ? kQXPDFMaxColorComponents : *n;

    if (stream.hasKey("Alternate"))
        alt_ = ColorSpaceWithObject(stream.get("Alternate"), "QXPDFICCBasedColorSpace");
    if (!alt_) {
        if (nComps_ == 4)
            alt_ = std::make_shared<QXPDFDeviceCMYKColorSpace>();
        else if (nComps_ == 3)
            alt_ = std::make_shared<QXPDFDeviceRGBColorSpace>();
        else if (nComps_ == 1)
            alt_ = std::make_shared<QXPDFDeviceGrayColorSpace>();
        else
            return false;
        alt_->setObjectKey("QXPDFICCBasedColorSpace");
    }

    const pdf::Object range = stream.get("Range");
    if (range.isArray() && static_cast<long long>(range.size()) == 2 * nComps_) {
        for (long long i = 0; i < nComps_; ++i) {
            if (const auto lo = range.at(static_cast<size_t>(2 * i)).number())
                rangeMin_[i] = *lo;
            if (const auto hi = range.at(static_cast<size_t>(2 * i + 1)).number())
                rangeMax_[i] = *hi;
        }
    }
    return true;
}

QXPDFColor QXPDFICCBasedColorSpace::getDefaultColor() const
{
    QXPDFColor color = emptyDefaultColor();
    for (long long i = 0; i < nComps_; ++i) {
        if (rangeMin_[i] > 0)
            color.c[i] = QXPDFColorComponentFromOperand(rangeMin_[i]);
        else if (rangeMax_[i] < 0)
            color.c[i] = QXPDFColorComponentFromOperand(rangeMax_[i]);
    }
    return color;
}

std::int16_t QXPDFICCBasedColorSpace::getGray(const QXPDFColor& color) const
{
    return alt_ ? alt_->getGray(color) : 0;
}

QXPDFRGB QXPDFICCBasedColorSpace::getRGB(const QXPDFColor& color) const
{
    return alt_ ? alt_->getRGB(color) : QXPDFRGB{};
}

QXPDFCMYK QXPDFICCBasedColorSpace::getCMYK(const QXPDFColor& color) const
{
    return alt_ ? alt_->getCMYK(color) : QXPDFCMYK{};
}

CGColorSpaceRef QXPDFICCBasedColorSpace::CGColorSpace() const
{
    if (!alt_)
        return nullptr;
    std::vector<double> ranges;
    for (long long i = 0; i < nComps_; ++i) {
        ranges.push_back(rangeMin_[i]);
        ranges.push_back(rangeMax_[i]);
    }
    return cg::ColorSpace::iccBased(static_cast<size_t>(nComps_), ranges, alt_->CGColorSpace());
}

} // namespace rz
