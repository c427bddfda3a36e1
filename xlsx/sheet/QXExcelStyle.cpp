#include "xlsx/sheet/QXExcelStyle.h"

namespace rz {

int32_t QXExcelStyle::collectNumberFormat(std::string_view formatCode)
{
    for (const QXExcelStyleNumFmt& entry : numFmtsArr_) {
        if (entry.formatCode == formatCode)
            return entry.numFmtID;
    }
    int32_t id = kFirstCustomNumFmtID;
    while (existNumberFormat(id))
        ++id;
    numFmtsArr_.push_back(QXExcelStyleNumFmt{id, std::string(formatCode)});
    return id;
}

bool QXExcelStyle::existNumberFormat(int32_t numFmtID) const
{
    for (const QXExcelStyleNumFmt& entry : numFmtsArr_) {
        if (entry.numFmtID == numFmtID)
            return true;
    }
    return false;
}

} // namespace rz
