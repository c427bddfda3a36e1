#include "pdfengine/base/RZPDFValue.h"

#include "pdfengine/base/RZPDFDescription.h"
#include "platform/core/Numbers.h"
#include "platform/pdf/PdfLimits.h"

#include <algorithm>
#include <climits>

namespace rz {

RZPDFValueClass classOfValue(const RZPDFValue& value)
{
    switch (value.index()) {
    case 0: return RZPDFValueClass::Null;
    case 1:
    case 2:
    case 3: return RZPDFValueClass::Number;
    case 4: return RZPDFValueClass::String;
    case 5: return RZPDFValueClass::Array;
    case 6: return RZPDFValueClass::Dictionary;
    default: return RZPDFValueClass::Stream;
    }
}

std::optional<RZPDFValue> objectFromCGPDFObject(const pdf::Object& object)
{
    switch (object.type()) {
    case pdf::ObjectType::Null: return RZPDFValue(RZPDFNull{});
    case pdf::ObjectType::Boolean: return RZPDFValue(object.boolean().value_or(false));
    case pdf::ObjectType::Integer:
        return RZPDFValue(long(std::clamp<long long>(object.integer().value_or(0), LONG_MIN, LONG_MAX)));
    case pdf::ObjectType::Real: return RZPDFValue(object.number().value_or(0.0));
    case pdf::ObjectType::Name: return RZPDFValue(object.name().value_or(std::string()));
    case pdf::ObjectType::String: return RZPDFValue(object.text().value_or(std::string()));
    case pdf::ObjectType::Array: return RZPDFValue(RZPDFArray(object));
    case pdf::ObjectType::Dictionary: return RZPDFValue(RZPDFDictionary(object));
    case pdf::ObjectType::Stream: return RZPDFValue(RZPDFStream(object));
    }
    return std::nullopt;
}

namespace detail {

std::string describeValue(const RZPDFValue& value, size_t level, DescriptionPath& path)
{
    switch (value.index()) {
    case 0: return "<null>";
    case 1: return std::get<bool>(value) ? "1" : "0";
    case 2: return formatInteger(std::get<long>(value));
    case 3: return formatShortest(std::get<double>(value));
    case 4: return std::get<std::string>(value);
    case 5: return describeContainer(std::get<RZPDFArray>(value).CGPDFArray(), level, path);
    case 6: return describeContainer(std::get<RZPDFDictionary>(value).CGPDFDictionary(), level, path);
    default: return std::get<RZPDFStream>(value).description();
    }
}

std::string describeContainer(const pdf::Object& container, size_t level, DescriptionPath& path)
{
    for (const pdf::Object& o : path)
        if (o.sameObject(container))
            return "(...)";
    if (path.size() >= size_t(pdf::kMaxDescriptionDepth))
        return "(...)";
    path.push_back(container);
    const std::string indent(level, '\t');
    std::string s = "\t(\n";
    auto valueText = [&](const pdf::Object& o) {
        const auto v = objectFromCGPDFObject(o);
        return v ? describeValue(*v, level + 1, path) : std::string("<null>");
    };
    if (container.isArray()) {
        for (size_t i = 0; i < container.size(); ++i)
            s += indent + "\t" + valueText(container.at(i)) + ",\n";
    } else {
        for (const std::string& key : container.keys())
            s += indent + "\t" + key + " = " + valueText(container.get(key)) + ",\n";
    }
    s += indent + ")";
    path.pop_back();
    return s;
}

} // namespace detail

} // namespace rz
