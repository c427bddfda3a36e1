// Limits of the PDF object layer, with the reason for each. Input that
// goes beyond them fails that object or that scan, never the process.
#pragma once

#include <cstddef>

namespace rz::pdf {

// Largest decoded stream, after any filter of a chain: a small, highly
// compressed stream must not turn into a multi-gigabyte allocation.
// 256 MiB holds a 300 dpi A3 page of 16-bit CMYK samples with room to spare.
inline constexpr size_t kMaxDecodedStreamSize = size_t(256) << 20;

// Widest row a predictor or fax decoder accepts, in bytes; rows are
// allocated before any data is read.
inline constexpr size_t kMaxImageRowBytes = size_t(16) << 20;

// Widest fax image in pixels (the fax codec keeps per-row run arrays).
inline constexpr long kMaxFaxColumns = 1L << 20;

// Nesting of arrays and dictionaries inside one content-stream operand.
// Real operands nest two or three levels; deeper data is skipped.
inline constexpr int kMaxOperandNesting = 32;

// Operands waiting for an operator. No operator takes more than a few
// dozen; a run of numbers without an operator is cleared at this size.
inline constexpr size_t kMaxOperandStack = 4096;

// Syntax errors after which the rest of a content stream is skipped.
inline constexpr int kMaxScanErrors = 500;

// Levels of the page tree and of /Parent chains walked for inherited
// attributes; deeper trees (or loops) stop the walk.
inline constexpr int kMaxPageTreeDepth = 256;

// Nesting level at which descriptions of arrays and dictionaries stop
// descending into their values.
inline constexpr int kMaxDescriptionDepth = 32;

} // namespace rz::pdf
