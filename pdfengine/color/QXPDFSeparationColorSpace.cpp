#include "pdfengine/color/QXPDFSeparationColorSpace.h"

#include <algorithm>

namespace rz {

namespace {

// The alternate-space colour of `inputs` (tints 0..1) through `func`.
QXPDFColor alternateColor(const QXPDFColorSpace& alt, const QXPDFFunction& func, const double* inputs)
{
    double out[kQXPDFMaxFunctionValues] = {};
    func.transformInput(inputs, out);
    QXPDFColor color;
    const long n = std::clamp(alt.getNComps(), 0L, static_cast<long>(kQXPDFMaxColorComponents));
    color.length = static_cast<std::int32_t>(n);
    color.isNull = 0;
    for (long i = 0; i < n; ++i)
        color.c[i] = QXPDFColorComponentFromOperand(out[i]);
    return color;
}

// The tint transform's inputs: the first `n` components as tints.
void tints(const QXPDFColor& color, int n, double* inputs)
{
    for (int i = 0; i < n; ++i)
        inputs[i] = color.c[i] / 255.0;
}

bool validMapping(long long index)
{
    return index >= 0 && index < kQXPDFMaxColorComponents;
}

} // namespace

// ---------------------------------------------------------------- Separation

std::shared_ptr<QXPDFColorSpace> QXPDFSeparationColorSpace::copy() const
{
    auto space = std::make_shared<QXPDFSeparationColorSpace>(*this);
    if (alt_)
        space->alt_ = alt_->copy();
    if (func_)
        space->func_ = func_->copy();
    return space;
}

bool QXPDFSeparationColorSpace::parse(const pdf::Object& object)
{
    if (!object.isArray() || object.at(0).name() != "Separation" || object.size() != 4)
        return false;
    const auto name = object.at(1).name();
    if (!name)
        return false;
    auto alt = ColorSpaceWithObject(object.at(2), "QXPDFSeparationColorSpace");
    if (!alt)
        return false;
    auto func = QXPDFFunction::FuntionWithObject(object.at(3));
    if (!func)
        return false;
    name_ = *name;
    alt_ = std::move(alt);
    func_ = std::move(func);
    nonMarking_ = name_ == "None";
    return true;
}

QXPDFColor QXPDFSeparationColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFSeparationColorSpace::getGray(const QXPDFColor& color) const
{
    if (!alt_ || !func_)
        return 0;
    double in[kQXPDFMaxFunctionValues] = {};
    tints(color, 1, in);
    return alt_->getGray(alternateColor(*alt_, *func_, in));
}

QXPDFRGB QXPDFSeparationColorSpace::getRGB(const QXPDFColor& color) const
{
    if (!alt_ || !func_)
        return {};
    double in[kQXPDFMaxFunctionValues] = {};
    tints(color, 1, in);
    return alt_->getRGB(alternateColor(*alt_, *func_, in));
}

QXPDFCMYK QXPDFSeparationColorSpace::getCMYK(const QXPDFColor& color) const
{
    if (!alt_ || !func_)
        return {};
    double in[kQXPDFMaxFunctionValues] = {};
    tints(color, 1, in);
    return alt_->getCMYK(alternateColor(*alt_, *func_, in));
}

QXPDFColor QXPDFSeparationColorSpace::getDeviceN(const QXPDFColor& color) const
{
    const auto& map = mapping();
    if (!map.empty() && validMapping(map[0])) {
        QXPDFColor out;
        out.length = static_cast<std::int32_t>(map[0] + 1);
        out.isNull = 0;
        out.c[map[0]] = color.c[0];
        return out;
    }
    return deviceNWithCMYK(getCMYK(color));
}

CGColorSpaceRef QXPDFSeparationColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::deviceRGB();
}

// ---------------------------------------------------------------- DeviceN

std::shared_ptr<QXPDFColorSpace> QXPDFDeviceNColorSpace::copy() const
{
    auto space = std::make_shared<QXPDFDeviceNColorSpace>(*this);
    if (alt_)
        space->alt_ = alt_->copy();
    if (func_)
        space->func_ = func_->copy();
    return space;
}

bool QXPDFDeviceNColorSpace::parse(const pdf::Object& object)
{
    if (!object.isArray() || object.at(0).name() != "DeviceN" || object.size() < 4 || object.size() > 5)
        return false;
    const pdf::Object names = object.at(1);
    if (!names.isArray() || names.size() < 1 || names.size() > static_cast<size_t>(kQXPDFMaxColorComponents))
        return false;
    bool allNone = true;
    for (size_t i = 0; i < names.size(); ++i) {
        const auto name = names.at(i).name();
        if (!name)
            return false;
        allNone = allNone && *name == "None";
    }
    auto alt = ColorSpaceWithObject(object.at(2), "QXPDFDeviceNColorSpace");
    if (!alt)
        return false;
    auto func = QXPDFFunction::FuntionWithObject(object.at(3));
    if (!func)
        return false;
    nComps_ = static_cast<int>(names.size());
    alt_ = std::move(alt);
    func_ = std::move(func);
    nonMarking_ = allNone;
    return true;
}

QXPDFColor QXPDFDeviceNColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFDeviceNColorSpace::getGray(const QXPDFColor& color) const
{
    if (!alt_ || !func_)
        return 0;
    double in[kQXPDFMaxFunctionValues] = {};
    tints(color, nComps_, in);
    return alt_->getGray(alternateColor(*alt_, *func_, in));
}

QXPDFRGB QXPDFDeviceNColorSpace::getRGB(const QXPDFColor& color) const
{
    if (!alt_ || !func_)
        return {};
    double in[kQXPDFMaxFunctionValues] = {};
    tints(color, nComps_, in);
    return alt_->getRGB(alternateColor(*alt_, *func_, in));
}

QXPDFCMYK QXPDFDeviceNColorSpace::getCMYK(const QXPDFColor& color) const
{
    if (!alt_ || !func_)
        return {};
    double in[kQXPDFMaxFunctionValues] = {};
    tints(color, nComps_, in);
    return alt_->getCMYK(alternateColor(*alt_, *func_, in));
}

QXPDFColor QXPDFDeviceNColorSpace::getDeviceN(const QXPDFColor& color) const
{
    const auto& map = mapping();
    if (map.empty())
        return deviceNWithCMYK(getCMYK(color));
    QXPDFColor out;
    out.isNull = 0;
    for (size_t i = 0; i < map.size() && i < static_cast<size_t>(nComps_); ++i) {
        if (!validMapping(map[i]))
            continue;
        out.c[map[i]] = color.c[i];
        out.length = std::max(out.length, static_cast<std::int32_t>(map[i] + 1));
    }
    return out;
}

CGColorSpaceRef QXPDFDeviceNColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::deviceRGB();
}

} // namespace rz
