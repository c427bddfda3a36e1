#include "pdfengine/color/QXPDFColorSpace.h"

#include "pdfengine/color/ColorConversions.h"
#include "pdfengine/color/QXPDFICCBasedColorSpace.h"
#include "pdfengine/color/QXPDFIndexedColorSpace.h"
#include "pdfengine/color/QXPDFNestingGuard.h"
#include "pdfengine/color/QXPDFPatternColorSpace.h"
#include "pdfengine/color/QXPDFSeparationColorSpace.h"

#include <cmath>

namespace rz {

namespace {

// Array colour spaces being read on this thread, outermost first.
thread_local std::vector<pdf::Object> gColorSpaceChain;

const char* const kModeNames[] = {"unknown", "DeviceGray", "CalGray", "DeviceRGB",
                                  "CalRGB",  "DeviceCMYK", "Lab",     "ICCBased",
                                  "Indexed", "Separation", "DeviceN", "Pattern"};

std::int16_t grayOf(const QXPDFColor& color)
{
    return QXPDFClampByte(color.c[0]);
}

QXPDFRGB rgbOfGray(const QXPDFColor& color)
{
    const std::int16_t g = grayOf(color);
    return {g, g, g};
}

QXPDFCMYK cmykOfGray(const QXPDFColor& color)
{
    return {0, 0, 0, QXPDFClampByte(255.0 - color.c[0])};
}

QXPDFRGB rgbOfRGB(const QXPDFColor& color)
{
    return {QXPDFClampByte(color.c[0]), QXPDFClampByte(color.c[1]), QXPDFClampByte(color.c[2])};
}

std::int16_t weightedGray(double r, double g, double b, double wr, double wg, double wb)
{
    return QXPDFClampByte(wr * r + wg * g + wb * b + 0.5);
}

QXPDFCMYK cmykOfRGB(const QXPDFRGB& rgb)
{
    const std::int16_t c = QXPDFClampByte(255.0 - rgb.r);
    const std::int16_t m = QXPDFClampByte(255.0 - rgb.g);
    const std::int16_t y = QXPDFClampByte(255.0 - rgb.b);
    std::int16_t k = m < c ? m : c;
    k = y < k ? y : k;
    return {static_cast<std::int16_t>(c - k), static_cast<std::int16_t>(m - k),
            static_cast<std::int16_t>(y - k), k};
}

// "WhitePoint" or "BlackPoint": an array of exactly 3 whose numbers replace
// a running value (a non-number repeats the value before it).
void readPoint(const pdf::Object& dict, const char* key, double start, std::array<double, 3>& out)
{
    const pdf::Object a = dict.get(key);
    if (!a.isArray() || a.size() != 3)
        return;
    double running = start;
    for (size_t i = 0; i < 3; ++i) {
        if (const auto v = a.at(i).number())
            running = *v;
        out[i] = running;
    }
}

// The dictionary of [/Name dict] when the array has that form.
std::optional<pdf::Object> calibratedDictionary(const pdf::Object& object, const char* name)
{
    if (!object.isArray() || object.at(0).name() != name)
        return std::nullopt;
    pdf::Object dict = object.at(1);
    if (!dict.isDictionary())
        return std::nullopt;
    return dict;
}

// Every element of an array of exactly `n` numbers, or nothing.
template <size_t N>
bool readExactNumbers(const pdf::Object& a, std::array<double, N>& out)
{
    if (!a.isArray() || a.size() != N)
        return false;
    std::array<double, N> values{};
    for (size_t i = 0; i < N; ++i) {
        const auto v = a.at(i).number();
        if (!v)
            return false;
        values[i] = *v;
    }
    out = values;
    return true;
}

std::shared_ptr<QXPDFColorSpace> deviceSpaceNamed(const std::string& name)
{
    if (name == "DeviceGray" || name == "G")
        return std::make_shared<QXPDFDeviceGrayColorSpace>();
    if (name == "DeviceRGB" || name == "RGB")
        return std::make_shared<QXPDFDeviceRGBColorSpace>();
    if (name == "DeviceCMYK" || name == "CMYK")
        return std::make_shared<QXPDFDeviceCMYKColorSpace>();
    return nullptr;
}

std::shared_ptr<QXPDFColorSpace> spaceForArrayName(const std::string& name)
{
    if (auto device = deviceSpaceNamed(name))
        return device;
    if (name == "CalGray")
        return std::make_shared<QXPDFCalGrayColorSpace>();
    if (name == "CalRGB")
        return std::make_shared<QXPDFCalRGBColorSpace>();
    if (name == "Lab")
        return std::make_shared<QXPDFLabColorSpace>();
    if (name == "ICCBased")
        return std::make_shared<QXPDFICCBasedColorSpace>();
    if (name == "Indexed" || name == "I")
        return std::make_shared<QXPDFIndexedColorSpace>();
    if (name == "Separation")
        return std::make_shared<QXPDFSeparationColorSpace>();
    if (name == "DeviceN")
        return std::make_shared<QXPDFDeviceNColorSpace>();
    if (name == "Pattern")
        return std::make_shared<QXPDFPatternColorSpace>();
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- base

QXPDFColorSpace::QXPDFColorSpace() = default;
QXPDFColorSpace::~QXPDFColorSpace() = default;

std::shared_ptr<QXPDFColorSpace> QXPDFColorSpace::ColorSpaceWithObject(const pdf::Object& object,
                                                                       const std::string& objectKey)
{
    std::shared_ptr<QXPDFColorSpace> space;
    if (object.isName()) {
        const std::string name = *object.name();
        space = name == "Pattern" ? std::make_shared<QXPDFPatternColorSpace>() : deviceSpaceNamed(name);
    } else if (object.isDictionary()) {
        if (const auto name = object.get("ColorSpace").name())
            space = deviceSpaceNamed(*name);
    } else if (object.isArray()) {
        const auto name = object.at(0).name();
        if (!name)
            return nullptr;
        QXPDFNestingGuard guard(gColorSpaceChain, object, kQXPDFMaxColorSpaceDepth);
        if (!guard.entered())
            return nullptr;
        space = spaceForArrayName(*name);
        if (!space)
            return nullptr;
        // A space whose parse fails keeps its defaults and is still used.
        space->parse(object);
    }
    if (space)
        space->setObjectKey(objectKey);
    return space;
}

std::shared_ptr<QXPDFColorSpace> QXPDFColorSpace::ColorSpaceWithObject(const pdf::Object& object)
{
    return ColorSpaceWithObject(object, "unknown");
}

std::shared_ptr<QXPDFColorSpace> QXPDFColorSpace::DefaultDeviceRGBColorSpace()
{
    return std::make_shared<QXPDFDeviceRGBColorSpace>();
}

std::string QXPDFColorSpace::colorSpaceModeName(long mode)
{
    if (mode < 0 || mode >= getNumColorSpaceModes())
        return {};
    return kModeNames[mode];
}

QXPDFColor QXPDFColorSpace::defaultPDFColor()
{
    return QXPDFColor{};
}

std::shared_ptr<QXPDFColorSpace> QXPDFColorSpace::copy() const
{
    return std::shared_ptr<QXPDFColorSpace>(new QXPDFColorSpace(*this));
}

bool QXPDFColorSpace::parse(const pdf::Object& /*object*/)
{
    return true;
}

QXPDFColor QXPDFColorSpace::emptyDefaultColor() const
{
    QXPDFColor color;
    const long n = getNComps();
    color.length = static_cast<std::int32_t>(n < 0 ? 0 : (n > kQXPDFMaxColorComponents ? kQXPDFMaxColorComponents : n));
    color.isNull = 0;
    return color;
}

QXPDFColor QXPDFColorSpace::deviceNWithCMYK(const QXPDFCMYK& cmyk)
{
    QXPDFColor color;
    color.length = 4;
    color.isNull = 0;
    color.c[0] = cmyk.c;
    color.c[1] = cmyk.m;
    color.c[2] = cmyk.y;
    color.c[3] = cmyk.k;
    return color;
}

QXPDFColor QXPDFColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFColorSpace::getGray(const QXPDFColor& /*color*/) const
{
    return 0;
}

QXPDFRGB QXPDFColorSpace::getRGB(const QXPDFColor& /*color*/) const
{
    return {};
}

QXPDFCMYK QXPDFColorSpace::getCMYK(const QXPDFColor& /*color*/) const
{
    return {};
}

QXPDFColor QXPDFColorSpace::getDeviceN(const QXPDFColor& color) const
{
    return deviceNWithCMYK(getCMYK(color));
}

CGColorSpaceRef QXPDFColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::deviceRGB();
}

// ---------------------------------------------------------------- DeviceGray

std::shared_ptr<QXPDFColorSpace> QXPDFDeviceGrayColorSpace::copy() const
{
    return std::make_shared<QXPDFDeviceGrayColorSpace>(*this);
}

QXPDFColor QXPDFDeviceGrayColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFDeviceGrayColorSpace::getGray(const QXPDFColor& color) const
{
    return grayOf(color);
}

QXPDFRGB QXPDFDeviceGrayColorSpace::getRGB(const QXPDFColor& color) const
{
    return rgbOfGray(color);
}

QXPDFCMYK QXPDFDeviceGrayColorSpace::getCMYK(const QXPDFColor& color) const
{
    return cmykOfGray(color);
}

CGColorSpaceRef QXPDFDeviceGrayColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::deviceGray();
}

// ---------------------------------------------------------------- CalGray

std::shared_ptr<QXPDFColorSpace> QXPDFCalGrayColorSpace::copy() const
{
    return std::make_shared<QXPDFCalGrayColorSpace>(*this);
}

bool QXPDFCalGrayColorSpace::parse(const pdf::Object& object)
{
    const auto dict = calibratedDictionary(object, "CalGray");
    if (!dict)
        return false;
    readPoint(*dict, "WhitePoint", 1.0, white_);
    readPoint(*dict, "BlackPoint", 0.0, black_);
    gamma_ = dict->get("Gamma").number().value_or(1.0);
    return true;
}

QXPDFColor QXPDFCalGrayColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFCalGrayColorSpace::getGray(const QXPDFColor& color) const
{
    return grayOf(color);
}

QXPDFRGB QXPDFCalGrayColorSpace::getRGB(const QXPDFColor& color) const
{
    return rgbOfGray(color);
}

QXPDFCMYK QXPDFCalGrayColorSpace::getCMYK(const QXPDFColor& color) const
{
    return cmykOfGray(color);
}

CGColorSpaceRef QXPDFCalGrayColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::calibratedGray(white_, black_, gamma_);
}

