#include "pdfengine/base/QXPDFTraceFormat.h"

#include "platform/core/Numbers.h"

namespace rz {

std::string QXPDFTraceQuoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (const auto u = static_cast<unsigned char>(c); u < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string QXPDFTraceNumber(double v)
{
    std::string s = formatFixed(v, 3);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return s;
}

} // namespace rz
