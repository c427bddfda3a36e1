// Limits of the font code, each with its reason. Input beyond a limit fails
// that map or font; it never ends or stalls the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rz {

// Characters kept of one CMap token. Hex strings of the longest mapping
// (8 UTF-16 units, 32 digits) and every operator fit; longer tokens are
// read whole and cut.
inline constexpr size_t kCMapTokenSize = 256;

// Codes of the flat code -> unit array of a Unicode map (all 16-bit codes).
// Larger codes are kept with the multi-unit entries.
inline constexpr uint32_t kToUnicodeFlatMapLimit = 0x10000;
// Entries of several units (or of codes above the flat array) of one map:
// one per 16-bit code; published maps have under 2000.
inline constexpr size_t kMaxToUnicodeStringEntries = 1u << 16;
// Mappings one parse may write: a bfrange covers at most 65536 codes of a
// 16-bit map, and the largest published maps write about 100000. More is a
// damaged or hostile stream; the parse stops there with what it has.
inline constexpr uint64_t kMaxToUnicodeMappings = 1u << 22;

// Bytes of a CMap code (the CMap format's own maximum).
inline constexpr int kMaxCMapCodeBytes = 4;
// 256-entry arrays one encoding CMap may hold (2 KiB each). Published CMaps
// need at most about 1200 (UTF-8 ones); code spaces repeat one array and
// share it.
inline constexpr size_t kMaxCMapVectors = 4096;
// CID leaves one parse may write (a 65536-code range is 65536 writes).
inline constexpr uint64_t kMaxCMapLeafWrites = 1u << 25;
// Nesting of usecmap (and embedded /UseCMap) chains; published CMaps use one level.
inline constexpr int kMaxUseCMapDepth = 8;

// Predefined (named) encoding CMaps kept parsed for the process, the most
// recently used ones: a document uses a few, and a large one holds about 150
// arrays (300 KiB).
inline constexpr size_t kMaxCachedPredefinedCMaps = 8;

// Size of a CMap or CID-to-Unicode resource file read from disk (the
// largest published one is about 300 KiB).
inline constexpr uintmax_t kMaxCMapFileSize = 16u << 20;

// Entries kept of a CID font's /W or /W2 (one per single CID or range).
// A font of 65536 glyphs, each given alone, needs 65536; more than 16 times
// that is damage, and the rest of the array is not read.
inline constexpr size_t kMaxCIDWidthExceptions = 1u << 20;
// Glyph numbers kept of a /CIDToGIDMap stream: one per 16-bit CID (128 KiB).
// CIDs beyond it keep their own number as glyph.
inline constexpr size_t kMaxCIDToGIDEntries = 1u << 16;

} // namespace rz