// ---------------------------------------------------------------- DeviceRGB

std::shared_ptr<QXPDFColorSpace> QXPDFDeviceRGBColorSpace::copy() const
{
    return std::make_shared<QXPDFDeviceRGBColorSpace>(*this);
}

QXPDFColor QXPDFDeviceRGBColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFDeviceRGBColorSpace::getGray(const QXPDFColor& color) const
{
    return weightedGray(color.c[0], color.c[1], color.c[2], 0.3, 0.59, 0.11);
}

QXPDFRGB QXPDFDeviceRGBColorSpace::getRGB(const QXPDFColor& color) const
{
    return rgbOfRGB(color);
}

QXPDFCMYK QXPDFDeviceRGBColorSpace::getCMYK(const QXPDFColor& color) const
{
    return cmykOfRGB(rgbOfRGB(color));
}

CGColorSpaceRef QXPDFDeviceRGBColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::deviceRGB();
}

// ---------------------------------------------------------------- CalRGB

std::shared_ptr<QXPDFColorSpace> QXPDFCalRGBColorSpace::copy() const
{
    return std::make_shared<QXPDFCalRGBColorSpace>(*this);
}

bool QXPDFCalRGBColorSpace::parse(const pdf::Object& object)
{
    const auto dict = calibratedDictionary(object, "CalRGB");
    if (!dict)
        return false;
    readPoint(*dict, "WhitePoint", 1.0, white_);
    readPoint(*dict, "BlackPoint", 0.0, black_);
    readPoint(*dict, "Gamma", 1.0, gamma_);
    readExactNumbers(dict->get("Matrix"), mat_);
    return true;
}

