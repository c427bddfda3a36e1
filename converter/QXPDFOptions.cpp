#include "converter/QXPDFOptions.h"

#include <algorithm>
#include <cmath>

namespace rz {

void QXImageOptions::setDpi(int64_t v)
{
    dpi_ = std::max<int64_t>(std::min<int64_t>(v, kMaxDpi), kMinDpi);
}

void QXImageOptions::setQuality(double v)
{
    if (std::isnan(v))
        v = kMinQuality;
    quality_ = std::max(kMinQuality, std::min(kMaxQuality, v));
}

void QXPDFOptions::setImageDPI(int32_t v)
{
    imageDPI_ = std::min(std::max(v, 72), 600);
}

} // namespace rz
