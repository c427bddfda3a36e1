// ASCII-only case mapping for names and keys (PDF names, font names, type
// keys); bytes outside A-Z are kept as they are.
#pragma once

#include <string>
#include <string_view>

namespace rz {

inline std::string asciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

} // namespace rz
