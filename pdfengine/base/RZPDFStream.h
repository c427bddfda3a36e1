// An object interface over a PDF stream: its decoded data, the data's
// format, and its dictionary.
#pragma once

#include "pdfengine/base/RZPDFValue.h"
#include "platform/pdf/PdfObject.h"

#include <functional>
#include <string>

namespace rz {

class RZPDFDictionary;

class RZPDFStream {
public:
    // initWithCGPDFStream:
    explicit RZPDFStream(pdf::Object stream);

    // A copy of the decoded data (see pdf::Object::streamData).
    std::string data() const;
    // Raw samples, or a JPEG or JPEG 2000 file when the chain ends in one.
    pdf::StreamFormat format() const;
    RZPDFDictionary dictionary() const;
    const pdf::Object& CGPDFStream() const { return stream_; }

    // "<RZPDFStream: 0x...>".
    std::string description() const;

    friend bool operator==(const RZPDFStream& a, const RZPDFStream& b)
    {
        return a.stream_.sameObject(b.stream_);
    }
    size_t hash() const { return stream_.identityHash(); }

private:
    pdf::Object stream_;
};

} // namespace rz

template <>
struct std::hash<rz::RZPDFStream> {
    size_t operator()(const rz::RZPDFStream& s) const { return s.hash(); }
};
