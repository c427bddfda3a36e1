// The document's style registry. For now it keeps the custom number formats
// that recognised numbers need; fonts, fills and cell formats join it with
// the style sheet writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

struct QXExcelStyleNumFmt {
    int32_t numFmtID = 178;
    std::string formatCode;
};

class QXExcelStyle {
public:
    // Ids 0..163 belong to the built-in formats; custom ones start here.
    static constexpr int32_t kFirstCustomNumFmtID = 164;

    // The id of the entry with exactly this code; otherwise a new entry with
    // the first id from 164 up that no entry uses.
    int32_t collectNumberFormat(std::string_view formatCode);
    bool existNumberFormat(int32_t numFmtID) const;

    const std::vector<QXExcelStyleNumFmt>& numFmtsArr() const { return numFmtsArr_; }

private:
    std::vector<QXExcelStyleNumFmt> numFmtsArr_;
};

} // namespace rz
