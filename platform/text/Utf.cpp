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

char32_t nextCodePoint(std::u16string_view s, size_t& i)
{
    const char32_t unit = s[i++];
    if (!isSurrogate(unit))
        return unit;
    if (unit <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (char32_t(s[i++]) - 0xDC00);
    return kReplacement;
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
    for (size_t i = 0; i < s.size();)
        appendUtf8(out, nextCodePoint(s, i));
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

bool isForbiddenInMarkup(char32_t cp)
{
    if (cp < 0x20)
        return cp != 0x09 && cp != 0x0A && cp != 0x0D;
    if (cp >= 0x7F && cp <= 0x9F)
        return true;
    if (isSurrogate(cp) || (cp >= 0xFDD0 && cp <= 0xFDEF))
        return true;
    return (cp & 0xFFFE) == 0xFFFE || cp > 0x10FFFF;
}

std::string markupSafeText(std::string_view s)
{
    // Most text needs nothing: copy it whole.
    bool clean = true;
    for (size_t i = 0; i < s.size() && clean;) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x20 && b < 0x7F) {
            ++i;
            continue;
        }
        const size_t at = i;
        const char32_t cp = nextCodePoint(s, i);
        clean = !isForbiddenInMarkup(cp) && !(cp == kReplacement && i - at != 3);
    }
    if (clean)
        return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    forEachMarkupCodePoint(s, [&out](char32_t cp) { appendUtf8(out, cp); });
    return out;
}

std::string markupSafeText(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    forEachMarkupCodePoint(s, [&out](char32_t cp) { appendUtf8(out, cp); });
    return out;
}

} // namespace rz
