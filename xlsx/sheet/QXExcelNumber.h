// The reading of one cell text as a number: whether it is one, the value
// written into the cell and its number format (a built-in id, or a code the
// style registry turns into a custom format).
//
// Types: 0 general with decimal point, 1 general with decimal comma,
// 2 thousands by comma, 3 thousands by dot, 4/5 currency symbol before
// (comma/dot thousands), 6/7 currency symbol after (comma/dot thousands),
// 8 percent with decimal comma, 9 percent with decimal point.
//
// A text is read as a number only when that cannot change its value:
// only ASCII digits; spaces only around a currency symbol, before "%" or
// between thousands groups; at most 15 significant digits; parentheses only
// around the whole number, which makes it negative.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rz {

class QXExcelNumber {
public:
    // Recognises with the shared manager's thousands separator.
    explicit QXExcelNumber(std::string_view text);
    // Recognises with the given thousands separator ("." selects the dot
    // list; anything else the comma list).
    QXExcelNumber(std::string_view text, std::string_view thousandSepartor);

    // More significant digits than this keep a text as text: a double
    // cannot hold them.
    static constexpr int kMaxSignificantDigits = 15;

    bool isNumber() const { return isNumber_; }
    int32_t numID() const { return numID_; }
    void setNumID(int32_t id) { numID_ = id; }
    unsigned type() const { return type_; }
    const std::string& formatCode() const { return formatCode_; }
    const std::string& thousandSepartor() const { return thousandSepartor_; }
    const std::string& decimalSepartor() const { return decimalSepartor_; }
    const std::string& currencySymbol() const { return currencySymbol_; }
    const std::string& readNumber() const { return readNumber_; }

private:
    void recognize(std::string_view text, bool commaList);
    void computeReadNumber(const std::string& text);

    bool isNumber_ = false;
    int32_t numID_ = -1;
    unsigned type_ = 0;
    std::string formatCode_;
    std::string thousandSepartor_ = ",";
    std::string decimalSepartor_ = ".";
    std::string currencySymbol_;
    std::string readNumber_;
};

} // namespace rz
