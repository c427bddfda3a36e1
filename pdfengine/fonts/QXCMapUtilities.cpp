#include "pdfengine/fonts/QXCMapUtilities.h"

#include <climits>
#include <stdexcept>

namespace rz {

std::optional<std::string> QXReadLine(std::string_view data, size_t& pos, size_t size)
{
    if (pos >= data.size() || size < 2)
        return std::nullopt;
    std::string line;
    const size_t keep = size - 1;
    while (pos < data.size() && line.size() < keep) {
        const char c = data[pos++];
        line.push_back(c);
        if (c == '\n')
            break;
        if (c == '\r') {
            if (pos < data.size() && data[pos] == '\n' && line.size() < keep)
                line.push_back(data[pos++]);
            break;
        }
    }
    return line;
}

bool QXParseHexNumber(std::string_view digits, uint32_t& value)
{
    uint32_t v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return false;
        if (v > 0x0FFFFFFFu)
            return false;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    value = v;
    return true;
}

bool QXCheckedArraySize(size_t count, size_t elementSize)
{
    if (elementSize == 0)
        return false;
    return count < static_cast<size_t>(INT_MAX) / elementSize;
}

std::vector<double> copyNumberArray(const double* array, long long byteSize)
{
    if (!array || byteSize <= 0)
        return {};
    const size_t count = static_cast<size_t>(byteSize) / sizeof(double);
    return std::vector<double>(array, array + count);
}

} // namespace rz
