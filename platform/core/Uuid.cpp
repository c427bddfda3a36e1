#include "platform/core/Uuid.h"

#include <random>

namespace rz {

namespace {

std::mt19937_64& generator()
{
    thread_local std::mt19937_64 gen{std::random_device{}()};
    return gen;
}

} // namespace

unsigned randomBelow(unsigned bound)
{
    if (bound == 0)
        return 0;
    std::uniform_int_distribution<unsigned> dist(0, bound - 1);
    return dist(generator());
}

unsigned random32()
{
    return static_cast<unsigned>(generator()() & 0xFFFFFFFFu);
}

std::string makeUuidString()
{
    unsigned char bytes[16];
    for (int i = 0; i < 16; i += 8) {
        const unsigned long long v = generator()();
        for (int k = 0; k < 8; ++k)
            bytes[i + k] = static_cast<unsigned char>(v >> (8 * k));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    static const char* hex = "0123456789ABCDEF";
    std::string s;
    s.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            s += '-';
        s += hex[bytes[i] >> 4];
        s += hex[bytes[i] & 0xF];
    }
    return s;
}

} // namespace rz
