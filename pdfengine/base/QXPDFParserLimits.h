// Limits of the content interpreter, with the reason for each. Content
// beyond a limit loses that drawing (with a warning on the page), never the
// page or the process.
#pragma once

#include "platform/pdf/PdfLimits.h"

#include <cstddef>
#include <cstdint>

namespace rz {

// Forms running inside one another: forms drawn by forms, soft-mask groups
// and appearance streams. Real documents nest two or three levels; deeper
// chains are hostile or cyclic, and every level costs a child parser and a
// native stack frame chain. A form beyond the limit is not drawn.
inline constexpr int kQXPDFMaxFormDepth = 16;

// States saved by q and not yet restored, over the whole page. Every q
// copies the state (path and clip list included), so a stream of bare q
// operators would otherwise exhaust memory. Deeper q operators are counted
// and their matching Q operators cancel them; nothing is saved or restored.
inline constexpr size_t kQXPDFMaxStateDepth = 1024;

// Clips in force at once. Real pages intersect a handful; every exporter
// applies the whole list at every drawing, so a stream that keeps adding
// clips is stopped here: later clips are not added (with a warning).
inline constexpr size_t kQXPDFMaxClipEntries = 1024;

// Open marked-content sequences (BMC/BDC without EMC). Nothing reads more
// than the innermost few; beyond it the entries are not kept.
inline constexpr size_t kQXPDFMaxMarkedContentDepth = 1024;

// Operands waiting for an operator: the scanner clears its operand stack at
// this size (no operator takes more than a few dozen operands).
inline constexpr size_t kQXPDFMaxOperandStack = pdf::kMaxOperandStack;

// Operators of one stream run that may fail (missing or mistyped operands,
// an exception while drawing) before the rest of that stream is skipped: a
// stream that fails this often is garbage, and reading on only costs time.
inline constexpr int kQXPDFMaxOperatorErrors = 250;

// Warnings kept per page. Later ones are counted but not stored, so a
// hostile page cannot grow the list without bound.
inline constexpr size_t kQXPDFMaxStoredWarnings = 1000;

// Pixels of an image that is extracted to a file (width × height). Above it
// the image is still reported, with its size but without a cached file:
// decoding it would need gigabytes (a 16k × 16k RGBA image is 1 GiB).
inline constexpr std::int64_t kQXPDFMaxImagePixels = std::int64_t{1} << 28;

// XObjects one resource dictionary yields; later entries are left out. It
// bounds the objects one page run can make from a hostile dictionary.
inline constexpr size_t kQXPDFMaxXObjectsPerCollection = 2401;

// Font dictionaries a document's font cache keeps at once. Real documents
// use a few dozen; a document merged from many others uses many more, each
// group on its own pages. Beyond the limit the font used least recently is
// dropped from the cache (pages that use it keep their own reference), so a
// long document cannot keep every font program it ever loaded.
inline constexpr size_t kQXPDFMaxCachedFonts = 128;

// Levels of the page tree walked up for inherited /Resources (the platform's
// page-tree bound); a loop ends the walk.
inline constexpr int kQXPDFMaxResourceInheritanceDepth = pdf::kMaxPageTreeDepth;

// Components a colour operator reads: no colour space has more than 32
// (DeviceN allows 32 colorants), and the colour value holds no more.
inline constexpr int kQXPDFMaxColorOperands = 32;

// Levels of a name tree searched for a named destination. Real trees are
// two or three levels deep; a deeper (or cyclic) tree is hostile, and each
// level is one native stack frame.
inline constexpr int kQXPDFMaxNameTreeDepth = 32;

} // namespace rz
