#include "pdfengine/base/RZPDFArray.h"

#include "pdfengine/base/RZPDFDescription.h"

namespace rz {

RZPDFArray::RZPDFArray(pdf::Object array) : array_(std::move(array)) {}

size_t RZPDFArray::count() const
{
    return array_.size();
}

std::optional<RZPDFValue> RZPDFArray::objectAtIndex(size_t index) const
{
    if (index >= count())
        return std::nullopt;
    return objectFromCGPDFObject(array_.at(index));
}

std::string RZPDFArray::description() const
{
    return descriptionWithLocale({}, 0);
}

std::string RZPDFArray::descriptionWithLocale(const std::string&, size_t indent) const
{
    detail::DescriptionPath path;
    return detail::describeContainer(array_, indent, path);
}

RZPDFValue RZPDFArray::iterator::operator*() const
{
    return a_->objectAtIndex(i_).value_or(RZPDFValue(RZPDFNull{}));
}

} // namespace rz