QXPDFColor QXPDFCalRGBColorSpace::getDefaultColor() const
{
    return emptyDefaultColor();
}

std::int16_t QXPDFCalRGBColorSpace::getGray(const QXPDFColor& color) const
{
    return weightedGray(color.c[0], color.c[1], color.c[2], 0.299, 0.587, 0.114);
}

QXPDFRGB QXPDFCalRGBColorSpace::getRGB(const QXPDFColor& color) const
{
    return rgbOfRGB(color);
}

QXPDFCMYK QXPDFCalRGBColorSpace::getCMYK(const QXPDFColor& color) const
{
    return cmykOfRGB(rgbOfRGB(color));
}

CGColorSpaceRef QXPDFCalRGBColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::calibratedRGB(white_, black_, gamma_, mat_);
}

// ---------------------------------------------------------------- DeviceCMYK

std::shared_ptr<QXPDFColorSpace> QXPDFDeviceCMYKColorSpace::copy() const
{
    return std::make_shared<QXPDFDeviceCMYKColorSpace>(*this);
}

QXPDFColor QXPDFDeviceCMYKColorSpace::getDefaultColor() const
{
    QXPDFColor color = emptyDefaultColor();
    color.c[3] = 255;
    return color;
}

std::int16_t QXPDFDeviceCMYKColorSpace::getGray(const QXPDFColor& color) const
{
    const auto& c = color.c;
    return QXPDFClampByte((255.0 - c[3]) - 0.3 * c[0] - 0.59 * c[1] - 0.11 * c[2] + 0.5);
}

