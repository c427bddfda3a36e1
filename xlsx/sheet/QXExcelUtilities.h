// Column letters of a sheet and the cell references built from them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rz {

class QXExcelUtilities {
public:
    // The largest sheet a spreadsheet application opens.
    static constexpr size_t kMaxRows = 1048576;
    static constexpr long kMaxColumns = 16384;
    // The most a spreadsheet application keeps of a cell's text, in UTF-16
    // units; the widest column, in character widths; the tallest row, in
    // points.
    static constexpr size_t kMaxCellCharacters = 32767;
    static constexpr double kMaxColumnWidth = 255;
    static constexpr double kMaxRowHeight = 409;

    // 1 "A", 26 "Z", 27 "AA", 702 "ZZ", 703 "AAA"; "" below 1.
    static std::string getColumnName(long columnIndex);
    // The reverse: "A" 1, "AA" 27; 0 for a text that is not made only of
    // letters A..Z (either case), or is empty, or names a column past the
    // range a long can hold.
    static long getColumnNumber(std::string_view columnName);
    // "B3" for column 2, row 3.
    static std::string cellReference(long columnIndex, size_t rowIndex);

    // The font name and size cells and shared-string runs take when the
    // format mode asks for default fonts.
    static std::string defaultFontName() { return "Arial Unicode MS"; }
    static double defaultFontSize() { return 10; }
};

} // namespace rz
