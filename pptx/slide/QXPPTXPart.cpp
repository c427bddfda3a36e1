#include "pptx/slide/QXPPTXPart.h"

namespace rz::QXPPTXPart {

std::string relationshipType(std::string_view name)
{
    return "http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + std::string(name);
}

} // namespace rz::QXPPTXPart
