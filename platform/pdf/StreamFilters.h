// The decoders of single PDF stream filters. Each decodes as far as its
// input is sound, never produces more than `limit` bytes, and says whether
// it reached the end cleanly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rz::pdf {

struct FilterResult {
    std::string bytes;
    // False when decoding stopped at damage, at the size limit, or on
    // parameters it cannot honour; `bytes` then holds what decoded before.
    bool complete = true;
};

// FlateDecode (zlib; a stream without the zlib header is read as raw deflate).
FilterResult flateDecode(std::string_view in, size_t limit);
// LZWDecode; `earlyChange` is the /EarlyChange parameter (default 1).
FilterResult lzwDecode(std::string_view in, bool earlyChange, size_t limit);
FilterResult asciiHexDecode(std::string_view in, size_t limit);
FilterResult ascii85Decode(std::string_view in, size_t limit);
FilterResult runLengthDecode(std::string_view in, size_t limit);

// The /Predictor, /Colors, /BitsPerComponent and /Columns parameters of
// FlateDecode and LZWDecode.
struct PredictorParams {
    long predictor = 1;
    long colors = 1;
    long bitsPerComponent = 8;
    long columns = 1;
};
// Undoes a TIFF (2) or PNG (10 and above) predictor; predictor 1 leaves the
// data unchanged. Parameters out of range fail the data (empty, incomplete).
FilterResult undoPredictor(std::string in, const PredictorParams& params, size_t limit);

// DCTDecode to samples (only used when DCT is not the last filter).
FilterResult dctDecode(std::string_view in, size_t limit);

// The parameters of CCITTFaxDecode. `rows` 0 means "not given"; the caller
// then supplies the image height.
struct FaxParams {
    long k = 0;
    bool endOfLine = false;
    bool encodedByteAlign = false;
    bool endOfBlock = true;
    bool blackIs1 = false;
    long columns = 1728;
    long rows = 0;
};
// CCITTFaxDecode through libtiff's fax codec: rows of (columns + 7) / 8
// bytes, 0 bits black unless blackIs1.
FilterResult ccittFaxDecode(std::string_view in, const FaxParams& params, size_t limit);

// JBIG2Decode through jbig2dec, with the decoded /JBIG2Globals stream (may
// be empty): rows of (width + 7) / 8 bytes, 0 bits black as in PDF images.
FilterResult jbig2Decode(std::string_view in, std::string_view globals, size_t limit);

} // namespace rz::pdf
