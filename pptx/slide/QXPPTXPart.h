// Writing one part of a presentation package: the part is made under a
// temporary name beside its place and renamed into place only when it is
// complete, so a part that fails leaves nothing a package could declare.
#pragma once

#include "converter/ooxml/QXPackagePart.h"

#include <string>
#include <string_view>

namespace rz {

namespace QXPPTXPart {

// The relationship type of `name` (slide, image, theme ...) in the
// officeDocument relationships.
std::string relationshipType(std::string_view name);
// Parts are written as every package's are.
using QXPackagePart::makeFolder;
using QXPackagePart::writeBytesPart;
using QXPackagePart::writeXMLPart;

} // namespace QXPPTXPart
} // namespace rz
