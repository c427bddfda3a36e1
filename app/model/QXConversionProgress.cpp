#include "app/model/QXConversionProgress.h"

#include <algorithm>

namespace rz::app {

double QXPageProgress(uint64_t finishedPages, uint64_t pageCount)
{
    constexpr double kLeast = double(0.1f);
    if (pageCount == 0)
        return kLeast;
    const float percent = float(finishedPages + 1) * 100.0f / float(pageCount);
    return std::clamp(double(percent) * 0.85, kLeast, kProgressSaving);
}

} // namespace rz::app
