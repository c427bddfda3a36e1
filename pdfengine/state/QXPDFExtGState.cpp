#include "pdfengine/state/QXPDFExtGState.h"

#include "pdfengine/state/QXPDFXObject.h"

#include <array>
#include <cmath>
#include <limits>
#include <string_view>

namespace rz {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 17> kBlendModes = {{
    {"Normal", 0},     {"Compatible", 0}, {"Multiply", 1},   {"Screen", 2},     {"Overlay", 3},
    {"Darken", 4},     {"Lighten", 5},    {"ColorDodge", 6}, {"ColorBurn", 7},  {"HardLight", 8},
    {"SoftLight", 9},  {"Difference", 10}, {"Exclusion", 11}, {"Hue", 12},      {"Saturation", 13},
    {"Color", 14},     {"Luminosity", 15},
}};

bool blendModeOfName(const std::string& name, int* mode)
{
    for (const auto& [n, m] : kBlendModes)
        if (n == name) {
            *mode = m;
            return true;
        }
    return false;
}

// A number in single precision (finite values only; others are refused).
std::optional<double> singleNumber(const pdf::Object& o)
{
    const auto v = o.number();
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    const double limit = std::numeric_limits<float>::max();
    return double(float(std::fmax(-limit, std::fmin(limit, *v))));
}

// An integer; a real is truncated.
std::optional<int> integerNumber(const pdf::Object& o)
{
    const auto v = o.number();
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return int(std::fmax(-2147483647.0, std::fmin(2147483647.0, std::trunc(*v))));
}

std::vector<double> numbersOf(const pdf::Object& array)
{
    std::vector<double> out;
    for (size_t i = 0; i < array.size(); ++i)
        if (const auto v = array.at(i).number(); v && std::isfinite(*v))
            out.push_back(*v);
    return out;
}

} // namespace

bool QXPDFExtGState::parseBlendMode(const pdf::Object& object, int* mode)
{
    if (const auto name = object.name())
        return blendModeOfName(*name, mode);
    if (!object.isArray())
        return false;
    for (size_t i = 0; i < object.size(); ++i)
        if (!object.at(i).isName())
            return false;
    for (size_t i = 0; i < object.size(); ++i)
        if (blendModeOfName(*object.at(i).name(), mode))
            return true;
    *mode = 0;
    return true;
}

QXPDFExtGState::QXPDFExtGState(const pdf::Object& dictionary, const std::string& objectKey)
    : objectKey_(objectKey)
{
    QXPDFExtGStateValue& v = gStateValue_;
    v.LW = singleNumber(dictionary.get("LW"));
    v.LC = integerNumber(dictionary.get("LC"));
    v.LJ = integerNumber(dictionary.get("LJ"));
    v.ML = singleNumber(dictionary.get("ML"));
    if (const pdf::Object d = dictionary.get("D"); d.isArray() && d.at(0).isArray())
        v.D = numbersOf(d.at(0));
    if (const auto ri = dictionary.get("RI").name())
        v.RI = *ri;
    if (int mode = 0; parseBlendMode(dictionary.get("BM"), &mode))
        v.BM = mode;
    v.CA = singleNumber(dictionary.get("CA"));
    v.ca = singleNumber(dictionary.get("ca"));
    v.AIS = dictionary.get("AIS").boolean();
    v.op = dictionary.get("op").boolean();
    v.OP = dictionary.get("OP").boolean();
    v.SA = dictionary.get("SA").boolean();
    if (dictionary.get("OPM").isInteger())
        v.OPM = integerNumber(dictionary.get("OPM"));

    if (dictionary.hasKey("SMask")) {
        const pdf::Object mask = dictionary.get("SMask");
        const std::string key = "SMask-XObject-" + objectKey;
        if (const auto name = mask.name()) {
            v.SMaskName = *name;
            v.SMaskHaveSoftMask = false;
        } else if (mask.isStream()) {
            v.SMaskXObject = QXPDFXObject::XObjectWithObject(mask, key);
            v.SMaskHaveSoftMask = true;
        } else if (mask.isDictionary()) {
            v.SMaskXObject = QXPDFXObject::XObjectWithObject(mask.get("G"), key);
            if (const auto s = mask.get("S").name())
                v.SMaskS = *s;
            if (const pdf::Object bc = mask.get("BC"); bc.isArray())
                v.SMaskBC = numbersOf(bc);
            v.SMaskHaveSoftMask = true;
        } else {
            v.SMaskHaveSoftMask = false;
        }
    }

    if (const pdf::Object font = dictionary.get("Font"); font.isArray()) {
        v.FontSize = singleNumber(font.at(1));
        if (const auto name = font.at(0).name())
            v.FontName = *name;
    }
}

QXPDFExtGStateCollection::QXPDFExtGStateCollection(const pdf::Object& dictionary)
    : QXPDFResourceCollection(dictionary, [](const pdf::Object& value, const std::string& name) {
          return value.isDictionary() ? std::make_shared<QXPDFExtGState>(value, name) : nullptr;
      })
{
}

} // namespace rz
