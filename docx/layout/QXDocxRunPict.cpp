#include "docx/layout/QXDocxRunPict.h"

#include <cstdio>

namespace rz {

std::shared_ptr<QXDocxWriterObject> QXDocxRunPict::copy() const
{
    return std::make_shared<QXDocxRunPict>(*this);
}

std::string QXDocxRunPict::description(const char* kind) const
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "<%s: %p:[pdfScanIndex:%llu]>", kind, static_cast<const void*>(this),
                  static_cast<unsigned long long>(pdfScanIndex()));
    return buffer;
}

} // namespace rz
