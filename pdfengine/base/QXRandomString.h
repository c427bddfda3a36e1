// Short random strings that keep generated identifiers and names apart.
#pragma once

#include <string>

namespace rz {

class QXRandomString {
public:
    static std::string Random4BigLetter();
    static std::string Random32BigLetter();
    static std::string Random32LittleLetter();
    static std::string Random16LetterAndNumber();
    static std::string Random32LetterAndNumber();
};

} // namespace rz
