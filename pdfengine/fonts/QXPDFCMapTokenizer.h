// Tokenizer of CMap text (ToUnicode streams, encoding CMaps). Works on bytes
// with their length: a NUL byte is white space, never the end of the text.
#pragma once

#include "pdfengine/fonts/FontLimits.h"

#include <string>
#include <string_view>

namespace rz {

class QXPDFCMapTokenizer {
public:
    // The bytes must outlive the tokenizer.
    explicit QXPDFCMapTokenizer(std::string_view data);

    // The next byte (0-255) without taking it, or -1 at the end.
    int lookChar();
    // The next byte, or -1 at the end.
    int getChar();
    // The next token, or false at the end of the text. White space (NUL,
    // tab, LF, FF, CR, space) is skipped and "%" skips to the end of the
    // line. A token is "(" up to the first ")" not preceded by a backslash;
    // "<" up to and including ">" with white space dropped; "[" or "]"
    // alone; otherwise the first byte and the regular bytes after it. At
    // most size - 1 bytes are kept; the rest of the token is read and dropped.
    bool getToken(std::string& token, size_t size = kCMapTokenSize);

private:
    std::string_view charData_;
    size_t pos_ = 0;
};

} // namespace rz
