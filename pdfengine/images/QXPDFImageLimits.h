// Named limits of image extraction, with the reason for each. An image
// beyond a limit fails; nothing is cut silently.
#pragma once

#include <cstddef>

namespace rz {

// Most pixels of one extracted image. Short sample data is padded, so the
// size in the dictionary alone decides the allocation: 2^27 pixels (a
// 600 dpi A3 scan, 384 MiB as RGB) is more than any page image needs.
inline constexpr long long kQXPDFMaxExtractedImagePixels = 1LL << 27;

// Numbers of a colour-key /Mask array that are read: a pair per component
// of the widest colour space (32 components).
inline constexpr size_t kQXPDFMaxColorKeyNumbers = 64;

// Distinct colours of a DeviceN image remembered while converting through
// its tint transform; beyond it each further colour is converted afresh.
inline constexpr size_t kQXPDFMaxTintTransformCache = 1 << 16;

} // namespace rz
