#include "platform/text/Utf.h"

namespace rz {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool isSurrogate(char32_t cp)
{
    return cp >= 0xD800 && cp <= 0xDFFF;
}
} // namespace

char32_t nextCodePoint(std::string_view s, size_t& i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + size_t(len) > s.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < len; ++k) {
        const unsigned char b = byte(i + size_t(k));
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || isSurrogate(cp)) {
        ++i;
        return kReplacement;
    }
    i += size_t(len);
    return cp;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || isSurrogate(cp))
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t cp)
{
    if (cp > 0x10FFFF || isSurrogate(cp))
        cp = kReplacement;
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

std::u16string utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();)
        appendUtf16(out, nextCodePoint(s, i));
    return out;
}

std::string utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        appendUtf8(out, cp);
    }
    return out;
}

size_t utf16Length(std::string_view s)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size();)
        n += nextCodePoint(s, i) >= 0x10000 ? 2 : 1;
    return n;
}

bool isValidUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const size_t before = i;
        const char32_t cp = nextCodePoint(s, i);
        if (cp == kReplacement && !(i - before == 3 && static_cast<unsigned char>(s[before]) == 0xEF))
            return false;
    }
    return true;
}

std::string prefixUtf16Units(std::string_view s, size_t units)
{
    std::string out;
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        const char32_t cp = nextCodePoint(s, i);
        const size_t w = cp >= 0x10000 ? 2 : 1;
        if (n + w > units)
            break;
        n += w;
        appendUtf8(out, cp);
    }
    return out;
}

} // namespace rz
