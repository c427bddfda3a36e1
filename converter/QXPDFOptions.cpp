#include "converter/QXPDFOptions.h"

#include <algorithm>
#include <cmath>

namespace rz {

void QXImageOptions::setDpi(int64_t v)
{
    dpi_ = std::max<int64_t>(std::min<int64_t>(v, 2400), 12);
}

void QXImageOptions::setQuality(double v)
{
    if (std::isnan(v))
        v = 0.1;
    quality_ = std::max(0.1, std::min(1.0, v));
}

void QXPDFOptions::setImageDPI(int32_t v)
{
    imageDPI_ = std::min(std::max(v, 72), 600);
}

} // namespace rz
