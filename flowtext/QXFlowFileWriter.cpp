#include "flowtext/QXFlowFileWriter.h"

#include "flowtext/QXFlowLayoutLimits.h"
#include "platform/text/Utf.h"

namespace rz {

QXFlowFileWriter::QXFlowFileWriter(std::string indentation, std::string lineBreak)
    : indentation_(std::move(indentation)), lineBreak_(std::move(lineBreak))
{
}

QXFlowFileWriter::~QXFlowFileWriter()
{
    closeFile();
}

bool QXFlowFileWriter::openPath(const std::string& path)
{
    closeFile();
    textPath_ = path;
    file_ = std::fopen(path.c_str(), "wb");
    failed_ = file_ == nullptr;
    bytesWritten_ = 0;
    lineBreakCount_ = 0;
    return file_ != nullptr;
}

void QXFlowFileWriter::write(std::string_view text)
{
    if (text.empty())
        return;
    if (text == lineBreak_ || text == indentation_) {
        const std::int64_t before = lineBreakCount_++;
        if (before >= flowlimits::kMaxRepeatedBreaks)
            return;
    } else {
        lineBreakCount_ = 0;
    }
    append(text);
}

void QXFlowFileWriter::writeContent(std::u16string_view text)
{
    write(escapedContent(text));
}

std::string QXFlowFileWriter::escapedContent(std::u16string_view text) const
{
    return utf16ToUtf8(text);
}

void QXFlowFileWriter::writeData(std::string_view bytes)
{
    append(bytes);
}

bool QXFlowFileWriter::appendFile(const std::string& path)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        failed_ = true;
        return false;
    }
    char buffer[1 << 16];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), in)) > 0)
        append(std::string_view(buffer, n));
    const bool ok = std::ferror(in) == 0;
    std::fclose(in);
    if (!ok)
        failed_ = true;
    return ok;
}

void QXFlowFileWriter::writeLinebreak()
{
    write(lineBreak_);
}

void QXFlowFileWriter::writeIndentation()
{
    write(indentation_);
}

void QXFlowFileWriter::synchronizeFile()
{
    if (file_ != nullptr && std::fflush(file_) != 0)
        failed_ = true;
}

void QXFlowFileWriter::closeFile()
{
    if (file_ == nullptr)
        return;
    if (std::ferror(file_) != 0)
        failed_ = true;
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
}

void QXFlowFileWriter::append(std::string_view bytes)
{
    if (bytes.empty())
        return;
    if (file_ == nullptr) {
        // Nothing can be written once the file is gone: the output is incomplete.
        failed_ = true;
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        failed_ = true;
    bytesWritten_ += bytes.size();
}

} // namespace rz
