// Small helpers of the font and map code: a line reader, a hex parser,
// checked array sizes and a number-array copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

// Reads one line from data at pos (advancing pos): up to size - 1 bytes,
// ending after LF, after CR, or after CR LF (kept as read). Nothing at the
// end of the data.
std::optional<std::string> QXReadLine(std::string_view data, size_t& pos, size_t size);

// True when every byte is a hex digit; the value accumulates high digit
// first. An empty input gives 0 and true. More than eight significant
// digits do not fit and give false.
bool QXParseHexNumber(std::string_view digits, uint32_t& value);

// True when an array of count elements of elementSize bytes may be made:
// elementSize above 0 and count below 2147483647 / elementSize. Sizes read
// from a file are checked with this before anything is allocated.
bool QXCheckedArraySize(size_t count, size_t elementSize);

// Resizes a vector to count elements when QXCheckedArraySize allows it and
// the memory can be had; false (vector unchanged) otherwise.
template <typename T>
bool QXCheckedResize(std::vector<T>& vector, size_t count)
{
    if (count != 0 && !QXCheckedArraySize(count, sizeof(T)))
        return false;
    try {
        vector.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// A copy of a number array given with its size in bytes; empty for no
// array or a size not above 0.
std::vector<double> copyNumberArray(const double* array, long long byteSize);

} // namespace rz
