// A file as qpdf reads it, through a few cached blocks read with pread.
// qpdf's own file source seeks the C stream for every object it resolves,
// which costs a seek and a refill (two system calls) each time; here a
// seek only moves an offset, and reads are served from blocks that stay in
// memory until newer ones push them out. Memory stays bounded whatever the
// file's size.
#pragma once

#include <qpdf/InputSource.hh>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rz::pdf {

class FileBlockSource : public InputSource {
public:
    // Opens the file; throws std::runtime_error when it cannot be opened.
    explicit FileBlockSource(const std::string& path);
    ~FileBlockSource() override;
    FileBlockSource(const FileBlockSource&) = delete;
    FileBlockSource& operator=(const FileBlockSource&) = delete;

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override { return name_; }
    qpdf_offset_t tell() override { return offset_; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { offset_ = 0; }
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

    static constexpr size_t kBlockSize = 16 * 1024;
    static constexpr size_t kBlocks = 16;

private:
    struct Block {
        qpdf_offset_t start = -1; // file offset of the block; -1: empty
        size_t size = 0;          // bytes held (less than kBlockSize at the end of the file)
        std::uint64_t lastUse = 0;
        std::vector<char> bytes;
    };

    // The block holding `offset` (< size_), read if needed.
    const Block& blockAt(qpdf_offset_t offset);

    std::string name_;
    int fd_ = -1;
    qpdf_offset_t size_ = 0;
    qpdf_offset_t offset_ = 0;
    std::vector<Block> blocks_;
    std::uint64_t uses_ = 0;
};

} // namespace rz::pdf
