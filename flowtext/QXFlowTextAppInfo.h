// What the flow-text documents say about the program that wrote them.
#pragma once

#include <string>

namespace rz {

// The program's display name, its version and its maker, as the generator
// notes of the HTML and RTF documents name them.
const std::string& QXFlowApplicationDisplayName();
const std::string& QXFlowApplicationVersion();
const std::string& QXFlowApplicationMaker();

} // namespace rz
