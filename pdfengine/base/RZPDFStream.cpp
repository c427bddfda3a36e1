#include "pdfengine/base/RZPDFStream.h"

#include "platform/pdf/StreamDecoder.h"

#include <cstdio>

namespace rz {

RZPDFStream::RZPDFStream(pdf::Object stream) : stream_(std::move(stream)) {}

std::string RZPDFStream::data() const
{
    return stream_.streamData().bytes;
}

pdf::StreamFormat RZPDFStream::format() const
{
    return pdf::streamFormat(stream_.dictionary());
}

RZPDFDictionary RZPDFStream::dictionary() const
{
    return RZPDFDictionary(stream_.dictionary());
}

std::string RZPDFStream::description() const
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "<RZPDFStream: 0x%zx>", stream_.identityHash());
    return buf;
}

} // namespace rz
