#include "xlsx/sheet/QXExcelUtilities.h"

#include <limits>

namespace rz {

std::string QXExcelUtilities::getColumnName(long columnIndex)
{
    std::string name;
    if (columnIndex < 1)
        return name;
    long n = columnIndex;
    for (;;) {
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
        if (n <= 26)
            break;
        n = (n - 1) / 26;
    }
    return name;
}

long QXExcelUtilities::getColumnNumber(std::string_view columnName)
{
    if (columnName.empty())
        return 0;
    long n = 0;
    for (char ch : columnName) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
        if (ch < 'A' || ch > 'Z')
            return 0;
        const long digit = ch - 'A' + 1;
        if (n > (std::numeric_limits<long>::max() - digit) / 26)
            return 0;
        n = n * 26 + digit;
    }
    return n;
}

std::string QXExcelUtilities::cellReference(long columnIndex, size_t rowIndex)
{
    return getColumnName(columnIndex) + std::to_string(rowIndex);
}

} // namespace rz
