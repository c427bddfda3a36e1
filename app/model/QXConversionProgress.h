// The progress a row shows while its file converts, in percent.
#pragma once

#include <cstdint>

namespace rz::app {

// Shown when a file starts.
inline constexpr double kProgressStarted = 1.0;
// Shown while the output is written.
inline constexpr double kProgressSaving = 90.0;
// Shown when the file has ended.
inline constexpr double kProgressEnded = 100.0;

// After `finishedPages` of `pageCount` pages: (finished + 1) x 100 / count
// in single precision, times 0.85, kept between 0.1 (as a float) and the
// saving step, so short documents never pass it before they are saved.
double QXPageProgress(uint64_t finishedPages, uint64_t pageCount);

} // namespace rz::app
