// Document-wide counters shared by the DOCX text layout and the flow-text
// writers. They are process-wide, so one conversion runs at a time; each
// document writer resets them when its document starts.
#pragma once

#include <cstdint>

namespace rz {

// The markup version the layout writes for (2006 at document start).
extern std::int64_t QXDocxMarkupVersion;
// Next z-order of a drawing behind the text (-251657498 at document start).
extern std::int64_t QXDocxBehindZIndexCounter;
// Next z-order of a drawing in front of the text (1 at document start).
extern std::int64_t QXDocxFrontZIndexCounter;
// Order in which runs are created; reset at each document and page start.
extern std::uint64_t QXDocxScanCounter;

// Sets the four counters to their document-start values.
void QXDocxResetDocumentCounters();

} // namespace rz
