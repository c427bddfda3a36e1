#pragma once

#include <string>

namespace rz {

// A new random (version 4) UUID in the uppercase hyphenated form,
// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
std::string makeUuidString();

// A uniformly drawn integer in [0, bound); thread-safe.
unsigned randomBelow(unsigned bound);
// A random 32-bit value; thread-safe.
unsigned random32();

} // namespace rz
