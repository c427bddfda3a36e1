// The append-only UTF-8 file writer under every flow-text format. It drops
// runs of repeated line breaks and indentations, escapes text the way its
// format needs (writeContent), and remembers whether anything it was asked
// to write failed to reach the file, so that the document can end with an
// error instead of a success.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace rz {

class QXFlowFileWriter {
public:
    QXFlowFileWriter(std::string indentation, std::string lineBreak);
    virtual ~QXFlowFileWriter();
    QXFlowFileWriter(const QXFlowFileWriter&) = delete;
    QXFlowFileWriter& operator=(const QXFlowFileWriter&) = delete;

    // Creates (or empties) the file and opens it; false when it cannot.
    bool openPath(const std::string& path);

    // The repeat rule, then the UTF-8 bytes appended. An empty text does
    // nothing. A text equal to the line break or the indentation counts, and
    // is dropped when more than kMaxRepeatedBreaks were written in a row;
    // any other text resets the count.
    void write(std::string_view text);
    // The text escaped for the format, then write().
    void writeContent(std::u16string_view text);
    // Bytes appended unchanged (no repeat rule).
    void writeData(std::string_view bytes);
    // write() of the line break / the indentation (RTF escapes them first).
    virtual void writeLinebreak();
    virtual void writeIndentation();
    // Appends the whole content of a file, unchanged; false (and the writer
    // marked failed) when it cannot be read.
    bool appendFile(const std::string& path);
    void synchronizeFile();
    // Closes the file; later writes do nothing.
    void closeFile();

    // The format's escaping of one text; the base escapes nothing.
    virtual std::string escapedContent(std::u16string_view text) const;

    const std::string& textPath() const { return textPath_; }
    const std::string& indentation() const { return indentation_; }
    const std::string& lineBreak() const { return lineBreak_; }
    std::int64_t lineBreakCount() const { return lineBreakCount_; }
    bool isOpen() const { return file_ != nullptr; }
    // True once a write, flush or close did not complete.
    bool failed() const { return failed_; }
    // Bytes appended so far.
    std::uint64_t bytesWritten() const { return bytesWritten_; }

private:
    void append(std::string_view bytes);

    std::int64_t lineBreakCount_ = 0;
    std::string textPath_;
    std::FILE* file_ = nullptr;
    std::string indentation_;
    std::string lineBreak_;
    bool failed_ = false;
    std::uint64_t bytesWritten_ = 0;
};

} // namespace rz