QXPDFRGB QXPDFDeviceCMYKColorSpace::getRGB(const QXPDFColor& color) const
{
    const auto& c = color.c;
    const auto rgb = QXPDFBlendCMYKToRGB(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, c[3] / 255.0);
    return {QXPDFClampByte(rgb[0] * 255), QXPDFClampByte(rgb[1] * 255), QXPDFClampByte(rgb[2] * 255)};
}

QXPDFCMYK QXPDFDeviceCMYKColorSpace::getCMYK(const QXPDFColor& color) const
{
    const auto& c = color.c;
    return {QXPDFClampByte(c[0]), QXPDFClampByte(c[1]), QXPDFClampByte(c[2]), QXPDFClampByte(c[3])};
}

CGColorSpaceRef QXPDFDeviceCMYKColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::deviceCMYK();
}

// ---------------------------------------------------------------- Lab

std::shared_ptr<QXPDFColorSpace> QXPDFLabColorSpace::copy() const
{
    return std::make_shared<QXPDFLabColorSpace>(*this);
}

bool QXPDFLabColorSpace::parse(const pdf::Object& object)
{
    const auto dict = calibratedDictionary(object, "Lab");
    if (!dict)
        return false;
    readPoint(*dict, "WhitePoint", 1.0, white_);
    readPoint(*dict, "BlackPoint", 0.0, black_);
    readExactNumbers(dict->get("Range"), range_);
    const double x = white_[0], y = white_[1], z = white_[2];
    k_[0] = 1 / (3.240449 * x - 1.537136 * y - 0.498531 * z);
    k_[1] = 1 / (-0.969265 * x + 1.876011 * y + 0.041556 * z);
    k_[2] = 1 / (0.055643 * x - 0.204026 * y + 1.057229 * z);
    return true;
}

QXPDFColor QXPDFLabColorSpace::getDefaultColor() const
{
    QXPDFColor color = emptyDefaultColor();
    const auto nearestZero = [](double lo, double hi) -> QXPDFColorComponent {
        if (lo > 0)
            return QXPDFColorComponentFromOperand(lo);
        if (hi < 0)
            return QXPDFColorComponentFromOperand(hi);
        return 0;
    };
    color.c[1] = nearestZero(range_[0], range_[1]);
    color.c[2] = nearestZero(range_[2], range_[3]);
    return color;
}

QXPDFRGB QXPDFLabColorSpace::getRGB(const QXPDFColor& color) const
{
    const double l = color.c[0] / 255.0;
    const double a = color.c[1] / 255.0;
    const double b = color.c[2] / 255.0;
    const auto f = [](double x) { return x >= 6.0 / 29.0 ? x * x * x : (x - 4.0 / 29.0) * 108.0 / 841.0; };
    const double t = (l + 16) / 116;
    const double x = white_[0] * f(t + a / 500);
    const double y = white_[1] * f(t);
    const double z = white_[2] * f(t - b / 200);
    const double linear[3] = {
        (3.240449 * x - 1.537136 * y - 0.498531 * z) * k_[0],
        (-0.969265 * x + 1.876011 * y + 0.041556 * z) * k_[1],
        (0.055643 * x - 0.204026 * y + 1.057229 * z) * k_[2],
    };
    std::int16_t out[3];
    for (int i = 0; i < 3; ++i) {
        double v = linear[i];
        v = v > 0 ? (v < 1 ? v : 1) : 0; // NaN gives 0
        out[i] = QXPDFClampByte(255 * std::sqrt(v));
    }
    return {out[0], out[1], out[2]};
}

std::int16_t QXPDFLabColorSpace::getGray(const QXPDFColor& color) const
{
    const QXPDFRGB rgb = getRGB(color);
    return weightedGray(rgb.r, rgb.g, rgb.b, 0.3, 0.59, 0.11);
}

QXPDFCMYK QXPDFLabColorSpace::getCMYK(const QXPDFColor& color) const
{
    return cmykOfRGB(getRGB(color));
}

CGColorSpaceRef QXPDFLabColorSpace::CGColorSpace() const
{
    return cg::ColorSpace::lab(white_, black_, range_);
}

} // namespace rz
