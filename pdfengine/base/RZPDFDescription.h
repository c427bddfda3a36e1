// Descriptions of arrays and dictionaries, shared by their wrappers.
#pragma once

#include "pdfengine/base/RZPDFValue.h"
#include "platform/pdf/PdfObject.h"

#include <string>
#include <vector>

namespace rz::detail {

// The containers being described, outermost first (loop detection).
using DescriptionPath = std::vector<pdf::Object>;

std::string describeValue(const RZPDFValue& value, size_t level, DescriptionPath& path);
std::string describeContainer(const pdf::Object& container, size_t level, DescriptionPath& path);

} // namespace rz::detail
