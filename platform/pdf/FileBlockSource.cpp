#include "platform/pdf/FileBlockSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace rz::pdf {

FileBlockSource::FileBlockSource(const std::string& path) : name_(path), blocks_(kBlocks)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "open " + path);
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd_);
        throw std::system_error(error, std::generic_category(), "not a regular file: " + path);
    }
    size_ = static_cast<qpdf_offset_t>(st.st_size);
}

FileBlockSource::~FileBlockSource()
{
    if (fd_ >= 0)
        ::close(fd_);
}

const FileBlockSource::Block& FileBlockSource::blockAt(qpdf_offset_t offset)
{
    const qpdf_offset_t start = offset - offset % static_cast<qpdf_offset_t>(kBlockSize);
    Block* oldest = &blocks_.front();
    for (Block& block : blocks_) {
        if (block.start == start) {
            block.lastUse = ++uses_;
            return block;
        }
        if (block.lastUse < oldest->lastUse)
            oldest = &block;
    }
    Block& block = *oldest;
    block.bytes.resize(kBlockSize);
    block.start = -1;
    block.size = 0;
    const size_t wanted = static_cast<size_t>(std::min<qpdf_offset_t>(static_cast<qpdf_offset_t>(kBlockSize), size_ - start));
    size_t got = 0;
    while (got < wanted) {
        const ssize_t n = ::pread(fd_, block.bytes.data() + got, wanted - got, static_cast<off_t>(start) + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::system_error(errno, std::generic_category(), "read " + name_);
        if (n == 0)
            break; // the file became shorter: what was read is all there is
        got += static_cast<size_t>(n);
    }
    block.start = start;
    block.size = got;
    block.lastUse = ++uses_;
    return block;
}

size_t FileBlockSource::read(char* buffer, size_t length)
{
    if (offset_ < 0)
        throw std::logic_error("INTERNAL ERROR: FileBlockSource offset < 0");
    if (offset_ >= size_) {
        last_offset = size_;
        return 0;
    }
    last_offset = offset_;
    size_t done = 0;
    while (done < length && offset_ < size_) {
        const Block& block = blockAt(offset_);
        const size_t inBlock = static_cast<size_t>(offset_ - block.start);
        if (inBlock >= block.size)
            break; // the file ended early
        const size_t n = std::min(length - done, block.size - inBlock);
        std::memcpy(buffer + done, block.bytes.data() + inBlock, n);
        done += n;
        offset_ += static_cast<qpdf_offset_t>(n);
    }
    return done;
}

void FileBlockSource::seek(qpdf_offset_t offset, int whence)
{
    qpdf_offset_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_END: base = size_; break;
    case SEEK_CUR: base = offset_; break;
    default: throw std::logic_error("INTERNAL ERROR: invalid argument to FileBlockSource::seek");
    }
    if ((offset > 0 && base > std::numeric_limits<qpdf_offset_t>::max() - offset) ||
        (offset < 0 && base < std::numeric_limits<qpdf_offset_t>::min() - offset))
        throw std::range_error(name_ + ": seek offset out of range");
    const qpdf_offset_t target = base + offset;
    if (target < 0)
        throw std::runtime_error(name_ + ": seek before beginning of file");
    offset_ = target;
}

void FileBlockSource::unreadCh(char)
{
    if (offset_ > 0)
        --offset_;
}

qpdf_offset_t FileBlockSource::findAndSkipNextEOL()
{
    if (offset_ < 0)
        throw std::logic_error("INTERNAL ERROR: FileBlockSource offset < 0");
    if (offset_ >= size_) {
        last_offset = size_;
        offset_ = size_;
        return size_;
    }
    // The offset of the first CR or LF, and the position after the run of
    // CRs and LFs starting there.
    qpdf_offset_t result = size_;
    while (offset_ < size_) {
        const Block& block = blockAt(offset_);
        const size_t inBlock = static_cast<size_t>(offset_ - block.start);
        if (inBlock >= block.size) {
            offset_ = size_;
            break;
        }
        const char* begin = block.bytes.data() + inBlock;
        const char* end = block.bytes.data() + block.size;
        const char* p = begin;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        offset_ += static_cast<qpdf_offset_t>(p - begin);
        if (p < end) {
            result = offset_;
            break;
        }
    }
    if (result == size_) {
        offset_ = size_;
        return size_;
    }
    ++offset_;
    while (offset_ < size_) {
        const Block& block = blockAt(offset_);
        const size_t inBlock = static_cast<size_t>(offset_ - block.start);
        if (inBlock >= block.size)
            break;
        const char c = block.bytes[inBlock];
        if (c != '\r' && c != '\n')
            break;
        ++offset_;
    }
    return result;
}

} // namespace rz::pdf
