#include "pdfengine/base/RZPDFDictionary.h"

#include "pdfengine/base/RZPDFDescription.h"

namespace rz {

RZPDFDictionary::RZPDFDictionary(pdf::Object dictionary) : dict_(std::move(dictionary)) {}

std::optional<RZPDFValue> RZPDFDictionary::objectForKey(const std::string& key) const
{
    if (!dict_.hasKey(key))
        return std::nullopt;
    return objectFromCGPDFObject(dict_.get(key));
}

std::optional<RZPDFValue> RZPDFDictionary::objectForKey(const std::string& key,
                                                        RZPDFValueClass requiredClass) const
{
    auto v = objectForKey(key);
    if (!v || classOfValue(*v) != requiredClass)
        return std::nullopt;
    return v;
}

std::vector<std::string> RZPDFDictionary::allKeys() const
{
    return dict_.keys();
}

const std::vector<std::string>& RZPDFDictionary::keyList() const
{
    if (!keys_)
        keys_ = std::make_shared<const std::vector<std::string>>(dict_.keys());
    return *keys_;
}

std::string RZPDFDictionary::description() const
{
    return descriptionWithLocale({}, 0);
}

std::string RZPDFDictionary::descriptionWithLocale(const std::string&, size_t indent) const
{
    detail::DescriptionPath path;
    return detail::describeContainer(dict_, indent, path);
}

} // namespace rz
