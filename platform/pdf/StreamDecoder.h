// Decoding a stream's data through its filter chain.
#pragma once

#include "platform/pdf/PdfLimits.h"
#include "platform/pdf/PdfObject.h"

#include <string>
#include <string_view>
#include <vector>

namespace rz::pdf {

// One filter of a chain with its parameters (null when none).
struct FilterStep {
    std::string name;
    Object params;
};

// The full name of an inline-image filter abbreviation ("Fl" -> "FlateDecode");
// other names are returned unchanged.
std::string expandFilterName(std::string_view name);

// The filter chain of a stream dictionary: /Filter with /DecodeParms, or
// an inline image's F with DP. False when the chain is malformed (a
// filter that is not a name).
bool filterChain(const Object& dict, std::vector<FilterStep>* out);

// The format decodeStreamData gives for the chain of `dict`, without decoding.
StreamFormat streamFormat(const Object& dict);

// Decodes `raw` (the stream's undecoded, decrypted bytes) through the chain
// of `dict`, stopping before a final DCTDecode or JPXDecode. A filter that
// cannot be decoded gives empty, incomplete data; damage part-way gives the
// bytes decoded before it, marked incomplete. No result exceeds `limit`.
StreamData decodeStreamData(std::string raw, const Object& dict,
                            size_t limit = kMaxDecodedStreamSize);

} // namespace rz::pdf
