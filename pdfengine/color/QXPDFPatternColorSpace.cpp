#include "pdfengine/color/QXPDFPatternColorSpace.h"

namespace rz {

std::shared_ptr<QXPDFColorSpace> QXPDFPatternColorSpace::copy() const
{
    auto space = std::make_shared<QXPDFPatternColorSpace>(*this);
    if (under_)
        space->under_ = under_->copy();
    return space;
}

bool QXPDFPatternColorSpace::parse(const pdf::Object& object)
{
    if (!object.isArray() || object.at(0).name() != "Pattern")
        return false;
    if (object.size() == 1)
        return true;
    if (object.size() != 2)
        return false;
    auto under = ColorSpaceWithObject(object.at(1), "QXPDFPatternColorSpace");
    if (!under)
        return false;
    under_ = std::move(under);
    return true;
}

QXPDFColor QXPDFPatternColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFPatternColorSpace::getGray(const QXPDFColor& /*color*/) const
{
    return 0;
}

QXPDFRGB QXPDFPatternColorSpace::getRGB(const QXPDFColor& /*color*/) const
{
    return {};
}

QXPDFCMYK QXPDFPatternColorSpace::getCMYK(const QXPDFColor& /*color*/) const
{
    return {0, 0, 0, 255};
}

CGColorSpaceRef QXPDFPatternColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::pattern(under_ ? under_->CGColorSpace() : nullptr);
}

} // namespace rz
