#include "pdfengine/base/QXRandomString.h"

#include "platform/core/Uuid.h"

namespace rz {

namespace {

std::string letters(size_t n, char first)
{
    std::string s(n, ' ');
    for (char& c : s)
        c = static_cast<char>(first + randomBelow(26));
    return s;
}

std::string lettersAndNumbers(size_t n)
{
    static const char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string s(n, ' ');
    for (char& c : s)
        c = kAlphabet[random32() % 62];
    return s;
}

} // namespace

std::string QXRandomString::Random4BigLetter()
{
    return letters(4, 'A');
}
std::string QXRandomString::Random32BigLetter()
{
    return letters(32, 'A');
}
std::string QXRandomString::Random32LittleLetter()
{
    return letters(32, 'a');
}
std::string QXRandomString::Random16LetterAndNumber()
{
    return lettersAndNumbers(16);
}
std::string QXRandomString::Random32LetterAndNumber()
{
    return lettersAndNumbers(32);
}

} // namespace rz
