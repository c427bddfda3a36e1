#include "converter/ooxml/QXDocxCounters.h"

namespace rz {

std::int64_t QXDocxMarkupVersion = 2006;
std::int64_t QXDocxBehindZIndexCounter = -251657498;
std::int64_t QXDocxFrontZIndexCounter = 1;
std::uint64_t QXDocxScanCounter = 0;

void QXDocxResetDocumentCounters()
{
    QXDocxMarkupVersion = 2006;
    QXDocxBehindZIndexCounter = -251657498;
    QXDocxFrontZIndexCounter = 1;
    QXDocxScanCounter = 0;
}

} // namespace rz
